// The settings window at its monitor's DPI: the layout's DPI chosen so that
// the window fits the monitor's work area, and every control placed anew when
// the window moves to a monitor of another DPI.
#include "MainWindow.h"
#include "WinUi.h"
#include "controls/Dpi_win.h"
#include "ui/SettingsLayout.h"

namespace vesko {
namespace {

constexpr DWORD kSettingsStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kSettingsExStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW;

// The outer size of the settings window laid out at layoutDpi on a monitor at dpi.
SIZE OuterSize(int layoutDpi, int dpi) {
    RECT r{0, 0, ScaleLayout(kSettingsClientWidth, layoutDpi), ScaleLayout(kSettingsClientHeight, layoutDpi)};
    AdjustWindowRectAt(&r, kSettingsStyle, kSettingsExStyle, dpi);
    return {r.right - r.left, r.bottom - r.top};
}

int LayoutDpiOn(const RECT& at, int dpi) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&at, MONITOR_DEFAULTTONEAREST), &info)) return dpi;
    const RECT& w = info.rcWork;
    const SIZE frame = OuterSize(96, dpi);
    const int frameW = frame.cx - ScaleLayout(kSettingsClientWidth, 96);
    const int frameH = frame.cy - ScaleLayout(kSettingsClientHeight, 96);
    return SettingsLayoutDpi(dpi, w.right - w.left, w.bottom - w.top, frameW, frameH);
}

// Makes the client area exactly the layout's: where the frame the system
// draws differs from the one computed for the DPI (a theme's, or a DPI the
// frame has not taken yet), the outer size takes the difference.
void SizeClient(HWND hwnd, int layoutDpi) {
    RECT client, outer;
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &outer);
    const int dx = ScaleLayout(kSettingsClientWidth, layoutDpi) - client.right;
    const int dy = ScaleLayout(kSettingsClientHeight, layoutDpi) - client.bottom;
    if (dx != 0 || dy != 0)
        SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void MainWindow::FitToMonitor() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    const int fitted = LayoutDpiOn(r, Dpi());
    const SIZE size = OuterSize(fitted, Dpi());
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(UiFontAt(fitted)), FALSE);
    if (size.cx != r.right - r.left || size.cy != r.bottom - r.top)
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SizeClient(hwnd_, fitted);
    if (fitted == layoutDpi_) return;
    layoutDpi_ = fitted;
    PlaceControls();
}

void MainWindow::PlaceControls() {
    if (controlsBuilt_) PlaceSettingsControls(controls_, layoutDpi_ / 96.0, UiFontAt(layoutDpi_));
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    TakeDpi(dpi);
    // The size is the layout's own at the new DPI (the suggested one is the
    // old size scaled, a pixel off here and there): a window moved to a
    // monitor looks exactly as one started there.
    const int fitted = LayoutDpiOn(suggested, dpi);
    const SIZE size = OuterSize(fitted, dpi);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    SizeClient(hwnd_, fitted);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(UiFontAt(fitted)), FALSE);
    layoutDpi_ = fitted;
    PlaceControls();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace vesko
