#pragma once

#include <string_view>

namespace skyfetch {

// The four type styles of a message dialog.
enum class MessageFont { Normal, Bold, Large, Fixed };

// Width and height of a piece of text in pixels. The height is the font's full line
// height whatever the text (also for an empty text).
struct TextExtent {
    int cx = 0;
    int cy = 0;
};

// Measures text for the message layout: the dialog measures with its real fonts, tests
// with fixed widths.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual TextExtent Extent(MessageFont font, std::string_view text) const = 0;
};

} // namespace skyfetch
