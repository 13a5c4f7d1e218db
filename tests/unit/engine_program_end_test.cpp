// The job's end: the rule through the real tick, the picker's order, and the
// keep-awake request through the monitor.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/ProgramEnd.h"
#include "engine/Tick.h"
#include "settings/SettingsDeclaration.h"
#include "ui/ProgramChoices.h"

namespace vesko {
namespace {

constexpr std::uint64_t kSec = 1000;

// The programs one tick sees; none when the list cannot be read.
struct Programs : RunningPrograms {
    std::optional<bool> running = false;
    int asked = 0;
    std::optional<bool> IsRunning(const std::string& name) override {
        ++asked;
        EXPECT_EQ(name, "render.exe");
        return running;
    }
};

// One step: seconds of ticks with the program running or not (none: the list
// cannot be read), or a re-arming.
struct Step {
    int seconds;
    std::optional<bool> running;
    bool arm = false;
};
constexpr Step Runs(int s) { return {s, true}; }
constexpr Step Gone(int s) { return {s, false}; }
constexpr Step Unreadable(int s) { return {s, std::nullopt}; }
constexpr Step Arm() { return {0, false, true}; }

struct RuleRow {
    const char* what;
    std::vector<Step> steps;
    int left;  // the condition's minutes left; -1: it does not hold
    bool due;  // the combination acts now
    std::function<void(Settings&)> edit = nullptr;
};

TEST(ProgramEnd, TheRuleThroughTheTick) {
    // Three minutes gone; a daily time that is never due while the rows run.
    auto time = [](Settings& s) { s.Time_Enabled = true, s.Time_Hour = 20; };
    auto all = [&](Settings& s) { time(s), SetRadio(s, &Settings::All_Requirement, true); };
    const RuleRow rows[] = {
        {"gone a moment short", {Runs(30), Gone(179)}, 1, false},
        {"gone its minutes", {Runs(30), Gone(181)}, 0, true},
        {"never seen", {Gone(600)}, -1, false},
        {"a queue's short gap", {Runs(30), Gone(100), Runs(5), Gone(179)}, 1, false},
        {"re-armed while it runs", {Runs(30), Arm(), Runs(10), Gone(181)}, 0, true},
        {"re-armed after its end", {Runs(30), Gone(100), Arm(), Gone(600)}, -1, false},
        {"unreadable list once seen: running", {Runs(30), Gone(100), Unreadable(5), Gone(179)}, 1, false},
        {"unreadable list before: no start", {Unreadable(30), Gone(600)}, -1, false},
        {"any-one mode", {Runs(30), Gone(181)}, 0, true, time},
        {"all mode, the time not due", {Runs(30), Gone(181)}, 0, false, all},
        {"all mode, still running", {Runs(300)}, -1, false, all},
    };
    for (const RuleRow& row : rows) {
        Settings s;
        s.ProgramEnd_Enabled = true, s.ProgramEnd_Name = "render.exe", s.ProgramEnd_Time = 3;
        if (row.edit) row.edit(s);
        MonitorState state;
        std::uint64_t mono = 1000 * kSec;
        DateTime now = EncodeDateTime({2026, 3, 10, 9, 0, 0});
        state.Arm({now, mono, mono, CursorPos{}});
        Programs programs;
        TickVerdict v;
        int ticks = 0;
        for (const Step& step : row.steps) {
            if (step.arm) state.Arm({now, mono, mono, CursorPos{}});
            programs.running = step.running;
            for (int i = 0; i < step.seconds; ++i, ++ticks) {
                mono += kSec, now += 1.0 / 86400;
                v = EvaluateTick(now, mono, {}, s, {}, nullptr, state, nullptr, &programs);
            }
        }
        const ConditionState& c = v.Conditions[kProgramEndCondition];
        EXPECT_EQ(c.Holds ? c.MinutesLeft : -1, row.left) << row.what;
        EXPECT_EQ(v.Ready && v.MinutesToAct <= 0, row.due) << row.what;
        EXPECT_EQ(programs.asked, ticks) << row.what << ": once a tick";
    }
}

TEST(ProgramEnd, TheListIsNotReadWhileTheConditionOrTheFunctionIsOff) {
    for (const bool function : {false, true}) {
        Settings s;
        s.Function_Enabled = function, s.ProgramEnd_Enabled = !function, s.ProgramEnd_Name = "render.exe";
        s.CPU_Enabled = true;
        MonitorState state;
        Programs programs;
        programs.running = true;
        EvaluateTick(1.0, 5000, {}, s, {}, nullptr, state, nullptr, &programs);
        EXPECT_EQ(programs.asked, 0);
    }
}

TEST(ProgramChoices, WindowedFirstInWindowOrderThenTheRestByNameEachOnce) {
    const std::vector<RunningProcess> processes = {
        {"", "svchost.exe", 4},           {"", "Render.exe", 10}, {"", "notepad.exe", 11}, {"", "render.exe", 12},
        {"", "SVCHOST.EXE", 5},           {"", "audiodg.exe", 6}, {"", "notepad.exe", 13}, {"", "", 14},
        {"C:\\9x\\KERNEL32.DLL", "", 15}, {"", "zip.exe", 16},
    };
    const std::vector<ProgramWindow> windows = {
        {13, "memo.txt - メモ帳"},
        {10, "Render queue"},
        {11, "other.txt - メモ帳"},
        {12, "second render"},
        {99, "a window whose process has gone"},
    };
    std::vector<std::string> got;
    for (const ProgramChoice& c : ListProgramChoices(processes, windows)) got.push_back(c.FileName + "|" + c.Title);
    const std::vector<std::string> expected = {
        "notepad.exe|memo.txt - メモ帳",
        "Render.exe|Render queue",
        "audiodg.exe|",
        "KERNEL32.DLL|",
        "svchost.exe|",
        "zip.exe|",
    };
    EXPECT_EQ(got, expected);
}

}  // namespace
}  // namespace vesko
