#include "app/cli/BatchRun.h"

#include "app/cli/CliArguments.h"
#include "app/cli/CliMessage.h"
#include "app/cli/SiteCell.h"
#include "climate/CellRecord.h"
#include "climate/Spinup.h"
#include "driver/DriverFileWriter.h"
#include "driver/ParameterRules.h"
#include "driver/TextModeSink.h"
#include "putil/FileSystem.h"
#include "putil/SystemError.h"
#include "rules/OutputFileCheck.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace skyfetch {
namespace {

// Workers may run at most this many rows ahead of the commits, which bounds the
// temporary files waiting at any time.
constexpr std::size_t kRowsAhead = 256;
// Workers when the machine has fewer cores (measured: on 2 cores 16 workers write 20,000
// files in half the time 2 do).
constexpr unsigned kSyncingWorkers = 16;

// What became of one row, kept until it is committed.
struct RowOutcome {
    int status = kExitOk;
    std::string messages;                 // for standard error, as printed
    std::string listedPath;               // the path as the list of written files shows it
    std::unique_ptr<SafeFileWriter> file; // a finished, durable file waiting for its commit
};

struct RowContext {
    OutputFolder& folder;
    bool force;
    FileIdentity tableFile;
};

void fail_row(RowOutcome& outcome, int status, const std::string& message) {
    outcome.status = status;
    outcome.messages += CliMessage(message);
}

// The refusal of a write that found its name taken; --force would have replaced the file.
void fail_row_write(RowOutcome& outcome, const std::string& prefix, const WriteResult& result) {
    if (result.failure == WriteFailure::Exists)
        fail_row(outcome, kExitBadInput, prefix + result.error + kForceHint);
    else
        fail_row(outcome, kExitWriteFailed, prefix + result.error);
}

// Checks, looks up and writes one row into a durable temporary file. The spin-up sets
// belong to the calling thread.
void prepare_row(const SiteRow& row, const RowContext& context, SpinupSet& init,
                 SpinupSet& scenario, RowOutcome& outcome) {
    const std::string prefix = "line " + std::to_string(row.error.line) + ": ";
    if (!row.ok) {
        fail_row(outcome, kExitBadInput, prefix + row.error.reason);
        return;
    }
    const Site& site = row.site;
    const std::string name = site.name + ".txt";
    const std::string path = join_path(context.folder.path(), name);
    outcome.listedPath = Printable(path, std::string::npos);
    const std::string shown = Printable(path);

    CellRecord record;
    std::string notFound;
    if (!LookUpSite(site.lon, site.lat, record, notFound)) {
        fail_row(outcome, kExitNotLand, prefix + notFound);
        return;
    }
    // Only files of our own making are replaced: a link planted in the output folder
    // must not carry a batch's file anywhere else.
    int error = 0;
    const FileKind kind = context.folder.entry_kind(name, &error);
    if (const TargetCheck check = CheckTargetKind(kind, error); !check.ok()) {
        if (check.error != 0)
            fail_row(outcome, check.error == ENAMETOOLONG ? kExitBadInput : kExitWriteFailed,
                     prefix + shown + ": " + system_error_text(check.error));
        else
            fail_row(outcome, kExitBadInput,
                     prefix + shown + " " + check.refusal +
                         ", not a regular file in the output folder");
        return;
    }
    if (kind != FileKind::None && context.tableFile.known() &&
        context.folder.identity(name) == context.tableFile) {
        fail_row(outcome, kExitBadInput, prefix + shown + " is the batch file being read");
        return;
    }
    if (!context.force && kind != FileKind::None) {
        fail_row(outcome, kExitBadInput, prefix + shown + " already exists" + kForceHint);
        return;
    }
    if (is_short_spinup(site.parameters.spinupYears))
        outcome.messages = CliMessage(prefix + "warning: " + short_spinup_warning());

    init.prepare(record);
    scenario.prepare(record);
    const DriverFileParameters parameters = FileParameters(site.parameters, record);

    auto file = std::make_unique<SafeFileWriter>();
    WriteResult result = file->open_in(
        context.folder, name, context.force ? ExistingFile::Replace : ExistingFile::Keep, shown);
    TextModeSink text(*file);
    if (result && !write_driver_file(text, parameters, record, init, scenario))
        result = file->result();
    if (result)
        result = file->finish_writing();
    if (!result) {
        file->discard();
        fail_row_write(outcome, prefix, result);
        return;
    }
    outcome.file = std::move(file);
}

std::string two_digits(long value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

} // namespace

std::string ProgressLine(std::size_t done, std::size_t total, double elapsedSeconds) {
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " sites";
    if (done == 0 || elapsedSeconds <= 0.0)
        return line;
    const double rate = static_cast<double>(done) / elapsedSeconds;
    line += ", " + std::to_string(static_cast<long>(rate + 0.5)) + " files/s";
    const long left = static_cast<long>(static_cast<double>(total - done) / rate + 0.5);
    line += ", " + std::to_string(left / 60) + ":" + two_digits(left % 60) + " left";
    return line;
}

void BatchRun::progress(std::size_t done, std::size_t total, bool final) {
    if (!m_terminal)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!final && m_progressShown && now - m_lastShown < std::chrono::milliseconds(200))
        return;
    m_lastShown = now;
    const double elapsed = std::chrono::duration<double>(now - m_start).count();
    std::fprintf(m_terminal, "\r\033[K%s", ProgressLine(done, total, elapsed).c_str());
    std::fflush(m_terminal);
    m_progressShown = true;
}

