// The monitor through its ports, as the program runs it: start-up, the tick
// every second, OK and Apply, the warning's buttons, the power calls and what
// they leave in the settings file, the log, the view and the tray.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/Arming.h"
#include "engine/Monitor.h"
#include "engine/StandAside.h"
#include "engine/TimerSchedule.h"
#include "engine/Warning.h"
#include "log/EventLog.h"
#include "power/ManualCommands.h"
#include "power/PowerActions.h"
#include "monitor_fakes.h"
#include "power_fake_system.h"
#include "readings/CpuUsage.h"
#include "readings/KeepAwake.h"
#include "settings/ExcludedPrograms.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "settings/StartupShortcut.h"

namespace vesko {
namespace {

constexpr double kSecond = 1.0 / 86400.0;

// The world the monitor lives in: both clocks, which the test moves on.
struct World : Clock, MachinePort {
    DateTime now = EncodeDateTime({2026, 3, 10, 9, 0, 0});
    std::uint64_t mono = 5000000;
    void Pass(int seconds) { now += seconds * kSecond, mono += static_cast<std::uint64_t>(seconds) * 1000; }

    DateTime Now() const override { return now; }
    InterfaceTable Interfaces() override { return {}; }
    int MemoryPercent() override { return 40; }
    std::uint64_t UptimeMs() override { return mono; }
    std::uint64_t MonotonicMs() override { return mono; }
    std::optional<CursorPos> Cursor() override { return CursorPos{}; }
    std::string LongTime(DateTime) override { return "9:00:00"; }
    std::string OSVersionText() override { return "Windows 7"; }
    ManualItemsEnabled ManualItems() override { return {}; }
    bool awake = false;  // the keep-awake request
    void KeepSystemAwake(bool on) override { awake = on; }
    std::uint32_t input = 0;  // the last input's tick
    std::uint32_t LastInputTick() override { return input; }
};

// The processor idles.
struct IdleCpu : CpuTimesProbe {
    const World& world;
    explicit IdleCpu(const World& w) : world(w) {}
    std::optional<unsigned> ProcessorCount() override { return 1; }
    std::optional<CpuTimes> ReadTimes() override {
        return CpuTimes{static_cast<std::int64_t>(world.mono) * 10000, static_cast<std::int64_t>(world.mono) * 10000};
    }
};

// No program list, nothing running, nobody asking to stay awake, no link.
struct Quiet : ExcludedListFile, ProgramSystem, StartupShortcut {
    std::string path = "C:\\app\\ExeNameList.txt";
    const std::string& Path() const override { return path; }
    bool Exists() override { return false; }
    std::optional<std::string> Read() override { return std::nullopt; }
    bool Write(const std::string&) override { return true; }
    bool CanHold(const std::string&) override { return true; }
    std::vector<RunningProcess> running;  // only a job, for the job's end
    std::optional<std::vector<RunningProcess>> ListProcesses() override { return running; }
    std::string ImagePathOf(std::uint32_t) override { return ""; }
    std::string FullPathName(const std::string& p) override { return p; }
    bool FileExists(const std::string&) override { return false; }
    bool ExclusiveOpenFails(const std::string&) override { return false; }
    bool IsOn() override { return false; }
    void Save(bool) override {}
};

// Windows' machine-wide execution state: the monitor's own request shows in it.
struct QuietProbe : KeepAwakeProbe {
    const World& world;
    bool others = false;  // another program's request
    explicit QuietProbe(const World& w) : world(w) {}
    KeepAwakeReading Read() override { return {false, false, world.awake || others}; }
    void Close() override {}
};

// Everything the monitor is given, around a settings file held in memory.
struct Rig {
    World world;
    testing::MemorySettingsFile file;
    testing::FakePowerSystem power;
    testing::FakeView view;
    testing::FakeWarning warning{world.mono};
    testing::FakeLog log;
    testing::FakeTray tray;
    Quiet quiet;
    QuietProbe requests{world};
    PowerActions actions{power};
    CpuUsage cpu{std::make_unique<IdleCpu>(world), nullptr};
    Monitor monitor{MonitorPorts{world, file.store, view, warning, actions, power, log, tray, quiet, quiet, cpu,
                                 requests, world, quiet},
                    {"vesko.exe"}};

