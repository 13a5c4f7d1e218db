#include "engine/Execution.h"

#include <cstddef>
#include <exception>

#include "base/Error.h"
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

namespace {

void LogLine(ExecutionHost& host, const std::string& message, DateTime at) { WriteLogQuietly(host, message, at); }

void RefusedCall(const AppError& refusal, ExecutionHost& host, WarningDialog& dialog, ResumeState& state) {
    state.monitor.ResumedAt(host.ReadArmReadings());
    state.monitor.MethodCheckPending = true;
    dialog.SetAbortEnabled(true);
    if (state.monitor.PowerRefusalLogged) return;
    state.monitor.PowerRefusalLogged = true;
    LogLine(host, refusal.what(), host.Now());
}

}  // namespace

void ExecuteShutdown(ExecutionHost& host, WarningDialog& dialog, ResumeState& state) {
    dialog.SetLabelText(execmsg::kShuttingDown);
    dialog.SetAbortEnabled(false);
    const DateTime at = host.Now();
    const bool quiet = state.monitor.PowerRefusalLogged;
    if (!quiet) LogLine(host, logmsg::kShutdown, at);
    try {
        host.ForcePowerOff();
    } catch (const AppError& refusal) {
        RefusedCall(refusal, host, dialog, state);
        return;
    }
    // The program ends with Windows; nothing is restored or called again.
    state.monitor.WindowsEnding = true;
    state.monitor.PowerRefusalLogged = false;
    if (quiet) LogLine(host, logmsg::kShutdown, at);
}

namespace {

struct SleepTexts {
    const char* dialogText;
    const char* logLine;
    const char* resumeLine;
    void (ExecutionHost::*enter)();
};

// The machine's return from the blocking call is the only sign of the resume.
void ExecuteSleep(const SleepTexts& t, ExecutionHost& host, WarningDialog& dialog, ResumeState& state) {
    dialog.SetAbortEnabled(false);
    dialog.SetLabelText(t.dialogText);
    // After a refusal the attempts stay out of the log until one is taken.
    const DateTime at = host.Now();
    const bool quiet = state.monitor.PowerRefusalLogged;
    if (!quiet) LogLine(host, t.logLine, at);
    dialog.Hide();
    dialog.Repaint();
    try {
        (host.*t.enter)();
    } catch (const AppError& refusal) {
        RefusedCall(refusal, host, dialog, state);
        return;
    }
    state.monitor.PowerRefusalLogged = false;
    if (quiet) LogLine(host, t.logLine, at);
    LogLine(host, t.resumeLine, host.Now());
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
    ExecuteSleep({execmsg::kHibernating, logmsg::kHibernate, logmsg::kHibernateResume, &ExecutionHost::Hibernate}, host,
                 dialog, state);
}

bool ExecuteIfDue(bool ready, std::int64_t minutesToAct, bool sameMinute, bool abortCarriedOut, ExecutionHost& host,
                  WarningDialog& dialog, ResumeState& state) {
    if (state.monitor.WindowsEnding || !ExecutionDue(ready, minutesToAct, sameMinute, abortCarriedOut)) return false;
    switch (SelectPowerMethod(state.settings)) {
        case PowerMethod::Shutdown: ExecuteShutdown(host, dialog, state); break;
        case PowerMethod::Suspend: ExecuteSuspend(host, dialog, state); break;
        case PowerMethod::Hibernation: ExecuteHibernate(host, dialog, state); break;
    }
    return true;
}

}  // namespace vesko
