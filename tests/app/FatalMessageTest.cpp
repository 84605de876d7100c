// An exhausted heap in the desktop program: the message appears in an error box with an
// OK button, and the program ends with status 99 once the box is confirmed.
#include "app/SkyfetchApp.h"
#include "climate/Spinup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <sys/resource.h>

namespace {

// Prints what the first message box shows, then presses its OK button.
void ConfirmMessageBoxWhenShown() {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        std::fprintf(stderr, "box: %s | %s | icon %d | buttons %d\n",
                     box->windowTitle().toUtf8().constData(), box->text().toUtf8().constData(),
                     int(box->icon()), int(box->standardButtons()));
        box->button(QMessageBox::Ok)->click();
    });
    timer->start(10);
}

// What the program does when a ring cannot be allocated, in a window as main() sets it up.
void RunOutOfMemory() {
    int argc = 1;
    char name[] = "skyfetch";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    skyfetch::DesktopMessages messages;
    ConfirmMessageBoxWhenShown();
    // With the address space capped, a ring of INT_MAX years cannot be had, whatever the
    // system's overcommit policy.
    const rlimit limit{rlim_t(16) << 30, rlim_t(16) << 30};
    setrlimit(RLIMIT_AS, &limit);
    skyfetch::Spinup_data ring(INT_MAX);
}

TEST(FatalMessageDeathTest, OutOfMemoryShowsAnErrorBoxAndEndsWithStatus99) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunOutOfMemory(), ::testing::ExitedWithCode(99),
                "box: Skyfetch \\| Spinup_data::Spinup_data: out of memory \\| icon 3 \\| "
                "buttons 1024");
}

} // namespace
