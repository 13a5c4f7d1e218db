// The warning dialog as the tick shows it: a fixed, always-on-top dialog
// centred on the screen that the user cannot close, with the abort button in
// its designed place. It is made when a warning first shows.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Harness.h"
#include "WarningScenario.h"
#include "ui/ControlIds.h"

using namespace e2e;

namespace {

// Designed pixels at 96 DPI to the screen's pixels, as the program scales them.
int Scaled(int px96) {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return MulDiv(px96, dpi > 0 ? dpi : 96, 96);
}

// A control's rectangle in its dialog's client coordinates.
RECT ClientRectOf(HWND dialog, int id) {
    RECT r{};
    HWND c = GetDlgItem(dialog, id);
    if (!c) return r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ExpectPlacedAt(HWND dialog, int id, int x, int y, int w, int h) {
    RECT r = ClientRectOf(dialog, id);
    EXPECT_EQ(r.left, Scaled(x));
    EXPECT_EQ(r.top, Scaled(y));
    EXPECT_EQ(r.right - r.left, Scaled(w));
    EXPECT_EQ(r.bottom - r.top, Scaled(h));
}

// Started hidden with a warning due, so the dialog is up from the first tick.
HWND StartAndFindDialog(Sandbox& box, Process& p) { return StartWithTheWarningUp(box, p, L"/h"); }

}  // namespace

TEST(WarningDialog, ShownFixedAlwaysOnTopAndCentred) {
    Sandbox box;
    Process p;
    HWND form3 = StartAndFindDialog(box, p);
    ASSERT_TRUE(form3);

    EXPECT_EQ(WindowTitle(form3), "警告");
    RECT client{};
    GetClientRect(form3, &client);
    EXPECT_EQ(client.right, Scaled(240));
    EXPECT_EQ(client.bottom, Scaled(89));

    const LONG_PTR style = GetWindowLongPtrW(form3, GWL_STYLE), ex = GetWindowLongPtrW(form3, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(style & WS_CAPTION);
    // No title-bar buttons and no sizing border.
    EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    // The Close item is greyed; the class style is what another process can read of it.
    EXPECT_TRUE(GetClassLongPtrW(form3, GCL_STYLE) & CS_NOCLOSE);

    RECT frame{};
    GetWindowRect(form3, &frame);
    EXPECT_LE(std::abs((frame.left + frame.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 1);
}

TEST(WarningDialog, AbortButtonInItsDesignedPlace) {
    Sandbox box;
    Process p;
    HWND form3 = StartAndFindDialog(box, p);
    ASSERT_TRUE(form3);

    HWND b1 = GetDlgItem(form3, vesko::ids::WarningAbortButton),
         b2 = GetDlgItem(form3, vesko::ids::WarningLockedAbortButton);
    ASSERT_TRUE(b1 && b2);
    EXPECT_EQ(ControlText(form3, vesko::ids::WarningAbortButton), "中止");
    EXPECT_TRUE(GetWindowLongW(b1, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(IsWindowEnabled(b1));
    // Abort and postpone share the line.
    ExpectPlacedAt(form3, vesko::ids::WarningAbortButton, 20, 56, 97, 25);
    ExpectPlacedAt(form3, vesko::ids::WarningPostponeButton, 123, 56, 97, 25);
    EXPECT_EQ(ControlText(form3, vesko::ids::WarningPostponeButton), "10分延長");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(form3, vesko::ids::WarningPostponeButton)));
    // Without "/c" the locked button waits hidden and disabled.
    EXPECT_FALSE(GetWindowLongW(b2, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsWindowEnabled(b2));

    RECT label = ClientRectOf(form3, vesko::ids::WarningMessage);
    EXPECT_EQ(label.left, Scaled(8));
    EXPECT_EQ(label.top, Scaled(24));
    // The text keeps to the dialog and clear of the button.
    EXPECT_LE(label.right, Scaled(240));
    EXPECT_LE(label.bottom, Scaled(56));
}

TEST(WarningDialog, TheUserCannotCloseIt) {
    Sandbox box;
    Process p;
    HWND form3 = StartAndFindDialog(box, p);
    ASSERT_TRUE(form3);

    DWORD_PTR result = 0;
    SendMessageTimeoutW(form3, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    SendMessageTimeoutW(form3, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, 5000, &result);
    // Alt+F4 and Escape as the keyboard delivers them.
    PostMessageW(form3, WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
    PostMessageW(form3, WM_SYSKEYUP, VK_F4, 1 | (1 << 29) | (1u << 30) | (1u << 31));
    HWND b1 = GetDlgItem(form3, vesko::ids::WarningAbortButton);
    PostMessageW(b1, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(b1, WM_KEYUP, VK_ESCAPE, 1 | (1u << 30) | (1u << 31));
    PostMessageW(form3, WM_KEYDOWN, VK_ESCAPE, 1);
    // Let the posted keys pass through the program's loop.
    Sleep(500);

    EXPECT_TRUE(IsWindow(form3));
    EXPECT_TRUE(IsWindowVisible(form3));
    EXPECT_TRUE(p.Running());
}
