#include "power/ManualCommands.h"

#include <array>
#include <exception>

#include "log/EventLog.h"

namespace vesko {

namespace {

constexpr std::array<ManualCommandDef, 11> kCommands{{
    {ManualCommand::PowerOff, "poweroff1", "Windowsを終了して電源を切る(&P)", logmsg::kShutdown,
     &PowerActions::PowerOff, nullptr},
    {ManualCommand::ShutDown, "shutdown1", "電源を切れる状態にする(&D)", logmsg::kShutdown, &PowerActions::ShutDown,
     nullptr},
    {ManualCommand::Reboot, "reboot1", "コンピュータを再起動する(&R)", logmsg::kReboot, &PowerActions::RestartWindows,
     nullptr},
    {ManualCommand::Restart, "restart1", "Windowsのみ再起動する(&O)", logmsg::kRestart, &PowerActions::RestartWindows,
     nullptr},
    {ManualCommand::LogOff, "logoff1", "ログオフする(&L)", logmsg::kLogOff, &PowerActions::LogOff, nullptr},
    {ManualCommand::Force, "force1", "Windowsを強制終了する(&F)", logmsg::kForce, &PowerActions::ForceExit, nullptr},
    {ManualCommand::ForceHung, "forcehung1", "設定を残して強制終了(&U)", logmsg::kForceHung, &PowerActions::ForceIfHung,
     nullptr},
    {ManualCommand::ForcePower, "forcepower1", "Windowsを強制終了して電源を切る(&C)", logmsg::kForce,
     &PowerActions::ForcePowerOff, nullptr},
    {ManualCommand::MsDos, "msdos1", "MS-DOSモードで再起動(&M)", logmsg::kMsDos, &PowerActions::RestartInMsDosMode,
     nullptr},
    {ManualCommand::Suspend, "suspend1", "サスペンドする(&S)", logmsg::kSuspend, &PowerActions::Suspend,
     logmsg::kSuspendResume},
    {ManualCommand::Hibernate, "hibernate1", "休止状態（ハイバネーション）に移行する(&N)", logmsg::kHibernate,
     &PowerActions::Hibernate, logmsg::kHibernateResume},
}};

// ManualCommandInfo indexes the table by the enumeration.
constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < kCommands.size(); ++i)
        if (static_cast<std::size_t>(kCommands[i].command) != i) return false;
    return true;
}
static_assert(InEnumOrder());

}  // namespace

std::span<const ManualCommandDef> ManualCommands() { return kCommands; }

const ManualCommandDef& ManualCommandInfo(ManualCommand command) {
    return kCommands[static_cast<std::size_t>(command)];
}

void RunManualCommand(ManualCommand command, PowerActions& powerActions, LogWriter& log, const Clock& clock) {
    const ManualCommandDef& def = ManualCommandInfo(command);
    WriteLogQuietly(log, def.firstLine, clock.Now());
    (powerActions.*def.operation)();
    if (def.resumeLine) WriteLogQuietly(log, def.resumeLine, clock.Now());
}

ManualItemsEnabled ManualItemsEnabledFor(const OsVersionRecord& version) {
    ManualItemsEnabled e;
    e.restart = !IsWindowsNT(version);
    e.msDos = !IsWindowsNT(version);
    e.forceIfHung = NTMajorVersion(version) >= 5;
    return e;
}

}  // namespace vesko
