#include "putil/Timestamp.h"

namespace skyfetch {

void timestamp(BlockString& text) {
    timestamp(text, std::time(nullptr));
}

void timestamp(BlockString& text, std::time_t when) {
    char buffer[64]; // ctime_r needs 26 bytes
    const char* formatted = ctime_r(&when, buffer);
    text = formatted ? formatted : "";
    const int newline = text.findAny("\n");
    if (newline >= 0)
        text = text.left(newline);
}

} // namespace skyfetch
