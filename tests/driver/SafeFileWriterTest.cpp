#include "driver/SafeFileWriter.h"
#include "driver/DriverFileWriter.h"

#include "putil/Platform.h"

#include "SafeFileWriterFixture.h"
#include "SystemText.h"
#include "TextFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace skyfetch {
namespace {

using test::fill;
using test::plain_record;
using test::read_text;
using test::SafeFileWriterTest;

TEST_F(SafeFileWriterTest, WritesTheWholeFileAndLeavesNothingElse) {
    SafeFileWriter writer;
    ASSERT_TRUE(writer.open(path("out.txt"), ExistingFile::Replace));
    EXPECT_EQ(names().size(), 1u); // the temporary file, in the target's folder
    EXPECT_TRUE(writer.write("hello ", 6));
    EXPECT_TRUE(writer.write("world\n", 6));
    EXPECT_EQ(names().count("out.txt"), 0u); // nothing at the target before the commit
    const WriteResult result = writer.commit();
    EXPECT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(read_text(path("out.txt")), "hello world\n");
    EXPECT_EQ(names(), std::set<std::string>{"out.txt"});
}

TEST_F(SafeFileWriterTest, ReplacesAnExistingFileOnlyOnCommit) {
    put(path("out.txt"), "old");
    SafeFileWriter writer;
    ASSERT_TRUE(writer.open(path("out.txt"), ExistingFile::Replace));
    ASSERT_TRUE(writer.write("new", 3));
    EXPECT_EQ(read_text(path("out.txt")), "old");
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(read_text(path("out.txt")), "new");
    EXPECT_EQ(names(), std::set<std::string>{"out.txt"});
}

TEST_F(SafeFileWriterTest, AMissingFolderIsReported) {
    SafeFileWriter writer;
    const WriteResult result = writer.open(path("missing/out.txt"), ExistingFile::Replace);
    EXPECT_EQ(result.failure, WriteFailure::Open);
    EXPECT_EQ(result.error, "Could not open " + path("missing/out.txt") +
                                " for output: " + test::no_such_file_text());
    EXPECT_FALSE(writer.write("x", 1));
    EXPECT_FALSE(writer.commit());
    EXPECT_TRUE(names().empty());
}

TEST_F(SafeFileWriterTest, AFolderAtTheTargetIsRefused) {
    ASSERT_TRUE(std::filesystem::create_directory(test::fs_path(path("sub"))));
    SafeFileWriter writer;
    const WriteResult result = writer.open(path("sub"), ExistingFile::Replace);
    EXPECT_EQ(result.failure, WriteFailure::Open);
    EXPECT_EQ(names(), std::set<std::string>{"sub"});
}

TEST_F(SafeFileWriterTest, TheFirstFreeNameIsClaimedAtCommit) {
    // Another writer takes the first name while this one writes: this file takes the
    // next free one, and nothing is replaced.
    const std::vector<std::string> names{path("c.txt"), path("c0.txt"), path("c1.txt")};
    SafeFileWriter writer;
    ASSERT_TRUE(writer.open(names[0], ExistingFile::Keep));
    ASSERT_TRUE(writer.write("ours", 4));
    put(names[0], "theirs");
    std::string claimed;
    ASSERT_TRUE(writer.commit_to_first_free(names, claimed));
    EXPECT_EQ(claimed, names[1]);
    EXPECT_EQ(read_text(names[0]), "theirs");
    EXPECT_EQ(read_text(names[1]), "ours");

    put(names[2], "theirs");
    SafeFileWriter late;
    ASSERT_TRUE(late.open(path("c.tmp"), ExistingFile::Keep));
    EXPECT_EQ(late.commit_to_first_free(names, claimed).failure, WriteFailure::Exists);
    EXPECT_EQ(this->names(), (std::set<std::string>{"c.txt", "c0.txt", "c1.txt"}));
}

TEST_F(SafeFileWriterTest, DroppingAnUncommittedWriterRemovesItsTemporaryFile) {
    put(path("out.txt"), "old");
    {
        SafeFileWriter writer;
        ASSERT_TRUE(writer.open(path("out.txt"), ExistingFile::Replace));
        ASSERT_TRUE(writer.write("partial", 7));
    }
    EXPECT_EQ(names(), std::set<std::string>{"out.txt"});
    EXPECT_EQ(read_text(path("out.txt")), "old");
}

TEST_F(SafeFileWriterTest, KeepModeNeverReplacesAFile) {
    put(path("there.txt"), "theirs");
    SafeFileWriter early;
    const WriteResult refused = early.open(path("there.txt"), ExistingFile::Keep);
    EXPECT_EQ(refused.failure, WriteFailure::Exists);
    EXPECT_EQ(refused.error, path("there.txt") + " already exists");

    // A file that appears while we write is not replaced either.
    SafeFileWriter late;
    ASSERT_TRUE(late.open(path("late.txt"), ExistingFile::Keep));
    ASSERT_TRUE(late.write("ours", 4));
    put(path("late.txt"), "appeared");
    const WriteResult result = late.commit();
    EXPECT_EQ(result.failure, WriteFailure::Exists);
    EXPECT_EQ(read_text(path("late.txt")), "appeared");
    EXPECT_EQ(names(), (std::set<std::string>{"late.txt", "there.txt"}));

    SafeFileWriter fresh;
    ASSERT_TRUE(fresh.open(path("fresh.txt"), ExistingFile::Keep));
    ASSERT_TRUE(fresh.write("ours", 4));
    ASSERT_TRUE(fresh.commit());
    EXPECT_EQ(read_text(path("fresh.txt")), "ours");
}

TEST_F(SafeFileWriterTest, TheDriverFileLandsWhole) {
    const CellRecord r = plain_record();
    SpinupSet init, scen;
    fill(init, r);
    fill(scen, r);
    DriverFileParameters p;
    p.initYears = 300;
    p.scenarioYears = 50;
    p.tempChange = 2;
    p.dateText = "Wed Jun  3 09:05:07 2009";
    const WriteResult result =
        write_driver_file(path("climate.txt"), ExistingFile::Keep, p, r, init, scen);
    ASSERT_TRUE(result.ok()) << result.error;
    const std::string text = read_text(path("climate.txt"));
    std::size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    EXPECT_EQ(lines, 9u + 300 + 50);
    const std::string end = kTextLineEnd; // a text file of the platform
    EXPECT_EQ(text.substr(text.size() - 1 - end.size()), "\t" + end);
    EXPECT_EQ(names(), std::set<std::string>{"climate.txt"});

    // The same name again without permission to replace: refused, file unchanged.
    fill(init, r);
    fill(scen, r);
    p.tempChange = 5;
    const WriteResult again =
        write_driver_file(path("climate.txt"), ExistingFile::Keep, p, r, init, scen);
    EXPECT_EQ(again.failure, WriteFailure::Exists);
    EXPECT_EQ(read_text(path("climate.txt")), text);
}

} // namespace
} // namespace skyfetch
