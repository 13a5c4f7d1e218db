// Start-up scenarios: files created at the first start, the switches and their
// log texts, the single-instance refusal and start-up errors.
#include <gtest/gtest.h>

#include "Harness.h"
#include "ui/ControlIds.h"

using namespace e2e;

namespace {

// Starts the program and waits until its main window exists.
Process StartAndWait(Sandbox& box, const std::vector<std::wstring>& args = {}) {
    Process p = box.Start(args);
    EXPECT_TRUE(p.handle) << "vesko.exe did not start";
    EXPECT_TRUE(WaitForWindow(p.pid, VESKO_CLASS_FORM1)) << "no main window";
    return p;
}

// The message part of a log line: after "date time ".
std::string LogMessage(const std::string& line) {
    std::size_t first = line.find(' ');
    std::size_t second = line.find(' ', first + 1);
    return second == std::string::npos ? line.substr(first + 1) : line.substr(second + 1);
}

void ExpectOneStartLine(const Sandbox& box, const std::string& message) {
    auto lines = LogLines(box);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(LogMessage(lines[0]), message);
}

}  // namespace

TEST(Startup, FirstStartCreatesSettingsAndLogInAnsiWithCrLf) {
    Sandbox box;
    Process p = StartAndWait(box);
    ASSERT_TRUE(WaitUntil([&] { return box.Exists(L"Log.txt"); }));

    auto ini = box.ReadText(L"vesko.ini");
    ASSERT_TRUE(ini);
    bool crlf = false;
    auto lines = CrLfLines(*ini, &crlf);
    EXPECT_TRUE(crlf);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "[Timer]");
    EXPECT_EQ(lines[1].rfind("Timer_SetTime=", 0), 0u);
    EXPECT_EQ(lines[2].rfind("Timer_ScheduleTime=", 0), 0u);

    // The log line holds the product name in the ANSI code page (932 here).
    auto raw = box.ReadBytes(L"Log.txt");
    ASSERT_TRUE(raw);
    EXPECT_NE(raw->find(ToAnsi("ケルダン!を起動しました") + "\r\n"), std::string::npos);
    EXPECT_EQ(GetACP(), 932u) << "the scenarios expect a Japanese code page";
    ExpectOneStartLine(box, "ケルダン!を起動しました");
}

TEST(Startup, ScheduleWrittenAtStartIsOneMinuteAhead) {
    Sandbox box;
    StartAndWait(box);
    ASSERT_TRUE(WaitUntil([&] { return box.Exists(L"Log.txt"); }));
    auto ini = box.ReadText(L"vesko.ini");
    ASSERT_TRUE(ini);
    // Defaults: 0 hours 1 minute, so the schedule is the set time plus one minute.
    int sh = -1, sm = -1, eh = -1, em = -1;
    std::size_t a = ini->find("Timer_SetTime="), b = ini->find("Timer_ScheduleTime=");
    ASSERT_NE(a, std::string::npos);
    ASSERT_NE(b, std::string::npos);
    sscanf(ini->c_str() + a + 14, "%d:%d", &sh, &sm);
    sscanf(ini->c_str() + b + 19, "%d:%d", &eh, &em);
    EXPECT_EQ((eh * 60 + em) % 1440, (sh * 60 + sm + 1) % 1440);
}

