// The settings window as a user meets it: its captions, its unit list, OK,
// Apply, Cancel and the close box, the countdown's "セット", the refusals and
// the dialog keys, all with real clicks and key presses.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "SettingsForm.h"
#include "ui/SettingsLayout.h"

using namespace e2e;
using vesko::LayoutControl;
using vesko::LayoutKind;

namespace {

struct Child {
    std::string text;
    RECT rect;
};

// A named callback: a lambda has no stdcall form, which the i686 build needs.
BOOL CALLBACK AddChild(HWND hwnd, LPARAM lp) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    Child c{Utf8(text), {}};
    GetWindowRect(hwnd, &c.rect);
    reinterpret_cast<std::vector<Child>*>(lp)->push_back(c);
    return TRUE;
}

std::vector<Child> Children(HWND form) {
    std::vector<Child> out;
    EnumChildWindows(form, AddChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// "設定ウインドウの表示(&W)" from the tray icon's menu.
bool RestoreFromTray(const SettingsForm& f) {
    TraySpot spot = LookAtTray();
    if (spot.look == TrayLook::None) return false;
    RightClickAt(spot.centre);
    if (!WaitForWindow(f.Program().pid, L"#32768", true, 5000)) return false;
    PressKey('W');
    return WaitUntil([&] { return f.Shown(); }) && f.Activate();
}

bool Hidden(const SettingsForm& f) {
    return WaitUntil([&] { return !f.Shown(); }, 5000);
}

// Ticks a check box with a click on its mark.
void Tick(const SettingsForm& f, const char* name) {
    const bool before = f.Checked(name);
    EXPECT_TRUE(f.ClickUntil(
        name, [&] { return f.Checked(name) != before; }, 6))
        << name;
}

}  // namespace

TEST(SettingsWindow, EveryCaptionStandsInItsGroupAndTheUnitListTakesNoText) {
    SettingsForm f;
    ASSERT_TRUE(f.Form());
    ASSERT_TRUE(f.Activate());
    const auto layout = vesko::SettingsLayout();
    const std::vector<Child> children = Children(f.Form());
    auto find = [&](std::string_view caption) -> const Child* {
        for (const Child& c : children)
            if (c.text == caption) return &c;
        return nullptr;
    };
    for (const LayoutControl& c : layout) {
        // Value labels show readings and times, not their design text.
        if (c.caption.empty() || (c.kind == LayoutKind::Label && !c.name.empty())) continue;
        const Child* shown = find(c.caption);
        ASSERT_TRUE(shown) << c.caption;
        if (c.group < 0) continue;
        const Child* frame = find(layout[static_cast<std::size_t>(c.group)].caption);
        ASSERT_TRUE(frame) << c.caption;
        // A caption may stand in two groups ("ネットワーク通信量"): one of them is this one.
        EXPECT_TRUE(std::any_of(children.begin(), children.end(),
                                [&](const Child& ch) { return ch.text == c.caption && Inside(ch.rect, frame->rect); }))
            << c.caption << " outside its group";
    }
    EXPECT_EQ(WindowTitle(f.Form()), "ケルダン！");

    HWND units = f.Control("Network_Unit");
    ASSERT_EQ(SendMessageW(units, CB_GETCOUNT, 0, 0), 3);
    const std::set<std::string> items{"B/s", "kB/s", "MB/s"};
    for (int i = 0; i < 3; ++i) {
        wchar_t text[32] = {};
        SendMessageW(units, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_TRUE(items.count(Utf8(text))) << Utf8(text);
    }
    // A list without an edit: typed letters select nothing new and appear nowhere.
    EXPECT_FALSE(FindWindowExW(units, nullptr, L"Edit", nullptr));
    const std::string before = f.Text("Network_Unit");
    ASSERT_TRUE(f.ClickUntil("Network_Unit", [&] { return f.Focused() == units; }));
    // The click opened the list; Esc closes it and leaves the window.
    if (SendMessageW(units, CB_GETDROPPEDSTATE, 0, 0)) PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !SendMessageW(units, CB_GETDROPPEDSTATE, 0, 0); }, 2000));
    TypeKeys("X7Z");
    Sleep(300);
    EXPECT_EQ(f.Text("Network_Unit"), before);
    EXPECT_TRUE(f.Shown());
    EXPECT_FALSE(SaveScreenshot(L"settings_window").empty());
}

