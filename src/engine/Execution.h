#pragma once
// Carrying out the power-saving method when the tick says it is due, and
// re-arming after the machine wakes up.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/DateTime.h"
#include "engine/MonitorPorts.h"
#include "engine/MonitorState.h"
#include "log/LogWriter.h"
#include "settings/Settings.h"

namespace vesko {

class PowerActions;
class WarningDialog;

enum class PowerMethod { Shutdown, Suspend, Hibernation };

// Shutdown set wins, then Suspend; anything else (also all three unset) hibernates.
PowerMethod SelectPowerMethod(const Settings& settings);

namespace execmsg {
inline constexpr const char* kShuttingDown = "Windowsを終了をしています";
inline constexpr const char* kSuspending = "Windowsをサスペンドしています";
inline constexpr const char* kHibernating = "Windowsを休止状態にしています";
}  // namespace execmsg

// What carrying out a method uses: the monitor's ports, and its power call
// and countdown.
struct ExecutionPorts {
    const Clock& clock;
    // One complete event-log line on disk before it returns; a refusal raises
    // and the execution drops the line.
    LogWriter& log;
    WarningDialog& dialog;
    // After a resume the program goes back to the tray unless the window is on screen.
    MonitorView& view;
    // The clocks, the uptime and the cursor, read at a resume or a refusal.
    MachinePort& machine;
    // The method's power call; it raises the power actions' AppError when the
    // system refuses. Suspend and hibernation return after the machine has woken up.
    std::function<void(PowerMethod)> enter;
    // The countdown's "セット" from now: its due-time label, or none when the
    // values were refused and the labels left as they were.
    std::function<std::optional<std::string>()> setCountdown;
};

// The power actions' call for a method.
void EnterPowerMethod(PowerActions& actions, PowerMethod method);

// The tick state that a resume re-arms.
struct ResumeState {
    MonitorState& monitor;
    Settings& settings;
};

// ExecuteIfDue's gate: a verdict in the hold-off minute or in the tick of an abort is dropped.
bool ExecutionDue(bool ready, std::int64_t minutesToAct, bool sameMinute, bool abortCarriedOut);

// A refused power call (the power actions' AppError) ends the attempt, not
// the tick: the refusal is logged once, the abort button works again, the
// method's availability is checked again, and every condition must hold anew
// (as after a resume) before the next attempt. A requested power-off is not
// repeated while Windows ends.
void ExecuteShutdown(const ExecutionPorts& ports, ResumeState& state);
void ExecuteSuspend(const ExecutionPorts& ports, ResumeState& state);
void ExecuteHibernate(const ExecutionPorts& ports, ResumeState& state);

// When due, the method SelectPowerMethod picks. True when a method was
// attempted (and, for suspend and hibernate, the machine is back or the call
// was refused).
bool ExecuteIfDue(bool ready, std::int64_t minutesToAct, bool sameMinute, bool abortCarriedOut,
                  const ExecutionPorts& ports, ResumeState& state);

}  // namespace vesko
