// An exhausted heap in the desktop program: the message appears in an error box with an
// OK button, and the program ends with status 99 once the box is confirmed. Where a box
// is not safe (another thread, a second fatal condition, a box that cannot be built) the
// message goes to standard error and the program still ends with 99.
#include "putil/FatalMessage.h"
#include "app/SkyfetchApp.h"
#include "climate/Spinup.h"
#include "putil/UserPrompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <new>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

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

// A second box, or a box on a thread other than the interface's, must never appear:
// the child then ends with status 1 instead of 99.
void RefuseAnyBoxAfter(int allowed) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, allowed, seen = 0]() mutable {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible() || box->property("seen").toBool())
                continue;
            box->setProperty("seen", true);
            std::fprintf(stderr, "box: %s\n", box->text().toUtf8().constData());
            if (++seen > allowed)
                _exit(1);
            // While the first box is up, a second fatal condition (from a timer of its
            // own: this one is not called again while it runs).
            QTimer::singleShot(0, [] { skyfetch::fatal_exit("second fatal"); });
        }
    });
    timer->start(10);
}

// A prompt that cannot build its box.
class FailingPrompt : public skyfetch::UserPrompt {
public:
    skyfetch::PromptAnswer show(const std::string&, skyfetch::PromptIcon,
                                skyfetch::PromptButtons) override {
        throw std::bad_alloc();
    }
};

enum class Fault { OtherThread, SecondFatal, BoxFails };

void RunFatal(Fault fault) {
    int argc = 1;
    char name[] = "skyfetch";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    skyfetch::DesktopMessages messages;
    FailingPrompt failing;
    switch (fault) {
    case Fault::OtherThread:
        RefuseAnyBoxAfter(0);
        std::thread([] { skyfetch::fatal_exit("fatal on a worker"); }).detach();
        break;
    case Fault::SecondFatal:
        RefuseAnyBoxAfter(1);
        skyfetch::fatal_exit("first fatal");
    case Fault::BoxFails:
        skyfetch::set_user_prompt(&failing);
        skyfetch::fatal_exit("fatal with no box");
    }
    application.exec();
}

TEST(FatalMessageDeathTest, WhereNoBoxIsSafeTheMessageGoesToStandardErrorAndTheStatusIs99) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        Fault fault;
        const char* standardError; // in this order, whatever Qt adds between
    } cases[] = {
        {Fault::OtherThread, "fatal on a worker"},
        {Fault::SecondFatal, "first fatal.*box: first fatal.*second fatal"},
        {Fault::BoxFails, "fatal with no box"},
    };
    for (const auto& c : cases)
        EXPECT_EXIT(RunFatal(c.fault), ::testing::ExitedWithCode(99), c.standardError)
            << int(c.fault);
}

} // namespace
