// The shell side of the start-with-Windows switch: the Startup folder and the
// link file through the Unicode shell-link interface, since the program's
// folder may hold characters the ANSI code page lacks.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

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

// A COM interface pointer released when it goes.
template <class I>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    I* operator->() const { return p_; }
    I** Out() { return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(&p_); }

private:
    I* p_ = nullptr;
};

// Declared first, COM is there before the interfaces and goes after them.
struct LinkObject {
    ScopedComInit com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
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
        return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    void WriteLink(const std::string& path, const ShellLinkFields& fields) override {
        LinkObject object;
        Check(object.link->SetArguments(Widen(fields.arguments).c_str()));
        Check(object.link->SetPath(Widen(fields.target).c_str()));
        Check(object.link->SetWorkingDirectory(Widen(fields.workingFolder).c_str()));
        Check(object.file->Save(Widen(path).c_str(), FALSE));
    }

    ShellLinkFields ReadLink(const std::string& path) override {
        LinkObject object;
        Check(object.file->Load(Widen(path).c_str(), STGM_READ));
        wchar_t text[MAX_PATH] = {};
        ShellLinkFields fields;
        // The path as stored; nothing is resolved or searched for.
        Check(object.link->GetPath(text, MAX_PATH, nullptr, 0));
        fields.target = Narrow(text);
        Check(object.link->GetArguments(text, MAX_PATH));
        fields.arguments = Narrow(text);
        return fields;
    }

    void RemoveFile(const std::string& path) override { DeleteFileW(Widen(path).c_str()); }

    std::string ErrorText(std::uint32_t code) override { return SystemErrorText(code); }
};

}  // namespace

std::unique_ptr<StartupShortcut> OpenStartupShortcut() {
    return std::make_unique<StartupShortcutRules>(std::make_unique<WinShellLinks>());
}

}  // namespace vesko
