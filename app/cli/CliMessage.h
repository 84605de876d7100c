#pragma once

#include <string>

namespace skyfetch {

// What every refusal of a file that already exists ends with, where --force would let
// the file be replaced.
inline constexpr const char* kForceHint = " (use --force to replace it)";

// A message as skyfetch-cli prints it on standard error: "skyfetch-cli: " in front (once:
// a text that starts with it already keeps the one it has), no blank or tab at the end of
// any of its lines, and a newline after the last. The texts shared with the window (range
// messages, the short spin-up warning) come as the window shows them.
std::string CliMessage(const std::string& text);

} // namespace skyfetch
