#include "rules/OutputName.h"
#include "putil/Platform.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace skyfetch {
namespace {

using test::TempFolder;

TEST(SplitNumberedName, BaseAndExtension) {
    struct Case {
        const char* name;
        const char* base;
        const char* ext;
    };
    const Case cases[] = {
        {"climate12.txt", "climate", ".txt"},
        {"a.b.txt", "a.b", ".txt"},
        {"readme", "readme", ""},
        {"", "", ""},
        {"climate.txt", "climate", ".txt"},
        {"run.2.txt", "run", ".txt"},           // the dot before the number goes with it
        {"12.txt", "1", ".txt"},                // never steps past the first character
        {"dir.v2/readme", "dir.v2/readme", ""}, // the folder's dot is not an extension
        {"out/climate3.csv", "out/climate", ".csv"},
        {".txt", "", ".txt"}, // a name that is all extension has no base
    };
    for (const Case& c : cases) {
        std::string base = "old";
        std::string ext = "old";
        SplitNumberedName(c.name, base, ext);
        EXPECT_EQ(base, c.base) << c.name;
        EXPECT_EQ(ext, c.ext) << c.name;
    }
}

TEST(EnsureExtension, OnFocusLoss) {
    struct Case {
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"data", "data.txt"},
        {"a", "a.txt"},
        {"x.csv", "x.csv"},
        {"file.c", "file.c.txt"},
        {"", ".txt"},
        {"ab", "ab.txt"},
        {"a.b", "a.b"},
        {".", "."},
        {"run.txt", "run.txt"},
        {"dir/x", "dir/x.txt"},
        {"notes.text", "notes.text.txt"},
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        EnsureExtension(name, "txt");
        EXPECT_EQ(name, c.expected) << '"' << c.name << '"';
    }
}

TEST(KeepExtension, WhileTyping) {
    struct Case {
        const char* name;
        int selStart, selEnd;
        const char* expected;
        int newStart, newEnd;
    };
    const Case cases[] = {
        {"c", 1, 1, "c.txt", 1, 1},         // first letter: extension added, caret after c
        {"", 0, 0, ".txt", 0, 0},           // emptied field
        {"n.txt", 1, 1, "n.txt", 1, 1},     // typing into ".txt" keeps one extension
        {"new.txt", 3, 3, "new.txt", 3, 3}, // caret stays before the extension
        {"c..txt", 2, 2, "c.", 2, 2},       // a second dot removes the automatic .txt
        {"c.csv.txt", 5, 5, "c.csv", 5, 5},
        {"c.csv.TXT", 5, 5, "c.csv.TXT", 5, 5}, // only the exact extension is automatic
        {"data", 4, 4, "data.txt", 4, 4},
        {"a.b.c", 5, 5, "a.b.c", 5, 5},
        {"x.txt.txt", 1, 9, "x.txt", 1, 5}, // selection clipped to the shorter name
        {"ab.txt.txt", 8, 9, "ab.txt", 6, 6},
        {"dir.v2/out", 10, 10, "dir.v2/out.txt", 10, 10}, // dots of folders do not count
        {".", 1, 1, ".", 1, 1},
    };
    for (const Case& c : cases) {
        const KeptExtension kept = KeepExtension(c.name, "txt", c.selStart, c.selEnd);
        EXPECT_EQ(kept.name, c.expected) << '"' << c.name << '"';
        EXPECT_EQ(kept.selStart, c.newStart) << '"' << c.name << '"';
        EXPECT_EQ(kept.selEnd, c.newEnd) << '"' << c.name << '"';
    }
}

TEST(KeepExtension, TypingNewIntoAnEmptiedField) {
    // The field is emptied, then n, e, w are typed at the caret.
    KeptExtension state = KeepExtension("", "txt", 0, 0);
    for (char letter : std::string("new")) {
        std::string typed = state.name;
        typed.insert(static_cast<std::size_t>(state.selStart), 1, letter);
        state = KeepExtension(typed, "txt", state.selStart + 1, state.selStart + 1);
    }
    EXPECT_EQ(state.name, "new.txt");
    EXPECT_EQ(state.selStart, 3);
    EXPECT_EQ(state.selEnd, 3);
}

TEST(PathRules, StripFolderAndSplitPath) {
    EXPECT_EQ(StripFolder("/home/me/climate.txt"), "climate.txt");
    EXPECT_EQ(StripFolder("climate.txt"), "climate.txt");
    EXPECT_EQ(StripFolder("out/"), "");

    TempFolder temp;
    const std::string cwd = CurrentDirectory();
    EXPECT_EQ(cwd, std::filesystem::current_path().string());

    std::string name;
    std::string folder;
    SplitPath("climate.txt", name, folder);
    EXPECT_EQ(name, "climate.txt");
    EXPECT_EQ(folder, cwd);
    SplitPath("/home/me/run.txt", name, folder);
    EXPECT_EQ(name, "run.txt");
    EXPECT_EQ(folder, "/home/me");
    SplitPath("/run.txt", name, folder);
    EXPECT_EQ(name, "run.txt");
    EXPECT_EQ(folder, "/");
    SplitPath("sub/run.txt", name, folder);
    EXPECT_EQ(name, "run.txt");
    EXPECT_EQ(folder, "sub");
}

