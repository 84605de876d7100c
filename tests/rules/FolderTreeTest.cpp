#include "rules/FolderTree.h"

#include <gtest/gtest.h>

namespace skyfetch {
namespace {

using Chain = std::vector<std::string>;

TEST(FolderTree, SplitAndJoin) {
    struct Case {
        const char* path;
        Chain components;
        const char* joined;
    };
    const Case cases[] = {
        {"/home/me/climate.txt", {"/", "home", "me", "climate.txt"}, "/home/me/climate.txt"},
        {"/climate.txt", {"/", "climate.txt"}, "/climate.txt"},
        {"/", {"/"}, "/"},
        {"sub/run.txt", {"sub", "run.txt"}, "sub/run.txt"},
        {"run.txt", {"run.txt"}, "run.txt"},
        {"/home//me/x.txt", {"/", "home", "me", "x.txt"}, "/home/me/x.txt"},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitTreePath(c.path), c.components) << c.path;
        EXPECT_EQ(JoinTreePath(c.components), c.joined) << c.path;
    }
}

TEST(FolderTree, ChainOfTheOutputName) {
    FolderTreeChain chain = BuildFolderTree("climate.txt", "/home/me");
    EXPECT_EQ(chain.components, (Chain{"/", "home", "me", "climate.txt"}));
    EXPECT_EQ(chain.folder, "/home/me");

    chain = BuildFolderTree("climate.txt", "/");
    EXPECT_EQ(chain.components, (Chain{"/", "climate.txt"}));
    EXPECT_EQ(chain.folder, "/");

    // A typed path is shown as typed, and its folder becomes the output folder.
    chain = BuildFolderTree("/data/runs/a.txt", "/home/me");
    EXPECT_EQ(chain.components, (Chain{"/", "data", "runs", "a.txt"}));
    EXPECT_EQ(chain.folder, "/data/runs");

    chain = BuildFolderTree("", "/home/me");
    EXPECT_TRUE(chain.components.empty());
    EXPECT_EQ(chain.folder, "");
}

TEST(FolderTree, ClickOnAFolderAsksAndStartsThere) {
    const Chain tree{"/", "home", "me", "climate.txt"};
    TreeClick click = ResolveTreeClick({"/", "home"}, tree.size(), "/home/me");
    EXPECT_TRUE(click.askFolderChange);
    EXPECT_EQ(click.question, "Do you want to change the output folder to /home?");
    EXPECT_EQ(click.folder, "/home");
    EXPECT_EQ(click.name, "");

    std::string folder = click.folder;
    EXPECT_EQ(BrowseFromFolderStart(folder, click.name, "/home/me", "climate.txt"),
              "/home/climate.txt");
    EXPECT_EQ(folder, "/home/");

    click = ResolveTreeClick({"/"}, tree.size(), "/home/me");
    EXPECT_TRUE(click.askFolderChange);
    EXPECT_EQ(click.folder, "/");
    folder = click.folder;
    EXPECT_EQ(BrowseFromFolderStart(folder, click.name, "/home/me", "/home/me/climate.txt"),
              "/climate.txt");

    // The output folder itself asks nothing.
    click = ResolveTreeClick({"/", "home", "me"}, tree.size(), "/home/me");
    EXPECT_FALSE(click.askFolderChange);
    EXPECT_EQ(click.folder, "/home/me");
}

TEST(FolderTree, ClickOnTheFileOpensItsOwnFolder) {
    const Chain tree{"/", "home", "me", "climate.txt"};
    TreeClick click = ResolveTreeClick(tree, tree.size(), "/home/me");
    EXPECT_FALSE(click.askFolderChange);
    EXPECT_EQ(click.folder, "/home/me/");
    EXPECT_EQ(click.name, "climate.txt");
    std::string folder = click.folder;
    EXPECT_EQ(BrowseFromFolderStart(folder, click.name, "/home/me", "climate.txt"),
              "/home/me/climate.txt");

    // A relative chain: the top folder gets its separator.
    click = ResolveTreeClick({"sub"}, 2, "/home/me");
    EXPECT_EQ(click.folder, "sub/");
    EXPECT_TRUE(click.askFolderChange);
    click = ResolveTreeClick({"/", "x.txt"}, 2, "/");
    EXPECT_EQ(click.folder, "/");
    EXPECT_FALSE(click.askFolderChange);
}

TEST(FolderTree, BrowseButtonKeepsItsFirstStart) {
    std::string browsePath;
    EXPECT_EQ(BrowseButtonStart(browsePath, "climate.txt", "/home/me"), "/home/me/climate.txt");
    // Later browses start where the first one did, whatever the name is now.
    EXPECT_EQ(BrowseButtonStart(browsePath, "other.txt", "/tmp"), "/home/me/climate.txt");
    std::string typed;
    EXPECT_EQ(BrowseButtonStart(typed, "/data/a.txt", "/home/me"), "/data/a.txt");
    std::string atRoot;
    EXPECT_EQ(BrowseButtonStart(atRoot, "a.txt", "/"), "/a.txt");
}

} // namespace
} // namespace skyfetch
