#pragma once

#include <cstddef>

namespace skyfetch {

// The utility library's string: a NUL-terminated byte string whose buffer is always a
// whole number of 32-byte blocks, sized exactly for the text it holds (it shrinks as well
// as grows). Operations that produce a new string build it in a scratch buffer that the
// object keeps until the next such operation. Text is bytes; positions count bytes.
// Every failed allocation ends the process through fail().
class BlockString {
public:
    static constexpr int kBlockSize = 32;

    BlockString();
    BlockString(const char* text);
    explicit BlockString(char c);
    BlockString(const BlockString& other);
    BlockString(BlockString&& other) noexcept;
    ~BlockString();

    BlockString& operator=(const BlockString& other);
    BlockString& operator=(BlockString&& other) noexcept;
    BlockString& operator=(const char* text);
    BlockString& operator=(char c);

    // The empty string with room for `length` bytes of text.
    static BlockString with_capacity(std::size_t length);

    const char* c_str() const { return m_data; }
    int length() const;
    // Capacity of the buffer in 32-byte blocks.
    int blocks() const { return m_blocks; }

    // Counts and positions are taken as unsigned numbers, as right() needs: a negative
    // count means "all", a negative position lies beyond the text.
    BlockString left(int n) const;
    BlockString mid(int p) const;
    BlockString mid(int p, int n) const;
    BlockString right(int n) const;
    BlockString upper() const;
    BlockString lower() const;
    // Without the bytes below 32 taken as signed characters, so bytes 128-255 go as well.
    BlockString printable() const;

    int find(char c) const;
    int find(const char* text) const;
    int findAny(const char* set) const;
    int findNotAny(const char* set) const;

    double numval() const;
    bool isnum() const;

    // Applies the capacity rule for a text of `length` bytes. A text longer than the new
    // capacity is cut to fit.
    void reserve(std::size_t length);

    // Replaces the text with what sprintf would produce, whatever its length.
    BlockString& printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Byte i; a position that would reach the buffer's last byte (kept for the
    // terminator) first grows the buffer to the blocks a text of i + 1 bytes needs,
    // keeping the text. Assigning and appending leave every byte past the text zero.
    char& operator[](std::size_t i);

    BlockString operator+(const BlockString& other) const;
    BlockString operator+(const char* text) const;
    BlockString operator+(char c) const;
    BlockString& operator+=(const BlockString& other);
    BlockString& operator+=(const char* text);
    BlockString& operator+=(char c);

    // Byte-wise comparison as unsigned values; a prefix sorts first.
    int compare(const char* text) const;

private:
    // Makes the capacity exactly fit a text of `length` bytes, keeping as much of the
    // current text as fits.
    void fit(std::size_t length);
    void assign_bytes(const char* text, std::size_t n);
    void append_bytes(const char* text, std::size_t n);
    // A fresh scratch buffer of n + 1 bytes, the previous one freed.
    char* new_scratch(std::size_t n) const;

    char* m_data = nullptr;
    int m_blocks = 0;
    mutable char* m_scratch = nullptr;
};

bool operator==(const BlockString& a, const BlockString& b);
bool operator==(const BlockString& a, const char* b);
bool operator==(const BlockString& a, char b);
bool operator!=(const BlockString& a, const BlockString& b);
bool operator!=(const BlockString& a, const char* b);
bool operator!=(const BlockString& a, char b);
bool operator<(const BlockString& a, const BlockString& b);
bool operator<(const BlockString& a, const char* b);
bool operator<(const BlockString& a, char b);
bool operator>(const BlockString& a, const BlockString& b);
bool operator>(const BlockString& a, const char* b);
bool operator>(const BlockString& a, char b);
bool operator<=(const BlockString& a, const BlockString& b);
bool operator<=(const BlockString& a, const char* b);
bool operator<=(const BlockString& a, char b);
bool operator>=(const BlockString& a, const BlockString& b);
bool operator>=(const BlockString& a, const char* b);
bool operator>=(const BlockString& a, char b);

} // namespace skyfetch
