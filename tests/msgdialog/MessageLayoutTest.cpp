#include "putil/Platform.h"
#include "msgdialog/MessageLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skyfetch {
namespace {

// Every character (UTF-8 code point) of a font has the same width; heights are the
// fonts' line heights.
class FixedWidthMeasurer : public TextMeasurer {
public:
    static int CharWidth(MessageFont f) {
        switch (f) {
        case MessageFont::Normal:
            return 6;
        case MessageFont::Bold:
            return 7;
        case MessageFont::Large:
            return 10;
        case MessageFont::Fixed:
            return 8;
        }
        return 0;
    }
    static int Height(MessageFont f) { return f == MessageFont::Large ? 24 : 13; }
    static int Chars(std::string_view text) {
        int n = 0;
        for (unsigned char c : text)
            n += (c & 0xC0) != 0x80;
        return n;
    }
    TextExtent Extent(MessageFont font, std::string_view text) const override {
        return {CharWidth(font) * Chars(text), Height(font)};
    }
};

const FixedWidthMeasurer kMeasurer;

MessageItem TextItem(int kind, std::string text, int align = -1, bool breakAfter = false) {
    MessageItem item;
    item.kind = kind;
    item.text = std::move(text);
    item.align = align;
    item.breakAfter = breakAfter;
    return item;
}

MessageItem Button(std::string caption, int result, int align = 0, bool breakAfter = false) {
    MessageItem item = TextItem(ItemButton, std::move(caption), align, breakAfter);
    item.result = result;
    return item;
}

MessageItem NewLineItem() {
    return TextItem(ItemNewLine, "");
}

struct Laid {
    std::vector<MessageItem> items;
    std::vector<MessageTextCommand> texts;
    std::vector<size_t> order;
    int contentHeight = 0;
};

Laid Lay(std::vector<MessageItem> items, int width) {
    MessageLayout layout(kMeasurer, width);
    layout.Run(items);
    return {items, layout.Texts(), layout.ButtonOrder(), layout.m_cursor.y};
}

int Middle(const MessageTextCommand& t) {
    return t.bottom - FixedWidthMeasurer::Height(t.font) / 2;
}

std::string Joined(const std::vector<MessageTextCommand>& texts, size_t from, size_t to) {
    std::string s;
    for (size_t i = from; i < to; ++i)
        s += texts[i].text;
    return s;
}

// ---------------------------------------------------------------------------------------

struct BreakCase {
    const char* text;
    bool pathMode;
    std::vector<int> positions; // for n = 1, 2, ... ; the last one is -1
};

TEST(FindBreak, WordAndPathBreaks) {
    const BreakCase cases[] = {
        {"a b c", false, {1, 3, 5, -1}},
        {"  lead x", false, {6, 8, -1}}, // leading spaces are no breaks
        {"a  b", false, {1, 2, 4, -1}},  // every space of a run counts
        {"word", false, {4, -1}},        // the end of the text is the last break
        {"", false, {0, -1}},
        {"/data/runs/x-y.txt", true, {0, 5, 10, 12, 18, -1}},
        {"two words", true, {9, -1}},   // spaces do not break paths
    };
    // On Linux a backslash is an ordinary character (Windows: tests/windows).
    const BreakCase backslashes{"C:\\Data\\x", true, {9, -1}};
    std::vector<BreakCase> all(std::begin(cases), std::end(cases));
    if (!kWindowsPaths)
        all.push_back(backslashes);
    for (const BreakCase& c : all) {
        for (size_t i = 0; i < c.positions.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            EXPECT_EQ(FindBreak(c.text, n, c.pathMode), c.positions[i])
                << '"' << c.text << "\" n=" << n << (c.pathMode ? " path" : " word");
        }
    }
}

TEST(MessageLayout, BoldRunInsideNormalTextStaysOnTheLine) {
    const Laid l = Lay({TextItem(ItemText, "Press "), TextItem(ItemBold, "View"),
                        TextItem(ItemText, " to open the file in the spreadsheet.")},
                       400);
    ASSERT_EQ(l.texts.size(), 3u);
    EXPECT_EQ(l.texts[0].x, 16);
    EXPECT_EQ(l.texts[1].x, 16 + 6 * 6);
    EXPECT_EQ(l.texts[1].font, MessageFont::Bold);
    EXPECT_EQ(l.texts[2].x, 16 + 6 * 6 + 4 * 7);
    EXPECT_EQ(l.texts[1].bottom, l.texts[0].bottom);
    EXPECT_EQ(l.texts[2].bottom, l.texts[0].bottom);
    // One line of text between the two margins.
    EXPECT_EQ(FittingClientHeight(kMeasurer, 400, l.items), 16 + 13 + 16);
}

TEST(MessageLayout, ShortWordThatMissesTheRestOfALineMovesDownWhole) {
    // "Press " (36) and "View" (28) leave x = 80 and 14 pixels; " to" needs 18. The word
    // fits on a whole line (78 pixels), so the run starts the next line instead of being
    // split by characters.
    const Laid l = Lay({TextItem(ItemText, "Press "), TextItem(ItemBold, "View"),
                        TextItem(ItemText, " to open the file")},
                       110);
    std::vector<std::string> pieces;
    std::vector<int> xs;
    for (const MessageTextCommand& t : l.texts) {
        pieces.push_back(t.text);
        xs.push_back(t.x);
    }
    EXPECT_EQ(pieces, (std::vector<std::string>{"Press ", "View", "to open the", "file"}));
    EXPECT_EQ(xs, (std::vector<int>{16, 52, 16, 16}));
    ASSERT_EQ(l.texts.size(), 4u);
    EXPECT_EQ(Middle(l.texts[1]), 22);
    EXPECT_EQ(Middle(l.texts[2]), 35);
    EXPECT_EQ(Middle(l.texts[3]), 48);
    EXPECT_EQ(FittingClientHeight(kMeasurer, 110, l.items), 16 + 3 * 13 + 16);

    // The same when the run that misses the line is not the last item: the sentence goes
    // on after it on the new line.
    const Laid more = Lay({TextItem(ItemText, "Press "), TextItem(ItemBold, "View"),
                           TextItem(ItemText, " to open"), TextItem(ItemBold, "!")},
                          110);
    ASSERT_EQ(more.texts.size(), 4u);
    EXPECT_EQ(more.texts[2].text, "to open");
    EXPECT_EQ(more.texts[2].x, 16);
    EXPECT_EQ(Middle(more.texts[2]), 35);
    EXPECT_EQ(more.texts[3].x, 16 + 7 * 6);
    EXPECT_EQ(Middle(more.texts[3]), 35);
}

TEST(MessageLayout, OnlyBreakAfterCentredRightNewLineOrLastEndALine) {
    const Laid l = Lay({TextItem(ItemText, "one", -1, true), TextItem(ItemText, "two"),
                        TextItem(ItemText, "three", 1), TextItem(ItemText, "four", 0),
                        NewLineItem(), TextItem(ItemText, "five")},
                       400);
    ASSERT_EQ(l.texts.size(), 5u);
    EXPECT_EQ(Middle(l.texts[1]) - Middle(l.texts[0]), 13); // breakAfter
    EXPECT_EQ(Middle(l.texts[2]), Middle(l.texts[1]));      // "two" left its line open
    EXPECT_EQ(l.texts[2].x, 400 - 16);                      // right edge reference
    EXPECT_EQ(Middle(l.texts[3]) - Middle(l.texts[2]), 13); // the right run ended it
    EXPECT_EQ(l.texts[3].x, 200);                           // centre reference
    EXPECT_EQ(Middle(l.texts[4]) - Middle(l.texts[3]), 13 + 18);
}

TEST(MessageLayout, LongPathBreaksAfterASeparator) {
    // "Written to " leaves x = 82; room for "/data/" (42) but not "/data/runs/" (77).
    const int width = 82 + 60 + 16;
    const Laid l = Lay({TextItem(ItemText, "Written to "),
                        TextItem(ItemBold, "/data/runs/site1.txt"), TextItem(ItemText, ".")},
                       width);
    ASSERT_EQ(l.texts.size(), 4u);
    EXPECT_EQ(l.texts[1].text, "/data/");
    EXPECT_EQ(l.texts[1].x, 82);
    EXPECT_EQ(l.texts[1].bottom, l.texts[0].bottom);
    EXPECT_EQ(l.texts[2].text, "runs/site1.txt");
    EXPECT_EQ(l.texts[2].x, 16);
    EXPECT_EQ(Middle(l.texts[2]) - Middle(l.texts[1]), 13);
    // The sentence goes on after the path on the new line.
    EXPECT_EQ(l.texts[3].text, ".");
    EXPECT_EQ(l.texts[3].x, 16 + 14 * 7);
    EXPECT_EQ(l.texts[3].bottom, l.texts[2].bottom);
}

TEST(MessageLayout, PathWhoseLastSegmentFailsIsSplitByCharacters) {
    const std::string path = "/data/runs/site1.txt";
    for (int room : {84, 100, 133}) {
        SCOPED_TRACE(room);
        const int width = 82 + room + 16;
        const Laid l = Lay({TextItem(ItemText, "Written to "), TextItem(ItemBold, path)}, width);
        ASSERT_GE(l.texts.size(), 3u);
        const std::string& first = l.texts[1].text;
        EXPECT_GT(first.size(), std::string("/data/runs/").size());
        // The longest prefix that fits.
        EXPECT_LE(7 * static_cast<int>(first.size()), room);
        EXPECT_GT(7 * static_cast<int>(first.size() + 1), room);
        EXPECT_EQ(Joined(l.texts, 1, l.texts.size()), path);
    }
}

TEST(MessageLayout, WordWiderThanTheLineIsSplitWithoutLosingACharacter) {
    const std::string word = "Pneumonoultramicroscopicsilicovolcanoconiosis";
    for (int width : {100, 131, 250}) {
        for (const std::string& before : {std::string(), std::string("ab ")}) {
            SCOPED_TRACE(testing::Message() << width << " '" << before << "'");
            std::vector<MessageItem> items;
            if (!before.empty())
                items.push_back(TextItem(ItemText, before));
            items.push_back(TextItem(ItemText, word));
            const Laid l = Lay(items, width);
            const size_t first = before.empty() ? 0 : 1;
            EXPECT_EQ(Joined(l.texts, first, l.texts.size()), word);
            for (size_t i = first; i < l.texts.size(); ++i) {
                const int available = width - 16 - (i == first ? l.texts[i].x : 16);
                EXPECT_LE(6 * static_cast<int>(l.texts[i].text.size()), available);
                if (i + 1 < l.texts.size()) { // every line but the last is full
                    EXPECT_GT(6 * static_cast<int>(l.texts[i].text.size() + 1), available);
                }
            }
        }
    }
}

TEST(MessageLayout, CharacterBreaksKeepMultiByteCharactersWhole) {
    const std::string word = "Gr\xC3\xBC\xC3\x9F"
                             "e\xC2\xB0"
                             "aus\xC3\xB6sterreichundd\xC3\xA4nemark";
    const Laid l = Lay({TextItem(ItemText, word)}, 16 + 5 * 6 + 16);
    EXPECT_EQ(Joined(l.texts, 0, l.texts.size()), word);
    for (const MessageTextCommand& t : l.texts) {
        EXPECT_EQ(FixedWidthMeasurer::Chars(t.text), 5) << t.text;
        EXPECT_NE(static_cast<unsigned char>(t.text[0]) & 0xC0, 0x80) << t.text;
    }
}

TEST(MessageLayout, WordsWrapAtSpacesWithLeadingSpacesDropped) {
    const Laid l =
        Lay({TextItem(ItemText, "the quick brown fox jumps over the lazy dog")}, 16 + 16 * 6 + 16);
    std::vector<std::string> lines;
    for (const MessageTextCommand& t : l.texts)
        lines.push_back(t.text);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"the quick brown", "fox jumps over", "the lazy dog"}));
    // Three lines of text between the margins.
    EXPECT_EQ(FittingClientHeight(kMeasurer, 16 + 16 * 6 + 16, l.items), 16 + 3 * 13 + 16);
}

