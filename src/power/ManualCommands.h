#pragma once
// The eleven power commands of the tray menu: log a line, call the power actions, and
// for suspend and hibernate log a second line once the machine is awake.
#include <span>
#include <string>

#include "base/DateTime.h"
#include "log/LogWriter.h"
#include "power/PowerActions.h"
#include "power/PowerSystem.h"

namespace vesko {

enum class ManualCommand {
    PowerOff,
    ShutDown,
    Reboot,
    Restart,
    LogOff,
    Force,
    ForceHung,
    ForcePower,
    MsDos,
    Suspend,
    Hibernate
};

struct ManualCommandDef {
    ManualCommand command;
    const char* item;  // the menu item's name, e.g. "poweroff1"
    const char* caption;
    const char* firstLine;  // logged before the operation
    void (PowerActions::*operation)();
    const char* resumeLine;  // logged after it returns; nullptr: none
};

// In menu order.
std::span<const ManualCommandDef> ManualCommands();
const ManualCommandDef& ManualCommandInfo(ManualCommand command);

// The handler of one item. A log line that cannot be written is dropped; the
// operation's errors are not caught: a refused operation leaves only the
// first line and reaches the caller's error box.
void RunManualCommand(ManualCommand command, PowerActions& powerActions, LogWriter& log, const Clock& clock);

// The items whose state follows the system version, fixed at window creation
// (suspend and hibernate follow what the power system allows instead).
struct ManualItemsEnabled {
    bool restart = true;
    bool msDos = true;
    bool forceIfHung = true;
};
ManualItemsEnabled ManualItemsEnabledFor(const OsVersionRecord& version);

}  // namespace vesko
