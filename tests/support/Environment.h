#pragma once

// Setting the process's environment for a test, in UTF-8 on every platform.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace skyfetch::test {

#ifdef _WIN32
namespace detail {
inline std::wstring wide(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}
} // namespace detail

// _wputenv_s keeps the C library's copy and the one child processes inherit alike; an
// empty value removes the variable.
inline void set_environment(const char* name, const std::string& value) {
    _wputenv_s(detail::wide(name).c_str(), detail::wide(value).c_str());
}
inline void unset_environment(const char* name) {
    _wputenv_s(detail::wide(name).c_str(), L"");
}
#else
inline void set_environment(const char* name, const std::string& value) {
    ::setenv(name, value.c_str(), 1);
}
inline void unset_environment(const char* name) {
    ::unsetenv(name);
}
#endif

// The variable's value, "" when it is not set.
inline std::string environment_value(const char* name) {
#ifdef _WIN32
    const wchar_t* value = _wgetenv(detail::wide(name).c_str());
    if (!value)
        return {};
    const std::u8string text = std::filesystem::path(value).u8string();
    return std::string(text.begin(), text.end());
#else
    const char* value = std::getenv(name);
    return value ? value : "";
#endif
}

// The variable that names the user's settings folder (putil/UserFolders.h).
#ifdef _WIN32
inline constexpr const char* kConfigVariable = "APPDATA";
#else
inline constexpr const char* kConfigVariable = "XDG_CONFIG_HOME";
#endif

// Sets a variable for the lifetime of the object; then it is as it was before.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value)
        : m_name(name), m_saved(environment_value(name)) {
        set_environment(name, value);
    }
    ~ScopedEnvironment() {
        if (m_saved.empty())
            unset_environment(m_name);
        else
            set_environment(m_name, m_saved);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::string m_saved;
};

} // namespace skyfetch::test