TEST(PathRules, ShortenToFolder) {
    enum Where { Both, Posix, Windows };
    struct Case {
        const char* path;
        const char* folder;
        const char* full;
        const char* shortened;
        Where where = Both;
    };
    const Case cases[] = {
        {"run.txt", "/home/me", "/home/me/run.txt", "run.txt", Posix},
        {"/home/me/run.txt", "/home/me", "/home/me/run.txt", "run.txt"},
        // POSIX: the case of letters counts.
        {"/home/Me/run.txt", "/home/me", "/home/Me/run.txt", "/home/Me/run.txt", Posix},
        {"/home/me/sub/run.txt", "/home/me", "/home/me/sub/run.txt", "/home/me/sub/run.txt"},
        {"/home/me/run.txt", "/home/me/", "/home/me/run.txt", "/home/me/run.txt"},
        {"/home/mex/run.txt", "/home/me", "/home/mex/run.txt", "/home/mex/run.txt"},
        // Windows: '\\' joins, either separator and any case of letters match.
        {"run.txt", "C:\\me", "C:\\me\\run.txt", "run.txt", Windows},
        {"c:\\ME\\run.txt", "C:\\me", "c:\\ME\\run.txt", "run.txt", Windows},
        {"C:/me/run.txt", "C:\\me", "C:/me/run.txt", "run.txt", Windows},
        {"\\\\server\\share\\run.txt", "\\\\server\\share", "\\\\server\\share\\run.txt", "run.txt",
         Windows},
    };
    for (const Case& c : cases) {
        if (c.where != Both && (c.where == Windows) != kWindowsPaths)
            continue;
        std::string path = c.path;
        EXPECT_EQ(ShortenToFolder(path, c.folder), c.full) << c.path << " in " << c.folder;
        EXPECT_EQ(path, c.shortened) << c.path << " in " << c.folder;
    }
}

TEST(MakeUniqueName, FirstFreeNameInTheCurrentFolder) {
    TempFolder temp;
    std::string name;
    MakeUniqueName(name, false);
    EXPECT_EQ(name, "climate.txt"); // empty folder, empty name

    TempFolder::write("climate.txt", "x");
    TempFolder::write("climate0.txt", "x");
    name.clear();
    MakeUniqueName(name, false);
    EXPECT_EQ(name, "climate1.txt");

    // A name that is free stays as it is, number included.
    name = "climate12.txt";
    MakeUniqueName(name, false);
    EXPECT_EQ(name, "climate12.txt");
    // A taken numbered name without stripping counts from the bare base.
    TempFolder::write("climate12.txt", "x");
    name = "climate12.txt";
    MakeUniqueName(name, false);
    EXPECT_EQ(name, "climate1.txt");
}

TEST(MakeUniqueName, StripsARememberedNumber) {
    TempFolder temp;
    TempFolder::write("climate7.txt", "x");
    std::string name = "climate7.txt";
    MakeUniqueName(name, true);
    EXPECT_EQ(name, "climate.txt");

    TempFolder::write("climate.txt", "x");
    name = "climate3.txt";
    MakeUniqueName(name, true);
    EXPECT_EQ(name, "climate0.txt");

    TempFolder::write("run.csv", "x");
    name = "run.csv";
    MakeUniqueName(name, true);
    EXPECT_EQ(name, "run0.csv");
}

TEST(MakeUniqueName, AllHundredNumbersTaken) {
    TempFolder temp;
    TempFolder::write("run.txt", "x");
    for (int i = 0; i < 99; ++i)
        TempFolder::write("run" + std::to_string(i) + ".txt", "x");
    std::string name = "run.txt";
    MakeUniqueName(name, false);
    EXPECT_EQ(name, "run99.txt"); // the last number is still tried

    TempFolder::write("run99.txt", "x");
    name = "run.txt";
    MakeUniqueName(name, false);
    EXPECT_EQ(name, "climate.txt"); // the default, although it may exist

    TempFolder::write("climate.txt", "x");
    name = "run.txt";
    MakeUniqueName(name, false);
    EXPECT_EQ(name, "climate.txt");
}

TEST(PathRules, NamesWindowsRefuses) {
    const struct {
        const char* name;
        const char* problem;
    } rows[] = {
        {"climate.txt", ""},
        {"Lund_\u00C5_\u5317\u4EAC.txt", ""},
        {"CON", "is reserved on Windows for a device"},
        {"con.txt", "is reserved on Windows for a device"},
        {"Nul .csv", "is reserved on Windows for a device"},
        {"COM1.txt", "is reserved on Windows for a device"},
        {"lpt9", "is reserved on Windows for a device"},
        {"COM0.txt", ""},
        {"LPT10.txt", ""},
        {"console.txt", ""},
        {"a:b.txt", "contains \":\", which Windows does not allow in a file name"},
        {"why?.txt", "contains \"?\", which Windows does not allow in a file name"},
        {"x|y", "contains \"|\", which Windows does not allow in a file name"},
        {"report.", "ends with a dot, which Windows does not allow"},
        {"report.txt ", "ends with a space, which Windows does not allow"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(WindowsNameProblem(row.name), row.problem) << row.name;
        EXPECT_EQ(PlatformNameProblem(row.name), kWindowsPaths ? row.problem : "") << row.name;
    }
}

} // namespace
} // namespace skyfetch
