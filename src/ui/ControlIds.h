#pragma once
// Window classes and control ids of the program's windows. The end-to-end
// driver includes this header to find and drive the controls.

#define VESKO_CLASS_FORM1 L"TForm1"
#define VESKO_CLASS_ABOUT L"TAboutBox"
#define VESKO_CLASS_FORM3 L"TForm3"
#define VESKO_CLASS_FORM4 L"TForm4"

namespace vesko::ids {

// Settings window: status group and its labels.
enum : int {
    GroupStatus = 1000,
    Label14 = 1014,   // OS version text
    Label1 = 1001,    // CPU load
    Label2 = 1002,    // network traffic
    Label3 = 1003,    // memory load
    Label15 = 1015,   // current time
    Label16 = 1016,   // continuous uptime
    Label20 = 1020,   // countdown set time
    Label22 = 1022,   // countdown scheduled time
    CaptionCpu = 1101,
    CaptionNetwork = 1102,
    CaptionMemory = 1103,
    CaptionTime = 1115,
    CaptionUptime = 1116,
};

// Menu commands: PopupMenu1 (window) and PopupMenu2 (tray icon).
enum : int {
    stayontop1 = 2001,
    Help1 = 2002,
    about1 = 2003,
    Exit1 = 2004,
    restore1 = 2101,
    FunctionEnabled1 = 2102,
    poweroff1 = 2110,
    shutdown1 = 2111,
    reboot1 = 2112,
    restart1 = 2113,
    logoff1 = 2114,
    force1 = 2115,
    forcehung1 = 2116,
    forcepower1 = 2117,
    msdos1 = 2118,
    suspend1 = 2119,
    hibernate1 = 2120,
    Help2 = 2130,
    about2 = 2131,
    Exit2 = 2132,
};

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

// Warning dialog.
enum : int {
    Form3Label1 = 3001,
    Form3Button1 = 3002,
    Form3Button2 = 3003,
};

// Timers of the settings window.
enum : int {
    Timer1 = 1,
    Timer2 = 2,
};

}  // namespace vesko::ids
