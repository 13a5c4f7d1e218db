#pragma once
// Carrying out the power-saving method when the tick says it is due, and
// re-arming after the machine wakes up.
#include <cstdint>
#include <string>

#include "base/DateTime.h"
#include "log/LogWriter.h"
#include "engine/MonitorState.h"
#include "settings/Settings.h"

namespace vesko {

class WarningDialog;

enum class PowerMethod { Shutdown, Suspend, Hibernation };

// Shutdown set wins, then Suspend; anything else (also all three unset) hibernates.
PowerMethod SelectPowerMethod(const Settings& settings);

namespace execmsg {
inline constexpr const char* kShuttingDown = "Windowsを終了をしています";
inline constexpr const char* kSuspending = "Windowsをサスペンドしています";
inline constexpr const char* kHibernating = "Windowsを休止状態にしています";
}  // namespace execmsg

// The monitor's side of an execution.
// Its WriteLog puts one complete event-log line on disk before it returns,
// and raises when it cannot, which the execution drops.
class ExecutionHost : public LogWriter {
public:
    virtual DateTime Now() = 0;
    // The power actions' operations; they raise when the system refuses. Suspend and
    // Hibernate return after the machine has woken up.
    virtual void ForcePowerOff() = 0;
    virtual void Suspend() = 0;
    virtual void Hibernate() = 0;
    virtual bool IsMainWindowVisible() = 0;
    // Minimise the application and hide its taskbar window.
    virtual void HideApplication() = 0;
    // The countdown's "セット": its set time and due time from now. False
    // when the values were refused and the labels left as they were.
    virtual bool SetTimer() = 0;
    virtual std::string TimerDueText() = 0;  // the countdown's due-time label
    // The clocks, the uptime and the cursor, read at the resume.
    virtual ArmReadings ReadArmReadings() = 0;
};

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
void ExecuteShutdown(ExecutionHost& host, WarningDialog& dialog, ResumeState& state);
void ExecuteSuspend(ExecutionHost& host, WarningDialog& dialog, ResumeState& state);
void ExecuteHibernate(ExecutionHost& host, WarningDialog& dialog, ResumeState& state);

// When due, the method SelectPowerMethod picks. True when a method was
// attempted (and, for suspend and hibernate, the machine is back or the call
// was refused).
bool ExecuteIfDue(bool ready, std::int64_t minutesToAct, bool sameMinute, bool abortCarriedOut, ExecutionHost& host,
                  WarningDialog& dialog, ResumeState& state);

}  // namespace vesko
