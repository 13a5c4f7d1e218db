#include "power/ExitWin.h"

#include <charconv>
#include <cstdio>

namespace vesko {

namespace {

constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
constexpr std::uint32_t kTokenQuery = 0x08;
constexpr std::uint32_t kSePrivilegeEnabled = 2;
constexpr const char* kShutdownPrivilegeName = "SeShutdownPrivilege";
constexpr std::uint32_t kWmQuit = 0x12;
constexpr int kSwShow = 5;
constexpr std::uint32_t kProgmanPollInterval = 500;
constexpr std::uint32_t kEwRestartWindows = 0x42;

constexpr std::int32_t TruthValue(bool b) { return b ? -1 : 0; }

}  // namespace

bool IsWindowsNT(const OsVersionRecord& v) { return v.platformId == kPlatformWin32NT; }

int NTMajorVersion(const OsVersionRecord& v) {
    return IsWindowsNT(v) ? static_cast<int>(v.majorVersion) : -1;
}

bool IsWindows95(const OsVersionRecord& v) {
    return v.platformId == kPlatformWin32Windows && v.majorVersion == 4 && v.minorVersion == 0;
}

bool IsPowerStateAllowed(PowerSystem& system, const OsVersionRecord& version, const std::string& exportName) {
    if (IsWindows95(version) || NTMajorVersion(version) == 4) return false;
    const SystemHandle powrprof = system.LoadLibraryByName("Powrprof.dll");
    if (powrprof == 0) return false;
    bool allowed = false;
    try {
        allowed = system.CallBoolExport(powrprof, exportName).value_or(false);
    } catch (...) {
        system.FreeLibrary(powrprof);
        throw;
    }
    system.FreeLibrary(powrprof);
    return allowed;
}

std::string ShellVersionText(std::uint32_t fileVersionMS) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d", static_cast<int>(fileVersionMS >> 16),
                  static_cast<int>(fileVersionMS & 0xFFFF));
    return text;
}

bool IsNewShellVersionText(const std::string& text) {
    double number = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, ec] = std::from_chars(first, last, number, std::chars_format::fixed);
    if (ec != std::errc() || end != last) return false;
    return number >= 4.72;
}

OsVersionRecord TExitWin::versionInfo_{};

TExitWin::TExitWin(PowerSystem& system) : system_(system) { versionInfo_ = system_.ReadVersion(); }

const OsVersionRecord& TExitWin::VersionInfo() { return versionInfo_; }
bool TExitWin::IsWindowsNT() { return vesko::IsWindowsNT(versionInfo_); }
int TExitWin::NTMajorVersion() { return vesko::NTMajorVersion(versionInfo_); }
bool TExitWin::IsWindows95() { return vesko::IsWindows95(versionInfo_); }

// Open, look up, adjust; all three must answer nonzero. A partial assignment
// that the system reports only through the last error still counts.
void TExitWin::EnableShutdownPrivilege() {
    const SystemHandle token = system_.OpenProcessToken(kTokenAdjustPrivileges | kTokenQuery);
    if (token == 0) throw EExitError(exitmsg::kPrivilege);
    bool ok = false;
    if (const auto luid = system_.LookupPrivilege(kShutdownPrivilegeName))
        ok = system_.AdjustTokenPrivileges(token, *luid, kSePrivilegeEnabled);
    system_.CloseHandle(token);
    if (!ok) throw EExitError(exitmsg::kPrivilege);
}

bool TExitWin::ExitWindowsNT(std::uint32_t flags) {
    EnableShutdownPrivilege();
    return system_.ExitWindowsEx(flags, kPlannedShutdownReason);
}

void TExitWin::EndByFlags(std::uint32_t flags, const char* message) {
    const bool accepted = IsWindowsNT() ? ExitWindowsNT(flags) : system_.ExitWindowsEx(flags, 0);
    if (!accepted) throw EExitError(message);
}

void TExitWin::PowerOff() { EndByFlags(kEwxPowerOff, exitmsg::kPowerOff); }
void TExitWin::ShutDown() { EndByFlags(kEwxShutdown, exitmsg::kShutDown); }
void TExitWin::ForceExit() { EndByFlags(kEwxForce, exitmsg::kForceExit); }
void TExitWin::ForcePowerOff() { EndByFlags(kEwxForce | kEwxPowerOff, exitmsg::kForceExit); }

// On the 9x family the only restart there is restarts Windows alone.
void TExitWin::RestartWindows() {
    if (IsWindowsNT()) {
        if (!ExitWindowsNT(kEwxReboot)) throw EExitError(exitmsg::kRestart);
        return;
    }
    if (ExitWindows16(kEwRestartWindows, 0) == 0) throw EExitError(exitmsg::kRestart);
}

