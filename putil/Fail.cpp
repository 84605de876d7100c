#include "putil/Fail.h"

#include <cstdio>
#include <cstdlib>

namespace skyfetch {

void fail() {
    static const char kMessage[] = "Error in PUTIL library: out of memory\n";
    std::fputs(kMessage, stdout);
    std::fputs(kMessage, stderr);
    std::exit(99);
}

} // namespace skyfetch
