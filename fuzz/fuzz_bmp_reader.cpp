// CTexture's BMP reader on the input as the content of a .bmp file.
//
// A file the reader takes must give an image whose size, row stride, kept header and
// pixel bytes agree with each other and with the file, and that writes back and reads
// again unchanged. A file it refuses must be reported to the user, leave a fresh image
// empty and usable, and leave an image held before untouched, header and stride included.

#include "FuzzSupport.h"

#include "globe/Texture.h"
#include "putil/UserPrompt.h"

#include <cstring>

using namespace skyfetch;

namespace {

// Counts the messages instead of writing them to standard error.
class CountingPrompt : public UserPrompt {
public:
    PromptAnswer show(const std::string&, PromptIcon, PromptButtons) override {
        ++shown;
        return PromptAnswer::Ok;
    }
    int shown = 0;
};

CountingPrompt g_prompt;

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

bool same_header(const BitmapInfoHeader& a, const BitmapInfoHeader& b) {
    return a.biSize == b.biSize && a.biWidth == b.biWidth && a.biHeight == b.biHeight &&
           a.biPlanes == b.biPlanes && a.biBitCount == b.biBitCount &&
           a.biCompression == b.biCompression && a.biSizeImage == b.biSizeImage &&
           a.biXPelsPerMeter == b.biXPelsPerMeter && a.biYPelsPerMeter == b.biYPelsPerMeter &&
           a.biClrUsed == b.biClrUsed && a.biClrImportant == b.biClrImportant;
}

// Everything a caller can see of an image.
struct Snapshot {
    int width, height, depth, stride;
    BitmapInfoHeader header;
    std::string fileName;
    std::string pixels;

    explicit Snapshot(const CTexture& t)
        : width(t.GetWidth()), height(t.GetHeight()), depth(t.GetDepth()),
          stride(t.GetWidthByte32()), header(t.GetHeader()), fileName(t.GetFileName()) {
        if (t.GetData())
            pixels.assign(reinterpret_cast<const char*>(t.GetData()),
                          static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    }
    bool operator==(const Snapshot& o) const {
        return width == o.width && height == o.height && depth == o.depth && stride == o.stride &&
               same_header(header, o.header) && fileName == o.fileName && pixels == o.pixels;
    }
};

// The pixel bytes of an image read from `file` (its whole content).
std::size_t check_loaded(const CTexture& t, const std::string& file, const std::string& path) {
    const int w = t.GetWidth();
    const int h = t.GetHeight();
    FUZZ_CHECK(w > 0 && h > 0 && t.GetDepth() == 24 && t.GetData() != nullptr && t.IsValid());
    // Rows of three bytes a pixel, padded to a multiple of four bytes.
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
    FUZZ_CHECK(static_cast<std::size_t>(t.GetWidthByte32()) == stride);
    const std::size_t bytes = stride * static_cast<std::size_t>(h);

    // The size is the file's, and the rows are the file's bytes from where it says they start.
    FUZZ_CHECK(file.size() >= 54);
    FUZZ_CHECK(static_cast<std::int32_t>(le32(file, 18)) == w);
    FUZZ_CHECK(static_cast<std::int32_t>(le32(file, 22)) == h);
    const std::size_t offset = le32(file, 10);
    FUZZ_CHECK(offset <= file.size() && file.size() - offset >= bytes);
    FUZZ_CHECK(std::memcmp(t.GetData(), file.data() + offset, bytes) == 0);

    // The kept header describes the rows held, so that drawing and writing can trust it.
    const BitmapInfoHeader& header = t.GetHeader();
    FUZZ_CHECK(header.biWidth == w && header.biHeight == h && header.biBitCount == 24 &&
               header.biPlanes == 1 && header.biSizeImage == bytes);
    FUZZ_CHECK(t.GetFileName() == path);
    const int corner = t.GreyAt(w - 1, h - 1);
    FUZZ_CHECK(corner >= 0 && corner <= 255);
    return bytes;
}

void check_refused_leaves_empty(CTexture& t) {
    FUZZ_CHECK(t.GetData() == nullptr && t.GetWidth() == 0 && t.GetHeight() == 0 &&
               t.GetDepth() == 0 && !t.IsValid());
    FUZZ_CHECK(t.Alloc(2, 1, 24) == 1 && t.IsValid());
}

void check_writes_back(CTexture& t, const std::string& copy, std::size_t bytes) {
    FUZZ_CHECK(t.SaveFileBMP(copy) == 1);
    std::string written;
    FUZZ_CHECK(fuzz::read_whole_file(copy, written) && written.size() == 54 + bytes);
    CTexture back;
    FUZZ_CHECK(back.ReadFileBMP(copy) == 1);
    FUZZ_CHECK(back.GetWidth() == t.GetWidth() && back.GetHeight() == t.GetHeight() &&
               back.GetDepth() == 24 && same_header(back.GetHeader(), t.GetHeader()));
    FUZZ_CHECK(std::memcmp(back.GetData(), t.GetData(), bytes) == 0);
    std::remove(copy.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    set_user_prompt(&g_prompt);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::scratch_folder() + "/input.bmp";
    const std::string copy = fuzz::scratch_folder() + "/copy.bmp";
    fuzz::write_whole_file(path, file);

    // A fresh image, through the reader that picks the format by the extension.
    CTexture fresh;
    g_prompt.shown = 0;
    const int result = fresh.ReadFile(path);
    FUZZ_CHECK(result == 0 || result == 1);
    if (result == 1) {
        FUZZ_CHECK(g_prompt.shown == 0);
        check_writes_back(fresh, copy, check_loaded(fresh, file, path));
    } else {
        FUZZ_CHECK(g_prompt.shown > 0);
        check_refused_leaves_empty(fresh);
    }

    // An image already held: replaced whole, or not touched at all.
    CTexture held;
    FUZZ_CHECK(held.Alloc(3, 2, 24) == 1);
    for (int i = 0; i < 2 * held.GetWidthByte32(); ++i)
        held.GetData()[i] = static_cast<unsigned char>(i * 37 + 11);
    const Snapshot before(held);
    g_prompt.shown = 0;
    const int again = held.ReadFileBMP(path);
    FUZZ_CHECK(again == result);
    if (again == 1) {
        check_loaded(held, file, path);
    } else {
        FUZZ_CHECK(g_prompt.shown > 0);
        FUZZ_CHECK(Snapshot(held) == before);
    }
    return 0;
}
