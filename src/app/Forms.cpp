#include "Forms.h"

#include "ui/ControlIds.h"
#include "WinUi.h"
#include "base/WinText_win.h"

namespace vesko {

bool TSimpleForm::Create(HINSTANCE instance, const wchar_t* className, const char* caption, int clientW, int clientH,
                         DWORD exStyle) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT r{0, 0, Scale(clientW), Scale(clientH)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    hwnd_ = CreateWindowExW(exStyle, className, Widen(caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
    CreateControls();
    return true;
}

LRESULT CALLBACK TSimpleForm::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<TSimpleForm*>(BoundObject(hwnd, msg, lp));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
    return self->HandleMessage(msg, wp, lp);
}

LRESULT TSimpleForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

bool TForm4::Create(HINSTANCE instance) {
    return TSimpleForm::Create(instance, VESKO_CLASS_FORM4, "ソフトの設定", 360, 240, WS_EX_DLGMODALFRAME);
}

}  // namespace vesko
