#include "putil/BlockString.h"
#include "putil/Timestamp.h"

#include "Environment.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace skyfetch {
namespace {

// What the C library's formatter gives, as the reference for BlockString::printf.
std::string reference(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string reference(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    va_end(again);
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

#define EXPECT_PRINTF_MATCHES(...)                                                                 \
    do {                                                                                           \
        BlockString s("previous text that must go");                                               \
        s.printf(__VA_ARGS__);                                                                     \
        const std::string want = reference(__VA_ARGS__);                                           \
        EXPECT_EQ(std::string(s.c_str()), want) << #__VA_ARGS__;                                   \
        EXPECT_EQ(s.length(), static_cast<int>(want.size()));                                      \
        EXPECT_EQ(s.blocks(), static_cast<int>((want.size() + 1 + 31) / 32));                      \
    } while (0)

TEST(BlockStringPrintf, SixtyFourBitConversionsTakeTheirWholeArgument) {
    int local = 0;
    EXPECT_PRINTF_MATCHES("%ld|%ld", LONG_MAX, LONG_MIN);
    EXPECT_PRINTF_MATCHES("%zu %d", SIZE_MAX, 7); // the 7 must still come out as 7
    EXPECT_PRINTF_MATCHES("%lld %llx %s", LLONG_MIN, 0x123456789abcdefULL, "after");
    EXPECT_PRINTF_MATCHES("%p %d", static_cast<void*>(&local), 42);
    EXPECT_PRINTF_MATCHES("%lu %hd %hhu", 1UL << 40, static_cast<short>(-5), 300);
    EXPECT_PRINTF_MATCHES("%jd %td", INTMAX_MIN, static_cast<std::ptrdiff_t>(-1) << 50);
    EXPECT_PRINTF_MATCHES("%Lf %Lg", 1.5L, 1e-300L);
}

TEST(BlockStringPrintf, WidthsPrecisionsAndFlags) {
    EXPECT_PRINTF_MATCHES("[%12.4f] [%-10.2e] [%+g] [% d] [%#x] [%#o]", 3.14159265, -12345.678, 2.5,
                          42, 255, 8);
    EXPECT_PRINTF_MATCHES("[%*d] [%-*d] [%.*f]", 8, -3, 6, 9, 3, 2.0 / 3.0);
    EXPECT_PRINTF_MATCHES("100%% of %c%c", 'o', 'k');
    EXPECT_PRINTF_MATCHES("%0.1f %0.0f %g %G", -0.04, 2.5, 1e-5, 1e20);
    EXPECT_PRINTF_MATCHES("%s", "");
    EXPECT_PRINTF_MATCHES("plain text only");
}

TEST(BlockStringPrintf, ResultsOfAnyLength) {
    std::string big(5000, 'k');
    big[1234] = 'X';
    EXPECT_PRINTF_MATCHES("<%s>", big.c_str());
    EXPECT_PRINTF_MATCHES("%-700s|", "padded");
    EXPECT_PRINTF_MATCHES("%.600f", 1.0 / 3.0);
    EXPECT_PRINTF_MATCHES("%f", 1e300);
    // Exactly around the point where the text needs a second formatting pass.
    for (int n = 505; n <= 515; ++n) {
        const std::string text(static_cast<std::size_t>(n), 'm');
        EXPECT_PRINTF_MATCHES("%s", text.c_str());
    }
}

TEST(BlockStringPrintf, ShortResultShrinksALongString) {
    BlockString s(std::string(300, 'x').c_str());
    s.printf("%d", 5);
    EXPECT_EQ(s, "5");
    EXPECT_EQ(s.blocks(), 1);
}

class TimestampTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        m_hadTz = tz != nullptr;
        if (tz)
            m_oldTz = tz;
        test::set_environment("TZ", "UTC");
        tzset();
    }
    void TearDown() override {
        if (m_hadTz)
            test::set_environment("TZ", m_oldTz);
        else
            test::unset_environment("TZ");
        tzset();
    }

private:
    bool m_hadTz = false;
    std::string m_oldTz;
};

TEST_F(TimestampTest, IsCtimeWithoutItsNewline) {
    BlockString text("old");
    timestamp(text, 0);
    EXPECT_EQ(text, "Thu Jan  1 00:00:00 1970");
    // A day of the month below 10 is padded with a space, a later one is not.
    timestamp(text, 1244019907); // 2009-06-03 09:05:07 UTC
    EXPECT_EQ(text, "Wed Jun  3 09:05:07 2009");
    timestamp(text, 1226016000); // 2008-11-07
    EXPECT_EQ(text.mid(8, 2), " 7");
    timestamp(text, 1227225600); // 2008-11-21
    EXPECT_EQ(text.mid(8, 2), "21");

    std::srand(7);
    for (int i = 0; i < 200; ++i) {
        const std::time_t when = static_cast<std::time_t>(std::rand()) * 2 + 1;
        std::string want = std::ctime(&when);
        want.pop_back();
        // The Microsoft C library pads the day with a zero; the C layout, which the
        // program writes everywhere, with a space.
        if (want[8] == '0')
            want[8] = ' ';
        timestamp(text, when);
        EXPECT_EQ(std::string(text.c_str()), want);
    }
}

TEST_F(TimestampTest, NowHasTwentyFourCharacters) {
    BlockString text;
    timestamp(text);
    EXPECT_EQ(text.length(), 24);
    EXPECT_EQ(text.find('\n'), -1);
    EXPECT_EQ(text.blocks(), 1);
}

} // namespace
} // namespace skyfetch
