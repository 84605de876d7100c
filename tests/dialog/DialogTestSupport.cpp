#include "DialogTestSupport.h"
#include "TestData.h"

#include "dialog/SkyfetchDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <unistd.h>

namespace skyfetch::test {

PromptAnswer RecordingPrompt::show(const std::string& text, PromptIcon icon,
                                   PromptButtons buttons) {
    shown.push_back({text, icon, buttons});
    if (whileShown)
        whileShown(text);
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    if (answers.empty())
        return PromptAnswer::Yes;
    const PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::vector<std::string> RecordingPrompt::texts() const {
    std::vector<std::string> out;
    for (const Shown& s : shown)
        out.push_back(s.text);
    return out;
}

std::string FakePicker::BrowseForFile(const std::string& title, const std::string& path,
                                      const std::string& filter, FileDialogMode mode) {
    calls.push_back({title, path, filter, mode});
    if (whileOpen)
        whileOpen();
    return answer;
}

TestFolders::TestFolders() {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer))
        m_previousDir = buffer;
    m_previousConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    (void)::chdir(m_work.path().toLocal8Bit().constData());
}

TestFolders::~TestFolders() {
    (void)::chdir(m_previousDir.c_str());
    if (m_previousConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_previousConfig);
}

std::string TestFolders::config() const {
    return m_config.path().toStdString();
}

// The canonical form, as getcwd() reports it.
std::string TestFolders::work() const {
    return QFileInfo(m_work.path()).canonicalFilePath().toStdString();
}

std::string TestFolders::appProfilePath() const {
    return config() + "/skyfetch/skyfetch.ini";
}

std::string TestFolders::sharedProfilePath() const {
    return config() + "/phytomod/phytomod.ini";
}

bool Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

std::unique_ptr<CSkyfetchDlg> DialogTestCase::Open(const std::string& presetName) {
    auto dialog = std::make_unique<CSkyfetchDlg>();
    dialog->SetFilePicker(&m_picker);
    dialog->SetLauncher(&m_launcher);
    dialog->m_outputName = presetName;
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        qWarning("window not exposed");
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get()))
        qWarning("window not active");
    return dialog;
}

QString DialogTestCase::Text(CSkyfetchDlg& d, int id) {
    return d.Edit(id)->text();
}

bool DialogTestCase::Checked(CSkyfetchDlg& d, int id) {
    return qobject_cast<QRadioButton*>(d.Control(id))->isChecked();
}

void DialogTestCase::Click(CSkyfetchDlg& d, int id) {
    QTest::mouseClick(qobject_cast<QAbstractButton*>(d.Control(id)), Qt::LeftButton);
}

void DialogTestCase::Type(CSkyfetchDlg& d, int id, const QString& text) {
    QLineEdit* edit = d.Edit(id);
    MoveFocus(d, edit);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

void DialogTestCase::MoveFocus(QWidget& window, QWidget* to) {
    QWidget* from = window.focusWidget();
    to->setFocus(Qt::TabFocusReason);
    if (!window.isActiveWindow() && from && from != to) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(from, &out);
    }
}

Profile DialogTestCase::App() const {
    return Profile(m_folders->appProfilePath(), "SKYFETCH");
}

Profile DialogTestCase::Shared() const {
    return Profile(m_folders->sharedProfilePath(), "PHYTOMOD");
}

void DialogTestCase::initTestCase() {
    QVERIFY(register_built_resources());
    set_user_prompt(&m_prompt);
}

void DialogTestCase::cleanupTestCase() {
    set_user_prompt(nullptr);
}

void DialogTestCase::init() {
    m_folders = std::make_unique<TestFolders>();
    m_prompt = RecordingPrompt();
    m_picker = FakePicker();
    m_launcher = RecordingLauncher();
}

void DialogTestCase::cleanup() {
    m_folders.reset();
}

} // namespace skyfetch::test
