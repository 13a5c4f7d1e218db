#pragma once
// Every setting of "vesko.ini" as one value, member by INI key. The same type
// serves the window's draft (what the controls show and OK/Apply saves) and the
// in-memory copy the one-second tick works from. Defaults, ranges, sections
// and controls live in one place, the declaration in SettingsDeclaration.cpp;
// a default-constructed Settings holds the declared defaults.
#include <string>

#include "base/DateTime.h"

namespace vesko {

// The countdown's scheduled time: the text its label shows and the file holds,
// and the time of day the tick compares with (only hour and minute are used).
struct TimeOfDayText {
    std::string text;
    DateTime time = kNoTimerSchedule;
};

struct Settings {
    Settings();  // the declared defaults

    std::string Title;

    bool Timer_Enabled;
    int Timer_Hour;
    int Timer_Minute;
    std::string Timer_SetTime;         // the countdown's set-time label, saved as it stands
    TimeOfDayText Timer_ScheduleTime;  // the countdown's due time

    bool Time_Enabled;
    int Time_Hour;
    int Time_Minute;

    bool AppointedTime_Enabled;
    int AppointedTime_FromHour;
    int AppointedTime_FromMinute;
    int AppointedTime_ToHour;
    int AppointedTime_ToMinute;

    bool CPU_Enabled;
    int CPU_Percent;
    int CPU_Time;

    bool Network_Enabled;
    int Network_Speed;
    int Network_Unit;  // 0 B/s, 1 kB/s, 2 MB/s; -1 in the draft when no unit is selected
    int Network_Time;

    bool Memory_Enabled;
    int Memory_Percent;
    int Memory_Time;

    bool OS_Enabled;
    int OS_Hour;
    int OS_Minute;

    bool MouseCursor_Enabled;
    int MouseCursor_Time;

    bool Shutdown;
    bool Suspend;
    bool Hibernation;
    bool Piece_Requirement;
    bool All_Requirement;

    bool Warning_Enabled;
    int Warning_Time;
    bool Function_Enabled;
    bool Log_Enabled;
    bool Application_Enabled;  // read, no effect; saved with ExeStop_Enabled's value
    bool ExeStop_Enabled;
    bool KeepAwake_Enabled;  // stand aside while another program keeps the machine awake

    int WindowPosX;
    int WindowPosY;
    bool StayOnTop;
};

}  // namespace vesko
