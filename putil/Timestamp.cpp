#include "putil/Timestamp.h"

#include <cstdio>

namespace skyfetch {

void timestamp(BlockString& text) {
    timestamp(text, std::time(nullptr));
}

void timestamp(BlockString& text, std::time_t when) {
    std::tm local{};
#ifdef _WIN32
    const bool known = localtime_s(&local, &when) == 0;
#else
    const bool known = localtime_r(&when, &local) != nullptr;
#endif
    if (!known) {
        text = "";
        return;
    }
    // asctime's layout, which ctime gives: always English, whatever the locale.
    static const char kDays[7][4] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char kMonths[12][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3s %.3s%3d %.2d:%.2d:%.2d %lld",
                  kDays[(local.tm_wday % 7 + 7) % 7], kMonths[(local.tm_mon % 12 + 12) % 12],
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<long long>(local.tm_year) + 1900);
    text = buffer;
}

} // namespace skyfetch
