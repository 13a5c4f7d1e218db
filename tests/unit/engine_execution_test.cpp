#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/Execution.h"
#include "engine/TimerSchedule.h"
#include "engine/Warning.h"
#include "log/EventLog.h"
#include "monitor_fakes.h"
#include "power/PowerActions.h"

namespace vesko {
namespace {

using Calls = std::vector<std::string>;

class FakeDialog : public WarningDialog {
public:
    explicit FakeDialog(Calls& c) : calls(c) {}
    Calls& calls;
    std::string label = "0 分後にWindowsをサスペンドします";
    bool visible = true, abortEnabled = true;
    std::string LabelText() override { return label; }
    void SetLabelText(const std::string& text) override {
        label = text;
        calls.push_back("label " + text);
    }
    bool IsVisible() override { return visible; }
    void Show() override { visible = true; }
    void Hide() override {
        visible = false;
        calls.push_back("hide dialog");
    }
    void Repaint() override { calls.push_back("repaint"); }
    void SetAbortEnabled(bool on) override {
        abortEnabled = on;
        calls.push_back(on ? "abort on" : "abort off");
    }
};

const DateTime kStart = EncodeDateTime({2024, 5, 1, 23, 50, 0, 0});
const DateTime kWake = EncodeDateTime({2024, 5, 2, 7, 15, 30, 0});

class FakeHost : public Clock, public LogWriter, public MachinePort {
public:
    explicit FakeHost(Calls& c) : calls(c) {}
    Calls& calls;
    DateTime now = kStart;
    bool refuseLog = false;
    std::function<void()> refusePower;  // throws the component's error when set
    std::string scheduleLabel = "hh:nn";
    std::vector<std::pair<std::string, DateTime>> log;

    DateTime Now() const override { return now; }
    void WriteLog(const std::string& message, DateTime at) override {
        if (refuseLog) throw FileCreateError("Log.txt");
        log.emplace_back(message, at);
        calls.push_back("log " + message);
    }
    void Sleep(const char* what) {
        calls.push_back(what);
        if (refusePower) refusePower();
        now = kWake;
    }
    void ForcePowerOff() {
        calls.push_back("ForcePowerOff");
        if (refusePower) refusePower();
    }
    virtual bool SetTimer() {
        calls.push_back("SetTimer");
        scheduleLabel = FormatHourMinute(now + EncodeTime(1, 0));
        return true;
    }
    // The readings at the resume.
    std::uint64_t MonotonicMs() override { return kWakeMs; }
    std::uint64_t UptimeMs() override { return kWakeUptimeMs; }
    std::optional<CursorPos> Cursor() override { return CursorPos{40, 50}; }
    InterfaceTable Interfaces() override { return {}; }
    int MemoryPercent() override { return 0; }
    std::string LongTime(DateTime) override { return ""; }
    std::string OSVersionText() override { return ""; }
    ManualItemsEnabled ManualItems() override { return {}; }
    void KeepSystemAwake(bool) override {}
    static constexpr std::uint64_t kWakeMs = 900'000'000, kWakeUptimeMs = 880'000'000;

    ExecutionPorts Ports(WarningDialog& dialog, MonitorView& view) {
        return {*this,
                *this,
                dialog,
                view,
                *this,
                [this](PowerMethod m) {
                    if (m == PowerMethod::Shutdown) ForcePowerOff();
                    else Sleep(m == PowerMethod::Suspend ? "Suspend" : "Hibernate");
                },
                [this]() -> std::optional<std::string> {
                    if (!SetTimer()) return std::nullopt;
                    return scheduleLabel;
                }};
    }
};

// The settings window: on screen or not, and hidden after a resume.
struct FakeView : testing::FakeView {
    explicit FakeView(Calls& c) : calls(c) {}
    Calls& calls;
    void Hide() override { calls.push_back("hide application"); }
};

struct Tick {
    Calls calls;
    FakeDialog dialog{calls};
    FakeHost host{calls};
    FakeView view{calls};
    MonitorState monitor = Started();
    Settings settings;
    ResumeState state{monitor, settings};
    ExecutionPorts ports = host.Ports(dialog, view);