TEST(MessageLayout, CentredRunWrapsIntoCentredLines) {
    const Laid l =
        Lay({TextItem(ItemLarge, "Driver file written successfully", 0)}, 16 + 20 * 10 + 16);
    ASSERT_EQ(l.texts.size(), 2u);
    for (const MessageTextCommand& t : l.texts)
        EXPECT_EQ(t.x, (16 + 200 + 16) / 2);
    EXPECT_EQ(l.texts[0].text, "Driver file written");
    EXPECT_EQ(l.texts[1].text, "successfully");
    EXPECT_EQ(Middle(l.texts[1]) - Middle(l.texts[0]), 24);
}

TEST(MessageLayout, LineBreakAdvancesAtLeast18Pixels) {
    // After an item that already ended its line: a blank line of 18 pixels.
    {
        const Laid l =
            Lay({TextItem(ItemLarge, "Title", 0), NewLineItem(), TextItem(ItemText, "body")}, 300);
        ASSERT_EQ(l.texts.size(), 2u);
        EXPECT_EQ(Middle(l.texts[1]) - Middle(l.texts[0]), 24 + 18);
    }
    // After a run that left its line open: the line closes at 18 pixels, whatever the
    // run's own height (24 here).
    for (int kind : {ItemText, ItemLarge}) {
        const Laid l =
            Lay({TextItem(kind, "open"), NewLineItem(), TextItem(ItemText, "next")}, 300);
        ASSERT_EQ(l.texts.size(), 2u);
        EXPECT_EQ(Middle(l.texts[1]) - Middle(l.texts[0]), 18) << kind;
    }
    // Two breaks in a row.
    {
        const Laid l = Lay({TextItem(ItemText, "a", -1, true), NewLineItem(), NewLineItem(),
                            TextItem(ItemText, "b")},
                           300);
        EXPECT_EQ(Middle(l.texts[1]) - Middle(l.texts[0]), 13 + 18 + 18);
    }
}

