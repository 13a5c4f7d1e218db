// Standing aside as the user meets it: the option for other programs'
// keep-awake requests (under Wine nothing ever asks, so the program must still
// act) and the warning's "10分延長", pressed with a real click.
#include <gtest/gtest.h>

#include <algorithm>

#include "Harness.h"
#include "SettingsForm.h"
#include "WarningScenario.h"
#include "readings/KeepAwake.h"
#include "ui/ControlIds.h"

using namespace e2e;
namespace ids = vesko::ids;

static bool Logged(const Sandbox& box, const std::string& text) {
    const auto lines = LogLines(box);
    return !lines.empty() && lines.back().ends_with(text);
}

// Anywhere in the log: under Wine the resume line follows the action's at once.
static bool LoggedAnywhere(const Sandbox& box, const std::string& text) {
    const auto lines = LogLines(box);
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.ends_with(text); });
}

TEST(StandAside, TheKeepAwakeOptionIsSavedAndUnderWineNothingHoldsTheActionBack) {
    // The program's own probe, asked in this process: Wine answers nothing.
    auto probe = vesko::CreateKeepAwakeProbe();
    const vesko::KeepAwakeReading r = probe->Read();
    EXPECT_FALSE(r.FullScreen || r.Sound || r.SystemRequired);
    probe->Close();

    // The mouse condition: due a minute after OK, since nothing moves the cursor then.
    SettingsForm f(
        "[MouseCursor]\r\nMouseCursor_Enabled=1\r\nMouseCursor_Time=1\r\n"
        "[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
        "[Other]\r\nFunction_Enabled=1\r\nWarning_Enabled=0\r\n");
    ASSERT_TRUE(f.Form());
    ASSERT_TRUE(f.Activate());
    EXPECT_EQ(f.Text("KeepAwake_Enabled"), "他のソフトが使用中のときは節電しない");
    EXPECT_FALSE(f.Checked("KeepAwake_Enabled"));
    EXPECT_TRUE(f.ClickUntil(
        "KeepAwake_Enabled", [&] { return f.Checked("KeepAwake_Enabled"); }, 6));
    Sleep(300);
    EXPECT_FALSE(SaveScreenshot(L"settings_keep_awake").empty());
    EXPECT_TRUE(f.ClickUntil("OkButton", [&] { return !f.Shown(); }));
    EXPECT_EQ(IniValue(f.Box(), "KeepAwake_Enabled"), "1");

    EXPECT_TRUE(WaitUntil([&] { return LoggedAnywhere(f.Box(), "Windowsを休止状態にしました"); }, 100000))
        << "the option held the action back";
}

TEST(StandAside, PostponeClosesTheWarningLogsItAndNothingActsInTheNextMinute) {
    Sandbox box;
    const SYSTEMTIME start = StartOfAFreshMinute();
    const SYSTEMTIME target = MinutesAhead(start, 1);
    box.WriteText(L"vesko.ini", HibernateAt(target, 1));
    Process p = box.Start({L"/h"});
    HWND form1 = WaitForWindow(p.pid, VESKO_CLASS_FORM1);
    HWND form3 = WaitForWindow(p.pid, VESKO_CLASS_FORM3, true);
    ASSERT_TRUE(form1 && form3);
    EXPECT_EQ(ControlText(form3, ids::WarningMessage), "1 分後にWindowsを休止状態にします");
    HWND postpone = GetDlgItem(form3, ids::WarningPostponeButton);
    ASSERT_TRUE(IsWindowVisible(postpone) && IsWindowEnabled(postpone));
    EXPECT_EQ(ControlText(form3, ids::WarningPostponeButton), "10分延長");
    Sleep(300);
    EXPECT_FALSE(SaveScreenshot(L"warning_postpone").empty());

    const std::size_t linesBefore = LogLines(box).size();
    const SYSTEMTIME clicked = Now();
    ASSERT_TRUE(Press(postpone, [&] { return !IsWindowVisible(form3); }));
    // The log line in the log's format; the summary names the end of the ten minutes.
    ASSERT_TRUE(WaitUntil([&] { return Logged(box, " 節電を10分延長しました"); }, 5000));
    const std::string line = LogLines(box).back();
    EXPECT_TRUE(line.find(" " + HourMinute(clicked) + ":") < line.find(" 節電") ||
                line.find(" " + HourMinute(MinutesAhead(clicked, 1)) + ":") < line.find(" 節電"))
        << line;
    PostMessageW(form1, WM_COMMAND, MAKEWPARAM(ids::Restore, 0), 0);
    // Ten minutes past a click just before midnight end tomorrow.
    const SYSTEMTIME until = MinutesAhead(clicked, 10);
    const std::string day = until.wDay != clicked.wDay ? "明日 " : "";
    EXPECT_TRUE(WaitUntil([&] {
        return ControlText(form1, ids::SummaryLine) == "延長中（" + day + HourMinute(until) + " まで）";
    })) << ControlText(form1, ids::SummaryLine);

    // Five seconds into the minute the action was due in: no warning, no action.
    bool warned = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
            warned = warned || IsWindowVisible(form3);
            const SYSTEMTIME t = Now();
            return t.wHour == target.wHour && t.wMinute == target.wMinute && t.wSecond >= 5;
        },
        75000));
    EXPECT_FALSE(warned) << "the warning came back within the ten minutes";
    EXPECT_EQ(LogLines(box).size(), linesBefore + 1) << "something was acted on";
    EXPECT_TRUE(p.Running());
}
