#include "putil/ShellRequest.h"

#include "putil/Win32Support.h"

#include <objbase.h>
#include <shellapi.h>

namespace skyfetch {

bool shell_execute(const std::string& verb, const std::string& file,
                   const std::string& parameters) {
    // The shell may hand the request on through COM; this thread needs it ready.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring wideVerb = win32::wide(verb);
    const std::wstring wideFile = win32::native_path(file);
    const std::wstring wideParameters = win32::wide(parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own: the caller tells the user.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = wideVerb.c_str();
    info.lpFile = wideFile.c_str();
    info.lpParameters = parameters.empty() ? nullptr : wideParameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    const bool taken = ShellExecuteExW(&info) != FALSE;
    if (SUCCEEDED(com))
        CoUninitialize();
    return taken;
}

std::string quoted_argument(const std::string& argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote is escaped.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Backslashes before the closing quote are doubled.
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

} // namespace skyfetch
