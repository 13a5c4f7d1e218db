// The excluded-program gate seen from outside: while a program named in
// "ExeNameList.txt" runs, the tray shows the function-off icon; once it ends
// the function-on icon comes back.
#include <gtest/gtest.h>

#include <algorithm>

#include "Harness.h"
#include "WarningScenario.h"
#include "ui/ControlIds.h"

using namespace e2e;

TEST(ExcludedPrograms, AListedProgramTurnsTheIconOffWhileItRuns) {
    Sandbox box;
    // A Japanese file name, a path that does not exist and an empty line:
    // only the running program counts.
    const std::wstring helperName = L"他のソフト.exe";
    box.WriteText(L"ExeNameList.txt", "C:\\no\\such\\program.exe\r\n\r\n" + Utf8(box.PathOf(helperName)) + "\r\n");
    box.WriteText(L"vesko.ini", "[Other]\r\nFunction_Enabled=1\r\nExeStop_Enabled=1\r\n");
    Process p = box.Start({L"/h"});
    ASSERT_EQ(WaitForLook(TrayLook::On, kWaitMs), TrayLook::On);
    // Nothing listed runs: the icon stays on over several ticks.
    Sleep(2500);
    EXPECT_EQ(LookAtTray().look, TrayLook::On);

    Process helper = box.StartHelper(helperName);
    ASSERT_TRUE(helper.Running());
    EXPECT_EQ(WaitForLook(TrayLook::Off), TrayLook::Off);
    // It stays off while the program runs.
    Sleep(2500);
    EXPECT_EQ(LookAtTray().look, TrayLook::Off);

    TerminateProcess(helper.handle, 0);
    ASSERT_TRUE(helper.WaitExit());
    EXPECT_EQ(WaitForLook(TrayLook::On), TrayLook::On);
    EXPECT_TRUE(p.Running());
}

TEST(ExcludedPrograms, TheGateIsIdleWhenTheListIsSwitchedOff) {
    Sandbox box;
    const std::wstring helperName = L"other.exe";
    box.WriteText(L"ExeNameList.txt", Utf8(box.PathOf(helperName)) + "\r\n");
    box.WriteText(L"vesko.ini", "[Other]\r\nFunction_Enabled=1\r\nExeStop_Enabled=0\r\n");
    Process helper = box.StartHelper(helperName);
    Process p = box.Start({L"/h"});
    ASSERT_EQ(WaitForLook(TrayLook::On, kWaitMs), TrayLook::On);
    Sleep(3000);
    EXPECT_EQ(LookAtTray().look, TrayLook::On);
    EXPECT_TRUE(helper.Running());
    EXPECT_TRUE(p.Running());
}

// A window of the day falls due while a listed program runs. When the program
// ends, the warning counts its whole minute down before the machine
// hibernates, however long the window has been due.
TEST(ExcludedPrograms, WhenAListedProgramEndsTheWholeWarningComesBeforeTheAction) {
    Sandbox box;
    const std::wstring helperName = L"render.exe";
    box.WriteText(L"ExeNameList.txt", Utf8(box.PathOf(helperName)) + "\r\n");
    const SYSTEMTIME start = StartOfAFreshMinute();
    const SYSTEMTIME from = MinutesAhead(start, -1), to = MinutesAhead(start, 30);
    box.WriteText(L"vesko.ini",
                  "[AppointedTime]\r\nAppointedTime_Enabled=1\r\nAppointedTime_FromHour=" + std::to_string(from.wHour) +
                      "\r\nAppointedTime_FromMinute=" + std::to_string(from.wMinute) + "\r\nAppointedTime_ToHour=" +
                      std::to_string(to.wHour) + "\r\nAppointedTime_ToMinute=" + std::to_string(to.wMinute) +
                      "\r\n[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
                      "[Other]\r\nWarning_Enabled=1\r\nWarning_Time=1\r\nFunction_Enabled=1\r\n"
                      "ExeStop_Enabled=1\r\nLog_Enabled=1\r\n");
    Process helper = box.StartHelper(helperName);
    ASSERT_TRUE(helper.Running());
    Process p = box.Start({L"/h"});
    ASSERT_TRUE(WaitForWindow(p.pid, VESKO_CLASS_FORM1));
    ASSERT_EQ(WaitForLook(TrayLook::Off, kWaitMs), TrayLook::Off);

    // Past the minute of the start the window is due, and held back.
    ASSERT_TRUE(WaitUntil(
        [&] {
            const SYSTEMTIME t = Now();
            return t.wMinute != start.wMinute && t.wSecond >= 3;
        },
        75000));
    EXPECT_FALSE(FindProcessWindow(p.pid, VESKO_CLASS_FORM3, true)) << "warned while the listed program ran";
    EXPECT_EQ(LogLines(box).size(), 1u) << "acted while the listed program ran";

    TerminateProcess(helper.handle, 0);
    ASSERT_TRUE(helper.WaitExit());
    HWND warning = WaitForWindow(p.pid, VESKO_CLASS_FORM3, true, 5000);
    ASSERT_TRUE(warning) << "no warning after the end";
    const DWORD warned = GetTickCount();
    EXPECT_EQ(ControlText(warning, vesko::ids::WarningMessage), "1 分後にWindowsを休止状態にします");
    bool stayedUp = true;
    const auto hibernated = [&] {
        const auto lines = LogLines(box);
        return std::any_of(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.ends_with("Windowsを休止状態にしました"); });
    };
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (hibernated()) return true;
            // The action's line is written before the warning goes.
            if (!IsWindowVisible(warning) && !hibernated()) stayedUp = false;
            return false;
        },
        100000));
    EXPECT_GE(GetTickCount() - warned, 59000u) << "the hibernation came before the warning's minute was over";
    EXPECT_TRUE(stayedUp) << "the warning went away before the action";
}
