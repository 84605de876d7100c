#include "globe/Texture.h"
#include "globe/DebugTrace.h"
#include "putil/UserPrompt.h"

#include <gtest/gtest.h>

#include "TextureFixture.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace skyfetch {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::pattern_pixels;
using test::TextureTest;

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

// A 24-bit BMP file of the given size built by hand, bottom row first.
Bytes bmp_file(int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    Bytes b(54 + static_cast<std::size_t>(stride) * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, 24);
    put32(b, 34, static_cast<std::uint32_t>(stride * height));
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width * 3; ++i)
            b[54 + j * stride + i] = static_cast<unsigned char>(j * 31 + i * 5 + 1);
    return b;
}

TEST(TextureArithmetic, WidthByte32) {
    const struct {
        int width, depth, bytes;
    } cases[] = {{1024, 24, 3072}, {5, 24, 16}, {5, 32, 20}, {3, 8, 4},
                 {4, 24, 12},      {1, 24, 4},  {0, 24, 0},  {7, 24, 24}};
    for (const auto& c : cases)
        EXPECT_EQ(CTexture::WidthByte32(c.width, c.depth), c.bytes) << c.width << " x " << c.depth;
}

TEST(TextureArithmetic, PowersOfTwo) {
    const struct {
        int n, atLeast, below;
    } cases[] = {{1, 2, 1},  {2, 2, 1},         {3, 4, 2},         {8, 8, 4},
                 {9, 16, 8}, {1000, 1024, 512}, {1024, 1024, 512}, {1025, 2048, 1024}};
    for (const auto& c : cases) {
        EXPECT_EQ(CTexture::PowerOfTwoAtLeast(c.n), c.atLeast) << c.n;
        EXPECT_EQ(CTexture::PowerOfTwoBelow(c.n), c.below) << c.n;
    }
}

TEST_F(TextureTest, CopyFromBufferPadsEveryRow) {
    const Bytes source = pattern_pixels(5, 2, 3);
    CTexture t;
    ASSERT_TRUE(t.CopyFromBuffer(source.data(), 5, 2, 24));
    EXPECT_EQ(t.GetWidthByte32(), 16);
    EXPECT_TRUE(t.IsValid());
    EXPECT_FALSE(t.HasAlpha());
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(t.GetData()[j * 16 + i], source[j * 15 + i]) << "row " << j << " byte " << i;
    const BitmapInfoHeader& h = t.GetHeader();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 5);
    EXPECT_EQ(h.biHeight, 2);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biSizeImage, 32u);
    EXPECT_FALSE(t.CopyFromBuffer(nullptr, 5, 2, 24));
}

TEST_F(TextureTest, SwapRedBlue) {
    CTexture empty;
    EXPECT_FALSE(empty.SwapRedBlue());
    EXPECT_EQ(m_trace.lines, "\nInvalid texture\nWidth  : 0\nHeight : 0\nDepth  : 0\nData   : 0\n");

    for (int depth : {24, 32}) {
        const int bpp = depth / 8;
        const Bytes source = pattern_pixels(3, 2, bpp);
        CTexture t;
        ASSERT_TRUE(t.CopyFromBuffer(source.data(), 3, 2, depth));
        ASSERT_TRUE(t.SwapRedBlue());
        for (int j = 0; j < 2; ++j) {
            for (int i = 0; i < 3; ++i) {
                const unsigned char* p = t.GetData() + j * t.GetWidthByte32() + i * bpp;
                const unsigned char* s = source.data() + (j * 3 + i) * bpp;
                EXPECT_EQ(p[0], s[2]);
                EXPECT_EQ(p[1], s[1]);
                EXPECT_EQ(p[2], s[0]);
                if (bpp == 4) {
                    EXPECT_EQ(p[3], s[3]);
                }
            }
        }
    }
}

