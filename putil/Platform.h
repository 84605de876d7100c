#pragma once

// The few constants in which the platforms differ; everything else of the platform lives
// behind the interfaces of this folder, with a POSIX and a Win32 implementation.

namespace skyfetch {

#ifdef _WIN32
// Paths take '\' as well as '/' between folders, start with a drive ("C:\") or a share
// ("\\server\share\"), and name the same file in any case of letters.
inline constexpr bool kWindowsPaths = true;
// A text file ends its lines as a text-mode write does there.
inline constexpr const char* kTextLineEnd = "\r\n";
#else
inline constexpr bool kWindowsPaths = false;
inline constexpr const char* kTextLineEnd = "\n";
#endif

} // namespace skyfetch
