#pragma once

#include <string>

class QPushButton;

namespace skyfetch {

// Item kinds of a message dialog's content.
enum MessageItemKind : int {
    ItemText = 1,    // text run, normal font
    ItemBold = 2,    // text run, bold font
    ItemLarge = 3,   // text run, large bold font (titles)
    ItemFixed = 4,   // text run, fixed-pitch font
    ItemNewLine = 5, // line break
    ItemButton = 6,  // push button, caption in the normal font
};

// A rectangle in client pixels: left and top inclusive, right and bottom exclusive.
struct MessageRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// One entry of a message dialog's content. The dialog copies each item into its list, so
// one variable can be filled, appended, changed and appended again.
struct MessageItem {
    int kind = ItemText;
    int align = -1;                // negative: left (flows on the current line); 0: centred;
                                   // positive: right
    int result = 0;                // a button's value reported when it is pressed
    bool breakAfter = false;       // a left-aligned run or button ends its line
    std::string text;              // the run's text or the button's caption (UTF-8)
    QPushButton* button = nullptr; // made by the dialog at its first paint
    MessageRect rect;              // a button's place, set by the layout
    int id = 0;                    // a button's control id: 2700 + position in the list
};

// Control ids of buttons start here; the item's position in the list is added.
inline constexpr int kFirstMessageButtonId = 2700;

} // namespace skyfetch