    explicit Rig(const std::string& ini) {
        file.text = ini;
        // The machine sleeps a minute and a half, on both clocks.
        power.whileAsleep = [this] { world.Pass(90); };
    }
    void Ticks(int seconds) {
        for (int i = 0; i < seconds; ++i) world.Pass(1), monitor.OnTick();
    }
    std::string Ini(const std::string& key) const { return file.Value(key); }
    int Logged(const std::string& text) const {
        return static_cast<int>(std::count(log.lines.begin(), log.lines.end(), text));
    }
};

const std::string kHibernateOnTheMouse =
    "[MouseCursor]\r\nMouseCursor_Enabled=1\r\nMouseCursor_Time=2\r\n"
    "[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
    "[Other]\r\nFunction_Enabled=1\r\nWarning_Enabled=1\r\nWarning_Time=1\r\n";

TEST(Monitor, TheWholeWarningThenTheHibernationItsResumeAndNothingInTheMinuteAfter) {
    Rig rig(kHibernateOnTheMouse);
    rig.monitor.Start();
    EXPECT_TRUE(rig.view.errors.empty());
    EXPECT_EQ(rig.log.lines.size(), 1u) << "the start line";
    rig.Ticks(60);
    EXPECT_TRUE(rig.warning.shown) << "a minute of the two: the warning";
    EXPECT_EQ(rig.warning.text, "1 分後にWindowsを休止状態にします");
    EXPECT_EQ(rig.view.beeps, 1);
    rig.Ticks(59);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 0) << "before the warning's minute was over";
    rig.Ticks(2);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 1);
    EXPECT_EQ(rig.Logged(logmsg::kHibernateResume), 1);
    // Re-armed at the resume: the mouse counts its two minutes again.
    rig.Ticks(60);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 1);
}

TEST(Monitor, OkSavesTheWindowInOneWriteRearmsAndHides) {
    Rig rig(kHibernateOnTheMouse);
    rig.monitor.Start();
    rig.view.visible = true;
    const int before = rig.file.writes;
    rig.view.draft.MouseCursor_Time = 5;
    rig.view.draft.Warning_Enabled = false;
    rig.monitor.ApplyWindow(true);
    EXPECT_EQ(rig.file.writes, before + 1);
    EXPECT_EQ(rig.Ini("MouseCursor_Time"), "5");
    EXPECT_EQ(rig.Ini("Warning_Enabled"), "0");
    EXPECT_TRUE(rig.view.hiddenAfterOk);
    // The tick works from the saved values: five minutes of a still mouse.
    rig.Ticks(4 * 60 + 55);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 0);
    rig.Ticks(10);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 1);
}

TEST(Monitor, ARefusedWriteOnApplyShowsTheErrorAndKeepsTheOldValuesAtWork) {
    Rig rig(kHibernateOnTheMouse);
    rig.monitor.Start();
    rig.view.visible = true;
    const std::string before = rig.file.text;
    rig.file.refuses = true;
    rig.view.draft.MouseCursor_Time = 30;
    rig.monitor.ApplyWindow(false);
    ASSERT_EQ(rig.view.errors.size(), 1u);
    EXPECT_NE(rig.view.errors[0].find("vesko.ini"), std::string::npos) << rig.view.errors[0];
    EXPECT_EQ(rig.file.text, before) << "nothing half written";
    EXPECT_TRUE(rig.view.visible);
}

TEST(Monitor, AReadOnlySettingsFileAtStartIsToldAndTheMonitorStillWatches) {
    Rig rig(kHibernateOnTheMouse);
    rig.file.refuses = true;
    rig.monitor.Start();
    EXPECT_FALSE(rig.view.errors.empty());
    rig.Ticks(60 + 61);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 1) << "the countdown's keys could not be stored; the watching goes on";
}

TEST(Monitor, AbortSwitchesTheFunctionOffInTheFileTheTrayAndTheNextTick) {
    Rig rig(kHibernateOnTheMouse);
    rig.monitor.Start();
    rig.Ticks(70);
    ASSERT_TRUE(rig.warning.shown);
    rig.monitor.AbortWarning();
    EXPECT_EQ(rig.Ini("Function_Enabled"), "0");
    EXPECT_EQ(rig.view.notices, std::vector<std::string>{warnmsg::kFunctionDisabled});
    rig.Ticks(1);
    EXPECT_FALSE(rig.warning.shown);
    EXPECT_FALSE(rig.view.functionSwitch);
    EXPECT_EQ(rig.tray.icon, 1);
    rig.Ticks(300);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 0);
}

