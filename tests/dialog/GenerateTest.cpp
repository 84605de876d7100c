// "Generate file" through the real window: the order of its checks, what each failure
// leaves behind, the report, the desktop requests and what is stored afterwards.
#include "DialogTestSupport.h"
#include "FakePath.h"

#include "settings/Profile.h"
#include "climate/Spinup.h"
#include "dialog/DialogTemplate.h"
#include "dialog/Launcher.h"
#include "dialog/MessageBoxPrompt.h"
#include "dialog/SkyfetchDlg.h"
#include "dialog/UpDownControl.h"
#include "globe/GlobeSurfaceFormat.h"
#include "msgdialog/MessageDialog.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using namespace skyfetch;
using namespace skyfetch::test;

namespace {

// The driver file without its first line, which carries the creation time.
std::string WithoutDateLine(const std::string& text) {
    const std::size_t end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(end + 1);
}

// What the report looked like when it was answered.
struct SeenReport {
    bool shown = false;
    int width = 0;
    std::vector<MessageItem> items;
};

} // namespace

class GenerateTest : public DialogTestCase {
    Q_OBJECT

private:
    // A land cell in New Zealand (172.5-173.0 E, 43.0-42.5 S), the default latitude kept.
    void TypeLandLocation(CSkyfetchDlg& d) { Type(d, IDC_LONGITUDE, "172.75"); }
    // A location west of Greenwich and north of the equator.
    void TypeWestNorth(CSkyfetchDlg& d, const QString& longitude, const QString& latitude) {
        Type(d, IDC_LONGITUDE, longitude);
        Click(d, IDC_WEST);
        Type(d, IDC_LATITUDE, latitude);
        Click(d, IDC_NORTH);
    }

    // Answers the report when it appears: presses the button with this caption, or closes
    // the report without a button when caption is empty.
    void AnswerReport(SeenReport& seen, const QString& caption) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [timer, &seen, caption] {
            auto* report = qobject_cast<CMessageDialog*>(QApplication::activeModalWidget());
            if (!report)
                return;
            QPushButton* button = nullptr;
            for (QPushButton* b : report->findChildren<QPushButton*>())
                if (b->text() == caption)
                    button = b;
            if (!caption.isEmpty() && !button)
                return; // not painted yet
            seen.shown = true;
            seen.width = report->m_width;
            seen.items = report->m_items;
            timer->stop();
            timer->deleteLater();
            if (button)
                QTest::mouseClick(button, Qt::LeftButton);
            else
                report->reject();
        });
        timer->start(20);
    }

