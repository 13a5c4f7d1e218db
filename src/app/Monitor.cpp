#include "Monitor.h"

#include "MainWindow.h"
#include "WinUi.h"
#include "base/WinText_win.h"
#include "engine/Arming.h"
#include "engine/StatusSummary.h"
#include "engine/TimerSchedule.h"
#include "log/EventLog.h"
#include "log/EventLog_win.h"
#include "power/PowerActions.h"
#include "power/PowerActions_win.h"
#include "readings/CpuUsage.h"
#include "readings/MemoryUse.h"
#include "readings/SystemProbes.h"
#include "settings/ExcludedPrograms.h"
#include "settings/ProfileFile_win.h"
#include "settings/SettingsDeclaration.h"
#include "settings/StartupShortcut.h"
#include "tray/TrayIcon_win.h"
#include "ui/ControlIds.h"

namespace vesko {
namespace {

DateTime LocalNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

// The live program list as the tick's exclusion gate reads it: one process
// list per tick, taken at the first test.
class ListExclusions : public ExcludedProgramList {
public:
    ListExclusions(const std::vector<std::string>& entries, ProgramSystem& system) : entries_(entries), inUse_(system) {}
    std::size_t Count() const override { return entries_.size(); }
    bool IsInUse(std::size_t index) override { return inUse_.IsFileInUse(entries_[index]); }

private:
    const std::vector<std::string>& entries_;
    ProgramsInUse inUse_;
};

}  // namespace

Monitor::Monitor(MainWindow& window, std::vector<std::string> args) : window_(window), args_(std::move(args)) {}
Monitor::~Monitor() = default;

std::string Monitor::IniPath() const { return ExeFolder() + "vesko.ini"; }

void Monitor::CreateComponents(HINSTANCE instance, HMENU trayMenu) {
    cpu_ = CreateCpuUsage();
    powerSystem_ = std::make_unique<WinPowerSystem>();
    powerSystem_->SetCloseMainWindow([this] { PostMessageW(window_.Handle(), WM_CLOSE, 0, 0); });
    powerActions_ = std::make_unique<PowerActions>(*powerSystem_);
    listFile_ = OpenExcludedListFile();
    programs_ = CreateProgramSystem();

    // Until start-up has run, the tick finds the engine armed and nothing on.
    state_.StartAt(ReadArmReadings());

    trayIcon_ = std::make_unique<WinTrayIcon>(window_.Handle(), instance);
    TrayIcon& t = trayIcon_->Tray();
    t.SetTipHelp(kAppTitle);
    t.SetVisible(false);
    t.SetResourceIconList({"TTICON", "TFICON"});
    t.SetResourceIconID(0);
    t.SetCheckSingleDoubleClick(true);
    t.SetBalloonHelpTimeOut(0);
    // The tip changes every second; the shell needs it only while it shows.
    t.SetTipDeferred(true);
    t.RButtonPopupMenu = ToMenuHandle(trayMenu);
    t.OnDoubleClick = [this](TrayIcon&) { window_.Restore(); };
    // Errors inside the tray's own message handling have no caller to reach.
    t.OnError = [](TrayIcon&, const std::string&) {};
    t.Loaded();
}

void Monitor::Start() {
    // What the tick needs comes before anything that can fail: the hold-off,
    // every running time and no countdown in force.
    state_.StartAt(ReadArmReadings());
    active_.Timer_ScheduleTime.time = kNoTimerSchedule;
    try {
        // The first readings; the octet totals read now are the first tick's baseline.
        cpu_->GetUsage();
        StatusDisplay status = ReadStatus(Now());
        window_.ShowStatus(status);
        LoadSettings();
        // The stored schedule is the previous run's: only this start's countdown counts.
        active_.Timer_ScheduleTime.time = kNoTimerSchedule;
        RefreshTrayTip(TrayTipText(trayIcon_->Tray().IsShell5OrLater(), status));
        ShowFunctionState(draft_.Function_Enabled);
        // The countdown runs from the program's start and is stored at every start.
        if (SetCountdown()) active_.Timer_ScheduleTime.time = TimerScheduleFromText(draft_.Timer_ScheduleTime.text);
        // The running times count from the end of the countdown's box.
        state_.StartAt(ReadArmReadings());
        {
            auto ini = OpenSystemProfileFile(IniPath());
            WriteSetting(*ini, &Settings::Timer_SetTime, draft_.Timer_SetTime);
            WriteSetting(*ini, &Settings::Timer_ScheduleTime, draft_.Timer_ScheduleTime.text);
        }
        if (active_.Log_Enabled) {
            // A log that cannot be written is told once, here; the rest of
            // the start (availability, menus) never depends on it.
            try {
                WriteLog(StartLogMessage(args_), Now());
            } catch (const std::exception& e) {
                ShowErrorBox(window_.Handle(), e.what());
            }
        }
        // Methods the machine cannot use fall back silently.
        UpdatePowerAvailabilityAtStart(*powerSystem_, active_, *this);
        // Power commands the platform does not offer.
        ManualItemsEnabled items = ManualItemsEnabledFor(PowerActions::VersionInfo());
        window_.SetMenuItemEnabled(ids::PowerCommandId(ManualCommand::Restart), items.restart);
        window_.SetMenuItemEnabled(ids::PowerCommandId(ManualCommand::MsDos), items.msDos);
        window_.SetMenuItemEnabled(ids::PowerCommandId(ManualCommand::ForceHung), items.forceIfHung);
    } catch (const std::exception& e) {
        // Start-up goes on with what was done so far; the engine is armed already.
        ShowErrorBox(window_.Handle(), e.what());
    }
}

void Monitor::LoadSettings() {
    auto ini = OpenSystemProfileFile(IniPath());
    LoadDraft(*ini, draft_);
    LoadActiveSettings(*ini, active_);
    window_.ShowDraft(draft_);
    window_.ShowStartWithWindows(OpenStartupShortcut()->IsOn());
}

StatusDisplay Monitor::ReadStatus(DateTime now) {
    TickReadings r;
    r.CpuPercent = cpu_->GetUsage();
    r.Interfaces = ReadInterfaceTable();
    MemorySizes m = ReadMemorySizes();
    r.MemoryPercent = MemoryPercent(m.TotalPhys, m.AvailPhys);
    r.UptimeMs = ReadUptimeMilliseconds();
    r.TimeText = WinLocaleFormats().LongTime(DecodeDateTime(now));
    return TakeReadings(r, trayIcon_->Tray().IsShell5OrLater(), state_);
}

bool Monitor::SetCountdown() {
    window_.ReadDraft(draft_);
    auto schedule = ScheduleFromNow(Now(), draft_.Timer_Hour, draft_.Timer_Minute);
    if (!schedule) {
        ShowErrorBox(window_.Handle(), kInvalidTimerMessage);
        return false;
    }
    draft_.Timer_SetTime = schedule->setTime;
    draft_.Timer_ScheduleTime.text = schedule->scheduleTime;
    window_.ShowCountdown(draft_.Timer_SetTime, draft_.Timer_ScheduleTime.text);
    return true;
}

void Monitor::OnTick() {
    // The six tip lines wait for the summary line; they are set alone only
    // when the tick fails before it.
    std::optional<std::string> pendingTip;
    try {
        if (state_.FirstTick)
            if (auto failure = LoadExcludedListOnTick(state_, *listFile_, excludedPrograms_)) LogQuietly(*failure);
        const DateTime now = Now();
        StatusDisplay status = ReadStatus(now);
        window_.ShowStatus(status);
        pendingTip = status.TipHelp;
        ListExclusions exclusions(excludedPrograms_, *programs_);
        const std::uint64_t monotonicMs = ReadMonotonicMilliseconds();
        TickVerdict v = EvaluateTick(now, monotonicMs, status, active_, [] { return TryReadCursorPos(); },
                                     &exclusions, state_);
        if (auto icon = v.Exclusion.TrayIconId()) {
            // Like the tip: a refused icon change never ends the tick.
            try {
                SetTrayIcon(*icon);
            } catch (...) {
            }
        }
        bool aborted = false;
        if (warning_) aborted = RunWarningStep(warningAborted_, v.Ready, v.MinutesToAct, active_, *warning_, *this);
        ShowOutlook({v, active_, state_, status.Readings, now, monotonicMs}, *pendingTip);
        pendingTip.reset();
        if (warning_) {
            ResumeState rs{state_, active_};
            ExecuteIfDue(v.Ready, v.MinutesToAct, v.SameMinute, aborted, *this, *warning_, rs);
        }
        // Has suspend or hibernation become possible, or impossible?
        UpdatePowerAvailability(*powerSystem_, active_, state_.MethodCheckPending, *this);
    } catch (...) {
        // One failed reading or shell call never stops the watching.
        if (pendingTip) RefreshTrayTip(*pendingTip);
    }
}

void Monitor::ShowOutlook(const TickOutlook& tick, const std::string& tip) {
    const std::string summary = SummaryLine(tick);
    RefreshTrayTip(TrayTipWithLine(tip, trayIcon_->Tray().IsShell5OrLater(), summary));
    // The marks cost a little each second; a hidden window needs none of it.
    if (window_.StatusVisible()) window_.ShowOutlook(ConditionMarks(tick), summary);
}

void Monitor::ToggleFunction() {
    const DateTime now = Now();
    const bool checked = window_.IsMenuItemChecked(ids::ToggleFunction);
    FunctionSwitch sw =
        vesko::ToggleFunction(checked, active_, now, state_.ConditionUptimeMs(ReadUptimeMilliseconds()));
    ApplyFunctionSwitch(sw, vesko::ReadArmReadings(now), active_, draft_, state_);
    window_.ShowSetting(&Settings::Function_Enabled, draft_);
    window_.SetMenuItemChecked(ids::ToggleFunction, sw.FunctionEnabled);
    if (sw.TrayIconId) SetTrayIcon(*sw.TrayIconId);
    if (sw.Refusal) ShowErrorBox(window_.Handle(), *sw.Refusal);
    if (sw.WriteSetting) {
        auto ini = OpenSystemProfileFile(IniPath());
        WriteSetting(*ini, &Settings::Function_Enabled, sw.FunctionEnabled);
    }
}

void Monitor::RunPowerCommand(ManualCommand command) { RunManualCommand(command, *powerActions_, *this, *this); }

void Monitor::AbortWarning() {
    if (!warning_) return;
    try {
        WarningAbortClick(warningAborted_, *warning_, *this);
    } catch (const std::exception& e) {
        ShowErrorBox(window_.Handle(), e.what());
    }
}

void Monitor::ShowTrayIcon() {
    try {
        trayIcon_->Tray().SetVisible(true);
    } catch (const std::exception& e) {
        ShowErrorBox(window_.Handle(), e.what());
    }
}

void Monitor::RemoveTrayIcon() { trayIcon_.reset(); }

void Monitor::ReloadExcludedPrograms() {
    vesko::ReloadExcludedPrograms(excludedPrograms_, *listFile_);
    // The list is loaded: the first tick must not append the file once more.
    state_.FirstTick = false;
}

std::optional<std::string> Monitor::AddExcludedProgram(const std::string& path) {
    return vesko::AddExcludedProgram(excludedPrograms_, path, *listFile_);
}

void Monitor::RemoveExcludedProgram(std::size_t index) { vesko::RemoveExcludedProgram(excludedPrograms_, index); }

void Monitor::SaveExcludedPrograms() { SaveExcludedProgramList(*listFile_, excludedPrograms_); }

void Monitor::RefreshTrayTip(const std::string& tip) {
    // The icon is a view of the engine: a shell that refuses or times out
    // never keeps the conditions from running.
    try {
        if (trayIcon_) trayIcon_->Tray().SetTipHelp(tip);
    } catch (...) {
    }
}

void Monitor::LogQuietly(const std::string& message) {
    try {
        WriteLog(message, Now());
    } catch (...) {
    }
}

void Monitor::LogExit() { WriteLog(logmsg::kExit, Now()); }

void Monitor::ShowFunctionState(bool enabled) {
    draft_.Function_Enabled = enabled;
    window_.ShowSetting(&Settings::Function_Enabled, draft_);
    window_.SetMenuItemChecked(ids::ToggleFunction, enabled);
    SetTrayIcon(enabled ? 0 : 1);
}

void Monitor::SetTrayIcon(int index) {
    // The exclusion gate names the icon every tick; the shell hears of changes only.
    if (!trayIcon_ || index == trayIconIndex_) return;
    trayIcon_->Tray().SetResourceIconID(index);
    trayIconIndex_ = index;
}

DateTime Monitor::Now() { return LocalNow(); }
DateTime Monitor::Now() const { return LocalNow(); }
ArmReadings Monitor::ReadArmReadings() { return vesko::ReadArmReadings(Now()); }

void Monitor::WriteLog(const std::string& message, DateTime at) {
    WinLogFileSystem fs;
    AppendLogLine(fs, ExeFolder() + "Log.txt", LogLine(at, message, WinLocaleFormats()));
}

void Monitor::ForcePowerOff() { powerActions_->ForcePowerOff(); }
void Monitor::Suspend() { powerActions_->Suspend(); }
void Monitor::Hibernate() { powerActions_->Hibernate(); }
bool Monitor::IsMainWindowVisible() { return IsWindowVisible(window_.Handle()) != FALSE; }
void Monitor::HideApplication() { window_.Hide(); }
void Monitor::Beep() { MessageBeep(0); }

void Monitor::WriteFunctionDisabled() {
    auto ini = OpenSystemProfileFile(IniPath());
    WriteSetting(*ini, &Settings::Function_Enabled, false);
}

void Monitor::ShowMessage(const std::string& text) { ShowNoticeBox(nullptr, text); }
bool Monitor::WindowShown() { return window_.Shown(); }

void Monitor::SelectShutdownChoice() {
    SetRadio(draft_, &Settings::Shutdown, true);
    window_.ShowSetting(&Settings::Shutdown, draft_);
}
void Monitor::SetHibernateChoicesEnabled(bool enabled) {
    window_.SetChoiceEnabled(&Settings::Hibernation, enabled);
    window_.SetMenuItemEnabled(ids::PowerCommandId(ManualCommand::Hibernate), enabled);
}
void Monitor::SetSuspendChoicesEnabled(bool enabled) {
    window_.SetChoiceEnabled(&Settings::Suspend, enabled);
    window_.SetMenuItemEnabled(ids::PowerCommandId(ManualCommand::Suspend), enabled);
}

void Monitor::WritePowerSaving(bool Settings::* key, bool value) {
    auto ini = OpenSystemProfileFile(IniPath());
    WriteSetting(*ini, key, value);
}

void Monitor::ShowFallbackMessage(const std::string& text) { ShowFallbackNotice(window_, text); }

std::optional<std::string> Monitor::ValidateControls() {
    window_.ReadDraft(draft_);
    return ValidateSettings(draft_, Now(), ReadUptimeMilliseconds());
}

void Monitor::RefuseArming(const std::string& message) {
    ShowErrorBox(window_.Handle(), message);
    vesko::RefuseArming(draft_, active_);
    window_.ShowSetting(&Settings::Function_Enabled, draft_);
    window_.SetMenuItemChecked(ids::ToggleFunction, false);
}

// Applied settings count from now: the hold-off minute and every running
// time, the mouse's included, so that nothing acts on time measured under
// the old values.
void Monitor::RearmForApply() { state_.Arm(ReadArmReadings()); }

void Monitor::SaveControls() {
    auto ini = OpenSystemProfileFile(IniPath());
    SaveSettings(*ini, draft_);
    OpenStartupShortcut()->Save(window_.StartWithWindowsChecked());
}

void Monitor::ShowFunctionInTray() {
    window_.SetMenuItemChecked(ids::ToggleFunction, draft_.Function_Enabled);
    SetTrayIcon(draft_.Function_Enabled ? 0 : 1);
}

void Monitor::ReloadActiveSettings() {
    auto ini = OpenSystemProfileFile(IniPath());
    LoadActiveSettings(*ini, active_);
}

void Monitor::HideWindow() {
    window_.FocusOkButton();
    window_.Hide();
}

void Monitor::ReloadControls() {
    auto ini = OpenSystemProfileFile(IniPath());
    LoadDraft(*ini, draft_);
    // The countdown's labels as stored, which also undoes an unsaved "セット".
    LoadCountdownLabels(*ini, draft_, kMissingLabelText);
    window_.ShowDraft(draft_);
    window_.ShowStartWithWindows(OpenStartupShortcut()->IsOn());
}

void Monitor::ShowError(const std::string& message) { ShowErrorBox(window_.Handle(), message); }

}  // namespace vesko
