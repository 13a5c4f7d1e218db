// The settings window at its monitor's DPI: sized for the monitor's work
// area (scrolled where the whole layout is taller), and every control placed
// anew when the window moves to a monitor of another DPI.
#include <algorithm>

#include "MainWindow.h"
#include "WinUi.h"
#include "controls/Dpi_win.h"
#include "ui/SettingsLayout.h"

namespace vesko {
namespace {

constexpr DWORD kSettingsStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kSettingsExStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW;
constexpr int kScrollLine = 20;  // pixels at 96 DPI per arrow click or wheel notch

RECT WorkAreaAt(const RECT& at) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&at, MONITOR_DEFAULTTONEAREST), &info)) return {0, 0, 1 << 15, 1 << 15};
    return info.rcWork;
}

// Makes the client area exactly width x height: where the frame the system
// draws differs from the one computed for the DPI (a theme's, or a DPI the
// frame has not taken yet), the outer size takes the difference.
void SizeClient(HWND hwnd, int width, int height) {
    RECT client, outer;
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &outer);
    const int dx = width - client.right, dy = height - client.bottom;
    if (dx != 0 || dy != 0)
        SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void MainWindow::FitToMonitor() {
    const int width = ScaleLayout(kSettingsClientWidth, Dpi());
    const int full = ScaleLayout(kSettingsClientHeight, Dpi());
    RECT frame{0, 0, width, full};
    AdjustWindowRectAt(&frame, kSettingsStyle, kSettingsExStyle, Dpi());
    RECT r;
    GetWindowRect(hwnd_, &r);
    const RECT work = WorkAreaAt(r);
    const int frameH = frame.bottom - frame.top - full;
    const int visible = SettingsVisibleHeight(full, work.bottom - work.top, frameH);
    const bool scrolls = visible < full;
    if (!scrolls) ScrollTo(0);  // before the bar goes
    ShowScrollBar(hwnd_, SB_VERT, scrolls);
    const int barW = scrolls ? SystemMetricAt(SM_CXVSCROLL, Dpi()) : 0;
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + barW, visible + frameH,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SizeClient(hwnd_, width, visible);
    viewHeight_ = visible;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = full - 1;
    si.nPage = static_cast<UINT>(visible);
    si.nPos = scrollY_;
    SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
    ScrollTo(scrollY_);  // within the new range
}

void MainWindow::ScrollTo(int y) {
    const int full = ScaleLayout(kSettingsClientHeight, Dpi());
    y = std::clamp(y, 0, std::max(0, full - viewHeight_));
    if (y == scrollY_) return;
    ScrollWindowEx(hwnd_, 0, scrollY_ - y, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    scrollY_ = y;
    SetScrollPos(hwnd_, SB_VERT, y, TRUE);
}

bool MainWindow::OnScroll(UINT msg, WPARAM wp) {
    const int line = ScaleToDpi(kScrollLine, Dpi());
    int y = scrollY_;
    if (msg == WM_MOUSEWHEEL) {
        y -= GET_WHEEL_DELTA_WPARAM(wp) * 3 * line / WHEEL_DELTA;
    } else {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(hwnd_, SB_VERT, &si);
        switch (LOWORD(wp)) {
            case SB_LINEUP: y -= line; break;
            case SB_LINEDOWN: y += line; break;
            case SB_PAGEUP: y -= viewHeight_; break;
            case SB_PAGEDOWN: y += viewHeight_; break;
            case SB_TOP: y = 0; break;
            case SB_BOTTOM: y = si.nMax; break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: y = si.nTrackPos; break;
            default: return false;
        }
    }
    ScrollTo(y);
    return true;
}

void MainWindow::ScrollIntoView(HWND control) {
    RECT r;
    if (!control || !GetWindowRect(control, &r)) return;
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    const int margin = ScaleToDpi(8, Dpi());
    if (r.top < margin) ScrollTo(scrollY_ + r.top - margin);
    else if (r.bottom > viewHeight_ - margin) ScrollTo(scrollY_ + r.bottom - viewHeight_ + margin);
}

void MainWindow::PlaceControls() {
    // The table's places are those of the unscrolled window.
    ScrollTo(0);
    if (controlsBuilt_) PlaceSettingsControls(controls_, Dpi() / 96.0, Font());
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    TakeDpi(dpi);
    PlaceControls();
    // On the monitor Windows suggests, at the layout's own size there (the
    // suggested one is the old size scaled, a pixel off here and there): a
    // window moved to a monitor looks exactly as one started there.
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitToMonitor();
    // Drawn anew whole: moved controls would carry their old pixels along.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace vesko
