// The settings file through the system's profile functions. The W variants are
// used; the file itself stays in the ANSI code page, as the system keeps it.
#include <windows.h>

#include "settings/ProfileFile_win.h"
#include "base/Text.h"
#include "base/WinText_win.h"

namespace vesko {
namespace {

class WinProfileFile : public ProfileFile {
public:
    explicit WinProfileFile(std::string path) : path_(std::move(path)), widePath_(Widen(path_)) {}

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override {
        wchar_t buf[kMaxValueLength + 1];
        DWORD n = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(defaultValue).c_str(), buf,
                                           kMaxValueLength + 1, widePath_.c_str());
        // A cut that fell inside a surrogate pair drops the lone half.
        if (n > 0 && n == kMaxValueLength && IS_HIGH_SURROGATE(buf[n - 1])) --n;
        return Narrow(std::wstring(buf, n));
    }

    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override {
        return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                                          widePath_.c_str()) != FALSE;
    }

    const std::string& Path() const override { return path_; }

private:
    std::string path_;
    std::wstring widePath_;
};

}  // namespace

std::unique_ptr<ProfileFile> OpenSystemProfileFile(const std::string& path) {
    return std::make_unique<WinProfileFile>(path);
}

TextFileAccess AnsiFileAccess() {
    TextFileAccess a = TextFileAccess::Plain();
    a.read = [](const std::string& path) -> std::optional<std::string> {
        HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return std::nullopt;
        std::string bytes;
        char buf[4096];
        DWORD got = 0;
        while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
        CloseHandle(h);
        return bytes;
    };
    a.write = [](const std::string& path, const std::string& bytes) {
        HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        DWORD put = 0;
        BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
        CloseHandle(h);
        return ok && put == bytes.size();
    };
    a.toUtf8 = AnsiToUtf8;
    a.fromUtf8 = Utf8ToAnsi;
    return a;
}

}  // namespace vesko
