#pragma once
// The in-memory copy of the settings that the one-second tick works from.
// Loaded from the file at start and on every OK or Apply; values are taken as
// the file holds them (no control ranges applied).
#include "base/DateTime.h"

namespace vesko {

struct ActiveSettings {
    bool Timer_Enabled = false;
    int Timer_Hour = 0;
    int Timer_Minute = 1;
    DateTime Timer_ScheduleTime = 0;  // only hour and minute are used

    bool Time_Enabled = false;
    int Time_Hour = 0;
    int Time_Minute = 0;

    bool AppointedTime_Enabled = false;
    int AppointedTime_FromHour = 0;
    int AppointedTime_FromMinute = 0;
    int AppointedTime_ToHour = 0;
    int AppointedTime_ToMinute = 0;

    bool CPU_Enabled = false;
    int CPU_Percent = 0;
    int CPU_Time = 1;

    bool Network_Enabled = false;
    int Network_Speed = 0;
    int Network_Unit = 0;  // 0 B/s, 1 kB/s, 2 MB/s
    int Network_Time = 1;

    bool Memory_Enabled = false;
    int Memory_Percent = 0;
    int Memory_Time = 1;

    bool OS_Enabled = false;
    int OS_Hour = 0;
    int OS_Minute = 1;

    bool MouseCursor_Enabled = false;
    int MouseCursor_Time = 1;

    bool Shutdown = true;
    bool Suspend = false;
    bool Hibernation = false;
    bool Piece_Requirement = true;
    bool All_Requirement = false;

    bool Warning_Enabled = false;
    int Warning_Time = 1;
    bool Function_Enabled = true;
    bool Log_Enabled = true;
    bool Application_Enabled = false;  // read, no effect
    bool ExeStop_Enabled = false;
};

}  // namespace vesko
