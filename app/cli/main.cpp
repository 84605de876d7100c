#include "app/cli/CliArguments.h"
#include "app/cli/CliMessage.h"
#include "app/cli/CliTool.h"
#include "putil/DescriptorStream.h"
#include "putil/ProcessSetup.h"
#include "putil/SystemError.h"
#include "resources/EmbeddedData.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Before anything is opened: no driver file may take the number of a closed standard
    // stream, and a closed pipe is a failed write, not the end of the process.
    skyfetch::prepare_process_io();
    skyfetch::register_embedded_resources();
    const std::vector<std::string> args = skyfetch::program_arguments(argc, argv);
    skyfetch::DescriptorStream out(1, false);
    skyfetch::DescriptorStream err(2, true);
    skyfetch::CliTool tool(out, err);
    // Progress is for a person watching: never into a pipe or a log file.
    if (skyfetch::is_terminal(2))
        tool.set_progress_terminal(stderr);
    int status = tool.run(args);

    // Output that never arrived (a full disk, a closed pipe) must not pass for success;
    // most of it sits in the buffer until this flush, so this is where the failure shows.
    out.flush();
    if (const int error = out.error(); error != 0) {
        err << skyfetch::CliMessage("could not write to standard output: " +
                                    skyfetch::system_error_text(error));
        // Driver files are in place whatever became of the report of them: the summary
        // comes here instead, and a status of its own tells a script that the report was
        // lost, before anything a row may have reported. Where standard output was the
        // output itself (the climatology, help, version), it could not be written.
        if (!tool.summary().empty()) {
            err << skyfetch::CliMessage(tool.summary());
            status = skyfetch::kExitOutputLost;
        } else if (status == skyfetch::kExitOk) {
            status = skyfetch::kExitWriteFailed;
        }
    }
    return status;
}
