// The texture's writes under a file-size limit, which only POSIX has.
#include "globe/Texture.h"

#include "TextureFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace skyfetch {
namespace {

using test::pattern_pixels;
using test::TextureTest;

TEST_F(TextureTest, AFileSizeLimitStopsTheWritePartWay) {
    const test::Bytes pixels = pattern_pixels(64, 64, 3);
    CTexture t;
    ASSERT_TRUE(t.CopyFromBuffer(pixels.data(), 64, 64, 24));
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int bmp = t.SaveFile(Path("limited.bmp"));
    const std::string bmpMessage = TakeMessage();
    const int raw = t.SaveFile(Path("limited.raw"));
    const std::string rawMessage = TakeMessage();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(bmp, 0);
    EXPECT_EQ(bmpMessage, "Error during writing image");
    EXPECT_EQ(raw, 0);
    EXPECT_EQ(rawMessage, "Error during writing image");
    EXPECT_NE(m_trace.lines.find("Error during writing 27\n"), std::string::npos); // EFBIG
}

} // namespace
} // namespace skyfetch
