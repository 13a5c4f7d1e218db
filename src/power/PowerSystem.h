#pragma once
// The system calls through which Windows is ended, the session logged off and
// the machine put to sleep. The Windows build binds them one to one
// (PowerActions_win.cpp); tests record them. Names differ from the Win32 ones where
// those are A/W macros.
#include <cstdint>
#include <optional>
#include <string>

#include "power/SleepKinds.h"
#include "power/WakeTimer.h"

namespace vesko {

// The three fields of OSVERSIONINFO that the power decisions read.
struct OsVersionRecord {
    std::uint32_t platformId = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
};

inline constexpr std::uint32_t kPlatformWin32Windows = 1;  // the 9x family
inline constexpr std::uint32_t kPlatformWin32NT = 2;

// A handle of the system (module, token, window); 0 means none.
using SystemHandle = std::uintptr_t;

class PowerSystem {
public:
    virtual ~PowerSystem() = default;

    // GetVersionExA with the size field 148; zeros when it fails.
    virtual OsVersionRecord ReadVersion() = 0;

    // Token of the current process opened with the access mask; 0 on failure.
    virtual SystemHandle OpenProcessToken(std::uint32_t desiredAccess) = 0;
    // The local identifier of a privilege name, packed high:low.
    virtual std::optional<std::uint64_t> LookupPrivilege(const std::string& name) = 0;
    // One privilege with the attributes, no previous state asked for.
    virtual bool AdjustTokenPrivileges(SystemHandle token, std::uint64_t luid, std::uint32_t attributes) = 0;
    virtual void CloseHandle(SystemHandle handle) = 0;

    // `reason`: a shutdown reason on the NT family, reserved (0) on 9x.
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
    // Truth values as 32-bit numbers: -1 true, 0 false. Blocks until the resume.
    virtual bool SetSystemPowerState(std::int32_t suspend, std::int32_t force) = 0;

    virtual SystemHandle LoadLibraryByName(const std::string& name) = 0;
    // Calls a BOOLEAN export without arguments; nullopt when there is no such export.
    virtual std::optional<bool> CallBoolExport(SystemHandle module, const std::string& exportName) = 0;
    virtual std::uintptr_t GetProcAddress(SystemHandle module, const std::string& name) = 0;
    virtual void FreeLibrary(SystemHandle module) = 0;
    // GetPwrCapabilities and the active plan's hybrid sleep; functions this
    // Windows lacks leave their part unknown. The allowed flags stay false.
    virtual SleepCapabilities ReadSleepCapabilities() = 0;
    // A waitable timer that resumes the machine at `dueLocal` (local time),
    // replacing the one set before; the program keeps it while the machine
    // sleeps.
    virtual WakeTimerAnswer SetWakeTimer(DateTime dueLocal) = 0;
    // Whether the last resume came without a user (a timer): IsSystemResumeAutomatic.
    virtual bool ResumedAutomatically() = 0;

    // The 16-bit side of Windows 9x, reached through KERNEL32's ordinals 35,
    // 37 and 36 and QT_Thunk.
    virtual std::uint32_t LoadLibrary16(const std::string& name) = 0;                             // below 32: failure
    virtual std::uint32_t GetProcAddress16(std::uint32_t module16, const std::string& name) = 0;  // 16:16, 0: none
    virtual void FreeLibrary16(std::uint32_t module16) = 0;
    // Calls target16 through QT_Thunk with a 32-bit and a 16-bit argument,
    // pushed in that order; the 16-bit result.
    virtual std::uint16_t CallThunk16(std::uintptr_t qtThunk, std::uint32_t target16, std::uint32_t arg32,
                                      std::uint16_t arg16) = 0;

    // ShellExecute with no owner window; the instance value it returns.
    virtual std::intptr_t ShellExecuteOpen(const std::string& verb, const std::string& file,
                                           const std::string& parameters, const std::string& directory,
                                           int showCommand) = 0;
    virtual SystemHandle FindWindowByClass(const std::string& className) = 0;
    virtual bool PostWindowMessage(SystemHandle window, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // dwFileVersionMS of a file's version resource; 0 when it has none or a call fails.
    virtual std::uint32_t FileVersionMS(const std::string& file) = 0;

    // The ordinary close request of the application's main window.
    virtual void CloseMainWindow() = 0;
};

// A library loaded through PowerSystem, freed when the guard goes (also when a
// call made with it raises). Holds nothing when the load failed.
class LoadedLibrary {
public:
    LoadedLibrary(PowerSystem& system, const std::string& name)
        : system_(system), module_(system.LoadLibraryByName(name)) {}
    ~LoadedLibrary() {
        if (module_ != 0) system_.FreeLibrary(module_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    SystemHandle Get() const { return module_; }
    explicit operator bool() const { return module_ != 0; }

private:
    PowerSystem& system_;
    SystemHandle module_;
};

// The same for a module of the 16-bit loader, whose answers below 32 are
// error codes and hold nothing.
class LoadedLibrary16 {
public:
    LoadedLibrary16(PowerSystem& system, const std::string& name)
        : system_(system), module_(system.LoadLibrary16(name)) {}
    ~LoadedLibrary16() {
        if (*this) system_.FreeLibrary16(module_);
    }
    LoadedLibrary16(const LoadedLibrary16&) = delete;
    LoadedLibrary16& operator=(const LoadedLibrary16&) = delete;

    std::uint32_t Get() const { return module_; }
    explicit operator bool() const { return module_ >= 32; }

private:
    PowerSystem& system_;
    std::uint32_t module_;
};

}  // namespace vesko
