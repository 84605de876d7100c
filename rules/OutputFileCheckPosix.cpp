#include "rules/OutputFileCheck.h"

namespace skyfetch {

std::string CouldNotOpenMessage(const std::string& name, const std::string& reason) {
    std::string text = "Could not open \"" + name + "\" for output.\n";
    if (!reason.empty())
        text += reason + ".\n";
    return text + "Choose another folder or another name for the output file.";
}

} // namespace skyfetch