TEST_F(TextureTest, OversizedAllocationIsRefused) {
    CTexture t;
    EXPECT_EQ(t.Alloc(1 << 20, 1 << 20, 24), 0);
    EXPECT_EQ(TakeMessage(), "CTexture::Alloc : Insufisant memory");
    EXPECT_NE(m_trace.lines.find("CTexture::Alloc : Insuffisant memory\n"), std::string::npos);
    EXPECT_EQ(t.Alloc(-4, 3, 24), 0);
    EXPECT_EQ(TakeMessage(), "CTexture::Alloc : Insufisant memory");
    EXPECT_EQ(t.GetData(), nullptr);
}

TEST_F(TextureTest, BmpRoundTrip) {
    const Bytes original = bmp_file(5, 3);
    Write(Path("in.BMP"), original);
    CTexture t;
    ASSERT_EQ(t.ReadFile(Path("in.BMP")), 1) << TakeMessage(); // case-blind extension
    EXPECT_EQ(t.GetWidth(), 5);
    EXPECT_EQ(t.GetHeight(), 3);
    EXPECT_EQ(t.GetDepth(), 24);
    EXPECT_EQ(t.GetWidthByte32(), 16);
    EXPECT_EQ(t.GetFileName(), Path("in.BMP"));
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(t.GetData()[j * 16 + i], original[54 + j * 16 + i]);
    EXPECT_NE(m_trace.lines.find("FileHeader.bfType : 19778\n"), std::string::npos);
    EXPECT_NE(m_trace.lines.find("**** biWidth : 5\n"), std::string::npos);
    EXPECT_NE(m_trace.lines.find("**** biSizeImage : 48\n"), std::string::npos);

    ASSERT_EQ(t.SaveFile(Path("out.bmp")), 1) << TakeMessage();
    EXPECT_EQ(Read(Path("out.bmp")), original);
    EXPECT_NE(m_trace.lines.find("\nSave BMP File...\n"), std::string::npos);

    // An image made in memory writes a file that reads back the same.
    const Bytes pixels = pattern_pixels(7, 4, 3);
    CTexture made;
    ASSERT_TRUE(made.CopyFromBuffer(pixels.data(), 7, 4, 24));
    ASSERT_EQ(made.SaveFileBMP(Path("made.bmp")), 1);
    EXPECT_EQ(Read(Path("made.bmp")).size(), 54u + 24 * 4);
    CTexture back;
    ASSERT_EQ(back.ReadFileBMP(Path("made.bmp")), 1);
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 21; ++i)
            EXPECT_EQ(back.GetData()[j * 24 + i], pixels[j * 21 + i]);
    EXPECT_EQ(TakeMessage(), "");
}

TEST_F(TextureTest, RawRoundTrip) {
    for (int depth : {24, 32}) {
        const int bpp = depth / 8;
        const Bytes pixels = pattern_pixels(5, 3, bpp);
        CTexture t;
        ASSERT_TRUE(t.CopyFromBuffer(pixels.data(), 5, 3, depth));
        const std::string path = Path("image.RAW");
        ASSERT_EQ(t.SaveFile(path), 1) << TakeMessage();
        EXPECT_EQ(Read(path), pixels); // no row padding in the file
        CTexture back;
        ASSERT_EQ(back.ReadFile(path, 5, 3, depth), 1) << TakeMessage();
        EXPECT_EQ(back.GetWidthByte32(), CTexture::WidthByte32(5, depth));
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 5 * bpp; ++i)
                EXPECT_EQ(back.GetData()[j * back.GetWidthByte32() + i], pixels[j * 5 * bpp + i]);
    }
    // Fewer bytes than the image needs.
    Write(Path("short.raw"), Bytes(44, 1));
    CTexture t;
    EXPECT_EQ(t.ReadFile(Path("short.raw"), 5, 3, 24), 0);
    EXPECT_EQ(TakeMessage(), "Error during reading image");
}

