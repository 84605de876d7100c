#include "globe/Texture.h"

#include "globe/DebugTrace.h"
#include "putil/UserPrompt.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

// Developer checks: they leave a line in the trace and the operation goes on.
#define TEXTURE_ASSERT(condition)                                                                  \
    do {                                                                                           \
        if (!(condition))                                                                          \
            skyfetch::debug_trace("Debug assertion failed: Texture, line %d: %s\n", __LINE__,      \
                                  #condition);                                                     \
    } while (0)

namespace skyfetch {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr std::uint16_t kBmpType = 19778; // "BM"
// Anything larger is not an image this class is meant for; it also keeps every size
// computation far from overflow.
constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 30;
constexpr std::int32_t kMaxDimension = 1 << 16;

void show_message(PromptIcon icon, const char* format, ...) __attribute__((format(printf, 2, 3)));

void show_message(PromptIcon icon, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    user_prompt().show(text, icon, PromptButtons::Ok);
}

// Closes the file on every way out of a reader or writer.
class File {
public:
    File(const std::string& path, const char* mode) : m_file(std::fopen(path.c_str(), mode)) {}
    ~File() {
        if (m_file)
            std::fclose(m_file);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    explicit operator bool() const { return m_file != nullptr; }
    bool read(void* buffer, std::size_t n) {
        return n == 0 || std::fread(buffer, 1, n, m_file) == n;
    }
    bool write(const void* buffer, std::size_t n) {
        return n == 0 || std::fwrite(buffer, 1, n, m_file) == n;
    }
    // Bytes from the current position to the end, or -1 when the size cannot be told.
    long remaining() {
        const long here = std::ftell(m_file);
        if (here < 0 || std::fseek(m_file, 0, SEEK_END) != 0)
            return -1;
        const long end = std::ftell(m_file);
        if (std::fseek(m_file, here, SEEK_SET) != 0)
            return -1;
        return end - here;
    }
    // Flushes and closes; false when buffered data could not be written.
    bool close() {
        const int result = std::fclose(m_file);
        m_file = nullptr;
        return result == 0;
    }

private:
    std::FILE* m_file;
};

std::uint16_t get16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t get32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

void put16(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, std::uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

BitmapInfoHeader decode_info_header(const unsigned char* p) {
    BitmapInfoHeader h;
    h.biSize = get32(p);
    h.biWidth = static_cast<std::int32_t>(get32(p + 4));
    h.biHeight = static_cast<std::int32_t>(get32(p + 8));
    h.biPlanes = get16(p + 12);
    h.biBitCount = get16(p + 14);
    h.biCompression = get32(p + 16);
    h.biSizeImage = get32(p + 20);
    h.biXPelsPerMeter = static_cast<std::int32_t>(get32(p + 24));
    h.biYPelsPerMeter = static_cast<std::int32_t>(get32(p + 28));
    h.biClrUsed = get32(p + 32);
    h.biClrImportant = get32(p + 36);
    return h;
}

void encode_info_header(const BitmapInfoHeader& h, unsigned char* p) {
    put32(p, h.biSize);
    put32(p + 4, static_cast<std::uint32_t>(h.biWidth));
    put32(p + 8, static_cast<std::uint32_t>(h.biHeight));
    put16(p + 12, h.biPlanes);
    put16(p + 14, h.biBitCount);
    put32(p + 16, h.biCompression);
    put32(p + 20, h.biSizeImage);
    put32(p + 24, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    put32(p + 28, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    put32(p + 32, h.biClrUsed);
    put32(p + 36, h.biClrImportant);
}

// A file that did not open is traced with its cause and reported to the user.
bool ReportOpened(const File& file, const char* message) {
    if (file)
        return true;
    debug_trace("File could not be opened %d\n", errno);
    show_message(PromptIcon::Error, "%s", message);
    return false;
}

struct FileHeader {
    std::uint16_t bfType = 0;
    std::uint32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::uint32_t bfOffBits = 0;
};

void trace_file_header(const FileHeader& f) {
    debug_trace("FileHeader.bfType : %d\n", static_cast<int>(f.bfType));
    debug_trace("FileHeader.bfSize : %d\n", static_cast<int>(f.bfSize));
    debug_trace("FileHeader.bfReserved1 : %d\n", static_cast<int>(f.bfReserved1));
    debug_trace("FileHeader.bfReserved2 : %d\n", static_cast<int>(f.bfReserved2));
    debug_trace("FileHeader.bfOffBits : %d\n", static_cast<int>(f.bfOffBits));
}

void trace_image_header(const BitmapInfoHeader& h) {
    debug_trace("\n");
    debug_trace("**** IMAGE HEADER :\n");
    debug_trace("**** biSize : %d\n", static_cast<int>(h.biSize));
    debug_trace("**** biWidth : %d\n", h.biWidth);
    debug_trace("**** biHeight : %d\n", h.biHeight);
    debug_trace("**** biPlanes : %d\n", static_cast<int>(h.biPlanes));
    debug_trace("**** biBitCount : %d\n", static_cast<int>(h.biBitCount));
    debug_trace("**** biCompression : %d\n", static_cast<int>(h.biCompression));
    debug_trace("**** biSizeImage : %d\n", static_cast<int>(h.biSizeImage));
    debug_trace("**** biXPelsPerMeter : %d\n", h.biXPelsPerMeter);
    debug_trace("**** biYPelsPerMeter : %d\n", h.biYPelsPerMeter);
    debug_trace("**** biClrUsed : %d\n", static_cast<int>(h.biClrUsed));
    debug_trace("**** biClrImportant : %d\n", static_cast<int>(h.biClrImportant));
}

std::string lower_extension(const std::string& path) {
    std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// Row stride of a 24-bit image in 64-bit arithmetic, for checking untrusted headers.
std::int64_t stride24(std::int64_t width) {
    const std::int64_t b = width * 3;
    return b % 4 ? b + 4 - b % 4 : b;
}

} // namespace

CTexture::~CTexture() = default;

int CTexture::WidthByte32(int width, int depth) {
    // Unsigned on purpose: the byte count of a row is taken modulo 2^32 as the BMP
    // format's own arithmetic does; callers keep sizes far below that.
    const unsigned b = static_cast<unsigned>(width) * static_cast<unsigned>(depth) / 8;
    return static_cast<int>(b % 4 ? b + 4 - b % 4 : b);
}

std::unique_ptr<unsigned char[]> CTexture::AllocateRows(int stride, int height) {
    if (stride < 0 || height < 0 || static_cast<std::int64_t>(stride) * height > kMaxImageBytes)
        return nullptr;
    return std::unique_ptr<unsigned char[]>(
        new (std::nothrow) unsigned char[static_cast<std::size_t>(stride) * height]);
}

int CTexture::Alloc(int width, int height, int depth) {
    Free();
    TEXTURE_ASSERT(depth / 8 == 3 || depth / 8 == 4);
    // A negative or oversized request is refused like an exhausted heap, before any
    // arithmetic on it can overflow.
    const bool sane =
        width >= 0 && depth >= 0 && static_cast<std::int64_t>(width) * depth <= kMaxImageBytes;
    const int stride = sane ? WidthByte32(width, depth) : -1;
    auto rows = AllocateRows(stride, height);
    if (!rows) {
        debug_trace("CTexture::Alloc : Insuffisant memory\n");
        show_message(PromptIcon::Error, "CTexture::Alloc : Insufisant memory");
        return 0;
    }
    m_data = std::move(rows);
    m_width = width;
    m_widthByte32 = stride;
    m_height = height;
    m_depth = depth;
    UpdateHeader();
    return 1;
}

void CTexture::Free() {
    m_data.reset();
    m_width = 0;
    m_height = 0;
    m_depth = 0;
}

bool CTexture::CopyFromBuffer(const unsigned char* source, int width, int height, int depth) {
    if (!source || !Alloc(width, height, depth))
        return false;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * (depth / 8);
    for (int j = 0; j < height; ++j)
        std::memcpy(m_data.get() + static_cast<std::size_t>(j) * m_widthByte32,
                    source + rowBytes * j, rowBytes);
    return true;
}

bool CTexture::SwapRedBlue() {
    if (!IsValid())
        return false;
    const int bpp = m_depth / 8;
    for (int j = 0; j < m_height; ++j) {
        unsigned char* p = m_data.get() + static_cast<std::size_t>(j) * m_widthByte32;
        for (int i = 0; i < m_width; ++i, p += bpp)
            std::swap(p[0], p[2]);
    }
    return true;
}

bool CTexture::IsValid() const {
    if ((m_depth == 24 || m_depth == 32) && m_width != 0 && m_height != 0 && m_data)
        return true;
    debug_trace("\n");
    debug_trace("Invalid texture\n");
    debug_trace("Width  : %d\n", m_width);
    debug_trace("Height : %d\n", m_height);
    debug_trace("Depth  : %d\n", m_depth);
    debug_trace("Data   : %x\n",
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(m_data.get())));
    return false;
}

void CTexture::UpdateWidthByte32() {
    m_widthByte32 = WidthByte32(m_width, m_depth);
}

void CTexture::UpdateHeader() {
    UpdateWidthByte32();
    m_header.biSize = kInfoHeaderSize;
    m_header.biWidth = m_width;
    m_header.biHeight = m_height;
    m_header.biPlanes = 1;
    m_header.biBitCount = static_cast<std::uint16_t>(m_depth);
    m_header.biCompression = 0;
    m_header.biSizeImage =
        static_cast<std::uint32_t>(m_widthByte32) * static_cast<std::uint32_t>(m_height);
    m_header.biXPelsPerMeter = 0;
    m_header.biYPelsPerMeter = 0;
    m_header.biClrUsed = 0;
    m_header.biClrImportant = 0;
}

int CTexture::ReadFile(const std::string& path, int width, int height, int depth) {
    Free();
    m_fileName = path;
    debug_trace("CTexture::ReadFile : file : %s\n", path.c_str());
    const std::string ext = lower_extension(path);
    if (ext == ".bmp")
        return ReadFileBMP(path);
    if (ext == ".raw")
        return ReadFileRAW(path, width, height, depth);
    show_message(PromptIcon::Warning, "CTexture::ReadFile : invalid file redirection : %s\n",
                 path.c_str());
    return 0;
}

int CTexture::ReadFileBMP(const std::string& path) {
    File file(path, "rb");
    if (!ReportOpened(file, "Unable to open file for reading"))
        return 0;

    unsigned char raw[kInfoHeaderSize];
    errno = 0;
    if (!file.read(raw, kFileHeaderSize)) {
        debug_trace("Error during reading %d\n", errno);
        show_message(PromptIcon::Error, "Error during reading file header");
        return 0;
    }
    FileHeader fh;
    fh.bfType = get16(raw);
    fh.bfSize = get32(raw + 2);
    fh.bfReserved1 = get16(raw + 6);
    fh.bfReserved2 = get16(raw + 8);
    fh.bfOffBits = get32(raw + 10);
    trace_file_header(fh);
    if (fh.bfType != kBmpType) {
        show_message(PromptIcon::Warning, "Invalid BMP file");
        return 0;
    }

    errno = 0;
    if (!file.read(raw, kInfoHeaderSize)) {
        debug_trace("Error during reading %d\n", errno);
        show_message(PromptIcon::Error, "Error during reading image header");
        return 0;
    }
    // The file is decoded into locals; the object takes them over only when the whole
    // image has been read, so a refused file leaves the image held before untouched, its
    // header and row stride included.
    BitmapInfoHeader header = decode_info_header(raw);
    trace_image_header(header);
    if (header.biPlanes != 1 || header.biBitCount != 24) {
        show_message(PromptIcon::Warning, "Texture file must have 24 bits depth");
        return 0;
    }

    // Nothing in the header is trusted: the pixels must start right after it, be
    // uncompressed bottom-up rows of a sensible size, and be present in full, before a
    // single byte is allocated or read.
    const std::int64_t width = header.biWidth;
    const std::int64_t height = header.biHeight;
    const bool dimensionsOk =
        width > 0 && height > 0 && width <= kMaxDimension && height <= kMaxDimension;
    const std::int64_t needed = dimensionsOk ? stride24(width) * height : 0;
    if (!dimensionsOk || needed > kMaxImageBytes ||
        fh.bfOffBits != kFileHeaderSize + kInfoHeaderSize || header.biSize != kInfoHeaderSize ||
        header.biCompression != 0 || header.biSizeImage < needed) {
        debug_trace("Unsupported BMP header values\n");
        show_message(PromptIcon::Warning, "Invalid BMP file");
        return 0;
    }
    const long available = file.remaining();
    if (available < needed) {
        debug_trace("Pixel data too short : %ld bytes for %lld\n", available,
                    static_cast<long long>(needed));
        show_message(PromptIcon::Error, "Error during reading image");
        return 0;
    }

    auto rows = AllocateRows(static_cast<int>(stride24(width)), static_cast<int>(height));
    if (!rows) {
        show_message(PromptIcon::Error, "Insuffisant memory");
        return 0;
    }
    errno = 0;
    if (!file.read(rows.get(), static_cast<std::size_t>(needed))) {
        debug_trace("Error during reading %d\n", errno);
        show_message(PromptIcon::Error, "Error during reading image");
        return 0;
    }
    file.close();
    m_data = std::move(rows);
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    m_depth = header.biBitCount;
    UpdateWidthByte32();
    m_fileName = path;
    // Only the rows of the image are kept; the header says so, so that writing the image
    // back gives a consistent file.
    m_header = header;
    m_header.biSizeImage = static_cast<std::uint32_t>(needed);
    return 1;
}

int CTexture::ReadFileRAW(const std::string& path, int width, int height, int depth) {
    TEXTURE_ASSERT(width != 0 && height != 0 && depth != 0);
    TEXTURE_ASSERT(depth % 8 == 0 && (depth / 8 == 3 || depth / 8 == 4));
    File file(path, "rb");
    if (!ReportOpened(file, "Unable to open file for reading"))
        return 0;
    if (!Alloc(width, height, depth)) {
        show_message(PromptIcon::Error, "Insuffisant memory");
        return 0;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * (depth / 8);
    errno = 0;
    for (int j = 0; j < height; ++j) {
        if (!file.read(m_data.get() + static_cast<std::size_t>(j) * m_widthByte32, rowBytes)) {
            debug_trace("Error during reading %d\n", errno);
            show_message(PromptIcon::Error, "Error during reading image");
            return 0;
        }
    }
    file.close();
    m_fileName = path;
    return 1;
}

int CTexture::SaveFile(const std::string& path) {
    debug_trace("CTexture::SaveFile : file : %s\n", path.c_str());
    const std::string ext = lower_extension(path);
    if (ext == ".raw")
        return SaveFileRAW(path);
    if (ext == ".bmp")
        return SaveFileBMP(path);
    show_message(PromptIcon::Warning, "CTexture::SaveFile : invalid file redirection : %s\n",
                 path.c_str());
    return 0;
}

int CTexture::SaveFileRAW(const std::string& path) {
    if (static_cast<std::int64_t>(m_width) * m_height * m_depth == 0 || !m_data) {
        show_message(PromptIcon::Warning, "CTexture::SaveFileRAW : invalid image");
        return 0;
    }
    File file(path, "wb");
    if (!ReportOpened(file, "Unable to open file for writing"))
        return 0;
    const std::size_t rowBytes = static_cast<std::size_t>(m_width) * (m_depth / 8);
    errno = 0;
    bool ok = true;
    for (int j = 0; j < m_height && ok; ++j)
        ok = file.write(m_data.get() + static_cast<std::size_t>(j) * m_widthByte32, rowBytes);
    // A write can also fail when the last buffered bytes reach the disk.
    if (!ok || !file.close()) {
        debug_trace("Error during writing %d\n", errno);
        show_message(PromptIcon::Error, "Error during writing image");
        return 0;
    }
    return 1;
}

int CTexture::SaveFileBMP(const std::string& path) {
    if (!IsValid() || m_depth != 24)
        return 0;
    File file(path, "wb");
    if (!ReportOpened(file, "Unable to open file for writing"))
        return 0;
    const std::size_t imageBytes = static_cast<std::size_t>(m_widthByte32) * m_height;
    FileHeader fh;
    fh.bfType = kBmpType;
    fh.bfSize = static_cast<std::uint32_t>(imageBytes + kFileHeaderSize + kInfoHeaderSize);
    fh.bfOffBits = kFileHeaderSize + kInfoHeaderSize;
    debug_trace("\nSave BMP File...\n");
    trace_file_header(fh);

    auto fail = [](const char* message) {
        debug_trace("Error during writing %d\n", errno);
        show_message(PromptIcon::Error, "%s", message);
        return 0;
    };
    unsigned char raw[kInfoHeaderSize];
    put16(raw, fh.bfType);
    put32(raw + 2, fh.bfSize);
    put16(raw + 6, fh.bfReserved1);
    put16(raw + 8, fh.bfReserved2);
    put32(raw + 10, fh.bfOffBits);
    errno = 0;
    if (!file.write(raw, kFileHeaderSize))
        return fail("Error during writing file header");
    encode_info_header(m_header, raw);
    if (!file.write(raw, kInfoHeaderSize))
        return fail("Error during writing image header");
    trace_image_header(m_header);
    // The rows this image holds, which is what its header describes.
    if (!file.write(m_data.get(), imageBytes) || !file.close())
        return fail("Error during writing image");
    return 1;
}

void CTexture::CopyPixel(int row, int column, unsigned char* rows, int stride, int toRow,
                         int toColumn) const {
    const int bpp = m_depth / 8;
    std::memcpy(rows + static_cast<std::size_t>(toRow) * stride +
                    static_cast<std::size_t>(toColumn) * bpp,
                m_data.get() + static_cast<std::size_t>(row) * m_widthByte32 +
                    static_cast<std::size_t>(column) * bpp,
                static_cast<std::size_t>(bpp));
}

int CTexture::Extract(int left, int top, int right, int bottom) {
    TEXTURE_ASSERT(IsValid());
    if (right == -1)
        right = m_width - 1;
    if (bottom == -1)
        bottom = m_height - 1;
    if (!(left < right && top < bottom && 0 <= left && right < m_width && 0 <= top &&
          bottom < m_height) ||
        !m_data)
        return 0;
    const int w = right - left + 1;
    const int h = bottom - top + 1;
    const int stride = WidthByte32(w, m_depth);
    debug_trace("Start extracting...\n");
    debug_trace("New width : %d\n", w);
    debug_trace("New height : %d\n", h);
    auto rows = AllocateRows(stride, h);
    if (!rows) {
        show_message(PromptIcon::Error, "Insuffisant memeory");
        return 0;
    }
    // Rows are counted from the last stored row, so the kept rows come out reversed.
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j)
            CopyPixel(m_height - top - i - 1, left + j, rows.get(), stride, i, j);
    m_data = std::move(rows);
    m_width = w;
    m_widthByte32 = stride;
    m_height = h;
    UpdateHeader();
    return 1;
}

int CTexture::Duplicate(bool mirror, int left, int top, int right, int bottom) {
    if (!Extract(left, top, right, bottom))
        return 0;
    const int w = m_width;
    const int h = m_height;
    const int newWidth = 2 * w;
    const int newHeight = mirror ? 2 * h : h;
    const int stride = WidthByte32(newWidth, m_depth);
    debug_trace("Start duplicate mirror...\n");
    debug_trace("New width : %d\n", newWidth);
    debug_trace("New widthbyte32 : %d\n", stride);
    debug_trace("New height : %d\n", newHeight);
    auto rows = AllocateRows(stride, newHeight);
    if (!rows) {
        show_message(PromptIcon::Error, "Insuffisant memeory");
        return 0;
    }
    for (int i = 0; i < newHeight; ++i) {
        const int from = i < h ? h - i - 1 : i - h;
        for (int j = 0; j < newWidth; ++j) {
            const int column = j < w ? j : (mirror ? newWidth - j - 1 : j - w);
            CopyPixel(from, column, rows.get(), stride, i, j);
        }
    }
    m_data = std::move(rows);
    m_width = newWidth;
    m_widthByte32 = stride;
    m_height = newHeight;
    UpdateHeader();
    return 1;
}

int CTexture::DuplicateMirror(int left, int top, int right, int bottom) {
    return Duplicate(true, left, top, right, bottom);
}

int CTexture::DuplicateSideBySide(int left, int top, int right, int bottom) {
    return Duplicate(false, left, top, right, bottom);
}

int CTexture::AddAlphaLayer(unsigned char alpha) {
    if (!IsValid())
        return 0;
    if (m_depth == 32)
        return SetAlpha(alpha);
    const int stride = m_width * 4;
    auto rows = AllocateRows(stride, m_height);
    if (!rows) {
        show_message(PromptIcon::Error, "CTexture::AddAlphaLayer : insuffisant memory");
        return 0;
    }
    for (int j = 0; j < m_height; ++j) {
        const unsigned char* from = m_data.get() + static_cast<std::size_t>(j) * m_widthByte32;
        unsigned char* to = rows.get() + static_cast<std::size_t>(j) * stride;
        for (int i = 0; i < m_width; ++i, from += 3, to += 4) {
            std::memcpy(to, from, 3);
            to[3] = alpha;
        }
    }
    m_data = std::move(rows);
    m_depth = 32;
    m_widthByte32 = stride;
    // The kept header is what drawing and writing trust; it must describe the new rows.
    UpdateHeader();
    return 1;
}

int CTexture::SetAlpha(unsigned char alpha) {
    if (!IsValid() || m_depth != 32)
        return 0;
    for (int j = 0; j < m_height; ++j) {
        unsigned char* p = m_data.get() + static_cast<std::size_t>(j) * m_widthByte32;
        for (int i = 0; i < m_width; ++i)
            p[i * 4 + 3] = alpha;
    }
    return 1;
}

int CTexture::SetAlphaFromImage(const CTexture& other) {
    if (!IsValid() || !other.IsValid() || !SameSize(other))
        return 0;
    if (!AddAlphaLayer(0))
        return 0;
    const int otherBpp = other.m_depth / 8;
    for (int j = 0; j < m_height; ++j) {
        unsigned char* to = m_data.get() + static_cast<std::size_t>(j) * m_widthByte32;
        const unsigned char* from =
            other.m_data.get() + static_cast<std::size_t>(j) * other.m_widthByte32;
        for (int i = 0; i < m_width; ++i, to += 4, from += otherBpp)
            to[3] = static_cast<unsigned char>((from[0] + from[1] + from[2]) / 3);
    }
    return 1;
}

bool CTexture::SameSize(const CTexture& other) const {
    return m_width == other.m_width && m_height == other.m_height;
}

int CTexture::GreyAt(int x, int y) const {
    TEXTURE_ASSERT(x < m_width);
    TEXTURE_ASSERT(y < m_height);
    // Outside the image there is nothing to read.
    if (!m_data || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    const unsigned char* row = m_data.get() + static_cast<std::size_t>(y) * m_widthByte32;
    if (m_depth == 8)
        return row[x];
    const unsigned char* p = row + static_cast<std::size_t>(x) * (m_depth / 8);
    return (p[0] + p[1] + p[2]) / 3;
}

int CTexture::Draw(const DrawTarget& target, int x, int y, int width, int height) const {
    if (!IsValid())
        return 0;
    if (width == -1)
        width = m_width;
    if (height == -1)
        height = m_height;
    if (target)
        target(m_header, m_data.get(), x, y, width, height);
    return 1;
}

int CTexture::PowerOfTwoAtLeast(int n) {
    TEXTURE_ASSERT(n > 0);
    int a = 1;
    while (a < 30 && (1 << a) < n)
        ++a;
    return 1 << a;
}

int CTexture::PowerOfTwoBelow(int n) {
    TEXTURE_ASSERT(n > 0);
    int a = 1;
    while (a < 30 && (1 << a) < n)
        ++a;
    return 1 << (a - 1);
}

} // namespace skyfetch
