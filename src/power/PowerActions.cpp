#include "power/PowerActions.h"

#include <charconv>
#include <cstdio>

#include "base/Trace.h"

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

int NTMajorVersion(const OsVersionRecord& v) { return IsWindowsNT(v) ? static_cast<int>(v.majorVersion) : -1; }

bool IsWindows95(const OsVersionRecord& v) {
    return v.platformId == kPlatformWin32Windows && v.majorVersion == 4 && v.minorVersion == 0;
}

bool IsPowerStateAllowed(PowerSystem& system, const OsVersionRecord& version, const std::string& exportName) {
    if (IsWindows95(version) || NTMajorVersion(version) == 4) return false;
    const LoadedLibrary powrprof(system, "Powrprof.dll");
    if (!powrprof) return false;
    return system.CallBoolExport(powrprof.Get(), exportName).value_or(false);
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

OsVersionRecord PowerActions::versionInfo_{};

PowerActions::PowerActions(PowerSystem& system) : system_(system) { versionInfo_ = system_.ReadVersion(); }

const OsVersionRecord& PowerActions::VersionInfo() { return versionInfo_; }
bool PowerActions::IsWindowsNT() { return vesko::IsWindowsNT(versionInfo_); }
int PowerActions::NTMajorVersion() { return vesko::NTMajorVersion(versionInfo_); }
bool PowerActions::IsWindows95() { return vesko::IsWindows95(versionInfo_); }

// Open, look up, adjust; all three must answer nonzero. A partial assignment
// that the system reports only through the last error still counts.
void PowerActions::EnableShutdownPrivilege() {
    const SystemHandle token = system_.OpenProcessToken(kTokenAdjustPrivileges | kTokenQuery);
    if (token == 0) throw PowerActionError(powermsg::kPrivilege);
    bool ok = false;
    if (const auto luid = system_.LookupPrivilege(kShutdownPrivilegeName))
        ok = system_.AdjustTokenPrivileges(token, *luid, kSePrivilegeEnabled);
    system_.CloseHandle(token);
    if (!ok) throw PowerActionError(powermsg::kPrivilege);
}

bool PowerActions::ExitWindowsNT(std::uint32_t flags) {
    EnableShutdownPrivilege();
    return system_.ExitWindowsEx(flags, kPlannedShutdownReason);
}

void PowerActions::EndByFlags(std::uint32_t flags, const char* message) {
    const bool accepted = IsWindowsNT() ? ExitWindowsNT(flags) : system_.ExitWindowsEx(flags, 0);
    if (!accepted) throw PowerActionError(message);
}

void PowerActions::PowerOff() { EndByFlags(kEwxPowerOff, powermsg::kPowerOff); }
void PowerActions::ShutDown() { EndByFlags(kEwxShutdown, powermsg::kShutDown); }
void PowerActions::ForceExit() { EndByFlags(kEwxForce, powermsg::kForceExit); }
void PowerActions::ForcePowerOff() { EndByFlags(kEwxForce | kEwxPowerOff, powermsg::kForceExit); }

// On the 9x family the only restart there is restarts Windows alone.
void PowerActions::RestartWindows() {
    if (IsWindowsNT()) {
        if (!ExitWindowsNT(kEwxReboot)) throw PowerActionError(powermsg::kRestart);
        return;
    }
    if (ExitWindows16(kEwRestartWindows, 0) == 0) throw PowerActionError(powermsg::kRestart);
}

void PowerActions::ForceIfHung() {
    if (!IsWindowsNT() || NTMajorVersion() < 5) throw PowerActionError(powermsg::kForceIfHungUnsupported);
    if (!ExitWindowsNT(kEwxForceIfHung)) throw PowerActionError(powermsg::kForceIfHung);
}

void PowerActions::RestartInMsDosMode() {
    if (IsWindowsNT()) throw PowerActionError(powermsg::kMsDosUnsupported);
    if (system_.ShellExecuteOpen("open", "MS-DOS~1.pif", "", "", kSwShow) <= 32)
        throw PowerActionError(powermsg::kMsDosFailed);
}

// The log-off request needs no privilege. A 9x shell older than 4.72 does not
// come back by itself, so the desktop is restarted by hand.
void PowerActions::LogOff() {
    if (!system_.ExitWindowsEx(kEwxLogOff, IsWindowsNT() ? kPlannedShutdownReason : 0))
        throw PowerActionError(powermsg::kLogOff);
    if (IsWindowsNT()) return;
    if (!IsNewShell()) RestartDesktopShell();
    CloseMainWindowIgnoringErrors();
}

// Both waits are bounded: a program manager that never appears means there is
// no shell to stop, so a fresh one is started; one that never goes away is
// left running rather than started a second time.
void PowerActions::RestartDesktopShell() {
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

void PowerActions::CloseMainWindowIgnoringErrors() {
    Guarded("closing the main window before ending Windows", [&] { system_.CloseMainWindow(); });
}

bool PowerActions::IsNewShell() {
    return IsNewShellVersionText(ShellVersionText(system_.FileVersionMS("Shell32.dll")));
}

// Loads USER's 16-bit ExitWindows and calls it through the thunk. Every
// failure here is the base error; the guards free the libraries inner first.
std::uint16_t PowerActions::ExitWindows16(std::uint32_t returnCode, std::uint16_t reserved) {
    const LoadedLibrary16 user16(system_, "User.exe");
    if (!user16) throw AppError(powermsg::kUserExe);
    const std::uint32_t exitWindows = system_.GetProcAddress16(user16.Get(), "ExitWindows");
    if (exitWindows == 0) throw AppError(powermsg::kExitWindows);
    const LoadedLibrary kernel32(system_, "Kernel32.dll");
    if (!kernel32) throw AppError(powermsg::kKernel32);
    const std::uintptr_t qtThunk = system_.GetProcAddress(kernel32.Get(), "QT_Thunk");
    if (qtThunk == 0) throw AppError(powermsg::kQtThunk);
    return system_.CallThunk16(qtThunk, exitWindows, returnCode, reserved);
}

bool PowerActions::SetPowerState(bool suspend, bool force) {
    if (IsWindowsNT()) {
        if (NTMajorVersion() < 5) throw PowerActionError(powermsg::kNt4NoPowerManagement);
        EnableShutdownPrivilege();
    }
    return system_.SetSystemPowerState(TruthValue(suspend), TruthValue(force));
}

bool PowerActions::IsPowerStateAllowed(const std::string& exportName) {
    return vesko::IsPowerStateAllowed(system_, versionInfo_, exportName);
}

// Windows 95 has no Powrprof.dll to ask, so suspend is simply tried there.
void PowerActions::Suspend() {
    if (!IsWindows95() && !IsPowerStateAllowed(kSuspendAllowedExport))
        throw PowerActionError(powermsg::kSuspendNotAllowed);
    Sleep(true);
}

void PowerActions::Hibernate() {
    if (!IsPowerStateAllowed(kHibernateAllowedExport)) throw PowerActionError(powermsg::kHibernateNotAllowed);
    Sleep(false);
}

void PowerActions::Sleep(bool suspend) {
    if (hooks_.before) hooks_.before(suspend);
    if (!SetPowerState(suspend, true))
        throw PowerActionError(suspend ? powermsg::kSuspendFailed : powermsg::kHibernateFailed);
    if (hooks_.after) hooks_.after(suspend);
}

}  // namespace vesko
