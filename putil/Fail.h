#pragma once

namespace skyfetch {

// The utility library's answer to an exhausted heap: prints "Error in PUTIL library: out
// of memory" on standard output and on standard error, then ends the process with status
// 99 through the normal exit path (exit handlers run, streams are flushed).
[[noreturn]] void fail();

} // namespace skyfetch
