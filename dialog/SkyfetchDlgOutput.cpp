// The output file name and folder of the main dialog: the automatic extension, the
// folder tree, the file dialogs and the check before a file is written.
#include "dialog/SkyfetchDlg.h"

#include "dialog/DesktopTexts.h"
#include "dialog/FilePicker.h"
#include "putil/FileSystem.h"
#include "putil/UserPrompt.h"
#include "putil/WorkingFolder.h"
#include "rules/FolderTree.h"
#include "rules/OutputFileCheck.h"
#include "rules/OutputName.h"
#include "settings/ProfileLocations.h"
#include "settings/SettingsKeys.h"

#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace skyfetch {
namespace {

constexpr const char* kBrowseTitle = "Output file name";
constexpr const char* kChartTitle = "Save chart as";
constexpr const char* kChartFilter =
    "SVG pictures (*.svg)\t*.svg\tPNG images (*.png)\t*.png\tPDF documents (*.pdf)\t*.pdf\t";

// Edit positions count UTF-16 units, the name rules count bytes of UTF-8.
int ToByteOffset(const QString& text, int position) {
    return int(text.left(position).toUtf8().size());
}

int ToEditPosition(const std::string& text, int offset) {
    return int(QString::fromUtf8(text.substr(0, std::size_t(offset))).size());
}

void SetSelection(QLineEdit* edit, int start, int end) {
    if (start == end)
        edit->setCursorPosition(start);
    else
        edit->setSelection(start, end - start);
}

bool ChangeDirectory(const std::string& folder) {
    return change_directory(folder) == 0;
}

} // namespace

void CSkyfetchDlg::OnOutputNameChanged() {
    if (m_exchange.InProgress())
        return;
    UpdateData(true);
    QLineEdit* edit = Edit(IDC_OUTPUTFILE);
    const QString text = edit->text();
    int start = edit->cursorPosition();
    int end = start;
    if (edit->hasSelectedText()) {
        start = edit->selectionStart();
        end = edit->selectionEnd();
    }
    const KeptExtension kept = KeepExtension(m_outputName, kDefaultExtension,
                                             ToByteOffset(text, start), ToByteOffset(text, end));
    m_outputName = kept.name;
    UpdateData(false);
    SetSelection(edit, ToEditPosition(m_outputName, kept.selStart),
                 ToEditPosition(m_outputName, kept.selEnd));
    FillFolderTree(m_outputName);
}

void CSkyfetchDlg::OnOutputNameFocusLost() {
    if (!m_ready || m_exchange.InProgress())
        return;
    UpdateData(true);
    const std::size_t first = m_outputName.find_first_not_of(" \t\r\n");
    const std::size_t last = m_outputName.find_last_not_of(" \t\r\n");
    m_outputName =
        first == std::string::npos ? std::string() : m_outputName.substr(first, last - first + 1);
    EnsureExtension(m_outputName, kDefaultExtension);
    UpdateData(false);
    FillFolderTree(m_outputName);
}

void CSkyfetchDlg::FillFolderTree(std::string path) {
    if (path.empty())
        return;
    // A bare name goes to the current directory, which differs from the output folder
    // after a path was typed (that sets the folder but does not change directory).
    const bool bare = last_separator(path) == std::string::npos;
    const FolderTreeChain chain =
        BuildFolderTree(path, bare ? CurrentFolder(m_outputFolder) : m_outputFolder);
    m_fillingTree = true;
    m_folderTree->clear();
    QTreeWidgetItem* parent = nullptr;
    std::vector<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < chain.components.size(); ++i) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_folderTree);
        item->setText(0, QString::fromStdString(chain.components[i]));
        // The tree is narrow: the tip gives each item's whole path, however long.
        const std::vector<std::string> upToHere(chain.components.begin(),
                                                chain.components.begin() + std::ptrdiff_t(i) + 1);
        item->setToolTip(0, QString::fromStdString(JoinTreePath(upToHere)));
        const bool isFile = i + 1 == chain.components.size();
        if (!m_treeImages.isEmpty())
            item->setIcon(0, m_treeImages[isFile ? 2 : 0]);
        items.push_back(item);
        parent = item;
    }
    for (QTreeWidgetItem* item : items) {
        m_folderTree->expandItem(item);
        m_folderTree->scrollToItem(item);
    }
    m_fillingTree = false;
    m_outputFolder = chain.folder;
    if (m_folderTree->hasFocus())
        ShowTreeFocus();
}