private slots:
    void seaCellShowsOnlyTheNotFoundMessage() {
        auto d = Open();
        Type(*d, IDC_SPINUPYEARS, "99"); // would ask
        TypeWestNorth(*d, "0.5", "2");
        d->m_outputName.clear();
        d->UpdateData(false); // no name either
        m_prompt.shown.clear();
        Click(*d, IDOK);
        QCOMPARE(m_prompt.texts(),
                 std::vector<std::string>{
                     "(0.5\u00b0W, 2\u00b0N) not land or not found in climate database"});
        QVERIFY(d->isVisible());
        QVERIFY(QDir(QString::fromStdString(m_folders->work())).isEmpty());
        QVERIFY(!Exists(m_folders->appProfilePath()));
    }

    void aBadNumberStopsTheCommandAtOnce() {
        auto d = Open();
        TypeLandLocation(*d);
        Type(*d, IDC_SCENARIOYEARS, "12a");
        Click(*d, IDOK);
        QCOMPARE(m_prompt.texts(), std::vector<std::string>{"Please enter an integer."});
        QCOMPARE(d->focusWidget(), d->Edit(IDC_SCENARIOYEARS));
        QVERIFY(d->isVisible());
        QVERIFY(QDir(QString::fromStdString(m_folders->work())).isEmpty());
        QVERIFY(!Exists(m_folders->appProfilePath()));
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", "none"), "none");
    }

    void decliningTheOverwriteQuestionKeepsTheFile() {
        write_text(m_folders->work() + "/climate.txt", "old content\n");
        auto d = Open();
        TypeLandLocation(*d);
        Type(*d, IDC_OUTPUTFILE, "climate");
        QCOMPARE(Text(*d, IDC_OUTPUTFILE), "climate.txt");
        m_prompt.answers = {PromptAnswer::No};
        Click(*d, IDOK);
        QCOMPARE(m_prompt.texts(), std::vector<std::string>{
                                       "climate.txt already exists\nDo you want to overwrite it?"});
        QCOMPARE(m_prompt.shown[0].icon, PromptIcon::Question);
        QCOMPARE(read_text(m_folders->work() + "/climate.txt"), "old content\n");
        QCOMPARE(d->focusWidget(), d->Edit(IDC_OUTPUTFILE));
        QVERIFY(d->isVisible());
    }

    void aNameTooLongIsReportedNotCalledExisting() {
        auto d = Open();
        TypeLandLocation(*d);
        const std::string name(300, 'n');
        Type(*d, IDC_OUTPUTFILE, QString::fromStdString(name));
        m_prompt.answers = {PromptAnswer::Yes};
        Click(*d, IDOK);
        QCOMPARE(m_prompt.texts(),
                 std::vector<std::string>{"Could not open \"" + name +
                                          ".txt\" for output.\nFile name too long.\n"
                                          "Choose another folder or another name for the output "
                                          "file."});
        QCOMPARE(m_prompt.shown[0].icon, PromptIcon::Error);
        QVERIFY(d->isVisible());
    }

    void aFailingCheckAfterYesWritesNothing() {
        write_text(m_folders->work() + "/climate.txt", "old content\n");
        auto d = Open();
        TypeLandLocation(*d);
        Type(*d, IDC_OUTPUTFILE, "climate");
        Type(*d, IDC_SPINUPYEARS, "20000");
        m_prompt.answers = {PromptAnswer::Yes};
        Click(*d, IDOK);
        QCOMPARE(m_prompt.texts(), (std::vector<std::string>{
                                       "climate.txt already exists\nDo you want to overwrite it?",
                                       "Number of spinup years must be in the range 0-10000"}));
        QCOMPARE(read_text(m_folders->work() + "/climate.txt"), "old content\n");
        QCOMPARE(QDir(QString::fromStdString(m_folders->work())).entryList(QDir::Files),
                 QStringList{"climate.txt"}); // no probe or temporary file left behind
        QCOMPARE(d->focusWidget(), d->Edit(IDC_SPINUPYEARS));
        QCOMPARE(Text(*d, IDC_SPINUPYEARS), "1000");

        // A scenario check that fails moves the focus to the temperature change.
        Type(*d, IDC_CO2CHANGE, "1500");
        m_prompt.answers = {PromptAnswer::Yes};
        Click(*d, IDOK);
        QCOMPARE(m_prompt.texts().back(), "CO2 increase must be in the range 0-1000 %");
        QCOMPARE(d->focusWidget(), d->Edit(IDC_TEMPCHANGE));
        QCOMPARE(read_text(m_folders->work() + "/climate.txt"), "old content\n");
    }

    void aBareNameIsWrittenToTheCurrentFolder() {
        auto d = Open();
        TypeLandLocation(*d);
        SeenReport report;
        AnswerReport(report, "Finish");
        Click(*d, IDOK);
        QVERIFY(report.shown);
        QVERIFY(m_prompt.shown.empty());
        const std::string folder = m_folders->work();
        QVERIFY(read_text(folder + "/climate.txt").rfind("[Environmental driver file", 0) == 0);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QVERIFY(!d->isVisible());

        // The report, item by item.
        QCOMPARE(report.width, 640);
        const struct {
            int kind;
            int align;
            bool breakAfter;
            std::string text;
            int result;
        } expected[] = {
            {ItemLarge, 0, true, "Output file created", 0},
            {ItemNewLine, 0, true, "Output file created", 0},
            {ItemText, -1, false, "Environmental driver data have been written to the file ", 0},
            {ItemBold, -1, false, "climate.txt", 0},
            {ItemText, -1, false, " in the folder ", 0},
            {ItemBold, -1, false, folder, 0},
            {ItemText, -1, true, ".", 0},
            {ItemNewLine, -1, true, ".", 0},
            {ItemText, -1, true,
             "The file may be opened and viewed as a tab-delimited text file in a spreadsheet "
             "program such as LibreOffice Calc.",
             0},
            {ItemNewLine, -1, true,
             "The file may be opened and viewed as a tab-delimited text file in a spreadsheet "
             "program such as LibreOffice Calc.",
             0},
            {ItemText, -1, false, "Press ", 0},
            {ItemBold, -1, false, "View", 0},
            {ItemText, -1, false,
             " to open climate.txt in a spreadsheet program (if one is installed), ", 0},
            {ItemBold, -1, false, "Explore", 0},
            {ItemText, -1, false, " to show " + folder + " in the file manager or ", 0},
            {ItemBold, -1, false, "Finish", 0},
            {ItemText, -1, true, " to leave Skyfetch.", 0},
            {ItemNewLine, -1, true, " to leave Skyfetch.", 0},
            {ItemButton, 0, false, "View", 1},
            {ItemButton, 0, false, "Explore", 2},
            {ItemButton, 0, false, "Finish", 3},
        };
        QCOMPARE(report.items.size(), std::size(expected));
        for (std::size_t i = 0; i < std::size(expected); ++i) {
            const MessageItem& item = report.items[i];
            QCOMPARE(item.kind, expected[i].kind);
            QCOMPARE(item.text, expected[i].text);
            if (item.kind == ItemNewLine)
                continue; // only the kind matters
            QCOMPARE(item.align, expected[i].align);
            QCOMPARE(item.breakAfter, expected[i].breakAfter);
            if (item.kind == ItemButton)
                QCOMPARE(item.result, expected[i].result);
        }

        // What the next run starts from.
        QCOMPARE(Shared().read_string("SKYFETCH_HAVE_OUTPUT", ""), "1");
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", ""), "climate.txt");
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_DIR", ""), folder);
        QCOMPARE(App().read_int("LONGITUDE", 0), 37275);
        QCOMPARE(App().read_int("LATITUDE", 0), 15725);
        QCOMPARE(App().read_int("SPINUPYEARS", 0), 1000);
        QCOMPARE(App().read_int("TEMPCHANGE", 0), 10000);
        QVERIFY(m_launcher.opened.empty() && m_launcher.explored.empty());
    }

    void closingTheReportStoresLikeFinish() {
        auto d = Open();
        TypeWestNorth(*d, "0.25", "51.75");
        SeenReport report;
        AnswerReport(report, "");
        Click(*d, IDOK);
        QVERIFY(report.shown);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", ""), "climate.txt");
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_DIR", ""), m_folders->work());
        QCOMPARE(App().read_int("LONGITUDE", 0), 19975); // -0.25, truncated
        QCOMPARE(App().read_int("LATITUDE", 0), 25175);
    }

    void viewAndExploreReachTheDesktop() {
        {
            auto d = Open();
            TypeWestNorth(*d, "0.5", "51.5");
            SeenReport report;
            AnswerReport(report, "View");
            Click(*d, IDOK);
            const std::string path = m_folders->work() + "/climate.txt";
            QCOMPARE(m_launcher.opened, std::vector<std::string>{path}); // one argument, no quotes
            QVERIFY(m_launcher.explored.empty());
            QCOMPARE(Shared().read_string("SKYFETCH_LAST_DIR", ""), m_folders->work() + "/");
            QCOMPARE(App().read_int("LONGITUDE", 0), 19950);
            QCOMPARE(App().read_int("LATITUDE", 0), 25150);
        }
        {
            auto d = Open(); // the stored location comes back
            QCOMPARE(Text(*d, IDC_LONGITUDE), "0.5");
            QVERIFY(Checked(*d, IDC_WEST));
            // A path typed into another folder is written there and reported so.
            const std::string other = m_folders->work() + "/other folder";
            QDir().mkpath(QString::fromStdString(other));
            Type(*d, IDC_OUTPUTFILE, QString::fromStdString(other + "/run"));
            QCOMPARE(Text(*d, IDC_OUTPUTFILE).toStdString(), other + "/run.txt");
            SeenReport report;
            AnswerReport(report, "Explore");
            Click(*d, IDOK);
            QVERIFY(Exists(other + "/run.txt"));
            QCOMPARE(report.items[3].text, "run.txt");
            QCOMPARE(report.items[5].text, other);
            QCOMPARE(m_launcher.explored, std::vector<std::string>{other});
            QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", ""), "run.txt");
            QCOMPARE(Shared().read_string("SKYFETCH_LAST_DIR", ""), other);
        }
    }

    void aFolderTypedWithTheNameIsStoredInFull() {
        // The next start begins in the documents folder: a relative "sub" would be lost.
        QDir().mkpath(QString::fromStdString(m_folders->work() + "/sub"));
        auto d = Open();
        TypeLandLocation(*d);
        Type(*d, IDC_OUTPUTFILE, "sub/x");
        SeenReport report;
        AnswerReport(report, "Finish");
        Click(*d, IDOK);
        QVERIFY(Exists(m_folders->work() + "/sub/x.txt"));
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", ""), "x.txt");
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_DIR", ""), m_folders->work() + "/sub");
    }

    void whenNoProgramTakesTheRequestTheUserIsTold_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("View") << "View";
        QTest::newRow("Explore") << "Explore";
    }
    void whenNoProgramTakesTheRequestTheUserIsTold() {
        QFETCH(QString, button);
        auto d = Open();
        TypeLandLocation(*d);
        m_launcher.takes = false;
        SeenReport report;
        AnswerReport(report, button);
        Click(*d, IDOK);
        QVERIFY(report.shown);
        const std::string folder = m_folders->work();
        const bool view = button == "View";
        QCOMPARE(view ? m_launcher.opened.size() : m_launcher.explored.size(), std::size_t(1));
        // One message, named so that the user can open it by hand; then the program ends
        // as after any answer to the report.
        QCOMPARE(m_prompt.shown.size(), std::size_t(1));
        QCOMPARE(m_prompt.shown[0].icon, PromptIcon::Information);
        QCOMPARE(m_prompt.shown[0].buttons, PromptButtons::Ok);
        QCOMPARE(m_prompt.shown[0].text, view ? NoViewerMessage(folder + "/climate.txt")
                                              : NoFileManagerMessage(folder));
        QVERIFY(m_prompt.shown[0].text.find(view ? folder + "/climate.txt\n" : folder + "\n") !=
                std::string::npos);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", ""), "climate.txt");

        // A program that takes the request: no message.
        auto again = Open(); // named climate0.txt, beside the first file
        TypeLandLocation(*again);
        m_launcher.takes = true;
        m_prompt.shown.clear();
        report = SeenReport();
        AnswerReport(report, button);
        Click(*again, IDOK);
        QVERIFY(report.shown);
        QCOMPARE(m_launcher.opened.size() + m_launcher.explored.size(), std::size_t(2));
        QVERIFY(m_prompt.shown.empty());
    }

    void theWindowHandlesEventsWhileAProgramIsWatched() {
        // The only candidate waits for a release, which a timer of the window's thread
        // gives once the program runs; released, it ends with an error within the wait,
        // so the request fails and the user is told. A thread busy watching the program
        // could not release it: the wait would run out and the program count as started.
        const FakePath path({{"xdg-open", Script::WaitsForRelease}});
        DesktopLauncher desktop(std::chrono::seconds(60));
        auto d = Open();
        d->SetLauncher(&desktop);
        TypeLandLocation(*d);
        bool released = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (!released && !path.Run("xdg-open").empty()) {
                path.Release();
                released = true;
            }
        });
        watch.start(10);
        SeenReport report;
        AnswerReport(report, "Explore");
        Click(*d, IDOK);
        const bool releasedDuringTheWait = released;
        if (!released)
            path.Release(); // never leave the script waiting
        QVERIFY(releasedDuringTheWait);
        QCOMPARE(m_prompt.texts(),
                 std::vector<std::string>{NoFileManagerMessage(m_folders->work())});
        QCOMPARE(d->result(), int(QDialog::Accepted));
    }

    void aFailedWriteKeepsTheOldFileAndStoresNothing() {
        write_text(m_folders->work() + "/climate.txt", "old content\n");
        auto d = Open();
        TypeLandLocation(*d);
        Type(*d, IDC_OUTPUTFILE, "climate");
        // The rings have been used before (a third year is current).
        for (SpinupSet* set : {&initialisation_set(), &scenario_set()}) {
            set->reset();
            for (int i = 0; i < 3; ++i)
                set->next_year();
        }
        Type(*d, IDC_SPINUPYEARS, "1003");
        Type(*d, IDC_SCENARIOYEARS, "7");

        // A file-size limit stops the write part way.
        rlimit previous{};
        ::getrlimit(RLIMIT_FSIZE, &previous);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = previous;
        small.rlim_cur = 16 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &small);
        SeenReport report;
        AnswerReport(report, "Finish");
        m_prompt.answers = {PromptAnswer::Yes};
        Click(*d, IDOK);
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(m_prompt.shown.size(), std::size_t(2));
        QCOMPARE(m_prompt.shown[1].icon, PromptIcon::Error);
        // Created but not written: the writer's text with the system's reason.
        QCOMPARE(m_prompt.shown[1].text, "Could not write climate.txt: File too large");
        QVERIFY(!report.shown);
        QVERIFY(d->isVisible());
        QCOMPARE(read_text(m_folders->work() + "/climate.txt"), "old content\n");
        QCOMPARE(QDir(QString::fromStdString(m_folders->work())).entryList(QDir::Files),
                 QStringList{"climate.txt"});
        QCOMPARE(Shared().read_string("SKYFETCH_HAVE_OUTPUT", "none"), "");
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", "none"), "none");
        QCOMPARE(App().read_int("LONGITUDE", -1), -1);

        // The next attempt writes the whole file, both phases from data year 0: after
        // 1003 and 7 rows the rings stand at years 3 and 7.
        m_prompt.answers = {PromptAnswer::Yes};
        Click(*d, IDOK);
        QTRY_VERIFY(report.shown);
        QVERIFY(read_text(m_folders->work() + "/climate.txt").size() > 100000);
        QCOMPARE(initialisation_set().temperature.current_year(), 3);
        QCOMPARE(scenario_set().temperature.current_year(), 7);
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", ""), "climate.txt");
    }

    void aFileThatCannotBeCreatedIsReportedPlainly() {
        auto d = Open();
        TypeLandLocation(*d);
        const QString gone = QString::fromStdString(m_folders->work() + "/gone");
        QDir().mkpath(gone);
        const std::string path = gone.toStdString() + "/run.txt";
        Type(*d, IDC_OUTPUTFILE, gone + "/run");
        // The folder passes the name check and is removed while the short-protocol
        // question is up.
        Type(*d, IDC_SPINUPYEARS, "50");
        m_prompt.whileShown = [gone](const std::string&) { QDir(gone).removeRecursively(); };
        m_prompt.answers = {PromptAnswer::Yes};
        Click(*d, IDOK);
        QCOMPARE(m_prompt.shown.size(), std::size_t(2));
        QCOMPARE(m_prompt.shown[1].text,
                 "Could not open \"" + path + "\" for output.\nNo such file or directory.\n"
                 "Choose another folder or another name for the output file.");
        QCOMPARE(m_prompt.shown[1].icon, PromptIcon::Error);
        QCOMPARE(m_prompt.shown[1].buttons, PromptButtons::Ok);
        QVERIFY(d->isVisible());
        QVERIFY(QDir(QString::fromStdString(m_folders->work())).isEmpty());
        QCOMPARE(Shared().read_string("SKYFETCH_HAVE_OUTPUT", "none"), "");
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", "none"), "none");
    }

    void theSpunLocationIsTheOneWritten() {
        write_text(m_folders->appProfilePath(), "[SKYFETCH]\nLONGITUDE=30025\nLATITUDE=25075\n");
        auto d = Open(); // 100.25 E, 50.75 N
        for (int i = 0; i < 45; ++i)
            QTest::mouseClick(d->Spin(IDC_LATSPIN)->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(*d, IDC_LATITUDE), "73.25");
        SeenReport report;
        AnswerReport(report, "Finish");
        Click(*d, IDOK);
        QVERIFY(report.shown);
        QVERIFY(m_prompt.shown.empty());
        // The cell line of the file: the centre of the cell the field showed.
        const std::string text = read_text(m_folders->work() + "/climate.txt");
        const std::size_t header = text.find("Lon\tLat\t");
        QVERIFY(header != std::string::npos);
        const std::size_t line = text.find('\n', header) + 1;
        QCOMPARE(text.substr(line, 13), "100.25\t73.25\t");
        QCOMPARE(App().read_int("LATITUDE", 0), 27325);
        QCOMPARE(App().read_int("LONGITUDE", 0), 30025);
    }

    void theNameIsSettledBeforeGenerateChecksIt_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("asked");
        // Enter in the name field: the name's rules come first, the existing file of the
        // typed name is not the target.
        QTest::newRow("file.c") << "file.c"
                                << "file.c.txt" << false;
        QTest::newRow("data.xlsx") << "data.xlsx"
                                   << "data.xlsx.txt" << false;
        // A name the rules keep: the overwrite question takes the focus meanwhile.
        QTest::newRow("data.csv") << "data.csv"
                                  << "data.csv" << true;
    }
    void theNameIsSettledBeforeGenerateChecksIt() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(bool, asked);
        const std::string work = m_folders->work();
        write_text(work + "/" + typed.toStdString(), "old\n");
        auto d = Open();
        TypeLandLocation(*d);
        Type(*d, IDC_OUTPUTFILE, typed);
        QCOMPARE(Text(*d, IDC_OUTPUTFILE), typed);
        // Real message boxes: they take the focus from the name field while they are up.
        MessageBoxPrompt boxes;
        set_user_prompt(&boxes);
        std::vector<std::string> questions;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                questions.push_back(box->text().toStdString());
                box->button(box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok)
                    ->click();
            }
        });
        answer.start(50);
        SeenReport report;
        AnswerReport(report, "Finish");
        QTest::keyClick(d->Edit(IDC_OUTPUTFILE), Qt::Key_Return);
        QTRY_VERIFY(report.shown);
        answer.stop();
        set_user_prompt(&m_prompt);

        const std::string name = written.toStdString();
        std::vector<std::string> expected;
        if (asked)
            expected.push_back(name + " already exists\nDo you want to overwrite it?");
        QCOMPARE(questions, expected);
        QVERIFY(read_text(work + "/" + name).rfind("[Environmental driver file", 0) == 0);
        if (!asked)
            QCOMPARE(read_text(work + "/" + typed.toStdString()), "old\n");
        QCOMPARE(report.items[3].text, name);
        QCOMPARE(report.items[5].text, work);
        QCOMPARE(Shared().read_string("SKYFETCH_LAST_FILE", ""), name);
        QCOMPARE(Text(*d, IDC_OUTPUTFILE), written);
    }

    void theFileMatchesTheCommandLineTool() {
        auto d = Open();
        Type(*d, IDC_LONGITUDE, "172.75");
        Type(*d, IDC_LATITUDE, "42.75");
        Type(*d, IDC_SPINUPYEARS, "500");
        Type(*d, IDC_SCENARIOYEARS, "120");
        Type(*d, IDC_TEMPCHANGE, "2.5");
        Click(*d, IDC_TEMPDECREASE);
        Type(*d, IDC_PRECIPCHANGE, "10");
        Type(*d, IDC_CO2CHANGE, "100");
        Type(*d, IDC_OUTPUTFILE, "window");
        SeenReport report;
        AnswerReport(report, "Finish");
        Click(*d, IDOK);
        QVERIFY(report.shown);

        const std::string cliFile = m_folders->work() + "/cli.txt";
        QProcess cli;
        cli.start(SKYFETCH_CLI,
                  {"--lon", "172.75", "--lat", "-42.75", "--spinup", "500", "--scenario", "120",
                   "--temp-change", "-2.5", "--precip-change", "10", "--co2-change", "100",
                   "--output", QString::fromStdString(cliFile)});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        const std::string window = read_text(m_folders->work() + "/window.txt");
        const std::string command = read_text(cliFile);
        QVERIFY(window.size() > 1000);
        QVERIFY(WithoutDateLine(window) == WithoutDateLine(command));
        QCOMPARE(window.substr(0, 90), command.substr(0, 90)); // up to the date
    }
};

int main(int argc, char* argv[]) {
    configure_globe_surface_format();
    QApplication application(argc, argv);
    GenerateTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GenerateTest.moc"
