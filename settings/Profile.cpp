#include "settings/Profile.h"

#include <climits>
#include <string>

namespace skyfetch {

int parse_profile_int(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1LL + INT_MAX)
            value = 1LL + INT_MAX; // saturate; keep accumulating bounded
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return int(value);
}

int Profile::read_int(std::string_view key, int defaultValue) const {
    const auto text = m_store->value(m_section, key);
    return text ? parse_profile_int(*text) : defaultValue;
}

bool Profile::write_int(std::string_view key, int value) const {
    return m_store->set_value(m_section, key, std::to_string(value));
}

std::string Profile::read_string(std::string_view key, std::string_view defaultValue) const {
    const auto text = m_store->value(m_section, key);
    return text ? *text : std::string(defaultValue);
}

bool Profile::write_string(std::string_view key, std::string_view text) const {
    return m_store->set_value(m_section, key, text);
}

} // namespace skyfetch
