#include "msgdialog/MessageLayout.h"

#include "putil/FileSystem.h"

#include <algorithm>

namespace skyfetch {
namespace {

constexpr int M = kMessageMargin;
constexpr double F = kMessageButtonScale;

// A path breaks after a folder separator ('/', on Windows '\' as well) or a hyphen.
bool IsPathSeparator(char c) {
    return is_separator(c) || c == '-';
}

std::string TrimLeadingSpaces(std::string_view s) {
    const size_t first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

// Length of the UTF-8 sequence starting at pos (at least 1, never past the end), so that
// character breaking never splits a character.
size_t CharLength(std::string_view s, size_t pos) {
    size_t end = pos + 1;
    while (end < s.size() && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
        ++end;
    return end - pos;
}

} // namespace

int FindBreak(std::string_view text, int n, bool pathMode) {
    if (n < 1)
        return -1;
    int counter = 0;
    bool seenNonSpace = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        bool counts;
        if (pathMode) {
            counts = IsPathSeparator(c);
        } else {
            counts = c == ' ' && seenNonSpace;
            if (c != ' ')
                seenNonSpace = true;
        }
        if (counts && ++counter == n)
            return static_cast<int>(i);
    }
    return counter == n - 1 ? static_cast<int>(text.size()) : -1;
}

MessageFont FontOfKind(int kind) {
    switch (kind) {
    case ItemBold:
        return MessageFont::Bold;
    case ItemLarge:
        return MessageFont::Large;
    case ItemFixed:
        return MessageFont::Fixed;
    default:
        return MessageFont::Normal;
    }
}

MessageLayout::MessageLayout(const TextMeasurer& measurer, int clientWidth)
    : m_measurer(measurer), m_width(clientWidth) {}

int MessageLayout::Width(MessageFont font, std::string_view text) const {
    return m_measurer.Extent(font, text).cx;
}

void MessageLayout::EndLine(int height) {
    m_lineHeight = std::max(m_lineHeight, height);
    m_cursor.y += m_lineHeight;
    m_cursor.x = M;
    m_lineHeight = 0;
}

void MessageLayout::DrawPiece(MessageFont font, int align, const std::string& piece,
                              TextExtent extent) {
    // Every piece is centred vertically on the cursor's line.
    const int bottom = m_cursor.y + extent.cy / 2;
    if (align < 0) {
        m_texts.push_back({font, align, m_cursor.x, bottom, piece});
        m_cursor.x += extent.cx;
    } else if (align == 0) {
        m_texts.push_back({font, align, m_width / 2, bottom, piece});
        m_cursor.x = m_width / 2 + extent.cx / 2;
    } else {
        m_texts.push_back({font, align, m_width - M, bottom, piece});
        m_cursor.x = m_width - M;
    }
}

MessageLayout::Split MessageLayout::FitLine(MessageFont font, const std::string& text,
                                            int available, bool atMargin, bool mayMoveDown) const {
    // Word mode: take whole words while they fit.
    Split fitted;
    std::string word;
    for (int n = 1;; ++n) {
        const int p = FindBreak(text, n, false);
        if (p < 0) {
            // The previous candidate was the whole text, and it fitted.
            fitted.rest.clear();
            return fitted;
        }
        std::string candidate = text.substr(0, p);
        if (Width(font, candidate) <= available) {
            fitted = {candidate, TrimLeadingSpaces(std::string_view(text).substr(p))};
            continue;
        }
        if (TrimLeadingSpaces(candidate).find(' ') != std::string::npos)
            return fitted; // at least one word fitted before this one
        word = std::move(candidate);
        break;
    }

    // A line that already holds other items: an ordinary word that would fit on a line of
    // its own is not torn apart here; the run starts the next line instead.
    if (mayMoveDown) {
        const std::string bare = TrimLeadingSpaces(word);
        const bool pathLike = std::any_of(bare.begin(), bare.end(), IsPathSeparator);
        if (!bare.empty() && !pathLike && Width(font, bare) <= m_width - 2 * M)
            return {std::string(), TrimLeadingSpaces(text)};
    }

    // Path mode: the first word alone is too wide; break it after a separator.
    Split segment;
    bool segmentFitted = false;
    for (int n = 1;; ++n) {
        const int p = FindBreak(word, n, true);
        if (p < 0)
            break;
        const size_t length = std::min(static_cast<size_t>(p) + 1, word.size());
        const bool properSegment = static_cast<size_t>(p) < word.size();
        std::string candidate = word.substr(0, length);
        if (Width(font, candidate) <= available) {
            segment = {candidate, text.substr(length)};
            segmentFitted = true;
            if (!properSegment)
                return segment;
            continue;
        }
        if (properSegment && segmentFitted)
            return segment;
        break; // nothing fitted yet, or only the last segment fails: break by characters
    }

    // Character mode: the longest prefix that fits; at least one character on a line of
    // its own so that the layout always advances.
    size_t length = 0;
    while (length < word.size()) {
        const size_t next = length + CharLength(word, length);
        if (Width(font, std::string_view(word).substr(0, next)) > available)
            break;
        length = next;
    }
    if (length == 0 && atMargin && !word.empty())
        length = CharLength(word, 0);
    return {word.substr(0, length), text.substr(length)};
}

void MessageLayout::LayoutTextRun(MessageFont font, std::string_view text, int align,
                                  bool breakAfter, bool isFirst, bool isLast) {
    int available = m_width - M - m_cursor.x;
    const TextExtent whole = m_measurer.Extent(font, text);
    if (isFirst)
        m_cursor.y += whole.cy / 2;
    int lastHeight = whole.cy;

    if (whole.cx <= available) {
        DrawPiece(font, align, std::string(text), whole);
        if (breakAfter || align >= 0 || isLast)
            EndLine(whole.cy);
    } else {
        std::string remaining(text);
        while (!remaining.empty()) {
            const bool atMargin = m_cursor.x == M;
            Split split = FitLine(font, remaining, available, atMargin, align < 0 && !atMargin);
            remaining = std::move(split.rest);
            if (split.piece.empty() && !remaining.empty()) {
                // Nothing of this run on the current line: close it and go on below.
                EndLine(whole.cy);
                available = m_width - 2 * M;
                continue;
            }
            const TextExtent extent = m_measurer.Extent(font, split.piece);
            DrawPiece(font, align, split.piece, extent);
            lastHeight = extent.cy;
            if (remaining.empty() && align < 0 && !breakAfter && !isLast)
                break; // the next item continues on this line
            EndLine(extent.cy);
            available = m_width - 2 * M;
        }
    }
    if (isLast)
        m_cursor.y -= lastHeight / 2;
}

void MessageLayout::NewLine() {
    m_lineHeight = std::max(m_lineHeight, kMessageMinLineBreak);
    m_cursor.y += m_lineHeight;
    m_cursor.x = M;
    m_lineHeight = 0;
}

MessageRect MessageLayout::LayoutButton(std::string_view caption, int align, bool breakAfter,
                                        bool isFirst, bool isLast) {
    const TextExtent e = m_measurer.Extent(MessageFont::Normal, caption);
    const int height = static_cast<int>(e.cy * F);
    m_lineHeight = std::max(m_lineHeight, height);
    if (isFirst)
        m_cursor.y = static_cast<int>(m_cursor.y + e.cy * F * 0.5);

    MessageRect r;
    r.top = static_cast<int>(m_cursor.y - e.cy * F * 0.5);
    r.bottom = static_cast<int>(m_cursor.y + e.cy * F * 0.5);
    if (align < 0) {
        r.left = m_cursor.x;
        r.right = static_cast<int>(m_cursor.x + e.cx * F);
        m_cursor.x = r.right + 1;
        if (m_cursor.x > m_width - M) {
            // No room left on this line: the button starts the next one.
            m_cursor.y += m_lineHeight;
            r.top += m_lineHeight;
            r.bottom += m_lineHeight;
            r.left = M;
            r.right = static_cast<int>(M + e.cx * F);
            m_cursor.x = r.right + 1;
            m_lineHeight = 0;
        }
        if (breakAfter || isLast) {
            m_lineHeight = std::max(m_lineHeight, height);
            m_cursor.y += m_lineHeight;
            m_cursor.x = M;
            m_lineHeight = 0;
        }
    } else if (align > 0) {
        r.right = m_width - M;
        r.left = static_cast<int>(r.right - e.cx * F);
        if (r.left < m_cursor.x) {
            m_cursor.y += m_lineHeight;
            r.top += m_lineHeight;
            r.bottom += m_lineHeight;
        }
        m_cursor.y += m_lineHeight;
        m_lineHeight = 0;
        m_cursor.x = M;
    } else {
        r.left = static_cast<int>(m_width / 2 - e.cx * F * 0.5);
        r.right = static_cast<int>(m_width / 2 + e.cx * F * 0.5);
        m_cursor.x = r.right + 1;
        // Otherwise the next centred button shares this row; CentreButtonRows spreads it.
        if (breakAfter || m_cursor.x > m_width - M || isLast) {
            m_cursor.y += m_lineHeight;
            m_cursor.x = M;
            m_lineHeight = 0;
        }
    }
    if (isLast)
        m_cursor.y = static_cast<int>(m_cursor.y - e.cy * F * 0.5);
    return r;
}

void MessageLayout::CentreButtonRows(std::vector<MessageItem>& items) {
    std::vector<size_t> row;
    auto placeRow = [&] {
        if (row.empty())
            return;
        int total = 0;
        for (size_t i : row)
            total += items[i].rect.Width();
        const int gaps = static_cast<int>(row.size()) - 1;
        // The gaps are half of each button's height; the buttons of a row share one font,
        // so the last one's height stands for all in the centring.
        const int h = items[row.back()].rect.Height();
        int x0 = m_width / 2 - total / 2 - (gaps * h) / 4;
        for (size_t i : row) {
            MessageRect& r = items[i].rect;
            const int w = r.Width();
            r.left = x0;
            r.right = x0 + w;
            x0 = r.right + r.Height() / 2;
            m_buttonOrder.push_back(i);
        }
        row.clear();
    };
    for (size_t i = 0; i < items.size(); ++i) {
        const MessageItem& item = items[i];
        if (item.kind != ItemButton || item.align != 0)
            continue;
        if (!row.empty() && items[row.front()].rect.bottom != item.rect.bottom)
            placeRow();
        row.push_back(i);
    }
    placeRow();
}

void MessageLayout::Run(std::vector<MessageItem>& items) {
    m_cursor = {M, M};
    m_lineHeight = 0;
    m_texts.clear();
    m_buttonOrder.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        MessageItem& item = items[i];
        const bool isFirst = i == 0;
        const bool isLast = i + 1 == items.size();
        switch (item.kind) {
        case ItemText:
        case ItemBold:
        case ItemLarge:
        case ItemFixed:
            LayoutTextRun(FontOfKind(item.kind), item.text, item.align, item.breakAfter, isFirst,
                          isLast);
            break;
        case ItemNewLine:
            NewLine();
            break;
        case ItemButton:
            item.rect = LayoutButton(item.text, item.align, item.breakAfter, isFirst, isLast);
            item.id = kFirstMessageButtonId + static_cast<int>(i);
            if (item.align != 0)
                m_buttonOrder.push_back(i);
            break;
        default:
            break; // unknown kinds take no room
        }
    }
    CentreButtonRows(items);
}

int Measure(const TextMeasurer& measurer, int clientWidth, std::vector<MessageItem> items) {
    MessageLayout layout(measurer, clientWidth);
    layout.Run(items);
    return layout.m_cursor.y;
}

int FittingClientHeight(const TextMeasurer& measurer, int clientWidth,
                        const std::vector<MessageItem>& items) {
    return Measure(measurer, clientWidth, items) + kMessageMargin;
}

} // namespace skyfetch
