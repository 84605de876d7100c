#pragma once

// What the window tests share: recorders for message boxes, the file dialog and the
// desktop requests, a private settings folder and working folder per test, and the
// fixture the window's test classes derive from.

#include "dialog/FilePicker.h"
#include "dialog/Launcher.h"
#include "putil/UserPrompt.h"
#include "settings/Profile.h"

#include "TextFiles.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace skyfetch {
class CSkyfetchDlg;
}

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
        FileDialogMode mode;
    };
    std::string BrowseForFile(const std::string& title, const std::string& path,
                              const std::string& filter, FileDialogMode mode) override;
    std::vector<Call> calls;
    std::string answer; // what the "user" chooses ("" cancels)
    // Runs while the file dialog is open.
    std::function<void()> whileOpen;
};

class RecordingLauncher : public Launcher {
public:
    bool OpenInSpreadsheet(const std::string& path) override {
        opened.push_back(path);
        return takes;
    }
    bool ExploreFolder(const std::string& folder) override {
        explored.push_back(folder);
        return takes;
    }
    std::vector<std::string> opened;
    std::vector<std::string> explored;
    bool takes = true; // false: as if no program were there to take the request
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

bool Exists(const std::string& path);

// The base of the window's Qt Test classes. The built data are registered once; every
// test starts with its own folders and with fresh recorders for the messages, the file
// dialog and the desktop. Test functions are the derived class's private slots.
class DialogTestCase : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<TestFolders> m_folders;
    RecordingPrompt m_prompt;
    FakePicker m_picker;
    RecordingLauncher m_launcher;

    // A new window wired to the recorders, shown and active, whose output name starts as
    // presetName.
    std::unique_ptr<CSkyfetchDlg> Open(const std::string& presetName = "");

    static QString Text(CSkyfetchDlg& d, int id);
    static bool Checked(CSkyfetchDlg& d, int id);
    static void Click(CSkyfetchDlg& d, int id);
    // Replaces an edit's text the way a user does: select all, type (an empty text
    // deletes the selection).
    static void Type(CSkyfetchDlg& d, int id, const QString& text);
    // Moves the focus within the window as a click or Tab does, with the focus-out event
    // for the edit that had it, also while another program's window is the active one.
    static void MoveFocus(QWidget& window, QWidget* to);

    // The program's own settings and the ones it shares with the suite.
    Profile App() const;
    Profile Shared() const;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
};

} // namespace skyfetch::test
