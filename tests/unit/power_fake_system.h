#pragma once
// A PowerSystem that answers from fields and records every call as text, so
// that tests can check which requests are made, with which flags, in order.
#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>
#include <optional>
#include <string>
#include <vector>

#include "power/PowerSystem.h"

namespace vesko::testing {

inline constexpr OsVersionRecord kNT351{kPlatformWin32NT, 3, 51};
inline constexpr OsVersionRecord kNT4{kPlatformWin32NT, 4, 0};
inline constexpr OsVersionRecord kNT5{kPlatformWin32NT, 5, 0};
inline constexpr OsVersionRecord kXP{kPlatformWin32NT, 5, 1};
inline constexpr OsVersionRecord kWin7{kPlatformWin32NT, 6, 1};
inline constexpr OsVersionRecord kWin95{kPlatformWin32Windows, 4, 0};
inline constexpr OsVersionRecord kWin98{kPlatformWin32Windows, 4, 10};
inline constexpr OsVersionRecord kWinMe{kPlatformWin32Windows, 4, 90};

class FakePowerSystem : public PowerSystem {
public:
    OsVersionRecord version = kXP;
    bool tokenOpens = true, privilegeFound = true, adjustOk = true;
    bool exitAccepted = true, powerStateAccepted = true;
    bool powrprofLoads = true;
    SleepCapabilities sleep;
    std::map<std::string, std::optional<bool>> exports{{"IsPwrSuspendAllowed", true}, {"IsPwrHibernateAllowed", true}};
    std::uint32_t user16 = 0x1F37;
    std::uint32_t exitWindows16 = 0x01170042;
    bool kernel32Loads = true;
    std::uintptr_t qtThunk = 0xBFF7;
    std::uint16_t thunkResult = 1;
    std::intptr_t shellResult = 42;
    // Successive answers of FindWindowByClass; the last one repeats.
    std::vector<SystemHandle> progmanAnswers{0x500, 0};
    std::uint32_t shellVersionMS = 0x00040048;  // 4.72
    bool closeThrows = false;
    // Runs inside SetSystemPowerState, as the machine sleeps.
    std::function<void()> whileAsleep;

    std::vector<std::string> calls;

    bool Called(const std::string& prefix) const {
        for (const auto& c : calls)
            if (c.rfind(prefix, 0) == 0) return true;
        return false;
    }

    OsVersionRecord ReadVersion() override { return version; }
    SystemHandle OpenProcessToken(std::uint32_t access) override {
        calls.push_back("OpenProcessToken(" + Hex(access) + ")");
        return tokenOpens ? 0x7A : 0;
    }
    std::optional<std::uint64_t> LookupPrivilege(const std::string& name) override {
        calls.push_back("LookupPrivilege(" + name + ")");
        if (!privilegeFound) return std::nullopt;
        return 0x13;
    }
    bool AdjustTokenPrivileges(SystemHandle token, std::uint64_t luid, std::uint32_t attributes) override {
        calls.push_back("AdjustTokenPrivileges(" + Hex(token) + "," + Hex(luid) + "," + std::to_string(attributes) +
                        ")");
        return adjustOk;
    }
    void CloseHandle(SystemHandle handle) override { calls.push_back("CloseHandle(" + Hex(handle) + ")"); }
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
        calls.push_back("ExitWindowsEx(" + std::to_string(flags) + "," + std::to_string(reason) + ")");
        return exitAccepted;
    }
    bool SetSystemPowerState(std::int32_t suspend, std::int32_t force) override {
        calls.push_back("SetSystemPowerState(" + std::to_string(suspend) + "," + std::to_string(force) + ")");
        if (powerStateAccepted && whileAsleep) whileAsleep();
        return powerStateAccepted;
    }
    SystemHandle LoadLibraryByName(const std::string& name) override {
        calls.push_back("LoadLibrary(" + name + ")");
        if (name == "Powrprof.dll") return powrprofLoads ? 0xB0 : 0;
        if (name == "Kernel32.dll") return kernel32Loads ? 0xC0 : 0;
        return 0;
    }
    std::optional<bool> CallBoolExport(SystemHandle, const std::string& exportName) override {
        calls.push_back("Call(" + exportName + ")");
        auto it = exports.find(exportName);
        return it == exports.end() ? std::nullopt : it->second;
    }
    std::uintptr_t GetProcAddress(SystemHandle module, const std::string& name) override {
        calls.push_back("GetProcAddress(" + Hex(module) + "," + name + ")");
        return name == "QT_Thunk" ? qtThunk : 0;
    }
    void FreeLibrary(SystemHandle module) override { calls.push_back("FreeLibrary(" + Hex(module) + ")"); }
    SleepCapabilities ReadSleepCapabilities() override { return sleep; }
    // The wake timers set, what setting one answers, whether the resume was the timer's.
    std::vector<DateTime> wakeTimers;
    WakeTimerAnswer wakeAnswer{true, 0};
    bool resumedAutomatically = false;
    WakeTimerAnswer SetWakeTimer(DateTime due) override {
        wakeTimers.push_back(due);
        return wakeAnswer;
    }
    bool ResumedAutomatically() override { return resumedAutomatically; }
    std::uint32_t LoadLibrary16(const std::string& name) override {
        calls.push_back("LoadLibrary16(" + name + ")");
        return user16;
    }
    std::uint32_t GetProcAddress16(std::uint32_t module16, const std::string& name) override {
        calls.push_back("GetProcAddress16(" + Hex(module16) + "," + name + ")");
        return exitWindows16;
    }
    void FreeLibrary16(std::uint32_t module16) override { calls.push_back("FreeLibrary16(" + Hex(module16) + ")"); }
    std::uint16_t CallThunk16(std::uintptr_t thunk, std::uint32_t target16, std::uint32_t arg32,
                              std::uint16_t arg16) override {
        calls.push_back("CallThunk16(" + Hex(thunk) + "," + Hex(target16) + "," + Hex(arg32) + "," +
                        std::to_string(arg16) + ")");
        return thunkResult;
    }
    std::intptr_t ShellExecuteOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                                   const std::string& directory, int showCommand) override {
        calls.push_back("ShellExecute(" + verb + "," + file + ",'" + parameters + "','" + directory + "'," +
                        std::to_string(showCommand) + ")");
        return shellResult;
    }
    SystemHandle FindWindowByClass(const std::string& className) override {
        calls.push_back("FindWindow(" + className + ")");
        if (findIndex_ < progmanAnswers.size()) return progmanAnswers[findIndex_++];
        return progmanAnswers.empty() ? 0 : progmanAnswers.back();
    }
    bool PostWindowMessage(SystemHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override {
        calls.push_back("PostMessage(" + Hex(window) + "," + Hex(message) + "," + std::to_string(wParam) + "," +
                        std::to_string(lParam) + ")");
        return true;
    }
    void Sleep(std::uint32_t ms) override { calls.push_back("Sleep(" + std::to_string(ms) + ")"); }
    std::uint32_t FileVersionMS(const std::string& file) override {
        calls.push_back("FileVersionMS(" + file + ")");
        return shellVersionMS;
    }
    void CloseMainWindow() override {
        calls.push_back("CloseMainWindow");
        if (closeThrows) throw std::runtime_error("closing failed");
    }

    static std::string Hex(std::uint64_t v) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
        return buf;
    }

private:
    std::size_t findIndex_ = 0;
};

}  // namespace vesko::testing
