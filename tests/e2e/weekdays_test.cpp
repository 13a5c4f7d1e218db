// The daily time on its days, seen from outside: set for the day after
// tomorrow only, its minute passes today without an action and the window
// names that day; with today's box ticked and Apply, it acts today.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "SettingsForm.h"
#include "WarningScenario.h"
#include "engine/Conditions.h"
#include "settings/WeekDays.h"
#include "ui/ControlIds.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

std::string TimeIni(const SYSTEMTIME& at, const std::string& days) {
    return "[Time]\r\nTime_Enabled=1\r\nTime_Hour=" + std::to_string(at.wHour) +
           "\r\nTime_Minute=" + std::to_string(at.wMinute) + "\r\nTime_Days=" + days +
           "\r\n[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
           "[Other]\r\nFunction_Enabled=1\r\nLog_Enabled=1\r\n";
}

bool Hibernated(const Sandbox& box) {
    const auto lines = LogLines(box);
    return std::any_of(lines.begin(), lines.end(), [](auto& l) { return l.ends_with("Windowsを休止状態にしました"); });
}

}  // namespace

TEST(Weekdays, ADailyTimeWaitsForItsDayAndActsTodayOnceTodayIsTicked) {
    const SYSTEMTIME due = MinutesAhead(StartOfAFreshMinute(), 1);
    const int today = (due.wDayOfWeek + 6) % 7;  // Monday first
    const int later = (today + 2) % 7;
    std::string days(7, '0');
    days[static_cast<std::size_t>(later)] = '1';
    SettingsForm f(TimeIni(due, days));
    ASSERT_TRUE(f.Form());
    const std::string dayName = vesko::kWeekdayNames[later];
    const int timeMark = ids::FirstConditionMark + static_cast<int>(vesko::kTimeCondition);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(f.Form(), timeMark) == "△ " + dayName + " " + HourMinute(due); }))
        << ControlText(f.Form(), timeMark);
    EXPECT_TRUE(f.Text("SummaryLine").starts_with(dayName + "曜 " + HourMinute(due) + " に休止状態にします"))
        << f.Text("SummaryLine");
    const HWND todayBox = GetDlgItem(f.Form(), vesko::LayoutControlId("Time_Days") + today);
    EXPECT_EQ(SendMessageW(todayBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // The minute comes and goes today.
    const std::string after = HourMinute(MinutesAhead(due, 1));
    ASSERT_TRUE(WaitUntil([&] { return HourMinute(Now()) == after; }, 150000));
    Sleep(3000);
    EXPECT_FALSE(Hibernated(f.Box())) << "acted on a day that is not ticked";

    // Today ticked, the next minute (arming's own minute never acts): acted on today.
    ASSERT_TRUE(f.Activate());
    ClickControl(todayBox);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(todayBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 2000));
    const SYSTEMTIME next = MinutesAhead(Now(), Now().wSecond < 40 ? 1 : 2);
    f.Replace("Time_Hour", std::to_string(next.wHour).c_str());
    f.Replace("Time_Minute", std::to_string(next.wMinute).c_str());
    ASSERT_TRUE(
        f.ClickUntil("ApplyButton", [&] { return IniValue(f.Box(), "Time_Minute") == std::to_string(next.wMinute); }));
    days[static_cast<std::size_t>(today)] = '1';
    EXPECT_EQ(IniValue(f.Box(), "Time_Days"), days);
    EXPECT_TRUE(WaitUntil([&] { return f.Text("SummaryLine").starts_with(HourMinute(next) + " に休止状態にします"); }))
        << f.Text("SummaryLine");
    EXPECT_TRUE(WaitUntil([&] { return Hibernated(f.Box()); }, 130000)) << "no hibernation on a ticked day";
}
