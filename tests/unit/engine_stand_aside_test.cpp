// Standing aside, through the real tick: other programs' keep-awake requests
// and the warning's postponement, second by second from an arming at 9:00:00,
// with the CPU condition (1 minute at or below 50 %) unless a row says else.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/StandAside.h"
#include "engine/StatusSummary.h"
#include "engine/Tick.h"
#include "engine/Warning.h"
#include "monitor_fakes.h"
#include "settings/SettingsDeclaration.h"

namespace vesko {
namespace {

struct FakeProbe : KeepAwakeProbe {
    KeepAwakeReading next;
    int reads = 0, closes = 0;
    KeepAwakeReading Read() override { return ++reads, next; }
    void Close() override { ++closes; }
};

// The warning window and the log in one.
struct FakeDialog : WarningDialog, LogWriter {
    std::string label;
    bool visible = false;
    std::vector<std::string> log;
    std::string LabelText() override { return label; }
    void SetLabelText(const std::string& text) override { label = text; }
    bool IsVisible() override { return visible; }
    void Show() override { visible = true; }
    void Hide() override { visible = false; }
    void Repaint() override {}
    void SetAbortEnabled(bool) override {}
    void WriteLog(const std::string& message, DateTime) override { log.push_back(message); }
};

enum Act { kTick, kPostpone, kPostponeLocked, kRearm };
constexpr KeepAwakeReading kNone{}, kFull{true, false, false}, kSound{false, true, false}, kSystem{false, false, true},
    kAll{true, true, true};

struct Step {
    int sec;  // after the arming, on both clocks unless the wall is shifted
    KeepAwakeReading signals;
    bool ready;
    int minutesToAct;       // checked when ready; 0 stands for due (0 or less)
    std::string summary;    // the summary starts with it ("" unchecked)
    std::string mark = "";  // the CPU mark ("" unchecked)
    Act act = kTick;        // done just before this tick
    int wallShift = 0;      // seconds the wall clock was set forward
};

struct Row {
    const char* name;
    std::function<void(Settings&)> tweak;
    int reads;  // probe asked this often in all
    std::vector<Step> steps;
};

TEST(StandAside, KeepAwakeRequestsAndThePostponementThroughTheTick) {
    const auto none = [](Settings&) {};
    const std::vector<Row> rows = {
        {"no request: the CPU condition is due after its minute",
         none,
         2,
         {{30, kNone, true, 1, "9:01 に休止状態にします（あと 1 分・警告中）", "○ 0/1分"},
          {60, kNone, true, 0, "まもなく休止状態にします"}}},
        {"full screen holds back and says so", none, 1, {{60, kFull, false, 0, standmsg::kFullScreen, "― 全画面"}}},
        {"sound holds back and says so", none, 1, {{60, kSound, false, 0, standmsg::kSound, "― 音声"}}},
        {"execution state holds back and says so",
         none,
         1,
         {{60, kSystem, false, 0, standmsg::kSystemRequired, "― 使用中"}}},
        {"several: full screen is named", none, 1, {{60, kAll, false, 0, standmsg::kFullScreen}}},
        {"a request that ends: the running time restarts from its last tick",
         none,
         5,
         {{30, kSound, false, 0, ""},
          {90, kSound, false, 0, ""},
          {95, kNone, true, 1, "", "○ 0/1分"},
          {150, kNone, true, 1, "", "○ 1/1分"},  // the warning, shown from 91, has a second left
          {151, kNone, true, 0, "まもなく"}}},
        {"a clock condition is only held back, and comes with the whole warning",
         [](Settings& s) { s.CPU_Enabled = false, s.Time_Enabled = true, s.Time_Hour = 9, s.Time_Minute = 1; },
         4,
         {{30, kNone, true, 1, ""},
          {61, kSound, false, 0, standmsg::kSound},
          // Still due after its minute, behind a whole warning.
          {62, kNone, true, 1, "9:02 に休止状態にします（あと 1 分・警告中）"},
          {122, kNone, true, 0, "まもなく"}}},
        {"option off: signals ignored",
         [](Settings& s) { s.KeepAwake_Enabled = false; },
         0,
         {{60, kAll, true, 0, "まもなく"}}},
        {"no condition enabled: no probe asked",
         [](Settings& s) { s.CPU_Enabled = false; },
         0,
         {{60, kAll, false, 0, statusmsg::kNothingEnabled}}},
        {"function off: no probe asked",
         [](Settings& s) { s.Function_Enabled = false; },
         0,
         {{60, kAll, false, 0, statusmsg::kFunctionOff}}},
        {"postponed: nothing for ten minutes, then the whole warning again",
         none,
         5,
         {{30, kNone, false, 0, "延長中（9:10 まで）", "", kPostpone},
          {629, kNone, false, 0, "延長中（9:10 まで）"},
          {630, kNone, true, 1, "9:11 に休止状態にします（あと 1 分・警告中）"},
          {689, kNone, true, 1, ""},
          {690, kNone, true, 0, "まもなく"}}},
        {"postponed: a clock set an hour forward shortens nothing",
         none,
         2,
         {{30, kNone, false, 0, "", "", kPostpone}, {90, kNone, false, 0, "延長中（10:10 まで）", "", kTick, 3600}}},
        {"postponed: a request after it still holds back",
         none,
         2,
         {{30, kNone, false, 0, "", "", kPostpone}, {700, kSound, false, 0, standmsg::kSound}}},
        {"postponed: re-arming ends it",
         none,
         2,
         {{30, kNone, false, 0, "", "", kPostpone}, {70, kNone, true, 1, "", "", kRearm}}},
        {"the warning's own beep: a system-required flag in the ten seconds after it is the beep's",
         none,
         4,
         {{0, kNone, true, 1, ""},
          {5, kSystem, true, 1, ""},
          {9, kSystem, true, 1, ""},
          {12, kSystem, false, 0, standmsg::kSystemRequired}}},
        {"locked: not offered", none, 1, {{30, kNone, true, 1, "9:01 に", "", kPostponeLocked}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Settings s;
        s.Function_Enabled = s.KeepAwake_Enabled = s.CPU_Enabled = true;
        s.CPU_Percent = 50, s.CPU_Time = 1;
        SetRadio(s, &Settings::Hibernation, true);
        s.Warning_Enabled = true, s.Warning_Time = 1;
        row.tweak(s);
        const DateTime t0 = EncodeDateTime({2026, 3, 10, 9, 0, 0});
        const std::uint64_t m0 = 1000000;
        MonitorState st;
        st.Arm({t0, m0, 0, CursorPos{}});
        FakeProbe probe;
        FakeDialog dialog;
        testing::FakeView view;
        bool aborted = false;
        std::size_t logLines = 0;
        StatusDisplay d;
        auto tick = [&](int sec, const Step& step) {
            const DateTime now = t0 + (sec + step.wallShift) / 86400.0;
            const std::uint64_t mono = m0 + static_cast<std::uint64_t>(sec) * 1000;
            probe.next = step.signals;
            const TickVerdict v = EvaluateTick(
                now, mono, d, s, [] { return CursorPos{}; }, nullptr, st, &probe);
            RunWarningStep(aborted, v.Ready, v.MinutesToAct, mono, st, s, dialog, view, [] {});
            return v;
        };
        int last = -1;
        for (const Step& step : row.steps) {
            SCOPED_TRACE(step.sec);
            // The program ticks every second: the seconds between two rows
            // see the later row's signals. The rows count their own asks.
            const int asked = probe.reads;
            for (int sec = last + 1; sec < step.sec; ++sec) tick(sec, step);
            probe.reads = asked;
            last = step.sec;
            const DateTime now = t0 + (step.sec + step.wallShift) / 86400.0;
            const std::uint64_t mono = m0 + static_cast<std::uint64_t>(step.sec) * 1000;
            if (step.act == kRearm) st.Arm({now, mono, 0, CursorPos{}});
            if (step.act == kPostpone || step.act == kPostponeLocked) {
                dialog.visible = true;
                const bool locked = step.act == kPostponeLocked;
                EXPECT_EQ(WarningPostponeClick(locked, now, mono, st, dialog, dialog), !locked);
                EXPECT_EQ(dialog.visible, locked);
                logLines += locked ? 0 : 1;
            }
            const TickVerdict v = tick(step.sec, step);
            EXPECT_EQ(v.Ready, step.ready);
            EXPECT_EQ(step.ready ? std::max(v.MinutesToAct, 0) : 0, step.minutesToAct);
            // The warning shows exactly while the verdict is within its time.
            EXPECT_EQ(dialog.visible, step.ready && v.MinutesToAct <= s.Warning_Time);
            const TickOutlook outlook{v, s, st, d.Readings, now, mono};
            EXPECT_EQ(SummaryLine(outlook).rfind(step.summary, 0), 0u) << SummaryLine(outlook);
            EXPECT_EQ(step.mark.empty() ? "" : ConditionMarks(outlook)[kCpuCondition], step.mark);
        }
        EXPECT_EQ(probe.reads, row.reads);
        EXPECT_EQ(probe.closes > 0, row.reads == 0) << "the probe is closed exactly when not asked";
        EXPECT_EQ(dialog.log, std::vector<std::string>(logLines, standmsg::kPostponeLog));
    }
}

}  // namespace
}  // namespace vesko
