// The desktop program skyfetch: one modal dialog, and the program ends when it closes.
#include "app/SkyfetchApp.h"
#include "dialog/MessageBoxPrompt.h"
#include "resources/EmbeddedData.h"

#include <QApplication>
#include <QSurfaceFormat>

#include <clocale>

int main(int argc, char* argv[]) {
    skyfetch::register_embedded_resources();

    // The globe draws with legacy OpenGL: ask for a compatibility context before any
    // window exists.
    QSurfaceFormat format;
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication application(argc, argv);
    QApplication::setApplicationName("Skyfetch");
    // QApplication takes the environment's locale; numbers are read and written with
    // the C rules everywhere in this program.
    std::setlocale(LC_NUMERIC, "C");

    skyfetch::MessageBoxPrompt prompt;
    skyfetch::set_user_prompt(&prompt);
    skyfetch::CSkyfetchApp program;
    program.InitInstance();
    skyfetch::set_user_prompt(nullptr);
    return 0;
}
