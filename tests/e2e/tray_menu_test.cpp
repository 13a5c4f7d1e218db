// The tray icon as the user meets it: seen in the notification area, its menu
// opened with a real right-button press on the icon and driven with the
// accelerator keys of its items.
#include <gtest/gtest.h>

#include "Harness.h"

#include <shellapi.h>

#include "ui/ControlIds.h"

using namespace e2e;

namespace {

// Starts the program hidden in the tray and waits until its icon is drawn.
TraySpot StartInTray(Sandbox& box, Process& p, TrayLook expected) {
    p = box.Start({L"/h"});
    TraySpot spot;
    EXPECT_TRUE(WaitUntil([&] { return (spot = LookAtTray()).look == expected; }))
        << "tray shows " << static_cast<int>(spot.look);
    return spot;
}

// Opens the tray menu with a right-button press on the icon.
HWND OpenTrayMenu(DWORD pid, const TraySpot& spot) {
    RightClickAt(spot.centre);
    return WaitForWindow(pid, L"#32768", true, 5000);
}

bool MenuOpen(DWORD pid) { return FindProcessWindow(pid, L"#32768", true) != nullptr; }

bool LastLogLineEndsWith(const Sandbox& box, const std::string& text) {
    auto lines = LogLines(box);
    return !lines.empty() && lines.back().size() >= text.size() &&
           lines.back().compare(lines.back().size() - text.size(), text.size(), text) == 0;
}

// A running program with its icon in the tray and nothing else on screen.
struct TrayProgram {
    Sandbox box;
    Process p;
    TraySpot spot;
    explicit TrayProgram(TrayLook expected = TrayLook::On, const std::string& ini = "") {
        if (!ini.empty()) box.WriteText(L"vesko.ini", ini);
        spot = StartInTray(box, p, expected);
    }
    HWND Menu() { return OpenTrayMenu(p.pid, spot); }
    HWND Form() const { return FindProcessWindow(p.pid, VESKO_CLASS_FORM1); }
};

}  // namespace

TEST(TrayMenu, ARightPressOnTheIconOpensTheMenuWithTheGreyedItemsUnreachable) {
    TrayProgram t;
    ASSERT_EQ(t.spot.look, TrayLook::On);
    HWND menu = t.Menu();
    ASSERT_TRUE(menu);
    // The menu opens beside the pointer, inside the screen.
    RECT r{};
    GetWindowRect(menu, &r);
    EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GE(t.spot.centre.x, r.left);
    EXPECT_LE(t.spot.centre.x, r.right + 2);
    // The icon's tip would cover the lower items in the picture.
    PopShellToolTips(t.p.pid);
    Sleep(300);
    EXPECT_FALSE(SaveScreenshot(L"tray_menu").empty());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !MenuOpen(t.p.pid); }));
    // Restart of Windows alone, MS-DOS mode and suspend are greyed on this
    // platform: their keys close the menu and run nothing.
    const std::size_t before = LogLines(t.box).size();
    for (WORD key : {WORD('O'), WORD('M'), WORD('S')}) {
        ASSERT_TRUE(t.Menu());
        PressKey(key);
        EXPECT_TRUE(WaitUntil([&] { return !MenuOpen(t.p.pid); }));
        Sleep(700);
        EXPECT_EQ(LogLines(t.box).size(), before) << "key " << char(key);
        EXPECT_FALSE(FindProcessWindow(t.p.pid, L"#32770", true)) << "key " << char(key);
        ASSERT_TRUE(t.p.Running());
    }
}

TEST(TrayMenu, WShowsTheSettingsWindow) {
    TrayProgram t;
    HWND form = t.Form();
    ASSERT_TRUE(form);
    EXPECT_FALSE(IsWindowVisible(form));
    ASSERT_TRUE(t.Menu());
    PressKey('W');
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(form) != FALSE; }));
    EXPECT_FALSE(MenuOpen(t.p.pid));
}

TEST(TrayMenu, ESwitchesTheFunctionOffAndOnInTheFileAndTheIcon) {
    TrayProgram t;
    ASSERT_EQ(t.spot.look, TrayLook::On);
    ASSERT_TRUE(t.Menu());
    PressKey('E');
    EXPECT_TRUE(WaitUntil([&] { return IniValue(t.box, "Function_Enabled") == "0"; }));
    TraySpot spot;
    EXPECT_TRUE(WaitUntil([&] { return (spot = LookAtTray()).look == TrayLook::Off; }));
    // Switching on again passes the checks of the default settings.
    t.spot = spot;
    ASSERT_TRUE(t.Menu());
    PressKey('E');
    EXPECT_TRUE(WaitUntil([&] { return IniValue(t.box, "Function_Enabled") == "1"; }));
    EXPECT_TRUE(WaitUntil([&] { return LookAtTray().look == TrayLook::On; }));
    EXPECT_FALSE(FindProcessWindow(t.p.pid, L"#32770", true));
}

