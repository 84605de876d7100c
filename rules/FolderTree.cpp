#include "rules/FolderTree.h"

#include "putil/FileSystem.h"
#include "rules/OutputName.h"

namespace skyfetch {

namespace {

bool ends_with_separator(const std::string& s) {
    return !s.empty() && is_separator(s.back());
}

bool has_separator(const std::string& s) {
    return last_separator(s) != std::string::npos;
}

// a + separator + b, without doubling a separator a ends with. A drive item ("C:") gets
// one too: in the tree it stands for the drive's root, not for its current folder.
std::string join(const std::string& a, const std::string& b) {
    return ends_with_separator(a) ? a + b : a + native_separator() + b;
}

} // namespace

std::vector<std::string> SplitTreePath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t pos = root_length(path);
    if (pos > 0) {
        // The root is one item: "/", or without its separator "C:" and "\\server\share".
        std::string root = path.substr(0, pos);
        if (root.size() > 1 && ends_with_separator(root))
            root.pop_back();
        parts.push_back(root);
    }
    while (pos <= path.size()) {
        std::size_t end = pos;
        while (end < path.size() && !is_separator(path[end]))
            ++end;
        if (end > pos)
            parts.push_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

std::string JoinTreePath(const std::vector<std::string>& components) {
    std::string path;
    for (std::size_t i = 0; i < components.size(); ++i)
        path = i == 0 ? components[i] : join(path, components[i]);
    return path;
}

FolderTreeChain BuildFolderTree(const std::string& outputName, const std::string& outputFolder) {
    FolderTreeChain chain;
    if (outputName.empty())
        return chain;
    std::string path = outputName;
    if (!has_separator(path) && !outputFolder.empty())
        path = join(outputFolder, path);
    chain.components = SplitTreePath(path);
    if (chain.components.size() > 1)
        chain.folder = JoinTreePath(
            std::vector<std::string>(chain.components.begin(), chain.components.end() - 1));
    return chain;
}

TreeClick ResolveTreeClick(const std::vector<std::string>& chain, std::size_t itemCount,
                           const std::string& outputFolder) {
    TreeClick click;
    if (chain.empty())
        return click;
    std::string clickedPath = JoinTreePath(chain);
    // A relative chain's top item or a drive ("C:") has no separator of its own; a folder
    // path needs one.
    if (!has_separator(clickedPath))
        clickedPath += native_separator();
    std::string parentPath;
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        parentPath += chain[i];
        if (!ends_with_separator(parentPath))
            parentPath += native_separator();
    }
    if (chain.size() != itemCount) {
        click.folder = clickedPath;
    } else {
        click.name = chain.back();
        click.folder = parentPath;
    }
    // The same folder is not a change, however it is written (on Windows in any case).
    if (!same_path_text(click.folder, outputFolder) &&
        !same_path_text(click.folder, outputFolder + native_separator())) {
        click.askFolderChange = true;
        click.question = "Do you want to change the output folder to " + click.folder + "?";
    }
    return click;
}

std::string BrowseFromFolderStart(std::string& folder, const std::string& name,
                                  const std::string& outputFolder, const std::string& outputName) {
    if (folder.empty())
        folder = outputFolder;
    if (folder.size() > 1 && !ends_with_separator(folder))
        folder += native_separator();
    return folder + (name.empty() ? StripFolder(outputName) : name);
}

std::string BrowseButtonStart(std::string& browsePath, const std::string& outputName,
                              const std::string& currentDir) {
    if (browsePath.empty())
        browsePath = outputName;
    if (!has_separator(browsePath))
        browsePath = join(currentDir, browsePath);
    return browsePath;
}

} // namespace skyfetch