TEST_F(TextureTest, MessagesOfBadFiles) {
    const Bytes good = bmp_file(4, 2);
    auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        return b;
    };
    const struct {
        const char* name;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"empty.bmp", Bytes{}, "Error during reading file header"},
        {"ten.bmp", Bytes(good.begin(), good.begin() + 10), "Error during reading file header"},
        {"fileheader.bmp", Bytes(good.begin(), good.begin() + 30),
         "Error during reading image header"},
        {"type.bmp", with([](Bytes& b) { b[0] = 'X'; }), "Invalid BMP file"},
        {"eightbit.bmp", with([](Bytes& b) { put16(b, 28, 8); }),
         "Texture file must have 24 bits depth"},
        {"planes.bmp", with([](Bytes& b) { put16(b, 26, 2); }),
         "Texture file must have 24 bits depth"},
        {"truncated.bmp", Bytes(good.begin(), good.end() - 1), "Error during reading image"},
        {"zerowidth.bmp", with([](Bytes& b) { put32(b, 18, 0); }), "Invalid BMP file"},
        {"negativeheight.bmp", with([](Bytes& b) { put32(b, 22, 0xFFFFFFFEu); }),
         "Invalid BMP file"},
        {"huge.bmp", with([](Bytes& b) { put32(b, 18, 0x7FFFFFFF); }), "Invalid BMP file"},
        {"tall.bmp", with([](Bytes& b) { put32(b, 22, 3000); }), "Invalid BMP file"},
        {"sizeimage.bmp", with([](Bytes& b) { put32(b, 34, 8); }), "Invalid BMP file"},
        {"nosizeimage.bmp", with([](Bytes& b) { put32(b, 34, 0); }), "Invalid BMP file"},
        {"compressed.bmp", with([](Bytes& b) { put32(b, 30, 1); }), "Invalid BMP file"},
        {"offset.bmp", with([](Bytes& b) { put32(b, 10, 138); }), "Invalid BMP file"},
    };
    for (const auto& c : cases) {
        Write(Path(c.name), c.bytes);
        CTexture t;
        EXPECT_EQ(t.ReadFile(Path(c.name)), 0) << c.name;
        EXPECT_EQ(TakeMessage(), c.message) << c.name;
        EXPECT_EQ(t.GetData(), nullptr) << c.name;
    }
    // A taller image whose rows are really there is fine.
    Bytes tall = bmp_file(4, 2);
    tall.resize(54 + 12 * 3000);
    put32(tall, 22, 3000);
    put32(tall, 34, 12 * 3000);
    Write(Path("tallok.bmp"), tall);
    CTexture t;
    EXPECT_EQ(t.ReadFile(Path("tallok.bmp")), 1) << TakeMessage();

    EXPECT_EQ(t.ReadFile(Path("missing.bmp")), 0);
    EXPECT_EQ(TakeMessage(), "Unable to open file for reading");
    EXPECT_NE(m_trace.lines.find("File could not be opened 2\n"), std::string::npos);
    EXPECT_EQ(t.ReadFile(Path("picture.jpg")), 0);
    EXPECT_EQ(TakeMessage(),
              "CTexture::ReadFile : invalid file redirection : " + Path("picture.jpg") + "\n");
    EXPECT_EQ(t.ReadFile(Path("missing.raw"), 4, 4, 24), 0);
    EXPECT_EQ(TakeMessage(), "Unable to open file for reading");
}

// What an image holds, for telling whether a refused read touched it.
struct Snapshot {
    int width, height, depth, stride;
    std::uint32_t hdrSizeImage;
    std::int32_t hdrWidth, hdrHeight;
    std::uint16_t hdrBitCount;
    Bytes rows;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const CTexture& t) {
    const BitmapInfoHeader& h = t.GetHeader();
    const std::size_t n = static_cast<std::size_t>(t.GetWidthByte32()) * t.GetHeight();
    return {
        t.GetWidth(),       t.GetHeight(), t.GetDepth(),
        t.GetWidthByte32(), h.biSizeImage, h.biWidth,
        h.biHeight,         h.biBitCount,  Bytes(t.GetData(), t.GetData() + (t.GetData() ? n : 0))};
}

