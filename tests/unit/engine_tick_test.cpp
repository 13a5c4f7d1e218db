#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "engine/Tick.h"

namespace vesko {
namespace {

DateTime At(int h, int m, int s = 0, int day = 10) { return EncodeDateTime({2026, 3, day, h, m, s}); }

class FakeExcluded : public ExcludedProgramList {
public:
    explicit FakeExcluded(std::size_t count, std::set<std::size_t> running = {})
        : running_(std::move(running)), count_(count) {}
    std::size_t Count() const override { return count_; }
    bool IsInUse(std::size_t index) override {
        tested.push_back(index);
        return running_.count(index) > 0;
    }
    std::set<std::size_t> running_;
    std::vector<std::size_t> tested;

private:
    std::size_t count_;
};

InterfaceTable Adapter(std::uint64_t in, std::uint64_t out) {
    return {true, {InterfaceOctets{1, in, out, false, false, true, true}}};
}

TickReadings Readings(int cpu = 0, int memory = 0, std::uint32_t uptimeMs = 0) {
    TickReadings r;
    r.CpuPercent = cpu;
    r.MemoryPercent = memory;
    r.UptimeMs = uptimeMs;
    r.TimeText = "9:41:07";
    return r;
}

const CursorReader kStillCursor = [] { return std::optional<CursorPos>(CursorPos{}); };

// The monotonic count of a test that leaves the wall clock alone.
std::uint64_t Mono(DateTime t) { return static_cast<std::uint64_t>(std::llround((t - At(0, 0, 0, 1)) * 86400000.0)); }
ArmReadings Arm(DateTime t, std::uint64_t uptimeMs = 0) { return {t, Mono(t), uptimeMs, CursorPos{}}; }

// One evaluation with the monotonic count following the wall clock.
TickVerdict TickAt(DateTime now, const StatusDisplay& d, const Settings& s, MonitorState& st,
                   ExcludedProgramList* list = nullptr, const CursorReader& cursor = kStillCursor) {
    return EvaluateTick(now, Mono(now), d, s, cursor, list, st);
}

TEST(HoldOff, MinuteStampText) {
    EXPECT_EQ(FormatMinuteStamp(EncodeDateTime({2026, 3, 5, 7, 4, 59, 999})), "2026/03/05 07:04");
    EXPECT_EQ(FormatMinuteStamp(EncodeDateTime({1999, 12, 31, 23, 59})), "1999/12/31 23:59");
}

TEST(HoldOff, SameCalendarMinute) {
    struct Case {
        DateTime now, stamp;
        bool same;
    } cases[] = {
        {At(10, 0, 0), At(10, 0, 59), true},
        {At(10, 0, 59), At(10, 0, 0), true},
        {At(10, 1, 0), At(10, 0, 59), false},
        {At(10, 0, 0, 11), At(10, 0, 0, 10), false},  // same clock minute, next day
        {At(0, 0, 0, 11), At(23, 59, 59, 10), false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSameMinute(c.now, c.stamp), c.same) << FormatMinuteStamp(c.now);
}

TEST(StatusDisplay, LabelsAndSixLineTip) {
    MonitorState st;
    TickReadings r = Readings(7, 75, 3725000);
    r.Interfaces = Adapter(4294967000u, 1000);
    TakeReadings(r, true, st);
    r.Interfaces = Adapter(200, 1000);  // one counter wrapped: 496 bytes moved
    StatusDisplay d = TakeReadings(r, true, st);
    EXPECT_EQ(d.StatusCpu, "7 %");
    EXPECT_EQ(d.StatusNetwork, "496 B/s");
    EXPECT_EQ(d.StatusMemory, "75 %");
    EXPECT_EQ(d.StatusClock, "9:41:07");
    EXPECT_EQ(d.StatusUptime, "1時間2分5秒");
    EXPECT_EQ(d.TipHelp,
              "ケルダン！\r\n"
              "CPU  7 %\r\n"
              "平均通信量  496 B/s\r\n"
              "メモリ  75 %\r\n"
              "時刻  9:41:07\r\n"
              "OS起動時間  1時間2分5秒");
    EXPECT_EQ(st.Network.Counters.at(1), std::make_pair(std::uint64_t{200}, std::uint64_t{1000}));
    // The conditions see the integers the labels show.
    EXPECT_EQ(d.Readings.CpuPercent, 7);
    EXPECT_EQ(d.Readings.NetworkBytes, 496);
    EXPECT_EQ(d.Readings.MemoryPercent, 75);
    EXPECT_EQ(d.Readings.UptimeMinutes, 62);
}

TEST(StatusDisplay, OldShellTipAndScaledNetworkFigure) {
    MonitorState st;
    TickReadings r = Readings();
    r.Interfaces = Adapter(0, 0);
    TakeReadings(r, false, st);
    r.Interfaces = Adapter(10000000, 240000);
    StatusDisplay d = TakeReadings(r, false, st);
    EXPECT_EQ(d.TipHelp, "ケルダン！ ver 1.2");
    EXPECT_EQ(d.StatusNetwork, "9 MB/s");
    EXPECT_EQ(d.Readings.NetworkBytes, 10240000);  // unscaled for the condition
}

Settings CpuSettings() {
    Settings s;
    s.CPU_Enabled = true;
    s.CPU_Percent = 10;
    s.CPU_Time = 30;
    return s;
}

TEST(ExclusionGate, RunsOnlyWithFunctionAndExeStopOn) {
    struct Case {
        bool function, exeStop, ran;
    } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}, {false, false, false}};
    for (const Case& c : cases) {
        Settings s;
        s.Function_Enabled = c.function;
        s.ExeStop_Enabled = c.exeStop;
        FakeExcluded list(3, {1});
        ConditionStates states;
        states[kCpuCondition] = {true, true, 0};
        ExclusionResult r = ApplyExclusionGate(s, &list, states);
        EXPECT_EQ(r.Ran, c.ran);
        EXPECT_EQ(list.tested.size(), c.ran ? 3u : 0u);
        EXPECT_EQ(states[kCpuCondition].Holds, !c.ran);
        EXPECT_EQ(r.TrayIconId(), c.ran ? std::optional<int>(1) : std::nullopt);
    }
}

TEST(ExclusionGate, TestsEveryEntryAndClearsAllHolds) {
    Settings s;
    s.ExeStop_Enabled = true;
    FakeExcluded list(5, {0, 3});
    ConditionStates states;
    for (ConditionState& c : states) c = {true, true, -2};
    ExclusionResult r = ApplyExclusionGate(s, &list, states);
    EXPECT_EQ(list.tested, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(r.Found);
    for (const ConditionState& c : states) {
        EXPECT_FALSE(c.Holds);
        EXPECT_TRUE(c.Enabled);
        EXPECT_EQ(c.MinutesLeft, -2);
    }
}

TEST(ExclusionGate, NothingRunningOrEmptyListShowsTheActiveIcon) {
    Settings s;
    s.ExeStop_Enabled = true;
    FakeExcluded idle(4);
    FakeExcluded empty(0);
    for (ExcludedProgramList* list :
         {static_cast<ExcludedProgramList*>(&idle), static_cast<ExcludedProgramList*>(&empty),
          static_cast<ExcludedProgramList*>(nullptr)}) {
        ConditionStates states;
        states[kOsCondition] = {true, true, 1};
        ExclusionResult r = ApplyExclusionGate(s, list, states);
        EXPECT_FALSE(r.Found);
        EXPECT_EQ(r.TrayIconId(), 0);
        EXPECT_TRUE(states[kOsCondition].Holds);
    }
}

TEST(Tick, NothingActsInTheMinuteOfStart) {
    Settings s;
    s.Time_Enabled = true;
    s.Time_Hour = 10;
    s.Time_Minute = 0;
    MonitorState st;
    st.StartAt(Arm(At(10, 0, 5)));
    for (int sec = 6; sec < 60; ++sec) {
        DateTime now = At(10, 0, sec);
        TickVerdict v = TickAt(now, TakeReadings(Readings(), true, st), s, st);
        ASSERT_TRUE(v.SameMinute);
        ASSERT_EQ(v.MinutesToAct, 0);
        ASSERT_FALSE(v.Ready);  // the warning stays hidden too
    }
    TickVerdict next = TickAt(At(10, 1), TakeReadings(Readings(), true, st), s, st);
    EXPECT_FALSE(next.SameMinute);
    EXPECT_EQ(next.MinutesToAct, 1439);
}

TEST(Tick, FunctionOffStillShowsReadingsButNeverActs) {
    Settings s = CpuSettings();
    s.Function_Enabled = false;
    s.ExeStop_Enabled = true;
    MonitorState st;
    st.StartAt(Arm(At(9, 0)));
    FakeExcluded list(2, {0});
    StatusDisplay d = TakeReadings(Readings(3, 40), true, st);
    EXPECT_EQ(d.StatusCpu, "3 %");
    TickVerdict v = TickAt(At(11, 0), d, s, st, &list);
    EXPECT_FALSE(v.Ready);
    EXPECT_FALSE(v.Exclusion.TrayIconId().has_value());  // the tick leaves the icon alone
    EXPECT_TRUE(list.tested.empty());
    EXPECT_EQ(st.CpuLowSince, Mono(At(9, 0)));
}

TEST(Tick, CpuRunWithWarningWindowCountsDownAndActs) {
    // CPU at or below 10 % for 30 minutes: 3 minutes are left after 27 of them.
    Settings s = CpuSettings();
    MonitorState st;
    st.StartAt(Arm(At(12, 0)));
    int firstThree = -1, dueAt = -1;
    for (int sec = 1; sec <= 31 * 60 && dueAt < 0; ++sec) {
        DateTime now = At(12, 0) + sec / 86400.0;
        TickVerdict v = TickAt(now, TakeReadings(Readings(sec < 60 ? 50 : 10), true, st), s, st);
        if (v.Ready && v.MinutesToAct == 3 && firstThree < 0) firstThree = sec;
        if (v.Ready && v.MinutesToAct <= 0 && !v.SameMinute) dueAt = sec;
    }
    // The load was high until 12:00:59, so the run starts there.
    // Day fractions are inexact, so a whole minute may be seen one tick late.
    EXPECT_GE(firstThree, 59 + 27 * 60);
    EXPECT_LE(firstThree, 59 + 27 * 60 + 1);
    EXPECT_GE(dueAt, 59 + 30 * 60);
    EXPECT_LE(dueAt, 59 + 30 * 60 + 1);
}

TEST(Tick, ExcludedProgramHoldsOffWithoutResettingRunningTimes) {
    Settings s = CpuSettings();
    s.CPU_Time = 5;
    s.ExeStop_Enabled = true;
    MonitorState st;
    st.StartAt(Arm(At(12, 0)));
    FakeExcluded list(100, {42});
    TickVerdict v = TickAt(At(12, 10), TakeReadings(Readings(2), true, st), s, st, &list);
    EXPECT_FALSE(v.Ready);
    EXPECT_EQ(v.Exclusion.TrayIconId(), 1);
    EXPECT_EQ(list.tested.size(), 100u);

    list.running_.clear();  // the program exits
    v = TickAt(At(12, 10, 1), TakeReadings(Readings(2), true, st), s, st, &list);
    EXPECT_EQ(v.Exclusion.TrayIconId(), 0);
    EXPECT_TRUE(v.Ready);  // low all along: due at once
    EXPECT_FALSE(v.SameMinute);
    EXPECT_EQ(v.MinutesToAct, -5);
}

TEST(Tick, AnUnreadableCursorNeverEndsTheEvaluation) {
    // Locked for a minute with the mouse condition 30 minutes: the CPU
    // condition (5 minutes, low all along) still acts.
    Settings s = CpuSettings();
    s.CPU_Time = 5;
    s.MouseCursor_Enabled = true;
    s.MouseCursor_Time = 30;
    MonitorState st;
    st.StartAt(Arm(At(12, 0)));
    const CursorReader locked = [] { return std::optional<CursorPos>(); };
    TickVerdict v;
    for (int tick = 0; tick < 60; ++tick) {
        const DateTime now = At(12, 5, tick);
        v = TickAt(now, TakeReadings(Readings(2), true, st), s, st, nullptr, locked);
    }
    EXPECT_TRUE(v.Ready);
    EXPECT_EQ(v.MinutesToAct, 0);
    EXPECT_EQ(st.MouseStillSince, Mono(At(12, 0)));  // nobody moved it
}

// After the program put the machine to sleep, every condition holds anew for
// its full length: the running times (the mouse's too) and the uptime.
TEST(Tick, AfterAResumeEveryConditionHoldsItsFullLengthAgain) {
    Settings s = CpuSettings();
    s.CPU_Time = 30;
    s.MouseCursor_Enabled = true;
    s.MouseCursor_Time = 30;
    s.OS_Enabled = true;
    s.OS_Hour = 1;
    s.OS_Minute = 0;
    MonitorState st;
    st.StartAt(Arm(At(12, 0)));
    const DateTime wake = At(20, 0, 30);
    const std::uint64_t upAtWake = 9 * 3600000ull;  // the tick count went on through the sleep
    st.ResumedAt(Arm(wake, upAtWake));
    const DateTime now = At(20, 29, 40);
    const TickVerdict v = TickAt(now, TakeReadings(Readings(2, 0, upAtWake + 29 * 60000), true, st), s, st);
    EXPECT_EQ(v.Conditions[kCpuCondition].MinutesLeft, 1);
    EXPECT_EQ(v.Conditions[kMouseCursorCondition].MinutesLeft, 1);
    EXPECT_EQ(v.Conditions[kOsCondition].MinutesLeft, 31);
    EXPECT_EQ(v.MinutesToAct, 1);
}

TEST(Tick, UptimeLabelShowsTheSystemUptimeAfterAResume) {
    MonitorState st;
    st.ResumedAt(Arm(At(8, 0), 3600000));
    StatusDisplay d = TakeReadings(Readings(0, 0, 3725000), true, st);
    EXPECT_EQ(d.StatusUptime, "1時間2分5秒");
    EXPECT_EQ(d.Readings.UptimeMinutes, 2);
}

class UnreadableListFile : public ExcludedListFile {
public:
    std::string path = "C:\\app\\ExeNameList.txt";
    bool readable = false;
    int reads = 0;
    const std::string& Path() const override { return path; }
    bool Exists() override { return true; }
    std::optional<std::string> Read() override {
        ++reads;
        return readable ? std::optional<std::string>("C:\\b.exe\r\n") : std::nullopt;
    }
    bool Write(const std::string&) override { return false; }
    bool CanHold(const std::string&) override { return true; }
};

// A list file that exists but cannot be read for ten ticks: each tick goes on
// with the list it has, the failure is reported once, and the file is loaded
// once it can be read.
TEST(Tick, UnreadableListFileNeverStopsTheTick) {
    MonitorState state;
    UnreadableListFile file;
    std::vector<std::string> list{"C:\\a.exe"};
    int reports = 0;
    for (int tick = 0; tick < 10; ++tick) {
        std::optional<std::string> failure;
        ASSERT_NO_THROW(failure = LoadExcludedListOnTick(state, file, list));
        if (failure) {
            ++reports;
            EXPECT_EQ(*failure, "ファイル C:\\app\\ExeNameList.txt は開けません");
        }
        EXPECT_EQ(list, std::vector<std::string>{"C:\\a.exe"});
    }
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(file.reads, 10);
    file.readable = true;
    EXPECT_FALSE(LoadExcludedListOnTick(state, file, list));
    EXPECT_EQ(list, (std::vector<std::string>{"C:\\a.exe", "C:\\b.exe"}));
    EXPECT_FALSE(LoadExcludedListOnTick(state, file, list));
    EXPECT_EQ(file.reads, 11) << "loaded once";
}

}  // namespace
// A sleep the program did not start (the user's, a lid) shows as a gap between
// ticks: every duration condition holds its full length again from the wake-up,
// and nothing acts in that minute. A late tick within a minute changes nothing.
TEST(Tick, AGapBetweenTicksRestartsEveryRunningTime) {
    struct Case {
        const char* what;
        DateTime next;
        int cpuMinutesLeft;
        bool restarted;
    } cases[] = {
        {"a slow tick", At(12, 25, 45), 5, false},
        {"an eight-hour sleep", At(20, 25), 30, true},
    };
    for (const Case& c : cases) {
        Settings s = CpuSettings();
        s.CPU_Time = 30;
        s.MouseCursor_Enabled = true;
        s.MouseCursor_Time = 30;
        MonitorState st;
        st.StartAt(Arm(At(12, 0)));
        TickAt(At(12, 25), TakeReadings(Readings(2, 0), true, st), s, st);
        const TickVerdict v = TickAt(c.next, TakeReadings(Readings(2, 0), true, st), s, st);
        EXPECT_EQ(v.Conditions[kCpuCondition].MinutesLeft, c.cpuMinutesLeft) << c.what;
        EXPECT_EQ(v.Conditions[kMouseCursorCondition].MinutesLeft, c.cpuMinutesLeft) << c.what;
        EXPECT_EQ(v.SameMinute, c.restarted) << c.what;
        EXPECT_EQ(v.MinutesToAct, c.cpuMinutesLeft) << c.what;
    }
}

}  // namespace vesko
