#include "app/cli/CliArguments.h"
#include "app/cli/CliTool.h"
#include "putil/DescriptorStream.h"
#include "putil/ProcessSetup.h"
#include "resources/EmbeddedData.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    // Before anything is opened: no driver file may take the number of a closed standard
    // stream, and a closed pipe is a failed write, not the end of the process.
    skyfetch::prepare_process_io();
    skyfetch::register_embedded_resources();
    std::vector<std::string> args(argv + 1, argv + argc);
    skyfetch::DescriptorStream out(STDOUT_FILENO, false);
    skyfetch::DescriptorStream err(STDERR_FILENO, true);
    skyfetch::CliTool tool(out, err);
    // Progress is for a person watching: never into a pipe or a log file.
    if (isatty(STDERR_FILENO))
        tool.set_progress_terminal(stderr);
    int status = tool.run(args);

    // Output that never arrived (a full disk, a closed pipe) must not pass for success;
    // most of it sits in the buffer until this flush, so this is where the failure shows.
    out.flush();
    if (const int error = out.error(); error != 0) {
        err << "skyfetch-cli: could not write to standard output: " << std::strerror(error)
            << "\n";
        // Driver files are in place whatever became of the report of them: the summary
        // comes here instead, and a status of its own tells a script that the report was
        // lost, before anything a row may have reported. Where standard output was the
        // output itself (the climatology, help, version), it could not be written.
        if (!tool.summary().empty()) {
            err << tool.summary() << "\n";
            status = skyfetch::kExitOutputLost;
        } else if (status == skyfetch::kExitOk) {
            status = skyfetch::kExitWriteFailed;
        }
    }
    return status;
}
