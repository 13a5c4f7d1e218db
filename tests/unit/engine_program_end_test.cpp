// The job's end: the rule through the real tick, and the picker's order.
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
    std::optional<bool> IsRunning(const std::string&) override { return ++asked, running; }
};

// One step: seconds of ticks with the program running or not (none: the list
// cannot be read); 0 seconds re-arms.
struct Step {
    int seconds;
    std::optional<bool> running;
};
constexpr Step Runs(int s) { return {s, true}; }
constexpr Step Gone(int s) { return {s, false}; }
constexpr Step Unreadable(int s) { return {s, std::nullopt}; }
constexpr Step kArm{0, false};

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
    auto off = [](Settings& s) { s.Function_Enabled = false; };
    const RuleRow rows[] = {
        {"gone a moment short", {Runs(30), Gone(179)}, 1, false},
        {"gone its minutes", {Runs(30), Gone(181)}, 0, true},
        {"never seen", {Gone(600)}, -1, false},
        {"a queue's short gap", {Runs(30), Gone(100), Runs(5), Gone(179)}, 1, false},
        {"re-armed while it runs", {Runs(30), kArm, Runs(10), Gone(181)}, 0, true},
        {"re-armed after its end", {Runs(30), Gone(100), kArm, Gone(600)}, -1, false},
        {"unreadable list once seen: running", {Runs(30), Gone(100), Unreadable(5), Gone(179)}, 1, false},
        {"unreadable list before: no start", {Unreadable(30), Gone(600)}, -1, false},
        {"any-one mode", {Runs(30), Gone(181)}, 0, true, time},
        {"all mode, the time not due", {Runs(30), Gone(181)}, 0, false, all},
        {"all mode, still running", {Runs(300)}, -1, false, all},
        {"the function off: no list read", {Runs(30), Gone(181)}, -1, false, off},
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
            if (!step.seconds) state.Arm({now, mono, mono, CursorPos{}});
            programs.running = step.running;
            for (int i = 0; i < step.seconds; ++i, ++ticks) {
                mono += kSec, now += 1.0 / 86400;
                v = EvaluateTick(now, mono, {}, s, {}, nullptr, state, nullptr, &programs);
            }
        }
        const ConditionState& c = v.Conditions[kProgramEndCondition];
        EXPECT_EQ(c.Holds ? c.MinutesLeft : -1, row.left) << row.what;
        EXPECT_EQ(v.Ready && v.MinutesToAct <= 0, row.due) << row.what;
        EXPECT_EQ(programs.asked, s.Function_Enabled ? ticks : 0) << row.what << ": once a tick while on";
    }
}

TEST(ProgramChoices, WindowedFirstInWindowOrderThenTheRestByNameEachOnce) {
    const std::vector<RunningProcess> processes = {
        {"", "svchost.exe", 4}, {"", "Render.exe", 10},          {"", "notepad.exe", 11},
        {"", "render.exe", 12}, {"", "SVCHOST.EXE", 5},          {"", "audiodg.exe", 6},
        {"", "", 14},           {"C:\\9x\\KERNEL32.DLL", "", 15}};
    // The first two windows are one program's; the last one's process has gone.
    const std::vector<ProgramWindow> windows = {{11, "a - メモ帳"}, {11, "b - メモ帳"}, {12, "queue"}, {99, "x"}};
    std::string got;
    for (const ProgramChoice& c : ListProgramChoices(processes, windows)) got += c.FileName + "|" + c.Title + " ";
    EXPECT_EQ(got, "notepad.exe|a - メモ帳 render.exe|queue audiodg.exe| KERNEL32.DLL| svchost.exe| ");
}

}  // namespace
}  // namespace vesko
