#pragma once

#include <string>

namespace skyfetch {

// The two requests the program makes of the desktop after a file was written: open the
// file in a spreadsheet program and show its folder. Both start without waiting and
// without checking the outcome. Tests record the requests instead.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual void OpenInSpreadsheet(const std::string& path) = 0;
    virtual void ExploreFolder(const std::string& folder) = 0;
};

// The first spreadsheet program found on PATH (LibreOffice Calc, localc, Gnumeric),
// else the desktop's default application through xdg-open; folders through xdg-open.
// Paths are passed as single arguments, never quoted.
class DesktopLauncher : public Launcher {
public:
    void OpenInSpreadsheet(const std::string& path) override;
    void ExploreFolder(const std::string& folder) override;
};

} // namespace skyfetch
