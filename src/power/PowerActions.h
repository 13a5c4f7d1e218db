#pragma once
// PowerActions: ends Windows in ten ways, or suspends or hibernates the machine,
// by the running system's family. A normal return means the system accepted
// the request; a refusal raises PowerActionError with a fixed message. It decides
// nothing about when to act and shows nothing.
#include <cstdint>
#include <functional>
#include <string>

#include "power/PowerSystem.h"
#include "base/Error.h"

namespace vesko {

class PowerActionError : public AppError {
public:
    using AppError::AppError;
};

namespace powermsg {
inline constexpr const char* kPowerOff = "コンピュータの電源を切ることができませんでした。";
inline constexpr const char* kShutDown = "Windows の電源を切れる状態にできませんでした。";
inline constexpr const char* kRestart = "Windows を再起動できませんでした。";
inline constexpr const char* kLogOff = "Windows をログオフできませんでした。";
inline constexpr const char* kForceExit = "Windows の強制終了が出来ませんでした。";
inline constexpr const char* kForceIfHung = "ハングアップしたアプリケーションを終了できませんでした。";
inline constexpr const char* kForceIfHungUnsupported = "このOSでは、設定を残して強制終了できません。";
inline constexpr const char* kMsDosUnsupported = "このOSでは、MS-DOSモードで再起動できません。";
inline constexpr const char* kMsDosFailed =
    "MS-DOSモードで再起動できませんでした。\r\n\r\n"
    "一度スタートメニューから「MS-DOSモードで再起動する」を\r\n"
    "実行すれば、次回からこの機能が使えるようになります。";
inline constexpr const char* kSuspendFailed = "サスペンドに移行できませんでした。";
inline constexpr const char* kSuspendNotAllowed = "サスペンドは許可されていません。";
inline constexpr const char* kHibernateFailed = "休止状態に移行できませんでした。";
inline constexpr const char* kHibernateNotAllowed = "休止状態は許可されていません。";
inline constexpr const char* kPrivilege = "特権の取得に失敗しました。";
inline constexpr const char* kNt4NoPowerManagement = "WindowsNT4は電源管理をサポートしていません。";
// The 16-bit loader's messages: raised as the base error, not PowerActionError.
inline constexpr const char* kUserExe = "User.exe の呼び出しに失敗しました。";
inline constexpr const char* kExitWindows = "ExitWindows の呼び出しに失敗しました。";
inline constexpr const char* kKernel32 = "Kernel32.dll の呼び出しに失敗しました。";
inline constexpr const char* kQtThunk = "QT_Thunk の呼び出しに失敗しました。";
}  // namespace powermsg

// ExitWindowsEx flags.
inline constexpr std::uint32_t kEwxLogOff = 0;
inline constexpr std::uint32_t kEwxShutdown = 1;
inline constexpr std::uint32_t kEwxReboot = 2;
inline constexpr std::uint32_t kEwxForce = 4;
inline constexpr std::uint32_t kEwxPowerOff = 8;
inline constexpr std::uint32_t kEwxForceIfHung = 16;

// The shutdown reason given on the NT family: planned, major and minor
// "other" (the system's own "Other (Planned)" entry), so that the system log
// does not record the program's power-off, restart or log-off as unplanned.
// On the 9x family the parameter is reserved and stays 0.
inline constexpr std::uint32_t kShtdnReasonFlagPlanned = 0x80000000u;
inline constexpr std::uint32_t kShtdnReasonMajorOther = 0x00000000u;
inline constexpr std::uint32_t kShtdnReasonMinorOther = 0x00000000u;
inline constexpr std::uint32_t kPlannedShutdownReason =
    kShtdnReasonFlagPlanned | kShtdnReasonMajorOther | kShtdnReasonMinorOther;

// The export names of Powrprof.dll that answer whether a state is allowed.
inline constexpr const char* kSuspendAllowedExport = "IsPwrSuspendAllowed";
inline constexpr const char* kHibernateAllowedExport = "IsPwrHibernateAllowed";

// Whether the system allows the state named by a Powrprof.dll export: never on
// Windows 95 itself nor on NT 4; otherwise the export's own answer (false when
// the library or the export is missing). The library is loaded and freed here.
bool IsPowerStateAllowed(PowerSystem& system, const OsVersionRecord& version, const std::string& exportName);

bool IsWindowsNT(const OsVersionRecord& v);
int NTMajorVersion(const OsVersionRecord& v);  // -1 outside the NT family
bool IsWindows95(const OsVersionRecord& v);

// The shell library's version word as "major.minor" and whether that text,
// read as a decimal number, is 4.72 or more ("4.100" reads as 4.1: old).
std::string ShellVersionText(std::uint32_t fileVersionMS);
bool IsNewShellVersionText(const std::string& text);

// Steps around the program's own suspend or hibernation (the automatic
// action and the tray's commands alike): `before` once the sleep is allowed,
// `after` when the machine has resumed from it. The argument: suspend (true)
// or hibernation.
struct SleepHooks {
    std::function<void(bool)> before;
    std::function<void(bool)> after;
};

class PowerActions {
public:
    // Reads the version record shared by every instance.
    explicit PowerActions(PowerSystem& system);

    void SetSleepHooks(SleepHooks hooks) { hooks_ = std::move(hooks); }

    void PowerOff();
    void ShutDown();
    void RestartWindows();
    void LogOff();
    void ForceExit();
    void ForcePowerOff();
    void ForceIfHung();
    void RestartInMsDosMode();
    void Suspend();
    void Hibernate();

    // The record read by the most recent construction of any instance.
    static const OsVersionRecord& VersionInfo();
    static bool IsWindowsNT();
    static int NTMajorVersion();
    static bool IsWindows95();

    // How often, 500 ms apart, the old-shell log-off looks for the program
    // manager window to appear and then to go away before giving up.
    static constexpr int kProgmanPollLimit = 60;

private:
    void EnableShutdownPrivilege();
    bool ExitWindowsNT(std::uint32_t flags);
    std::uint16_t ExitWindows16(std::uint32_t returnCode, std::uint16_t reserved);
    bool IsNewShell();
    bool SetPowerState(bool suspend, bool force);
    bool IsPowerStateAllowed(const std::string& exportName);
    void EndByFlags(std::uint32_t flags, const char* message);
    void RestartDesktopShell();
    void CloseMainWindowIgnoringErrors();

    void Sleep(bool suspend);

    PowerSystem& system_;
    SleepHooks hooks_;
    static OsVersionRecord versionInfo_;
};

}  // namespace vesko