void TExitWin::ForceIfHung() {
    if (!IsWindowsNT() || NTMajorVersion() < 5) throw EExitError(exitmsg::kForceIfHungUnsupported);
    if (!ExitWindowsNT(kEwxForceIfHung)) throw EExitError(exitmsg::kForceIfHung);
}

void TExitWin::RestartInMsDosMode() {
    if (IsWindowsNT()) throw EExitError(exitmsg::kMsDosUnsupported);
    if (system_.ShellExecuteOpen("open", "MS-DOS~1.pif", "", "", kSwShow) <= 32)
        throw EExitError(exitmsg::kMsDosFailed);
}

// The log-off request needs no privilege. A 9x shell older than 4.72 does not
// come back by itself, so the desktop is restarted by hand.
void TExitWin::LogOff() {
    if (!system_.ExitWindowsEx(kEwxLogOff, IsWindowsNT() ? kPlannedShutdownReason : 0))
        throw EExitError(exitmsg::kLogOff);
    if (IsWindowsNT()) return;
    if (!IsNewShell()) RestartDesktopShell();
    CloseMainWindowIgnoringErrors();
}

// Both waits are bounded: a program manager that never appears means there is
// no shell to stop, so a fresh one is started; one that never goes away is
// left running rather than started a second time.
void TExitWin::RestartDesktopShell() {
    SystemHandle progman = 0;
    for (int i = 0; i < kProgmanPollLimit && progman == 0; ++i) {
        progman = system_.FindWindowByClass("Progman");
        system_.Sleep(kProgmanPollInterval);
    }
    if (progman != 0) {
        system_.PostWindowMessage(progman, kWmQuit, 0, 0);
        bool gone = false;
        for (int i = 0; i < kProgmanPollLimit && !gone; ++i) {
            gone = system_.FindWindowByClass("Progman") == 0;
            system_.Sleep(kProgmanPollInterval);
        }
        if (!gone) return;
    }
    system_.ShellExecuteOpen("open", "explorer.exe", "", "", kSwShow);
}

void TExitWin::CloseMainWindowIgnoringErrors() {
    try {
        system_.CloseMainWindow();
    } catch (...) {
    }
}

bool TExitWin::IsNewShell() {
    return IsNewShellVersionText(ShellVersionText(system_.FileVersionMS("Shell32.dll")));
}

// Loads USER's 16-bit ExitWindows and calls it through the thunk. Every
// failure here is the base error; the libraries are freed inner first.
std::uint16_t TExitWin::ExitWindows16(std::uint32_t returnCode, std::uint16_t reserved) {
    const std::uint32_t user16 = system_.LoadLibrary16("User.exe");
    if (user16 < 32) throw VeskoError(exitmsg::kUserExe);
    std::uint16_t result = 0;
    try {
        const std::uint32_t exitWindows = system_.GetProcAddress16(user16, "ExitWindows");
        if (exitWindows == 0) throw VeskoError(exitmsg::kExitWindows);
        const SystemHandle kernel32 = system_.LoadLibraryByName("Kernel32.dll");
        if (kernel32 == 0) throw VeskoError(exitmsg::kKernel32);
        try {
            const std::uintptr_t qtThunk = system_.GetProcAddress(kernel32, "QT_Thunk");
            if (qtThunk == 0) throw VeskoError(exitmsg::kQtThunk);
            result = system_.CallThunk16(qtThunk, exitWindows, returnCode, reserved);
        } catch (...) {
            system_.FreeLibrary(kernel32);
            throw;
        }
        system_.FreeLibrary(kernel32);
    } catch (...) {
        system_.FreeLibrary16(user16);
        throw;
    }
    system_.FreeLibrary16(user16);
    return result;
}

bool TExitWin::SetPowerState(bool suspend, bool force) {
    if (IsWindowsNT()) {
        if (NTMajorVersion() < 5) throw EExitError(exitmsg::kNt4NoPowerManagement);
        EnableShutdownPrivilege();
    }
    return system_.SetSystemPowerState(TruthValue(suspend), TruthValue(force));
}

bool TExitWin::IsPowerStateAllowed(const std::string& exportName) {
    return vesko::IsPowerStateAllowed(system_, versionInfo_, exportName);
}

// Windows 95 has no Powrprof.dll to ask, so suspend is simply tried there.
void TExitWin::Suspend() {
    if (!IsWindows95() && !IsPowerStateAllowed(kSuspendAllowedExport))
        throw EExitError(exitmsg::kSuspendNotAllowed);
    if (!SetPowerState(true, true)) throw EExitError(exitmsg::kSuspendFailed);
}

void TExitWin::Hibernate() {
    if (!IsPowerStateAllowed(kHibernateAllowedExport)) throw EExitError(exitmsg::kHibernateNotAllowed);
    if (!SetPowerState(false, true)) throw EExitError(exitmsg::kHibernateFailed);
}

}  // namespace vesko
