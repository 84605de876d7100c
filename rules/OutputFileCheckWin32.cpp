#include "rules/OutputFileCheck.h"

namespace skyfetch {

// Windows keeps a file that a program such as Excel has open from being replaced.
std::string CouldNotOpenMessage(const std::string& name, const std::string&) {
    return "Could not open \"" + name +
           "\" for output.\n"
           "An existing file with this name may currently be open (e.g. in Excel).\n"
           "If so, you have to first close it, save it under another name,\n"
           "or choose another name for the output file.";
}

} // namespace skyfetch
