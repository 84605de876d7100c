#pragma once

#include "app/cli/SiteTable.h"
#include "putil/OutputFolder.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>

namespace skyfetch {

// The progress line of a long batch: "1234/3000 sites, 456 files/s, 0:05 left".
std::string ProgressLine(std::size_t done, std::size_t total, double elapsedSeconds);

// Writes the driver files of a batch table into an open folder. Rows are checked, looked
// up and formatted on every core (on fewer, down to the calling thread alone, when no
// more threads can be started) into temporary files, each made durable by the thread
// that wrote it and then renamed into place in row order; the folder is synced once at
// the end. So every file appears under its name complete and on disk, a failed or
// interrupted file leaves an old one as it was, and rows that fail (even by an exception)
// do not stop the others. Paths of written files go to `out` and row messages to `err`,
// both in row order; the summary line is left to the caller.
class BatchRun {
public:
    BatchRun(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    // Shows a progress line on `terminal` (standard error when it is a terminal), which
    // is cleared before row messages and at the end.
    void show_progress_on(std::FILE* terminal) { m_terminal = terminal; }

    // Returns the exit status: the highest status of the rows. The file the table was
    // read from (its identity; unknown for none) is never replaced.
    int run(const SiteTable& table, OutputFolder& folder, bool force,
            const FileIdentity& tableFile = {});

    // Test hooks: the number of worker threads to try to start (0: one per core), and a
    // call before each row is prepared, on the thread that prepares it.
    void set_worker_limit(unsigned workers) { m_workerLimit = workers; }
    void set_row_hook(std::function<void(std::size_t row)> hook) { m_rowHook = std::move(hook); }

    int written() const { return m_written; }
    int failed() const { return m_failed; }

private:
    void progress(std::size_t done, std::size_t total, bool final);
    void clear_progress();

    std::ostream& m_out;
    std::ostream& m_err;
    std::FILE* m_terminal = nullptr;
    bool m_progressShown = false;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastShown;
    int m_written = 0;
    int m_failed = 0;
    unsigned m_workerLimit = 0;
    std::function<void(std::size_t)> m_rowHook;
};

} // namespace skyfetch
