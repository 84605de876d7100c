#include "rules/FolderTree.h"

#include "rules/OutputName.h"

namespace skyfetch {

namespace {

bool ends_with_slash(const std::string& s) {
    return !s.empty() && s.back() == '/';
}

// a + "/" + b, without doubling the separator after the root.
std::string join(const std::string& a, const std::string& b) {
    return ends_with_slash(a) ? a + b : a + "/" + b;
}

} // namespace

std::vector<std::string> SplitTreePath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    if (!path.empty() && path[0] == '/') {
        parts.emplace_back("/");
        pos = 1;
    }
    while (pos <= path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        if (slash > pos)
            parts.push_back(path.substr(pos, slash - pos));
        pos = slash + 1;
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
    if (path.find('/') == std::string::npos && !outputFolder.empty())
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
    // A relative chain's top item has no separator of its own; a folder path needs one.
    if (clickedPath.find('/') == std::string::npos)
        clickedPath += "/";
    std::string parentPath;
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        parentPath += chain[i];
        if (!ends_with_slash(parentPath))
            parentPath += "/";
    }
    if (chain.size() != itemCount) {
        click.folder = clickedPath;
    } else {
        click.name = chain.back();
        click.folder = parentPath;
    }
    if (click.folder != outputFolder && click.folder != outputFolder + "/") {
        click.askFolderChange = true;
        click.question = "Do you want to change the output folder to " + click.folder + "?";
    }
    return click;
}

std::string BrowseFromFolderStart(std::string& folder, const std::string& name,
                                  const std::string& outputFolder, const std::string& outputName) {
    if (folder.empty())
        folder = outputFolder;
    if (folder.size() > 1 && !ends_with_slash(folder))
        folder += "/";
    return folder + (name.empty() ? StripFolder(outputName) : name);
}

std::string BrowseButtonStart(std::string& browsePath, const std::string& outputName,
                              const std::string& currentDir) {
    if (browsePath.empty())
        browsePath = outputName;
    if (browsePath.find('/') == std::string::npos)
        browsePath = join(currentDir, browsePath);
    return browsePath;
}

} // namespace skyfetch
