// "Generate file": the checks, the lookup, the driver file, the report and the stored
// settings, in that order. Every stop before the file is written leaves the dialog open
// with a message, so the user can correct the input and try again.
#include "dialog/SkyfetchDlg.h"

#include "settings/ProfileLocations.h"
#include "settings/SettingsKeys.h"
#include "climate/ClimateArchive.h"
#include "climate/Spinup.h"
#include "dialog/DesktopTexts.h"
#include "dialog/Launcher.h"
#include "dialog/OffInterfaceThread.h"
#include "rules/LocationRules.h"
#include "rules/OutputFileCheck.h"
#include "rules/OutputName.h"
#include "driver/DriverFileWriter.h"
#include "driver/ParameterRules.h"
#include "globe/GlobeView.h"
#include "msgdialog/MessageDialog.h"
#include "putil/FileSystem.h"
#include "putil/UserPrompt.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>

#include <cstdio>
#include <cstring>
#include <functional>

namespace skyfetch {
namespace {

// The progress bar shown while the file is written, centred in the dialog, with the wait
// cursor; both go when the write is over.
class WriteProgress {
public:
    explicit WriteProgress(QWidget* dialog) : m_bar(dialog) {
        m_bar.setGeometry((dialog->width() - 250) / 2, (dialog->height() - 30) / 2, 250, 30);
        m_bar.setTextVisible(false);
        m_bar.show();
        m_bar.repaint();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WriteProgress() { QApplication::restoreOverrideCursor(); }
    WriteProgress(const WriteProgress&) = delete;
    WriteProgress& operator=(const WriteProgress&) = delete;

    // Redraws only when the bar moves by a pixel or more: a long file has many rows.
    void Show(int done, int total) {
        if (m_bar.maximum() != total)
            m_bar.setRange(0, total);
        const int step = std::max(1, total / 250);
        if (done == total || done - m_bar.value() >= step) {
            m_bar.setValue(done);
            m_bar.repaint();
        }
    }

private:
    QProgressBar m_bar;
};

// Appends one item of the report. One MessageItem is reused for all of them, so a field
// an item does not set (a line break's text, a text run's result) keeps its last value.
void Append(CMessageDialog& report, MessageItem& item, int kind, int align, bool breakAfter,
            const std::string& text) {
    item.kind = kind;
    item.align = align;
    item.breakAfter = breakAfter;
    item.text = text;
    report.m_items.push_back(item);
}

// A desktop request, with the busy cursor while its candidates are tried; true when a
// program took it.
bool AskDesktop(const std::function<bool()>& request) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    struct RestoreCursor {
        ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restore;
    return RunOffInterfaceThread(request);
}

} // namespace

void CSkyfetchDlg::OnOK() {
    // 1. A text that does not read stops the command here, with the focus on it: going
    // on would write the file with the value from before and report success.
    m_globe->StopAnimation();
    if (!UpdateData(true))
        return;
    // Enter pressed in the name field: the name gets the rules of leaving the field first
    // (trimmed, ".txt" added), so that what is checked, written, reported and stored is
    // one and the same name. That name is taken here once; nothing below reads the field.
    if (focusWidget() == Edit(IDC_OUTPUTFILE))
        OnOutputNameFocusLost();
    const std::string nameText = m_outputName;

    // 2.
    CheckLongitude(true);
    CheckLatitude(true);

    // 3, 4. The lookup comes before every other check.
    UpdateCellCorner();
    ClimateArchive archive;
    archive.open();
    CellRecord record;
    record.lon = m_cornerLon;
    record.lat = m_cornerLat;
    if (!archive.lookup(record)) {
        user_prompt().show(NotFoundMessage(m_lonValue, m_westFlag, m_latValue, m_southFlag),
                           PromptIcon::Warning, PromptButtons::Ok);
        archive.close();
        return;
    }
    archive.close();

    // 5. A path into the current folder is written by its bare name.
    std::string folderText = CurrentDirectory();
    std::string outputPath = nameText;
    ShortenToFolder(outputPath, folderText);

    // 6. A name the system will not describe (too long, no permission to look) is not
    // known to exist: the name check below reports it with the system's reason.
    if (const FileKind kind = entry_kind(outputPath);
        kind != FileKind::None && kind != FileKind::Unreachable &&
        user_prompt().show(OverwriteQuestion(outputPath),
                           PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes) {
        Edit(IDC_OUTPUTFILE)->setFocus();
        return;
    }
    // 7-9.
    if (!CheckOutputName(nameText)) {
        Edit(IDC_OUTPUTFILE)->setFocus();
        return;
    }
    if (!validate_protocol()) {
        Edit(IDC_SPINUPYEARS)->setFocus();
        return;
    }
    if (!validate_scenario()) {
        Edit(IDC_TEMPCHANGE)->setFocus();
        return;
    }

    // 10. Both phases start at data year 0, also on a second attempt after a failed write.
    prepare_spinup_sets(record);

    // 11, 12. The file appears whole or not at all; an old file stays as it was.
    DriverFileParameters parameters;
    parameters.cornerLon = m_cornerLon;
    parameters.cornerLat = m_cornerLat;
    parameters.initYears = m_initYears;
    parameters.scenarioYears = m_scenarioYears;
    parameters.tempChange = m_tempChange;
    parameters.precipChange = m_precipChange;
    parameters.co2Change = m_co2Change;
    WriteResult written;
    {
        WriteProgress progress(this);
        written = write_driver_file(
            outputPath, ExistingFile::Replace, parameters, record, initialisation_set(),
            scenario_set(), [&progress](int done, int total) { progress.Show(done, total); });
    }
    if (!written) {
        // Not even created: the message of the check before writing, with the reason.
        // Failed while writing: the writer's text, which gives the system's reason (a
        // full disk, a size limit).
        const std::string message =
            written.failure == WriteFailure::Open
                ? OutputOpenFailedMessage(outputPath, written.systemError
                                                              ? std::strerror(written.systemError)
                                                              : std::string())
                : written.error;
        user_prompt().show(message, PromptIcon::Error, PromptButtons::Ok);
        return;
    }

    // 13.
    const Profile shared = shared_profile();
    shared.write_string(settings::kHaveOutput, "1");

    // 14. File name and folder as the report names them.
    std::string fileText;
    SplitPath(nameText, fileText, folderText);

    // 15.
    CMessageDialog report;
    MessageItem item;
    Append(report, item, ItemLarge, 0, true, "Output file created");
    Append(report, item, ItemNewLine, item.align, item.breakAfter, item.text);
    Append(report, item, ItemText, -1, false,
           "Environmental driver data have been written to the file ");
    Append(report, item, ItemBold, -1, false, fileText);
    Append(report, item, ItemText, -1, false, " in the folder ");
    Append(report, item, ItemBold, -1, false, folderText);
    Append(report, item, ItemText, -1, true, ".");
    Append(report, item, ItemNewLine, item.align, item.breakAfter, item.text);
    Append(report, item, ItemText, -1, true, ReportViewAdvice());
    Append(report, item, ItemNewLine, item.align, item.breakAfter, item.text);
    Append(report, item, ItemText, -1, false, "Press ");
    Append(report, item, ItemBold, -1, false, "View");
    Append(report, item, ItemText, -1, false, ReportViewText(fileText));
    Append(report, item, ItemBold, -1, false, "Explore");
    Append(report, item, ItemText, -1, false, ReportExploreText(folderText));
    Append(report, item, ItemBold, -1, false, "Finish");
    Append(report, item, ItemText, -1, true, " to leave Skyfetch.");
    Append(report, item, ItemNewLine, item.align, item.breakAfter, item.text);
    item.result = 1;
    Append(report, item, ItemButton, 0, false, "View");
    item.result = 2;
    Append(report, item, ItemButton, 0, false, "Explore");
    item.result = 3;
    Append(report, item, ItemButton, 0, false, "Finish");
    report.m_width = 640;
    report.m_height = 400;

    // 16. The desktop requests start without waiting for the program to finish. When no
    // program takes one, the user is told where the file is before the program ends.
    // Each candidate program is watched for a moment before the next is tried; that
    // happens on a thread of its own, so the window keeps painting meanwhile.
    if (report.exec() == QDialog::Accepted) {
        if (report.m_result == 1 && !folderText.empty()) {
            if (!is_separator(folderText.back()))
                folderText += native_separator();
            const std::string path = folderText + fileText;
            if (!AskDesktop([&] { return m_launcher->OpenInSpreadsheet(path); }))
                user_prompt().show(NoViewerMessage(path), PromptIcon::Information,
                                   PromptButtons::Ok);
        } else if (report.m_result == 2 && !folderText.empty()) {
            if (!AskDesktop([&] { return m_launcher->ExploreFolder(folderText); }))
                user_prompt().show(NoFileManagerMessage(folderText), PromptIcon::Information,
                                   PromptButtons::Ok);
        }
    }

    // 17, 18. The typed location, signed and truncated (-0.25 is stored as 19975).
    shared.write_string(settings::kLastFile, fileText);
    // A folder typed as part of the name ("sub/x.txt") is relative to where the file was
    // written; the next start begins elsewhere, so the folder is stored in full.
    shared.write_string(settings::kLastDir, absolute_folder(folderText));
    const double lon = m_westFlag == 1 ? -m_lonValue : m_lonValue;
    const double lat = m_southFlag == 1 ? -m_latValue : m_latValue;
    const Profile app = application_profile();
    app.write_int(settings::kLongitude, encode_location(lon));
    app.write_int(settings::kLatitude, encode_location(lat));

    // 19.
    accept();
}

} // namespace skyfetch
