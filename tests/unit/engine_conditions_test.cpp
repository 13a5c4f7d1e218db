#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "engine/Conditions.h"
#include "engine/TimerSchedule.h"

namespace vesko {
namespace {

DateTime At(int h, int m, int s = 0, int day = 10) { return EncodeDateTime({2026, 3, day, h, m, s}); }

Settings Enabled() {
    Settings s;
    s.Function_Enabled = true;
    return s;
}

// The monotonic count of a test that leaves the wall clock alone: milliseconds
// since the first day of the tests' month.
std::uint64_t Mono(DateTime t) { return static_cast<std::uint64_t>(std::llround((t - At(0, 0, 0, 1)) * 86400000.0)); }

ConditionStates Evaluate(const Settings& s, DateTime now, MonitorState& st, ConditionReadings r = {},
                         CursorPos cursor = {}) {
    return EvaluateConditions(
        now, Mono(now), s, r, [cursor] { return cursor; }, st);
}

TEST(WholeMinutesBetween, AbsoluteSpanTruncated) {
    EXPECT_EQ(WholeMinutesBetween(At(10, 0), At(10, 0, 59)), 0);
    EXPECT_EQ(WholeMinutesBetween(At(10, 5, 30), At(10, 0)), 5);
    EXPECT_EQ(WholeMinutesBetween(At(10, 0), At(10, 5, 30)), 5);
    EXPECT_EQ(WholeMinutesBetween(At(0, 10, 0, 11), At(23, 50, 0, 10)), 20);
}

TEST(WholeMinutesBetween, ExactMinutesMayFallOneShortButNeverOver) {
    // Day fractions are not exact in binary: an exact span of N minutes may
    // come out as N - 1; one second more always gives N.
    for (int n = 1; n <= 600; ++n) {
        DateTime start = At(0, 0, 0) + 0.123;
        DateTime end = start + n / 1440.0;
        int w = WholeMinutesBetween(end, start);
        EXPECT_TRUE(w == n || w == n - 1) << n;
        EXPECT_EQ(WholeMinutesBetween(end + 1.0 / 86400, start), n) << n;
    }
}

struct ClockCase {
    const char* what;
    int condition;
    Settings settings;
    DateTime now;
    int minutesLeft;
};

Settings TimerAt(int h, int m) {
    Settings s = Enabled();
    s.Timer_Enabled = true;
    s.Timer_ScheduleTime.time = 3.0 + EncodeTime(h, m);  // the date part is ignored
    return s;
}
Settings TimeAt(int h, int m) {
    Settings s = Enabled();
    s.Time_Enabled = true;
    s.Time_Hour = h;
    s.Time_Minute = m;
    return s;
}
Settings Window(int fh, int fm, int th, int tm) {
    Settings s = Enabled();
    s.AppointedTime_Enabled = true;
    s.AppointedTime_FromHour = fh;
    s.AppointedTime_FromMinute = fm;
    s.AppointedTime_ToHour = th;
    s.AppointedTime_ToMinute = tm;
    return s;
}

TEST(ClockConditions, MinutesLeftAlwaysHolding) {
    const ClockCase cases[] = {
        {"timer 00:10 at 23:50", kTimerCondition, TimerAt(0, 10), At(23, 50), 20},
        {"timer in its minute", kTimerCondition, TimerAt(14, 30), At(14, 30, 59), 0},
        {"timer just past", kTimerCondition, TimerAt(14, 30), At(14, 31), 1439},
        {"time 09:00 at 09:00:59", kTimeCondition, TimeAt(9, 0), At(9, 0, 59), 0},
        {"time 09:00 at 09:01:00", kTimeCondition, TimeAt(9, 0), At(9, 1, 0), 1439},
        {"time 00:00 at 23:59", kTimeCondition, TimeAt(0, 0), At(23, 59), 1},
        {"22-06 at 21:59", kAppointedTimeCondition, Window(22, 0, 6, 0), At(21, 59), 1},
        {"22-06 at 22:00", kAppointedTimeCondition, Window(22, 0, 6, 0), At(22, 0), 0},
        {"22-06 at 23:00", kAppointedTimeCondition, Window(22, 0, 6, 0), At(23, 0), 0},
        {"22-06 at 03:00", kAppointedTimeCondition, Window(22, 0, 6, 0), At(3, 0), 0},
        {"22-06 at 05:00", kAppointedTimeCondition, Window(22, 0, 6, 0), At(5, 0), 0},
        {"22-06 at 06:00", kAppointedTimeCondition, Window(22, 0, 6, 0), At(6, 0, 59), 0},
        {"22-06 at 06:01", kAppointedTimeCondition, Window(22, 0, 6, 0), At(6, 1), 959},
        {"09-17 at 08:00", kAppointedTimeCondition, Window(9, 0, 17, 0), At(8, 0), 60},
        {"09-17 at 18:00", kAppointedTimeCondition, Window(9, 0, 17, 0), At(18, 0), 900},
        {"09-17 at 17:00", kAppointedTimeCondition, Window(9, 0, 17, 0), At(17, 0), 0},
        {"from equals to, in it", kAppointedTimeCondition, Window(12, 0, 12, 0), At(12, 0, 30), 0},
        {"from equals to, after it", kAppointedTimeCondition, Window(12, 0, 12, 0), At(12, 1), 1439},
    };
    for (const ClockCase& c : cases) {
        MonitorState st;
        ConditionStates r = Evaluate(c.settings, c.now, st);
        EXPECT_TRUE(r[c.condition].Enabled) << c.what;
        EXPECT_TRUE(r[c.condition].Holds) << c.what;
        EXPECT_EQ(r[c.condition].MinutesLeft, c.minutesLeft) << c.what;
    }
}

TEST(ClockConditions, ArmingWindowTestIsTheWindowBeingMet) {
    // The arming checkers refuse wherever the window is met now, its first
    // minute included (it would act in the next minute).
    EXPECT_TRUE(AppointedTimeWindowCovers(3 * 60, 22 * 60, 6 * 60));
    EXPECT_TRUE(AppointedTimeWindowCovers(6 * 60, 22 * 60, 6 * 60));
    EXPECT_TRUE(AppointedTimeWindowCovers(10 * 60, 9 * 60, 17 * 60));
    EXPECT_TRUE(AppointedTimeWindowCovers(9 * 60, 9 * 60, 17 * 60));
    EXPECT_TRUE(AppointedTimeWindowCovers(22 * 60, 22 * 60, 6 * 60));
    EXPECT_TRUE(AppointedTimeWindowCovers(12 * 60, 12 * 60, 12 * 60));
    EXPECT_FALSE(AppointedTimeWindowCovers(9 * 60 - 1, 9 * 60, 17 * 60));
    EXPECT_FALSE(AppointedTimeWindowCovers(17 * 60 + 1, 9 * 60, 17 * 60));
    EXPECT_FALSE(AppointedTimeWindowCovers(12 * 60 + 1, 12 * 60, 12 * 60));
    // The checkers and the condition agree on every minute of the day.
    for (int now = 0; now < 1440; ++now)
        ASSERT_EQ(AppointedTimeWindowCovers(now, 1410, 30), AppointedTimeMinutesLeft(now, 1410, 30) == 0) << now;
}

struct DurationCase {
    const char* what;
    int reading;
    int threshold;
    bool holds;
};

TEST(DurationConditions, CpuAndMemoryCountAtOrBelowAsLow) {
    const DurationCase cases[] = {
        {"below", 3, 10, true},
        {"equal", 10, 10, true},
        {"above", 11, 10, false},
        {"zero limit", 0, 0, true},
    };
    for (const DurationCase& c : cases) {
        Settings s = Enabled();
        s.CPU_Enabled = s.Memory_Enabled = true;
        s.CPU_Percent = s.Memory_Percent = c.threshold;
        s.CPU_Time = s.Memory_Time = 10;
        MonitorState st;
        st.CpuLowSince = st.MemLowSince = Mono(At(10, 0));
        DateTime now = At(10, 4, 30);
        ConditionReadings r;
        r.CpuPercent = r.MemoryPercent = c.reading;
        ConditionStates out = Evaluate(s, now, st, r);
        for (int i : {kCpuCondition, kMemoryCondition}) {
            EXPECT_EQ(out[i].Holds, c.holds) << c.what;
            EXPECT_EQ(out[i].MinutesLeft, c.holds ? 6 : 0) << c.what;
        }
        std::uint64_t expected = Mono(c.holds ? At(10, 0) : now);
        EXPECT_EQ(st.CpuLowSince, expected) << c.what;
        EXPECT_EQ(st.MemLowSince, expected) << c.what;
    }
}

TEST(DurationConditions, RunningTimeCountsFromTheLastFailingTick) {
    Settings s = Enabled();
    s.CPU_Enabled = true;
    s.CPU_Percent = 10;
    s.CPU_Time = 5;
    MonitorState st;
    st.CpuLowSince = Mono(At(9, 0));
    ConditionReadings low, high;
    low.CpuPercent = 5;
    high.CpuPercent = 50;
    EXPECT_EQ(Evaluate(s, At(9, 3, 1), st, low)[kCpuCondition].MinutesLeft, 2);
    Evaluate(s, At(9, 3, 2), st, high);
    EXPECT_EQ(st.CpuLowSince, Mono(At(9, 3, 2)));
    EXPECT_EQ(Evaluate(s, At(9, 8, 1), st, low)[kCpuCondition].MinutesLeft, 1);
    EXPECT_EQ(Evaluate(s, At(9, 8, 3), st, low)[kCpuCondition].MinutesLeft, 0);
}

// Running times follow the monotonic count only: a wall clock set forward
// (daylight saving, a time sync) never shortens them, one set back never
// lengthens them.
TEST(DurationConditions, WallClockJumpsNeverChangeARunningTime) {
    struct Case {
        const char* what;
        DateTime wall;
    } cases[] = {
        {"unchanged", At(3, 10)},
        {"an hour forward", At(4, 10)},
        {"a day forward", At(3, 10, 0, 11)},
        {"an hour back", At(2, 10)},
    };
    for (const Case& c : cases) {
        Settings s = Enabled();
        s.CPU_Enabled = s.Network_Enabled = s.Memory_Enabled = s.MouseCursor_Enabled = true;
        s.CPU_Time = s.Network_Time = s.Memory_Time = s.MouseCursor_Time = 30;
        s.CPU_Percent = s.Memory_Percent = 50;
        MonitorState st;
        st.CpuLowSince = st.NetLowSince = st.MemLowSince = st.MouseStillSince = 0;
        const std::uint64_t tenMinutes = 10 * 60000 + 500;
        ConditionStates out = EvaluateConditions(
            c.wall, tenMinutes, s, {}, [] { return CursorPos{}; }, st);
        for (int i : {kCpuCondition, kNetworkCondition, kMemoryCondition, kMouseCursorCondition})
            EXPECT_EQ(out[i].MinutesLeft, 20) << c.what << " " << i;
        EXPECT_EQ(st.CpuLowSince, 0u) << c.what;
    }
}

// Start-up that fails before it arms must not leave running times that reach
// back to the machine's start.
TEST(DurationConditions, NeverArmedCountsFromTheFirstEvaluation) {
    Settings s = Enabled();
    s.CPU_Enabled = s.Network_Enabled = s.Memory_Enabled = s.MouseCursor_Enabled = true;
    s.CPU_Time = s.Network_Time = s.Memory_Time = s.MouseCursor_Time = 30;
    s.CPU_Percent = s.Memory_Percent = 50;
    MonitorState st;
    const std::uint64_t longUp = 5ull * 24 * 3600000;
    ConditionStates out = EvaluateConditions(At(9, 0), longUp, s, {}, nullptr, st);
    for (int i : {kCpuCondition, kNetworkCondition, kMemoryCondition, kMouseCursorCondition})
        EXPECT_EQ(out[i].MinutesLeft, 30) << i;
}

TEST(DurationConditions, ACountBelowItsStampCountsAfresh) {
    Settings s = Enabled();
    s.CPU_Enabled = true;
    s.CPU_Time = 30;
    MonitorState st;
    st.CpuLowSince = 5'000'000;
    EXPECT_EQ(EvaluateConditions(At(2, 0), 1000, s, {}, nullptr, st)[kCpuCondition].MinutesLeft, 30);
    EXPECT_EQ(st.CpuLowSince, 1000u);
}

TEST(NetworkThreshold, ScalesPerUnitStepIn64Bits) {
    EXPECT_EQ(NetworkThreshold(500, 0), 500);
    EXPECT_EQ(NetworkThreshold(12, 1), 12 * 1024);
    EXPECT_EQ(NetworkThreshold(3, 2), 3 * 1024 * 1024);
    EXPECT_EQ(NetworkThreshold(7, -1), 7);
    EXPECT_EQ(NetworkThreshold(2048, 2), std::int64_t{1} << 31);
    EXPECT_EQ(NetworkThreshold(99999, 2), std::int64_t{99999} << 20);
    // Edited files may hold any unit: the value stops growing past every count.
    EXPECT_GT(NetworkThreshold(1, 1000), std::int64_t{INT32_MAX});
    EXPECT_LT(NetworkThreshold(-1, 1000), std::int64_t{INT32_MIN});
    EXPECT_EQ(NetworkThreshold(INT32_MAX, INT32_MAX), std::int64_t{INT32_MAX} << 10);
    // Bounded work for any unit: a loop per unit step would exceed the
    // compiler's constant-evaluation limit here.
    static_assert(NetworkThreshold(0, INT32_MAX) == 0);
    static_assert(NetworkThreshold(-1, INT32_MAX) == -(std::int64_t{1} << 40));
}

TEST(NetworkCondition, ThresholdComparison) {
    struct Case {
        const char* what;
        int speed, unit;
        std::int64_t bytes;
        bool holds;
    } cases[] = {
        {"0 B/s, quiet tick", 0, 0, 0, true},
        {"0 B/s, one byte", 0, 0, 1, false},
        {"0 B/s, negative count", 0, 0, -5000000, true},
        {"12 kB/s at the limit", 12, 1, 12288, true},
        {"12 kB/s one over", 12, 1, 12289, false},
        // 2048 MB/s is 2^31: in 32-bit arithmetic it would wrap negative and never hold.
        {"2048 MB/s, largest count", 2048, 2, INT32_MAX, true},
        {"99999 MB/s, busy", 99999, 2, 1 << 30, true},
    };
    for (const Case& c : cases) {
        Settings s = Enabled();
        s.Network_Enabled = true;
        s.Network_Speed = c.speed;
        s.Network_Unit = c.unit;
        s.Network_Time = 3;
        MonitorState st;
        st.NetLowSince = Mono(At(8, 0));
        ConditionReadings r;
        r.NetworkBytes = c.bytes;
        ConditionStates out = Evaluate(s, At(8, 1, 30), st, r);
        EXPECT_EQ(out[kNetworkCondition].Holds, c.holds) << c.what;
        EXPECT_EQ(out[kNetworkCondition].MinutesLeft, c.holds ? 2 : 0) << c.what;
        EXPECT_EQ(st.NetLowSince, Mono(c.holds ? At(8, 0) : At(8, 1, 30))) << c.what;
    }
}

TEST(OsCondition, ThresholdMinusWholeMinutesOfUptime) {
    Settings s = Enabled();
    s.OS_Enabled = true;
    s.OS_Hour = 1;
    s.OS_Minute = 30;
    MonitorState st;
    ConditionReadings r;
    r.UptimeMinutes = 62;
    ConditionStates out = Evaluate(s, At(12, 0), st, r);
    EXPECT_TRUE(out[kOsCondition].Holds);
    EXPECT_EQ(out[kOsCondition].MinutesLeft, 28);
    r.UptimeMinutes = 200;
    EXPECT_EQ(Evaluate(s, At(12, 0), st, r)[kOsCondition].MinutesLeft, -110);
}

TEST(MouseCondition, StillCursorHoldsAndMovementRestarts) {
    Settings s = Enabled();
    s.MouseCursor_Enabled = true;
    s.MouseCursor_Time = 5;
    MonitorState st;
    st.LastCursorPos = {100, 200};
    st.MouseStillSince = Mono(At(7, 0));

    ConditionStates out = Evaluate(s, At(7, 2, 10), st, {}, {100, 200});
    EXPECT_TRUE(out[kMouseCursorCondition].Holds);
    EXPECT_EQ(out[kMouseCursorCondition].MinutesLeft, 3);

    out = Evaluate(s, At(7, 2, 11), st, {}, {100, 201});  // one coordinate is enough
    EXPECT_FALSE(out[kMouseCursorCondition].Holds);
    EXPECT_EQ(out[kMouseCursorCondition].MinutesLeft, 0);
    EXPECT_EQ(st.LastCursorPos, (CursorPos{100, 201}));
    EXPECT_EQ(st.MouseStillSince, Mono(At(7, 2, 11)));
}

// A cursor that cannot be read (locked workstation, secure desktop) means
// nobody is at the machine: it counts as still, and the other conditions run on.
TEST(MouseCondition, AnUnreadableCursorCountsAsStill) {
    const CursorReader unreadable[] = {
        [] { return std::optional<CursorPos>(); },
        []() -> std::optional<CursorPos> { throw std::runtime_error("no cursor"); },
        nullptr,
    };
    for (const CursorReader& read : unreadable) {
        Settings s = Enabled();
        s.CPU_Enabled = s.MouseCursor_Enabled = true;
        s.MouseCursor_Time = 30;
        MonitorState st;
        st.CpuLowSince = st.MouseStillSince = Mono(At(7, 0));
        st.LastCursorPos = {1, 1};
        ConditionReadings r;
        r.CpuPercent = 90;
        ConditionStates out;
        for (int tick = 0; tick <= 60; ++tick) {
            const DateTime now = At(7, 5, tick);
            out = EvaluateConditions(now, Mono(now), s, r, read, st);
        }
        EXPECT_EQ(st.CpuLowSince, Mono(At(7, 6)));
        EXPECT_TRUE(out[kMouseCursorCondition].Holds);
        EXPECT_EQ(out[kMouseCursorCondition].MinutesLeft, 24);
        EXPECT_EQ(st.MouseStillSince, Mono(At(7, 0)));
        EXPECT_EQ(st.LastCursorPos, (CursorPos{1, 1}));
        // Readable again and moved: the running time restarts.
        out = Evaluate(s, At(7, 6, 1), st, r, {9, 9});
        EXPECT_FALSE(out[kMouseCursorCondition].Holds);
        EXPECT_EQ(st.MouseStillSince, Mono(At(7, 6, 1)));
    }
}

TEST(Conditions, NothingEvaluatedWhileTheFunctionIsOffOrTheConditionIsOff) {
    Settings all = Enabled();
    all.Timer_Enabled = all.Time_Enabled = all.AppointedTime_Enabled = all.CPU_Enabled = true;
    all.Network_Enabled = all.Memory_Enabled = all.OS_Enabled = all.MouseCursor_Enabled = true;
    all.ProgramEnd_Enabled = true;
    all.Function_Enabled = false;
    Settings none = Enabled();

    for (const Settings& s : {all, none}) {
        MonitorState st;
        st.CpuLowSince = st.NetLowSince = st.MemLowSince = st.MouseStillSince = Mono(At(1, 0));
        int cursorReads = 0;
        ConditionReadings high;
        high.CpuPercent = high.MemoryPercent = 100;
        high.NetworkBytes = 1 << 20;
        ConditionStates out = EvaluateConditions(
            At(1, 30), Mono(At(1, 30)), s, high,
            [&] {
                ++cursorReads;
                return std::optional<CursorPos>(CursorPos{5, 5});
            },
            st);
        for (int i = 0; i < kConditionCount; ++i) {
            EXPECT_EQ(out[i].Enabled, s.Timer_Enabled) << i;  // the switch as stored
            EXPECT_FALSE(out[i].Holds) << i;
            EXPECT_EQ(out[i].MinutesLeft, 0) << i;
        }
        EXPECT_EQ(cursorReads, 0);
        EXPECT_EQ(st.CpuLowSince, Mono(At(1, 0)));
        EXPECT_EQ(st.NetLowSince, Mono(At(1, 0)));
        EXPECT_EQ(st.MemLowSince, Mono(At(1, 0)));
        EXPECT_EQ(st.MouseStillSince, Mono(At(1, 0)));
    }
}

// A countdown minute the wall clock skips is not caught up: the countdown is
// spent until the next arming, so it never acts a day late unseen. The daily
// Time condition waits for its next day. No schedule in force never holds.
TEST(ClockConditions, SkippedMinutesAreNotCaughtUp) {
    struct Case {
        const char* what;
        Settings settings;
        int condition;
        DateTime previous, now;
        bool holds;
        int minutesLeft;
    } cases[] = {
        {"countdown minute reached tick by tick", TimerAt(9, 59), kTimerCondition, At(9, 58, 59), At(9, 59), true, 0},
        {"countdown minute reached after a slow tick", TimerAt(9, 59), kTimerCondition, At(9, 57, 30), At(9, 59, 1),
         true, 0},
        {"countdown minute skipped by a jump", TimerAt(9, 59), kTimerCondition, At(9, 58, 59), At(10, 30), false, 0},
        {"countdown minute skipped by a long sleep", TimerAt(9, 59), kTimerCondition, At(9, 0), At(9, 58, 0, 11), false,
         0},
        {"countdown ahead of a jump", TimerAt(11, 0), kTimerCondition, At(9, 58, 59), At(10, 30), true, 30},
        {"clock set back over the countdown", TimerAt(9, 30), kTimerCondition, At(10, 5), At(9, 0), true, 30},
        {"daily time skipped waits a day", TimeAt(9, 59), kTimeCondition, At(9, 58, 59), At(10, 30), true, 1409},
    };
    for (const Case& c : cases) {
        MonitorState st;
        Evaluate(c.settings, c.previous, st);
        ConditionState out = Evaluate(c.settings, c.now, st)[c.condition];
        EXPECT_EQ(out.Holds, c.holds) << c.what;
        EXPECT_EQ(out.MinutesLeft, c.minutesLeft) << c.what;
        // A spent countdown stays spent, also at its minute the next day.
        if (!c.holds) {
            EXPECT_FALSE(Evaluate(c.settings, At(9, 59, 0, 12), st)[c.condition].Holds) << c.what;
        }
        // Arming puts it back in force.
        st.Arm({At(9, 59, 0, 12), Mono(At(9, 59, 0, 12)), 0, std::nullopt});
        EXPECT_TRUE(Evaluate(c.settings, At(9, 59, 0, 12), st)[c.condition].Holds) << c.what;
    }
}

TEST(ClockConditions, NoCountdownInForceNeverHolds) {
    Settings s = TimerAt(0, 0);
    s.Timer_ScheduleTime.time = kNoTimerSchedule;
    MonitorState st;
    for (int minute = 0; minute < 1440; minute += 59)
        EXPECT_FALSE(Evaluate(s, At(0, 0) + minute / 1440.0, st)[kTimerCondition].Holds) << minute;
    s.Piece_Requirement = false;
    s.All_Requirement = true;
    EXPECT_FALSE(CombineConditions(Evaluate(s, At(0, 0), st), s, false).Ready);
}

// --- combination ---

ConditionState On(int minutesLeft) { return {true, true, minutesLeft}; }
ConditionState NotHolding() { return {true, false, 0}; }

struct CombineCase {
    const char* what;
    bool piece, all;
    std::vector<std::pair<int, ConditionState>> states;
    bool sameMinute;
    bool ready;
    std::int32_t minutesToAct;
};

TEST(Combination, Table) {
    const CombineCase cases[] = {
        {"any: none enabled", true, false, {}, false, false, INT32_MAX},
        {"all: none enabled", false, true, {}, false, false, 0},
        {"any: CPU 6 left, Time 30", true, false, {{kCpuCondition, On(6)}, {kTimeCondition, On(30)}}, false, true, 6},
        {"all: CPU 6 left, Time 30", false, true, {{kCpuCondition, On(6)}, {kTimeCondition, On(30)}}, false, true, 30},
        {"any: enabled but not holding is ignored",
         true,
         false,
         {{kCpuCondition, NotHolding()}, {kOsCondition, On(12)}},
         false,
         true,
         12},
        {"any: only non-holding", true, false, {{kCpuCondition, NotHolding()}}, false, false, INT32_MAX},
        {"all: one not holding", false, true, {{kCpuCondition, NotHolding()}, {kOsCondition, On(0)}}, false, false, 0},
        {"all: only OS, past its threshold", false, true, {{kOsCondition, On(-45)}}, false, true, 0},
        {"any: OS past its threshold", true, false, {{kOsCondition, On(-45)}}, false, true, -45},
        {"held but disabled is ignored",
         true,
         false,
         {{kCpuCondition, {false, true, 3}}, {kOsCondition, On(9)}},
         false,
         true,
         9},
        {"all: Timer and Time disagree",
         false,
         true,
         {{kTimerCondition, On(0)}, {kTimeCondition, On(5)}},
         false,
         false,
         5},
        {"all: Timer and Time agree", false, true, {{kTimerCondition, On(4)}, {kTimeCondition, On(4)}}, false, true, 4},
        {"all: Time and window disagree",
         false,
         true,
         {{kTimeCondition, On(0)}, {kAppointedTimeCondition, On(60)}},
         false,
         false,
         60},
        {"all: Timer and window disagree",
         false,
         true,
         {{kTimerCondition, On(10)}, {kAppointedTimeCondition, On(0)}},
         false,
         false,
         10},
        {"agreement follows All_Requirement even in any-one mode",
         true,
         true,
         {{kTimerCondition, On(1)}, {kTimeCondition, On(2)}},
         false,
         false,
         1},
        {"any-one mode without agreement",
         true,
         false,
         {{kTimerCondition, On(1)}, {kTimeCondition, On(2)}},
         false,
         true,
         1},
        {"a disabled clock condition is not compared",
         false,
         true,
         {{kTimerCondition, {false, true, 7}}, {kTimeCondition, On(5)}},
         false,
         true,
         5},
        {"same minute, due now", true, false, {{kTimeCondition, On(0)}}, true, false, 0},
        {"same minute, overdue stays ready", true, false, {{kOsCondition, On(-3)}}, true, true, -3},
        {"same minute, not yet due", false, true, {{kCpuCondition, On(2)}}, true, true, 2},
        {"all mode in the same minute with everything met", false, true, {{kOsCondition, On(-3)}}, true, false, 0},
    };
    for (const CombineCase& c : cases) {
        ConditionStates states;
        for (const auto& [index, state] : c.states) states[index] = state;
        Settings s;
        s.Piece_Requirement = c.piece;
        s.All_Requirement = c.all;
        Verdict v = CombineConditions(states, s, c.sameMinute);
        EXPECT_EQ(v.Ready, c.ready) << c.what;
        EXPECT_EQ(v.MinutesToAct, c.minutesToAct) << c.what;
    }
}

TEST(Combination, AllModeTimerAndTimeAtDifferentTimesNeverReady) {
    Settings s = TimerAt(8, 0);
    s.Time_Enabled = true;
    s.Time_Hour = 8;
    s.Time_Minute = 30;
    s.Piece_Requirement = false;
    s.All_Requirement = true;
    MonitorState st;
    for (int minute = 0; minute < 1440; ++minute) {
        DateTime now = At(0, 0) + minute / 1440.0 + 1.0 / 86400;
        Verdict v = CombineConditions(Evaluate(s, now, st), s, false);
        ASSERT_FALSE(v.Ready) << minute;
    }
}

TEST(Combination, AnyOneModeWithTimeNeverWaitsMoreThanADay) {
    Settings s = TimeAt(13, 15);
    s.OS_Enabled = true;
    s.OS_Hour = 99999;
    MonitorState st;
    for (int minute = 0; minute < 1440; minute += 7) {
        Verdict v = CombineConditions(Evaluate(s, At(0, 0) + minute / 1440.0, st), s, false);
        EXPECT_LE(v.MinutesToAct, 1439) << minute;
        EXPECT_TRUE(v.Ready);
    }
}

}  // namespace
}  // namespace vesko
