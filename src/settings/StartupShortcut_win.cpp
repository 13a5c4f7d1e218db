// The shell side of the start-with-Windows switch: the Startup folder and the
// link file through the Unicode shell-link interface, since the program's
// folder may hold characters the ANSI code page lacks.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <optional>
#include <string>

#include "base/Error.h"
#include "base/ScopedWin.h"
#include "base/WinText_win.h"
#include "settings/StartupShortcut.h"

namespace vesko {
namespace {

void Check(HRESULT hr) {
    if (FAILED(hr)) throw AppError(SystemErrorText(static_cast<unsigned long>(hr)), static_cast<std::uint32_t>(hr));
}

[[noreturn]] void ThrowSystemError(DWORD error) { throw AppError(SystemErrorText(error), error); }

bool IsAbsence(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Every link file opens with its header's size (0x4C) and the shell link's
// class id: a file without them is no link, whatever the shell would say of
// it. Looking first keeps "not a link" apart from a shell that fails.
bool HasLinkHeader(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) ThrowSystemError(GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowSystemError(GetLastError());
    static constexpr unsigned char kHeader[20] = {0x4C, 0x00, 0x00, 0x00, 0x01, 0x14, 0x02, 0x00, 0x00, 0x00,
                                                  0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    unsigned char header[sizeof kHeader] = {};
    DWORD read = 0;
    if (!ReadFile(file.Get(), header, sizeof header, &read, nullptr)) ThrowSystemError(GetLastError());
    return read == sizeof header && std::memcmp(header, kHeader, sizeof header) == 0;
}

// Declared first, COM is there before the interfaces and goes after them.
struct LinkObject {
    ScopedComInit com;
    ScopedComPtr<IShellLinkW> link;
    ScopedComPtr<IPersistFile> file;
    LinkObject() {
        Check(com.CreateInstance(CLSID_ShellLink, IID_IShellLinkW, link.OutVoid()));
        Check(link->QueryInterface(IID_IPersistFile, file.OutVoid()));
    }
};

class WinShellLinks : public ShellLinks {
public:
    std::string StartupFolder() override {
        // By path, not through an item list: item lists are COM allocations,
        // which would load COM into the resident program at every start.
        wchar_t path[MAX_PATH] = {};
        Check(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, path));
        std::wstring folder = path;
        if (folder.empty()) Check(E_FAIL);
        if (folder.back() == L'\\') folder.pop_back();
        return Narrow(folder);
    }

    std::string OwnPath() override {
        std::wstring buffer(MAX_PATH, L'\0');
        for (;;) {
            const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n < buffer.size()) return Narrow(buffer.substr(0, n));
            buffer.resize(buffer.size() * 2);
        }
    }

    bool FileExists(const std::string& path) override {
        if (GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        const DWORD error = GetLastError();
        // A folder that cannot be looked into may hold the link.
        if (!IsAbsence(error)) ThrowSystemError(error);
        return false;
    }

    void WriteLink(const std::string& path, const ShellLinkFields& fields) override {
        LinkObject object;
        Check(object.link->SetArguments(Widen(fields.arguments).c_str()));
        Check(object.link->SetPath(Widen(fields.target).c_str()));
        Check(object.link->SetWorkingDirectory(Widen(fields.workingFolder).c_str()));
        Check(object.file->Save(Widen(path).c_str(), FALSE));
    }

    std::optional<ShellLinkFields> ReadLink(const std::string& path) override {
        const std::wstring wide = Widen(path);
        if (!HasLinkHeader(wide)) return std::nullopt;
        LinkObject object;
        Check(object.file->Load(wide.c_str(), STGM_READ));
        wchar_t text[MAX_PATH] = {};
        ShellLinkFields fields;
        // The path as stored; nothing is resolved or searched for.
        Check(object.link->GetPath(text, MAX_PATH, nullptr, 0));
        fields.target = Narrow(text);
        Check(object.link->GetArguments(text, MAX_PATH));
        fields.arguments = Narrow(text);
        return fields;
    }

    void RemoveFile(const std::string& path) override {
        if (DeleteFileW(Widen(path).c_str())) return;
        const DWORD error = GetLastError();
        if (!IsAbsence(error)) ThrowSystemError(error);
    }

    std::string ErrorText(std::uint32_t code) override { return SystemErrorText(code); }
};

}  // namespace

std::unique_ptr<StartupShortcut> OpenStartupShortcut() {
    return std::make_unique<StartupShortcutRules>(std::make_unique<WinShellLinks>());
}

}  // namespace vesko
