// The settings file on Windows. Reads go through the system's profile
// functions (the W variants; the file itself stays in the ANSI code page, as
// the system keeps it). Writes edit the file's text the way those functions
// would and put the result in place through a temporary file, so that a
// save is whole or absent.
#include <windows.h>

#include "settings/ProfileFile_win.h"
#include "base/ReplaceFile_win.h"
#include "base/ScopedWin.h"
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

    // Key by key through the system, each call a rewrite of its own.
    bool WriteStrings(std::span<const ProfileEdit> edits) override {
        for (const ProfileEdit& e : edits)
            if (!WritePrivateProfileStringW(Widen(e.section).c_str(), Widen(e.key).c_str(), Widen(e.value).c_str(),
                                            widePath_.c_str()))
                return false;
        return true;
    }

    const std::string& Path() const override { return path_; }

protected:
    std::string path_;
    std::wstring widePath_;
};

// The replacement's temporary file written later than the file it replaces,
// and hidden or a system file when the user made that one so. The system's
// profile reader keeps a parsed copy for as long as the file's last-write
// time stays the same, and two saves within one tick of the file system's
// clock would otherwise leave it reading the older one.
class LaterReplaceOperations : public WinReplaceFileOperations {
public:
    LaterReplaceOperations(const FILETIME& previous, DWORD attributes)
        : previous_(previous), kept_(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {}

    bool WriteNew(const std::string& path, const std::string& bytes) override {
        return WinReplaceFileOperations::WriteNew(path, bytes) && WrittenLater(path) &&
               (!kept_ || SetFileAttributesW(Widen(path).c_str(), kept_));
    }

private:
    bool WrittenLater(const std::string& path) const {
        const ScopedHandle file(CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES, 0,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        FILETIME written{};
        if (!file || !GetFileTime(file.Get(), nullptr, nullptr, &written)) return false;
        if (CompareFileTime(&written, &previous_) > 0) return true;
        ULARGE_INTEGER later{};
        later.LowPart = previous_.dwLowDateTime;
        later.HighPart = previous_.dwHighDateTime;
        ++later.QuadPart;
        written.dwLowDateTime = later.LowPart;
        written.dwHighDateTime = later.HighPart;
        return SetFileTime(file.Get(), nullptr, nullptr, &written) != FALSE;
    }

    FILETIME previous_;
    DWORD kept_;
};

class WinSettingsFile : public WinProfileFile {
public:
    using WinProfileFile::WinProfileFile;

    bool WriteStrings(std::span<const ProfileEdit> edits) override {
        WIN32_FILE_ATTRIBUTE_DATA old{};
        const bool exists = GetFileAttributesExW(widePath_.c_str(), GetFileExInfoStandard, &old) != FALSE;
        if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        // A read-only file stays as it is, as the system's own write leaves it.
        if (exists && (old.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;
        std::string bytes;
        if (exists && !ReadAll(bytes)) return false;  // never a save over a file that could not be read
        std::optional<std::string> edited = EditProfileText(AnsiToUtf8(bytes), edits);
        if (!edited) return true;
        LaterReplaceOperations files(old.ftLastWriteTime, exists ? old.dwFileAttributes : 0);
        return ReplaceThroughTemporary(files, path_, Utf8ToAnsi(*edited));
    }

private:
    bool ReadAll(std::string& bytes) const {
        const ScopedHandle file(CreateFileW(widePath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        char buf[4096];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.Get(), buf, sizeof buf, &got, nullptr)) return false;
            if (got == 0) return true;
            bytes.append(buf, got);
        }
    }
};

}  // namespace

std::unique_ptr<ProfileFile> OpenSystemProfileFile(const std::string& path) {
    return std::make_unique<WinProfileFile>(path);
}

std::unique_ptr<ProfileFile> OpenSettingsFile(const std::string& path) {
    return std::make_unique<WinSettingsFile>(path);
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
