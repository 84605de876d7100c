#pragma once

// What the window tests share: recorders for message boxes, the file dialog and the
// desktop requests, and a private settings folder and working folder per test.

#include "dialog/FilePicker.h"
#include "dialog/Launcher.h"
#include "putil/UserPrompt.h"

#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace skyfetch::test {

// Records every message and answers questions from a queue (Yes when it runs dry).
class RecordingPrompt : public UserPrompt {
public:
    struct Shown {
        std::string text;
        PromptIcon icon;
        PromptButtons buttons;
    };
    PromptAnswer show(const std::string& text, PromptIcon icon, PromptButtons buttons) override;

    std::vector<Shown> shown;
    std::deque<PromptAnswer> answers;
    // Runs while a message is up, before it is answered (the user doing something
    // elsewhere meanwhile).
    std::function<void(const std::string& text)> whileShown;
    // The texts shown, in order.
    std::vector<std::string> texts() const;
};

class FakePicker : public FilePicker {
public:
    struct Call {
        std::string title;
        std::string path;
        std::string filter;
    };
    std::string BrowseForFile(const std::string& title, const std::string& path,
                              const std::string& filter) override;
    std::vector<Call> calls;
    std::string answer; // what the "user" chooses ("" cancels)
    // Runs while the file dialog is open.
    std::function<void()> whileOpen;
};

class RecordingLauncher : public Launcher {
public:
    void OpenInSpreadsheet(const std::string& path) override { opened.push_back(path); }
    void ExploreFolder(const std::string& folder) override { explored.push_back(folder); }
    std::vector<std::string> opened;
    std::vector<std::string> explored;
};

// A fresh settings folder (XDG_CONFIG_HOME) and working folder (the current directory)
// for one test; the previous ones come back when it ends.
class TestFolders {
public:
    TestFolders();
    ~TestFolders();
    std::string config() const;
    std::string work() const; // the current directory during the test
    std::string appProfilePath() const;
    std::string sharedProfilePath() const;

private:
    QTemporaryDir m_config;
    QTemporaryDir m_work;
    std::string m_previousDir;
    QByteArray m_previousConfig;
};

std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
bool Exists(const std::string& path);

} // namespace skyfetch::test
