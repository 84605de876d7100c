#include "putil/BlockString.h"

#include "putil/Fail.h"
#include "putil/CNumbers.h"

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace skyfetch {
namespace {

// Blocks needed for a text of `length` bytes and its terminator.
std::size_t blocks_for(std::size_t length) {
    if (length >= SIZE_MAX - BlockString::kBlockSize)
        fail();
    const std::size_t needed = length + 1;
    const std::size_t blocks =
        needed / BlockString::kBlockSize + (needed % BlockString::kBlockSize ? 1 : 0);
    if (blocks > static_cast<std::size_t>(INT_MAX))
        fail();
    return blocks;
}

// A zero-filled buffer of whole blocks; the bytes past the text are never garbage, so
// writing a byte through operator[] just past the text cannot expose stale memory.
char* allocate_blocks(std::size_t blocks) {
    char* buffer = static_cast<char*>(std::calloc(blocks, BlockString::kBlockSize));
    if (!buffer)
        fail();
    return buffer;
}

const char* or_empty(const char* text) {
    return text ? text : "";
}

// Numbers are read with the C rules ("13.25") whatever locale the program runs under.
bool parse_number(const char* text, double& value) {
    char* end = nullptr;
    value = c_strtod(text, &end);
    return end != text && *end == '\0';
}

} // namespace

BlockString::BlockString() {
    m_data = allocate_blocks(1);
    m_blocks = 1;
}

BlockString::BlockString(const char* text) {
    text = or_empty(text);
    assign_bytes(text, std::strlen(text));
}

BlockString::BlockString(char c) {
    assign_bytes(&c, 1);
}

BlockString::BlockString(const BlockString& other) {
    assign_bytes(other.m_data, std::strlen(other.m_data));
}

BlockString::BlockString(BlockString&& other) noexcept
    : m_data(other.m_data), m_blocks(other.m_blocks), m_scratch(other.m_scratch) {
    // The moved-from string stays usable: the empty text in one block.
    other.m_data = allocate_blocks(1);
    other.m_blocks = 1;
    other.m_scratch = nullptr;
}

BlockString::~BlockString() {
    std::free(m_data);
    std::free(m_scratch);
}

BlockString BlockString::with_capacity(std::size_t length) {
    BlockString s;
    s.fit(length);
    return s;
}

BlockString& BlockString::operator=(const BlockString& other) {
    if (this != &other)
        assign_bytes(other.m_data, std::strlen(other.m_data));
    return *this;
}

BlockString& BlockString::operator=(BlockString&& other) noexcept {
    std::swap(m_data, other.m_data);
    std::swap(m_blocks, other.m_blocks);
    std::swap(m_scratch, other.m_scratch);
    return *this;
}

BlockString& BlockString::operator=(const char* text) {
    text = or_empty(text);
    assign_bytes(text, std::strlen(text));
    return *this;
}

BlockString& BlockString::operator=(char c) {
    assign_bytes(&c, 1);
    return *this;
}

int BlockString::length() const {
    return static_cast<int>(std::strlen(m_data));
}

void BlockString::fit(std::size_t length) {
    const std::size_t want = blocks_for(length);
    if (m_data && static_cast<std::size_t>(m_blocks) == want)
        return;
    char* fresh = allocate_blocks(want);
    if (m_data) {
        std::size_t keep = std::strlen(m_data);
        if (keep > want * kBlockSize - 1)
            keep = want * kBlockSize - 1;
        std::memcpy(fresh, m_data, keep);
        std::free(m_data);
    }
    m_data = fresh;
    m_blocks = static_cast<int>(want);
}

// The source may lie inside our own buffer (s = s.c_str() + 3), so the old buffer is
// freed only after the text has been copied.
void BlockString::assign_bytes(const char* text, std::size_t n) {
    const std::size_t want = blocks_for(n);
    if (m_data && static_cast<std::size_t>(m_blocks) == want) {
        // The rest of the block is cleared as well, so that the old text cannot come
        // back through operator[].
        std::memmove(m_data, text, n);
        std::memset(m_data + n, 0, want * kBlockSize - n);
        return;
    }
    char* fresh = allocate_blocks(want);
    std::memcpy(fresh, text, n);
    std::free(m_data);
    m_data = fresh;
    m_blocks = static_cast<int>(want);
}

void BlockString::append_bytes(const char* text, std::size_t n) {
    const std::size_t length = std::strlen(m_data);
    const std::size_t want = blocks_for(length + n);
    if (static_cast<std::size_t>(m_blocks) == want) {
        std::memmove(m_data + length, text, n);
        std::memset(m_data + length + n, 0, want * kBlockSize - length - n);
        return;
    }
    char* fresh = allocate_blocks(want);
    std::memcpy(fresh, m_data, length);
    std::memcpy(fresh + length, text, n);
    std::free(m_data);
    m_data = fresh;
    m_blocks = static_cast<int>(want);
}

char* BlockString::new_scratch(std::size_t n) const {
    std::free(m_scratch);
    m_scratch = nullptr;
    if (n == SIZE_MAX)
        fail();
    m_scratch = static_cast<char*>(std::malloc(n + 1));
    if (!m_scratch)
        fail();
    m_scratch[n] = '\0';
    return m_scratch;
}

BlockString BlockString::left(int n) const {
    const std::size_t length = std::strlen(m_data);
    std::size_t count = static_cast<unsigned>(n);
    if (count > length)
        count = length;
    char* out = new_scratch(count);
    std::memcpy(out, m_data, count);
    return BlockString(out);
}

BlockString BlockString::mid(int p) const {
    const std::size_t length = std::strlen(m_data);
    const std::size_t start = static_cast<unsigned>(p);
    const std::size_t count = start < length ? length - start : 0;
    char* out = new_scratch(count);
    if (count)
        std::memcpy(out, m_data + start, count);
    return BlockString(out);
}

BlockString BlockString::mid(int p, int n) const {
    const std::size_t length = std::strlen(m_data);
    const std::size_t start = static_cast<unsigned>(p);
    std::size_t count = start < length ? length - start : 0;
    if (static_cast<unsigned>(n) < count)
        count = static_cast<unsigned>(n);
    char* out = new_scratch(count);
    if (count)
        std::memcpy(out, m_data + start, count);
    return BlockString(out);
}

BlockString BlockString::right(int n) const {
    return mid(static_cast<int>(static_cast<unsigned>(length()) - static_cast<unsigned>(n)));
}

BlockString BlockString::upper() const {
    const std::size_t length = std::strlen(m_data);
    char* out = new_scratch(length);
    for (std::size_t i = 0; i < length; ++i) {
        const char c = m_data[i];
        out[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return BlockString(out);
}

BlockString BlockString::lower() const {
    const std::size_t length = std::strlen(m_data);
    char* out = new_scratch(length);
    for (std::size_t i = 0; i < length; ++i) {
        const char c = m_data[i];
        out[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return BlockString(out);
}

BlockString BlockString::printable() const {
    const std::size_t length = std::strlen(m_data);
    char* out = new_scratch(length);
    std::size_t n = 0;
    for (std::size_t i = 0; i < length; ++i)
        if (static_cast<signed char>(m_data[i]) >= 32)
            out[n++] = m_data[i];
    out[n] = '\0';
    return BlockString(out);
}

int BlockString::find(char c) const {
    const void* hit = std::memchr(m_data, c, std::strlen(m_data));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - m_data) : -1;
}

int BlockString::find(const char* text) const {
    const char* hit = std::strstr(m_data, or_empty(text));
    return hit ? static_cast<int>(hit - m_data) : -1;
}

int BlockString::findAny(const char* set) const {
    const char* hit = std::strpbrk(m_data, or_empty(set));
    return hit ? static_cast<int>(hit - m_data) : -1;
}

int BlockString::findNotAny(const char* set) const {
    const std::size_t span = std::strspn(m_data, or_empty(set));
    return m_data[span] ? static_cast<int>(span) : -1;
}

double BlockString::numval() const {
    double value = 0.0;
    return parse_number(m_data, value) ? value : 0.0;
}

bool BlockString::isnum() const {
    double value = 0.0;
    return parse_number(m_data, value);
}

void BlockString::reserve(std::size_t length) {
    fit(length);
}

BlockString& BlockString::printf(const char* format, ...) {
    // Most results fit on the stack; longer ones are formatted a second time straight
    // into a buffer of the right size. vsnprintf reads every argument with its own size
    // prefix, so "%ld", "%zu", "%lld" and "%p" take their full 64 bits.
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) {
        // No text for a format the C library refuses (an unconvertible wide character).
        assign_bytes("", 0);
    } else if (static_cast<std::size_t>(n) < sizeof small) {
        assign_bytes(small, static_cast<std::size_t>(n));
    } else {
        const std::size_t want = blocks_for(static_cast<std::size_t>(n));
        char* fresh = allocate_blocks(want);
        std::vsnprintf(fresh, want * kBlockSize, format, again);
        std::free(m_data);
        m_data = fresh;
        m_blocks = static_cast<int>(want);
    }
    va_end(again);
    return *this;
}

char& BlockString::operator[](std::size_t i) {
    // The buffer's last byte must stay a terminator, whatever is written through the
    // reference: a position there or beyond grows the buffer to hold byte i and one more.
    if (i >= static_cast<std::size_t>(m_blocks) * kBlockSize - 1) {
        if (i == SIZE_MAX)
            fail();
        const std::size_t want = blocks_for(i + 1);
        char* fresh = allocate_blocks(want);
        std::strcpy(fresh, m_data);
        std::free(m_data);
        m_data = fresh;
        m_blocks = static_cast<int>(want);
    }
    return m_data[i];
}

BlockString BlockString::operator+(const BlockString& other) const {
    return *this + other.m_data;
}

BlockString BlockString::operator+(const char* text) const {
    text = or_empty(text);
    const std::size_t a = std::strlen(m_data);
    const std::size_t b = std::strlen(text);
    if (b > SIZE_MAX - 1 - a)
        fail();
    char* out = new_scratch(a + b);
    std::memcpy(out, m_data, a);
    std::memcpy(out + a, text, b);
    return BlockString(out);
}

BlockString BlockString::operator+(char c) const {
    const char text[2] = {c, '\0'};
    return *this + text;
}

BlockString& BlockString::operator+=(const BlockString& other) {
    append_bytes(other.m_data, std::strlen(other.m_data));
    return *this;
}

BlockString& BlockString::operator+=(const char* text) {
    text = or_empty(text);
    append_bytes(text, std::strlen(text));
    return *this;
}

BlockString& BlockString::operator+=(char c) {
    // Appending a NUL would leave the text as it is.
    if (c != '\0')
        append_bytes(&c, 1);
    else
        fit(std::strlen(m_data));
    return *this;
}

int BlockString::compare(const char* text) const {
    // strcmp compares the bytes as unsigned char values.
    return std::strcmp(m_data, or_empty(text));
}

namespace {
struct OneChar {
    char text[2];
    explicit OneChar(char c) : text{c, '\0'} {}
};
} // namespace

bool operator==(const BlockString& a, const BlockString& b) {
    return a.compare(b.c_str()) == 0;
}
bool operator==(const BlockString& a, const char* b) {
    return a.compare(b) == 0;
}
bool operator==(const BlockString& a, char b) {
    return a.compare(OneChar(b).text) == 0;
}
bool operator!=(const BlockString& a, const BlockString& b) {
    return a.compare(b.c_str()) != 0;
}
bool operator!=(const BlockString& a, const char* b) {
    return a.compare(b) != 0;
}
bool operator!=(const BlockString& a, char b) {
    return a.compare(OneChar(b).text) != 0;
}
bool operator<(const BlockString& a, const BlockString& b) {
    return a.compare(b.c_str()) < 0;
}
bool operator<(const BlockString& a, const char* b) {
    return a.compare(b) < 0;
}
bool operator<(const BlockString& a, char b) {
    return a.compare(OneChar(b).text) < 0;
}
bool operator>(const BlockString& a, const BlockString& b) {
    return a.compare(b.c_str()) > 0;
}
bool operator>(const BlockString& a, const char* b) {
    return a.compare(b) > 0;
}
bool operator>(const BlockString& a, char b) {
    return a.compare(OneChar(b).text) > 0;
}
bool operator<=(const BlockString& a, const BlockString& b) {
    return a.compare(b.c_str()) <= 0;
}
bool operator<=(const BlockString& a, const char* b) {
    return a.compare(b) <= 0;
}
bool operator<=(const BlockString& a, char b) {
    return a.compare(OneChar(b).text) <= 0;
}
bool operator>=(const BlockString& a, const BlockString& b) {
    return a.compare(b.c_str()) >= 0;
}
bool operator>=(const BlockString& a, const char* b) {
    return a.compare(b) >= 0;
}
bool operator>=(const BlockString& a, char b) {
    return a.compare(OneChar(b).text) >= 0;
}

} // namespace skyfetch
