#pragma once
// Conversions at the Win32 boundary: UTF-8 inside the program, UTF-16 for the
// W functions, the system ANSI code page for files. Windows build only.
#include <string>

namespace vesko {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& ansi);
// The executable's folder with its trailing separator (UTF-8).
std::string ExeFolder();
// The system's description of an error code or failure result (UTF-8), or
// "エラー 0x…" when it has none.
std::string SystemErrorText(unsigned long code);

}  // namespace vesko
