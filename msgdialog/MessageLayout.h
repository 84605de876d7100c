#pragma once

#include "msgdialog/MessageItem.h"
#include "msgdialog/TextMeasurer.h"

#include <string>
#include <string_view>
#include <vector>

namespace skyfetch {

// Margin around the content on all four sides, in pixels.
inline constexpr int kMessageMargin = 16;
// The least height a line break advances.
inline constexpr int kMessageMinLineBreak = 18;
// Buttons are this many times their caption's extent, in both directions.
inline constexpr double kMessageButtonScale = 1.6;

struct MessagePoint {
    int x = 0;
    int y = 0;
};

// One piece of text to draw. x is the left edge (align < 0), the centre (align = 0) or the
// right edge (align > 0) of the text; bottom is the bottom of its line cell.
struct MessageTextCommand {
    MessageFont font = MessageFont::Normal;
    int align = -1;
    int x = 0;
    int bottom = 0;
    std::string text;
};

// The position of the n-th line break opportunity in text (n from 1), or -1.
// Word mode: spaces after the first non-space character; path mode: every folder
// separator ('/', on Windows also '\') and '-'.
// The end of the text is the last break: when the text has exactly n - 1 of them, its
// length is returned.
int FindBreak(std::string_view text, int n, bool pathMode);

// Flows a message dialog's items into lines, the way the dialog draws them: text runs are
// broken at spaces, long paths after a separator or '-', over-long words between characters;
// buttons are placed and centred buttons spread into rows. The layout measures through a
// TextMeasurer and records what to draw; it draws nothing itself.
class MessageLayout {
public:
    MessageLayout(const TextMeasurer& measurer, int clientWidth);

    // Lays out the whole list from the top-left margin: sets every button item's rect and
    // id, records the text pieces and the order in which buttons are placed (left and
    // right aligned ones as they come, then the centred rows).
    void Run(std::vector<MessageItem>& items);

    // One item's step, continuing from the current cursor.
    void LayoutTextRun(MessageFont font, std::string_view text, int align, bool breakAfter,
                       bool isFirst, bool isLast);
    MessageRect LayoutButton(std::string_view caption, int align, bool breakAfter, bool isFirst,
                             bool isLast);
    void NewLine();

    // Spreads each row of centred buttons (same bottom) across the middle of the client
    // width, half a button height apart, and appends them to the placement order.
    void CentreButtonRows(std::vector<MessageItem>& items);

    const std::vector<MessageTextCommand>& Texts() const { return m_texts; }
    // Indices into the item list, in the order their buttons are created or moved.
    const std::vector<size_t>& ButtonOrder() const { return m_buttonOrder; }

    // x: where the next left-aligned item starts; y: the vertical middle of the line.
    MessagePoint m_cursor{kMessageMargin, kMessageMargin};
    int m_lineHeight = 0;

private:
    struct Split {
        std::string piece;
        std::string rest;
    };
    // As much of text as fits in available pixels. atMargin: the line starts at the left
    // margin; mayMoveDown: the piece may be empty, leaving the whole text for the next line.
    Split FitLine(MessageFont font, const std::string& text, int available, bool atMargin,
                  bool mayMoveDown) const;
    void DrawPiece(MessageFont font, int align, const std::string& piece, TextExtent extent);
    void EndLine(int height);
    int Width(MessageFont font, std::string_view text) const;

    const TextMeasurer& m_measurer;
    int m_width;
    std::vector<MessageTextCommand> m_texts;
    std::vector<size_t> m_buttonOrder;
};

// Runs the whole layout once and returns the final cursor y: the content height.
int Measure(const TextMeasurer& measurer, int clientWidth, std::vector<MessageItem> items);

// The client height that fits the content: content height plus the bottom margin.
int FittingClientHeight(const TextMeasurer& measurer, int clientWidth,
                        const std::vector<MessageItem>& items);

// The font of a text run kind (ItemText to ItemFixed); other kinds give Normal.
MessageFont FontOfKind(int kind);

} // namespace skyfetch