void CheckCentredRow(const Laid& l, const std::vector<size_t>& row, int width) {
    for (size_t k = 0; k < row.size(); ++k) {
        const MessageItem& b = l.items[row[k]];
        SCOPED_TRACE(b.text);
        EXPECT_EQ(b.id, 2700 + static_cast<int>(row[k]));
        // 1.6 times the caption's extent, give or take the truncation of both edges.
        EXPECT_NEAR(b.rect.Width(), 6 * FixedWidthMeasurer::Chars(b.text) * 1.6, 1.0);
        EXPECT_NEAR(b.rect.Height(), 13 * 1.6, 1.0);
        EXPECT_EQ(b.rect.top, l.items[row[0]].rect.top);
        EXPECT_EQ(b.rect.bottom, l.items[row[0]].rect.bottom);
        if (k > 0) {
            const MessageItem& previous = l.items[row[k - 1]];
            EXPECT_EQ(b.rect.left - previous.rect.right, previous.rect.Height() / 2);
        }
    }
    const int leftGap = l.items[row.front()].rect.left;
    const int rightGap = width - l.items[row.back()].rect.right;
    EXPECT_LE(std::abs(leftGap - rightGap), 2) << leftGap << " " << rightGap;
}

TEST(MessageLayout, ThreeCentredButtonsShareOneRow) {
    const int width = 400;
    const Laid l = Lay({TextItem(ItemLarge, "Done", 0), NewLineItem(),
                        TextItem(ItemText, "Open the file or its folder?", -1, true), NewLineItem(),
                        Button("View", 1), Button("Explore", 2), Button("Finish", 3)},
                       width);
    CheckCentredRow(l, {4, 5, 6}, width);
    EXPECT_EQ(l.order, (std::vector<size_t>{4, 5, 6}));
    // The row lies below the text, within the content height.
    EXPECT_GT(l.items[4].rect.top, Middle(l.texts.back()) + 6);
}