TEST(Startup, SwitchesGiveTheirLogTexts) {
    struct Case {
        std::vector<std::wstring> args;
        const char* message;
        bool windowShown;
    };
    const Case cases[] = {
        {{L"/h"}, "引数\"/h\"でケルダン!を起動しました", false},
        {{L"/e"}, "Windowsが起動し引数\"/e\"でケルダン!を起動しました", false},
        {{L"/E"}, "ケルダン!を起動しました", true},
        {{L"-e"}, "ケルダン!を起動しました", true},
        {{L"/e", L"/v"}, "Windowsが起動し引数\"/e\"\"/v\"でケルダン!を起動しました", false},
        {{L"/v", L"/e"}, "Windowsが起動し引数\"/v\"\"/e\"でケルダン!を起動しました", false},
        {{L"/c", L"/c"}, "引数\"/c\"\"/c\"でケルダン!を起動しました", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Sandbox box;
        Process p = StartAndWait(box, c.args);
        ASSERT_TRUE(WaitUntil([&] { return box.Exists(L"Log.txt"); }));
        ExpectOneStartLine(box, c.message);
        if (c.windowShown) EXPECT_TRUE(WaitForWindow(p.pid, VESKO_CLASS_FORM1, true, 5000));
        else EXPECT_FALSE(IsWindowVisible(FindProcessWindow(p.pid, VESKO_CLASS_FORM1)));
    }
}

TEST(Startup, SecondCopyIsRefusedAndLogsNothing) {
    Sandbox box;
    StartAndWait(box);
    ASSERT_TRUE(WaitUntil([&] { return LogLines(box).size() == 1; }));
    Process second = box.Start({L"/h"});
    HWND msg = WaitForMessageBox(second.pid);
    ASSERT_TRUE(msg);
    EXPECT_EQ(MessageBoxText(msg), "ケルダン！は既に起動しています。");
    EXPECT_EQ(FindProcessWindow(second.pid, VESKO_CLASS_FORM1), nullptr);
    AnswerMessageBox(msg);
    EXPECT_TRUE(second.WaitExit());
    EXPECT_EQ(LogLines(box).size(), 1u);
}

TEST(Startup, LogDisabledWritesNoStartLine) {
    Sandbox box;
    box.WriteText(L"vesko.ini", "[Other]\r\nLog_Enabled=0\r\n");
    Process p = StartAndWait(box);
    // The start is complete once the schedule is in the file.
    ASSERT_TRUE(WaitUntil([&] {
        auto ini = box.ReadText(L"vesko.ini");
        return ini && ini->find("Timer_ScheduleTime=") != std::string::npos;
    }));
    Sleep(300);
    EXPECT_FALSE(box.Exists(L"Log.txt"));
    EXPECT_TRUE(p.Running());
}

TEST(Startup, ReadOnlySettingsFileShowsTheErrorAndKeepsRunning) {
    Sandbox box;
    box.WriteText(L"vesko.ini", "[Other]\r\nLog_Enabled=1\r\n");
    box.SetReadOnly(L"vesko.ini", true);
    Process p = StartAndWait(box);
    HWND msg = WaitForMessageBox(p.pid);
    ASSERT_TRUE(msg);
    EXPECT_EQ(MessageBoxText(msg), Utf8(box.PathOf(L"vesko.ini")) + " に書き込めません");
    AnswerMessageBox(msg);
    // Start-up ends that handler early: no start line, but the program runs on.
    Sleep(500);
    EXPECT_TRUE(p.Running());
    EXPECT_TRUE(WaitForWindow(p.pid, VESKO_CLASS_FORM1, true));
    EXPECT_FALSE(box.Exists(L"Log.txt"));
    box.SetReadOnly(L"vesko.ini", false);
}

TEST(Startup, ZeroTimerShowsTheMessageAndStoresTheDesignText) {
    Sandbox box;
    box.WriteText(L"vesko.ini", "[Timer]\r\nTimer_Hour=0\r\nTimer_Minute=0\r\n");
    Process p = StartAndWait(box);
    HWND msg = WaitForMessageBox(p.pid);
    ASSERT_TRUE(msg);
    EXPECT_EQ(MessageBoxText(msg), "タイマーの値が無効です");
    AnswerMessageBox(msg);
    ASSERT_TRUE(WaitUntil([&] { return box.Exists(L"Log.txt"); }));
    auto ini = box.ReadText(L"vesko.ini");
    ASSERT_TRUE(ini);
    EXPECT_NE(ini->find("Timer_SetTime=hh:nn\r\n"), std::string::npos);
    EXPECT_NE(ini->find("Timer_ScheduleTime=hh:nn\r\n"), std::string::npos);
    // The window, and its controls with it, may come up only after the box was answered.
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1, false);
    ASSERT_TRUE(form);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(form, vesko::ids::TimerSetTimeLabel) == "hh:nn"; }))
        << ControlText(form, vesko::ids::TimerSetTimeLabel);
}