TEST_F(TextureTest, RefusedBmpLeavesTheEarlierImageWhole) {
    // A file refused part-way through, read into an object that already holds an image of
    // another size: the earlier image stays as it was, header and row stride included, so
    // that every later operation stays within its rows.
    auto truncated = [](int w, int h) {
        Bytes b = bmp_file(w, h);
        b.resize(b.size() - 5);
        return b;
    };
    auto eightBit = [](int w, int h) {
        Bytes b = bmp_file(w, h);
        put16(b, 28, 8);
        return b;
    };
    const struct {
        const char* name;
        int loadedWidth, loadedHeight;
        Bytes file;
        const char* message;
    } cases[] = {
        {"smaller truncated", 40, 30, truncated(3, 2), "Error during reading image"},
        {"larger truncated", 3, 2, truncated(40, 30), "Error during reading image"},
        {"larger eight-bit", 3, 2, eightBit(40, 30), "Texture file must have 24 bits depth"},
        {"smaller eight-bit", 40, 30, eightBit(3, 2), "Texture file must have 24 bits depth"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write(Path("loaded.bmp"), bmp_file(c.loadedWidth, c.loadedHeight));
        Write(Path("refused.bmp"), c.file);
        CTexture t;
        ASSERT_EQ(t.ReadFileBMP(Path("loaded.bmp")), 1) << TakeMessage();
        const Snapshot before = snapshot(t);

        EXPECT_EQ(t.ReadFileBMP(Path("refused.bmp")), 0);
        EXPECT_EQ(TakeMessage(), c.message);
        EXPECT_TRUE(snapshot(t) == before);
        EXPECT_EQ(t.GetFileName(), Path("loaded.bmp"));

        // Whatever the header and stride say is really there (AddressSanitizer watches).
        ASSERT_TRUE(t.IsValid());
        EXPECT_EQ(t.GetHeader().biWidth, t.GetWidth());
        EXPECT_EQ(t.GetHeader().biHeight, t.GetHeight());
        EXPECT_EQ(t.GetHeader().biSizeImage,
                  static_cast<std::uint32_t>(t.GetWidthByte32() * t.GetHeight()));
        ASSERT_TRUE(t.SwapRedBlue());
        const int stride = t.GetWidthByte32();
        for (int y = 0; y < t.GetHeight(); ++y)
            for (int x = 0; x < t.GetWidth(); ++x) {
                const unsigned char* p = before.rows.data() + y * stride + x * 3;
                ASSERT_EQ(t.GreyAt(x, y), (p[0] + p[1] + p[2]) / 3) << x << "," << y;
            }
        long drawn = -1;
        t.Draw(
            [&](const BitmapInfoHeader& h, const unsigned char* data, int, int, int, int) {
                drawn = 0;
                for (std::uint32_t i = 0; i < h.biSizeImage; ++i)
                    drawn += data[i];
            },
            0, 0);
        long expected = 0;
        for (unsigned char b : before.rows)
            expected += b;
        EXPECT_EQ(drawn, expected);

        // Through ReadFile the object is emptied first and stays empty.
        EXPECT_EQ(t.ReadFile(Path("refused.bmp")), 0);
        EXPECT_EQ(TakeMessage(), c.message);
        EXPECT_FALSE(t.IsValid());
        EXPECT_EQ(t.GetData(), nullptr);
        EXPECT_FALSE(t.SwapRedBlue());
    }
}

TEST_F(TextureTest, MessagesOfFailedWrites) {
    CTexture empty;
    EXPECT_EQ(empty.SaveFile(Path("x.raw")), 0);
    EXPECT_EQ(TakeMessage(), "CTexture::SaveFileRAW : invalid image");
    EXPECT_EQ(empty.SaveFile(Path("x.bmp")), 0);
    EXPECT_EQ(TakeMessage(), ""); // invalid image: trace only
    EXPECT_EQ(empty.SaveFile(Path("x.png")), 0);
    EXPECT_EQ(TakeMessage(),
              "CTexture::SaveFile : invalid file redirection : " + Path("x.png") + "\n");

    const Bytes pixels = pattern_pixels(64, 64, 3);
    CTexture t;
    ASSERT_TRUE(t.CopyFromBuffer(pixels.data(), 64, 64, 24));
    for (const char* name : {"no/such/folder/x.bmp", "no/such/folder/x.raw"}) {
        EXPECT_EQ(t.SaveFile(Path(name)), 0);
        EXPECT_EQ(TakeMessage(), "Unable to open file for writing") << name;
    }
}

// Pixel (column i, row j) of a 24-bit pattern image, as pattern_pixels made it.
int source_byte(int width, int i, int j, int k) {
    return static_cast<unsigned char>(((j * width + i) * 3 + k) * 7 + 3);
}

TEST_F(TextureTest, ExtractKeepsARectangleRowsReversed) {
    const Bytes pixels = pattern_pixels(5, 4, 3);
    CTexture t;
    ASSERT_TRUE(t.CopyFromBuffer(pixels.data(), 5, 4, 24));
    ASSERT_EQ(t.Extract(1, 1, 3, 2), 1);
    EXPECT_EQ(t.GetWidth(), 3);
    EXPECT_EQ(t.GetHeight(), 2);
    EXPECT_EQ(t.GetWidthByte32(), 12);
    EXPECT_EQ(t.GetHeader().biWidth, 3);
    // Row counting starts at the last stored row: new row i is old row 4 - 1 - i - 1.
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(t.GetData()[i * 12 + j * 3 + k], source_byte(5, 1 + j, 2 - i, k));
    EXPECT_NE(m_trace.lines.find("Start extracting...\nNew width : 3\nNew height : 2\n"),
              std::string::npos);

    const struct {
        int left, top, right, bottom;
    } refused[] = {{2, 0, 2, 1}, {0, 1, 2, 1}, {-1, 0, 1, 1}, {0, 0, 3, 1}, {0, 0, 1, 2}};
    for (const auto& r : refused)
        EXPECT_EQ(t.Extract(r.left, r.top, r.right, r.bottom), 0);
    EXPECT_EQ(t.GetWidth(), 3);
}

TEST_F(TextureTest, DuplicateMirrorAndSideBySide) {
    const Bytes pixels = pattern_pixels(3, 2, 3);
    CTexture mirror;
    ASSERT_TRUE(mirror.CopyFromBuffer(pixels.data(), 3, 2, 24));
    ASSERT_EQ(mirror.DuplicateMirror(), 1);
    EXPECT_EQ(mirror.GetWidth(), 6);
    EXPECT_EQ(mirror.GetHeight(), 4);
    EXPECT_EQ(mirror.GetWidthByte32(), 20);
    // After the whole-image extract, extracted row e is original row 1 - e.
    auto original_row = [](int extractedRow) { return 1 - extractedRow; };
    for (int i = 0; i < 4; ++i) {
        const int extracted = i < 2 ? 2 - i - 1 : i - 2;
        for (int j = 0; j < 6; ++j) {
            const int column = j < 3 ? j : 6 - j - 1;
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(mirror.GetData()[i * 20 + j * 3 + k],
                          source_byte(3, column, original_row(extracted), k))
                    << "row " << i << " column " << j;
        }
    }

    CTexture side;
    ASSERT_TRUE(side.CopyFromBuffer(pixels.data(), 3, 2, 24));
    ASSERT_EQ(side.DuplicateSideBySide(), 1);
    EXPECT_EQ(side.GetWidth(), 6);
    EXPECT_EQ(side.GetHeight(), 2);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 6; ++j)
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(side.GetData()[i * 20 + j * 3 + k],
                          source_byte(3, j % 3, original_row(2 - i - 1), k));
    EXPECT_NE(m_trace.lines.find("Start duplicate mirror...\nNew width : 6\n"
                                 "New widthbyte32 : 20\nNew height : 2\n"),
              std::string::npos);
}