void CSkyfetchDlg::ShowTreeFocus() {
    // With the keyboard in the tree, its current item shows where: the file's own item
    // unless the user moved elsewhere, selected (the tree always shows its selection)
    // and scrolled into view.
    QTreeWidgetItem* item = m_folderTree->currentItem();
    if (item == nullptr)
        for (QTreeWidgetItemIterator it(m_folderTree); *it; ++it)
            item = *it;
    if (item == nullptr)
        return;
    m_folderTree->setCurrentItem(item);
    m_folderTree->scrollToItem(item);
}

void CSkyfetchDlg::OnTreeItemExpanding() {
    if (!m_ready || m_fillingTree)
        return;
    // Any expansion or collapse by the user gives the whole chain back, fully expanded;
    // the rebuild waits until the tree has finished with the item it changed.
    QTimer::singleShot(0, this, [this] { FillFolderTree(m_outputName); });
}

void CSkyfetchDlg::OnTreeItemClicked(QTreeWidgetItem* item) {
    if (!item)
        return;
    int count = 0;
    for (QTreeWidgetItemIterator it(m_folderTree); *it; ++it)
        ++count;
    std::vector<std::string> chain;
    for (QTreeWidgetItem* at = item; at; at = at->parent())
        chain.insert(chain.begin(), at->text(0).toStdString());
    // The answer rebuilds the tree, which must not happen while the tree is still
    // delivering the click of one of its items.
    QTimer::singleShot(0, this, [this, chain, count] { OnTreeChainClicked(chain, count); });
}

void CSkyfetchDlg::OnTreeChainClicked(const std::vector<std::string>& chain, int itemCount) {
    // What was typed is taken in first: the controls are refreshed from the members below.
    if (!UpdateData(true))
        return;
    const TreeClick click = ResolveTreeClick(chain, std::size_t(itemCount), m_outputFolder);
    if (click.askFolderChange && user_prompt().show(click.question, PromptIcon::Question,
                                                    PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    BrowseFromFolder(click.folder, click.name);
    TakeOutputPath(m_outputName);
    FillFolderTree(m_outputName);
    UpdateData(false);
}

void CSkyfetchDlg::BrowseFromFolder(std::string folder, std::string name) {
    if (!UpdateData(true))
        return;
    const std::string start = BrowseFromFolderStart(folder, name, m_outputFolder, m_outputName);
    std::string path =
        m_picker->BrowseForFile(kBrowseTitle, start, BrowseFilter(), FileDialogMode::Open);
    if (path.empty())
        return;
    EnsureExtension(path, kDefaultExtension);
    ShortenToFolder(path, folder);
    m_outputName = path;
    UpdateData(false);
    FillFolderTree(path);
    UpdateData(false);
}

void CSkyfetchDlg::OnBrowse() {
    if (!UpdateData(true))
        return;
    m_outputFolder = CurrentFolder();
    const std::string start = BrowseButtonStart(m_browsePath, m_outputName, m_outputFolder);
    std::string path =
        m_picker->BrowseForFile(kBrowseTitle, start, BrowseFilter(), FileDialogMode::Open);
    if (path.empty())
        return;
    EnsureExtension(path, kDefaultExtension);
    TakeOutputPath(path);
    UpdateData(false);
    FillFolderTree(path);
    UpdateData(false);
}

void CSkyfetchDlg::TakeOutputPath(const std::string& path) {
    std::string name;
    std::string folder;
    SplitPath(path, name, folder);
    // A folder that cannot be entered (gone since it was chosen) stays part of the name,
    // so the tree, the name and the file written all mean the same place.
    if (ChangeDirectory(folder)) {
        m_outputFolder = folder;
        m_outputName = name;
    } else {
        m_outputName = path;
    }
}

std::string CSkyfetchDlg::ChooseChartFile() {
    // The folder of the last saved chart while it is still there, else the output folder.
    const Profile app = application_profile();
    std::string folder = app.read_string(settings::kChartDir, "");
    if (file_kind(folder) != FileKind::Folder)
        folder = m_outputFolder.empty() ? CurrentFolder() : m_outputFolder;
    // Named after the output file: the chart of climate.txt is climate.svg.
    std::string name = StripFolder(m_outputName);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    if (name.empty() || name[0] == '.')
        name = "chart";
    const std::string start = join_path(folder, name + ".svg");
    const std::string path =
        m_picker->BrowseForFile(kChartTitle, start, kChartFilter, FileDialogMode::Save);
    if (path.empty())
        return {};
    app.write_string(settings::kChartDir, absolute_folder(folder_of(path)));
    return path;
}

bool CSkyfetchDlg::CheckOutputFile() {
    return CheckOutputName(m_outputName);
}

bool CSkyfetchDlg::CheckOutputName(const std::string& name) {
    const OutputFileCheck check = skyfetch::CheckOutputFile(name);
    if (!check.ok)
        user_prompt().show(check.message, check.icon, PromptButtons::Ok);
    return check.ok;
}

} // namespace skyfetch
