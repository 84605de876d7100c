#include "TempFolder.h"
#include "rules/OutputFileCheck.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace skyfetch {
namespace {

using test::TempFolder;

// A named pipe is refused without being opened (an open would wait for a writer).
TEST(CheckOutputFile, APipeIsRefusedWithTheReason) {
    TempFolder temp;
    ASSERT_EQ(mkfifo("pipe.txt", 0600), 0);
    const OutputFileCheck check = CheckOutputFile("pipe.txt");
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.icon, PromptIcon::Error);
    EXPECT_EQ(check.error, ENOTSUP);
    EXPECT_EQ(check.message, CouldNotOpenMessage("pipe.txt", std::strerror(ENOTSUP)));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);
}

} // namespace
} // namespace skyfetch
