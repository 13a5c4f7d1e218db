#include "WarningWindow.h"

#include <vector>

#include "engine/Monitor.h"
#include "WinUi.h"
#include "ui/ControlIds.h"
#include "controls/CommonControls_win.h"
#include "controls/Dpi_win.h"
#include "controls/LabelWrap.h"
#include "base/WinText_win.h"

namespace vesko {
namespace {

constexpr int kClientWidth = 240;
constexpr int kClientHeight = 89;

}  // namespace

bool WarningWindow::Create() {
    if (hwnd_) return true;
    CommonControls::Load();
    if (!CreateWindowFor(GetModuleHandleW(nullptr),
                         {VESKO_CLASS_FORM3, "警告", kClientWidth, kClientHeight, WS_EX_DLGMODALFRAME | WS_EX_TOPMOST}))
        return false;
    DisableClosing();
    return true;
}

// The dialog can only go away through the tick or the abort: its Close item
// is greyed, the class refuses Alt+F4, and the frame carries no buttons.
void WarningWindow::DisableClosing() {
    HMENU sysMenu = GetSystemMenu(hwnd_, FALSE);
    EnableMenuItem(sysMenu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    DrawMenuBar(hwnd_);
    SetClassLongPtrW(hwnd_, GCL_STYLE, GetClassLongPtrW(hwnd_, GCL_STYLE) | CS_NOCLOSE);

    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)) & ~WS_SYSMENU;
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    RECT r{0, 0, Px(kClientWidth), Px(kClientHeight)};
    AdjustWindowRectAt(&r, style, exStyle, Dpi());
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    CenterOnScreen();
}

void WarningWindow::CreateControls() {
    MessageLabel = CreateControl(hwnd_, L"STATIC", text_, SS_OWNERDRAW | SS_NOPREFIX, ids::WarningMessage);
    AbortButton = CreateControl(hwnd_, L"BUTTON", "中止", BS_PUSHBUTTON | WS_TABSTOP, ids::WarningAbortButton);
    PostponeButton =
        CreateControl(hwnd_, L"BUTTON", "10分延長", BS_PUSHBUTTON | WS_TABSTOP, ids::WarningPostponeButton);
    LockedAbortButton =
        CreateControl(hwnd_, L"BUTTON", "中止", BS_PUSHBUTTON | WS_TABSTOP, ids::WarningLockedAbortButton);
    EnableWindow(LockedAbortButton, FALSE);
    EnableWindow(AbortButton, abortEnabled_);
    EnableWindow(PostponeButton, abortEnabled_);
    PlaceControls();
    ShowButtons();
}

void WarningWindow::PlaceControls() {
    // Room for two lines: a long number or method name wraps instead of
    // running off the dialog's edge.
    PlaceControl(MessageLabel, Dpi(), 8, 24, kClientWidth - 16, 30);
    // Unlocked, abort and postpone share the line; locked, the greyed abort
    // button stands alone where the abort button stands then.
    const int abortX = locked_ ? 64 : 20;
    PlaceControl(AbortButton, Dpi(), abortX, 56, 97, 25);
    PlaceControl(LockedAbortButton, Dpi(), abortX, 56, 97, 25);
    PlaceControl(PostponeButton, Dpi(), 123, 56, 97, 25);
}

void WarningWindow::ShowButtons() {
    ShowWindow(AbortButton, locked_ ? SW_HIDE : SW_SHOW);
    ShowWindow(PostponeButton, locked_ ? SW_HIDE : SW_SHOW);
    ShowWindow(LockedAbortButton, locked_ ? SW_SHOW : SW_HIDE);
}

LRESULT WarningWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            if (HIWORD(wp) == BN_CLICKED && (id == ids::WarningAbortButton || id == ids::WarningLockedAbortButton)) {
                // A greyed button (the lock switch, or an action under way)
                // can still be "clicked" by a message from another program.
                if (IsWindowEnabled(GetDlgItem(hwnd_, id))) monitor_.AbortWarning();
                return 0;
            }
            if (HIWORD(wp) == BN_CLICKED && id == ids::WarningPostponeButton) {
                // Hidden under "/c", where nothing may stop the action; a
                // message from another program is refused there by the monitor.
                if (IsWindowEnabled(PostponeButton)) monitor_.PostponeWarning(locked_);
                return 0;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item->CtlID == static_cast<UINT>(ids::WarningMessage)) {
                DrawMessage(*item);
                return TRUE;
            }
            break;
        }
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_CLOSE) return 0;
            break;
        case WM_CLOSE: return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

// The label keeps its whole text as the window text, so that what the tick
// compares and what other programs read is the text itself; the line break is
// only drawn.
void WarningWindow::DrawMessage(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT rc = item.rcItem;
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, Font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));

    auto width = [dc](const std::string& s) {
        const std::wstring w = Widen(s);
        SIZE size{};
        GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
        return static_cast<int>(size.cx);
    };
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int lineHeight = tm.tmHeight + tm.tmExternalLeading;
    int y = rc.top;
    for (const std::string& line : WrapInTwoLines(GetText(item.hwndItem), rc.right - rc.left, width)) {
        const std::wstring w = Widen(line);
        RECT lineRect{rc.left, y, rc.right, y + lineHeight};
        DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &lineRect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        y += lineHeight;
    }
    SelectObject(dc, oldFont);
}

std::string WarningWindow::LabelText() { return MessageLabel ? GetText(MessageLabel) : text_; }

void WarningWindow::SetLabelText(const std::string& text) {
    text_ = text;
    if (!MessageLabel || GetText(MessageLabel) == text) return;
    SetText(MessageLabel, text);
    InvalidateRect(MessageLabel, nullptr, TRUE);
}

bool WarningWindow::IsVisible() { return hwnd_ && IsWindowVisible(hwnd_); }

// Shown by the tick while the user works elsewhere: it comes to the top of the
// always-on-top windows without taking the keyboard focus, so that typing
// cannot press the abort button by accident.
void WarningWindow::Show() {
    if (!Create()) return;
    if (!IsVisible()) CenterOnScreen();
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void WarningWindow::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void WarningWindow::Repaint() {
    if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WarningWindow::SetAbortEnabled(bool enabled) {
    abortEnabled_ = enabled;
    if (AbortButton) EnableWindow(AbortButton, enabled ? TRUE : FALSE);
    if (PostponeButton) EnableWindow(PostponeButton, enabled ? TRUE : FALSE);
}

}  // namespace vesko
