#pragma once
// The real system behind PowerActions and the availability check. Its calls end the
// session, restart or sleep the machine: use it only in the Windows program.
#include <functional>
#include <map>
#include <string>

#include "power/PowerSystem.h"

namespace vesko {

class WinPowerSystem : public PowerSystem {
public:
    // closeMainWindow: the main window's ordinary close request, used by the Windows 9x log-off.
    explicit WinPowerSystem(std::function<void()> closeMainWindow) : closeMainWindow_(std::move(closeMainWindow)) {}

    OsVersionRecord ReadVersion() override;
    SystemHandle OpenProcessToken(std::uint32_t desiredAccess) override;
    std::optional<std::uint64_t> LookupPrivilege(const std::string& name) override;
    bool AdjustTokenPrivileges(SystemHandle token, std::uint64_t luid, std::uint32_t attributes) override;
    void CloseHandle(SystemHandle handle) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
    bool SetSystemPowerState(std::int32_t suspend, std::int32_t force) override;
    SystemHandle LoadLibraryByName(const std::string& name) override;
    std::optional<bool> CallBoolExport(SystemHandle module, const std::string& exportName) override;
    std::uintptr_t GetProcAddress(SystemHandle module, const std::string& name) override;
    void FreeLibrary(SystemHandle module) override;
    SleepCapabilities ReadSleepCapabilities() override;        // SleepCapabilities_win.cpp
    WakeTimerAnswer SetWakeTimer(DateTime dueLocal) override;  // SleepCapabilities_win.cpp
    bool ResumedAutomatically() override;                      // SleepCapabilities_win.cpp
    std::uint32_t LoadLibrary16(const std::string& name) override;
    std::uint32_t GetProcAddress16(std::uint32_t module16, const std::string& name) override;
    void FreeLibrary16(std::uint32_t module16) override;
    std::uint16_t CallThunk16(std::uintptr_t qtThunk, std::uint32_t target16, std::uint32_t arg32,
                              std::uint16_t arg16) override;
    std::intptr_t ShellExecuteOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                                   const std::string& directory, int showCommand) override;
    SystemHandle FindWindowByClass(const std::string& className) override;
    bool PostWindowMessage(SystemHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t FileVersionMS(const std::string& file) override;
    void CloseMainWindow() override;

private:
    std::function<void()> closeMainWindow_;
    // Libraries stay loaded once loaded: the availability check asks
    // Powrprof.dll twice a second, and loading and freeing it each time costs
    // hundreds of system calls. FreeLibrary leaves these alone.
    std::map<std::string, SystemHandle> keptLibraries_;
    SystemHandle wakeTimer_ = 0;  // made at the first wake-up, kept to the end
};

}  // namespace vesko
