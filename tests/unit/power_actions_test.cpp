#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "power/PowerActions.h"
#include "power_fake_system.h"

namespace vesko {
namespace {

using testing::FakePowerSystem;
using Calls = std::vector<std::string>;
using Operation = void (PowerActions::*)();

const Calls kPrivilege = {"OpenProcessToken(0x28)", "LookupPrivilege(SeShutdownPrivilege)",
                          "AdjustTokenPrivileges(0x7A,0x13,2)", "CloseHandle(0x7A)"};

Calls Join(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Runs op and returns the message of the error it raised ("" when none).
template <typename Error = PowerActionError>
std::string Raised(PowerActions& powerActions, Operation op) {
    try {
        (powerActions.*op)();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

struct EndCase {
    const char* name;
    Operation op;
    OsVersionRecord version;
    Calls calls;          // when the system accepts
    const char* refused;  // message when ExitWindowsEx answers 0
};

// Every operation that ends Windows through ExitWindowsEx, on both families.
TEST(PowerActions, EndOperationsMakeTheFamilysRequest) {
    const EndCase cases[] = {
        {"PowerOff NT", &PowerActions::PowerOff, testing::kXP, Join(kPrivilege, {"ExitWindowsEx(8,2147483648)"}),
         powermsg::kPowerOff},
        {"PowerOff 9x", &PowerActions::PowerOff, testing::kWin98, {"ExitWindowsEx(8,0)"}, powermsg::kPowerOff},
        {"ShutDown NT", &PowerActions::ShutDown, testing::kNT4, Join(kPrivilege, {"ExitWindowsEx(1,2147483648)"}),
         powermsg::kShutDown},
        {"ShutDown 9x", &PowerActions::ShutDown, testing::kWin95, {"ExitWindowsEx(1,0)"}, powermsg::kShutDown},
        {"RestartWindows NT", &PowerActions::RestartWindows, testing::kNT5,
         Join(kPrivilege, {"ExitWindowsEx(2,2147483648)"}), powermsg::kRestart},
        {"LogOff NT", &PowerActions::LogOff, testing::kXP, {"ExitWindowsEx(0,2147483648)"}, powermsg::kLogOff},
        {"ForceExit NT", &PowerActions::ForceExit, testing::kNT4, Join(kPrivilege, {"ExitWindowsEx(4,2147483648)"}),
         powermsg::kForceExit},
        {"ForceExit 9x", &PowerActions::ForceExit, testing::kWinMe, {"ExitWindowsEx(4,0)"}, powermsg::kForceExit},
        {"ForcePowerOff NT", &PowerActions::ForcePowerOff, testing::kWin7,
         Join(kPrivilege, {"ExitWindowsEx(12,2147483648)"}), powermsg::kForceExit},
        {"ForcePowerOff 9x",
         &PowerActions::ForcePowerOff,
         testing::kWin98,
         {"ExitWindowsEx(12,0)"},
         powermsg::kForceExit},
        {"ForceIfHung NT5", &PowerActions::ForceIfHung, testing::kNT5,
         Join(kPrivilege, {"ExitWindowsEx(16,2147483648)"}), powermsg::kForceIfHung},
        // Platform 0 is neither family and goes the 9x way.
        {"PowerOff platform 0",
         &PowerActions::PowerOff,
         OsVersionRecord{0, 3, 10},
         {"ExitWindowsEx(8,0)"},
         powermsg::kPowerOff},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakePowerSystem sys;
        sys.version = c.version;
        PowerActions powerActions(sys);
        EXPECT_EQ(Raised(powerActions, c.op), "");
        EXPECT_EQ(sys.calls, c.calls);

        FakePowerSystem refusing;
        refusing.version = c.version;
        refusing.exitAccepted = false;
        PowerActions refused(refusing);
        EXPECT_EQ(Raised(refused, c.op), c.refused);
        EXPECT_EQ(refusing.calls, c.calls);
    }
}

TEST(PowerActions, FailedPrivilegeStepStopsBeforeTheRequest) {
    struct Case {
        const char* name;
        bool opens, found, adjusts;
        Calls calls;
    };
    const Case cases[] = {
        {"token", false, true, true, {"OpenProcessToken(0x28)"}},
        {"lookup",
         true,
         false,
         true,
         {"OpenProcessToken(0x28)", "LookupPrivilege(SeShutdownPrivilege)", "CloseHandle(0x7A)"}},
        {"adjust", true, true, false, kPrivilege},
    };
    const Operation ops[] = {&PowerActions::PowerOff,  &PowerActions::ShutDown,      &PowerActions::RestartWindows,
                             &PowerActions::ForceExit, &PowerActions::ForcePowerOff, &PowerActions::ForceIfHung,
                             &PowerActions::Suspend,   &PowerActions::Hibernate};
    for (const Case& c : cases) {
        for (Operation op : ops) {
            SCOPED_TRACE(c.name);
            FakePowerSystem sys;
            sys.version = testing::kXP;
            sys.powrprofLoads = true;
            sys.tokenOpens = c.opens;
            sys.privilegeFound = c.found;
            sys.adjustOk = c.adjusts;
            PowerActions powerActions(sys);
            EXPECT_EQ(Raised(powerActions, op), powermsg::kPrivilege);
            EXPECT_FALSE(sys.Called("ExitWindowsEx"));
            EXPECT_FALSE(sys.Called("SetSystemPowerState"));
            // Only the privilege calls follow the availability test.
            Calls tail(sys.calls.end() - static_cast<std::ptrdiff_t>(c.calls.size()), sys.calls.end());
            EXPECT_EQ(tail, c.calls);
        }
    }
}

TEST(PowerActions, ForceIfHungNeedsNt5) {
    for (const OsVersionRecord v : {testing::kNT4, testing::kNT351, testing::kWin95, testing::kWin98}) {
        FakePowerSystem sys;
        sys.version = v;
        PowerActions powerActions(sys);
        EXPECT_EQ(Raised(powerActions, &PowerActions::ForceIfHung), powermsg::kForceIfHungUnsupported);
        EXPECT_TRUE(sys.calls.empty());
    }
}

TEST(PowerActions, LogOffNeverAsksForThePrivilege) {
    // A planned reason on the NT family; the parameter is reserved on 9x.
    const std::pair<OsVersionRecord, const char*> cases[] = {
        {testing::kNT4, "ExitWindowsEx(0,2147483648)"},
        {testing::kXP, "ExitWindowsEx(0,2147483648)"},
        {testing::kWin98, "ExitWindowsEx(0,0)"},
    };
    for (const auto& [v, call] : cases) {
        FakePowerSystem sys;
        sys.version = v;
        PowerActions powerActions(sys);
        powerActions.LogOff();
        EXPECT_FALSE(sys.Called("OpenProcessToken"));
        EXPECT_EQ(sys.calls.front(), call);
    }
}

TEST(PowerActions, LogOffOnNewShellOnlyClosesTheMainWindow) {
    FakePowerSystem sys;
    sys.version = testing::kWin98;
    sys.shellVersionMS = 0x00050000;
    sys.closeThrows = true;  // an error while closing is ignored
    PowerActions powerActions(sys);
    EXPECT_NO_THROW(powerActions.LogOff());
    EXPECT_EQ(sys.calls, (Calls{"ExitWindowsEx(0,0)", "FileVersionMS(Shell32.dll)", "CloseMainWindow"}));
}

TEST(PowerActions, LogOffOnOldShellRestartsTheDesktop) {
    FakePowerSystem sys;
    sys.version = testing::kWin95;
    sys.shellVersionMS = 0x00040047;  // 4.71
    sys.progmanAnswers = {0, 0x500, 0x500, 0};
    PowerActions powerActions(sys);
    powerActions.LogOff();
    const Calls expected = {"ExitWindowsEx(0,0)", "FileVersionMS(Shell32.dll)",
                            // wait for the program manager; the pause follows every search
                            "FindWindow(Progman)", "Sleep(500)", "FindWindow(Progman)", "Sleep(500)",
                            "PostMessage(0x500,0x12,0,0)",
                            // wait for it to go away
                            "FindWindow(Progman)", "Sleep(500)", "FindWindow(Progman)", "Sleep(500)",
                            "ShellExecute(open,explorer.exe,'','',5)", "CloseMainWindow"};
    EXPECT_EQ(sys.calls, expected);
}

TEST(PowerActions, LogOffRefusedRaisesBeforeAnythingElse) {
    FakePowerSystem sys;
    sys.version = testing::kWin95;
    sys.exitAccepted = false;
    PowerActions powerActions(sys);
    EXPECT_EQ(Raised(powerActions, &PowerActions::LogOff), powermsg::kLogOff);
    EXPECT_EQ(sys.calls, (Calls{"ExitWindowsEx(0,0)"}));
}

TEST(PowerActions, OldShellWaitsAreBounded) {
    const auto count = [](const Calls& calls, const std::string& what) {
        return std::count(calls.begin(), calls.end(), what);
    };
    {
        SCOPED_TRACE("no program manager ever: a new shell is started");
        FakePowerSystem sys;
        sys.version = testing::kWin95;
        sys.shellVersionMS = 0;
        sys.progmanAnswers = {0};
        PowerActions powerActions(sys);
        powerActions.LogOff();
        EXPECT_EQ(count(sys.calls, "FindWindow(Progman)"), PowerActions::kProgmanPollLimit);
        EXPECT_FALSE(sys.Called("PostMessage"));
        EXPECT_EQ(sys.calls.end()[-2], "ShellExecute(open,explorer.exe,'','',5)");
        EXPECT_EQ(sys.calls.back(), "CloseMainWindow");
    }
    {
        SCOPED_TRACE("program manager never quits: no second shell");
        FakePowerSystem sys;
        sys.version = testing::kWin95;
        sys.shellVersionMS = 0;
        sys.progmanAnswers = {0x500};
        PowerActions powerActions(sys);
        powerActions.LogOff();
        EXPECT_EQ(count(sys.calls, "FindWindow(Progman)"), 1 + PowerActions::kProgmanPollLimit);
        EXPECT_FALSE(sys.Called("ShellExecute"));
        EXPECT_EQ(sys.calls.back(), "CloseMainWindow");
    }
}

TEST(PowerActions, ShellVersionTextDecidesTheShellGeneration) {
    struct Case {
        std::uint32_t ms;
        const char* text;
        bool isNew;
    };
    const Case cases[] = {
        {0x00040047, "4.71", false}, {0x00040048, "4.72", true},
        {0x00050000, "5.0", true},   {0x00040064, "4.100", false},  // reads as 4.1
        {0x00000000, "0.0", false},                                 // no version information
        {0x00060000, "6.0", true},   {0x00040050, "4.80", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShellVersionText(c.ms), c.text);
        EXPECT_EQ(IsNewShellVersionText(c.text), c.isNew) << c.text;
        // The same answer through the log-off path: an old shell searches for Progman.
        FakePowerSystem sys;
        sys.version = testing::kWin98;
        sys.shellVersionMS = c.ms;
        PowerActions powerActions(sys);
        powerActions.LogOff();
        EXPECT_EQ(sys.Called("FindWindow"), !c.isNew) << c.text;
    }
    EXPECT_FALSE(IsNewShellVersionText("abc"));
    EXPECT_FALSE(IsNewShellVersionText(""));
}

TEST(PowerActions, MsDosModeOnlyOn9x) {
    FakePowerSystem nt;
    nt.version = testing::kXP;
    PowerActions onNt(nt);
    EXPECT_EQ(Raised(onNt, &PowerActions::RestartInMsDosMode), powermsg::kMsDosUnsupported);
    EXPECT_TRUE(nt.calls.empty());

    for (const auto& [result, message] :
         {std::pair<std::intptr_t, std::string>{32, powermsg::kMsDosFailed}, {2, powermsg::kMsDosFailed}, {33, ""}}) {
        FakePowerSystem sys;
        sys.version = testing::kWin98;
        sys.shellResult = result;
        PowerActions powerActions(sys);
        EXPECT_EQ(Raised(powerActions, &PowerActions::RestartInMsDosMode), message) << result;
        EXPECT_EQ(sys.calls, (Calls{"ShellExecute(open,MS-DOS~1.pif,'','',5)"}));
    }
}

TEST(PowerActions, RestartOn9xGoesThroughThe16BitExitWindows) {
    FakePowerSystem sys;
    sys.version = testing::kWin98;
    PowerActions powerActions(sys);
    powerActions.RestartWindows();
    const Calls expected = {
        "LoadLibrary16(User.exe)",       "GetProcAddress16(0x1F37,ExitWindows)", "LoadLibrary(Kernel32.dll)",
        "GetProcAddress(0xC0,QT_Thunk)", "CallThunk16(0xBFF7,0x1170042,0x42,0)", "FreeLibrary(0xC0)",
        "FreeLibrary16(0x1F37)"};
    EXPECT_EQ(sys.calls, expected);
    EXPECT_FALSE(sys.Called("ExitWindowsEx"));

    FakePowerSystem refusing;
    refusing.version = testing::kWin98;
    refusing.thunkResult = 0;
    PowerActions refused(refusing);
    EXPECT_EQ(Raised(refused, &PowerActions::RestartWindows), powermsg::kRestart);
    EXPECT_EQ(refusing.calls, expected);  // freed also when refused
}

TEST(PowerActions, SixteenBitLoaderFailuresRaiseTheBaseError) {
    struct Case {
        const char* message;
        void (*breakIt)(FakePowerSystem&);
        Calls calls;
    };
    const Case cases[] = {
        {powermsg::kUserExe, [](FakePowerSystem& s) { s.user16 = 31; }, {"LoadLibrary16(User.exe)"}},
        {powermsg::kExitWindows,
         [](FakePowerSystem& s) { s.exitWindows16 = 0; },
         {"LoadLibrary16(User.exe)", "GetProcAddress16(0x1F37,ExitWindows)", "FreeLibrary16(0x1F37)"}},
        {powermsg::kKernel32,
         [](FakePowerSystem& s) { s.kernel32Loads = false; },
         {"LoadLibrary16(User.exe)", "GetProcAddress16(0x1F37,ExitWindows)", "LoadLibrary(Kernel32.dll)",
          "FreeLibrary16(0x1F37)"}},
        {powermsg::kQtThunk,
         [](FakePowerSystem& s) { s.qtThunk = 0; },
         {"LoadLibrary16(User.exe)", "GetProcAddress16(0x1F37,ExitWindows)", "LoadLibrary(Kernel32.dll)",
          "GetProcAddress(0xC0,QT_Thunk)", "FreeLibrary(0xC0)", "FreeLibrary16(0x1F37)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        FakePowerSystem sys;
        sys.version = testing::kWin95;
        c.breakIt(sys);
        PowerActions powerActions(sys);
        try {
            powerActions.RestartWindows();
            ADD_FAILURE() << "no error";
        } catch (const PowerActionError&) {
            ADD_FAILURE() << "raised as PowerActionError";
        } catch (const AppError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_EQ(sys.calls, c.calls);
    }
}

TEST(PowerActions, SuspendAsksTheSystemFirst) {
    struct Case {
        const char* name;
        OsVersionRecord version;
        std::optional<bool> allowed;  // IsPwrSuspendAllowed's answer; nullopt: no such export
        bool accepted;
        const char* message;
        Calls calls;
    };
    const Calls ask = {"LoadLibrary(Powrprof.dll)", "Call(IsPwrSuspendAllowed)", "FreeLibrary(0xB0)"};
    const Case cases[] = {
        {"XP", testing::kXP, true, true, "", Join(Join(ask, kPrivilege), {"SetSystemPowerState(-1,-1)"})},
        {"XP refuses", testing::kXP, true, false, powermsg::kSuspendFailed,
         Join(Join(ask, kPrivilege), {"SetSystemPowerState(-1,-1)"})},
        {"XP not allowed", testing::kXP, false, true, powermsg::kSuspendNotAllowed, ask},
        {"no export", testing::kXP, std::nullopt, true, powermsg::kSuspendNotAllowed, ask},
        // Windows 95: straight to the request, no library, no privilege.
        {"95", testing::kWin95, false, true, "", {"SetSystemPowerState(-1,-1)"}},
        {"95 refuses", testing::kWin95, false, false, powermsg::kSuspendFailed, {"SetSystemPowerState(-1,-1)"}},
        {"98", testing::kWin98, true, true, "", Join(ask, {"SetSystemPowerState(-1,-1)"})},
        {"98 not allowed", testing::kWin98, false, true, powermsg::kSuspendNotAllowed, ask},
        // NT 4 is refused by the availability test before its own message could apply.
        {"NT4", testing::kNT4, true, true, powermsg::kSuspendNotAllowed, {}},
        {"NT 3.51", testing::kNT351, true, true, powermsg::kNt4NoPowerManagement, ask},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePowerSystem sys;
        sys.version = c.version;
        sys.exports["IsPwrSuspendAllowed"] = c.allowed;
        sys.powerStateAccepted = c.accepted;
        PowerActions powerActions(sys);
        EXPECT_EQ(Raised(powerActions, &PowerActions::Suspend), c.message);
        EXPECT_EQ(sys.calls, c.calls);
    }
}

TEST(PowerActions, HibernateAsksTheSystemFirst) {
    struct Case {
        const char* name;
        OsVersionRecord version;
        bool loads;
        std::optional<bool> allowed;
        bool accepted;
        const char* message;
        Calls calls;
    };
    const Calls ask = {"LoadLibrary(Powrprof.dll)", "Call(IsPwrHibernateAllowed)", "FreeLibrary(0xB0)"};
    const Case cases[] = {
        {"XP", testing::kXP, true, true, true, "", Join(Join(ask, kPrivilege), {"SetSystemPowerState(0,-1)"})},
        {"XP refuses", testing::kXP, true, true, false, powermsg::kHibernateFailed,
         Join(Join(ask, kPrivilege), {"SetSystemPowerState(0,-1)"})},
        {"XP not allowed", testing::kXP, true, false, true, powermsg::kHibernateNotAllowed, ask},
        {"no Powrprof.dll",
         testing::kXP,
         false,
         true,
         true,
         powermsg::kHibernateNotAllowed,
         {"LoadLibrary(Powrprof.dll)"}},
        {"95: always refused", testing::kWin95, true, true, true, powermsg::kHibernateNotAllowed, {}},
        {"Me", testing::kWinMe, true, true, true, "", Join(ask, {"SetSystemPowerState(0,-1)"})},
        {"NT4", testing::kNT4, true, true, true, powermsg::kHibernateNotAllowed, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePowerSystem sys;
        sys.version = c.version;
        sys.powrprofLoads = c.loads;
        sys.exports["IsPwrHibernateAllowed"] = c.allowed;
        sys.powerStateAccepted = c.accepted;
        PowerActions powerActions(sys);
        EXPECT_EQ(Raised(powerActions, &PowerActions::Hibernate), c.message);
        EXPECT_EQ(sys.calls, c.calls);
    }
}

TEST(PowerActions, VersionRecordIsSharedByAllInstances) {
    FakePowerSystem nt5;
    nt5.version = testing::kNT5;
    PowerActions first(nt5);
    EXPECT_TRUE(PowerActions::IsWindowsNT());
    EXPECT_EQ(PowerActions::NTMajorVersion(), 5);

    FakePowerSystem win95;
    win95.version = testing::kWin95;
    PowerActions second(win95);
    EXPECT_TRUE(PowerActions::IsWindows95());
    EXPECT_EQ(PowerActions::NTMajorVersion(), -1);
    // The first instance now answers by the newer record.
    EXPECT_EQ(Raised(first, &PowerActions::ForceIfHung), powermsg::kForceIfHungUnsupported);
    EXPECT_TRUE(nt5.calls.empty());
}

}  // namespace
}  // namespace vesko
