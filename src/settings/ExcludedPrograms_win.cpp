#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

#include "settings/ExcludedPrograms.h"
#include "base/ReplaceFile_win.h"
#include "base/SystemLibrary_win.h"
#include "base/WinText_win.h"

namespace vesko {
namespace {

class HandleGuard {
public:
    explicit HandleGuard(HANDLE h) : h_(h) {}
    ~HandleGuard() {
        if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
    HANDLE get() const { return h_; }
    bool ok() const { return h_ && h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

bool IsPlainFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- The list file -------------------------------------------------------

class WinExcludedListFile : public ExcludedListFile {
public:
    WinExcludedListFile() : path_(ExeFolder() + kExcludedListFileName), widePath_(Widen(path_)) {}

    const std::string& Path() const override { return path_; }

    bool Exists() override { return IsPlainFile(widePath_); }

    std::optional<std::string> Read() override {
        HandleGuard file(CreateFileW(widePath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.ok()) return std::nullopt;
        std::string bytes;
        char buffer[4096];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
            if (got == 0) break;
            bytes.append(buffer, got);
        }
        return AnsiToUtf8(bytes);
    }

    // The new list takes the old one's place through a temporary file, so
    // that a failed write never leaves half a list.
    bool Write(const std::string& text) override {
        WinReplaceFileOperations files;
        return ReplaceThroughTemporary(files, path_, Utf8ToAnsi(text));
    }

    // Through the code page and back: a character it lacks (or maps to a
    // look-alike) comes back different.
    bool CanHold(const std::string& text) override { return AnsiToUtf8(Utf8ToAnsi(text)) == text; }

private:
    std::string path_;
    std::wstring widePath_;
};

// ---- Processes --------------------------------------------------------

class WinProgramSystem : public ProgramSystem {
public:
    WinProgramSystem() {
        queryImageName_ = Kernel32Function<QueryImageNameFn>("QueryFullProcessImageNameW");
        if (!queryImageName_) {
            psapi_ = LoadSystemLibrary(L"psapi.dll");
            if (psapi_) {
                moduleFileName_ = reinterpret_cast<ModuleFileNameFn>(
                    reinterpret_cast<void*>(GetProcAddress(psapi_, "GetModuleFileNameExW")));
            }
        }
    }
    ~WinProgramSystem() override {
        if (psapi_) FreeLibrary(psapi_);
    }

    std::optional<std::vector<RunningProcess>> ListProcesses() override {
        HandleGuard snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot.ok()) return std::nullopt;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        if (!Process32FirstW(snapshot.get(), &entry)) return std::nullopt;
        std::vector<RunningProcess> processes;
        do {
            const std::wstring exeName(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH));
            processes.push_back({std::string(), Narrow(exeName), entry.th32ProcessID});
        } while (Process32NextW(snapshot.get(), &entry));
        return processes;
    }

    std::string ImagePathOf(std::uint32_t processId) override { return Narrow(ImagePath(processId)); }

    std::string FullPathName(const std::string& path) override {
        const std::wstring wide = Widen(path);
        std::wstring full = GetPath(wide, [](const std::wstring& in, std::wstring& out) {
            return GetFullPathNameW(in.c_str(), static_cast<DWORD>(out.size()), out.data(), nullptr);
        });
        if (full.empty()) return path;
        // A short (8.3) name in the list would never equal a process's image path.
        std::wstring longName = GetPath(full, [](const std::wstring& in, std::wstring& out) {
            return GetLongPathNameW(in.c_str(), out.data(), static_cast<DWORD>(out.size()));
        });
        return Narrow(longName.empty() ? full : longName);
    }

    bool FileExists(const std::string& path) override { return IsPlainFile(Widen(path)); }

    bool ExclusiveOpenFails(const std::string& path) override {
        HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return true;
        CloseHandle(h);
        return false;
    }

private:
    using QueryImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    using ModuleFileNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);

    // Calls a "fill this buffer" function, growing the buffer while the
    // answer names a larger size. Empty on failure.
    template <typename Fill>
    static std::wstring GetPath(const std::wstring& in, Fill fill) {
        std::wstring out(MAX_PATH, L'\0');
        for (int attempt = 0; attempt < 3; ++attempt) {
            const DWORD n = fill(in, out);
            if (n == 0) return {};
            if (n < out.size()) {
                out.resize(n);
                return out;
            }
            out.resize(n + 1);
        }
        return {};
    }

    std::wstring ImagePath(DWORD pid) {
        if (pid == 0) return {};
        if (queryImageName_) {
            // Limited query rights are granted even for other users' and
            // elevated processes.
            HandleGuard process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
            if (!process.ok()) return {};
            DWORD size = static_cast<DWORD>(buffer_.size());
            if (!queryImageName_(process.get(), 0, buffer_.data(), &size)) return {};
            return std::wstring(buffer_.data(), size);
        }
        if (moduleFileName_) {
            HandleGuard process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
            if (!process.ok()) return {};
            const DWORD n = moduleFileName_(process.get(), nullptr, buffer_.data(), static_cast<DWORD>(buffer_.size()));
            if (n == 0) return {};
            return std::wstring(buffer_.data(), n);
        }
        return {};
    }

    std::wstring buffer_ = std::wstring(32768, L'\0');  // the longest path the system allows
    QueryImageNameFn queryImageName_ = nullptr;
    HMODULE psapi_ = nullptr;
    ModuleFileNameFn moduleFileName_ = nullptr;
};

}  // namespace

std::unique_ptr<ExcludedListFile> OpenExcludedListFile() { return std::make_unique<WinExcludedListFile>(); }

std::unique_ptr<ProgramSystem> CreateProgramSystem() { return std::make_unique<WinProgramSystem>(); }

}  // namespace vesko