TEST_F(TextureTest, AlphaAndGrey) {
    const Bytes pixels = pattern_pixels(3, 2, 3);
    CTexture t;
    ASSERT_TRUE(t.CopyFromBuffer(pixels.data(), 3, 2, 24));
    EXPECT_EQ(t.SetAlpha(9), 0); // no alpha byte yet
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(
                t.GreyAt(i, j),
                (source_byte(3, i, j, 0) + source_byte(3, i, j, 1) + source_byte(3, i, j, 2)) / 3);
    EXPECT_EQ(t.GreyAt(3, 0), 0); // outside: nothing read
    EXPECT_NE(m_trace.lines.find("Debug assertion failed: Texture"), std::string::npos);

    ASSERT_EQ(t.AddAlphaLayer(200), 1);
    EXPECT_EQ(t.GetDepth(), 32);
    EXPECT_TRUE(t.HasAlpha());
    EXPECT_EQ(t.GetWidthByte32(), 12);
    // The kept header describes the new rows: 3 x 2 pixels of 4 bytes, 24 bytes in all.
    EXPECT_EQ(t.GetHeader().biBitCount, 32);
    EXPECT_EQ(t.GetHeader().biSizeImage, 24u);
    EXPECT_EQ(t.GetHeader().biWidth, 3);
    EXPECT_EQ(t.GetHeader().biHeight, 2);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) {
            const unsigned char* p = t.GetData() + j * 12 + i * 4;
            EXPECT_EQ(p[0], source_byte(3, i, j, 0));
            EXPECT_EQ(p[2], source_byte(3, i, j, 2));
            EXPECT_EQ(p[3], 200);
        }
    // A width whose 24-bit rows are padded: 5 pixels take 16 bytes, then 20.
    CTexture five;
    ASSERT_TRUE(five.CopyFromBuffer(pattern_pixels(5, 1, 3).data(), 5, 1, 24));
    ASSERT_EQ(five.AddAlphaLayer(1), 1);
    EXPECT_EQ(five.GetWidthByte32(), 20);
    EXPECT_EQ(five.GetHeader().biSizeImage, 20u);
    ASSERT_EQ(t.AddAlphaLayer(7), 1); // already 32 bits: just the alpha
    EXPECT_EQ(t.GetData()[3], 7);

    Bytes other(3 * 2 * 3);
    for (std::size_t i = 0; i < other.size(); ++i)
        other[i] = static_cast<unsigned char>(i * 10);
    CTexture brightness;
    ASSERT_TRUE(brightness.CopyFromBuffer(other.data(), 3, 2, 24));
    CTexture target;
    ASSERT_TRUE(target.CopyFromBuffer(pixels.data(), 3, 2, 24));
    ASSERT_EQ(target.SetAlphaFromImage(brightness), 1);
    EXPECT_EQ(target.GetHeader().biBitCount, 32);
    EXPECT_EQ(target.GetHeader().biSizeImage, 24u);
    for (int p = 0; p < 6; ++p)
        EXPECT_EQ(target.GetData()[(p / 3) * 12 + (p % 3) * 4 + 3],
                  (other[p * 3] + other[p * 3 + 1] + other[p * 3 + 2]) / 3);
    CTexture wider;
    ASSERT_TRUE(wider.CopyFromBuffer(pattern_pixels(4, 2, 3).data(), 4, 2, 24));
    EXPECT_FALSE(wider.SameSize(target));
    EXPECT_EQ(wider.SetAlphaFromImage(target), 0);
}