TEST(Monitor, PostponedTenMinutesThenTheWholeWarningAgain) {
    Rig rig(kHibernateOnTheMouse);
    rig.monitor.Start();
    rig.Ticks(90);
    ASSERT_TRUE(rig.warning.shown);
    rig.monitor.PostponeWarning(false);
    EXPECT_EQ(rig.Logged(standmsg::kPostponeLog), 1);
    EXPECT_FALSE(rig.warning.shown);
    rig.Ticks(1);
    EXPECT_EQ(rig.view.summary.rfind(standmsg::kPostponed, 0), 0u) << rig.view.summary;
    rig.Ticks(598);
    EXPECT_FALSE(rig.warning.shown);
    rig.Ticks(2);
    EXPECT_TRUE(rig.warning.shown) << "back after the ten minutes";
    rig.Ticks(58);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 0);
    rig.Ticks(3);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 1);
    // The locked warning ("/c") offers no postponement.
    rig.Ticks(200);
    ASSERT_TRUE(rig.warning.shown);
    rig.monitor.PostponeWarning(true);
    EXPECT_TRUE(rig.warning.shown);
    EXPECT_EQ(rig.Logged(standmsg::kPostponeLog), 1);
}

TEST(Monitor, ARefusedPowerCallIsLoggedOnceAndEveryConditionHoldsAnew) {
    Rig rig(kHibernateOnTheMouse);
    rig.power.powerStateAccepted = false;
    rig.monitor.Start();
    rig.Ticks(121);
    ASSERT_EQ(rig.Logged(logmsg::kHibernate), 1);
    // The start, the attempt and the refusal.
    const std::size_t lines = rig.log.lines.size();
    EXPECT_EQ(lines, 3u);
    // Two minutes later the next attempt, refused again, stays out of the log.
    rig.Ticks(125);
    EXPECT_EQ(rig.log.lines.size(), lines);
    EXPECT_GE(std::count_if(rig.power.calls.begin(), rig.power.calls.end(),
                            [](const std::string& c) { return c.rfind("SetSystemPowerState", 0) == 0; }),
              2);
}

TEST(Monitor, AMethodTheMachineCannotUseFallsBackToShutdownWithItsNotice) {
    Rig rig(kHibernateOnTheMouse);
    rig.monitor.Start();
    rig.Ticks(5);
    EXPECT_TRUE(rig.view.fallbacks.empty());
    rig.power.exports["IsPwrHibernateAllowed"] = false;
    rig.Ticks(2);
    ASSERT_EQ(rig.view.fallbacks.size(), 1u);
    EXPECT_EQ(rig.Ini("Shutdown"), "1");
    EXPECT_EQ(rig.Ini("Hibernation"), "0");
    rig.Ticks(5);
    EXPECT_EQ(rig.view.fallbacks.size(), 1u) << "once";
}

// Apply keeps the window and counts every condition from itself, OK allows
// one more fallback, a refused check saves nothing, Cancel shows the file.
TEST(Monitor, ApplyRearmsOkAllowsAFallbackAgainARefusalSavesNothingCancelReloads) {
    Rig rig(kHibernateOnTheMouse);
    rig.monitor.Start();
    rig.view.visible = true;
    rig.Ticks(100);
    rig.monitor.ApplyWindow(false);
    EXPECT_TRUE(rig.view.visible);
    rig.Ticks(119);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 0) << "two minutes of a still mouse from the Apply";
    rig.power.exports["IsPwrHibernateAllowed"] = false;
    rig.Ticks(1);
    SetRadio(rig.view.draft, &Settings::Hibernation, true);
    rig.monitor.ApplyWindow(true);
    rig.Ticks(1);
    EXPECT_EQ(rig.view.fallbacks.size(), 2u);
    const int writes = rig.file.writes;
    rig.view.draft.Timer_Hour = rig.view.draft.Timer_Minute = 0;
    rig.monitor.ApplyWindow(true);
    EXPECT_EQ(rig.file.writes, writes);
    EXPECT_EQ(rig.view.errors, std::vector<std::string>{kInvalidTimerMessage});
    rig.monitor.DiscardWindowEdits();
    EXPECT_NE(rig.view.draft.Timer_Minute, 0) << "the stored minutes again";
}

// The option reads the machine-wide state, which shows the own request too:
// the mouse must still act while the job runs. The exit gives the request back.
TEST(Monitor, TheOwnKeepAwakeRequestNeverHoldsTheOptionBack) {
    Rig rig(kHibernateOnTheMouse +
            "KeepAwake_Enabled=1\r\n[ProgramEnd]\r\nProgramEnd_Enabled=1\r\nProgramEnd_Name=RENDER.EXE\r\n");
    rig.quiet.running = {{"", "render.exe", 42}};
    rig.monitor.Start();
    rig.Ticks(121);
    EXPECT_TRUE(rig.world.awake);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 1);
    rig.monitor.Exit(0, 0);
    EXPECT_FALSE(rig.world.awake);
}

