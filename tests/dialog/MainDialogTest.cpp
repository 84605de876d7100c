// The main dialog driven as a user drives it: typing, clicking, spinning, answering its
// questions; checked on what it shows, what it asks and what it stores.
#include "DialogTestSupport.h"

#include "climate/ClimateArchive.h"
#include "dialog/DialogTemplate.h"
#include "dialog/FilePicker.h"
#include "dialog/MessageBoxPrompt.h"
#include "dialog/SkyfetchDlg.h"
#include "dialog/UpDownControl.h"
#include "driver/ParameterRules.h"
#include "globe/GlobeSurfaceFormat.h"
#include "globe/GlobeView.h"
#include "graph/ClimateGraph.h"
#include "settings/Profile.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

#include <clocale>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace skyfetch;
using namespace skyfetch::test;

namespace {

std::string CurrentDir() {
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? buffer : "";
}

} // namespace

class MainDialogTest : public DialogTestCase {
    Q_OBJECT

private:
    void ClickItem(QTreeWidget* tree, QTreeWidgetItem* item) {
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(item).center());
    }
    // The path the folder tree shows: its chain of items joined with '/'.
    static std::string TreePath(CSkyfetchDlg& d) {
        std::string path;
        for (QTreeWidgetItem* item = d.FolderTree()->topLevelItem(0); item;
             item = item->childCount() ? item->child(0) : nullptr) {
            const std::string text = item->text(0).toStdString();
            path += (path.empty() || path.back() == '/') ? text : "/" + text;
        }
        return path;
    }
    QTreeWidgetItem* FileItem(CSkyfetchDlg& d) {
        QTreeWidgetItem* item = d.FolderTree()->topLevelItem(0);
        while (item && item->childCount())
            item = item->child(0);
        return item;
    }

