#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace skyfetch {

// The 40-byte image header of a BMP file, kept for writing the image back and for
// drawing it.
struct BitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

// An image of 24 or 32 bits per pixel whose rows are padded to a multiple of 4 bytes, as
// in a BMP file; the first row in memory is the bottom row of the picture. Operations
// that can fail return 1 for success and 0 for failure; they report to the user in a
// message box and give the details to the debug trace.
class CTexture {
public:
    // Receives a blit request: the kept header describes the rows in data.
    using DrawTarget = std::function<void(const BitmapInfoHeader& header, const unsigned char* data,
                                          int x, int y, int width, int height)>;

    CTexture() = default;
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;
    virtual ~CTexture();

    int Alloc(int width, int height, int depth);
    void Free();
    bool CopyFromBuffer(const unsigned char* source, int width, int height, int depth);
    bool SwapRedBlue();
    bool IsValid() const;
    void UpdateWidthByte32();
    void UpdateHeader();

    int ReadFile(const std::string& path, int width = 0, int height = 0, int depth = 0);
    int ReadFileBMP(const std::string& path);
    int ReadFileRAW(const std::string& path, int width, int height, int depth);
    int SaveFile(const std::string& path);
    int SaveFileBMP(const std::string& path);
    int SaveFileRAW(const std::string& path);

    int Extract(int left, int top, int right = -1, int bottom = -1);
    int DuplicateMirror(int left = 0, int top = 0, int right = -1, int bottom = -1);
    int DuplicateSideBySide(int left = 0, int top = 0, int right = -1, int bottom = -1);
    int AddAlphaLayer(unsigned char alpha);
    int SetAlpha(unsigned char alpha);
    int SetAlphaFromImage(const CTexture& other);
    bool SameSize(const CTexture& other) const;
    int GreyAt(int x, int y) const;
    int Draw(const DrawTarget& target, int x, int y, int width = -1, int height = -1) const;

    static int WidthByte32(int width, int depth);
    static int PowerOfTwoAtLeast(int n);
    static int PowerOfTwoBelow(int n);

    unsigned char* GetData() { return m_data.get(); }
    const unsigned char* GetData() const { return m_data.get(); }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetDepth() const { return m_depth; }
    int GetWidthByte32() const { return m_widthByte32; }
    bool HasAlpha() const { return m_depth == 32; }
    const std::string& GetFileName() const { return m_fileName; }
    const BitmapInfoHeader& GetHeader() const { return m_header; }

private:
    // Fresh rows for an image of w x h pixels with the given stride, or null when the size
    // is out of reach.
    static std::unique_ptr<unsigned char[]> AllocateRows(int stride, int height);
    // Copies pixel (row, column) of this image into pixel (toRow, toColumn) of rows.
    void CopyPixel(int row, int column, unsigned char* rows, int stride, int toRow,
                   int toColumn) const;
    int Duplicate(bool mirror, int left, int top, int right, int bottom);

    std::unique_ptr<unsigned char[]> m_data;
    int m_width = 0;
    int m_height = 0;
    int m_depth = 0;
    std::string m_fileName;
    BitmapInfoHeader m_header;
    int m_widthByte32 = 0;
};

} // namespace skyfetch