TEST_F(TextureTest, DrawHandsOverTheWholeImage) {
    CTexture t;
    int calls = 0;
    auto target = [&](const BitmapInfoHeader& h, const unsigned char* data, int x, int y, int w,
                      int hh) {
        ++calls;
        EXPECT_EQ(h.biWidth, 3);
        EXPECT_EQ(data, t.GetData());
        EXPECT_EQ(x, 10);
        EXPECT_EQ(y, 20);
        EXPECT_EQ(w, 3);
        EXPECT_EQ(hh, 2);
    };
    EXPECT_EQ(t.Draw(target, 10, 20), 0);
    ASSERT_TRUE(t.CopyFromBuffer(pattern_pixels(3, 2, 3).data(), 3, 2, 24));
    EXPECT_EQ(t.Draw(target, 10, 20), 1);
    EXPECT_EQ(calls, 1);
}

// Mutated and truncated headers must be refused or read within the file's bytes; run
// under AddressSanitizer this catches any read or write outside the buffers.
TEST_F(TextureTest, BmpReaderSurvivesMutatedFiles) {
    const Bytes good = bmp_file(7, 5);
    const std::string path = Path("fuzz.bmp");
    const std::string copy = Path("copy.bmp");
    int accepted = 0, refused = 0;
    auto exercise = [&](const Bytes& bytes) {
        Write(path, bytes);
        CTexture t;
        if (t.ReadFile(path) == 1) {
            ++accepted;
            ASSERT_TRUE(t.IsValid());
            const std::int64_t rows = std::int64_t{t.GetWidthByte32()} * t.GetHeight();
            ASSERT_LE(rows + 54, static_cast<std::int64_t>(bytes.size()));
            EXPECT_EQ(t.GetHeader().biSizeImage, static_cast<std::uint32_t>(rows));
            // The rows are the file's bytes right after the 54 header bytes.
            int wrongGrey = 0;
            for (int y = 0; y < t.GetHeight(); ++y)
                for (int x = 0; x < t.GetWidth(); ++x) {
                    const unsigned char* p =
                        bytes.data() + 54 + std::int64_t{y} * t.GetWidthByte32() + x * 3;
                    wrongGrey += t.GreyAt(x, y) != (p[0] + p[1] + p[2]) / 3;
                }
            EXPECT_EQ(wrongGrey, 0);
            EXPECT_TRUE(t.SwapRedBlue());
            EXPECT_EQ(t.SaveFile(copy), 1);
            CTexture back;
            EXPECT_EQ(back.ReadFile(copy), 1);
            EXPECT_TRUE(back.SameSize(t));
        } else {
            ++refused;
            EXPECT_EQ(t.GetData(), nullptr);
        }
        m_prompt.texts.clear();
    };

    for (std::size_t n = 0; n < good.size(); ++n)
        exercise(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));

    const std::uint32_t extremes[] = {
        0,      1,       2,          3,           7,          8,          54,         1000,
        0x7FFF, 0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFF, 0xFFFFFFFE, 0x40000000, 0x55555556};
    const std::size_t fields[] = {2, 10, 14, 18, 22, 26, 28, 30, 34};
    for (std::size_t at : fields)
        for (std::uint32_t v : extremes) {
            Bytes b = good;
            if (at == 26 || at == 28)
                put16(b, at, static_cast<std::uint16_t>(v));
            else
                put32(b, at, v);
            exercise(b);
        }

    std::mt19937 random(2024);
    std::uniform_int_distribution<int> headerByte(0, 53), value(0, 255), flips(1, 4);
    std::uniform_int_distribution<int> cut(0, static_cast<int>(good.size()) + 40);
    for (int round = 0; round < 3000; ++round) {
        Bytes b = good;
        for (int f = flips(random); f > 0; --f)
            b[headerByte(random)] = static_cast<unsigned char>(value(random));
        // Keep the header acceptable more often than chance would, so that reads go deep.
        if (round % 2 == 0) {
            b[0] = 'B';
            b[1] = 'M';
            put16(b, 26, 1);
            put16(b, 28, 24);
        }
        b.resize(static_cast<std::size_t>(cut(random)), 0x5A);
        exercise(b);
    }
    EXPECT_GT(accepted, 100);
    EXPECT_GT(refused, 1000);
}

} // namespace
} // namespace skyfetch