TEST(SettingsWindow, OkSavesHidesTheWindowKeepsTheIconAndTheNextTickUsesTheValues) {
    const std::wstring helperName = L"other.exe";
    SettingsForm f("[Other]\r\nFunction_Enabled=1\r\nExeStop_Enabled=0\r\n", {},
                   [&](Sandbox& box) { box.WriteText(L"ExeNameList.txt", Utf8(box.PathOf(helperName)) + "\r\n"); });
    Process helper = f.Box().StartHelper(helperName);
    ASSERT_TRUE(helper.Running());
    ASSERT_TRUE(f.Activate());
    ASSERT_TRUE(WaitUntil([] { return LookAtTray().look == TrayLook::On; }));

    Tick(f, "ExeStop_Enabled");
    f.Focus("CPU_Time");
    TypeKeys("25");
    ASSERT_TRUE(f.Shows("CPU_Time", "125"));
    EXPECT_TRUE(f.ClickUntil("OkButton", [&] { return !f.Shown(); }));
    EXPECT_EQ(IniValue(f.Box(), "ExeStop_Enabled"), "1");
    EXPECT_EQ(IniValue(f.Box(), "Application_Enabled"), "1");
    EXPECT_EQ(IniValue(f.Box(), "CPU_Time"), "125");
    // The tray icon stays; the next tick sees the listed program running.
    EXPECT_TRUE(WaitUntil([] { return LookAtTray().look == TrayLook::Off; }, 8000));
    EXPECT_TRUE(f.Program().Running());
}

TEST(SettingsWindow, ApplyByItsAccessKeySavesAndKeepsTheWindow) {
    SettingsForm f;
    ASSERT_TRUE(f.Activate());
    f.Focus("Memory_Time");
    TypeKeys("7");
    ASSERT_TRUE(f.Shows("Memory_Time", "17"));
    PressChord(VK_MENU, 'A');
    EXPECT_TRUE(WaitUntil([&] { return IniValue(f.Box(), "Memory_Time") == "17"; }));
    Sleep(500);
    EXPECT_TRUE(f.Shown());
    EXPECT_EQ(IniValue(f.Box(), "Function_Enabled"), "1");
}

TEST(SettingsWindow, CancelAndTheCloseBoxDiscardTheEdits) {
    SettingsForm f;
    ASSERT_TRUE(f.Activate());
    Tick(f, "CPU_Enabled");
    EXPECT_TRUE(f.ClickUntil("CancelButton", [&] { return !f.Shown(); }));
    EXPECT_EQ(LookAtTray().look, TrayLook::On);
    EXPECT_EQ(IniValue(f.Box(), "CPU_Enabled"), "<missing>");
    ASSERT_TRUE(RestoreFromTray(f));
    EXPECT_FALSE(f.Checked("CPU_Enabled"));

    // The close box: the same, and the program keeps running.
    Tick(f, "Log_Enabled");
    RECT r;
    GetWindowRect(f.Form(), &r);
    const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    LeftClickAt({r.right - frame - GetSystemMetrics(SM_CXSIZE) / 2,
                 r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2});
    EXPECT_TRUE(Hidden(f));
    EXPECT_TRUE(f.Program().Running());
    EXPECT_TRUE(f.Checked("Log_Enabled"));
    EXPECT_EQ(IniValue(f.Box(), "Log_Enabled"), "<missing>");
}

TEST(SettingsWindow, SetThenCancelShowsTheStoredTimesAndMissingKeysAsErrors) {
    SettingsForm f;
    ASSERT_TRUE(f.Activate());
    ASSERT_TRUE(WaitUntil([&] { return IniValue(f.Box(), "Timer_ScheduleTime") != "<missing>"; }));
    const std::string setTime = IniValue(f.Box(), "Timer_SetTime");
    const std::string due = IniValue(f.Box(), "Timer_ScheduleTime");
    ASSERT_EQ(f.Text("TimerDueLabel"), due);
    f.Replace("Timer_Hour", "5");  // five hours on
    ASSERT_TRUE(f.Shows("Timer_Hour", "5"));
    EXPECT_TRUE(f.ClickUntil("SetTimerButton", [&] { return f.Text("TimerDueLabel") != due; }));
    EXPECT_EQ(IniValue(f.Box(), "Timer_ScheduleTime"), due);  // nothing written by the button
    EXPECT_TRUE(f.ClickUntil("CancelButton", [&] { return !f.Shown(); }));
    EXPECT_TRUE(f.Shows("TimerSetTimeLabel", setTime));
    EXPECT_TRUE(f.Shows("TimerDueLabel", due));

    // Without the two keys the labels say so.
    f.Box().WriteText(L"vesko.ini", "[Other]\r\nFunction_Enabled=1\r\n");
    ASSERT_TRUE(RestoreFromTray(f));
    EXPECT_TRUE(f.ClickUntil("CancelButton", [&] { return !f.Shown(); }));
    EXPECT_TRUE(f.Shows("TimerSetTimeLabel", "エラー"));
    EXPECT_TRUE(f.Shows("TimerDueLabel", "エラー"));
}

