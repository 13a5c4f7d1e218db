#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "log/EventLog.h"
#include "power/ManualCommands.h"
#include "power_fake_system.h"

namespace vesko {
namespace {

using testing::FakePowerSystem;

const DateTime kClicked = EncodeDateTime({2024, 5, 1, 22, 30, 0, 0});

class ManualClock : public Clock {
public:
    DateTime now = kClicked;
    DateTime Now() const override { return now; }
};

// Writes into the system's call record, so that one list shows the order of
// log lines and system requests.
class RecordingLog : public LogWriter {
public:
    explicit RecordingLog(FakePowerSystem& sys) : sys_(sys) {}
    bool refuse = false;
    std::vector<std::pair<std::string, DateTime>> lines;
    void WriteLog(const std::string& message, DateTime at) override {
        if (refuse) throw FileCreateError("Log.txt");
        lines.emplace_back(message, at);
        sys_.calls.push_back("log " + message);
    }

private:
    FakePowerSystem& sys_;
};

TEST(ManualCommands, EachLogsItsLineThenCallsItsOperation) {
    struct Case {
        ManualCommand command;
        OsVersionRecord version;
        const char* firstLine;
        const char* request;  // the system request that carries out the operation
        const char* resumeLine;
    };
    const Case cases[] = {
        {ManualCommand::PowerOff, testing::kXP, logmsg::kShutdown, "ExitWindowsEx(8,2147483648)", nullptr},
        {ManualCommand::ShutDown, testing::kXP, logmsg::kShutdown, "ExitWindowsEx(1,2147483648)", nullptr},
        {ManualCommand::Reboot, testing::kXP, logmsg::kReboot, "ExitWindowsEx(2,2147483648)", nullptr},
        {ManualCommand::Restart, testing::kWin98, logmsg::kRestart, "CallThunk16", nullptr},
        {ManualCommand::LogOff, testing::kXP, logmsg::kLogOff, "ExitWindowsEx(0,2147483648)", nullptr},
        {ManualCommand::Force, testing::kXP, logmsg::kForce, "ExitWindowsEx(4,2147483648)", nullptr},
        {ManualCommand::ForceHung, testing::kXP, logmsg::kForceHung, "ExitWindowsEx(16,2147483648)", nullptr},
        {ManualCommand::ForcePower, testing::kXP, logmsg::kForce, "ExitWindowsEx(12,2147483648)", nullptr},
        {ManualCommand::MsDos, testing::kWin98, logmsg::kMsDos, "ShellExecute(open,MS-DOS~1.pif", nullptr},
        {ManualCommand::Suspend, testing::kXP, logmsg::kSuspend, "SetSystemPowerState(-1,-1)", logmsg::kSuspendResume},
        {ManualCommand::Hibernate, testing::kXP, logmsg::kHibernate, "SetSystemPowerState(0,-1)",
         logmsg::kHibernateResume},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ManualCommandInfo(c.command).item);
        FakePowerSystem sys;
        sys.version = c.version;
        ManualClock clock;
        const DateTime wake = EncodeDateTime({2024, 5, 2, 5, 30, 0, 0});
        sys.whileAsleep = [&] { clock.now = wake; };
        RecordingLog log(sys);
        PowerActions powerActions(sys);
        RunManualCommand(c.command, powerActions, log, clock);

        ASSERT_FALSE(sys.calls.empty());
        EXPECT_EQ(sys.calls.front(), std::string("log ") + c.firstLine);
        const auto request = std::find_if(sys.calls.begin(), sys.calls.end(), [&](const std::string& call) {
            return call.find(c.request) != std::string::npos;
        });
        EXPECT_NE(request, sys.calls.end()) << c.request;
        ASSERT_EQ(log.lines.size(), c.resumeLine ? 2u : 1u);
        if (c.resumeLine) {
            EXPECT_EQ(sys.calls.back(), std::string("log ") + c.resumeLine);
            // The second line carries the moment of waking.
            EXPECT_EQ(log.lines[0].second, kClicked);
            EXPECT_EQ(log.lines[1].second, wake);
        }
    }
}

TEST(ManualCommands, RefusedSuspendLeavesOneLineAndTheMessage) {
    FakePowerSystem sys;
    sys.exports["IsPwrSuspendAllowed"] = false;
    ManualClock clock;
    RecordingLog log(sys);
    PowerActions powerActions(sys);
    try {
        RunManualCommand(ManualCommand::Suspend, powerActions, log, clock);
        FAIL() << "no error";
    } catch (const PowerActionError& e) {
        EXPECT_STREQ(e.what(), powermsg::kSuspendNotAllowed);
    }
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].first, logmsg::kSuspend);
}

TEST(ManualCommands, UnwritableLogStillRunsTheOperation) {
    FakePowerSystem sys;
    ManualClock clock;
    RecordingLog log(sys);
    log.refuse = true;
    PowerActions powerActions(sys);
    EXPECT_NO_THROW(RunManualCommand(ManualCommand::Hibernate, powerActions, log, clock));
    EXPECT_NE(std::find(sys.calls.begin(), sys.calls.end(), "SetSystemPowerState(0,-1)"), sys.calls.end());
    EXPECT_TRUE(log.lines.empty());
}

TEST(ManualCommands, ForceIfHungReachedOn9xRaises) {
    FakePowerSystem sys;
    sys.version = testing::kWin98;
    ManualClock clock;
    RecordingLog log(sys);
    PowerActions powerActions(sys);
    try {
        RunManualCommand(ManualCommand::ForceHung, powerActions, log, clock);
        FAIL() << "no error";
    } catch (const PowerActionError& e) {
        EXPECT_STREQ(e.what(), powermsg::kForceIfHungUnsupported);
    }
    EXPECT_FALSE(sys.Called("ExitWindowsEx"));
}

TEST(ManualCommands, ItemsFollowTheSystemVersion) {
    struct Case {
        OsVersionRecord version;
        bool restart, msdos, forcehung;
    };
    const Case cases[] = {
        {testing::kWin95, true, true, false}, {testing::kWin98, true, true, false},
        {testing::kWinMe, true, true, false}, {testing::kNT4, false, false, false},
        {testing::kNT5, false, false, true},  {testing::kWin7, false, false, true},
    };
    for (const Case& c : cases) {
        const ManualItemsEnabled e = ManualItemsEnabledFor(c.version);
        EXPECT_EQ(e.restart, c.restart);
        EXPECT_EQ(e.msDos, c.msdos);
        EXPECT_EQ(e.forceIfHung, c.forcehung);
    }
}

}  // namespace
}  // namespace vesko
