#pragma once

namespace skyfetch {

// Called first thing in main(), before any file is opened.
//
// Standard input, output and error that the process was started without are opened on
// the null device, so that no file the program opens later can take their numbers and
// receive what was meant for the terminal. A closed output is opened for reading only
// (and a closed input for writing only), so that writing to it still fails, as it would
// have: the program reports the lost output instead of pretending it arrived.
//
// A write to a closed pipe or beyond the file-size limit is reported as the failed write
// it is (EPIPE, EFBIG) instead of ending the process with SIGPIPE or SIGXFSZ.
void prepare_process_io();

} // namespace skyfetch
