#include "SystemText.h"

#include "putil/Win32Support.h"

namespace skyfetch::test {
namespace {

std::string system_message(DWORD code) {
    wchar_t text[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 512, nullptr);
    const std::string message = win32::utf8(text, length);
    return message.substr(0, message.find_last_not_of(". \r\n") + 1);
}

} // namespace

std::string no_such_file_text() {
    return system_message(ERROR_FILE_NOT_FOUND);
}

std::string name_too_long_text() {
    return system_message(ERROR_FILENAME_EXCED_RANGE);
}

std::string closed_pipe_text() {
    return system_message(ERROR_NO_DATA);
}

} // namespace skyfetch::test
