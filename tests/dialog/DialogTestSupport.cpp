#include "DialogTestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <fstream>
#include <sstream>
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
                                      const std::string& filter) {
    calls.push_back({title, path, filter});
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

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

} // namespace skyfetch::test
