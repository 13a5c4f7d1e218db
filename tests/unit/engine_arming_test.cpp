#include <gtest/gtest.h>

#include <functional>

#include "engine/Arming.h"
#include "settings/SettingsDeclaration.h"

namespace vesko {
namespace {

DateTime At(int h, int m, int s = 0) { return EncodeDateTime({2026, 3, 10, h, m, s}); }

constexpr std::uint64_t kThreeHoursUp = 3u * 3600000u;

TEST(TimerSet, ScheduleTexts) {
    struct Case {
        DateTime now;
        int hours, minutes;
        const char *set, *scheduled;
    } cases[] = {
        {At(23, 50), 0, 15, "23:50", "0:05"},   {At(22, 30), 1, 45, "22:30", "0:15"},
        {At(9, 5, 40), 0, 5, "9:05", "9:10"},   {At(0, 0), 23, 59, "0:00", "23:59"},
        {At(23, 59), 23, 59, "23:59", "23:58"}, {At(11, 58), 0, 2, "11:58", "12:00"},
    };
    for (const Case& c : cases) {
        auto s = ScheduleFromNow(c.now, c.hours, c.minutes);
        ASSERT_TRUE(s.has_value()) << c.set;
        EXPECT_EQ(s->setTime, c.set);
        EXPECT_EQ(s->scheduleTime, c.scheduled) << c.set;
    }
    EXPECT_FALSE(ScheduleFromNow(At(12, 0), 0, 0).has_value());
}

// A draft that passes every test: timer 10 minutes, OS uptime 5 hours, all unticked.
Settings ValidForm() {
    Settings f;
    f.Function_Enabled = f.Log_Enabled = false;
    f.Timer_Minute = 10;
    f.OS_Hour = 5;
    f.OS_Minute = 0;
    return f;
}

struct FormCase {
    const char* what;
    std::function<void(Settings&)> edit;
    const char* message;  // nullptr: accepted
};

TEST(ValidateSettings, FirstFailingTestDecides) {
    auto armed = [](Settings& f) { f.Function_Enabled = true; };
    const FormCase cases[] = {
        {"valid, function ticked", armed, nullptr},
        {"timer zero, timer unticked", [](Settings& f) { f.Timer_Minute = 0; }, kInvalidTimerMessage},
        {"OS zero, OS unticked", [](Settings& f) { f.OS_Hour = 0; }, kInvalidOsUptimeMessage},
        {"both zero: timer first",
         [](Settings& f) {
             f.Timer_Minute = 0;
             f.OS_Hour = 0;
         },
         kInvalidTimerMessage},
        {"uptime reached",
         [&](Settings& f) {
             armed(f);
             f.OS_Enabled = true;
             f.OS_Hour = 3;
         },
         kOsUptimeElapsedMessage},
        {"uptime reached in all mode too",
         [&](Settings& f) {
             armed(f);
             SetRadio(f, &Settings::All_Requirement, true);
             f.OS_Enabled = true;
             f.OS_Hour = 3;
         },
         kOsUptimeElapsedMessage},
        {"uptime one minute short",
         [&](Settings& f) {
             armed(f);
             f.OS_Enabled = true;
             f.OS_Hour = 3;
             f.OS_Minute = 1;
         },
         nullptr},
        {"uptime reached, function unticked",
         [](Settings& f) {
             f.OS_Enabled = true;
             f.OS_Hour = 3;
         },
         nullptr},
        {"schedule is now",
         [&](Settings& f) {
             armed(f);
             f.Timer_Enabled = true;
             f.Timer_ScheduleTime.text = "10:00";
         },
         kTimerScheduleIsNowMessage},
        {"schedule next minute",
         [&](Settings& f) {
             armed(f);
             f.Timer_Enabled = true;
             f.Timer_ScheduleTime.text = "10:01";
         },
         nullptr},
        {"schedule is now, timer unticked",
         [&](Settings& f) {
             armed(f);
             f.Timer_ScheduleTime.text = "10:00";
         },
         nullptr},
        {"time is now",
         [&](Settings& f) {
             armed(f);
             f.Time_Enabled = true;
             f.Time_Hour = 10;
         },
         kTimeIsNowMessage},
        {"time is now, function unticked",
         [](Settings& f) {
             f.Time_Enabled = true;
             f.Time_Hour = 10;
         },
         nullptr},
        {"inside the window",
         [&](Settings& f) {
             armed(f);
             f.AppointedTime_Enabled = true;
             f.AppointedTime_FromHour = 9;
             f.AppointedTime_ToHour = 17;
         },
         kAppointedTimeIsNowMessage},
        {"inside a window over midnight",
         [&](Settings& f) {
             armed(f);
             f.AppointedTime_Enabled = true;
             f.AppointedTime_FromHour = 22;
             f.AppointedTime_ToHour = 10;
         },
         kAppointedTimeIsNowMessage},
        // The window's first minute is met at once as well.
        {"window starting now",
         [&](Settings& f) {
             armed(f);
             f.AppointedTime_Enabled = true;
             f.AppointedTime_FromHour = 10;
             f.AppointedTime_ToHour = 17;
         },
         kAppointedTimeIsNowMessage},
        {"outside the window",
         [&](Settings& f) {
             armed(f);
             f.AppointedTime_Enabled = true;
             f.AppointedTime_FromHour = 11;
             f.AppointedTime_ToHour = 17;
         },
         nullptr},
        {"uptime before time",
         [&](Settings& f) {
             armed(f);
             f.OS_Enabled = true;
             f.OS_Hour = 1;
             f.Time_Enabled = true;
             f.Time_Hour = 10;
         },
         kOsUptimeElapsedMessage},
        // The job's end needs a bare file name, function ticked or not.
        {"job's end without a name", [](Settings& f) { f.ProgramEnd_Enabled = true; }, kProgramEndNameMissingMessage},
        {"job's end with blanks only", [](Settings& f) { f.ProgramEnd_Enabled = true, f.ProgramEnd_Name = "  "; },
         kProgramEndNameMissingMessage},
        {"job's end with a folder",
         [](Settings& f) { f.ProgramEnd_Enabled = true, f.ProgramEnd_Name = "C:\\bin\\render.exe"; },
         kProgramEndNameFolderMessage},
        {"job's end named", [](Settings& f) { f.ProgramEnd_Enabled = true, f.ProgramEnd_Name = "render.exe"; },
         nullptr},
        {"no name needed while unticked", [](Settings& f) { f.ProgramEnd_Name = ""; }, nullptr},
        // The days: none ticked refuses whether or not the function is; the
        // moment of arming counts only on a ticked day (the 10th is a Tuesday).
        {"daily time without a day", [](Settings& f) { f.Time_Enabled = true, f.Time_Days = "0000000"; },
         kTimeNoDayMessage},
        {"window without a day", [](Settings& f) { f.AppointedTime_Enabled = true, f.AppointedTime_Days = "0000000"; },
         kAppointedTimeNoDayMessage},
        {"daily time now, but not on Tuesdays",
         [&](Settings& f) { armed(f), f.Time_Enabled = true, f.Time_Hour = 10, f.Time_Days = "1011111"; }, nullptr},
        {"daily time now, on Tuesdays",
         [&](Settings& f) { armed(f), f.Time_Enabled = true, f.Time_Hour = 10, f.Time_Days = "0100000"; },
         kTimeIsNowMessage},
        {"a window from Monday night still open",
         [&](Settings& f) {
             armed(f), f.AppointedTime_Enabled = true, f.AppointedTime_Days = "1000000";
             f.AppointedTime_FromHour = 22, f.AppointedTime_ToHour = 11;
         },
         kAppointedTimeIsNowMessage},
        {"the same window on Tuesdays only has not begun",
         [&](Settings& f) {
             armed(f), f.AppointedTime_Enabled = true, f.AppointedTime_Days = "0100000";
             f.AppointedTime_FromHour = 22, f.AppointedTime_ToHour = 11;
         },
         nullptr},
    };
    for (const FormCase& c : cases) {
        Settings f = ValidForm();
        c.edit(f);
        auto refusal = ValidateSettings(f, At(10, 0, 30), kThreeHoursUp);
        if (c.message) EXPECT_EQ(refusal, std::optional<std::string>(c.message)) << c.what;
        else EXPECT_EQ(refusal, std::nullopt) << c.what;
    }
}

TEST(ValidateSettings, RefusalSwitchesOffInMemoryOnly) {
    Settings f = ValidForm();
    f.Function_Enabled = true;
    Settings s;
    s.Function_Enabled = true;
    SwitchOffAfterRefusal(f, s);
    EXPECT_FALSE(f.Function_Enabled);
    EXPECT_FALSE(s.Function_Enabled);
}

// In-memory settings that pass every test at 10:00 with three hours of uptime.
Settings ValidActive() {
    Settings s;
    s.Timer_Minute = 10;
    s.OS_Hour = 5;
    return s;
}

struct ActiveCase {
    const char* what;
    std::function<void(Settings&)> edit;
    DateTime now;
    const char* message;
};

TEST(FunctionEnableCheck, TestsInOrderWithTheTrayMenuDifferences) {
    auto allMode = [](Settings& s) {
        s.Piece_Requirement = false;
        s.All_Requirement = true;
    };
    const ActiveCase cases[] = {
        {"valid", [](Settings&) {}, At(10, 0), nullptr},
        {"timer zero", [](Settings& s) { s.Timer_Minute = 0; }, At(10, 0), kInvalidTimerMessage},
        {"OS zero",
         [](Settings& s) {
             s.OS_Hour = 0;
             s.OS_Minute = 0;
         },
         At(10, 0), kInvalidOsUptimeMessage},
        {"OS zero hours, some minutes", [](Settings& s) { s.OS_Hour = 0; }, At(10, 0), nullptr},
        {"uptime past, any-one mode",
         [](Settings& s) {
             s.OS_Enabled = true;
             s.OS_Hour = 2;
         },
         At(10, 0), kOsUptimeElapsedMessage},
        {"uptime past, all mode",
         [&](Settings& s) {
             allMode(s);
             s.OS_Enabled = true;
             s.OS_Hour = 2;
         },
         At(10, 0), nullptr},
        {"uptime past, OS off", [](Settings& s) { s.OS_Hour = 2; }, At(10, 0), nullptr},
        {"schedule is now, any date",
         [](Settings& s) {
             s.Timer_Enabled = true;
             s.Timer_ScheduleTime.time = EncodeTime(10, 0);
         },
         At(10, 0, 45), kTimerScheduleIsNowMessage},
        {"schedule is now, timer off", [](Settings& s) { s.Timer_ScheduleTime.time = EncodeTime(10, 0); }, At(10, 0),
         nullptr},
        {"time 10:00 at 10:00",
         [](Settings& s) {
             s.Time_Enabled = true;
             s.Time_Hour = 10;
         },
         At(10, 0), kTimeIsNowMessage},
        {"time 10:00 at 10:01",
         [](Settings& s) {
             s.Time_Enabled = true;
             s.Time_Hour = 10;
         },
         At(10, 1), nullptr},
        {"inside the window, any-one mode",
         [](Settings& s) {
             s.AppointedTime_Enabled = true;
             s.AppointedTime_FromHour = 9;
             s.AppointedTime_ToHour = 17;
         },
         At(10, 0), kAppointedTimeIsNowMessage},
        {"first minute of the window, any-one mode",
         [](Settings& s) {
             s.AppointedTime_Enabled = true;
             s.AppointedTime_FromHour = 10;
             s.AppointedTime_ToHour = 17;
         },
         At(10, 0, 30), kAppointedTimeIsNowMessage},
        {"one-minute window, any-one mode",
         [](Settings& s) {
             s.AppointedTime_Enabled = true;
             s.AppointedTime_FromHour = s.AppointedTime_ToHour = 10;
         },
         At(10, 0, 59), kAppointedTimeIsNowMessage},
        {"window ending now is still met",
         [](Settings& s) {
             s.AppointedTime_Enabled = true;
             s.AppointedTime_FromHour = 9;
             s.AppointedTime_ToHour = 10;
         },
         At(10, 0, 59), kAppointedTimeIsNowMessage},
        {"window starting next minute",
         [](Settings& s) {
             s.AppointedTime_Enabled = true;
             s.AppointedTime_FromHour = 10;
             s.AppointedTime_FromMinute = 1;
             s.AppointedTime_ToHour = 17;
         },
         At(10, 0, 59), nullptr},
        {"no countdown in force",
         [](Settings& s) {
             s.Timer_Enabled = true;
             s.Timer_ScheduleTime.time = kNoTimerSchedule;
         },
         At(0, 0), nullptr},
        {"inside the window, all mode",
         [&](Settings& s) {
             allMode(s);
             s.AppointedTime_Enabled = true;
             s.AppointedTime_FromHour = 9;
             s.AppointedTime_ToHour = 17;
         },
         At(10, 0), nullptr},
        {"the main switch is not looked at", [](Settings& s) { s.Function_Enabled = true; }, At(10, 0), nullptr},
    };
    for (const ActiveCase& c : cases) {
        Settings s = ValidActive();
        c.edit(s);
        auto refusal = CheckFunctionEnable(s, c.now, kThreeHoursUp);
        if (c.message) EXPECT_EQ(refusal, std::optional<std::string>(c.message)) << c.what;
        else EXPECT_EQ(refusal, std::nullopt) << c.what;
    }
}

TEST(ToggleFunction, SwitchingOffNeedsNoCheck) {
    Settings s = ValidActive();
    s.Timer_Minute = 0;  // would be refused when switching on
    FunctionSwitch c = ToggleFunction(true, s, At(10, 0), kThreeHoursUp);
    EXPECT_FALSE(c.FunctionEnabled);
    EXPECT_FALSE(c.Refusal);
    EXPECT_TRUE(c.WriteSetting);
    EXPECT_EQ(c.TrayIconId, 1);
    EXPECT_FALSE(c.Rearm);
}

// Off at 9:00, on at 12:00: nothing of the three hours counts.
TEST(ToggleFunction, SwitchingOnRestartsEveryRunningTimeAndTheCursor) {
    Settings s = ValidActive();
    FunctionSwitch c = ToggleFunction(false, s, At(10, 0), kThreeHoursUp);
    EXPECT_TRUE(c.FunctionEnabled);
    EXPECT_FALSE(c.Refusal);
    EXPECT_TRUE(c.WriteSetting);
    EXPECT_EQ(c.TrayIconId, 0);

    Settings f;
    f.Function_Enabled = false;
    MonitorState st;
    st.StartAt({At(9, 0), 1000, 0, CursorPos{3, 4}});
    st.TimerSpent = true;
    constexpr std::uint64_t kThreeHoursLater = 1000 + 3 * 3600000;
    ApplyFunctionSwitch(c, {At(12, 0, 12), kThreeHoursLater, kThreeHoursUp, CursorPos{500, 60}}, s, f, st);
    EXPECT_TRUE(s.Function_Enabled);
    EXPECT_TRUE(f.Function_Enabled);
    EXPECT_EQ(st.HoldOffStamp, At(12, 0, 12));
    for (std::uint64_t since : {st.CpuLowSince, st.NetLowSince, st.MemLowSince, st.MouseStillSince})
        EXPECT_EQ(since, kThreeHoursLater);
    EXPECT_EQ(st.LastCursorPos, (CursorPos{500, 60}));
    EXPECT_FALSE(st.TimerSpent);

    // A cursor that cannot be read at that moment keeps the last position.
    ApplyFunctionSwitch(c, {At(12, 5), kThreeHoursLater + 300000, kThreeHoursUp, std::nullopt}, s, f, st);
    EXPECT_EQ(st.LastCursorPos, (CursorPos{500, 60}));
    EXPECT_EQ(st.MouseStillSince, kThreeHoursLater + 300000);
}

TEST(ToggleFunction, RefusalLeavesFileAndIconAlone) {
    Settings s = ValidActive();
    s.Time_Enabled = true;
    s.Time_Hour = 10;
    FunctionSwitch c = ToggleFunction(false, s, At(10, 0), kThreeHoursUp);
    EXPECT_EQ(c.Refusal, std::optional<std::string>(kTimeIsNowMessage));
    EXPECT_FALSE(c.FunctionEnabled);
    EXPECT_FALSE(c.WriteSetting);
    EXPECT_FALSE(c.TrayIconId);

    Settings f;
    f.Function_Enabled = true;
    MonitorState st;
    st.CpuLowSince = 77;
    ApplyFunctionSwitch(c, {At(10, 0), 5000, kThreeHoursUp, CursorPos{}}, s, f, st);
    EXPECT_FALSE(f.Function_Enabled);
    EXPECT_FALSE(s.Function_Enabled);
    EXPECT_EQ(st.HoldOffStamp, 0.0);
    EXPECT_EQ(st.CpuLowSince, 77u);
}

}  // namespace
}  // namespace vesko
