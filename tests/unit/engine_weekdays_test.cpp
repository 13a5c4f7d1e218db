// The clock conditions on their days, through the real evaluation: the
// daily time and the window met only on a ticked day (a window past
// midnight on the day it starts), across week, month and year ends.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/Conditions.h"
#include "settings/WeekDays.h"

namespace vesko {
namespace {

DateTime On(int y, int mo, int d, int h, int mi) { return EncodeDateTime({y, mo, d, h, mi, 0}); }

TEST(WeekDays, TheCalendarAndTheFileText) {
    EXPECT_EQ(WeekdayOf(0.0), 5) << "1899-12-30 was a Saturday";
    EXPECT_EQ(WeekdayOf(On(2026, 3, 10, 23, 59)), 1);
    EXPECT_EQ(WeekdayOf(On(2026, 12, 31, 0, 0)), 3);
    EXPECT_EQ(WeekdayOf(On(2027, 1, 3, 12, 0)), 6);
    EXPECT_EQ(WeekdayOf(On(2028, 2, 29, 12, 0)), 1);
    EXPECT_EQ(WeekDaysText("1111100"), "1111100");
    EXPECT_EQ(WeekDaysText(" 0000000\t"), "0000000");
    for (const char* bad : {"", "111110", "11111000", "1111102", "11 1100", "yes"}) {
        EXPECT_EQ(WeekDaysText(bad), kEveryDay) << bad;
        EXPECT_TRUE(DayTicked(bad, 6)) << bad;
    }
    EXPECT_FALSE(AnyDayTicked("0000000"));
    EXPECT_TRUE(DayTicked("0000001", 6));
    EXPECT_FALSE(DayTicked("0000001", 0));
    EXPECT_FALSE(DayTicked("1111111", 7));
}

struct DayCase {
    const char* what;
    bool window;  // the window of the day 22:00-6:00, or else the daily time 22:00
    const char* days;
    DateTime now;
    int minutesLeft;  // -1: never holds
};

TEST(WeekDays, TheClocksHoldOnTheirDaysOnly) {
    // 2026-03-13 is a Friday.
    const DayCase cases[] = {
        {"every day, as before", false, "1111111", On(2026, 3, 13, 21, 0), 60},
        {"Friday's time on Friday", false, "0000100", On(2026, 3, 13, 22, 0), 0},
        {"weekdays: Friday night waits for Monday", false, "1111100", On(2026, 3, 13, 23, 0), 71 * 60},
        {"a week round, the same day a minute late", false, "0000100", On(2026, 3, 13, 22, 1), 7 * 1440 - 1},
        {"no day ticked", false, "0000000", On(2026, 3, 13, 22, 0), -1},
        {"a malformed text is every day", false, "11", On(2026, 3, 14, 21, 30), 30},
        {"the year's end: Friday the first", false, "0000100", On(2026, 12, 31, 21, 0), 25 * 60},
        {"the month's end: Sunday to Monday", false, "1000000", On(2026, 5, 31, 23, 0), 23 * 60},
        {"window: Friday's, on Friday night", true, "0000100", On(2026, 3, 13, 23, 0), 0},
        {"window: Friday's, still open on Saturday morning", true, "0000100", On(2026, 3, 14, 5, 59), 0},
        {"window: Friday's is shut on Saturday's", true, "0000100", On(2026, 3, 14, 6, 1), 6 * 1440 + 16 * 60 - 1},
        {"window: Saturday's not ticked, Sunday morning", true, "0000100", On(2026, 3, 15, 3, 0), 5 * 1440 + 19 * 60},
        {"window: Sunday night's runs into Monday", true, "0000001", On(2026, 3, 16, 1, 0), 0},
        {"window: Monday's does not cover Monday morning", true, "1000000", On(2026, 3, 16, 1, 0), 21 * 60},
        {"window: no day ticked", true, "0000000", On(2026, 3, 13, 23, 0), -1},
    };
    for (const DayCase& c : cases) {
        SCOPED_TRACE(c.what);
        Settings s;
        s.Function_Enabled = true;
        s.Time_Enabled = !c.window, s.Time_Hour = 22, s.Time_Days = c.days;
        s.AppointedTime_Enabled = c.window, s.AppointedTime_Days = c.days;
        s.AppointedTime_FromHour = 22, s.AppointedTime_ToHour = 6;
        MonitorState st;
        const ConditionStates states = EvaluateConditions(
            c.now, 1000, s, {}, [] { return CursorPos{}; }, st);
        const ConditionState& t = states[c.window ? kAppointedTimeCondition : kTimeCondition];
        EXPECT_EQ(t.Holds, c.minutesLeft >= 0);
        if (c.minutesLeft >= 0) EXPECT_EQ(t.MinutesLeft, c.minutesLeft);
    }
}

// A clock set back or forward across midnight is simply another now: the
// daily time of a day that the jump leaves is not caught up.
TEST(WeekDays, AClockChangeAcrossMidnightIsReadAfresh) {
    Settings s;
    s.Function_Enabled = s.Time_Enabled = true;
    s.Time_Hour = 0, s.Time_Minute = 30, s.Time_Days = "0100000";  // Tuesdays 0:30
    MonitorState st;
    auto left = [&](DateTime now) {
        return EvaluateConditions(
                   now, 1000, s, {}, [] { return CursorPos{}; }, st)[kTimeCondition]
            .MinutesLeft;
    };
    EXPECT_EQ(left(On(2026, 3, 9, 23, 50)), 40);             // Monday night
    EXPECT_EQ(left(On(2026, 3, 10, 0, 40)), 7 * 1440 - 10);  // forward past it: next Tuesday
    EXPECT_EQ(left(On(2026, 3, 9, 23, 0)), 90);              // and back again
}

}  // namespace
}  // namespace vesko
