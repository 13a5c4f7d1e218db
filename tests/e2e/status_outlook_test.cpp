// What the window and the tray tip say about the coming power-saving: the
// mark beside a condition counts its minutes, the summary line names the
// method and the time, and says so while a listed program holds it back.
#include <gtest/gtest.h>

#include "Harness.h"
#include "WarningScenario.h"
#include "engine/Conditions.h"
#include "ui/ControlIds.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

bool Contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

}  // namespace

// Memory under 99 % for three minutes, hibernation; a listed program at the end.
// The action lies three minutes ahead, past the end of the scenario.
TEST(StatusOutlook, TheMemoryMarkCountsAndTheSummaryNamesMethodTimeAndTheListedProgram) {
    Sandbox box;
    const std::wstring helperName = L"listed.exe";
    box.WriteText(L"ExeNameList.txt", Utf8(box.PathOf(helperName)) + "\r\n");
    box.WriteText(L"vesko.ini",
                  "[Memory]\r\nMemory_Enabled=1\r\nMemory_Percent=99\r\nMemory_Time=3\r\n"
                  "[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
                  "[Other]\r\nFunction_Enabled=1\r\nExeStop_Enabled=1\r\n");
    const std::string dueEarliest = HourMinute(MinutesAhead(Now(), 3));
    Process p = box.Start();
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1, true);
    ASSERT_NE(form, nullptr);
    const int memoryMark = ids::FirstConditionMark + static_cast<int>(vesko::kMemoryCondition);
    auto mark = [&] { return ControlText(form, memoryMark); };
    auto summary = [&] { return ControlText(form, ids::SummaryLine); };

    ASSERT_TRUE(WaitUntil([&] { return mark() == "○ 0/3分"; })) << mark();
    const std::string first = summary();
    const std::string dueLatest = HourMinute(MinutesAhead(Now(), 3));
    EXPECT_TRUE(first == dueEarliest + " に休止状態にします（あと 3 分）" ||
                first == dueLatest + " に休止状態にします（あと 3 分）")
        << first << " (due " << dueEarliest << " or " << dueLatest << ")";
    // The other marks stay empty: their conditions are off.
    EXPECT_EQ(ControlText(form, ids::FirstConditionMark + static_cast<int>(vesko::kCpuCondition)), "");

    // The tray tip ends with the same line.
    TraySpot spot;
    ASSERT_TRUE(WaitUntil([&] { return (spot = LookAtTray()).look == TrayLook::On; }));
    auto tip = ShellTipLines(p.pid, spot.centre);
    ASSERT_EQ(tip.size(), 7u) << (tip.empty() ? "no tip" : tip[0]);
    EXPECT_EQ(tip[6], first);

    // A minute on, the mark has counted one and the line says two are left.
    ASSERT_TRUE(WaitUntil([&] { return mark() == "○ 1/3分"; }, 75000)) << mark();
    EXPECT_TRUE(Contains(summary(), " に休止状態にします（あと 2 分）")) << summary();

    // A listed program holds it back; what the condition counts stays shown.
    Process helper = box.StartHelper(helperName);
    ASSERT_TRUE(helper.Running());
    EXPECT_TRUE(WaitUntil([&] { return summary() == "指定したソフトが起動中のため節電しません"; }, 8000)) << summary();
    EXPECT_TRUE(Contains(mark(), "○ ")) << mark();
}
