// The condition marks and the summary line, driven through the real tick:
// arm, take readings, evaluate, describe.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <optional>

#include "engine/StatusSummary.h"

namespace vesko {
namespace {

DateTime At(int h, int m, int s = 0) { return EncodeDateTime({2026, 3, 10, h, m, s}); }
std::uint64_t Mono(DateTime t) { return static_cast<std::uint64_t>(std::llround((t - At(0, 0)) * 86400000.0)); }

class OneListedProgram : public ExcludedProgramList {
public:
    std::size_t Count() const override { return 1; }
    bool IsInUse(std::size_t) override { return true; }
};

struct Situation {
    const char* name;
    std::function<void(Settings&)> set;
    DateTime armedAt, now;
    int cpu = 5, memory = 30;  // the readings: CPU low, memory low
    bool programRunning = false;
    std::map<int, const char*> marks;  // every other mark is empty
    const char* summary;
};

Settings Base() {
    Settings s;
    s.CPU_Percent = 10;
    s.CPU_Time = 30;
    s.Memory_Percent = 50;
    s.Memory_Time = 30;
    s.Shutdown = s.Suspend = false;
    s.Hibernation = true;
    return s;
}

TEST(StatusSummary, Situations) {
    const Situation situations[] = {
        {"nothing enabled", [](Settings&) {}, At(21, 0), At(21, 10), 5, 30, false, {}, "節電条件が選ばれていません"},
        // The running time starts at 21:15:40: met at 21:45:40, though twelve minutes from now is 21:46.
        {"one duration counting",
         [](Settings& s) { s.CPU_Enabled = true; },
         At(21, 15, 40),
         At(21, 34, 20),
         5,
         30,
         false,
         {{kCpuCondition, "○ 18/30分"}},
         "21:45 に休止状態にします（あと 12 分）"},
        {"any one, two counting at different speeds",
         [](Settings& s) {
             s.CPU_Enabled = s.MouseCursor_Enabled = s.AppointedTime_Enabled = true;
             s.MouseCursor_Time = 45;
             s.AppointedTime_FromHour = 22, s.AppointedTime_ToHour = 23;
             s.Suspend = true;
         },
         At(21, 0),
         At(21, 20),
         5,
         30,
         false,
         {{kAppointedTimeCondition, "△ 22:00"}, {kCpuCondition, "○ 20/30分"}, {kMouseCursorCondition, "○ 20/45分"}},
         "21:30 にサスペンドします（あと 10 分）"},
        {"all conditions, one missing",
         [](Settings& s) {
             s.Piece_Requirement = false, s.All_Requirement = true;
             s.CPU_Enabled = s.Memory_Enabled = s.AppointedTime_Enabled = true;
             s.AppointedTime_FromHour = 21, s.AppointedTime_ToHour = 23;
         },
         At(21, 0),
         At(21, 10),
         5,
         80,
         false,
         {{kAppointedTimeCondition, "○ 23:00まで"}, {kCpuCondition, "○ 10/30分"}, {kMemoryCondition, "× 0/30分"}},
         "条件を満たしていません（メモリの利用率）"},
        {"time conditions tomorrow",
         [](Settings& s) {
             s.Time_Enabled = s.Timer_Enabled = true;
             s.Time_Hour = 6, s.Time_Minute = 0;
             s.Timer_ScheduleTime.time = EncodeTime(5, 0);
             s.Shutdown = true;
         },
         At(21, 0),
         At(21, 30, 20),
         5,
         30,
         false,
         {{kTimerCondition, "△ 翌日"}, {kTimeCondition, "△ 翌6:00"}},
         "明日 5:00 に電源を切ります（あと 7 時間 30 分）"},
        {"the hold-off minute",
         [](Settings& s) {
             s.Time_Enabled = true;
             s.Time_Hour = 21, s.Time_Minute = 30;
         },
         At(21, 30, 10),
         At(21, 30, 40),
         5,
         30,
         false,
         {{kTimeCondition, "○ 成立"}},
         "21:31 に休止状態にします（設定直後の 1 分は待機）"},
        // What the conditions count stays shown; only the verdict is held back.
        {"a listed program running",
         [](Settings& s) { s.CPU_Enabled = s.ExeStop_Enabled = true; },
         At(21, 15),
         At(21, 33),
         5,
         30,
         true,
         {{kCpuCondition, "○ 18/30分"}},
         "指定したソフトが起動中のため節電しません"},
        {"the function off",
         [](Settings& s) {
             s.CPU_Enabled = s.Time_Enabled = true;
             s.Function_Enabled = false;
         },
         At(21, 15),
         At(21, 33),
         5,
         30,
         false,
         {{kTimeCondition, "―"}, {kCpuCondition, "―"}},
         "機能が無効のため節電しません"},
        {"the warning appearing: its whole time counts from now",
         [](Settings& s) {
             s.CPU_Enabled = s.Warning_Enabled = true;
             s.Warning_Time = 5;
         },
         At(21, 15),
         At(21, 42),
         5,
         30,
         false,
         {{kCpuCondition, "○ 27/30分"}},
         "21:47 に休止状態にします（あと 5 分・警告中）"},
        // Tuesday: the next ticked day is named.
        {"the daily time on Fridays",
         [](Settings& s) { s.Time_Enabled = true, s.Time_Hour = 22, s.Time_Days = "0000100", s.Suspend = true; },
         At(21, 0),
         At(21, 10),
         5,
         30,
         false,
         {{kTimeCondition, "△ 金 22:00"}},
         "金曜 22:00 にサスペンドします（あと 72 時間 50 分）"},
        {"a window on Wednesdays, tomorrow",
         [](Settings& s) {
             s.AppointedTime_Enabled = true, s.AppointedTime_Days = "0010000";
             s.AppointedTime_FromHour = 6, s.AppointedTime_ToHour = 7;
         },
         At(21, 0),
         At(21, 10),
         5,
         30,
         false,
         {{kAppointedTimeCondition, "△ 翌6:00"}},
         "明日 6:00 に休止状態にします（あと 8 時間 50 分）"},
    };
    for (const Situation& c : situations) {
        SCOPED_TRACE(c.name);
        Settings s = Base();
        c.set(s);
        MonitorState st;
        st.StartAt({c.armedAt, Mono(c.armedAt), 0, CursorPos{}});
        TickReadings r;
        r.CpuPercent = c.cpu;
        r.MemoryPercent = c.memory;
        const StatusDisplay d = TakeReadings(r, true, st);
        OneListedProgram program;
        const TickVerdict v = EvaluateTick(
            c.now, Mono(c.now), d, s, [] { return std::optional<CursorPos>(CursorPos{}); },
            c.programRunning ? &program : nullptr, st);
        const TickOutlook tick{v, s, st, d.Readings, c.now, Mono(c.now)};
        const auto marks = ConditionMarks(tick);
        for (int i = 0; i < kConditionCount; ++i) {
            auto expected = c.marks.find(i);
            EXPECT_EQ(marks[i], expected == c.marks.end() ? "" : expected->second) << "condition " << i;
        }
        EXPECT_EQ(SummaryLine(tick), c.summary);
    }
}

// Characters of a BMP-only text: its UTF-16 units.
std::size_t Units(const std::string& utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

// The line ends the tip only when the whole tip still fits the shell's 127
// units; a tip that would be cut, and the old one-line tip, stay as they were.
TEST(StatusSummary, TrayTipTakesTheLineOnlyWhenItFits) {
    const std::string six =
        "ケルダン！\r\nCPU  7 %\r\n平均通信量  496 B/s\r\nメモリ  75 %\r\n時刻  9:41:07\r\nOS起動時間  1時間2分5秒";
    const std::string line = "21:45 に休止状態にします（あと 12 分）";
    EXPECT_EQ(TrayTipWithLine(six, true, line), six + "\r\n" + line);
    const std::string fits = six + std::string(127 - Units(six) - 2 - Units(line), '.');
    EXPECT_EQ(TrayTipWithLine(fits, true, line), fits + "\r\n" + line);
    EXPECT_EQ(TrayTipWithLine(fits + ".", true, line), fits + ".");
    EXPECT_EQ(TrayTipWithLine(kOldShellTrayTip, false, line), kOldShellTrayTip);
}

}  // namespace
}  // namespace vesko
