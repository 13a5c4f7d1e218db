#pragma once
// The monitor: the engine's state from tick to tick, the window's draft and
// the active settings, and the components the tick drives (CPU meter, power
// actions, the excluded-program list, the tray icon). It is the engine's host;
// the main window shows what it reports and forwards the one-second timer.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "engine/ApplySteps.h"
#include "engine/Execution.h"
#include "engine/MonitorState.h"
#include "engine/PowerAvailability.h"
#include "engine/Tick.h"
#include "engine/Warning.h"
#include "power/ManualCommands.h"
#include "settings/Settings.h"

namespace vesko {

class MainWindow;
class CpuUsage;
class PowerActions;
class WinPowerSystem;
class WinTrayIcon;
class ExcludedListFile;
class ProgramSystem;
class KeepAwakeProbe;
struct TickOutlook;

class Monitor : private ExecutionHost,
                private WarningHost,
                private WarningAbortHost,
                private PowerChoices,
                private LogWriter,
                private Clock,
                private ApplyHost {
public:
    Monitor(MainWindow& window, std::vector<std::string> args);
    ~Monitor() override;

    // The components; the tray icon belongs to the window and shows its menu.
    void CreateComponents(HINSTANCE instance, HMENU trayMenu);
    // Start-up once the window exists: settings, first readings, countdown,
    // start entry, power availability. An error is shown and start-up goes on.
    void Start();
    // One second of monitoring; every error inside is dropped.
    void OnTick();
    // The countdown from now; false (and an error box) when the values are refused.
    bool SetCountdown();
    void ToggleFunction();
    // OK and Apply (ok false); Cancel and every close of the window.
    void ApplyWindow(bool ok) { ApplySettings(*this, ok ? ApplyButton::Ok : ApplyButton::Apply); }
    void DiscardWindowEdits() { DiscardEdits(*this); }
    void RunPowerCommand(ManualCommand command);
    void AttachWarningWindow(WarningDialog* dialog) { warning_ = dialog; }
    void AbortWarning();
    // The warning's "10分延長"; refused when the warning is locked.
    void PostponeWarning(bool locked);
    // Shows the tray icon unless the program was started without one.
    void ShowTrayIcon();
    // The icon leaves the notification area.
    void RemoveTrayIcon();
    // The exit entry of the event log; raises when it cannot be written.
    void LogExit();

    // The live excluded-program list: the dialog edits it, the tick tests it.
    const std::vector<std::string>& ExcludedPrograms() const { return excludedPrograms_; }
    // Before the dialog opens: the list from its file (FileOpenError when unreadable).
    void ReloadExcludedPrograms();
    // A chosen path appended; the refusal's text when the file cannot hold it.
    std::optional<std::string> AddExcludedProgram(const std::string& path);
    void RemoveExcludedProgram(std::size_t index);
    // When the dialog has closed: the list to its file (FileCreateError when unwritable).
    void SaveExcludedPrograms();

    Settings& Draft() { return draft_; }
    std::string IniPath() const;

private:
    StatusDisplay ReadStatus(DateTime now);
    void LoadSettings();
    void ShowFunctionState(bool enabled);
    // The summary line into the tray tip and, while the window is seen, the
    // marks and the line into the window.
    void ShowOutlook(const TickOutlook& tick, const std::string& tip);
    void SetTrayIcon(int index);
    void RefreshTrayTip(const std::string& tip);
    // An event-log line whose failure has nowhere to go.
    void LogQuietly(const std::string& message);

    // ExecutionHost, LogWriter and Clock.
    DateTime Now() override;
    DateTime Now() const override;
    void WriteLog(const std::string& message, DateTime at) override;
    void ForcePowerOff() override;
    void Suspend() override;
    void Hibernate() override;
    bool IsMainWindowVisible() override;
    void HideApplication() override;
    bool SetTimer() override { return SetCountdown(); }
    std::string TimerDueText() override { return draft_.Timer_ScheduleTime.text; }
    ArmReadings ReadArmReadings() override;
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
    void WritePowerSaving(bool Settings::* key, bool value) override;
    void ShowFallbackMessage(const std::string& text) override;
    // ApplyHost.
    std::optional<std::string> ValidateControls() override;
    void RefuseArming(const std::string& message) override;
    void RearmForApply() override;
    void SaveControls() override;
    void ShowFunctionInTray() override;
    void ReloadActiveSettings() override;
    void HideWindow() override;
    void AllowMethodFallback() override { state_.MethodCheckPending = true; }
    void ReloadControls() override;
    void ShowError(const std::string& message) override;

    MainWindow& window_;
    std::vector<std::string> args_;
    MonitorState state_;
    Settings draft_;   // what the window shows and OK/Apply saves
    Settings active_;  // what the tick works from
    bool warningAborted_ = false;
    std::vector<std::string> excludedPrograms_;
    std::unique_ptr<CpuUsage> cpu_;
    std::unique_ptr<WinPowerSystem> powerSystem_;
    std::unique_ptr<PowerActions> powerActions_;
    std::unique_ptr<WinTrayIcon> trayIcon_;
    std::unique_ptr<ExcludedListFile> listFile_;
    std::unique_ptr<ProgramSystem> programs_;
    // Other programs' keep-awake requests; holds libraries only while asked.
    std::unique_ptr<KeepAwakeProbe> keepAwake_;
    WarningDialog* warning_ = nullptr;
    int trayIconIndex_ = -1;  // the icon last set; -1 before the first
};

}  // namespace vesko
