// The safe writer on what only POSIX has: permission bits and the umask, symbolic links,
// named pipes, a held folder renamed mid-write and file-size limits.
#include "driver/DriverFileWriter.h"
#include "driver/SafeFileWriter.h"

#include "SafeFileWriterFixture.h"
#include "TextFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace skyfetch {
namespace {

using test::fill;
using test::plain_record;
using test::read_text;
using test::SafeFileWriterTest;

// Exit codes of the child that writes under a file-size limit.
enum ChildExit { Reported = 10, Succeeded = 11, WrongFailure = 12 };

TEST_F(SafeFileWriterTest, ANewFileGetsTheUmaskPermissions) {
    for (mode_t mask : {022, 027, 077, 002}) {
        const mode_t old = umask(mask);
        SafeFileWriter writer;
        ASSERT_TRUE(writer.open(path("perm.txt"), ExistingFile::Replace));
        ASSERT_TRUE(writer.write("x", 1));
        ASSERT_TRUE(writer.commit());
        umask(old);
        struct stat info {};
        ASSERT_EQ(stat(path("perm.txt").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << std::oct << mask;
        unlink(path("perm.txt").c_str());
    }
}

TEST_F(SafeFileWriterTest, ASymlinkToAFolderIsRefusedLikeTheFolder) {
    ASSERT_EQ(mkdir(path("sub").c_str(), 0777), 0);
    ASSERT_EQ(symlink("sub", path("link").c_str()), 0);
    SafeFileWriter writer;
    const WriteResult result = writer.open(path("link"), ExistingFile::Replace);
    EXPECT_EQ(result.failure, WriteFailure::Open);
    EXPECT_EQ(result.error, "Could not open " + path("link") + " for output: Is a directory");
    EXPECT_FALSE(writer.write("x", 1));
    EXPECT_FALSE(writer.commit());
    struct stat info {};
    ASSERT_EQ(lstat(path("link").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(names(), (std::set<std::string>{"link", "sub"}));
}

TEST_F(SafeFileWriterTest, ReplacingThroughSymlinksWritesTheFileTheyLeadTo) {
    // link.txt -> ../data/real.txt, via.txt -> link.txt (links relative to their folder),
    // abs.txt -> the absolute path, dangling.txt -> ../data/later.txt (not there yet).
    ASSERT_EQ(mkdir(path("data").c_str(), 0777), 0);
    ASSERT_EQ(mkdir(path("links").c_str(), 0777), 0);
    put(path("data/real.txt"), "old");
    ASSERT_EQ(symlink("../data/real.txt", path("links/link.txt").c_str()), 0);
    ASSERT_EQ(symlink("link.txt", path("links/via.txt").c_str()), 0);
    ASSERT_EQ(symlink(path("data/real.txt").c_str(), path("links/abs.txt").c_str()), 0);
    ASSERT_EQ(symlink("../data/later.txt", path("links/dangling.txt").c_str()), 0);

    const std::pair<const char*, const char*> cases[] = {
        {"links/link.txt", "data/real.txt"},
        {"links/via.txt", "data/real.txt"},
        {"links/abs.txt", "data/real.txt"},
        {"links/dangling.txt", "data/later.txt"},
    };
    for (const auto& [link, file] : cases) {
        const std::string text = std::string("written through ") + link;
        SafeFileWriter writer;
        ASSERT_TRUE(writer.open(path(link), ExistingFile::Replace)) << link;
        // The temporary file sits beside the file it will replace, so the rename stays
        // on one file system.
        namespace fs = std::filesystem;
        EXPECT_EQ(fs::canonical(fs::path(writer.temporary_path()).parent_path()),
                  fs::canonical(path("data")))
            << writer.temporary_path();
        ASSERT_TRUE(writer.write(text.data(), text.size()));
        const WriteResult result = writer.commit();
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(read_text(path(file)), text) << link;
        EXPECT_EQ(read_text(path(link)), text) << link;
    }
    for (const char* link : {"link.txt", "via.txt", "abs.txt", "dangling.txt"}) {
        struct stat info {};
        ASSERT_EQ(lstat(path(std::string("links/") + link).c_str(), &info), 0) << link;
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << link;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("data")),
                            std::filesystem::directory_iterator()),
              2); // real.txt and later.txt, no temporary left

    // A loop of links cannot be written through.
    ASSERT_EQ(symlink("loop-b", path("loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", path("loop-b").c_str()), 0);
    SafeFileWriter looped;
    const WriteResult result = looped.open(path("loop-a"), ExistingFile::Replace);
    EXPECT_EQ(result.failure, WriteFailure::Open);
    EXPECT_EQ(names(), (std::set<std::string>{"data", "links", "loop-a", "loop-b"}));

    // Without permission to replace, a link counts as an existing file.
    SafeFileWriter keep;
    EXPECT_EQ(keep.open(path("links/link.txt"), ExistingFile::Keep).failure, WriteFailure::Exists);
}

TEST_F(SafeFileWriterTest, AReplacedFileKeepsItsPermissions) {
    const mode_t old = umask(022);
    for (mode_t mode : {0600, 0640, 0755, 0444, 0664}) {
        put(path("perm.txt"), "old");
        ASSERT_EQ(chmod(path("perm.txt").c_str(), mode), 0);
        SafeFileWriter writer;
        ASSERT_TRUE(writer.open(path("perm.txt"), ExistingFile::Replace));
        ASSERT_TRUE(writer.write("new", 3));
        ASSERT_TRUE(writer.commit());
        struct stat info {};
        ASSERT_EQ(stat(path("perm.txt").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(read_text(path("perm.txt")), "new");
        unlink(path("perm.txt").c_str());
    }
    umask(old);
}

TEST_F(SafeFileWriterTest, APipeIsWrittenInPlaceOnlyWhenAskedAndNeverWaitedFor) {
    // A pipe or device cannot be replaced by a file without breaking whoever uses it.
    // Where asked, the bytes go into it, as a plain write would send them; otherwise it
    // is refused, and a pipe nobody reads is refused either way instead of waited for.
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0666), 0);
    SafeFileWriter lonely;
    const WriteResult unread =
        lonely.open(path("pipe"), ExistingFile::Replace, SpecialTargets::WriteInPlace);
    EXPECT_EQ(unread.systemError, ENXIO);
    EXPECT_EQ(unread.error, "Could not open " + path("pipe") +
                                " for output: it is a named pipe that nobody reads");

    const int reader = ::open(path("pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    SafeFileWriter refusing;
    const WriteResult refused = refusing.open(path("pipe"), ExistingFile::Replace);
    EXPECT_EQ(refused.failure, WriteFailure::Open);
    EXPECT_EQ(refused.systemError, ENOTSUP);

    SafeFileWriter writer;
    ASSERT_TRUE(writer.open(path("pipe"), ExistingFile::Replace, SpecialTargets::WriteInPlace));
    ASSERT_TRUE(writer.write("through the pipe", 16));
    const WriteResult result = writer.commit();
    EXPECT_TRUE(result.ok()) << result.error;
    char buffer[64] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 16);
    EXPECT_EQ(std::string(buffer), "through the pipe");
    ::close(reader);
    struct stat info {};
    ASSERT_EQ(lstat(path("pipe").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(names(), std::set<std::string>{"pipe"});
}

TEST_F(SafeFileWriterTest, AFolderHeldOpenTakesOnlyNewNamesAndRegularFiles) {
    // In a folder held open, a link, pipe or folder at the name is refused with the
    // system's word for it, and the files go where the folder went.
    put(path("old.txt"), "old");
    ASSERT_EQ(symlink("old.txt", path("link.txt").c_str()), 0);
    ASSERT_EQ(mkfifo(path("pipe.txt").c_str(), 0666), 0);
    ASSERT_EQ(mkdir(path("sub.txt").c_str(), 0777), 0);
    OutputFolder folder;
    ASSERT_EQ(folder.open(m_dir), 0);
    const struct {
        const char* name;
        ExistingFile existing;
        WriteFailure failure;
        int error;
    } rows[] = {
        {"link.txt", ExistingFile::Replace, WriteFailure::Open, ELOOP},
        {"pipe.txt", ExistingFile::Replace, WriteFailure::Open, ENOTSUP},
        {"sub.txt", ExistingFile::Replace, WriteFailure::Open, EISDIR},
        {"old.txt", ExistingFile::Keep, WriteFailure::Exists, 0},
    };
    for (const auto& row : rows) {
        SafeFileWriter writer;
        const WriteResult result = writer.open_in(folder, row.name, row.existing, row.name);
        EXPECT_EQ(result.failure, row.failure) << row.name;
        EXPECT_EQ(result.systemError, row.error) << row.name;
    }
    SafeFileWriter fresh;
    ASSERT_TRUE(fresh.open_in(folder, "new.txt", ExistingFile::Keep, "new.txt"));
    ASSERT_TRUE(fresh.write("new", 3));
    ASSERT_TRUE(fresh.finish_writing());
    const std::string moved = m_dir + "-moved";
    ASSERT_EQ(rename(m_dir.c_str(), moved.c_str()), 0);
    const WriteResult committed = fresh.commit(CommitSync::FileOnly);
    ASSERT_EQ(rename(moved.c_str(), m_dir.c_str()), 0);
    EXPECT_TRUE(committed.ok()) << committed.error;
    EXPECT_EQ(read_text(path("new.txt")), "new");
    EXPECT_EQ(read_text(path("old.txt")), "old");
}

TEST_F(SafeFileWriterTest, AWriteThatFailsMidwayKeepsTheOldFile) {
    put(path("climate.txt"), "old driver file");
    const std::string target = path("climate.txt");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // As under `ulimit -f`: writes past 64 KiB fail with EFBIG instead of a signal.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        const CellRecord r = plain_record();
        SpinupSet init, scen;
        fill(init, r);
        fill(scen, r);
        DriverFileParameters p;
        p.initYears = 1000;
        p.scenarioYears = 100;
        p.dateText = "Wed Jun  3 09:05:07 2009";
        const WriteResult result =
            write_driver_file(target, ExistingFile::Replace, p, r, init, scen);
        if (result.ok())
            _exit(Succeeded);
        _exit(result.failure == WriteFailure::Write &&
                      result.error == "Could not write " + target + ": File too large"
                  ? Reported
                  : WrongFailure);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), Reported);
    EXPECT_EQ(read_text(target), "old driver file");
    EXPECT_EQ(names(), std::set<std::string>{"climate.txt"});
}

} // namespace
} // namespace skyfetch
