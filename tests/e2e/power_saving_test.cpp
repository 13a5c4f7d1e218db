// The power-saving action as the user lives it: the warning counts the
// minutes down, the machine hibernates (under Wine the call returns at once),
// the wake-up is logged and the program re-arms; the abort button switches
// the function off everywhere.
#include <gtest/gtest.h>

#include <cstdio>

#include "Harness.h"
#include "WarningScenario.h"
#include "ui/ControlIds.h"

using namespace e2e;
namespace ids = vesko::ids;

TEST(PowerSaving, TheWarningCountsDownThenTheMachineHibernatesWakesAndReArms) {
    Sandbox box;
    SYSTEMTIME start = StartOfAFreshMinute();
    SYSTEMTIME target = MinutesAhead(start, 2);
    box.WriteText(L"vesko.ini", HibernateAt(target, 2));
    Process p = box.Start({L"/h"});
    HWND form1 = WaitForWindow(p.pid, VESKO_CLASS_FORM1);
    HWND form3 = WaitForWindow(p.pid, VESKO_CLASS_FORM3);
    ASSERT_TRUE(form1 && form3);

    // Every text the dialog shows, in order, until the hibernation is logged.
    std::vector<std::string> texts;
    bool acted = WaitUntil(
        [&] {
            if (IsWindowVisible(form3)) {
                std::string text = ControlText(form3, ids::WarningMessage);
                if (texts.empty() || texts.back() != text) texts.push_back(text);
            }
            return LogLines(box).size() >= 3;
        },
        200000);
    ASSERT_TRUE(acted) << "no hibernation by " << HourMinute(target);
    SYSTEMTIME resumed = Now();

    // The countdown in whole minutes, one text per number, down to 1 (the
    // text of 0 lives only inside the tick that acts); the action's own text
    // may be caught before the dialog goes.
    const std::string suffix = " 分後にWindowsを休止状態にします";
    if (!texts.empty() && texts.back() == "Windowsを休止状態にしています") texts.pop_back();
    ASSERT_GE(texts.size(), 1u);
    std::vector<int> numbers;
    for (const std::string& text : texts) {
        ASSERT_GT(text.size(), suffix.size()) << text;
        ASSERT_EQ(text.substr(text.size() - suffix.size()), suffix) << text;
        numbers.push_back(std::stoi(text.substr(0, text.size() - suffix.size())));
    }
    EXPECT_EQ(numbers.front(), 2);
    EXPECT_LE(numbers.back(), 1);
    for (std::size_t i = 0; i + 1 < numbers.size(); ++i) EXPECT_EQ(numbers[i + 1], numbers[i] - 1);

    auto lines = LogLines(box);
    ASSERT_EQ(lines.size(), 3u);
    const std::string stamp = HourMinute(target);
    EXPECT_NE(lines[1].find(" " + stamp + ":"), std::string::npos) << "acted at " << lines[1];
    EXPECT_NE(lines[1].find(" Windowsを休止状態にしました"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(" Windowsは休止状態から復帰しました"), std::string::npos) << lines[2];

    // Re-armed from the resume: the countdown's set time is now, its schedule
    // now plus the Timer's default minute, as the window shows once opened.
    PostMessageW(form1, WM_COMMAND, MAKEWPARAM(ids::Restore, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(form1) != FALSE; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(form1, ids::TimerSetTimeLabel) == HourMinute(resumed); }, 3000))
        << ControlText(form1, ids::TimerSetTimeLabel);
    EXPECT_EQ(ControlText(form1, ids::TimerDueLabel), HourMinute(MinutesAhead(resumed, 1)));

    // Nothing acts again, nor warns, in the minute of the resume.
    SYSTEMTIME t = Now();
    while (t.wMinute == resumed.wMinute && t.wHour == resumed.wHour) {
        EXPECT_FALSE(IsWindowVisible(form3));
        Sleep(500);
        t = Now();
    }
    EXPECT_EQ(LogLines(box).size(), 3u);
    EXPECT_TRUE(p.Running());
}

// After a resume the uptime condition counts from the resume: with two
// minutes of uptime asked, the second hibernation comes two minutes after the
// first wake-up, not in the minute after it.
TEST(PowerSaving, AfterAResumeTheUptimeConditionHoldsAnew) {
    Sandbox box;
    box.WriteText(L"vesko.ini",
                  "[OS]\r\nOS_Enabled=1\r\nOS_Hour=0\r\nOS_Minute=2\r\n"
                  "[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
                  "[Other]\r\nFunction_Enabled=1\r\nLog_Enabled=1\r\n");
    Process p = box.Start({L"/h"});
    ASSERT_TRUE(WaitForWindow(p.pid, VESKO_CLASS_FORM1));
    auto resumes = [&] {
        int n = 0;
        for (const std::string& line : LogLines(box)) n += line.find("休止状態から復帰") != std::string::npos;
        return n;
    };
    ASSERT_TRUE(WaitUntil([&] { return resumes() == 1; }, 150000)) << "the machine's uptime is over two minutes";
    const DWORD woke = GetTickCount();
    ASSERT_TRUE(WaitUntil([&] { return resumes() == 2; }, 200000));
    EXPECT_GE(GetTickCount() - woke, 115000u) << "the uptime kept counting across the sleep";
}

