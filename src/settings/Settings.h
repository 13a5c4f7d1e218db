#pragma once
// Every setting of "vesko.ini" as one value, member by INI key. The same type
// serves the window's draft (what the controls show and OK/Apply saves) and the
// in-memory copy the one-second tick works from. The initial values below are
// the defaults, the only place they are written: a key missing from the file
// reads as its member's initial value. Ranges, sections and controls live in
// the declaration (SettingsDeclaration.cpp), which holds one row per member:
// its build fails when a member has no row.
#include <string>

#include "base/DateTime.h"
#include "base/Product.h"

namespace vesko {

// The countdown's scheduled time: the text its label shows and the file holds,
// and the time of day the tick compares with (only hour and minute are used).
struct TimeOfDayText {
    std::string text;
    DateTime time = kNoTimerSchedule;
};

struct Settings {
    std::string Title = kProductName;

    bool Timer_Enabled = false;
    int Timer_Hour = 0;
    int Timer_Minute = 1;
    std::string Timer_SetTime = "hh:nn";        // the countdown's set-time label, saved as it stands
    TimeOfDayText Timer_ScheduleTime{"hh:nn"};  // the countdown's due time

    bool Time_Enabled = false;
    int Time_Hour = 0;
    int Time_Minute = 0;
    std::string Time_Days = "1111111";  // Monday first; the daily time holds on a ticked day

    bool AppointedTime_Enabled = false;
    int AppointedTime_FromHour = 0;
    int AppointedTime_FromMinute = 0;
    int AppointedTime_ToHour = 0;
    int AppointedTime_ToMinute = 0;
    std::string AppointedTime_Days = "1111111";  // the day a window starts on must be ticked

    bool CPU_Enabled = false;
    int CPU_Percent = 0;
    int CPU_Time = 1;

    bool Network_Enabled = false;
    int Network_Speed = 0;
    int Network_Unit = 0;  // 0 B/s, 1 kB/s, 2 MB/s; -1 in the draft when no unit is selected
    int Network_Time = 1;

    bool Memory_Enabled = false;
    int Memory_Percent = 0;
    int Memory_Time = 1;

    bool OS_Enabled = false;
    int OS_Hour = 0;
    int OS_Minute = 1;

    bool MouseCursor_Enabled = false;
    int MouseCursor_Time = 1;

    // A job's end: a program of this file name (no folder) has run since
    // arming and none has run for ProgramEnd_Time minutes.
    bool ProgramEnd_Enabled = false;
    std::string ProgramEnd_Name;
    int ProgramEnd_Time = 1;

    bool Shutdown = true;
    bool Suspend = false;
    bool Hibernation = false;
    bool Piece_Requirement = true;
    bool All_Requirement = false;

    bool Warning_Enabled = false;
    int Warning_Time = 1;
    bool Function_Enabled = true;
    bool Log_Enabled = true;
    bool Application_Enabled = false;  // read, no effect; saved with ExeStop_Enabled's value
    bool ExeStop_Enabled = false;
    bool KeepAwake_Enabled = false;  // stand aside while another program keeps the machine awake

    // Waking the machine again after the program's own suspend or hibernation.
    bool Wake_Enabled = false;
    int Wake_Hour = 7;
    int Wake_Minute = 0;
    std::string Wake_Days = "1111100";  // Monday first

    int WindowPosX = 0;
    int WindowPosY = 0;
    bool StayOnTop = false;
};

}  // namespace vesko
