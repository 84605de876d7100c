#pragma once

namespace skyfetch {

// The utility library's answer to an exhausted heap: prints "Error in PUTIL library: out
// of memory" on standard output and on standard error, then ends the process with status
// 99 as fatal_exit does (FatalMessage.h): through the normal exit path when it is the
// only thread, at once otherwise; temporary files in flight are removed either way.
[[noreturn]] void fail();

} // namespace skyfetch