TEST(PowerSaving, AbortSwitchesTheFunctionOffInTheFileTheMenuAndTheIcon) {
    Sandbox box;
    Process p;
    HWND form3 = StartWithTheWarningUp(box, p, L"/h");
    ASSERT_TRUE(form3);
    EXPECT_EQ(ControlText(form3, ids::WarningMessage), "3 分後にWindowsを休止状態にします");
    TraySpot spot = LookAtTray();
    ASSERT_EQ(spot.look, TrayLook::On);

    HWND abort = GetDlgItem(form3, ids::WarningAbortButton);
    ASSERT_TRUE(IsWindowVisible(abort) && IsWindowEnabled(abort));
    PostMessageW(abort, BM_CLICK, 0, 0);
    HWND msg = WaitForMessageBox(p.pid);
    ASSERT_TRUE(msg);
    EXPECT_EQ(MessageBoxText(msg), "このソフトの機能を無効にしました");
    // Written before the message; the tick switches the rest off meanwhile.
    EXPECT_EQ(IniValue(box, "Function_Enabled"), "0");
    EXPECT_FALSE(IsWindowVisible(form3));
    EXPECT_TRUE(WaitUntil([] { return LookAtTray().look == TrayLook::Off; }));
    AnswerMessageBox(msg);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(msg); }));
    Sleep(1500);
    EXPECT_FALSE(IsWindowVisible(form3)) << "the warning came back";

    // The menu item is unchecked: its key now switches the function on.
    spot = LookAtTray();
    RightClickAt(spot.centre);
    ASSERT_TRUE(WaitForWindow(p.pid, L"#32768", true, 5000));
    PressKey('E');
    EXPECT_TRUE(WaitUntil([&] { return IniValue(box, "Function_Enabled") == "1"; }));
    EXPECT_TRUE(WaitUntil([] { return LookAtTray().look == TrayLook::On; }));
    EXPECT_EQ(LogLines(box).size(), 1u) << "nothing was acted on";
}

TEST(PowerSaving, WithTheLockSwitchTheWarningShowsAGreyedAbortButton) {
    Sandbox box;
    Process p;
    HWND form3 = StartWithTheWarningUp(box, p, L"/c");
    ASSERT_TRUE(form3);
    HWND b1 = GetDlgItem(form3, ids::WarningAbortButton), b2 = GetDlgItem(form3, ids::WarningLockedAbortButton);
    EXPECT_FALSE(IsWindowVisible(b1));
    EXPECT_TRUE(IsWindowVisible(b2));
    EXPECT_FALSE(IsWindowEnabled(b2));
    // The locked button stands in the abort button's place, under the same caption.
    RECT r1{}, r2{};
    GetWindowRect(b1, &r1);
    GetWindowRect(b2, &r2);
    EXPECT_TRUE(EqualRect(&r1, &r2));
    EXPECT_EQ(ControlText(form3, ids::WarningLockedAbortButton), "中止");
    Sleep(300);
    EXPECT_FALSE(SaveScreenshot(L"warning_dialog_locked").empty());
    // Nothing may stop the action: no postponement either, even by a message.
    HWND postpone = GetDlgItem(form3, ids::WarningPostponeButton);
    EXPECT_FALSE(IsWindowVisible(postpone));
    PostMessageW(postpone, BM_CLICK, 0, 0);
    // A click on the greyed button does nothing.
    PostMessageW(b2, BM_CLICK, 0, 0);
    Sleep(1500);
    EXPECT_FALSE(FindProcessWindow(p.pid, L"#32770", true));
    EXPECT_TRUE(IsWindowVisible(form3));
    EXPECT_EQ(IniValue(box, "Function_Enabled"), "1");
    EXPECT_EQ(LogLines(box).size(), 1u) << "the start entry alone";
}

namespace e2e {

int AwaitPowerOffWithAReadOnlyLog() {
    Sandbox box;
    std::printf("folder: %s\n", Utf8(box.Dir()).c_str());
    std::fflush(stdout);
    const SYSTEMTIME target = MinutesAhead(StartOfAFreshMinute(), 1);
    box.WriteText(L"vesko.ini", "[Time]\r\nTime_Enabled=1\r\nTime_Hour=" + std::to_string(target.wHour) +
                                    "\r\nTime_Minute=" + std::to_string(target.wMinute) +
                                    "\r\n[PowerSaving]\r\nShutdown=1\r\nSuspend=0\r\nHibernation=0\r\n"
                                    "[Other]\r\nFunction_Enabled=1\r\nLog_Enabled=1\r\n");
    box.WriteText(L"Log.txt", "kept\r\n");
    box.SetReadOnly(L"Log.txt", true);
    Process p = box.Start({L"/h"});
    HWND message = WaitForMessageBox(p.pid);
    if (!message) return 2;
    std::printf("message: %s\n", MessageBoxText(message).c_str());
    AnswerMessageBox(message);
    std::printf("answered at %s, power-off due at %s\n", HourMinute(Now()).c_str(), HourMinute(target).c_str());
    std::fflush(stdout);
    Sleep(100000);
    std::printf("still here\n");
    return 0;
}

}  // namespace e2e
