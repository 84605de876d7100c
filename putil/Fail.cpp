#include "putil/Fail.h"

#include "putil/FatalMessage.h"

#include <cstdio>
#include <cstdlib>

namespace skyfetch {

void fail() {
    static const char kMessage[] = "Error in PUTIL library: out of memory\n";
    std::fputs(kMessage, stdout);
    std::fputs(kMessage, stderr);
    std::fflush(stdout);
    fatal_end();
}

} // namespace skyfetch
