#include "putil/BlockString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skyfetch {
namespace {

TEST(BlockString, CapacityIsExactlyTheBlocksTheTextNeeds) {
    struct Row {
        std::size_t length;
        int blocks;
    };
    // One terminator byte counts: 31 bytes fit one block, 32 need two.
    const Row rows[] = {{0, 1}, {1, 1}, {31, 1}, {32, 2}, {63, 2}, {64, 3}, {1000, 32}};
    for (const Row& row : rows) {
        const std::string text(row.length, 'x');
        BlockString constructed(text.c_str());
        EXPECT_EQ(constructed.blocks(), row.blocks) << row.length;
        BlockString assigned;
        assigned = text.c_str();
        EXPECT_EQ(assigned.blocks(), row.blocks) << row.length;
        EXPECT_EQ(assigned.length(), static_cast<int>(row.length));
        EXPECT_EQ(BlockString::with_capacity(row.length).blocks(), row.blocks);
        EXPECT_STREQ(BlockString::with_capacity(row.length).c_str(), "");
    }
    EXPECT_EQ(BlockString().blocks(), 1);
}

TEST(BlockString, ShrinksAndGrowsWithTheText) {
    BlockString s(std::string(200, 'a').c_str());
    EXPECT_EQ(s.blocks(), 7);
    s = "";
    EXPECT_EQ(s.blocks(), 1);
    s = std::string(31, 'b').c_str();
    s += 'c'; // 32 bytes now
    EXPECT_EQ(s.blocks(), 2);
    EXPECT_EQ(s.length(), 32);
    s += std::string(31, 'd').c_str();
    EXPECT_EQ(s.blocks(), 2);
    s += "e";
    EXPECT_EQ(s.blocks(), 3);

    // A block count that already fits keeps its buffer.
    BlockString same(std::string(40, 'x').c_str());
    const char* before = same.c_str();
    same = std::string(50, 'y').c_str();
    EXPECT_EQ(same.c_str(), before);
    EXPECT_EQ(same, std::string(50, 'y').c_str());
}

TEST(BlockString, ReserveKeepsWhatFitsAndCutsTheRest) {
    BlockString s("hello");
    s.reserve(100);
    EXPECT_EQ(s.blocks(), 4);
    EXPECT_EQ(s, "hello");
    s = std::string(70, 'z').c_str();
    s.reserve(0);
    EXPECT_EQ(s.blocks(), 1);
    EXPECT_EQ(s.length(), 31); // cut to the one block, still terminated
}

TEST(BlockString, SubstringsAtTheirEdges) {
    const BlockString s("abcdef");
    struct Row {
        BlockString got;
        const char* want;
    };
    const Row rows[] = {
        {s.left(0), ""},        {s.left(3), "abc"},   {s.left(6), "abcdef"},
        {s.left(99), "abcdef"}, {s.mid(0), "abcdef"}, {s.mid(2), "cdef"},
        {s.mid(6), ""},         {s.mid(60), ""},      {s.mid(-1), ""},
        {s.mid(1, 2), "bc"},    {s.mid(4, 10), "ef"}, {s.mid(2, 0), ""},
        {s.mid(6, 1), ""},      {s.right(2), "ef"},   {s.right(0), ""},
        {s.right(6), "abcdef"}, {s.right(7), ""},     {BlockString().left(3), ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.got, row.want) << row.want;
}

TEST(BlockString, Searches) {
    const BlockString s("a/b//c");
    EXPECT_EQ(s.find('/'), 1);
    EXPECT_EQ(s.find('c'), 5);
    EXPECT_EQ(s.find('x'), -1);
    EXPECT_EQ(s.find('\0'), -1);
    EXPECT_EQ(BlockString().find('a'), -1);
    EXPECT_EQ(s.find("//"), 3);
    EXPECT_EQ(s.find("/c"), 4);
    EXPECT_EQ(s.find("cc"), -1);
    EXPECT_EQ(s.findAny("cb"), 2);
    EXPECT_EQ(s.findAny("xyz"), -1);
    EXPECT_EQ(s.findNotAny("a/"), 2);
    EXPECT_EQ(s.findNotAny("abc/"), -1);
}

TEST(BlockString, WalksAPathOneFolderAtATime) {
    BlockString rest("/home/me/climate.txt");
    std::vector<std::string> parts;
    for (int slash = rest.find('/'); slash >= 0; slash = rest.find('/')) {
        parts.emplace_back(rest.left(slash).c_str());
        rest = rest.mid(slash + 1);
    }
    parts.emplace_back(rest.c_str());
    EXPECT_EQ(parts, (std::vector<std::string>{"", "home", "me", "climate.txt"}));
}

TEST(BlockString, ElementAccessGrowsTheBufferAndKeepsTheText) {
    BlockString s("abc");
    s[40] = 'x';
    EXPECT_EQ(s.blocks(), 2);
    EXPECT_EQ(s, "abc");
    s[3] = 'd'; // the byte after the old text was zero, so the text ends after 'd'
    EXPECT_EQ(s, "abcd");
    s[64] = 'y';
    EXPECT_EQ(s.blocks(), 3);
    s[0] = 'A';
    EXPECT_EQ(s, "Abcd");
}

TEST(BlockString, ElementAccessNeverShowsOldTextOrLosesTheTerminator) {
    // A shorter text in the same block: the bytes after it are zero again.
    BlockString s("abcdef");
    s = "ab";
    s[2] = 'X';
    EXPECT_STREQ(s.c_str(), "abX");
    const BlockString shorter("ab");
    BlockString copied("abcdef");
    copied = shorter;
    copied[2] = 'X';
    EXPECT_STREQ(copied.c_str(), "abX");
    BlockString printed("abcdef");
    printed.printf("%d", 7);
    printed[1] = 'X';
    EXPECT_STREQ(printed.c_str(), "7X");
    BlockString appended("abcdef");
    appended[2] = '\0'; // the text is "ab", with "def" still stored behind it
    appended += "Y";
    appended[3] = 'Z';
    EXPECT_STREQ(appended.c_str(), "abYZ");

    // The last byte of a block is the terminator's: writing there grows the buffer first.
    BlockString t(std::string(31, 't').c_str());
    ASSERT_EQ(t.blocks(), 1);
    t[31] = 'u';
    EXPECT_EQ(t.blocks(), 2);
    EXPECT_EQ(t.length(), 32);
    EXPECT_EQ(t, (std::string(31, 't') + "u").c_str());
    BlockString e;
    e[30] = 'w'; // beyond the text: the text stays empty
    EXPECT_EQ(e.blocks(), 1);
    e[31] = 'v';
    EXPECT_EQ(e.blocks(), 2);
    EXPECT_STREQ(e.c_str(), "");
}

TEST(BlockString, AssignmentFromItsOwnText) {
    BlockString s(std::string(80, 'q').append("tail").c_str());
    s = s.c_str() + 80; // shrinks from 3 blocks to 1 while reading its own buffer
    EXPECT_EQ(s, "tail");
    s = s;
    EXPECT_EQ(s, "tail");
    s += s;
    EXPECT_EQ(s, "tailtail");
    s.printf("%s-%s", s.c_str(), s.c_str());
    EXPECT_EQ(s, "tailtail-tailtail");
    BlockString big(std::string(40, 'w').c_str());
    big += big; // grows while appending itself
    EXPECT_EQ(big, std::string(80, 'w').c_str());
}

TEST(BlockString, ConcatenationAndCopies) {
    const BlockString a("ab");
    const BlockString b("cd");
    EXPECT_EQ(a + b, "abcd");
    EXPECT_EQ(a + "x", "abx");
    EXPECT_EQ(a + 'z', "abz");
    EXPECT_EQ(BlockString('q'), "q");
    BlockString c = a;
    c += 'e';
    EXPECT_EQ(a, "ab");
    EXPECT_EQ(c, "abe");
    BlockString moved = std::move(c);
    EXPECT_EQ(moved, "abe");
    EXPECT_EQ(c, ""); // still a valid, empty string
    c = "again";
    EXPECT_EQ(c, "again");
}

TEST(BlockString, ComparesBytesAsUnsignedValues) {
    const BlockString accented("\xe9"); // 233 sorts after every ASCII letter
    EXPECT_TRUE(accented > "z");
    EXPECT_TRUE(BlockString("z") < accented);
    EXPECT_TRUE(accented > 'a');
    EXPECT_TRUE(BlockString("ab") < BlockString("abc"));
    EXPECT_TRUE(BlockString("abc") > "ab");
    EXPECT_TRUE(BlockString("a") == 'a');
    EXPECT_TRUE(BlockString("a") != 'b');
    EXPECT_TRUE(BlockString("b") >= 'b');
    EXPECT_TRUE(BlockString("b") <= "b");
    EXPECT_FALSE(BlockString("b") < 'b');
    EXPECT_TRUE(BlockString("") < 'a');
    EXPECT_TRUE(BlockString("abc") != BlockString("abd"));
}

TEST(BlockString, CaseAndPrintable) {
    const BlockString s("Hello, World! \xe9\t\x7f");
    EXPECT_EQ(s.upper(), "HELLO, WORLD! \xe9\t\x7f");
    EXPECT_EQ(s.lower(), "hello, world! \xe9\t\x7f");
    // Tab and bytes 128-255 go; 127 is kept (it is not below 32).
    EXPECT_EQ(s.printable(), "Hello, World! \x7f");
}

TEST(BlockString, Numbers) {
    struct Row {
        const char* text;
        bool isnum;
        double value;
    };
    const Row rows[] = {{"12.5", true, 12.5},  {"-3e2", true, -300.0}, {" 7", true, 7.0},
                        {"12abc", false, 0.0}, {"7 ", false, 0.0},     {"", false, 0.0},
                        {"abc", false, 0.0},   {"0x10", true, 16.0}};
    for (const Row& row : rows) {
        const BlockString s(row.text);
        EXPECT_EQ(s.isnum(), row.isnum) << row.text;
        EXPECT_EQ(s.numval(), row.value) << row.text;
    }
}

} // namespace
} // namespace skyfetch
