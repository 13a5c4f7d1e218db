#include "Window.h"

#include "WinUi.h"
#include "base/Trace_win.h"
#include "controls/Dpi_win.h"
#include "base/WinText_win.h"

namespace vesko {

bool Window::CreateWindowFor(HINSTANCE instance, const WindowSetup& setup) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (setup.icon) wc.hIcon = LoadIconW(instance, setup.icon);
    wc.lpszClassName = setup.className;
    RegisterClassExW(&wc);
    // No WS_CLIPCHILDREN: group frames rely on the window painting behind them.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | (setup.resizable ? WS_THICKFRAME : 0);
    icon_ = setup.icon;
    // Made at the session's DPI, then sized for the DPI of the monitor it
    // came up on.
    dpi_ = SystemDpi();
    RECT r{0, 0, Px(setup.clientWidth), Px(setup.clientHeight)};
    AdjustWindowRectAt(&r, style, setup.exStyle, dpi_);
    const int at = setup.atOrigin ? 0 : CW_USEDEFAULT;
    hwnd_ = CreateWindowExW(setup.exStyle, setup.className, Widen(setup.caption).c_str(), style, at, at,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;
    if (const int shown = WindowDpi(hwnd_); shown != dpi_) {
        RECT s{0, 0, ScaleToDpi(setup.clientWidth, shown), ScaleToDpi(setup.clientHeight, shown)};
        AdjustWindowRectAt(&s, style, setup.exStyle, shown);
        SetWindowPos(hwnd_, nullptr, 0, 0, s.right - s.left, s.bottom - s.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    TakeDpi(WindowDpi(hwnd_));
    CreateControls();
    return true;
}

int Window::Px(int px96) const { return ScaleToDpi(px96, dpi_); }

HFONT Window::Font() const { return UiFontAt(dpi_); }

void Window::TakeDpi(int dpi) {
    dpi_ = dpi;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    if (!icon_) return;
    // The caption's icon drawn for this DPI, not one stretched from another size.
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), icon_, IMAGE_ICON,
                                               SystemMetricAt(SM_CXSMICON, dpi), SystemMetricAt(SM_CYSMICON, dpi), 0));
    if (!icon) return;
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    if (smallIcon_) DestroyIcon(smallIcon_);
    smallIcon_ = icon;
}

void Window::OnDpiChanged(int dpi, const RECT& suggested) {
    TakeDpi(dpi);
    PlaceControls();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Moved controls keep the bits they had where they were; all drawn anew.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK Window::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<Window*>(BoundObject(hwnd, msg, lp));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
    return GuardWindowProc(
        "window procedure", msg, [&] { return self->HandleMessage(msg, wp, lp); },
        [&] { return DefWindowProcW(hwnd, msg, wp, lp); });
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    }
    if (msg == WM_DPICHANGED) {
        OnDpiChanged(DpiOfChange(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void Window::RunModal(HWND owner, HWND focus, const bool& done) {
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(focus);

    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (!done) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got < 0) break;
        if (!IsDialogMessageW(hwnd_, &msg) && !DialogKeys(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    if (disableOwner) EnableWindow(owner, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
    // The program was told to end while the window was up: the main loop ends too.
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

void Window::CenterOnScreen() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::CenterOn(HWND other) {
    RECT o;
    if (!other || !GetWindowRect(other, &o)) {
        CenterOnScreen();
        return;
    }
    RECT r;
    GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(hwnd_, nullptr, o.left + (o.right - o.left - w) / 2, o.top + (o.bottom - o.top - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vesko
