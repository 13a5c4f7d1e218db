#pragma once
// The monitor: the engine's state from tick to tick, the window's draft and
// the active settings. It works through the ports it is given when made (the
// clock, the settings file, the view, the warning, the power actions, the
// log, the tray icon, the program list, the keep-awake probe) and knows no
// window: the settings window calls its commands and shows what it tells the
// view.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/MonitorPorts.h"
#include "engine/ApplySteps.h"
#include "engine/Execution.h"
#include "engine/MonitorState.h"
#include "engine/PowerAvailability.h"
#include "engine/Warning.h"
#include "power/ManualCommands.h"

namespace vesko {

struct TickOutlook;

class Monitor : private ExecutionHost,
                private WarningHost,
                private WarningAbortHost,
                private PowerChoices,
                private ApplyHost {
public:
    Monitor(const MonitorPorts& ports, std::vector<std::string> args);

    // Start-up once the windows and the tray icon exist: the stored position,
    // settings, first readings, countdown, start entry, power availability.
    // An error is shown and start-up goes on (the position's: start-up ends).
    void Start();
    // One second of monitoring; every error inside is traced and dropped.
    void OnTick();

    // The settings window's commands.
    // The countdown from now; false (and an error box) when the values are refused.
    bool SetCountdown();
    // OK and Apply (ok false); Cancel and every close of the window.
    void ApplyWindow(bool ok) { ApplySettings(*this, ok ? ApplyButton::Ok : ApplyButton::Apply); }
    void DiscardWindowEdits() { DiscardEdits(*this); }
    void SetStayOnTop(bool onTop);
    const Settings& Draft() const { return draft_; }
    // What the tick works from now.
    const Settings& Active() const { return active_; }

    // The tray menu's commands.
    void ToggleFunctionSwitch();
    void RunPowerCommand(ManualCommand command);
    // The position to the file, the exit entry to the log, the tray icon
    // removed; raises (and nothing further happens) when a write is refused.
    void Exit(int windowX, int windowY);
    // Windows ends the session: the icon leaves the notification area.
    void EndSession();

    // The warning window's abort button.
    void AbortWarning();
    // The warning's "10分延長"; refused when the warning is locked.
    void PostponeWarning(bool locked);
    // Shows the tray icon unless the program was started without one.
    void ShowTrayIcon();

    // The live excluded-program list: the dialog edits it, the tick tests it.
    const std::vector<std::string>& ExcludedPrograms() const { return excludedPrograms_; }
    // Before the dialog opens: the list from its file (FileOpenError when unreadable).
    void ReloadProgramList();
    // A chosen path appended; the refusal's text when the file cannot hold it.
    std::optional<std::string> AddToProgramList(const std::string& path);
    void RemoveFromProgramList(std::size_t index);
    // When the dialog has closed: the list to its file (FileCreateError when unwritable).
    void SaveProgramList();

private:
    bool RestorePlacement();
    StatusDisplay ReadStatus(DateTime now);
    void LoadSettings();
    void ShowFunctionState(bool enabled);
    // The tray menu's function switch; the monitor remembers what it shows.
    void CheckFunctionItem(bool checked);
    // The summary line into the tray tip and, while the window is seen, the
    // marks and the line into the window.
    void ShowOutlook(const TickOutlook& tick, const std::string& tip);
    void SetTrayIcon(int index);
    void RefreshTrayTip(const std::string& tip);
    // The job's end's request that Windows not sleep on its own; the
    // machine port hears of changes only.
    void HoldSystemAwake(bool on);
    // An event-log line whose failure has nowhere to go but the trace.
    void LogQuietly(const std::string& message);

    // ExecutionHost.
    DateTime Now() override;
    void WriteLog(const std::string& message, DateTime at) override;
    void ForcePowerOff() override;
    void Suspend() override;
    void Hibernate() override;
    bool IsMainWindowVisible() override;
    void HideApplication() override;
    bool SetTimer() override { return SetCountdown(); }
    std::string TimerDueText() override { return draft_.Timer_ScheduleTime.text; }
    ArmReadings ReadArmReadings() override;
    // Both clocks, the uptime and the cursor, with the wall clock read already.
    ArmReadings ReadArmReadingsAt(DateTime now);
    // WarningHost.
    void Beep() override;
    void ShowFunctionOff() override { ShowFunctionState(false); }
    // WarningAbortHost (HideApplication above serves it too).
    void WriteFunctionDisabled() override;
    void ShowMessage(const std::string& text) override;
    bool WindowShown() override;
    // PowerChoices.
    void SelectShutdownChoice() override;
    void SetHibernateChoicesEnabled(bool enabled) override;
    void SetSuspendChoicesEnabled(bool enabled) override;
    void WriteFallback(bool Settings::*refused) override;
    void ShowFallbackMessage(const std::string& text) override;
    // ApplyHost.
    std::optional<std::string> ValidateControls() override;
    void RefuseArming(const std::string& message) override;
    void RearmForApply() override;
    void SaveControls() override;
    void SaveStartupLink() override;
    void ShowFunctionInTray() override;
    void ReloadActiveSettings() override;
    void HideWindow() override;
    void AllowMethodFallback() override { state_.MethodCheckPending = true; }
    void ReloadControls() override;
    void ShowError(const std::string& message) override;

    MonitorPorts ports_;
    MonitorView& view_;
    std::vector<std::string> args_;
    MonitorState state_;
    Settings draft_;   // what the window shows and OK/Apply saves
    Settings active_;  // what the tick works from
    bool warningAborted_ = false;
    bool functionItemChecked_ = false;
    bool trayIconRemoved_ = false;
    std::vector<std::string> excludedPrograms_;
    int trayIconIndex_ = -1;  // the icon last set; -1 before the first
    bool systemAwakeHeld_ = false;
};

}  // namespace vesko
