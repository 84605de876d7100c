#include "putil/UserFolders.h"

#include "putil/FileSystem.h"
#include "putil/Win32Support.h"

#include <cwchar>
#include <shlobj.h>

namespace skyfetch {

std::string user_settings_folder() {
    // %APPDATA% names it when set (and lets tests move it); else the shell knows it.
    if (const wchar_t* appData = _wgetenv(L"APPDATA"); appData && appData[0])
        return win32::utf8(appData, std::wcslen(appData));
    wchar_t* path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path)) && path)
        folder = win32::utf8(path, std::wcslen(path));
    CoTaskMemFree(path);
    return folder;
}

} // namespace skyfetch
