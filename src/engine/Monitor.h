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
#include "engine/Execution.h"
#include "engine/MonitorState.h"
#include "power/ManualCommands.h"

namespace vesko {

struct TickOutlook;

class Monitor {
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
    // OK and Apply (ok false): the window's values checked, saved and taken
    // over. Nothing is taken over after a refused check (nothing saved) or a
    // failed save (what was written stays, the window stays shown). A link
    // the shell refuses does not undo the settings already in the file: they
    // are taken over, then the error is shown and the window stays, its
    // switch showing the folder as it is.
    void ApplyWindow(bool ok);
    // Cancel and every close: the window hides and the edits are discarded.
    void DiscardWindowEdits();
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
    // Around the program's own suspend or hibernation: the wake timer and
    // the keep-awake after a wake by it.
    void BeforeOwnSleep(bool suspend);
    void AfterOwnSleep();
    // An event-log line whose failure has nowhere to go but the trace.
    void LogQuietly(const std::string& message);

    DateTime Now() const { return ports_.clock.Now(); }
    ArmReadings ReadArmReadings() { return vesko::ReadArmReadings(Now(), ports_.machine); }
    // What carrying out a method uses.
    ExecutionPorts Execution();
    // A refused check: its message shown, the function off in the window,
    // the tray menu and the in-memory copy (not in the file).
    void RefuseArming(const std::string& message);
    // The start-with-Windows link as the window's switch says; raises when the
    // shell fails, the switch then showing what the Startup folder holds.
    void SaveStartupLink();
    // Every control from the file again; the countdown's labels from the file
    // ("エラー" for a missing key).
    void ReloadControls();

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
    bool wakeTimerSet_ = false;  // for the sleep under way
};

}  // namespace vesko
