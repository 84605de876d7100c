#include "app/cli/CliArguments.h"
#include "app/cli/CliTool.h"
#include "resources/EmbeddedData.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    skyfetch::register_embedded_resources();
    std::vector<std::string> args(argv + 1, argv + argc);
    skyfetch::CliTool tool(std::cout, std::cerr);
    // Progress is for a person watching: never into a pipe or a log file.
    if (isatty(STDERR_FILENO))
        tool.set_progress_terminal(stderr);
    int status = tool.run(args);

    // Output that never arrived (a full disk, a closed pipe) must not pass for success;
    // most of it sits in the buffer until this flush, so this is where the failure shows.
    errno = 0;
    std::cout.flush();
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (!flushed || !std::cout || std::ferror(stdout)) {
        std::cerr << "skyfetch-cli: could not write to standard output"
                  << (error ? std::string(": ") + std::strerror(error) : std::string()) << "\n";
        // Driver files are in place whatever became of the report of them: the summary
        // comes here instead, and a status of its own tells a script that only the report
        // was lost. Where standard output was the output itself (the climatology, help,
        // version), it could not be written.
        if (!tool.summary().empty())
            std::cerr << tool.summary() << "\n";
        if (status == skyfetch::kExitOk)
            status = tool.summary().empty() ? skyfetch::kExitWriteFailed
                                             : skyfetch::kExitOutputLost;
    }
    return status;
}
