#include "app/cli/CliMessage.h"

namespace skyfetch {

namespace {
constexpr const char kPrefix[] = "skyfetch-cli: ";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
} // namespace

std::string CliMessage(const std::string& text) {
    std::string printed;
    printed.reserve(kPrefixLength + text.size() + 1);
    if (text.compare(0, kPrefixLength, kPrefix) != 0)
        printed = kPrefix;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        const std::size_t stop = end == std::string::npos ? text.size() : end;
        std::size_t last = stop;
        while (last > start && (text[last - 1] == ' ' || text[last - 1] == '\t'))
            --last;
        printed.append(text, start, last - start);
        printed += '\n';
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return printed;
}

} // namespace skyfetch
