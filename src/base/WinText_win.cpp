#include <windows.h>

#include <cstdio>

#include "base/WinText_win.h"

namespace vesko {
namespace {

std::wstring ToWide(UINT codePage, const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string FromWide(UINT codePage, const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

}  // namespace

std::wstring Widen(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }
std::string Narrow(const std::wstring& wide) { return FromWide(CP_UTF8, wide); }
std::string Utf8ToAnsi(const std::string& utf8) { return FromWide(CP_ACP, Widen(utf8)); }
std::string AnsiToUtf8(const std::string& ansi) { return Narrow(ToWide(CP_ACP, ansi)); }

std::string ExeFolder() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) {
            buf.resize(n);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    std::size_t slash = buf.find_last_of(L"\\/");
    return Narrow(buf.substr(0, slash + 1));
}

std::string SystemErrorText(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = n && text ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!description.empty() &&
           (description.back() == L'\r' || description.back() == L'\n' || description.back() == L' '))
        description.pop_back();
    if (!description.empty()) return Narrow(description);
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%08lX", code);
    return std::string("エラー ") + hex;
}

}  // namespace vesko