TEST(SettingsWindow, ZeroCountdownIsRefusedNothingSavedAndTheFunctionOffExceptInTheFile) {
    SettingsForm f("[Other]\r\nFunction_Enabled=1\r\n");
    ASSERT_TRUE(f.Activate());
    ASSERT_TRUE(f.Checked("Function_Enabled"));
    Tick(f, "CPU_Enabled");
    f.Focus("Timer_Minute");
    PressKey(VK_BACK);  // 0 hours 0 minutes
    ASSERT_TRUE(f.Shows("Timer_Minute", "0"));
    EXPECT_TRUE(f.ClickUntil("OkButton", [&] { return WaitForMessageBox(f.Program().pid, 200) != nullptr; }));
    EXPECT_EQ(f.AnswerBox(), "タイマーの値が無効です");
    EXPECT_TRUE(f.Shown());
    EXPECT_FALSE(f.Checked("Function_Enabled"));
    EXPECT_EQ(IniValue(f.Box(), "Function_Enabled"), "1");
    EXPECT_EQ(IniValue(f.Box(), "CPU_Enabled"), "<missing>");
    // The tray item is unticked too: choosing it switches the function on
    // (from the stored settings), which ticks the window's switch again.
    TraySpot spot = LookAtTray();
    RightClickAt(spot.centre);
    ASSERT_TRUE(WaitForWindow(f.Program().pid, L"#32768", true, 5000));
    PressKey('E');
    EXPECT_TRUE(WaitUntil([&] { return f.Checked("Function_Enabled"); }, 3000));
    EXPECT_EQ(IniValue(f.Box(), "Function_Enabled"), "1");
}

TEST(SettingsWindow, UnwritableFileShowsItsPathAndTheWindowStays) {
    SettingsForm f;
    ASSERT_TRUE(f.Activate());
    ASSERT_TRUE(WaitUntil([&] { return f.Box().Exists(L"vesko.ini"); }));
    Sleep(500);
    f.Box().SetReadOnly(L"vesko.ini", true);
    Tick(f, "CPU_Enabled");
    ASSERT_TRUE(f.Checked("CPU_Enabled"));
    EXPECT_TRUE(f.ClickUntil("OkButton", [&] { return WaitForMessageBox(f.Program().pid, 200) != nullptr; }));
    EXPECT_TRUE(f.Checked("CPU_Enabled")) << "with the box up";
    EXPECT_EQ(f.AnswerBox(), Utf8(f.Box().PathOf(L"vesko.ini")) + " に書き込めません");
    Sleep(300);
    EXPECT_TRUE(f.Shown());
    EXPECT_TRUE(f.Checked("CPU_Enabled"));
    f.Box().SetReadOnly(L"vesko.ini", false);
}

TEST(SettingsWindow, TabWalksInReadingOrderArrowsStayInARadioSetEnterIsOkEscIsCancel) {
    SettingsForm f;
    ASSERT_TRUE(f.Activate());
    // The stops Tab should reach: every enabled tab stop in table order, and
    // of a radio set only its checked button.
    std::vector<HWND> stops;
    for (const LayoutControl& c : vesko::SettingsLayout()) {
        if (!c.TabStop()) continue;
        HWND hwnd = GetDlgItem(f.Form(), c.id);
        if (!IsWindowEnabled(hwnd)) continue;
        if (c.kind == LayoutKind::RadioButton && SendMessageW(hwnd, BM_GETCHECK, 0, 0) != BST_CHECKED) continue;
        stops.push_back(hwnd);
        // Each day box is a stop of its own.
        for (int day = 1; c.kind == LayoutKind::DayBoxes && day < static_cast<int>(c.items.size()); ++day)
            stops.push_back(GetDlgItem(f.Form(), c.id + day));
    }
    ASSERT_GT(stops.size(), 30u);
    f.Focus("Timer_Hour");
    std::size_t at = std::find(stops.begin(), stops.end(), f.Control("Timer_Hour")) - stops.begin();
    for (std::size_t n = 0; n < stops.size(); ++n) {
        PressKey(VK_TAB);
        at = (at + 1) % stops.size();
        EXPECT_TRUE(WaitUntil([&] { return f.Focused() == stops[at]; }, 1000))
            << "stop " << n << ": control " << GetDlgCtrlID(f.Focused()) << " instead of " << GetDlgCtrlID(stops[at]);
    }
    // The arrow keys move within the combination set and check what they reach.
    while (f.Focused() != f.Control("Piece_Requirement") && at < 200) {
        PressKey(VK_TAB);
        Sleep(60);
        ++at;
    }
    PressKey(VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return f.Focused() == f.Control("All_Requirement"); }, 1000));
    EXPECT_TRUE(f.Checked("All_Requirement"));
    EXPECT_FALSE(f.Checked("Piece_Requirement"));

    // Esc cancels: hidden, the edit gone.
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(Hidden(f));
    EXPECT_TRUE(f.Checked("Piece_Requirement"));

    // Enter presses OK, from inside a number field.
    ASSERT_TRUE(RestoreFromTray(f));
    f.Replace("OS_Hour", "3");
    ASSERT_TRUE(f.Shows("OS_Hour", "3"));
    PressKey(VK_RETURN);
    EXPECT_TRUE(Hidden(f));
    EXPECT_EQ(IniValue(f.Box(), "OS_Hour"), "3");
}
