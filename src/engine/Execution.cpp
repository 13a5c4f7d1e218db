#include "engine/Execution.h"

#include <cstddef>

#include "engine/TimerSchedule.h"
#include "engine/Warning.h"
#include "log/EventLog.h"
#include "settings/ProfileFile.h"

namespace vesko {

PowerMethod SelectPowerMethod(const Settings& settings) {
    if (settings.Shutdown) return PowerMethod::Shutdown;
    if (settings.Suspend) return PowerMethod::Suspend;
    return PowerMethod::Hibernation;
}

bool ExecutionDue(bool ready, std::int64_t minutesToAct, bool sameMinute, bool abortCarriedOut) {
    return ready && !sameMinute && !abortCarriedOut && minutesToAct <= 0;
}

void ExecuteShutdown(ExecutionHost& host, WarningDialog& dialog) {
    dialog.SetLabelText(execmsg::kShuttingDown);
    dialog.SetAbortEnabled(false);
    host.WriteLog(logmsg::kShutdown, host.Now());
    // The program ends with Windows; nothing is restored.
    host.ForcePowerOff();
}

namespace {

struct SleepTexts {
    const char* dialogText;
    const char* logLine;
    const char* resumeLine;
    void (ExecutionHost::*enter)();
};

// The machine's return from the blocking call is the only sign of the resume;
// a refusal raises out of here with the first line logged and nothing re-armed.
void ExecuteSleep(const SleepTexts& t, ExecutionHost& host, WarningDialog& dialog, ResumeState& state) {
    dialog.SetAbortEnabled(false);
    dialog.SetLabelText(t.dialogText);
    host.WriteLog(t.logLine, host.Now());
    dialog.Hide();
    dialog.Repaint();
    (host.*t.enter)();
    host.WriteLog(t.resumeLine, host.Now());
    if (!host.IsMainWindowVisible()) host.HideApplication();
    dialog.SetAbortEnabled(true);
    // Every condition holds anew for its full length from the resume: the
    // running times, the cursor and the uptime the OS condition counts.
    state.monitor.ResumedAt(host.ReadArmReadings());
    // A refused countdown leaves no schedule in force rather than an old one.
    state.settings.Timer_ScheduleTime.time = kNoTimerSchedule;
    if (host.SetTimer()) state.settings.Timer_ScheduleTime.time = TimerScheduleFromText(host.TimerDueText());
}

}  // namespace

void ExecuteSuspend(ExecutionHost& host, WarningDialog& dialog, ResumeState& state) {
    ExecuteSleep({execmsg::kSuspending, logmsg::kSuspend, logmsg::kSuspendResume, &ExecutionHost::Suspend}, host,
                 dialog, state);
}

void ExecuteHibernate(ExecutionHost& host, WarningDialog& dialog, ResumeState& state) {
    ExecuteSleep({execmsg::kHibernating, logmsg::kHibernate, logmsg::kHibernateResume, &ExecutionHost::Hibernate},
                 host, dialog, state);
}

bool ExecuteIfDue(bool ready, std::int64_t minutesToAct, bool sameMinute, bool abortCarriedOut,
                  ExecutionHost& host, WarningDialog& dialog, ResumeState& state) {
    if (!ExecutionDue(ready, minutesToAct, sameMinute, abortCarriedOut)) return false;
    switch (SelectPowerMethod(state.settings)) {
        case PowerMethod::Shutdown: ExecuteShutdown(host, dialog); break;
        case PowerMethod::Suspend: ExecuteSuspend(host, dialog, state); break;
        case PowerMethod::Hibernation: ExecuteHibernate(host, dialog, state); break;
    }
    return true;
}


}  // namespace vesko
