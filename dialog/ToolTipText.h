#pragma once

#include <functional>
#include <string>

namespace skyfetch {

// Breaks a tooltip's text into lines no wider than maxWidth (as measured by width),
// at blanks, keeping the line breaks it already has. A word wider than the limit stays
// whole on its own line.
std::string WrapToWidth(const std::string& text, int maxWidth,
                        const std::function<int(const std::string&)>& width);

} // namespace skyfetch
