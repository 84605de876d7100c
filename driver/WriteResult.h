#pragma once

#include <string>
#include <utility>

namespace skyfetch {

// Why a file could not be written.
enum class WriteFailure {
    None,
    Open,   // the file (or its temporary) could not be created
    Write,  // a write, the flush to disk, the close or the final rename failed
    Exists, // the caller asked not to replace a file, and one is there
};

// Outcome of writing a file: ok, or the failure with a readable reason that names the
// file and the system's error text.
struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    std::string error;
    int systemError = 0; // the errno behind the failure, when the system gave one

    bool ok() const { return failure == WriteFailure::None; }
    explicit operator bool() const { return ok(); }

    static WriteResult success() { return {}; }
    static WriteResult failed(WriteFailure why, std::string text, int systemError = 0) {
        return {why, std::move(text), systemError};
    }
};

} // namespace skyfetch