TEST(MessageLayout, CentredRowsStayCentredWhateverFollowsThem) {
    const int width = 360;
    const Laid l =
        Lay({Button("View", 1), Button("Explore", 2), NewLineItem(), Button("OK", 5),
             Button("Cancel", 6), Button("Help", 7), NewLineItem(), TextItem(ItemText, "footnote")},
            width);
    CheckCentredRow(l, {0, 1}, width);
    CheckCentredRow(l, {3, 4, 5}, width);
    // The second row is one button line (trunc(13 * 1.6)) further down.
    EXPECT_EQ(l.items[3].rect.top - l.items[0].rect.top, 20);
    EXPECT_EQ(l.order, (std::vector<size_t>{0, 1, 3, 4, 5}));
}

TEST(MessageLayout, LeftAndRightButtons) {
    const int width = 160; // room up to x = 144
    const Laid l = Lay({Button("Alpha", 1, -1), Button("Beta", 2, -1), Button("Gamma", 3, -1),
                        Button("Delta", 4, 1)},
                       width);
    const MessageRect& a = l.items[0].rect;
    const MessageRect& b = l.items[1].rect;
    const MessageRect& c = l.items[2].rect;
    const MessageRect& d = l.items[3].rect;
    EXPECT_EQ(a.left, 16);
    EXPECT_EQ(b.left, a.right + 1);
    EXPECT_EQ(b.top, a.top);
    // Gamma would end past the right margin: it starts the next line, one button line down.
    EXPECT_EQ(c.left, 16);
    EXPECT_EQ(c.top - a.top, 20);
    // Delta fits at the right margin beside Gamma.
    EXPECT_EQ(d.right, width - 16);
    EXPECT_EQ(d.top, c.top);
    // Left and right buttons are placed in list order.
    EXPECT_EQ(l.order, (std::vector<size_t>{0, 1, 2, 3}));
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(l.items[i].id, 2700 + static_cast<int>(i));

    // A right-aligned button that would overlap the line's content goes one line down.
    const Laid wide = Lay({Button("Alpha", 1, -1), Button("Extraordinary", 2, 1)}, width);
    EXPECT_EQ(wide.items[1].rect.right, width - 16);
    EXPECT_EQ(wide.items[1].rect.top - wide.items[0].rect.top, 20);
}

TEST(MessageLayout, ClientHeightIsContentHeightPlusMargin) {
    const std::vector<std::vector<MessageItem>> lists = {
        {TextItem(ItemText, "one line")},
        {TextItem(ItemLarge, "Title", 0), NewLineItem(),
         TextItem(ItemText, "a b c d e f g h i j k l m")},
        {TextItem(ItemText, "Choose", -1, true), Button("View", 1), Button("Finish", 2)},
    };
    for (const auto& items : lists) {
        const int content = Measure(kMeasurer, 120, items);
        EXPECT_EQ(FittingClientHeight(kMeasurer, 120, items), content + 16);
        // The measured content reaches below the last text drawn.
        const Laid l = Lay(items, 120);
        EXPECT_EQ(l.contentHeight, content);
        for (const MessageTextCommand& t : l.texts)
            EXPECT_LE(t.bottom, content + 1);
    }
}

TEST(MessageLayout, EmptyListGives32Pixels) {
    EXPECT_EQ(FittingClientHeight(kMeasurer, 300, {}), 32);
    EXPECT_EQ(Measure(kMeasurer, 300, {}), 16);
}

} // namespace
} // namespace skyfetch
