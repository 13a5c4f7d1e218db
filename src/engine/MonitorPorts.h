#pragma once
// What the monitor is given when it is made: each port is exactly what the
// monitor relies on, so that a new facility is one more port here.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "engine/Conditions.h"
#include "engine/Tick.h"
#include "power/ManualCommands.h"
#include "readings/CursorPos.h"
#include "readings/NetworkTraffic.h"
#include "settings/Settings.h"
#include "settings/SettingsDeclaration.h"

namespace vesko {

class CpuUsage;
class ExcludedListFile;
class KeepAwakeProbe;
class LogWriter;
class PowerActions;
class PowerSystem;
class ProgramSystem;
class SettingsStore;
class StartupShortcut;
class WarningDialog;

// What the monitor tells the settings window, and the little it asks of it.
class MonitorView {
public:
    virtual ~MonitorView() = default;
    // The status labels; written while the window is visible, kept for when it shows.
    virtual void ShowStatus(const StatusDisplay& status) = 0;
    // Whether the condition marks are worth computing: the window can be seen.
    virtual bool OutlookVisible() const = 0;
    virtual void ShowOutlook(const std::array<std::string, kConditionCount>& marks, const std::string& summary) = 0;
    // Caption, every bound control and the countdown's labels; one setting's control.
    virtual void ShowDraft(const Settings& draft) = 0;
    virtual void ShowSetting(const SettingMember& member, const Settings& draft) = 0;
    // Every bound control's value into the draft.
    virtual void ReadDraft(Settings& draft) const = 0;
    virtual void ShowStartWithWindows(bool on) = 0;
    virtual bool StartWithWindowsChecked() const = 0;
    virtual void ShowCountdown(const std::string& setTime, const std::string& dueTime) = 0;
    // What each method really does on this machine, one line each.
    virtual void ShowSleepKinds(const std::vector<std::string>& lines) = 0;
    // A method's radio button greyed or usable.
    virtual void SetChoiceEnabled(bool Settings::*method, bool enabled) = 0;
    // A manual power command offered or greyed in the menus.
    virtual void ShowPowerCommandEnabled(ManualCommand command, bool enabled) = 0;
    // The function switch's check mark in the tray menu.
    virtual void ShowFunctionSwitch(bool on) = 0;
    // The OS version text and the stored position and stay-on-top at start.
    virtual void ShowPlacement(const std::string& osVersionText, int x, int y, bool stayOnTop) = 0;

    // Visibility: on the screen now; counted as shown (restored, not yet
    // closed by OK or a close).
    virtual bool IsVisible() const = 0;
    virtual bool Shown() const = 0;
    // Window and taskbar button hidden; the tray icon stays.
    virtual void Hide() = 0;
    // Focus to OK first, then hidden (OK and every close).
    virtual void HideAfterOk() = 0;

    // The standard error box over the window; a plain notice box; the
    // fallback notice with the window steps around it.
    virtual void ShowError(const std::string& message) = 0;
    virtual void ShowNotice(const std::string& message) = 0;
    virtual void ShowFallbackNotice(const std::string& message) = 0;
    // The default sound, as the warning appears.
    virtual void Beep() = 0;
};

// What the monitor reads of the machine, and the little it asks the system.
class MachinePort {
public:
    virtual ~MachinePort() = default;
    // The interface table; Read false when it cannot be read.
    virtual InterfaceTable Interfaces() = 0;
    virtual int MemoryPercent() = 0;
    // Milliseconds since the system started.
    virtual std::uint64_t UptimeMs() = 0;
    // The count the running times are measured on: never back, not with the wall clock.
    virtual std::uint64_t MonotonicMs() = 0;
    // None while the cursor cannot be read (the lock screen has the input).
    virtual std::optional<CursorPos> Cursor() = 0;
    // The status clock's text: the time in the locale's long format.
    virtual std::string LongTime(DateTime now) = 0;
    virtual std::string OSVersionText() = 0;
    // The manual power commands this Windows offers.
    virtual ManualItemsEnabled ManualItems() = 0;
    // Asks Windows not to sleep on its own while `on` (the job's end waits
    // for a program); off gives the request back.
    virtual void KeepSystemAwake(bool on) = 0;
    // The tick count of the user's last input (GetLastInputInfo); it changes
    // with every key or pointer input. 0 where it cannot be read.
    virtual std::uint32_t LastInputTick() { return 0; }
};

// The readings an arming starts from, the wall clock read already.
inline ArmReadings ReadArmReadings(DateTime now, MachinePort& machine) {
    return {now, machine.MonotonicMs(), machine.UptimeMs(), machine.Cursor()};
}

// The program's icon in the notification area.
class TrayIconPort {
public:
    virtual ~TrayIconPort() = default;
    virtual bool IsShell5OrLater() const = 0;
    virtual void SetTip(const std::string& tip) = 0;
    // 0 "TTICON" (function on), 1 "TFICON".
    virtual void SetIcon(int index) = 0;
    // Raises NotifyIconError when the shell refuses.
    virtual void Show() = 0;
    // The icon leaves the notification area for good.
    virtual void Remove() = 0;
};

struct MonitorPorts {
    const Clock& clock;
    const SettingsStore& settings;
    MonitorView& view;
    WarningDialog& warning;
    PowerActions& powerActions;
    PowerSystem& powerSystem;  // what suspend and hibernation availability asks
    LogWriter& log;
    TrayIconPort& tray;
    ExcludedListFile& programListFile;
    ProgramSystem& programs;  // which listed programs are in use
    CpuUsage& cpu;
    // Other programs' keep-awake requests, asked only while the option is on.
    KeepAwakeProbe& keepAwake;
    MachinePort& machine;
    // The start-with-Windows link in the user's Startup folder.
    StartupShortcut& startupLink;
};

}  // namespace vesko