TEST(Monitor, AJobThatStartsDoesNotHideAnotherProgramsRequestReadBeforeTheOwnStands) {
    // The uptime (83 minutes at the start) is not restarted by a request: due after seven minutes.
    Rig rig(
        "[OS]\r\nOS_Enabled=1\r\nOS_Hour=1\r\nOS_Minute=30\r\n[PowerSaving]\r\nShutdown=0\r\nHibernation=1\r\n"
        "[Other]\r\nFunction_Enabled=1\r\nWarning_Enabled=1\r\nKeepAwake_Enabled=1\r\n"
        "[ProgramEnd]\r\nProgramEnd_Enabled=1\r\nProgramEnd_Name=render.exe\r\n");
    rig.requests.others = true;
    rig.monitor.Start();
    rig.Ticks(480);
    EXPECT_FALSE(rig.warning.shown);
    rig.quiet.running = {{"", "render.exe", 42}};
    rig.Ticks(1);
    EXPECT_TRUE(rig.world.awake);
    EXPECT_FALSE(rig.warning.shown) << "the request read in this tick was the other program's alone";
}

// With the wake-up on, every own sleep (the action's and the tray's) sets the
// timer first and logs it; a resume by it keeps the machine awake until the
// first input or an hour, and never holds the keep-awake option back.
TEST(Monitor, TheWakeTimerIsSetBeforeEachOwnSleepAndItsWakeKeepsTheMachineUpUntilInputOrAnHour) {
    const std::string wake = "KeepAwake_Enabled=1\r\n[Wake]\r\nWake_Enabled=1\r\nWake_Hour=7\r\nWake_Days=1111111\r\n";
    Rig rig(kHibernateOnTheMouse + wake);
    rig.power.resumedAutomatically = true;
    rig.monitor.Start();
    rig.Ticks(121);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 1) << "the own request never held the option back";
    EXPECT_EQ(rig.Logged("復帰タイマーを設定しました（3/11 7:00）"), 1);
    EXPECT_TRUE(rig.world.awake) << "woken by the timer";
    rig.Ticks(60);
    EXPECT_TRUE(rig.world.awake);
    rig.Ticks(125);
    EXPECT_EQ(rig.Logged(logmsg::kHibernate), 2) << "its own request held the option back";
    EXPECT_EQ(rig.power.wakeTimers.size(), 2u);
    EXPECT_TRUE(rig.world.awake) << "woken by the timer again";
    rig.world.input += 100;
    rig.Ticks(1);
    EXPECT_FALSE(rig.world.awake) << "the first input ends it";

    // The tray's hibernation too, the function off; an hour without input ends the keep-awake.
    rig.monitor.ToggleFunctionSwitch();
    const std::size_t timers = rig.power.wakeTimers.size();
    rig.monitor.RunPowerCommand(ManualCommand::Hibernate);
    EXPECT_EQ(rig.power.wakeTimers.size(), timers + 1);
    rig.Ticks(3599);
    EXPECT_TRUE(rig.world.awake);
    rig.Ticks(2);
    EXPECT_FALSE(rig.world.awake);

    // A timer that cannot wake the machine is said so, and the sleep still comes.
    rig.power.wakeAnswer = {true, kErrorTimerResumeIgnored};
    rig.monitor.RunPowerCommand(ManualCommand::Hibernate);
    EXPECT_EQ(rig.Logged("復帰タイマーを設定できませんでした（このPCはタイマーによる復帰を受け付けません）"), 1);
    rig.Ticks(2);
    EXPECT_FALSE(rig.world.awake) << "no keep-awake after a wake the timer cannot have made";
}

// The machine sleeps between the start and the first tick: the first tick
// sees the gap, so the mouse's two minutes count from the resume.
TEST(Monitor, ASleepBeforeTheFirstTickCountsNothingFromBeforeIt) {
    Rig rig(kHibernateOnTheMouse);
    rig.monitor.Start();
    rig.world.Pass(3600);
    rig.Ticks(50);
    EXPECT_FALSE(rig.warning.shown) << "the running time counted the sleep";
    rig.Ticks(15);
    EXPECT_TRUE(rig.warning.shown) << "a minute of the two: the warning";
}

}  // namespace
}  // namespace vesko
