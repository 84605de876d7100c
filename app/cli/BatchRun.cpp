#include "app/cli/BatchRun.h"

#include "app/cli/CliArguments.h"
#include "app/cli/SiteCell.h"
#include "climate/CellRecord.h"
#include "climate/Spinup.h"
#include "driver/DriverFileWriter.h"
#include "driver/ParameterRules.h"
#include "putil/FileSystem.h"
#include "rules/OutputFileCheck.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace skyfetch {
namespace {

// Rows per group: one sync of the file system for each. Workers may run at most two
// groups ahead of the commits, which bounds the temporary files waiting at any time.
constexpr std::size_t kGroupRows = 128;
constexpr std::size_t kRowsAhead = 2 * kGroupRows;
// Outcomes live in a ring just large enough for the rows in flight: row i uses place
// i % kPlaces, which its row kPlaces earlier has left by the time a worker may take it.
constexpr std::size_t kPlaces = kRowsAhead + kGroupRows;

// What became of one row, kept until its group is committed.
struct RowOutcome {
    int status = kExitOk;
    std::string messages;                 // for standard error, each line complete
    std::string shownPath;                // the path as printed
    std::unique_ptr<SafeFileWriter> file; // a finished file waiting for its commit
};

// Checks, looks up and writes one row into a temporary file. The spin-up sets belong to
// the calling worker.
void prepare_row(const SiteRow& row, const std::string& folder, bool force, SpinupSet& init,
                 SpinupSet& scenario, RowOutcome& outcome) {
    const std::string prefix = "line " + std::to_string(row.error.line) + ": ";
    if (!row.ok) {
        outcome.status = kExitBadInput;
        outcome.messages = prefix + row.error.reason + "\n";
        return;
    }
    const Site& site = row.site;
    const std::string path = join_path(folder, site.name + ".txt");
    outcome.shownPath = Printable(path);

    CellRecord record;
    std::string notFound;
    if (!LookUpSite(site.lon, site.lat, record, notFound)) {
        outcome.status = kExitNotLand;
        outcome.messages = prefix + notFound + "\n";
        return;
    }
    // Only files of our own making are replaced: a link planted in the output folder
    // must not carry a batch's file anywhere else.
    if (const std::string refusal = TargetRefusal(path, true); !refusal.empty()) {
        outcome.status = kExitBadInput;
        outcome.messages = prefix + outcome.shownPath + " " + refusal +
                           ", not a regular file in the output folder\n";
        return;
    }
    if (!force && name_exists(path)) {
        outcome.status = kExitBadInput;
        outcome.messages = prefix + outcome.shownPath + " already exists\n";
        return;
    }
    if (is_short_spinup(site.parameters.spinupYears))
        outcome.messages = prefix + "warning: " + short_spinup_warning() + "\n";

    init.prepare(record);
    scenario.prepare(record);
    const DriverFileParameters parameters = FileParameters(site.parameters, record);

    auto file = std::make_unique<SafeFileWriter>();
    WriteResult result =
        file->open(path, force ? ExistingFile::Replace : ExistingFile::Keep, TargetLinks::Refuse);
    if (result && !write_driver_file(*file, parameters, record, init, scenario))
        result = file->result();
    if (result)
        result = file->finish_writing();
    if (!result) {
        file->discard();
        outcome.status = result.failure == WriteFailure::Exists ? kExitBadInput : kExitWriteFailed;
        outcome.messages += prefix + Printable(result.error) + "\n";
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

int BatchRun::run(const SiteTable& table, const std::string& folder, bool force) {
    const std::size_t total = table.rows.size();
    std::vector<RowOutcome> outcomes(kPlaces);
    // Each place's flag, set by its worker once the outcome is complete (guarded by mutex).
    std::vector<char> ready(kPlaces, 0);

    std::mutex mutex;
    std::condition_variable rowDone;
    std::condition_variable groupCommitted;
    std::atomic<std::size_t> next{0};
    std::size_t committed = 0; // rows before this one are committed (guarded by mutex)

    auto work = [&] {
        SpinupSet init;
        SpinupSet scenario;
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= total)
                return;
            {
                std::unique_lock lock(mutex);
                groupCommitted.wait(lock, [&] { return i < committed + kRowsAhead; });
            }
            prepare_row(table.rows[i], folder, force, init, scenario, outcomes[i % kPlaces]);
            {
                std::lock_guard lock(mutex);
                ready[i % kPlaces] = 1;
            }
            rowDone.notify_one();
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < std::min<std::size_t>(cores, std::max<std::size_t>(total, 1)); ++w)
        workers.emplace_back(work);

    m_start = std::chrono::steady_clock::now();
    m_written = 0;
    m_failed = 0;
    int status = kExitOk;
    bool anyWritten = false;
    for (std::size_t first = 0; first < total; first += kGroupRows) {
        const std::size_t end = std::min(total, first + kGroupRows);
        {
            std::unique_lock lock(mutex);
            rowDone.wait(lock, [&] {
                for (std::size_t i = first; i < end; ++i)
                    if (!ready[i % kPlaces])
                        return false;
                return true;
            });
        }
        // The group's data reaches the disk before any of its names appears.
        bool waiting = false;
        for (std::size_t i = first; i < end; ++i)
            waiting = waiting || outcomes[i % kPlaces].file;
        const WriteResult synced = waiting ? sync_file_system(folder) : WriteResult::success();
        for (std::size_t i = first; i < end; ++i) {
            RowOutcome& outcome = outcomes[i % kPlaces];
            const std::string prefix = "line " + std::to_string(table.rows[i].error.line) + ": ";
            if (outcome.file) {
                const WriteResult result =
                    synced ? outcome.file->commit(CommitSync::None) : synced;
                if (!result) {
                    outcome.file->discard();
                    outcome.status =
                        result.failure == WriteFailure::Exists ? kExitBadInput : kExitWriteFailed;
                    outcome.messages += prefix + Printable(result.error) + "\n";
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
                m_out << outcome.shownPath << "\n";
            } else {
                ++m_failed;
                status = std::max(status, outcome.status);
            }
            outcome = RowOutcome{}; // the place is free for the row kPlaces further on
        }
        {
            std::lock_guard lock(mutex);
            for (std::size_t i = first; i < end; ++i)
                ready[i % kPlaces] = 0;
            committed = end;
        }
        groupCommitted.notify_all();
        progress(end, total, false);
    }
    for (std::thread& worker : workers)
        worker.join();
    if (anyWritten)
        sync_folder(folder);
    clear_progress();
    return status;
}

} // namespace skyfetch
