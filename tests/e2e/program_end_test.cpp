// The job's end seen from outside: a program copied as render.exe runs and
// ends, and a minute after (the warning's) the machine hibernates; the
// picker "選択" fills the field with real keys.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "SettingsForm.h"
#include "ui/ControlIds.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

const std::string kJobIni =
    "[ProgramEnd]\r\nProgramEnd_Enabled=1\r\nProgramEnd_Name=render.exe\r\nProgramEnd_Time=1\r\n"
    "[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
    "[Other]\r\nWarning_Enabled=1\r\nWarning_Time=1\r\nFunction_Enabled=1\r\nLog_Enabled=1\r\n";

}  // namespace

TEST(ProgramEnd, NothingBeforeTheJobRunsNorWhileItRunsThenTheWarningAndTheHibernation) {
    SettingsForm f(kJobIni);
    ASSERT_TRUE(f.Form());
    // Not started yet: nothing counts.
    EXPECT_TRUE(f.Shows("ProgramEndMark", "― 未起動"));
    EXPECT_EQ(f.Text("SummaryLine"), "条件を満たしていません（render.exe の終了待ち）");
    Sleep(3000);
    EXPECT_FALSE(FindProcessWindow(f.Program().pid, VESKO_CLASS_FORM3, true)) << "warned before the job ran";

    Process job = f.Box().StartHelper(L"render.exe");
    ASSERT_TRUE(job.Running());
    EXPECT_TRUE(f.Shows("ProgramEndMark", "× 実行中"));
    Sleep(3000);
    EXPECT_FALSE(FindProcessWindow(f.Program().pid, VESKO_CLASS_FORM3, true)) << "warned while the job ran";

    TerminateProcess(job.handle, 0);
    ASSERT_TRUE(job.WaitExit());
    HWND warning = WaitForWindow(f.Program().pid, VESKO_CLASS_FORM3, true, 5000);
    ASSERT_TRUE(warning) << "no warning after the job's end";
    const DWORD warned = GetTickCount();
    EXPECT_EQ(ControlText(warning, ids::WarningMessage), "1 分後にWindowsを休止状態にします");
    const auto hibernated = [&] {
        const auto lines = LogLines(f.Box());  // the resume's line follows at once under Wine
        return std::any_of(lines.begin(), lines.end(),
                           [](auto& l) { return l.ends_with("Windowsを休止状態にしました"); });
    };
    ASSERT_TRUE(WaitUntil(hibernated, 90000));
    EXPECT_GE(GetTickCount() - warned, 59000u) << "the hibernation came before the job had been gone a minute";
}

TEST(ProgramEnd, ThePickerFillsTheFieldAndApplySavesTheThreeKeys) {
    SettingsForm f("[Other]\r\nFunction_Enabled=1\r\n");
    ASSERT_TRUE(f.Form());
    Process job = f.Box().StartHelper(L"render.exe");
    ASSERT_TRUE(job.Running());
    // A program with a window, minimised out of the way (the prefix's server ends it).
    STARTUPINFOW si{.cb = sizeof si, .dwFlags = STARTF_USESHOWWINDOW, .wShowWindow = SW_SHOWMINNOACTIVE};
    PROCESS_INFORMATION notepad{};
    wchar_t command[] = L"notepad.exe";
    ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &notepad));
    ASSERT_TRUE(WaitForWindow(notepad.dwProcessId, L"Notepad", true));
    ASSERT_TRUE(f.Activate());
    ASSERT_TRUE(f.ClickUntil(
        "ProgramEnd_Enabled", [&] { return f.Checked("ProgramEnd_Enabled"); }, 6));

    const DWORD pid = f.Program().pid;
    auto picker = [&] { return FindProcessWindow(pid, VESKO_CLASS_PROGRAM_PICKER, true); };
    ASSERT_TRUE(Press(f.Control("ProgramPickerButton"), [&] { return picker() != nullptr; }));
    HWND dialog = picker();
    EXPECT_EQ(WindowTitle(dialog), "ソフトの選択");
    HWND list = GetDlgItem(dialog, ids::PickerProgramList);
    const auto items = ListViewItems(list);
    EXPECT_EQ(std::count(items.begin(), items.end(), "render.exe"), 1) << "each program once";
    EXPECT_EQ(std::count(items.begin(), items.end(), "vesko.exe"), 0) << "not the program itself";
    // Programs with a window come first, with their window's title.
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0], "notepad.exe");
    const auto titles = ListViewItems(list, 1);
    EXPECT_FALSE(titles[0].empty()) << "notepad's title";
    // The list has the focus: typing a name's start chooses it, Enter is OK.
    EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(dialog) == list; }, 3000));
    TypeKeys("RENDER");
    const auto helper = std::find(items.begin(), items.end(), "render.exe") - items.begin();
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == helper; }, 3000));
    const std::wstring dpi = std::to_wstring(GetDeviceCaps(GetDC(nullptr), LOGPIXELSY));
    SaveScreenshot(L"program_picker_" + dpi);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return picker() == nullptr; }, 5000));
    EXPECT_TRUE(f.Shows("ProgramEnd_Name", "render.exe"));

    ASSERT_TRUE(f.ClickUntil("ApplyButton", [&] { return IniValue(f.Box(), "ProgramEnd_Name") == "render.exe"; }));
    EXPECT_EQ(IniValue(f.Box(), "ProgramEnd_Enabled"), "1");
    EXPECT_EQ(IniValue(f.Box(), "ProgramEnd_Time"), "1");
    EXPECT_TRUE(f.Shows("ProgramEndMark", "× 実行中"));
    SaveScreenshot(L"settings_program_end_" + dpi);
    TerminateProcess(notepad.hProcess, 0);
}
