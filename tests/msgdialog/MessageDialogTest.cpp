// The message dialog as a window on an X display: fitting, painting, buttons, focus, keys.
#include "msgdialog/MessageDialog.h"
#include "msgdialog/MessageLayout.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace skyfetch;

namespace {

// The report after a file was written: a title, a paragraph with a bold path, three
// centred buttons.
void FillReport(CMessageDialog& dlg) {
    MessageItem item;
    item.kind = ItemLarge;
    item.align = 0;
    item.text = "Driver file written";
    dlg.m_items.push_back(item);
    item.kind = ItemNewLine;
    dlg.m_items.push_back(item);
    item.kind = ItemText;
    item.align = -1;
    item.text = "The file ";
    dlg.m_items.push_back(item);
    item.kind = ItemBold;
    item.text = "/home/someone/Documents/climate-runs/site1.txt";
    dlg.m_items.push_back(item);
    item.kind = ItemText;
    item.text = " was written. Press View to open it in the spreadsheet program, Explore "
                "to show its folder, or Finish to end.";
    dlg.m_items.push_back(item);
    item.kind = ItemNewLine;
    dlg.m_items.push_back(item);
    dlg.m_items.push_back(item);
    item.kind = ItemButton;
    item.align = 0;
    for (auto [caption, result] : {std::pair{"View", 1}, {"Explore", 2}, {"Finish", 3}}) {
        item.text = caption;
        item.result = result;
        dlg.m_items.push_back(item);
    }
    dlg.m_width = 640;
    dlg.m_height = 400;
}

QPushButton* FindButton(CMessageDialog& dlg, const QString& caption) {
    for (QPushButton* b : dlg.findChildren<QPushButton*>())
        if (b->text() == caption)
            return b;
    return nullptr;
}

// Runs `action` once the dialog shows its buttons and is the active window (as a window
// manager makes a new dialog), then returns exec()'s result. Closes the dialog after a few
// seconds whatever happens, so a fault cannot hang the test.
int RunWhenShown(CMessageDialog& dlg, std::function<void()> action) {
    QTimer poll;
    bool done = false;
    bool activationAsked = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done || !dlg.isVisible() || FindButton(dlg, "Finish") == nullptr)
            return;
        if (!activationAsked) {
            activationAsked = true;
            dlg.activateWindow();
        }
        if (!dlg.isActiveWindow())
            return;
        done = true;
        QTest::qWait(50); // let the activation's focus events settle
        action();
    });
    poll.start(10);
    QTimer::singleShot(5000, &dlg, [&dlg] { dlg.done(-1); });
    return dlg.exec();
}

// A key as the user types it: through the window system to whatever holds the focus.
void Type(CMessageDialog& dlg, Qt::Key key) {
    QTest::keyClick(dlg.windowHandle(), key);
}

class SharedMeasurer : public TextMeasurer {
public:
    explicit SharedMeasurer(const CMessageDialog& d) : m_d(d) {}
    TextExtent Extent(MessageFont font, std::string_view text) const override {
        const QFont& f = font == MessageFont::Bold    ? m_d.m_fontBold
                         : font == MessageFont::Large ? m_d.m_fontLarge
                         : font == MessageFont::Fixed ? m_d.m_fontFixed
                                                      : m_d.m_fontNormal;
        const QFontMetrics m(f);
        return {m.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))),
                m.height()};
    }

private:
    const CMessageDialog& m_d;
};

} // namespace

class MessageDialogTest : public QObject {
    Q_OBJECT
private slots:
    void exploreButtonReportsItsResult();
    void escapeClosesWithoutAResult();
    void enterWithoutAFocusedButtonConfirmsWithoutAResult();
    void tabReachesTheButtonsWhichPressWithTheirKeys_data();
    void tabReachesTheButtonsWhichPressWithTheirKeys();
    void heightFitsTheContentAndButtonsAreMadeOnce();
    void emptyDialogIs32PixelsHigh();
};

void MessageDialogTest::exploreButtonReportsItsResult() {
    CMessageDialog dlg;
    FillReport(dlg);
    QStringList ids;
    QList<QRect> places;
    const int code = RunWhenShown(dlg, [&] {
        for (const char* caption : {"View", "Explore", "Finish"}) {
            QPushButton* b = FindButton(dlg, caption);
            ids << b->objectName();
            places << b->geometry();
        }
        QTest::mouseClick(FindButton(dlg, "Explore"), Qt::LeftButton);
    });
    QCOMPARE(code, int(QDialog::Accepted));
    QCOMPARE(dlg.m_result, 2);
    // Ids are 2700 + list position; the three share a row centred in the window.
    QCOMPARE(ids, (QStringList{"2707", "2708", "2709"}));
    QCOMPARE(places[1].top(), places[0].top());
    QCOMPARE(places[2].top(), places[0].top());
    QVERIFY(places[1].left() > places[0].right());
    QVERIFY(places[2].left() > places[1].right());
    const int leftGap = places[0].left();
    const int rightGap = dlg.width() - 1 - places[2].right();
    QVERIFY2(qAbs(leftGap - rightGap) <= 3,
             qPrintable(QString("%1 %2").arg(leftGap).arg(rightGap)));
}