// Switched on from the tray after a pause, a one-minute memory condition runs
// its full minute from the switch, not from the start of the program.
TEST(TrayMenu, SwitchingOnAfterAPauseGivesTheFullDurationAgain) {
    Sandbox box;
    box.WriteText(L"vesko.ini",
                  "[Memory]\r\nMemory_Enabled=1\r\nMemory_Percent=99\r\nMemory_Time=1\r\n"
                  "[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
                  "[Other]\r\nFunction_Enabled=0\r\nLog_Enabled=1\r\n");
    Process p;
    TraySpot spot = StartInTray(box, p, TrayLook::Off);
    // The pause: longer than the condition, ending early in a minute.
    Sleep(70000);
    SYSTEMTIME t;
    do {
        Sleep(200);
        GetLocalTime(&t);
    } while (t.wSecond < 5 || t.wSecond > 15);
    ASSERT_TRUE(OpenTrayMenu(p.pid, spot));
    PressKey('E');
    const DWORD on = GetTickCount();
    ASSERT_TRUE(WaitUntil([&] { return IniValue(box, "Function_Enabled") == "1"; }));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return LastLogLineEndsWith(box, " Windowsを休止状態にしました") ||
                   LastLogLineEndsWith(box, " Windowsは休止状態から復帰しました");
        },
        150000));
    EXPECT_GE(GetTickCount() - on, 58000u) << "acted before the condition held a full minute from the switch";
}

TEST(TrayMenu, AOpensTheAboutBoxAndHOpensTheHelpQuietly) {
    TrayProgram t;
    ASSERT_TRUE(t.Menu());
    PressKey('A');
    HWND about = WaitForWindow(t.p.pid, VESKO_CLASS_ABOUT, true);
    ASSERT_TRUE(about);
    PopShellToolTips(t.p.pid);
    Sleep(500);
    EXPECT_FALSE(SaveScreenshot(L"about_box").empty());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
    // The help page opens through the shell; a failure is not reported.
    ASSERT_TRUE(t.Menu());
    PressKey('H');
    EXPECT_TRUE(WaitUntil([&] { return !MenuOpen(t.p.pid); }));
    Sleep(1000);
    EXPECT_FALSE(FindProcessWindow(t.p.pid, L"#32770", true));
    EXPECT_TRUE(t.p.Running());
}

TEST(TrayMenu, NHibernatesAndLogsTheWakeUp) {
    TrayProgram t;
    ASSERT_TRUE(t.Menu());
    PressKey('N');
    ASSERT_TRUE(WaitUntil([&] { return LastLogLineEndsWith(t.box, " Windowsは休止状態から復帰しました"); }));
    auto lines = LogLines(t.box);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[1].find(" Windowsを休止状態にしました"), std::string::npos);
    EXPECT_TRUE(t.p.Running());
}

// With the wake-up on, the timer is set as the sleep begins: Wine sets it
// and answers that its resume is ignored, and the log says so after the
// hibernation's line.
TEST(TrayMenu, NWithTheWakeUpOnSaysWhyTheTimerCannotWakeAndStillHibernates) {
    TrayProgram t(TrayLook::On, "[Wake]\r\nWake_Enabled=1\r\nWake_Hour=7\r\nWake_Days=1111111\r\n");
    ASSERT_TRUE(t.Menu());
    PressKey('N');
    ASSERT_TRUE(WaitUntil([&] { return LastLogLineEndsWith(t.box, " Windowsは休止状態から復帰しました"); }));
    auto lines = LogLines(t.box);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[1].ends_with(" Windowsを休止状態にしました")) << lines[1];
    EXPECT_TRUE(lines[2].ends_with(" 復帰タイマーを設定できませんでした（このPCはタイマーによる復帰を受け付けません）"))
        << lines[2];
}

TEST(TrayMenu, XEndsTheProgramAndTheIconLeaves) {
    TrayProgram t;
    ASSERT_TRUE(t.Menu());
    PressKey('X');
    ASSERT_TRUE(t.p.WaitExit());
    EXPECT_TRUE(LastLogLineEndsWith(t.box, " ケルダン!を正常に終了しました"));
    EXPECT_TRUE(WaitUntil([] { return LookAtTray().look == TrayLook::None; }));
}

