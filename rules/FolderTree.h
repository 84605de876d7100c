#pragma once

#include <string>
#include <vector>

namespace skyfetch {

// The folder tree beside the output name shows the output path as one chain of items:
// "/home/me/climate.txt" is "/", "home", "me" (folders) and "climate.txt" (the file); on
// Windows "C:\Users\me\climate.txt" is "C:", "Users", "me" and "climate.txt". Separators
// and folder comparisons are the platform's (putil/FileSystem.h): '/' and case-sensitive,
// on Windows '\' or '/' and without regard to case.

// The chain of tree items for a path. An absolute path starts with its root as one item
// ("/"; "C:" or "\\server\share" without a trailing separator); empty components
// (doubled separators) are skipped.
std::vector<std::string> SplitTreePath(const std::string& path);

// Joins tree items back into a path with single separators, the platform's own where the
// items have none ("/" + "home" gives "/home", "C:" + "Users" gives "C:\Users").
std::string JoinTreePath(const std::vector<std::string>& components);

// What the tree shows for the output name: a bare name is placed in the output folder
// first. folder is the joined chain without its last item (the file), which becomes
// the new output folder.
struct FolderTreeChain {
    std::vector<std::string> components;
    std::string folder;
};
// Empty chain for an empty name.
FolderTreeChain BuildFolderTree(const std::string& outputName, const std::string& outputFolder);

// A click on a tree item. chain holds the items from the root down to the clicked one;
// itemCount is the number of items in the whole tree. A folder item opens the file
// dialog in that folder with no name; the file item opens it in its own folder with
// its own name.
struct TreeClick {
    std::string folder; // folder to start the file dialog in
    std::string name;   // starting name ("" for a folder item)
    bool askFolderChange = false;
    std::string question; // the question to ask when askFolderChange is set
};
TreeClick ResolveTreeClick(const std::vector<std::string>& chain, std::size_t itemCount,
                           const std::string& outputFolder);

// The path the file dialog opened from a tree item starts with: an empty folder is
// the output folder, a folder longer than "/" gets a trailing separator, and an empty
// name is the bare file name of outputName.
std::string BrowseFromFolderStart(std::string& folder, const std::string& name,
                                  const std::string& outputFolder, const std::string& outputName);

// The path the "Browse ..." dialog starts with. browsePath is set from outputName the
// first time and kept for every later browse; a bare name is placed in currentDir.
std::string BrowseButtonStart(std::string& browsePath, const std::string& outputName,
                              const std::string& currentDir);

} // namespace skyfetch
