#include <windows.h>

#include "base/ScopedWin.h"
#include "log/EventLog_win.h"
#include "base/WinText_win.h"

namespace vesko {
namespace {

SYSTEMTIME ToSystemTime(const DateTimeParts& p) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(p.year);
    st.wMonth = static_cast<WORD>(p.month);
    st.wDay = static_cast<WORD>(p.day);
    st.wHour = static_cast<WORD>(p.hour);
    st.wMinute = static_cast<WORD>(p.minute);
    st.wSecond = static_cast<WORD>(p.second);
    return st;
}

}  // namespace

std::optional<std::string> WinLogFileSystem::Read(const std::string& path, bool& ok) {
    ok = true;
    const ScopedHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND) return std::nullopt;
        ok = false;
        return std::nullopt;
    }
    std::string bytes;
    char buf[16384];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file.Get(), buf, sizeof buf, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        bytes.append(buf, got);
    }
    return bytes;
}

bool WinLogFileSystem::IsReadOnly(const std::string& path) {
    DWORD attrs = GetFileAttributesW(Widen(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY);
}

std::string WinLogFileSystem::ToFileText(const std::string& utf8) { return Utf8ToAnsi(utf8); }

std::string WinLocaleFormats::ShortDate(const DateTimeParts& p) const {
    SYSTEMTIME st = ToSystemTime(p);
    wchar_t buf[128];
    int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, 128);
    return n > 0 ? Narrow(std::wstring(buf, static_cast<std::size_t>(n - 1))) : JapaneseLocaleFormats().ShortDate(p);
}

std::string WinLocaleFormats::LongTime(const DateTimeParts& p) const {
    SYSTEMTIME st = ToSystemTime(p);
    wchar_t buf[128];
    int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, 128);
    return n > 0 ? Narrow(std::wstring(buf, static_cast<std::size_t>(n - 1))) : JapaneseLocaleFormats().LongTime(p);
}

}  // namespace vesko
