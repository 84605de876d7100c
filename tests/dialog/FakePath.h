#pragma once

// A PATH of small shell scripts standing in for the desktop's programs, so that the
// launcher's tests see what each program was given and decide how it ends.

#include "TextFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace skyfetch::test {

enum class Script { Succeeds, Fails, NotExecutable, WaitsForRelease };

// A PATH holding only the given scripts for the lifetime of the object. A script that
// runs writes its own name and arguments, one a line, to <name>.args beside it. The
// current directory stays as it is.
class FakePath {
public:
    explicit FakePath(const std::vector<std::pair<std::string, Script>>& scripts)
        : m_previous(std::getenv("PATH") ? std::getenv("PATH") : "") {
        std::string pattern = std::filesystem::temp_directory_path() / "skyfetch-path-XXXXXX";
        m_folder = mkdtemp(pattern.data());
        for (const auto& [name, kind] : scripts) {
            // Only shell built-ins: PATH holds nothing else.
            const std::string record =
                "printf '%s\\n' \"${0##*/}\" \"$@\" > '" + m_folder + "/" + name + ".args'\n";
            std::string body = "#!/bin/sh\n" + record;
            if (kind == Script::Fails)
                body += "exit 1\n";
            else if (kind == Script::WaitsForRelease)
                body += "read line < '" + release() + "'\nexit 1\n";
            write_text(m_folder + "/" + name, body);
            if (kind != Script::NotExecutable)
                std::filesystem::permissions(m_folder + "/" + name,
                                             std::filesystem::perms::owner_all);
        }
        mkfifo(release().c_str(), 0600);
        setenv("PATH", m_folder.c_str(), 1);
    }
    ~FakePath() {
        setenv("PATH", m_previous.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    FakePath(const FakePath&) = delete;
    FakePath& operator=(const FakePath&) = delete;

    // The arguments a script was started with, its name first; empty when it never ran.
    std::vector<std::string> Run(const std::string& name) const {
        std::vector<std::string> lines;
        std::istringstream in(read_text(m_folder + "/" + name + ".args"));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // Lets a waiting script end, with an error. Blocks until the script reads, so only
    // for a script that has started.
    void Release() const { std::ofstream(release()) << "go\n"; }

private:
    std::string release() const { return m_folder + "/release"; }
    std::string m_folder;
    std::string m_previous;
};

} // namespace skyfetch::test
