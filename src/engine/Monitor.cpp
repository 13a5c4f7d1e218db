#include "engine/Monitor.h"

#include <exception>

#include "base/Trace.h"
#include "engine/Arming.h"
#include "engine/PowerAvailability.h"
#include "engine/StandAside.h"
#include "engine/StatusSummary.h"
#include "engine/TimerSchedule.h"
#include "engine/Warning.h"
#include "log/EventLog.h"
#include "log/LogWriter.h"
#include "readings/CpuUsage.h"
#include "readings/KeepAwake.h"
#include "settings/ExcludedPrograms.h"
#include "settings/SettingsStore.h"
#include "settings/StartupShortcut.h"

namespace vesko {
namespace {

// The live program list as the tick's exclusion gate reads it, and the job's
// end's program: one process list per tick, taken at the first question.
class ListExclusions : public ExcludedProgramList, public RunningPrograms {
public:
    ListExclusions(const std::vector<std::string>& entries, ProgramSystem& system)
        : entries_(entries), inUse_(system) {}
    std::size_t Count() const override { return entries_.size(); }
    bool IsInUse(std::size_t index) override { return inUse_.IsFileInUse(entries_[index]); }
    std::optional<bool> IsRunning(const std::string& fileName) override { return inUse_.IsNameRunning(fileName); }

private:
    const std::vector<std::string>& entries_;
    ProgramsInUse inUse_;
};

// What the countdown's labels show after a discard when the file lacks a key.
constexpr const char* kMissingLabelText = "エラー";

// The switch as the Startup folder has it. Checked means a link seen to start
// this program; one that cannot be read leaves the box unchecked, and the
// error (unless the caller reports a failure of its own) says why.
void ShowStartupLink(MonitorView& view, StartupShortcut& link, bool reportFailure = true) {
    bool on = false;
    try {
        on = link.IsOn();
    } catch (const std::exception& e) {
        if (reportFailure) view.ShowError(e.what());
    }
    view.ShowStartWithWindows(on);
}

}  // namespace

Monitor::Monitor(const MonitorPorts& ports, std::vector<std::string> args)
    : ports_(ports), view_(ports.view), args_(std::move(args)) {
    // Until start-up has run, the tick finds the engine armed and nothing on.
    state_.StartAt(ReadArmReadings());
    ports_.powerActions.SetSleepHooks(
        {[this](bool suspend) { BeforeOwnSleep(suspend); }, [this](bool) { AfterOwnSleep(); }});
}

bool Monitor::RestorePlacement() {
    try {
        const std::string osVersion = ports_.machine.OSVersionText();
        const SettingsStore& ini = ports_.settings;
        const int x = ini.Read(&Settings::WindowPosX);
        const int y = ini.Read(&Settings::WindowPosY);
        draft_.StayOnTop = ini.Read(&Settings::StayOnTop);
        view_.ShowPlacement(osVersion, x, y, draft_.StayOnTop);
        return true;
    } catch (const std::exception& e) {
        view_.ShowError(e.what());
        return false;
    }
}

void Monitor::Start() {
    if (!RestorePlacement()) return;
    // What the tick needs comes before anything that can fail: the hold-off,
    // every running time and no countdown in force.
    state_.StartAt(ReadArmReadings());
    active_.Timer_ScheduleTime.time = kNoTimerSchedule;
    try {
        // The first readings; the octet totals read now are the first tick's baseline.
        ports_.cpu.GetUsage();
        StatusDisplay status = ReadStatus(Now());
        view_.ShowStatus(status);
        LoadSettings();
        // The stored schedule is the previous run's: only this start's countdown counts.
        active_.Timer_ScheduleTime.time = kNoTimerSchedule;
        RefreshTrayTip(TrayTipText(ports_.tray.IsShell5OrLater(), status));
        ShowFunctionState(draft_.Function_Enabled);
        // The countdown runs from the program's start and is stored at every start.
        if (SetCountdown()) active_.Timer_ScheduleTime.time = TimerScheduleFromText(draft_.Timer_ScheduleTime.text);
        // The running times count from the end of the countdown's box, and a
        // sleep before the first tick is a gap like one between two ticks.
        state_.StartAt(ReadArmReadings());
        state_.LastTickMs = ports_.machine.MonotonicMs();
        ports_.settings.Write({{&Settings::Timer_SetTime, draft_.Timer_SetTime},
                               {&Settings::Timer_ScheduleTime, draft_.Timer_ScheduleTime.text}});
        if (active_.Log_Enabled) {
            // A log that cannot be written is told once, here; the rest of
            // the start (availability, menus) never depends on it.
            try {
                ports_.log.WriteLog(StartLogMessage(args_), Now());
            } catch (const std::exception& e) {
                view_.ShowError(e.what());
            }
        }
        // Methods the machine cannot use fall back silently.
        UpdatePowerAvailabilityAtStart(ports_.powerSystem, active_, {view_, draft_, ports_.settings});
        view_.ShowSleepKinds(SleepKindsOfMachine(ports_.powerSystem));
        // Power commands the platform does not offer.
        ManualItemsEnabled items = ports_.machine.ManualItems();
        view_.ShowPowerCommandEnabled(ManualCommand::Restart, items.restart);
        view_.ShowPowerCommandEnabled(ManualCommand::MsDos, items.msDos);
        view_.ShowPowerCommandEnabled(ManualCommand::ForceHung, items.forceIfHung);
    } catch (const std::exception& e) {
        // Start-up goes on with what was done so far; the engine is armed already.
        view_.ShowError(e.what());
    }
}

void Monitor::LoadSettings() {
    ports_.settings.FillDraft(draft_);
    ports_.settings.FillActive(active_);
    view_.ShowDraft(draft_);
    // An unreadable link is shown and start-up goes on.
    ShowStartupLink(view_, ports_.startupLink);
}

StatusDisplay Monitor::ReadStatus(DateTime now) {
    TickReadings r;
    r.CpuPercent = ports_.cpu.GetUsage();
    r.Interfaces = ports_.machine.Interfaces();
    r.MemoryPercent = ports_.machine.MemoryPercent();
    r.UptimeMs = ports_.machine.UptimeMs();
    r.TimeText = ports_.machine.LongTime(now);
    return TakeReadings(r, ports_.tray.IsShell5OrLater(), state_);
}

bool Monitor::SetCountdown() {
    view_.ReadDraft(draft_);
    auto schedule = ScheduleFromNow(Now(), draft_.Timer_Hour, draft_.Timer_Minute);
    if (!schedule) {
        view_.ShowError(kInvalidTimerMessage);
        return false;
    }
    draft_.Timer_SetTime = schedule->setTime;
    draft_.Timer_ScheduleTime.text = schedule->scheduleTime;
    view_.ShowCountdown(draft_.Timer_SetTime, draft_.Timer_ScheduleTime.text);
    return true;
}

void Monitor::OnTick() {
    // The six tip lines wait for the summary line; they are set alone only
    // when the tick fails before it.
    std::optional<std::string> pendingTip;
    try {
        if (state_.FirstTick)
            if (auto failure = LoadExcludedListOnTick(state_, ports_.programListFile, excludedPrograms_))
                LogQuietly(*failure);
        const DateTime now = Now();
        StatusDisplay status = ReadStatus(now);
        view_.ShowStatus(status);
        pendingTip = status.TipHelp;
        ListExclusions exclusions(excludedPrograms_, ports_.programs);
        const std::uint64_t monotonicMs = ports_.machine.MonotonicMs();
        // The first input after a timer's wake ends its keep-awake.
        if (state_.WakeHoldUntilMs && ports_.machine.LastInputTick() != state_.WakeHoldInput)
            state_.WakeHoldUntilMs = 0;
        TickVerdict v = EvaluateTick(
            now, monotonicMs, status, active_, [this] { return ports_.machine.Cursor(); }, &exclusions, state_,
            &ports_.keepAwake, &exclusions);
        // Like the tip: a refused icon change never ends the tick.
        if (auto icon = v.Exclusion.TrayIconId())
            Guarded("tray icon of the exclusion gate", [&] { SetTrayIcon(*icon); });
        const bool aborted = RunWarningStep(warningAborted_, v.Ready, v.MinutesToAct, monotonicMs, state_, active_,
                                            ports_.warning, view_, [this] { ShowFunctionState(false); });
        ShowOutlook({v, active_, state_, status.Readings, now, monotonicMs}, *pendingTip);
        pendingTip.reset();
        ResumeState rs{state_, active_};
        ExecuteIfDue(v.Ready, v.MinutesToAct, v.SameMinute, aborted, Execution(), rs);
        // After the warning's step: an abort in this tick drops the request at once.
        // The keep-awake after a timer's wake is the wake-up's, not the function's.
        const bool wakeHeld = monotonicMs < state_.WakeHoldUntilMs;
        Guarded("keep-awake request",
                [&] { HoldSystemAwake(v.OwnAwakeRequest && (active_.Function_Enabled || wakeHeld)); });
        // Has suspend or hibernation become possible, or impossible?
        UpdatePowerAvailability(ports_.powerSystem, active_, state_.MethodCheckPending,
                                {view_, draft_, ports_.settings});
        // A plan or hibernation switched while the window is open shows at once.
        if (view_.OutlookVisible()) view_.ShowSleepKinds(SleepKindsOfMachine(ports_.powerSystem));
    } catch (...) {
        // One failed reading or shell call never stops the watching.
        TraceCurrentException("monitor tick");
        if (pendingTip) RefreshTrayTip(*pendingTip);
    }
}

void Monitor::ShowOutlook(const TickOutlook& tick, const std::string& tip) {
    const std::string summary = SummaryLine(tick);
    RefreshTrayTip(TrayTipWithLine(tip, ports_.tray.IsShell5OrLater(), summary));
    // The marks cost a little each second; a hidden window needs none of it.
    if (view_.OutlookVisible()) view_.ShowOutlook(ConditionMarks(tick), summary);
}

void Monitor::ToggleFunctionSwitch() {
    const DateTime now = Now();
    FunctionSwitch sw =
        ToggleFunction(functionItemChecked_, active_, now, state_.ConditionUptimeMs(ports_.machine.UptimeMs()));
    ApplyFunctionSwitch(sw, vesko::ReadArmReadings(now, ports_.machine), active_, draft_, state_);
    view_.ShowSetting(&Settings::Function_Enabled, draft_);
    CheckFunctionItem(sw.FunctionEnabled);
    if (sw.TrayIconId) SetTrayIcon(*sw.TrayIconId);
    if (sw.Refusal) view_.ShowError(*sw.Refusal);
    if (sw.WriteSetting) ports_.settings.Write(&Settings::Function_Enabled, sw.FunctionEnabled);
}

void Monitor::RunPowerCommand(ManualCommand command) {
    RunManualCommand(command, ports_.powerActions, ports_.log, ports_.clock);
}

void Monitor::SetStayOnTop(bool onTop) {
    draft_.StayOnTop = onTop;
    ports_.settings.Write(&Settings::StayOnTop, onTop);
}

void Monitor::Exit(int windowX, int windowY) {
    ports_.settings.Write(
        {{&Settings::WindowPosX, windowX}, {&Settings::WindowPosY, windowY}, {&Settings::StayOnTop, draft_.StayOnTop}});
    ports_.log.WriteLog(logmsg::kExit, Now());
    EndSession();
}

void Monitor::EndSession() {
    Guarded("keep-awake request", [&] { HoldSystemAwake(false); });
    trayIconRemoved_ = true;
    ports_.tray.Remove();
}

void Monitor::AbortWarning() {
    try {
        WarningAbortClick(warningAborted_, ports_.warning, ports_.settings, view_);
    } catch (const std::exception& e) {
        view_.ShowError(e.what());
    }
}

void Monitor::PostponeWarning(bool locked) {
    try {
        WarningPostponeClick(locked, Now(), ports_.machine.MonotonicMs(), state_, ports_.warning, ports_.log);
    } catch (const std::exception& e) {
        view_.ShowError(e.what());
    }
}

void Monitor::ShowTrayIcon() {
    try {
        ports_.tray.Show();
    } catch (const std::exception& e) {
        view_.ShowError(e.what());
    }
}

void Monitor::ReloadProgramList() {
    ReloadExcludedPrograms(excludedPrograms_, ports_.programListFile);
    // The list is loaded: the first tick must not append the file once more.
    state_.FirstTick = false;
}

std::optional<std::string> Monitor::AddToProgramList(const std::string& path) {
    return AddExcludedProgram(excludedPrograms_, path, ports_.programListFile);
}

void Monitor::RemoveFromProgramList(std::size_t index) { RemoveExcludedProgram(excludedPrograms_, index); }

void Monitor::SaveProgramList() { SaveExcludedProgramList(ports_.programListFile, excludedPrograms_); }

void Monitor::RefreshTrayTip(const std::string& tip) {
    // The icon is a view of the engine: a shell that refuses or times out
    // never keeps the conditions from running.
    if (!trayIconRemoved_) Guarded("tray tip", [&] { ports_.tray.SetTip(tip); });
}

void Monitor::HoldSystemAwake(bool on) {
    if (on == systemAwakeHeld_) return;
    ports_.machine.KeepSystemAwake(on);
    systemAwakeHeld_ = on;
}

void Monitor::LogQuietly(const std::string& message) { WriteLogQuietly(ports_.log, message, Now()); }

void Monitor::ShowFunctionState(bool enabled) {
    draft_.Function_Enabled = enabled;
    view_.ShowSetting(&Settings::Function_Enabled, draft_);
    CheckFunctionItem(enabled);
    SetTrayIcon(enabled ? 0 : 1);
}

void Monitor::CheckFunctionItem(bool checked) {
    functionItemChecked_ = checked;
    view_.ShowFunctionSwitch(checked);
}

void Monitor::SetTrayIcon(int index) {
    // The exclusion gate names the icon every tick; the shell hears of changes only.
    if (trayIconRemoved_ || index == trayIconIndex_) return;
    ports_.tray.SetIcon(index);
    trayIconIndex_ = index;
}

ExecutionPorts Monitor::Execution() {
    return {ports_.clock,
            ports_.log,
            ports_.warning,
            view_,
            ports_.machine,
            [this](PowerMethod method) { EnterPowerMethod(ports_.powerActions, method); },
            [this]() -> std::optional<std::string> {
                if (!SetCountdown()) return std::nullopt;
                return draft_.Timer_ScheduleTime.text;
            }};
}

void Monitor::ApplyWindow(bool ok) {
    view_.ReadDraft(draft_);
    if (auto refusal = ValidateSettings(draft_, Now(), ports_.machine.UptimeMs())) {
        RefuseArming(*refusal);
        return;
    }
    // Applied settings count from now: the hold-off minute and every running
    // time, the mouse's included, so that nothing acts on time measured under
    // the old values.
    state_.Arm(ReadArmReadings());
    try {
        ports_.settings.Save(draft_);
    } catch (const std::exception& e) {
        // The stamps stay reset; the tick keeps the settings it had.
        view_.ShowError(e.what());
        return;
    }
    std::optional<std::string> linkFailure;
    try {
        SaveStartupLink();
    } catch (const std::exception& e) {
        linkFailure = e.what();
    }
    // The tray menu's function switch and the tray icon as the window's switch says.
    CheckFunctionItem(draft_.Function_Enabled);
    SetTrayIcon(draft_.Function_Enabled ? 0 : 1);
    ports_.settings.FillActive(active_);
    if (ok && !linkFailure) view_.HideAfterOk();
    // The tick may fall back from an impossible method once more, with its notice.
    state_.MethodCheckPending = true;
    if (linkFailure) view_.ShowError(*linkFailure);
}

void Monitor::DiscardWindowEdits() {
    view_.HideAfterOk();
    ReloadControls();
}

void Monitor::RefuseArming(const std::string& message) {
    view_.ShowError(message);
    SwitchOffAfterRefusal(draft_, active_);
    view_.ShowSetting(&Settings::Function_Enabled, draft_);
    CheckFunctionItem(false);
}

void Monitor::SaveStartupLink() {
    try {
        ports_.startupLink.Save(view_.StartWithWindowsChecked());
    } catch (...) {
        // The box shows what stayed in the folder, not what was asked for;
        // the caller shows the failure.
        ShowStartupLink(view_, ports_.startupLink, false);
        throw;
    }
}

void Monitor::ReloadControls() {
    ports_.settings.FillDraft(draft_);
    // The countdown's labels as stored, which also undoes an unsaved "セット".
    ports_.settings.FillCountdownLabels(draft_, kMissingLabelText);
    view_.ShowDraft(draft_);
    ShowStartupLink(view_, ports_.startupLink);
}

}  // namespace vesko