TEST(Startup, TitleFromTheFileBecomesTheWindowCaption) {
    Sandbox box;
    box.WriteText(L"vesko.ini", "[Omake]\r\nTitle=節電テスト\r\n");
    Process p = StartAndWait(box);
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1, true);
    ASSERT_TRUE(form);
    EXPECT_EQ(WindowTitle(form), "節電テスト");
}

TEST(Startup, DefaultCaptionAndPositionFromTheFile) {
    Sandbox box;
    box.WriteText(L"vesko.ini", "[Window]\r\nWindowPosX=120\r\nWindowPosY=80\r\n");
    Process p = StartAndWait(box);
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1, true);
    ASSERT_TRUE(form);
    EXPECT_EQ(WindowTitle(form), "ケルダン！");
    RECT r;
    GetWindowRect(form, &r);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 80);
}

// A position saved on a monitor that is no longer there comes back onto the screen.
TEST(Startup, PositionOffEveryMonitorComesBackOntoTheScreen) {
    Sandbox box;
    box.WriteText(L"vesko.ini", "[Window]\r\nWindowPosX=3000\r\nWindowPosY=-2000\r\n");
    Process p = StartAndWait(box);
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1, true);
    ASSERT_TRUE(form);
    RECT r, screen;
    GetWindowRect(form, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    EXPECT_GE(r.left, screen.left);
    EXPECT_LE(r.right, screen.right);
    EXPECT_GE(r.top, screen.top);
    EXPECT_LE(r.bottom, screen.bottom);
}

namespace {

// Watches for `ms`: true when the warning window showed or a power action was
// logged (a line other than the start line).
bool ActedOrWarnedWithin(const Sandbox& box, DWORD pid, DWORD ms) {
    bool seen = false;
    WaitUntil(
        [&] {
            HWND warning = FindProcessWindow(pid, VESKO_CLASS_FORM3);
            if (warning && IsWindowVisible(warning)) seen = true;
            for (const std::string& line : LogLines(box))
                if (line.find("休止状態") != std::string::npos) seen = true;
            return seen;
        },
        ms);
    return seen;
}

}  // namespace

// A start-up that fails writing the countdown's keys still arms the engine:
// a 30-minute memory condition neither warns nor acts in the next minutes.
TEST(Startup, ReadOnlySettingsFileNeverActsEarly) {
    Sandbox box;
    box.WriteText(L"vesko.ini",
                  "[Memory]\r\nMemory_Enabled=1\r\nMemory_Percent=99\r\nMemory_Time=30\r\n"
                  "[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
                  "[Other]\r\nWarning_Enabled=1\r\nWarning_Time=3\r\nFunction_Enabled=1\r\nLog_Enabled=1\r\n");
    box.SetReadOnly(L"vesko.ini", true);
    Process p = StartAndWait(box);
    HWND msg = WaitForMessageBox(p.pid);
    ASSERT_TRUE(msg);
    AnswerMessageBox(msg);
    EXPECT_FALSE(ActedOrWarnedWithin(box, p.pid, 75000));
    EXPECT_TRUE(p.Running());
    box.SetReadOnly(L"vesko.ini", false);
}

// A hand-edited hour below the range is brought to 0 on load, not taken as a
// time that has always passed.
TEST(Startup, HandEditedNegativeHourNeverActs) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wHour == 0 || now.wHour == 23) GTEST_SKIP() << "the clamped hour is 0";
    Sandbox box;
    box.WriteText(L"vesko.ini",
                  "[Time]\r\nTime_Enabled=1\r\nTime_Hour=-24\r\nTime_Minute=" + std::to_string(now.wMinute) +
                      "\r\n[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
                      "[Other]\r\nWarning_Enabled=1\r\nWarning_Time=5\r\nFunction_Enabled=1\r\n");
    Process p = StartAndWait(box);
    EXPECT_FALSE(ActedOrWarnedWithin(box, p.pid, 75000));
    EXPECT_TRUE(p.Running());
    auto ini = box.ReadText(L"vesko.ini");
    ASSERT_TRUE(ini);
    EXPECT_NE(ini->find("Time_Hour=-24\r\n"), std::string::npos) << "loading leaves the file as it was";
}
