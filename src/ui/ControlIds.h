#pragma once
// Window classes and control ids of the program's windows. The end-to-end
// driver includes this header to find and drive the controls. The class names
// are data other programs look for; they never change.
#include <cstddef>

#include "power/ManualCommands.h"

#define VESKO_CLASS_FORM1 L"TForm1"
#define VESKO_CLASS_ABOUT L"TAboutBox"
#define VESKO_CLASS_FORM3 L"TForm3"
#define VESKO_CLASS_FORM4 L"TForm4"
#define VESKO_CLASS_PROGRAM_PICKER L"TForm5"

namespace vesko::ids {

// Main window: the status panel and the countdown.
enum : int {
    GroupStatus = 1000,
    StatusCpu = 1001,
    StatusNetwork = 1002,
    StatusMemory = 1003,
    OsVersionLabel = 1014,
    StatusClock = 1015,
    StatusUptime = 1016,
    TimerSetTimeLabel = 1020,
    TimerDueLabel = 1022,
    CaptionCpu = 1101,
    CaptionNetwork = 1102,
    CaptionMemory = 1103,
    CaptionTime = 1115,
    CaptionUptime = 1116,
};

// Main window: the mark beside each condition's row, in the conditions'
// order (timer, time, window of the day, CPU, network, memory, uptime, mouse,
// the job's end),
// and the summary line below the groups.
enum : int {
    FirstConditionMark = 1300,
    SummaryLine = 1310,
    WakeNote = 1311,  // under the wake-up's days, while the power-off is the method
};

// Menu commands: the window's menu, then the tray icon's menu.
enum : int {
    StayOnTop = 2001,
    Help = 2002,
    About = 2003,
    Exit = 2004,
    Restore = 2101,
    ToggleFunction = 2102,
    TrayHelp = 2130,
    TrayAbout = 2131,
    TrayExit = 2132,
};

// The manual power commands take consecutive ids in the order of their list.
inline constexpr int kFirstPowerCommand = 2110;
constexpr int PowerCommandId(ManualCommand command) { return kFirstPowerCommand + static_cast<int>(command); }
inline constexpr int kLastPowerCommand = PowerCommandId(ManualCommand::Hibernate);
constexpr ManualCommand PowerCommandOf(int id) { return static_cast<ManualCommand>(id - kFirstPowerCommand); }

// About box.
enum : int {
    AboutProductName = 4001,
    AboutVersion = 4002,
    AboutCopyright = 4003,
    AboutComments = 4004,
    AboutUrlLink = 4005,
    AboutMailLink = 4006,
    AboutOKButton = 4007,
    AboutProgramIcon = 4008,
};

// Warning window.
enum : int {
    WarningMessage = 3001,
    WarningAbortButton = 3002,
    WarningLockedAbortButton = 3003,
    WarningPostponeButton = 3004,
};

// Excluded-programs dialog.
enum : int {
    ExcludedProgramList = 5001,
    AddProgramButton = 5002,
    DeleteProgramButton = 5003,
    CloseExcludedButton = 5004,
};

// The job's-end picker ("選択").
enum : int {
    PickerProgramList = 5101,
    PickerOkButton = 5102,
    PickerCancelButton = 5103,
};

// The main window's one-second timer.
enum : int {
    MonitorTimer = 1,
};

}  // namespace vesko::ids