    static MonitorState Started() {
        MonitorState m;
        m.StartAt({kStart, 1000, 1000, CursorPos{1, 2}});
        return m;
    }
};

TEST(Execution, ShutdownLogsBeforeItEndsWindows) {
    Tick t;
    ExecuteShutdown(t.ports, t.state);
    EXPECT_EQ(t.calls, (Calls{"label Windowsを終了をしています", "abort off",
                              "log ケルダン!を正常に終了しWindowsを終了しました", "ForcePowerOff"}));
    EXPECT_EQ(t.host.log[0].second, kStart);
}

TEST(Execution, SuspendAndHibernateLogHideSleepAndRearm) {
    struct Case {
        void (*execute)(const ExecutionPorts&, ResumeState&);
        const char* dialogText;
        const char* call;
        const char* logLine;
        const char* resumeLine;
    };
    const Case cases[] = {
        {&ExecuteSuspend, "Windowsをサスペンドしています", "Suspend", logmsg::kSuspend, logmsg::kSuspendResume},
        {&ExecuteHibernate, "Windowsを休止状態にしています", "Hibernate", logmsg::kHibernate, logmsg::kHibernateResume},
    };
    for (const Case& c : cases) {
        for (bool mainVisible : {false, true}) {
            SCOPED_TRACE(c.call);
            Tick t;
            t.view.visible = mainVisible;
            c.execute(t.ports, t.state);
            Calls expected = {"abort off",
                              std::string("label ") + c.dialogText,
                              std::string("log ") + c.logLine,
                              "hide dialog",
                              "repaint",
                              c.call,
                              std::string("log ") + c.resumeLine};
            if (!mainVisible) expected.push_back("hide application");
            expected.insert(expected.end(), {"abort on", "SetTimer"});
            EXPECT_EQ(t.calls, expected);
            // The first line carries the moment of going to sleep, the second that of waking.
            ASSERT_EQ(t.host.log.size(), 2u);
            EXPECT_EQ(t.host.log[0].second, kStart);
            EXPECT_EQ(t.host.log[1].second, kWake);
            // Every running time, the cursor and the uptime count from the resume.
            EXPECT_EQ(t.monitor.HoldOffStamp, kWake);
            for (std::uint64_t since :
                 {t.monitor.CpuLowSince, t.monitor.NetLowSince, t.monitor.MemLowSince, t.monitor.MouseStillSince})
                EXPECT_EQ(since, FakeHost::kWakeMs);
            EXPECT_EQ(t.monitor.LastCursorPos, (CursorPos{40, 50}));
            EXPECT_EQ(t.monitor.ConditionUptimeMs(FakeHost::kWakeUptimeMs + 60000), 60000u);
            EXPECT_EQ(FormatHourMinute(t.settings.Timer_ScheduleTime.time), "8:15");
        }
    }
}

// A refused call, as long as the system keeps refusing: one attempt line and
// one refusal line in all, the abort button back every time, the availability
// check due again, and every condition re-armed so the next attempt waits.
TEST(Execution, RefusedCallIsLoggedOnceAndRearms) {
    for (bool shutdown : {false, true}) {
        Tick t;
        t.settings.Shutdown = shutdown;
        t.settings.Hibernation = !shutdown;
        t.host.refusePower = [] { throw PowerActionError(powermsg::kHibernateFailed); };
        for (int tick = 0; tick < 10; ++tick) {
            t.monitor.MethodCheckPending = false;
            t.host.now = kStart + tick * EncodeTime(0, 1);
            EXPECT_TRUE(ExecuteIfDue(true, 0, false, false, t.ports, t.state));
            EXPECT_TRUE(t.dialog.abortEnabled) << tick;
            EXPECT_TRUE(t.monitor.MethodCheckPending) << tick;
            EXPECT_EQ(t.monitor.HoldOffStamp, t.host.now) << "re-armed at the refusal";
            EXPECT_EQ(t.monitor.CpuLowSince, FakeHost::kWakeMs);
            EXPECT_EQ(t.monitor.ConditionUptimeMs(FakeHost::kWakeUptimeMs + 1000), 1000u);
        }
        ASSERT_EQ(t.host.log.size(), 2u) << shutdown;
        EXPECT_EQ(t.host.log[0].first, shutdown ? logmsg::kShutdown : logmsg::kHibernate);
        EXPECT_EQ(t.host.log[1].first, powermsg::kHibernateFailed);
        EXPECT_FALSE(t.monitor.WindowsEnding);

        // The system takes the call again: its line is written once more,
        // with the moment of the call.
        t.host.refusePower = nullptr;
        t.host.now = kStart + EncodeTime(1, 0);
        ExecuteIfDue(true, 0, false, false, t.ports, t.state);
        ASSERT_GE(t.host.log.size(), 3u);
        EXPECT_EQ(t.host.log[2].first, shutdown ? logmsg::kShutdown : logmsg::kHibernate);
        EXPECT_EQ(t.host.log[2].second, kStart + EncodeTime(1, 0));
        EXPECT_FALSE(t.monitor.PowerRefusalLogged);
    }
}

TEST(Execution, PowerOffIsRequestedOnceWhileWindowsEnds) {
    Tick t;
    for (int tick = 0; tick < 5; ++tick) ExecuteIfDue(true, 0, false, false, t.ports, t.state);
    EXPECT_EQ(std::count(t.calls.begin(), t.calls.end(), "ForcePowerOff"), 1);
    t.monitor.Arm({kStart, 5000, 5000, std::nullopt});  // the user arms again: it may act again
    EXPECT_TRUE(ExecuteIfDue(true, 0, false, false, t.ports, t.state));
}

// A read-only or locked log never keeps the machine from acting, nor the
// engine from re-arming after the wake-up or a refusal.
TEST(Execution, UnwritableLogNeitherStopsThePowerCallNorTheRearm) {
    for (auto execute : {&ExecuteSuspend, &ExecuteHibernate}) {
        Tick t;
        t.host.refuseLog = true;
        EXPECT_NO_THROW(execute(t.ports, t.state));
        EXPECT_EQ(t.calls.back(), "SetTimer");  // slept, woke and re-armed
        EXPECT_TRUE(t.dialog.abortEnabled);
        EXPECT_EQ(t.monitor.HoldOffStamp, kWake);
    }
    Tick t;
    t.host.refuseLog = true;
    EXPECT_TRUE(ExecuteIfDue(true, 0, false, false, t.ports, t.state));
    EXPECT_EQ(t.calls, (Calls{"label Windowsを終了をしています", "abort off", "ForcePowerOff"}));
    EXPECT_TRUE(t.monitor.WindowsEnding);

    Tick refused;
    refused.host.refuseLog = true;
    refused.host.refusePower = [] { throw AppError("refused"); };
    EXPECT_NO_THROW(ExecuteShutdown(refused.ports, refused.state));
    EXPECT_TRUE(refused.monitor.MethodCheckPending);
    EXPECT_TRUE(refused.dialog.abortEnabled);
}

// "セット" refuses a timer of 0:00 and leaves the labels as they were: the
// earlier schedule must not stay in force, nor a label become midnight.
TEST(Execution, ARefusedCountdownAtResumeLeavesNoSchedule) {
    struct NoSetHost : FakeHost {
        using FakeHost::FakeHost;
        bool refuse = true;
        bool SetTimer() override {
            calls.push_back("SetTimer");
            return !refuse;
        }
    };
    for (const char* label : {"9:00", "hh:nn"}) {
        for (bool refuse : {true, false}) {
            Tick t;
            NoSetHost host(t.calls);
            host.refuse = refuse;
            host.scheduleLabel = label;
            t.settings.Timer_ScheduleTime.time = EncodeTime(9, 0);
            ExecuteHibernate(host.Ports(t.dialog, t.view), t.state);
            EXPECT_EQ(t.calls.back(), "SetTimer");
            EXPECT_EQ(t.monitor.HoldOffStamp, kWake);
            const bool kept = !refuse && std::string(label) == "9:00";
            EXPECT_EQ(HasTimerSchedule(t.settings.Timer_ScheduleTime.time), kept) << label << refuse;
        }
    }
}

TEST(Execution, DueOnlyOutsideTheHoldOffMinuteAndAnAbort) {
    struct Case {
        bool ready;
        std::int64_t minutes;
        bool sameMinute, aborted, due;
    };
    const Case cases[] = {
        {true, 0, false, false, true},   {true, -3, false, false, true}, {true, 1, false, false, false},
        {false, 0, false, false, false}, {true, 0, true, false, false},  {true, -1, true, false, false},
        {true, 0, false, true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExecutionDue(c.ready, c.minutes, c.sameMinute, c.aborted), c.due)
            << c.ready << " " << c.minutes << " " << c.sameMinute << " " << c.aborted;
}

TEST(Execution, SelectionRulePicksTheMethod) {
    struct Case {
        bool shutdown, suspend, hibernation;
        const char* call;
    };
    const Case cases[] = {
        {true, true, true, "ForcePowerOff"},
        {false, true, true, "Suspend"},
        {false, false, true, "Hibernate"},
        {false, false, false, "Hibernate"},  // edited file with all three off
    };
    for (const Case& c : cases) {
        Tick t;
        t.settings.Shutdown = c.shutdown;
        t.settings.Suspend = c.suspend;
        t.settings.Hibernation = c.hibernation;
        EXPECT_TRUE(ExecuteIfDue(true, 0, false, false, t.ports, t.state));
        EXPECT_NE(std::find(t.calls.begin(), t.calls.end(), c.call), t.calls.end()) << c.call;
    }
    Tick t;
    EXPECT_FALSE(ExecuteIfDue(true, 0, true, false, t.ports, t.state));
    EXPECT_TRUE(t.calls.empty());
}

TEST(Execution, ScheduleTextConversion) {
    EXPECT_EQ(StrictTimeOfDay("0:05"), EncodeTime(0, 5));
    EXPECT_EQ(StrictTimeOfDay("23:59"), EncodeTime(23, 59));
    EXPECT_EQ(StrictTimeOfDay("9:10:30"), EncodeTime(9, 10, 30));
    for (const char* bad : {"hh:nn", "", "24:00", "7:60", "7", "7:", ":05", "7:05x", "7:05:"})
        EXPECT_THROW(StrictTimeOfDay(bad), AppError) << bad;
}

}  // namespace
}  // namespace vesko
