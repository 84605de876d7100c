// window_generate_probe LON LAT SPINUP SCENARIO TEMP PRECIP CO2 NAME
//
// Runs the desktop program's start-up and main window as skyfetch.exe does, types the
// values into the window's fields (signed longitude, latitude and changes become
// magnitudes with their E/W, N/S and increase/decrease buttons), presses "Generate file"
// and answers the report with "Finish". The file, the stored settings and every message
// come from the window's own code; the probe only acts as the user. Exit status 0 when the
// report came and was finished with no message shown on the way; every message box is
// printed and answered with its default button.
//
// scripts/windows-gui-test.sh starts it under Wine with the installed program's DLLs and
// plugins (a qt.conf beside it names the installed folder).
#include "app/SkyfetchApp.h"
#include "dialog/DialogTemplate.h"
#include "dialog/SkyfetchDlg.h"
#include "globe/GlobeSurfaceFormat.h"
#include "msgdialog/MessageDialog.h"
#include "putil/ProcessSetup.h"
#include "resources/EmbeddedData.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace skyfetch;

namespace {

struct Values {
    double lon = 0, lat = 0;
    QString spinup, scenario;
    double temp = 0, precip = 0, co2 = 0;
    QString name;
};

QString Magnitude(double value) {
    return QString::number(std::fabs(value), 'g', 15);
}

void Fill(CSkyfetchDlg& d, const Values& v) {
    const auto set = [&d](int id, const QString& text) {
        d.Edit(id)->setFocus();
        d.Edit(id)->setText(text);
    };
    const auto click = [&d](int id) { qobject_cast<QAbstractButton*>(d.Control(id))->click(); };
    set(IDC_LONGITUDE, Magnitude(v.lon));
    click(v.lon < 0 ? IDC_WEST : IDC_EAST);
    set(IDC_LATITUDE, Magnitude(v.lat));
    click(v.lat < 0 ? IDC_SOUTH : IDC_NORTH);
    set(IDC_SPINUPYEARS, v.spinup);
    set(IDC_SCENARIOYEARS, v.scenario);
    set(IDC_TEMPCHANGE, Magnitude(v.temp));
    click(v.temp < 0 ? IDC_TEMPDECREASE : IDC_TEMPINCREASE);
    set(IDC_PRECIPCHANGE, Magnitude(v.precip));
    click(v.precip < 0 ? IDC_PRECIPDECREASE : IDC_PRECIPINCREASE);
    set(IDC_CO2CHANGE, Magnitude(v.co2));
    click(v.co2 < 0 ? IDC_CO2DECREASE : IDC_CO2INCREASE);
    set(IDC_OUTPUTFILE, v.name);
}

// Acts on whatever modal window is up: the main window (once), a message box, the report.
class User : public QObject {
public:
    explicit User(Values values) : m_values(std::move(values)) {
        connect(&m_timer, &QTimer::timeout, this, [this] { Act(); });
        m_timer.start(50);
    }
    bool finished = false;
    int messages = 0;

private:
    void Act() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            std::printf("message: %s\n", box->text().toUtf8().constData());
            ++messages;
            box->reject(); // OK, or No to a question
        } else if (auto* report = qobject_cast<CMessageDialog*>(modal)) {
            for (QPushButton* button : report->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("Finish")) {
                    std::printf("report: finished\n");
                    finished = true;
                    button->click();
                    return;
                }
        } else if (auto* window = qobject_cast<CSkyfetchDlg*>(modal); window && !m_pressed) {
            m_pressed = true;
            Fill(*window, m_values);
            std::printf("generate: %s in %s\n", window->m_outputName.c_str(),
                        window->m_outputFolder.c_str());
            // Pressed from an event of its own: the report's loop runs inside the press,
            // and a timer is not called again while its own call is still running.
            QTimer::singleShot(0, window, [window] {
                qobject_cast<QAbstractButton*>(window->Control(IDOK))->click();
            });
        }
        std::fflush(stdout);
    }

    Values m_values;
    QTimer m_timer;
    bool m_pressed = false;
};

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 9) {
        std::fprintf(stderr, "usage: window_generate_probe LON LAT SPINUP SCENARIO TEMP PRECIP "
                             "CO2 NAME\n");
        return 2;
    }
    prepare_process_io();
    register_embedded_resources();
    configure_globe_surface_format();
    QApplication application(argc, argv);
    QApplication::setApplicationName("Skyfetch");
    std::setlocale(LC_NUMERIC, "C");

    const Values values{
        std::atof(argv[1]), std::atof(argv[2]), argv[3], argv[4], std::atof(argv[5]),
        std::atof(argv[6]), std::atof(argv[7]), argv[8]};
    DesktopMessages messages;
    User user(values);
    CSkyfetchApp program;
    program.InitInstance();
    std::printf("done: %s, %d message(s)\n", user.finished ? "finished" : "not finished",
                user.messages);
    return user.finished && user.messages == 0 ? 0 : 1;
}