void MessageDialogTest::escapeClosesWithoutAResult() {
    CMessageDialog dlg;
    FillReport(dlg);
    const int code = RunWhenShown(dlg, [&] { Type(dlg, Qt::Key_Escape); });
    QCOMPARE(code, int(QDialog::Rejected));
    QCOMPARE(dlg.m_result, 0);
}

void MessageDialogTest::enterWithoutAFocusedButtonConfirmsWithoutAResult() {
    // The buttons come after the dialog took the focus: none of them holds it, and Enter
    // confirms the dialog itself rather than pressing "View".
    CMessageDialog dlg;
    FillReport(dlg);
    QWidget* focused = nullptr;
    const int code = RunWhenShown(dlg, [&] {
        focused = QApplication::focusWidget();
        Type(dlg, Qt::Key_Return);
    });
    QCOMPARE(code, int(QDialog::Accepted));
    QCOMPARE(dlg.m_result, 0);
    QCOMPARE(focused, static_cast<QWidget*>(&dlg));
}

void MessageDialogTest::tabReachesTheButtonsWhichPressWithTheirKeys_data() {
    QTest::addColumn<int>("tabs");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focusedCaption");
    QTest::addColumn<int>("result");
    QTest::newRow("View with Enter") << 1 << int(Qt::Key_Return) << "View" << 1;
    QTest::newRow("Explore with Space") << 2 << int(Qt::Key_Space) << "Explore" << 2;
    QTest::newRow("Finish with Enter") << 3 << int(Qt::Key_Return) << "Finish" << 3;
    QTest::newRow("round to View with Space") << 4 << int(Qt::Key_Space) << "View" << 1;
}

void MessageDialogTest::tabReachesTheButtonsWhichPressWithTheirKeys() {
    QFETCH(int, tabs);
    QFETCH(int, key);
    QFETCH(QString, focusedCaption);
    QFETCH(int, result);
    CMessageDialog dlg;
    FillReport(dlg);
    QString caption;
    const int code = RunWhenShown(dlg, [&] {
        for (int i = 0; i < tabs; ++i)
            Type(dlg, Qt::Key_Tab);
        if (auto* b = qobject_cast<QPushButton*>(QApplication::focusWidget()))
            caption = b->text();
        Type(dlg, static_cast<Qt::Key>(key));
    });
    QCOMPARE(caption, focusedCaption);
    QCOMPARE(code, int(QDialog::Accepted));
    QCOMPARE(dlg.m_result, result);
}

void MessageDialogTest::heightFitsTheContentAndButtonsAreMadeOnce() {
    CMessageDialog dlg;
    FillReport(dlg);
    int fittedHeight = 0, neededClient = 0, clientAfterResize = 0;
    QPushButton* first = nullptr;
    QPushButton* afterResize = nullptr;
    QImage shot;
    RunWhenShown(dlg, [&] {
        const SharedMeasurer measurer(dlg);
        neededClient = FittingClientHeight(measurer, dlg.ClientRect().width(), dlg.m_items);
        fittedHeight = dlg.ClientRect().height();
        first = FindButton(dlg, "View");
        shot = dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
        // Another size: the dialog fits its height again; the buttons are moved, not made anew.
        dlg.resize(dlg.width(), dlg.height() + 57);
        QTest::qWait(50);
        clientAfterResize = dlg.ClientRect().height();
        dlg.repaint();
        afterResize = FindButton(dlg, "View");
        QCOMPARE(dlg.findChildren<QPushButton*>().size(), 3);
        dlg.reject();
    });
    QCOMPARE(dlg.width(), 640);
    QCOMPARE(fittedHeight, neededClient);
    QVERIFY(fittedHeight < 400);
    QCOMPARE(clientAfterResize, neededClient);
    QCOMPARE(afterResize, first);

    // Painted on white with dark text; the left, top and right margins stay white.
    QVERIFY(!shot.isNull());
    int dark = 0;
    for (int y = 1; y < shot.height() - 1; ++y)
        for (int x = 1; x < shot.width() - 1; ++x) {
            const QRgb c = shot.pixel(x, y);
            const bool isDark = qGray(c) < 100;
            if (x < 17 || x >= shot.width() - 17 || y < 17)
                QVERIFY2(!isDark, qPrintable(QString("%1,%2").arg(x).arg(y)));
            dark += isDark;
        }
    QVERIFY(dark > 200);
}

void MessageDialogTest::emptyDialogIs32PixelsHigh() {
    CMessageDialog dlg;
    dlg.m_width = 300;
    dlg.m_height = 200;
    int client = 0;
    QTimer::singleShot(100, &dlg, [&] {
        client = dlg.ClientRect().height();
        dlg.reject();
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(client, 32);
    QCOMPARE(dlg.m_result, 0);
}

int main(int argc, char** argv) {
    // Focus and activation are only real on an X display; the offscreen platform hands
    // out neither the way a desktop does.
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "No X display: run under xvfb-run. Skipped.\n");
        return 77;
    }
    QApplication app(argc, argv);
    MessageDialogTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "MessageDialogTest.moc"
