#include "app/SkyfetchApp.h"

#include "app/StartupOutput.h"
#include "dialog/SkyfetchDlg.h"
#include "putil/FatalMessage.h"
#include "putil/UserPrompt.h"
#include "putil/WorkingFolder.h"
#include "rules/OutputName.h"

#include "globe/GlobeView.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <cstdio>

#include <optional>
#include <string>
#include <vector>

namespace skyfetch {

DesktopMessages::DesktopMessages() {
    set_user_prompt(&m_prompt);
    set_fatal_message_handler(prompt_fatal_message);
}

DesktopMessages::~DesktopMessages() {
    set_fatal_message_handler(nullptr);
    set_user_prompt(nullptr);
}

namespace {

// What the screen shows of the window, saved as PNG, and the globe's rectangle in it on
// standard output ("globe X Y WIDTH HEIGHT"; "screenshot failed" when nothing was saved).
void SaveScreenshot(CSkyfetchDlg& dialog, const QString& path) {
    QScreen* screen = dialog.screen();
    const QRect window = dialog.frameGeometry();
    const QPixmap shot =
        screen ? screen->grabWindow(0, window.x(), window.y(), window.width(), window.height())
               : QPixmap();
    if (shot.isNull() || !shot.save(path, "PNG")) {
        std::printf("screenshot failed\n");
        return;
    }
    const QWidget* globe = dialog.Globe();
    const QPoint at = globe->mapToGlobal(QPoint(0, 0)) - window.topLeft();
    std::printf("globe %d %d %d %d\n", at.x(), at.y(), globe->width(), globe->height());
}

} // namespace

bool CSkyfetchApp::InitInstance() {
    // Only the first plain argument counts (Qt has already taken its own options). A
    // relative folder is meant from where the program was started, so it is made
    // absolute before the program moves to the documents folder.
    std::vector<std::string> arguments;
    const QStringList given = QCoreApplication::arguments();
    for (qsizetype i = 1; i < given.size(); ++i)
        arguments.push_back(given[i].toStdString());
    const std::optional<std::string> argument = FolderArgument(arguments, CurrentDirectory());

    // The documents folder, when it exists, is where files go unless told otherwise (on
    // Windows the user's Documents known folder). Qt writes paths with '/'; the program
    // shows them as the system writes them.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        (void)change_directory(QDir::toNativeSeparators(documents).toStdString());

    CSkyfetchDlg dialog;
    dialog.m_outputName = ChooseOutput(argument);
    // For timing the start (bench/startup) and for testing an installed program: as soon
    // as the window's first complete frame, globe and chart, has reached the screen, the
    // time of the steady clock goes to standard output and the window closes. With
    // SKYFETCH_FIRST_FRAME_SCREENSHOT naming a PNG file, the window's place on the screen
    // is saved there first, and the globe's place in that picture goes to standard output.
    const QString screenshot = qEnvironmentVariable("SKYFETCH_FIRST_FRAME_SCREENSHOT");
    if (qEnvironmentVariableIsSet("SKYFETCH_EXIT_AFTER_FIRST_FRAME") || !screenshot.isEmpty()) {
        auto* once = new QObject(&dialog);
        QObject::connect(
            dialog.Globe(), &QOpenGLWidget::frameSwapped, once, [&dialog, once, screenshot] {
                std::printf("first frame %lld\n",
                            static_cast<long long>(
                                std::chrono::steady_clock::now().time_since_epoch().count()));
                if (!screenshot.isEmpty())
                    SaveScreenshot(dialog, screenshot);
                std::fflush(stdout);
                delete once;
                QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(QDialog::Rejected); });
            });
    }
    dialog.DoModal();
    return false;
}

} // namespace skyfetch
