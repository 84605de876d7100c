#pragma once

// Shared by the Win32 implementations of this folder only: UTF-8 inside, UTF-16 at the
// Win32 call, and Win32 error codes turned into the errno values the program uses.

#include <string>
#include <windows.h>

namespace skyfetch::win32 {

std::wstring wide(const std::string& utf8);
std::string utf8(const std::wstring& wide);
std::string utf8(const wchar_t* wide, std::size_t length);

// The errno value for a Win32 error code; the code itself is kept for the message
// (system_error_text) on this thread.
int errno_of(DWORD code);
// errno_of(GetLastError()).
int last_errno();

// A path as Win32 calls take it: '/' turned into '\'.
std::wstring native_path(const std::string& path);

// The console control handler of the temporary files (TemporaryFilesWin32.cpp): removes
// them on the events that end a console program and passes every event on (FALSE).
BOOL WINAPI on_console_event(DWORD event);

} // namespace skyfetch::win32
