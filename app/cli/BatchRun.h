#pragma once

#include "app/cli/SiteTable.h"

#include <chrono>
#include <ostream>
#include <string>

namespace skyfetch {

// The progress line of a long batch: "1234/3000 sites, 456 files/s, 0:05 left".
std::string ProgressLine(std::size_t done, std::size_t total, double elapsedSeconds);

// Writes the driver files of a batch table into `folder` (which exists). Rows are checked,
// looked up and formatted on every core into temporary files; a group of finished files
// is made durable with one sync of the file system and only then renamed into place, in
// row order, and the folder is synced once at the end. So every file appears under its
// name complete and on disk, a failed or interrupted file leaves an old one as it was,
// and rows that fail do not stop the others. Paths of written files go to `out` and row
// messages to `err`, both in row order; the summary line is left to the caller.
class BatchRun {
public:
    BatchRun(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    // Shows a progress line on `terminal` (standard error when it is a terminal), which
    // is cleared before row messages and at the end.
    void show_progress_on(std::FILE* terminal) { m_terminal = terminal; }

    // Returns the exit status: the highest status of the rows.
    int run(const SiteTable& table, const std::string& folder, bool force);

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
};

} // namespace skyfetch
