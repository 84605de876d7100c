// The desktop program skyfetch: one modal dialog, and the program ends when it closes.
#include "app/SkyfetchApp.h"
#include "globe/GlobeSurfaceFormat.h"
#include "putil/ProcessSetup.h"
#include "resources/EmbeddedData.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[]) {
    // Before anything is opened: no file may take the number of a closed standard stream,
    // and a pipe closed under a write is a failed write, not the end of the program.
    skyfetch::prepare_process_io();
    skyfetch::register_embedded_resources();

    // The globe draws with legacy OpenGL: its contexts are asked for before any window
    // exists.
    skyfetch::configure_globe_surface_format();

    QApplication application(argc, argv);
    QApplication::setApplicationName("Skyfetch");
    // Ties the window to its menu entry (and icon) on desktops that go by the entry's name.
    QGuiApplication::setDesktopFileName("org.skyfetch.Skyfetch");
    // QApplication takes the environment's locale; numbers are read and written with
    // the C rules everywhere in this program.
    std::setlocale(LC_NUMERIC, "C");

    skyfetch::DesktopMessages messages;
    skyfetch::CSkyfetchApp program;
    program.InitInstance();
    return 0;
}