void BatchRun::clear_progress() {
    if (!m_terminal || !m_progressShown)
        return;
    std::fputs("\r\033[K", m_terminal);
    std::fflush(m_terminal);
    m_progressShown = false;
}

int BatchRun::run(const SiteTable& table, OutputFolder& folder, bool force,
                  const FileIdentity& tableFile) {
    const std::size_t total = table.rows.size();
    const RowContext context{folder, force, tableFile};
    // Row i uses place i % kRowsAhead, which row i - kRowsAhead has left by the time row i
    // may be taken.
    std::vector<RowOutcome> outcomes(kRowsAhead);
    std::vector<char> ready(kRowsAhead, 0); // guarded by mutex

    std::mutex mutex;
    std::condition_variable rowDone;
    std::condition_variable rowCommitted;
    std::size_t next = 0;      // the first row nobody has taken (guarded by mutex)
    std::size_t committed = 0; // rows before this one are committed (guarded by mutex)
    bool stopping = false;     // guarded by mutex

    // Takes the next row if it is within reach of the commits and prepares it; false when
    // there is none to take now. Any exception fails the row, not the batch.
    auto work_one = [&](std::unique_lock<std::mutex>& lock, SpinupSet& init,
                        SpinupSet& scenario) {
        if (next >= total || next >= committed + kRowsAhead)
            return false;
        const std::size_t i = next++;
        lock.unlock();
        RowOutcome& outcome = outcomes[i % kRowsAhead];
        try {
            if (m_rowHook)
                m_rowHook(i);
            prepare_row(table.rows[i], context, init, scenario, outcome);
        } catch (const std::exception& error) {
            outcome.file.reset();
            fail_row(outcome, kExitWriteFailed,
                     "line " + std::to_string(table.rows[i].error.line) +
                         ": the row could not be prepared: " + error.what());
        }
        lock.lock();
        ready[i % kRowsAhead] = 1;
        rowDone.notify_all();
        return true;
    };

    auto work = [&] {
        SpinupSet init;
        SpinupSet scenario;
        std::unique_lock lock(mutex);
        while (!stopping && next < total) {
            if (!work_one(lock, init, scenario))
                rowCommitted.wait(lock);
        }
    };

    // Workers besides this thread, which commits and, when it would wait, prepares rows
    // itself; a worker that cannot be started is simply not there. A worker spends much of
    // its time waiting for its file to reach the disk, so there are more of them than
    // cores: the cores stay busy, and the file system serves many waits with one journal
    // commit.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t wanted = std::min<std::size_t>(
        m_workerLimit ? m_workerLimit : std::max(kSyncingWorkers, cores), total > 1 ? total - 1 : 0);
    std::vector<std::thread> workers;
    for (std::size_t w = 0; w < wanted; ++w) {
        try {
            workers.emplace_back(work);
        } catch (const std::exception&) {
            break;
        }
    }

    m_start = std::chrono::steady_clock::now();
    m_written = 0;
    m_failed = 0;
    int status = kExitOk;
    bool anyWritten = false;
    SpinupSet init;
    SpinupSet scenario;
    for (std::size_t i = 0; i < total; ++i) {
        {
            std::unique_lock lock(mutex);
            while (!ready[i % kRowsAhead]) {
                if (!work_one(lock, init, scenario))
                    rowDone.wait(lock);
            }
        }
        RowOutcome& outcome = outcomes[i % kRowsAhead];
        if (outcome.file) {
            const WriteResult result = outcome.file->commit(CommitSync::FileOnly);
            if (!result) {
                outcome.file->discard();
                fail_row_write(outcome, "line " + std::to_string(table.rows[i].error.line) + ": ",
                               result);
            }
            outcome.file.reset();
        }
        if (!outcome.messages.empty()) {
            clear_progress();
            m_err << outcome.messages << std::flush;
        }
        if (outcome.status == kExitOk) {
            ++m_written;
            anyWritten = true;
            m_out << outcome.listedPath << "\n";
        } else {
            ++m_failed;
            status = std::max(status, outcome.status);
        }
        outcome = RowOutcome{}; // the place is free for the row kRowsAhead further on
        {
            std::lock_guard lock(mutex);
            ready[i % kRowsAhead] = 0;
            committed = i + 1;
        }
        rowCommitted.notify_all();
        progress(i + 1, total, false);
    }
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    rowCommitted.notify_all();
    for (std::thread& worker : workers)
        worker.join();
    // Makes the new names durable; the files themselves are on disk either way.
    if (anyWritten)
        folder.sync();
    clear_progress();
    return status;
}

} // namespace skyfetch
