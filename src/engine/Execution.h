#pragma once
// Carrying out the power-saving method when the tick says it is due, and
// re-arming after the machine wakes up.
#include <cstdint>
#include <string>

#include "engine/DateTime.h"
#include "engine/MonitorState.h"
#include "settings/ActiveSettings.h"

namespace vesko {

class WarningDialog;

enum class PowerMethod { Shutdown, Suspend, Hibernation };

// Shutdown set wins, then Suspend; anything else (also all three unset) hibernates.
PowerMethod SelectPowerMethod(const ActiveSettings& settings);

namespace execmsg {
inline constexpr const char* kShuttingDown = "Windowsを終了をしています";
inline constexpr const char* kSuspending = "Windowsをサスペンドしています";
inline constexpr const char* kHibernating = "Windowsを休止状態にしています";
}  // namespace execmsg

// The main window's side of an execution.
class ExecutionHost {
public:
    virtual ~ExecutionHost() = default;
    virtual DateTime Now() = 0;
    // One complete event-log line, on disk before it returns; raises when it cannot be written.
    virtual void WriteLog(const std::string& message, DateTime at) = 0;
    // ExitWin1's operations; they raise when the system refuses. Suspend and
    // Hibernate return after the machine has woken up.
    virtual void ForcePowerOff() = 0;
    virtual void Suspend() = 0;
    virtual void Hibernate() = 0;
    virtual bool IsMainWindowVisible() = 0;
    // Minimise the application and hide its taskbar window.
    virtual void HideApplication() = 0;
    // The timer's "セット": Label20 and Label22 from now.
    // False when the values were refused and the labels left as they were.
    virtual bool Button4Click() = 0;
    virtual std::string ScheduleLabelText() = 0;  // Label22
    // The clocks, the uptime and the cursor, read at the resume.
    virtual ArmReadings ReadArmReadings() = 0;
};

// The tick state that a resume re-arms.
struct ResumeState {
    MonitorState& monitor;
    ActiveSettings& settings;
};

// Step 13's gate: a verdict in the hold-off minute or in the tick of an abort is dropped.
bool ExecutionDue(bool ready, std::int64_t minutesToAct, bool sameMinute, bool abortCarriedOut);

void ExecuteShutdown(ExecutionHost& host, WarningDialog& dialog);
void ExecuteSuspend(ExecutionHost& host, WarningDialog& dialog, ResumeState& state);
void ExecuteHibernate(ExecutionHost& host, WarningDialog& dialog, ResumeState& state);

// Step 13 in full: when due, the method of the selection rule. True when a
// method was carried out (and, for suspend and hibernate, the machine is back).
bool ExecuteIfDue(bool ready, std::int64_t minutesToAct, bool sameMinute, bool abortCarriedOut,
                  ExecutionHost& host, WarningDialog& dialog, ResumeState& state);

// "h:nn" or "h:nn:ss" as a time of day; raises VeskoError for any other text
// (the schedule label's placeholder "hh:nn" among them).
DateTime StrictTimeOfDay(const std::string& text);

}  // namespace vesko
