// The settings window on a screen too small for it at its DPI (the lanes'
// desktop at 144 DPI, as a laptop of 1366 x 768 at 150 %): as tall as the work
// area, with a scroll bar; the focus brings what it reaches into view, so OK
// is reached with the keyboard and then clicked.
#include <gtest/gtest.h>

#include "SettingsForm.h"

using namespace e2e;

namespace {

bool InView(HWND form, HWND control) {
    RECT r, client;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(form, &client);
    return r.top >= 0 && r.bottom <= client.bottom;
}

}  // namespace

TEST(SettingsWindow, TallerThanItsScreenItScrollsToTheFocusAndOkIsReached) {
    SessionDpi session(144);
    SettingsForm f;
    session.Restore();
    ASSERT_TRUE(f.Form());
    ASSERT_TRUE(f.Activate());
    RECT work, window;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(f.Form(), &window);
    EXPECT_LE(window.bottom - window.top, work.bottom - work.top);
    EXPECT_TRUE(GetWindowLongW(f.Form(), GWL_STYLE) & WS_VSCROLL);
    const HWND ok = f.Control("OkButton");
    ASSERT_FALSE(InView(f.Form(), ok));

    f.Focus("Timer_Hour");
    for (int n = 0; n < 80 && f.Focused() != ok; ++n) {
        const HWND before = f.Focused();
        PressKey(VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return f.Focused() != before; }, 2000));
        const HWND focused = f.Focused();
        EXPECT_TRUE(WaitUntil([&] { return InView(f.Form(), focused); }, 1000))
            << "control " << GetDlgCtrlID(focused) << " out of view";
    }
    ASSERT_EQ(f.Focused(), ok);
    EXPECT_TRUE(InView(f.Form(), ok));
    SaveScreenshot(L"settings_scrolled_144");
    f.Click("OkButton");
    EXPECT_TRUE(WaitUntil([&] { return !f.Shown(); }, 5000));
    EXPECT_EQ(IniValue(f.Box(), "Function_Enabled"), "1");
}
