#include "dialog/ToolTipText.h"

#include <sstream>

namespace skyfetch {

std::string WrapToWidth(const std::string& text, int maxWidth,
                        const std::function<int(const std::string&)>& width) {
    std::string out;
    std::istringstream lines(text);
    std::string line;
    bool firstLine = true;
    while (std::getline(lines, line)) {
        if (!firstLine)
            out += '\n';
        firstLine = false;
        std::string current;
        std::size_t pos = 0;
        while (pos <= line.size()) {
            std::size_t blank = line.find(' ', pos);
            if (blank == std::string::npos)
                blank = line.size();
            const std::string word = line.substr(pos, blank - pos);
            const std::string candidate = current.empty() ? word : current + " " + word;
            if (!current.empty() && width(candidate) > maxWidth) {
                out += current + '\n';
                current = word;
            } else {
                current = candidate;
            }
            pos = blank + 1;
        }
        out += current;
    }
    return out;
}

} // namespace skyfetch
