#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace skyfetch {

// The two requests the program makes of the desktop after a file was written: open the
// file in a spreadsheet program and show its folder. Both start the program without
// waiting for it to finish. Each says whether a program took the request: false when
// no program for it was found, or every one that was tried failed at once; the caller
// then tells the user where the file is. Tests record the requests instead.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual bool OpenInSpreadsheet(const std::string& path) = 0;
    virtual bool ExploreFolder(const std::string& folder) = 0;
};

// Linux: the first spreadsheet program found on PATH (LibreOffice Calc, localc,
// Gnumeric), else the desktop's default application through xdg-open; folders through
// xdg-open. Windows: the shell's "open" with the program "excel" and the file, else the
// file's registered program; folders in Explorer (earlyExitWait is not used there: the
// shell says at once whether it took the request).
// Paths are passed as single arguments, never quoted, and made absolute against the
// current directory, so that a name starting with '-' cannot read as an option.
//
// A program is started, then watched for up to earlyExitWait: one that ends within that
// time with an error (or could not be executed) has failed, and the next candidate is
// tried; one that ends without an error or is still running has taken the request and
// is left to run on its own, in its own session. A request thus takes up to one wait per
// candidate: the window asks on a thread of its own (RunOffInterfaceThread).
class DesktopLauncher : public Launcher {
public:
    explicit DesktopLauncher(
        std::chrono::milliseconds earlyExitWait = std::chrono::milliseconds(1500))
        : m_earlyExitWait(earlyExitWait) {}
    bool OpenInSpreadsheet(const std::string& path) override;
    bool ExploreFolder(const std::string& folder) override;

private:
    std::chrono::milliseconds m_earlyExitWait;
};

// What the user is told when no program took the request, naming what to open by hand.
std::string NoViewerMessage(const std::string& path);
std::string NoFileManagerMessage(const std::string& folder);

} // namespace skyfetch
