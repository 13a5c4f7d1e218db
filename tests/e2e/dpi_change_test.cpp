// A window moved to a monitor of another DPI: each smaller window, told of
// 144 DPI as Windows tells it (WM_DPICHANGED with the suggested rectangle),
// lays itself out at 144 DPI, and told of 96 DPI again has its layout back.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "SettingsForm.h"
#include "WarningScenario.h"

using namespace e2e;

namespace {

// Every child's place (a list's header too: its height follows the list's
// font), a list's column widths as rectangles from 0,0, and for a dialog that
// can be resized the least frame size.
std::vector<RECT> LayoutOf(HWND window, bool resizable) {
    std::vector<RECT> rects;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        for (HWND part : {c, GetWindow(c, GW_CHILD)}) {
            RECT r{};
            if (part && GetWindowRect(part, &r)) MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
            rects.push_back(r);
        }
        for (int i = 0, w; (w = static_cast<int>(SendMessageW(c, LVM_GETCOLUMNWIDTH, i, 0))) > 0; ++i)
            rects.push_back({0, 0, w, 0});
    }
    MINMAXINFO info{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    if (resizable) rects.push_back({0, 0, info.ptMinTrackSize.x, info.ptMinTrackSize.y});
    return rects;
}

int At144(int px96) { return MulDiv(px96, 144, 96); }

}  // namespace

TEST(DpiChange, EachSmallWindowLaysItselfOutAtTheNewDpiAndBackAgain) {
    struct Case {
        std::string ini;
        std::vector<std::wstring> args;
        const wchar_t* cls;
        const char* button;  // opens it in the settings window (and it can be resized); else About, or the tick
        int slack;           // pixels a label grown to its text may stray from the scaled size
    } const cases[] = {
        {"", {}, VESKO_CLASS_ABOUT, nullptr, 4},
        {HibernateAt(MinutesAhead(Now(), 3), 3), {L"/h"}, VESKO_CLASS_FORM3, nullptr, 0},
        {"[Other]\r\nExeStop_Enabled=1\r\n", {}, VESKO_CLASS_FORM4, "ExcludedProgramsButton", 0},
        {"[ProgramEnd]\r\nProgramEnd_Enabled=1\r\n", {}, VESKO_CLASS_PROGRAM_PICKER, "ProgramPickerButton", 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(Utf8(k.cls));
        SettingsForm f(k.ini, k.args);
        auto shown = [&] { return FindProcessWindow(f.Program().pid, k.cls, true); };
        if (k.button) {
            ASSERT_TRUE(Press(f.Control(k.button), [&] { return shown() != nullptr; }));
        } else if (k.args.empty()) {
            PostMessageW(f.Form(), WM_COMMAND, MAKEWPARAM(vesko::ids::About, 0), 0);
        }
        ASSERT_TRUE(WaitUntil([&] { return shown() != nullptr; }));
        HWND window = shown();
        RECT client{};
        GetClientRect(window, &client);
        const auto before = LayoutOf(window, k.button);

        SendDpiChange(f.Program(), window, {client.right, client.bottom}, 144);
        const auto now = LayoutOf(window, k.button);
        ASSERT_EQ(now.size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            const RECT &a = before[i], &b = now[i];
            EXPECT_NEAR(b.left, At144(a.left), 2) << i;  // each part of a sum rounded apart
            EXPECT_NEAR(b.top, At144(a.top), 2) << i;
            EXPECT_NEAR(b.right - b.left, At144(a.right - a.left), 2 + k.slack) << i;
            EXPECT_NEAR(b.bottom - b.top, At144(a.bottom - a.top), 2 + k.slack) << i;
        }
        Sleep(500);                                                // painted anew
        SaveScreenshot(L"dpi_change_144_" + std::wstring(k.cls));  // the fonts: no other process can ask for them

        SendDpiChange(f.Program(), window, {client.right, client.bottom}, 96);
        const auto back = LayoutOf(window, k.button);
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_TRUE(EqualRect(&before[i], &back[i])) << i << ": as it was at 96 DPI";
    }
}