private slots:
    void firstRunShowsTheDefaults() {
        auto d = Open();
        QCOMPARE(Text(*d, IDC_SPINUPYEARS), "1000");
        QCOMPARE(Text(*d, IDC_SCENARIOYEARS), "100");
        for (int id : {IDC_TEMPCHANGE, IDC_PRECIPCHANGE, IDC_CO2CHANGE})
            QCOMPARE(Text(*d, id), "0");
        for (int id : {IDC_TEMPINCREASE, IDC_PRECIPINCREASE, IDC_CO2INCREASE, IDC_EAST, IDC_SOUTH})
            QVERIFY(Checked(*d, id));
        QCOMPARE(Text(*d, IDC_LONGITUDE), "147.25");
        QCOMPARE(Text(*d, IDC_LATITUDE), "42.75");
        QCOMPARE(Text(*d, IDC_OUTPUTFILE), "climate.txt");
        QCOMPARE(Text(*d, IDC_VERSION), "Version 2008-11-03");
        QCOMPARE(d->windowTitle(), "Skyfetch - Environmental Driver Data for PHYTOMOD Education");
        // The restored cell (147.0-147.5 E, 43.0-42.5 S) is on land: the graph has data.
        QCOMPARE(d->m_cornerLon, 147.0);
        QCOMPARE(d->m_cornerLat, -43.0);
        QCOMPARE(d->GraphData().m_hasData, 1);
        CellRecord record;
        QVERIFY(lookup_cell(147.0, -43.0, record));
        for (int m = 0; m < 12; ++m) {
            double temperature = 0, precipitation = 0;
            for (int y = 0; y < kDataYears; ++y) {
                temperature += record.mtemp[12 * y + m];
                precipitation += record.mprec[12 * y + m];
            }
            QCOMPARE(d->GraphData().m_temperature[m], temperature / kDataYears);
            QCOMPARE(d->GraphData().m_precipitation[m], precipitation / kDataYears);
        }
        // The shared profile says no file was written in this run; nothing else is stored.
        QCOMPARE(Shared().read_string("SKYFETCH_HAVE_OUTPUT", "absent"), "");
        QVERIFY(!Exists(m_folders->appProfilePath()));
        QCOMPARE(d->focusWidget(), d->Control(IDC_GLOBE));
        QVERIFY(m_prompt.shown.empty());
        // The globe had its data and the restored location before its first frame.
        QCOMPARE(d->Globe()->m_longitude, 147.25);
        QCOMPARE(d->Globe()->m_latitude, -42.75);
        QTRY_VERIFY(d->Globe()->IsSetUp());
        QVERIFY(d->Globe()->GetTexture().IsValid());
    }

    void restoresStoredValues_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("temp");
        QTest::addColumn<int>("tempRadio");
        QTest::addColumn<QString>("precip");
        QTest::addColumn<int>("precipRadio");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<int>("lonRadio");
        QTest::addColumn<QString>("lat");
        QTest::addColumn<int>("latRadio");
        QTest::newRow("negative changes, location 0 shown as W and S")
            << "TEMPCHANGE=9985\nPRECIPCHANGE=10015\nLONGITUDE=20000\nLATITUDE=20000\n"
            << "1.5" << int(IDC_TEMPDECREASE) << "1.5" << int(IDC_PRECIPINCREASE) << "0"
            << int(IDC_WEST) << "0" << int(IDC_SOUTH);
        QTest::newRow("edges of the globe")
            << "TEMPCHANGE=10000\nPRECIPCHANGE=9000\nLONGITUDE=2000\nLATITUDE=29000\n"
            << "0" << int(IDC_TEMPINCREASE) << "100" << int(IDC_PRECIPDECREASE) << "180"
            << int(IDC_WEST) << "90" << int(IDC_NORTH);
        QTest::newRow("far east, unreadable value reads 0")
            << "TEMPCHANGE=junk\nPRECIPCHANGE=10025abc\nLONGITUDE=38000\nLATITUDE=15725\n"
            << "1000" << int(IDC_TEMPDECREASE) << "2.5" << int(IDC_PRECIPINCREASE) << "180"
            << int(IDC_EAST) << "42.75" << int(IDC_SOUTH);
    }
    void restoresStoredValues() {
        QFETCH(QString, profile);
        write_text(m_folders->appProfilePath(), "[SKYFETCH]\n" + profile.toStdString());
        auto d = Open();
        QFETCH(QString, temp);
        QFETCH(int, tempRadio);
        QFETCH(QString, precip);
        QFETCH(int, precipRadio);
        QFETCH(QString, lon);
        QFETCH(int, lonRadio);
        QFETCH(QString, lat);
        QFETCH(int, latRadio);
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), temp);
        QVERIFY(Checked(*d, tempRadio));
        QCOMPARE(Text(*d, IDC_PRECIPCHANGE), precip);
        QVERIFY(Checked(*d, precipRadio));
        QCOMPARE(Text(*d, IDC_LONGITUDE), lon);
        QVERIFY(Checked(*d, lonRadio));
        QCOMPARE(Text(*d, IDC_LATITUDE), lat);
        QVERIFY(Checked(*d, latRadio));
    }

    void protocolQuestionBelow100Years_data() {
        QTest::addColumn<QString>("years");
        QTest::addColumn<bool>("asked");
        QTest::newRow("99") << "99" << true;
        QTest::newRow("0") << "0" << true;
        QTest::newRow("100") << "100" << false;
        QTest::newRow("10000") << "10000" << false;
    }
    void protocolQuestionBelow100Years() {
        QFETCH(QString, years);
        QFETCH(bool, asked);
        auto d = Open();
        Type(*d, IDC_SPINUPYEARS, years);
        m_prompt.answers = {PromptAnswer::No};
        const bool passed = d->validate_protocol();
        QCOMPARE(passed, !asked);
        if (asked) {
            QCOMPARE(m_prompt.shown.size(), std::size_t(1));
            QCOMPARE(m_prompt.shown[0].text,
                     "You have specified a very short initialisation phase for the simulation.\n"
                     "The initialisation should normally be set to at least three times the "
                     "average\ndisturbance interval and at most 1000 years.\n\nProceed anyway?");
            QCOMPARE(m_prompt.shown[0].icon, PromptIcon::Question);
            QCOMPARE(m_prompt.shown[0].buttons, PromptButtons::YesNo);
            // Declined: the years stay as typed and nothing is stored.
            QCOMPARE(Text(*d, IDC_SPINUPYEARS), years);
            QVERIFY(!Exists(m_folders->appProfilePath()));
            // Answered Yes, the values are stored.
            m_prompt.answers = {PromptAnswer::Yes};
            QVERIFY(d->validate_protocol());
        } else {
            QVERIFY(m_prompt.shown.empty());
        }
        QCOMPARE(App().read_int("SPINUPYEARS", -1), years.toInt());
        QCOMPARE(App().read_int("SCENARIOYEARS", -1), 100);
    }

    void rangeErrorsResetTheField_data() {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("radio"); // chosen before the check (0: none)
        QTest::addColumn<bool>("protocol");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("shownRadio");
        QTest::newRow("scenario 10,001 years")
            << int(IDC_SCENARIOYEARS) << "10001" << 0 << true
            << "Number of scenario years must be in the range 0-10000"
            << "100" << 0;
        QTest::newRow("spin-up -1 years") << int(IDC_SPINUPYEARS) << "-1" << 0 << true
                                          << "Number of spinup years must be in the range 0-10000"
                                          << "1000" << 0;
        QTest::newRow("temperature decrease 31")
            << int(IDC_TEMPCHANGE) << "31" << int(IDC_TEMPDECREASE) << false
            << "Temperature change must be in the range -30 to 30 \u00b0C"
            << "25" << int(IDC_TEMPDECREASE);
        QTest::newRow("temperature increase 30.5")
            << int(IDC_TEMPCHANGE) << "30.5" << int(IDC_TEMPINCREASE) << false
            << "Temperature change must be in the range -30 to 30 \u00b0C"
            << "25" << int(IDC_TEMPINCREASE);
        QTest::newRow("precipitation decrease 100.1")
            << int(IDC_PRECIPCHANGE) << "100.1" << int(IDC_PRECIPDECREASE) << false
            << "Precipitation cannot decrease by more than 100 percent!"
            << "100" << int(IDC_PRECIPDECREASE);
        QTest::newRow("precipitation increase 1001")
            << int(IDC_PRECIPCHANGE) << "1001" << int(IDC_PRECIPINCREASE) << false
            << "Precipitation increase must be in the range 0-1000 %"
            << "1000" << int(IDC_PRECIPINCREASE);
        QTest::newRow("CO2 decrease 150")
            << int(IDC_CO2CHANGE) << "150" << int(IDC_CO2DECREASE) << false
            << "CO2 concentration cannot decrease by more than 100 percent!"
            << "100" << int(IDC_CO2DECREASE);
        QTest::newRow("CO2 increase 2000") << int(IDC_CO2CHANGE) << "2000" << int(IDC_CO2INCREASE)
                                           << false << "CO2 increase must be in the range 0-1000 %"
                                           << "1000" << int(IDC_CO2INCREASE);
    }
    void rangeErrorsResetTheField() {
        QFETCH(int, edit);
        QFETCH(QString, typed);
        QFETCH(int, radio);
        QFETCH(bool, protocol);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QFETCH(int, shownRadio);
        auto d = Open();
        Type(*d, edit, typed);
        if (radio)
            Click(*d, radio);
        const bool passed = protocol ? d->validate_protocol() : d->validate_scenario();
        QVERIFY(!passed);
        QCOMPARE(m_prompt.texts(), std::vector<std::string>{message.toStdString()});
        QCOMPARE(m_prompt.shown[0].icon, PromptIcon::Warning);
        QCOMPARE(Text(*d, edit), shown);
        if (shownRadio)
            QVERIFY(Checked(*d, shownRadio));
        if (protocol)
            QCOMPARE(d->focusWidget(), d->Edit(edit));
        QVERIFY(!Exists(m_folders->appProfilePath()));
    }

    void scenarioCheckStoresSignedTenths() {
        auto d = Open();
        Type(*d, IDC_TEMPCHANGE, "2.5");
        Click(*d, IDC_TEMPDECREASE);
        Type(*d, IDC_PRECIPCHANGE, "100");
        Click(*d, IDC_PRECIPDECREASE); // -100 % itself passes
        Type(*d, IDC_CO2CHANGE, "1000");
        QVERIFY(d->validate_scenario());
        QVERIFY(m_prompt.shown.empty());
        QCOMPARE(App().read_int("TEMPCHANGE", 0), 9975);
        QCOMPARE(App().read_int("PRECIPCHANGE", 0), 9000);
        QCOMPARE(App().read_int("CO2CHANGE", 0), 20000);
        QCOMPARE(App().read_int("RAINDAYSCHANGE", 0), 10000);
        // The members are signed now, the controls still show magnitude and direction.
        QCOMPARE(d->m_tempChange, -2.5);
        QCOMPARE(d->m_tempDecrease, 0);
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), "2.5");
        QVERIFY(Checked(*d, IDC_TEMPDECREASE));
    }

    void failedLaterChangeShowsEarlierOnesSigned() {
        auto d = Open();
        Type(*d, IDC_TEMPCHANGE, "1.5");
        Click(*d, IDC_TEMPDECREASE);
        Type(*d, IDC_PRECIPCHANGE, "100.1");
        Click(*d, IDC_PRECIPDECREASE);
        QVERIFY(!d->validate_scenario());
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), "-1.5");
        QVERIFY(Checked(*d, IDC_TEMPINCREASE));
        QVERIFY(d->UpdateData(true));
        QCOMPARE(d->m_tempChange, -1.5); // reads back as the same change
        QVERIFY(!Exists(m_folders->appProfilePath()));
    }

    void dataExchangeRefusesWhatDoesNotRead_data() {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters in years") << int(IDC_SCENARIOYEARS) << "12a"
                                          << "Please enter an integer.";
        QTest::newRow("fraction in years") << int(IDC_SPINUPYEARS) << "1.5"
                                           << "Please enter an integer.";
        QTest::newRow("empty years") << int(IDC_SPINUPYEARS) << ""
                                     << "Please enter an integer.";
        QTest::newRow("beyond 32 bits") << int(IDC_SPINUPYEARS) << "2147483648"
                                        << "Please enter an integer.";
        QTest::newRow("nan") << int(IDC_TEMPCHANGE) << "nan"
                             << "Please enter a number.";
        QTest::newRow("inf") << int(IDC_CO2CHANGE) << "inf"
                             << "Please enter a number.";
        QTest::newRow("too large") << int(IDC_PRECIPCHANGE) << "1e999"
                                   << "Please enter a number.";
        QTest::newRow("decimal comma") << int(IDC_TEMPCHANGE) << "1,5"
                                       << "Please enter a number.";
    }
    void dataExchangeRefusesWhatDoesNotRead() {
        QFETCH(int, edit);
        QFETCH(QString, text);
        QFETCH(QString, message);
        auto d = Open();
        const int scenarioBefore = d->m_scenarioYears;
        d->Edit(edit)->setText(text);
        QVERIFY(!d->UpdateData(true));
        QCOMPARE(m_prompt.texts(), std::vector<std::string>{message.toStdString()});
        QCOMPARE(d->focusWidget(), d->Edit(edit));
        QCOMPARE(d->Edit(edit)->selectedText(), text); // selected for retyping
        // Members bound after the offending edit keep their values.
        if (edit == IDC_SPINUPYEARS) {
            d->Edit(IDC_SCENARIOYEARS)->setText("77");
            QVERIFY(!d->UpdateData(true));
            QCOMPARE(d->m_scenarioYears, scenarioBefore);
        }
    }

    void limitedEditsRefuseLongerTexts() {
        auto d = Open();
        QLineEdit* lon = d->Edit(IDC_LONGITUDE);
        MoveFocus(*d, lon);
        lon->selectAll();
        QTest::keyClicks(lon, "12.345678");
        QCOMPARE(lon->text(), "12.3456"); // seven characters at most while typing
        d->m_latText = "12.3456";         // put there by the program: refused on reading
        d->UpdateData(false);
        QCOMPARE(Text(*d, IDC_LATITUDE), "12.3456");
        QVERIFY(!d->UpdateData(true));
        QCOMPARE(m_prompt.texts(),
                 std::vector<std::string>{"Please enter no more than 6 characters."});
    }

    void numbersShowWithFifteenDigits() {
        auto d = Open();
        d->m_tempChange = 0.1 + 0.2;
        d->m_precipChange = 1.0 / 3.0;
        d->m_co2Change = 1e-7;
        d->UpdateData(false);
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), "0.3");
        QCOMPARE(Text(*d, IDC_PRECIPCHANGE), "0.333333333333333");
        QCOMPARE(Text(*d, IDC_CO2CHANGE), "1e-07");
    }

    void noChangesKeepsTheYears() {
        auto d = Open();
        Type(*d, IDC_SPINUPYEARS, "250");
        Type(*d, IDC_TEMPCHANGE, "3");
        Click(*d, IDC_TEMPDECREASE);
        Type(*d, IDC_CO2CHANGE, "50");
        Click(*d, IDC_NOCHANGES);
        for (int id : {IDC_TEMPCHANGE, IDC_PRECIPCHANGE, IDC_CO2CHANGE})
            QCOMPARE(Text(*d, id), "0");
        for (int id : {IDC_TEMPINCREASE, IDC_PRECIPINCREASE, IDC_CO2INCREASE})
            QVERIFY(Checked(*d, id));
        QCOMPARE(Text(*d, IDC_SPINUPYEARS), "250");
    }

    void spinsStepWithinTheirRanges() {
        auto d = Open();
        CUpDown* years = d->Spin(IDC_SCENARIOSPIN);
        QCOMPARE(years->Buddy(), d->Edit(IDC_SCENARIOYEARS));
        QTest::mouseClick(years->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(*d, IDC_SCENARIOYEARS), "110"); // from the 100 shown, step 10
        years->Step(+1, 2.5);                         // held for 2.5 s: steps of 100
        QCOMPARE(Text(*d, IDC_SCENARIOYEARS), "210");
        Type(*d, IDC_SCENARIOYEARS, "9990");
        years->Step(+1, 3.0);
        QCOMPARE(Text(*d, IDC_SCENARIOYEARS), "10000"); // clamped, no separators
        Type(*d, IDC_SCENARIOYEARS, "12345");           // beyond the range: held at it
        QTest::mouseClick(years->DownButton(), Qt::LeftButton);
        QCOMPARE(Text(*d, IDC_SCENARIOYEARS), "9990");

        // The temperature spin starts at the restored magnitude, rounded.
        CUpDown* temp = d->Spin(IDC_TEMPSPIN);
        QCOMPARE(temp->Pos(), 0);
        QCOMPARE(temp->Minimum(), -30);
        QCOMPARE(temp->Maximum(), 30);
        Type(*d, IDC_TEMPCHANGE, "2.5"); // not a whole number: the spin's own position counts
        QTest::mouseClick(temp->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), "1");
        temp->SetPos(29);
        Type(*d, IDC_TEMPCHANGE, "29.5");
        QTest::keyClick(d->Edit(IDC_TEMPCHANGE), Qt::Key_Up);
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), "30");
        QTest::keyClick(d->Edit(IDC_TEMPCHANGE), Qt::Key_Up);
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), "30");
        QTest::mouseClick(temp->DownButton(), Qt::LeftButton);
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), "29");

        // A vetoed step leaves position and text alone.
        connect(years, &CUpDown::positionAboutToChange, this,
                [](int, int, bool* veto) { *veto = true; });
        years->Step(-1);
        QCOMPARE(years->Pos(), 9990);
        QCOMPARE(Text(*d, IDC_SCENARIOYEARS), "9990");
    }

    void toolTipsAndTabOrder() {
        auto d = Open();
        QCOMPARE(d->Control(IDC_GLOBE)->toolTip(),
                 "Click to select location\nClick and drag to rotate\nDouble-click to zoom");
        QCOMPARE(d->Control(IDC_SCENARIOYEARS)->toolTip(), "Typically 100 years");
        QCOMPARE(d->Control(IDC_GRAPH)->toolTip(), "Right click to copy or save");
        QCOMPARE(d->Control(IDC_FOLDERTREE)->toolTip(), "Click to change folder for output file");
        QCOMPARE(d->Control(IDC_VERSION)->toolTip(),
                 "Climate data: CRU CL 1.0, the 1961-1990 mean year (the same year ten times)");
        // A long tip is shown in lines of at most 400 pixels.
        QWidget* precip = d->Control(IDC_PRECIPCHANGE);
        QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), precip->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(precip, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        const QString shown = QToolTip::text();
        QVERIFY(shown.contains('\n'));
        QCOMPARE(QString(shown).replace('\n', ' '), precip->toolTip());
        for (const QString& line : shown.split('\n'))
            QVERIFY(QFontMetrics(QToolTip::font()).horizontalAdvance(line) <= 400);
        QToolTip::hideText();
        // Tab goes through the input controls in template order.
        const int order[] = {IDC_FOLDERTREE,    IDC_OUTPUTFILE, IDC_BROWSE,    IDC_SPINUPYEARS,
                             IDC_SCENARIOYEARS, IDC_TEMPCHANGE, IDC_CO2CHANGE, IDC_PRECIPCHANGE,
                             IDC_NOCHANGES,     IDC_GLOBE,      IDC_LONGITUDE, IDC_LATITUDE};
        for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
            QWidget* next = d->Control(order[i])->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus || !d->isAncestorOf(next) ||
                   qobject_cast<QRadioButton*>(next))
                next = next->nextInFocusChain();
            QCOMPARE(next->objectName().toInt(), order[i + 1]);
        }
    }

    void outputNameRulesWhileTyping() {
        auto d = Open();
        QLineEdit* edit = d->Edit(IDC_OUTPUTFILE);
        Type(*d, IDC_OUTPUTFILE, "");
        QCOMPARE(edit->text(), ".txt"); // an emptied field
        QCOMPARE(edit->cursorPosition(), 0);
        QTest::keyClicks(edit, "c");
        QCOMPARE(edit->text(), "c.txt");
        QCOMPARE(edit->cursorPosition(), 1);
        QTest::keyClicks(edit, "limate");
        QCOMPARE(edit->text(), "climate.txt");
        QCOMPARE(edit->cursorPosition(), 7);
        // A second dot removes the automatic extension.
        QTest::keyClicks(edit, ".csv");
        QCOMPARE(edit->text(), "climate.csv");
        QCOMPARE(edit->cursorPosition(), 11);
        QCOMPARE(d->m_outputName, "climate.csv");
        Type(*d, IDC_OUTPUTFILE, "new");
        QCOMPARE(edit->text(), "new.txt");
        QCOMPARE(edit->cursorPosition(), 3);
        // The tree follows the name.
        QTreeWidget* tree = d->FolderTree();
        QTreeWidgetItem* last = tree->topLevelItem(0);
        while (last->childCount())
            last = last->child(0);
        QCOMPARE(last->text(0), "new.txt");
    }

    void outputNameRulesOnFocusLoss_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("data") << "data"
                              << "data.txt";
        QTest::newRow("a") << "a"
                           << "a.txt";
        QTest::newRow("x.csv") << "x.csv"
                               << "x.csv";
        QTest::newRow("file.c") << "file.c"
                                << "file.c.txt";
        QTest::newRow("data.xlsx") << "data.xlsx"
                                   << "data.xlsx.txt";
        QTest::newRow("blanks") << "  run.txt "
                                << "run.txt";
        QTest::newRow("empty") << ""
                               << ".txt";
    }
    void outputNameRulesOnFocusLoss() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        auto d = Open();
        QLineEdit* edit = d->Edit(IDC_OUTPUTFILE);
        MoveFocus(*d, edit);
        {
            // The text as it stands when the focus leaves (set without the typing rules).
            const QSignalBlocker quiet(edit);
            edit->setText(text);
        }
        MoveFocus(*d, d->Edit(IDC_SPINUPYEARS));
        QCOMPARE(edit->text(), shown);
        QCOMPARE(d->m_outputName, shown.toStdString());
        QCOMPARE(TreePath(*d), m_folders->work() + "/" + shown.toStdString()); // the tree too
        if (shown == ".txt") {
            QVERIFY(!d->CheckOutputFile());
            QCOMPARE(m_prompt.texts(),
                     std::vector<std::string>{"Please provide a valid name for the output file"});
        }
    }

    void checkOutputFileKeepsAnExistingFile() {
        auto d = Open();
        write_text(m_folders->work() + "/climate.txt", "old content\n");
        QVERIFY(d->CheckOutputFile());
        QCOMPARE(read_text(m_folders->work() + "/climate.txt"), "old content\n");
        d->m_outputName = "missing-folder/x.txt";
        QVERIFY(!d->CheckOutputFile());
        QCOMPARE(m_prompt.shown.back().icon, PromptIcon::Error);
        QVERIFY(m_prompt.shown.back().text.rfind(
                    "Could not open \"missing-folder/x.txt\" for output.\n", 0) == 0);
        d->m_outputName = "";
        QVERIFY(!d->CheckOutputFile());
        QCOMPARE(m_prompt.shown.back().text, "Please provide a name for the output file");
        QCOMPARE(m_prompt.shown.back().icon, PromptIcon::Warning);
    }

    void folderTreeShowsTheOutputPath() {
        const std::string deep = m_folders->work() + "/a/b/c";
        QDir().mkpath(QString::fromStdString(deep));
        QVERIFY(::chdir(deep.c_str()) == 0);
        auto d = Open();
        QCOMPARE(d->m_outputFolder, deep);
        QTreeWidget* tree = d->FolderTree();
        std::vector<std::string> chain;
        std::vector<QTreeWidgetItem*> items;
        QCOMPARE(tree->topLevelItemCount(), 1);
        for (QTreeWidgetItem* item = tree->topLevelItem(0); item;
             item = item->childCount() ? item->child(0) : nullptr) {
            QVERIFY(item->childCount() <= 1);
            QVERIFY(item->childCount() == 0 || item->isExpanded());
            chain.push_back(item->text(0).toStdString());
            items.push_back(item);
        }
        std::string joined;
        for (std::size_t i = 1; i + 1 < chain.size(); ++i)
            joined += "/" + chain[i];
        QCOMPARE(chain.front(), "/");
        QCOMPARE(joined, deep);
        QCOMPARE(chain.back(), "climate.txt");
        QCOMPARE(items.back()->icon(0).cacheKey(), d->m_treeImages[2].cacheKey());
        QCOMPARE(items.front()->icon(0).cacheKey(), d->m_treeImages[0].cacheKey());
        // Each item's tip is its whole path, whatever the tree's width cuts off.
        QCOMPARE(items.front()->toolTip(0), "/");
        QCOMPARE(items[items.size() - 2]->toolTip(0).toStdString(), deep);
        QCOMPARE(items.back()->toolTip(0).toStdString(), deep + "/climate.txt");
        QCOMPARE(items[items.size() - 4]->toolTip(0).toStdString(), m_folders->work() + "/a");

        // A click on the folder "a" asks, then opens the file dialog there.
        QTreeWidgetItem* a = items[items.size() - 4];
        QCOMPARE(a->text(0), "a");
        const std::string folderA = m_folders->work() + "/a";
        m_prompt.answers = {PromptAnswer::No};
        ClickItem(tree, a);
        QTRY_COMPARE(m_prompt.texts(),
                     std::vector<std::string>{"Do you want to change the output folder to " +
                                              folderA + "?"});
        QCOMPARE(m_prompt.shown[0].icon, PromptIcon::Question);
        QVERIFY(m_picker.calls.empty()); // No: nothing happens
        QCOMPARE(CurrentDir(), deep);

        a = tree->findItems("a", Qt::MatchExactly | Qt::MatchRecursive).value(0);
        m_picker.answer = folderA + "/run";
        ClickItem(tree, a);
        QTRY_COMPARE(m_picker.calls.size(), std::size_t(1));
        QCOMPARE(m_picker.calls[0].title, "Output file name");
        QCOMPARE(m_picker.calls[0].mode, FileDialogMode::Open);
        QCOMPARE(m_picker.calls[0].path, folderA + "/climate.txt");
        QCOMPARE(m_picker.calls[0].filter, "Text files (*.txt)\t*.txt\tAll files (*)\t*\t");
        // The chosen file's folder is the output folder and the current directory now.
        QCOMPARE(CurrentDir(), folderA);
        QCOMPARE(d->m_outputFolder, folderA);
        QCOMPARE(Text(*d, IDC_OUTPUTFILE), "run.txt");

        // A click on the file item asks nothing and starts in its own folder.
        m_prompt.shown.clear();
        m_picker.answer.clear();
        QTreeWidgetItem* file =
            tree->findItems("run.txt", Qt::MatchExactly | Qt::MatchRecursive).value(0);
        QVERIFY(file);
        ClickItem(tree, file);
        QTRY_COMPARE(m_picker.calls.size(), std::size_t(2));
        QVERIFY(m_prompt.shown.empty());
        QCOMPARE(m_picker.calls.back().path, folderA + "/run.txt");
        QCOMPARE(Text(*d, IDC_OUTPUTFILE), "run.txt"); // cancelled: unchanged
    }

    void collapsingTheTreeRebuildsTheChain() {
        auto d = Open();
        QTreeWidget* tree = d->FolderTree();
        // The tree's own expansions while it is filled start no rebuild: left alone, the
        // same items stay (a marked item keeps its mark).
        tree->topLevelItem(0)->setData(0, Qt::UserRole, 42);
        QTest::qWait(100);
        QCOMPARE(tree->topLevelItem(0)->data(0, Qt::UserRole).toInt(), 42);
        tree->collapseItem(tree->topLevelItem(0));
        QTRY_VERIFY(tree->topLevelItem(0) && tree->topLevelItem(0)->isExpanded());
        QTreeWidgetItem* last = tree->topLevelItem(0);
        while (last->childCount()) {
            QVERIFY(last->isExpanded());
            last = last->child(0);
        }
        QCOMPARE(last->text(0), "climate.txt");
        tree->topLevelItem(0)->setData(0, Qt::UserRole, 43);
        QTest::qWait(100);
        QCOMPARE(tree->topLevelItem(0)->data(0, Qt::UserRole).toInt(), 43);
    }

    void browseChoosesFolderAndName() {
        auto d = Open();
        QDir().mkpath(QString::fromStdString(m_folders->work() + "/out"));
        m_picker.answer = m_folders->work() + "/out/run";
        Click(*d, IDC_BROWSE);
        QCOMPARE(m_picker.calls.size(), std::size_t(1));
        QCOMPARE(m_picker.calls[0].path, m_folders->work() + "/climate.txt");
        QCOMPARE(CurrentDir(), m_folders->work() + "/out");
        QCOMPARE(d->m_outputFolder, m_folders->work() + "/out");
        QCOMPARE(Text(*d, IDC_OUTPUTFILE), "run.txt");
        // A later browse starts where the first one started.
        m_picker.answer.clear();
        Click(*d, IDC_BROWSE);
        QCOMPARE(m_picker.calls[1].path, m_folders->work() + "/climate.txt");
        QCOMPARE(Text(*d, IDC_OUTPUTFILE), "run.txt");
    }

    void defaultNameIsMadeUnique() {
        write_text(m_folders->work() + "/climate.txt", "");
        write_text(m_folders->work() + "/climate0.txt", "");
        auto d = Open();
        QCOMPARE(Text(*d, IDC_OUTPUTFILE), "climate1.txt");
        // A name set before the window opens is kept.
        auto preset = Open("site.txt");
        QCOMPARE(Text(*preset, IDC_OUTPUTFILE), "site.txt");
    }

    void resizingFollowsTheLayoutRules() {
        auto d = Open();
        const QSize initial = d->size();
        const auto geometry = [&](int id) { return d->Control(id)->geometry(); };
        const int ids[] = {IDC_FOLDERTREE, IDC_OUTPUTGROUP,   IDC_OUTPUTFILE, IDC_SPINUPYEARS,
                           IDC_GLOBE,      IDC_LOCATIONGROUP, IDC_GRAPH,      IDOK,
                           IDCANCEL,       IDC_LONGITUDE,     IDC_LONSPIN,    IDC_VERSION};
        std::map<int, QRect> before;
        for (int id : ids)
            before[id] = geometry(id);

        // The smallest size is the first client size, in resize()'s terms: no frame.
        QCOMPARE(QSize(d->m_minWindowSize.width, d->m_minWindowSize.height), initial);
        QCOMPARE(QSize(d->m_initialClientSize.width, d->m_initialClientSize.height), initial);
        d->resize(initial.width() - 50, initial.height() - 40);
        QTRY_COMPARE(d->size(), initial); // snaps back
        // A desktop that ignores the minimum: a narrower size snaps back to the first
        // width and keeps the height asked for, exactly.
        d->resize(initial.width(), initial.height() + 30);
        QTRY_COMPARE(d->size(), QSize(initial.width(), initial.height() + 30));
        QResizeEvent narrow(QSize(initial.width() - 50, initial.height() + 30), d->size());
        QApplication::sendEvent(d.get(), &narrow);
        QTRY_COMPARE(d->size(), QSize(initial.width(), initial.height() + 30));
        d->resize(initial);
        QTRY_COMPARE(d->size(), initial);
        d->resize(initial.width() - 50, initial.height() + 30);
        QTRY_COMPARE(d->size(), QSize(initial.width(), initial.height() + 30));
        d->resize(initial);
        QTRY_COMPARE(d->size(), initial);
        for (int id : ids)
            QCOMPARE(geometry(id), before[id]);

        const int dx = 120, dy = 80;
        d->resize(initial.width() + dx, initial.height() + dy);
        QTRY_COMPARE(d->size(), QSize(initial.width() + dx, initial.height() + dy));
        const auto expect = [&](int id, int x, int y, int w, int h) {
            const QRect r = before[id];
            QCOMPARE(geometry(id), QRect(r.x() + x, r.y() + y, r.width() + w, r.height() + h));
        };
        expect(IDC_FOLDERTREE, 0, 0, 0, dy);
        expect(IDC_OUTPUTGROUP, 0, 0, 0, dy);
        expect(IDC_OUTPUTFILE, 0, dy, 0, 0);
        expect(IDC_SPINUPYEARS, 0, dy, 0, 0);
        expect(IDC_GLOBE, 0, 0, dx, dy);
        expect(IDC_LOCATIONGROUP, 0, 0, dx, dy);
        expect(IDC_GRAPH, 0, dy, dx, 0);
        expect(IDC_LONGITUDE, 0, dy, 0, 0);
        expect(IDC_LONSPIN, 0, dy, 0, 0);
        expect(IDC_VERSION, 0, dy, 0, 0);
        expect(IDOK, dx, dy, 0, 0);
        expect(IDCANCEL, dx, dy, 0, 0);
    }

    void cancelWritesNothing() {
        auto d = Open();
        const std::string sharedBefore = read_text(m_folders->sharedProfilePath());
        Type(*d, IDC_SPINUPYEARS, "300");
        Type(*d, IDC_TEMPCHANGE, "4");
        Type(*d, IDC_OUTPUTFILE, "other");
        Click(*d, IDCANCEL);
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QVERIFY(!d->isVisible());
        QVERIFY(!Exists(m_folders->appProfilePath()));
        QCOMPARE(read_text(m_folders->sharedProfilePath()), sharedBefore);
        QVERIFY(!Exists(m_folders->work() + "/other.txt"));
    }

    void typedLocationsFollowTheKeyboard() {
        auto d = Open();
        QLineEdit* lon = d->Edit(IDC_LONGITUDE);
        Type(*d, IDC_LONGITUDE, "-20");
        QCOMPARE(lon->text(), "20");
        QVERIFY(Checked(*d, IDC_WEST));
        QCOMPARE(d->m_lonValue, 20.0);

        Type(*d, IDC_LONGITUDE, "200");
        QCOMPARE(m_prompt.texts(),
                 std::vector<std::string>{"Longitude must be in the range -180 to 180 degrees "});
        QCOMPARE(lon->text(), "180");

        Type(*d, IDC_LONGITUDE, "");
        QCOMPARE(lon->text(), "0");
        QCOMPARE(lon->cursorPosition(), 1);
        QTest::keyClicks(lon, "5");
        QCOMPARE(lon->text(), "5");
        Type(*d, IDC_LONGITUDE, "-");
        QCOMPARE(lon->text(), "-"); // a number on its way
        Type(*d, IDC_LONGITUDE, "12");
        QTest::keyClicks(lon, "a");
        QCOMPARE(lon->text(), "12");
        QCOMPARE(d->m_lonValue, 12.0);

        // Leaving the field clamps without a message.
        m_prompt.shown.clear();
        MoveFocus(*d, d->Edit(IDC_LATITUDE));
        d->m_latValue = 95;
        MoveFocus(*d, d->Edit(IDC_SPINUPYEARS));
        QCOMPARE(Text(*d, IDC_LATITUDE), "90");
        QVERIFY(m_prompt.shown.empty());
    }

    void aDecimalCommaIsTheDecimalPointWhereTheLocaleWritesOne() {
        const QLocale before;
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        auto d = Open();
        Type(*d, IDC_LONGITUDE, "13,75");
        QCOMPARE(Text(*d, IDC_LONGITUDE), "13.75");
        QCOMPARE(d->m_lonValue, 13.75);
        QCOMPARE(d->Globe()->m_longitude, 13.75);
        Type(*d, IDC_TEMPCHANGE, "2,5");
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), "2.5");
        // A comma that reached the field without typing is read the same way.
        d->Edit(IDC_PRECIPCHANGE)->setText("-1,5");
        QVERIFY(d->UpdateData(true));
        QCOMPARE(d->m_tempChange, 2.5);
        QCOMPARE(d->m_precipChange, -1.5);
        QVERIFY(m_prompt.shown.empty());

        // Where the point is the decimal separator, a comma is still no part of a number.
        QLocale::setDefault(QLocale::c());
        Type(*d, IDC_LATITUDE, "4,5");
        QCOMPARE(Text(*d, IDC_LATITUDE), "45");
    }

    void theKeyboardFocusAndASeaClickShow() {
        auto d = Open();
        // Tabbing into the folder tree shows the file's item, selected and in view. Other
        // test programs share the X server and may take the activation away meanwhile.
        QTreeWidget* tree = d->FolderTree();
        for (int attempt = 0; attempt < 20 && !tree->hasFocus(); ++attempt) {
            d->activateWindow();
            (void)QTest::qWaitForWindowActive(d.get(), 1000);
            tree->setFocus(Qt::TabFocusReason);
        }
        QVERIFY(tree->hasFocus());
        QTreeWidgetItem* file = FileItem(*d);
        QCOMPARE(tree->currentItem(), file);
        QVERIFY(file->isSelected());
        QVERIFY(tree->viewport()->rect().contains(tree->visualItemRect(file)));

        // A click on the sea keeps the selection and says why at the pointer.
        CGlobeView* globe = d->Globe();
        QTRY_VERIFY(globe->IsSetUp());
        globe->StopAnimation();
        globe->m_spin = 150.25; // the South Pacific in the middle
        globe->m_tilt = -20.25;
        QTest::mouseClick(globe, Qt::LeftButton, {}, globe->rect().center());
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), "Not land!");
        QCOMPARE(Text(*d, IDC_LONGITUDE), "147.25");
        QCOMPARE(globe->m_longitude, 147.25);
        QCOMPARE(d->m_locationNotice, "");
        QCOMPARE(d->focusWidget(), globe);
    }

    void spinsStepFromCellCentreToCellCentre() {
        auto d = Open(); // 147.25 E
        QLineEdit* lon = d->Edit(IDC_LONGITUDE);
        CUpDown* spin = d->Spin(IDC_LONSPIN);
        QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
        QCOMPARE(lon->text(), "147.75");
        QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
        QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
        QCOMPARE(lon->text(), "146.75");
        Type(*d, IDC_LONGITUDE, "147");
        QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
        QCOMPARE(lon->text(), "147.75"); // to the centre 147.25 first, then a cell on
        Type(*d, IDC_LONGITUDE, "0.25");
        QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
        QCOMPARE(lon->text(), "0.25");
        Type(*d, IDC_LATITUDE, "89.75");
        QTest::mouseClick(d->Spin(IDC_LATSPIN)->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(*d, IDC_LATITUDE), "89.75");
        QVERIFY(m_prompt.shown.empty());
    }

    void seaLocationsShowNotLand() {
        auto d = Open(); // Tasmania, on land
        QCOMPARE(d->m_locationNotice, "");
        Click(*d, IDC_WEST); // its mirror image lies in the Pacific
        QCOMPARE(Text(*d, IDC_LONGITUDE), "147.25");
        QCOMPARE(d->m_locationNotice, "Not land!");
        QCOMPARE(d->GraphData().m_hasData, 1); // the last cell found stays behind the notice
        Click(*d, IDC_EAST);
        QCOMPARE(d->m_locationNotice, "");
        QCOMPARE(d->m_cornerLon, 147.0);

        // 180 E is the meridian of 180 W: the land cell east of it, not "Not land!".
        Type(*d, IDC_LONGITUDE, "180");
        Type(*d, IDC_LATITUDE, "66.25");
        Click(*d, IDC_NORTH);
        QCOMPARE(d->m_locationNotice, "");
        QCOMPARE(d->m_cornerLon, -180.0);

        // The arrow keys on the globe step cell by cell and wrap at the date line.
        // (The globe selects and then tells the dialog, as a click does.)
        d->Globe()->m_longitude = 179.75;
        d->Globe()->m_latitude = -16.75;
        d->ApplyPickedLocation(179.75, -16.75);
        QTest::keyClick(d->Control(IDC_GLOBE), Qt::Key_Right);
        QCOMPARE(Text(*d, IDC_LONGITUDE), "179.75");
        QVERIFY(Checked(*d, IDC_WEST));
        QTest::keyClick(d->Control(IDC_GLOBE), Qt::Key_Up);
        QCOMPARE(Text(*d, IDC_LATITUDE), "16.25");
        QVERIFY(Checked(*d, IDC_SOUTH));
    }

    void locationSpinsMoveFieldAndValueTogether() {
        write_text(m_folders->appProfilePath(), "[SKYFETCH]\nLONGITUDE=30025\nLATITUDE=25075\n");
        auto d = Open(); // 100.25 E, 50.75 N
        QLineEdit* lat = d->Edit(IDC_LATITUDE);
        // 45 cells north: past the point where an integer position of 0 to 90 would stop.
        for (int i = 0; i < 45; ++i)
            QTest::mouseClick(d->Spin(IDC_LATSPIN)->UpButton(), Qt::LeftButton);
        QCOMPARE(lat->text(), "73.25");
        QCOMPARE(d->m_latValue, 73.25);
        QCOMPARE(d->Globe()->m_latitude, 73.25);
        QCOMPARE(d->m_cornerLat, 73.0);
        QVERIFY(m_prompt.shown.empty());

        // Stepping up from a typed 180 reaches 180.25: reported once, and 180 is used.
        QLineEdit* lon = d->Edit(IDC_LONGITUDE);
        Type(*d, IDC_LONGITUDE, "180");
        QTest::mouseClick(d->Spin(IDC_LONSPIN)->UpButton(), Qt::LeftButton);
        QCOMPARE(m_prompt.texts(),
                 std::vector<std::string>{"Longitude must be in the range -180 to 180 degrees "});
        QCOMPARE(m_prompt.shown[0].icon, PromptIcon::Warning);
        QCOMPARE(lon->text(), "180");
        QCOMPARE(d->m_lonValue, 180.0);
        // The same with the Up key in the latitude field.
        m_prompt.shown.clear();
        Type(*d, IDC_LATITUDE, "90");
        QTest::keyClick(lat, Qt::Key_Up);
        QCOMPARE(m_prompt.texts(),
                 std::vector<std::string>{"Latitude must be in the range -90 to 90 degrees"});
        QCOMPARE(lat->text(), "90");
        QCOMPARE(d->m_latValue, 90.0);

        // A step that stays put (0.25 down) leaves nothing behind: the next key typed
        // is taken as typed, by arrow and by key alike.
        m_prompt.shown.clear();
        Type(*d, IDC_LONGITUDE, "0.25");
        QTest::mouseClick(d->Spin(IDC_LONSPIN)->DownButton(), Qt::LeftButton);
        QCOMPARE(lon->text(), "0.25");
        MoveFocus(*d, lon);
        lon->end(false);
        QTest::keyClicks(lon, "3");
        QCOMPARE(lon->text(), "0.253");
        QCOMPARE(d->m_lonValue, 0.253);
        Type(*d, IDC_LATITUDE, "0.25");
        QTest::keyClick(lat, Qt::Key_Down);
        QCOMPARE(lat->text(), "0.25");
        lat->end(false);
        QTest::keyClicks(lat, "1");
        QCOMPARE(lat->text(), "0.251");
        QCOMPARE(d->m_latValue, 0.251);
        QVERIFY(m_prompt.shown.empty());
    }

    void aHeldArrowStopsAtItsMessage() {
        auto d = Open();
        Type(*d, IDC_LATITUDE, "90");
        // Real message boxes, answered after the arrow's first repeat would have come.
        MessageBoxPrompt boxes;
        set_user_prompt(&boxes);
        int shown = 0;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++shown;
                box->button(QMessageBox::Ok)->click();
            }
        });
        answer.start(800);
        CUpDown* spin = d->Spin(IDC_LATSPIN);
        QTest::mousePress(spin->UpButton(), Qt::LeftButton);
        QTest::qWait(1500);
        const bool held = spin->IsHeld();
        QTest::mouseRelease(spin->UpButton(), Qt::LeftButton);
        QTest::qWait(300);
        answer.stop();
        set_user_prompt(&m_prompt);
        QCOMPARE(shown, 1);
        QVERIFY(!held);
        QVERIFY(!spin->UpButton()->isDown());
        QCOMPARE(Text(*d, IDC_LATITUDE), "90");
        QCOMPARE(d->m_latValue, 90.0);
    }

    void typedValuesOutliveOtherHandlers_data() {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("longitude arrow") << "lonArrow";
        QTest::newRow("latitude Up key") << "latKey";
        QTest::newRow("Browse, file chosen") << "browse";
        QTest::newRow("Browse, cancelled") << "browseCancel";
        QTest::newRow("tree file item, cancelled") << "treeCancel";
        QTest::newRow("tree file item, file chosen") << "treeChosen";
    }
    void typedValuesOutliveOtherHandlers() {
        QFETCH(QString, trigger);
        auto d = Open();
        QDir().mkpath(QString::fromStdString(m_folders->work() + "/out"));
        // Fields without a change handler of their own.
        const struct {
            int id;
            const char* text;
        } typed[] = {{IDC_SPINUPYEARS, "2222"},
                     {IDC_SCENARIOYEARS, "333"},
                     {IDC_TEMPCHANGE, "4.5"},
                     {IDC_PRECIPCHANGE, "7"},
                     {IDC_CO2CHANGE, "12"}};
        for (const auto& field : typed)
            Type(*d, field.id, field.text);
        if (trigger == "lonArrow") {
            QTest::mouseClick(d->Spin(IDC_LONSPIN)->UpButton(), Qt::LeftButton);
            QCOMPARE(Text(*d, IDC_LONGITUDE), "147.75");
        } else if (trigger == "latKey") {
            MoveFocus(*d, d->Edit(IDC_LATITUDE));
            QTest::keyClick(d->Edit(IDC_LATITUDE), Qt::Key_Up);
            QCOMPARE(Text(*d, IDC_LATITUDE), "43.25");
        } else if (trigger.startsWith("browse")) {
            if (trigger == "browse")
                m_picker.answer = m_folders->work() + "/out/run";
            Click(*d, IDC_BROWSE);
            QCOMPARE(m_picker.calls.size(), std::size_t(1));
        } else {
            if (trigger == "treeChosen")
                m_picker.answer = m_folders->work() + "/out/run";
            ClickItem(d->FolderTree(), FileItem(*d));
            QTRY_COMPARE(m_picker.calls.size(), std::size_t(1));
        }
        for (const auto& field : typed)
            QCOMPARE(Text(*d, field.id), field.text);
        QVERIFY(d->UpdateData(true));
        QCOMPARE(d->m_initYears, 2222);
        QCOMPARE(d->m_scenarioYears, 333);
        QCOMPARE(d->m_tempChange, 4.5);
        QVERIFY(m_prompt.shown.empty());
        if (trigger.endsWith("Chosen") || trigger == "browse")
            QCOMPARE(Text(*d, IDC_OUTPUTFILE), "run.txt");
    }

    void aFolderThatVanishesStaysInTheName_data() {
        QTest::addColumn<bool>("tree");
        QTest::newRow("Browse") << false;
        QTest::newRow("tree click") << true;
    }
    void aFolderThatVanishesStaysInTheName() {
        QFETCH(bool, tree);
        auto d = Open();
        const QString gone = QString::fromStdString(m_folders->work() + "/gone");
        QDir().mkpath(gone);
        // The folder is removed while the file dialog is open, after it was picked.
        m_picker.answer = gone.toStdString() + "/run";
        m_picker.whileOpen = [gone] { QDir(gone).removeRecursively(); };
        if (tree) {
            ClickItem(d->FolderTree(), FileItem(*d));
            QTRY_COMPARE(m_picker.calls.size(), std::size_t(1));
        } else {
            Click(*d, IDC_BROWSE);
        }
        const std::string path = gone.toStdString() + "/run.txt";
        QCOMPARE(CurrentDir(), m_folders->work());
        QCOMPARE(Text(*d, IDC_OUTPUTFILE).toStdString(), path);
        QCOMPARE(TreePath(*d), path);
        QCOMPARE(d->m_outputFolder, gone.toStdString());
        // "Generate file" then names that folder too, and writes nowhere else.
        Click(*d, IDOK);
        QCOMPARE(m_prompt.shown.size(), std::size_t(1));
        QCOMPARE(m_prompt.shown[0].icon, PromptIcon::Error);
        QVERIFY2(m_prompt.shown[0].text.rfind("Could not open \"" + path + "\" for output.", 0) ==
                     0,
                 m_prompt.shown[0].text.c_str());
        QVERIFY(QDir(QString::fromStdString(m_folders->work())).isEmpty());
        QVERIFY(d->isVisible());
    }

    void aBareNameIsShownInTheCurrentFolder() {
        auto d = Open();
        const std::string sub = m_folders->work() + "/sub";
        QDir().mkpath(QString::fromStdString(sub));
        Type(*d, IDC_OUTPUTFILE, QString::fromStdString(sub + "/x"));
        QCOMPARE(TreePath(*d), sub + "/x.txt");
        QCOMPARE(d->m_outputFolder, sub);
        QCOMPARE(CurrentDir(), m_folders->work()); // typing changes no directory
        // A bare name is written to the current directory: the tree shows it there.
        Type(*d, IDC_OUTPUTFILE, "y");
        QCOMPARE(TreePath(*d), m_folders->work() + "/y.txt");
        QCOMPARE(d->m_outputFolder, m_folders->work());
    }

    void aLocationShowsFromItsStart() {
        auto d = Open();
        QLineEdit* lon = d->Edit(IDC_LONGITUDE);
        QLineEdit* lat = d->Edit(IDC_LATITUDE);
        // Typed, then left for another field: the caret (and the view) go to the start.
        Type(*d, IDC_LONGITUDE, "123.456");
        QCOMPARE(lon->cursorPosition(), 7);
        MoveFocus(*d, d->Edit(IDC_SPINUPYEARS));
        QCOMPARE(lon->text(), "123.456");
        QCOMPARE(lon->cursorPosition(), 0);
        // Set while the user is elsewhere (a click on the globe).
        d->ApplyPickedLocation(-98.7654, 45.1234);
        QCOMPARE(lon->text(), "98.7654");
        QCOMPARE(lon->cursorPosition(), 0);
        QCOMPARE(lat->text(), "45.1234");
        QCOMPARE(lat->cursorPosition(), 0);
        // While the user types there, the caret stays where the typing goes on.
        Type(*d, IDC_LATITUDE, "12.5");
        QCOMPARE(lat->cursorPosition(), 4);
    }

    void chartIsSavedThroughTheFileDialog() {
        auto d = Open("site.txt");
        const std::string charts = m_folders->work() + "/charts";
        QDir().mkpath(QString::fromStdString(charts));
        // The first save starts in the output folder, named after the output file.
        m_picker.answer = charts + "/alpine.png";
        QVERIFY(d->Graph()->OnCommand(CClimateGraph::kSaveCommand));
        QCOMPARE(m_picker.calls.size(), std::size_t(1));
        QCOMPARE(m_picker.calls[0].title, "Save chart as");
        QCOMPARE(m_picker.calls[0].mode, FileDialogMode::Save);
        QCOMPARE(m_picker.calls[0].path, m_folders->work() + "/site.svg");
        QCOMPARE(m_picker.calls[0].filter, "SVG pictures (*.svg)\t*.svg\tPNG images (*.png)\t"
                                           "*.png\tPDF documents (*.pdf)\t*.pdf\t");
        QVERIFY(read_text(charts + "/alpine.png").rfind("\x89PNG\r\n\x1a\n", 0) == 0);
        QCOMPARE(App().read_string("CHARTDIR", ""), charts);
        QVERIFY(m_prompt.shown.empty());

        // The next window starts where the last chart went; a cancelled dialog saves nothing.
        auto next = Open();
        m_picker.answer.clear();
        next->Graph()->OnCommand(CClimateGraph::kSaveCommand);
        QCOMPARE(m_picker.calls.back().path, charts + "/climate.svg");
        QCOMPARE(QDir(QString::fromStdString(charts)).count(), 3u); // ".", ".." and the PNG

        // While "Not land!" shows, no file dialog opens.
        Click(*next, IDC_WEST);
        QCOMPARE(next->m_locationNotice, "Not land!");
        next->Graph()->OnCommand(CClimateGraph::kSaveCommand);
        QCOMPARE(m_picker.calls.size(), std::size_t(2));
    }

    void theDesktopFileDialogSavesWhereItIsAskedTo() {
        // A save dialog says Save on its button and leaves the question of replacing a
        // file to the chart, which may still add an extension to the name.
        QtFilePicker picker(nullptr);
        for (const FileDialogMode mode : {FileDialogMode::Save, FileDialogMode::Open}) {
            QString button;
            bool confirms = true;
            QTimer::singleShot(0, this, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
                auto* buttons = dialog->findChild<QDialogButtonBox*>();
                QVERIFY(buttons);
                for (QAbstractButton* b : buttons->buttons())
                    if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole)
                        button = b->text().remove('&');
                dialog->reject();
            });
            const std::string chosen =
                picker.BrowseForFile("Save chart as", m_folders->work() + "/chart.svg",
                                     "SVG pictures (*.svg)\t*.svg\t", mode);
            QCOMPARE(chosen, "");
            QCOMPARE(button, mode == FileDialogMode::Save ? "Save" : "Open");
            QVERIFY(!confirms);
        }
    }

    void aQuestionKeepsItsOwnLineBreaks() {
        // The box is as wide as the text's widest line: no line of it wraps again.
        MessageBoxPrompt boxes;
        const std::string question = short_spinup_question();
        bool measured = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QLabel* label = nullptr;
            for (QLabel* candidate : box->findChildren<QLabel*>())
                if (candidate->text().toStdString() == question)
                    label = candidate;
            QVERIFY(label);
            const QFontMetrics metrics(label->font());
            const int room =
                label->contentsRect().width() - 2 * label->margin() - std::max(label->indent(), 0);
            for (const QString& line : label->text().split('\n'))
                QVERIFY2(metrics.horizontalAdvance(line) <= room, qPrintable(line));
            // The label's own layout agrees: no more height than without any wrapping.
            QCOMPARE(label->heightForWidth(label->width()), label->heightForWidth(5000));
            measured = true;
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(boxes.show(question, PromptIcon::Question, PromptButtons::YesNo),
                 PromptAnswer::No);
        QVERIFY(measured);
    }

    void anUnfinishedLocationShowsTheValueInUse_data() {
        QTest::addColumn<bool>("longitude");
        QTest::addColumn<QString>("typed");
        for (const char* text : {"-", "+", ".", "-.", "+."}) {
            QTest::addRow("longitude %s", text) << true << text;
            QTest::addRow("latitude %s", text) << false << text;
        }
    }
    void anUnfinishedLocationShowsTheValueInUse() {
        QFETCH(bool, longitude);
        QFETCH(QString, typed);
        auto d = Open(); // 147.25 E, 42.75 S
        const int id = longitude ? IDC_LONGITUDE : IDC_LATITUDE;
        Type(*d, id, typed);
        QCOMPARE(Text(*d, id), typed); // a number on its way
        MoveFocus(*d, d->Edit(IDC_SPINUPYEARS));
        QCOMPARE(Text(*d, id), longitude ? "147.25" : "42.75");
        QCOMPARE(d->m_lonValue, 147.25);
        QCOMPARE(d->m_latValue, 42.75);
        QVERIFY(Checked(*d, IDC_EAST));
        QVERIFY(Checked(*d, IDC_SOUTH));
        QVERIFY(m_prompt.shown.empty());
    }

    void messageBoxesCarryTheProgramsName() {
        MessageBoxPrompt boxes;
        const struct {
            PromptIcon icon;
            PromptButtons buttons;
            QMessageBox::Icon shownIcon;
            QMessageBox::StandardButton press;
            PromptAnswer answer;
        } rows[] = {
            {PromptIcon::Question, PromptButtons::YesNo, QMessageBox::Question, QMessageBox::No,
             PromptAnswer::No},
            {PromptIcon::Question, PromptButtons::YesNo, QMessageBox::Question, QMessageBox::Yes,
             PromptAnswer::Yes},
            {PromptIcon::Error, PromptButtons::Ok, QMessageBox::Critical, QMessageBox::Ok,
             PromptAnswer::Ok},
            {PromptIcon::Warning, PromptButtons::Ok, QMessageBox::Warning, QMessageBox::Ok,
             PromptAnswer::Ok},
        };
        for (const auto& row : rows) {
            bool seen = false;
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                seen = true;
                QCOMPARE(box->windowTitle(), "Skyfetch");
                QCOMPARE(box->text(), "Some text\nover two lines");
                QCOMPARE(box->icon(), row.shownIcon);
                QCOMPARE(box->standardButtons(), row.buttons == PromptButtons::YesNo
                                                     ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok);
                box->button(row.press)->click();
            });
            QCOMPARE(boxes.show("Some text\nover two lines", row.icon, row.buttons), row.answer);
            QVERIFY(seen);
        }
    }

    void numbersIgnoreADecimalCommaLocale() {
        // The desktop's locale may use a decimal comma; the window must not. Qt's own
        // default locale is German here, and so is the C library's number format when a
        // German locale can be had (built into a private folder when the system has none).
        QTemporaryDir localeDir;
        const bool comma = UseGermanNumbers(localeDir.path());
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        if (!comma)
            qInfo("no German locale available: only Qt's default locale is German");
        write_text(m_folders->appProfilePath(), "[SKYFETCH]\nTEMPCHANGE=9985\nLONGITUDE=2525\n");
        auto d = Open();
        QCOMPARE(Text(*d, IDC_TEMPCHANGE), "1.5");
        QCOMPARE(Text(*d, IDC_LONGITUDE), "174.75");
        Type(*d, IDC_PRECIPCHANGE, "12.25");
        QVERIFY(d->UpdateData(true));
        QCOMPARE(d->m_precipChange, 12.25);
        Type(*d, IDC_LATITUDE, "0.5");
        QCOMPARE(d->m_latValue, 0.5);
        d->m_co2Change = 1234.5;
        d->UpdateData(false);
        QCOMPARE(Text(*d, IDC_CO2CHANGE), "1234.5");
        QVERIFY(!d->validate_scenario()); // 1234.5 % is out of range
        QCOMPARE(Text(*d, IDC_CO2CHANGE), "1000");
        QLocale::setDefault(previous);
        std::setlocale(LC_NUMERIC, "C");
    }

private:
    static bool UseGermanNumbers(const QString& folder) {
        const auto active = [] {
            char text[16];
            std::snprintf(text, sizeof text, "%g", 1.5);
            return std::string(text) == "1,5";
        };
        if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && active())
            return true;
        const QString program = QStandardPaths::findExecutable("localedef");
        if (program.isEmpty())
            return false;
        QProcess::execute(program, {"-i", "de_DE", "-f", "UTF-8", folder + "/de_DE.utf8"});
        qputenv("LOCPATH", folder.toLocal8Bit());
        const bool ok = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && active();
        qunsetenv("LOCPATH");
        return ok;
    }
};

int main(int argc, char* argv[]) {
    configure_globe_surface_format(); // as the program does, before the application
    QApplication application(argc, argv);
    MainDialogTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "MainDialogTest.moc"
