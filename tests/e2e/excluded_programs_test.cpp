// The excluded-program gate seen from outside: while a program named in
// "ExeNameList.txt" runs, the tray shows the function-off icon; once it ends
// the function-on icon comes back.
#include <gtest/gtest.h>

#include "Harness.h"

using namespace e2e;

namespace {

TrayLook WaitForLook(TrayLook expected, DWORD timeoutMs = 8000) {
    TrayLook seen = TrayLook::None;
    WaitUntil([&] { return (seen = LookAtTray().look) == expected; }, timeoutMs);
    return seen;
}

}  // namespace

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
