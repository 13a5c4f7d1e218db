#include "engine/Execution.h"

#include <cstddef>
#include <exception>

#include "base/Error.h"
#include "engine/TimerSchedule.h"
#include "engine/Warning.h"
#include "log/EventLog.h"
#include "power/PowerActions.h"
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

void LogLine(const ExecutionPorts& ports, const std::string& message, DateTime at) {
    WriteLogQuietly(ports.log, message, at);
}

ArmReadings ReadArmReadings(const ExecutionPorts& ports) { return ReadArmReadings(ports.clock.Now(), ports.machine); }

void RefusedCall(const AppError& refusal, const ExecutionPorts& ports, ResumeState& state) {
    state.monitor.ResumedAt(ReadArmReadings(ports));
    state.monitor.MethodCheckPending = true;
    ports.dialog.SetAbortEnabled(true);
    if (state.monitor.PowerRefusalLogged) return;
    state.monitor.PowerRefusalLogged = true;
    LogLine(ports, refusal.what(), ports.clock.Now());
}

}  // namespace

void EnterPowerMethod(PowerActions& actions, PowerMethod method) {
    switch (method) {
        case PowerMethod::Shutdown: actions.ForcePowerOff(); break;
        case PowerMethod::Suspend: actions.Suspend(); break;
        case PowerMethod::Hibernation: actions.Hibernate(); break;
    }
}

void ExecuteShutdown(const ExecutionPorts& ports, ResumeState& state) {
    ports.dialog.SetLabelText(execmsg::kShuttingDown);
    ports.dialog.SetAbortEnabled(false);
    const DateTime at = ports.clock.Now();
    const bool quiet = state.monitor.PowerRefusalLogged;
    if (!quiet) LogLine(ports, logmsg::kShutdown, at);
    try {
        ports.enter(PowerMethod::Shutdown);
    } catch (const AppError& refusal) {
        RefusedCall(refusal, ports, state);
        return;
    }
    // The program ends with Windows; nothing is restored or called again.
    state.monitor.WindowsEnding = true;
    state.monitor.PowerRefusalLogged = false;
    if (quiet) LogLine(ports, logmsg::kShutdown, at);
}

namespace {

struct SleepTexts {
    const char* dialogText;
    const char* logLine;
    const char* resumeLine;
    PowerMethod method;
};

// The machine's return from the blocking call is the only sign of the resume.
void ExecuteSleep(const SleepTexts& t, const ExecutionPorts& ports, ResumeState& state) {
    ports.dialog.SetAbortEnabled(false);
    ports.dialog.SetLabelText(t.dialogText);
    // After a refusal the attempts stay out of the log until one is taken.
    const DateTime at = ports.clock.Now();
    const bool quiet = state.monitor.PowerRefusalLogged;
    if (!quiet) LogLine(ports, t.logLine, at);
    ports.dialog.Hide();
    ports.dialog.Repaint();
    try {
        ports.enter(t.method);
    } catch (const AppError& refusal) {
        RefusedCall(refusal, ports, state);
        return;
    }
    state.monitor.PowerRefusalLogged = false;
    if (quiet) LogLine(ports, t.logLine, at);
    LogLine(ports, t.resumeLine, ports.clock.Now());
    if (!ports.view.IsVisible()) ports.view.Hide();
    ports.dialog.SetAbortEnabled(true);
    // Every condition holds anew for its full length from the resume: the
    // running times, the cursor and the uptime the OS condition counts.
    state.monitor.ResumedAt(ReadArmReadings(ports));
    // A refused countdown leaves no schedule in force rather than an old one.
    state.settings.Timer_ScheduleTime.time = kNoTimerSchedule;
    if (auto due = ports.setCountdown()) state.settings.Timer_ScheduleTime.time = TimerScheduleFromText(*due);
}

}  // namespace

void ExecuteSuspend(const ExecutionPorts& ports, ResumeState& state) {
    ExecuteSleep({execmsg::kSuspending, logmsg::kSuspend, logmsg::kSuspendResume, PowerMethod::Suspend}, ports, state);
}

void ExecuteHibernate(const ExecutionPorts& ports, ResumeState& state) {
    ExecuteSleep({execmsg::kHibernating, logmsg::kHibernate, logmsg::kHibernateResume, PowerMethod::Hibernation}, ports,
                 state);
}

bool ExecuteIfDue(bool ready, std::int64_t minutesToAct, bool sameMinute, bool abortCarriedOut,
                  const ExecutionPorts& ports, ResumeState& state) {
    if (state.monitor.WindowsEnding || !ExecutionDue(ready, minutesToAct, sameMinute, abortCarriedOut)) return false;
    switch (SelectPowerMethod(state.settings)) {
        case PowerMethod::Shutdown: ExecuteShutdown(ports, state); break;
        case PowerMethod::Suspend: ExecuteSuspend(ports, state); break;
        case PowerMethod::Hibernation: ExecuteHibernate(ports, state); break;
    }
    return true;
}

}  // namespace vesko
