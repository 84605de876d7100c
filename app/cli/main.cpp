#include "app/cli/CliArguments.h"
#include "app/cli/CliTool.h"
#include "resources/EmbeddedData.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    skyfetch::register_embedded_resources();
    std::vector<std::string> args(argv + 1, argv + argc);
    skyfetch::CliTool tool(std::cout, std::cerr);
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
        status = std::max(status, skyfetch::kExitWriteFailed);
    }
    return status;
}