namespace {

std::vector<std::string> TipLines(const TrayProgram& t) { return ShellTipLines(t.p.pid, t.spot.centre); }

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

TEST(TrayTip, SixLinesOfReadingsThatFollowTheTick) {
    TrayProgram t;
    ASSERT_EQ(t.spot.look, TrayLook::On);
    Sleep(1500);  // past the start-up readings
    auto first = TipLines(t);
    // Six lines of readings, then the summary line.
    ASSERT_EQ(first.size(), 7u) << (first.empty() ? "no tip" : first[0]);
    EXPECT_EQ(first[0], "ケルダン！");
    EXPECT_TRUE(StartsWith(first[1], "CPU  ") && first[1].find(" %") != std::string::npos) << first[1];
    EXPECT_TRUE(StartsWith(first[2], "平均通信量  ") && first[2].find("B/s") != std::string::npos) << first[2];
    EXPECT_TRUE(StartsWith(first[3], "メモリ  ") && first[3].find(" %") != std::string::npos) << first[3];
    EXPECT_TRUE(StartsWith(first[4], "時刻  ")) << first[4];
    EXPECT_TRUE(StartsWith(first[5], "OS起動時間  ") && first[5].find("秒") != std::string::npos) << first[5];
    EXPECT_EQ(first[6], "節電条件が選ばれていません");
    Sleep(1500);
    auto second = TipLines(t);
    ASSERT_EQ(second.size(), 7u);
    EXPECT_NE(second[4], first[4]) << "the time did not move on";
    EXPECT_NE(second[5], first[5]) << "the uptime did not move on";
}

// The tip reaches the shell only while somebody looks, so after a while of
// nobody looking it must still be current the moment the pointer arrives,
// and stay current while it rests there.
TEST(TrayTip, CurrentToTheSecondWhenHoveredAfterRunningHidden) {
    TrayProgram t;
    ASSERT_EQ(t.spot.look, TrayLook::On);
    Sleep(5000);
    SYSTEMTIME from;
    GetLocalTime(&from);
    auto lines = TipLines(t);
    ASSERT_EQ(lines.size(), 7u) << (lines.empty() ? "no tip" : lines[0]);  // six readings and the outlook
    EXPECT_TRUE(EndsWithTimeSince(lines[4], from)) << lines[4];
    Sleep(2000);  // resting on the icon
    GetLocalTime(&from);
    const std::string resting = ShellToolTipText(t.p.pid);
    std::string upToClock = resting.substr(0, resting.find("OS起動時間"));
    while (!upToClock.empty() && (upToClock.back() == '\r' || upToClock.back() == '\n')) upToClock.pop_back();
    EXPECT_TRUE(EndsWithTimeSince(upToClock, from)) << resting;
}

TEST(TrayIcon, ComesBackWhenTheShellAnnouncesANewTaskbar) {
    TrayProgram t;
    ASSERT_EQ(t.spot.look, TrayLook::On);
    // A restarting shell forgets every icon, then announces its new taskbar.
    HWND tray = FindProcessWindow(t.p.pid, L"TaskTrayHandle");
    ASSERT_TRUE(tray);
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = tray;
    nid.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
    ASSERT_TRUE(WaitUntil([] { return LookAtTray().look == TrayLook::None; }));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 5000,
                        &result);
    EXPECT_TRUE(WaitUntil([] { return LookAtTray().look == TrayLook::On; }));
    // The icon that came back still answers the right button.
    t.spot = LookAtTray();
    EXPECT_TRUE(t.Menu());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(t.p.Running());
}

// The commands that end Windows without force: under Wine the session end
// reaches every window, so the program logs its line and ends through the
// end-of-session messages while this driver, which has no window, goes on.
struct EndingCommand {
    WORD key;
    const char* line;
};

class TrayMenuEnding : public testing::TestWithParam<EndingCommand> {};

TEST_P(TrayMenuEnding, TheKeyLogsItsLineAndTheSessionEndEndsTheProgram) {
    TrayProgram t;
    ASSERT_TRUE(t.Menu());
    PressKey(GetParam().key);
    ASSERT_TRUE(t.p.WaitExit());
    auto lines = LogLines(t.box);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find(std::string(" ") + GetParam().line), std::string::npos) << lines[1];
}

INSTANTIATE_TEST_SUITE_P(Keys, TrayMenuEnding,
                         testing::Values(EndingCommand{'P', "ケルダン!を正常に終了しWindowsを終了しました"},
                                         EndingCommand{'D', "ケルダン!を正常に終了しWindowsを終了しました"},
                                         EndingCommand{'R', "ケルダン!を正常に終了しコンピューターを再起動しました"},
                                         EndingCommand{'L', "ケルダン!を正常に終了しWindowsをログオフしました"},
                                         EndingCommand{
                                             'U', "ケルダン!を正常に終了しWindowsを設定を残して強制終了しました"}));

namespace e2e {

// The forced commands end every process of the Wine session, this driver
// included, so a script outside the session starts it and checks the result.
int PressTrayKeyAndLinger(wchar_t key) {
    Sandbox box;
    std::printf("folder: %s\n", Utf8(box.Dir()).c_str());
    std::fflush(stdout);
    Process p;
    TraySpot spot = StartInTray(box, p, TrayLook::On);
    if (spot.look != TrayLook::On || !OpenTrayMenu(p.pid, spot)) return 2;
    PressKey(static_cast<WORD>(key));
    std::printf("pressed\n");
    std::fflush(stdout);
    Sleep(20000);
    std::printf("still here\n");
    return 0;
}

}  // namespace e2e
