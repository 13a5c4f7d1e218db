#include "controls/SpinEdit_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "base/Trace_win.h"
#include "base/WinText_win.h"
#include "controls/CommonControls_win.h"

namespace vesko {
namespace {

constexpr UINT_PTR kSpinSubclassId = 0x7370696e;
// Marks a field's window with its object, so that FromHandle finds it.
constexpr const wchar_t* kObjectProperty = L"vesko.SpinEdit";
constexpr int kArrowWidth = 15;
constexpr int kArrowHeight = 17;

int Scaled(int px96, double scale) { return static_cast<int>(std::lround(px96 * scale)); }

char32_t DecimalSeparator() {
    wchar_t sep[4] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, 4) > 1 ? sep[0] : U'.';
}

int FontTextHeight(HDC dc, HFONT font) {
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    return tm.tmHeight;
}

bool LeftButtonDownOn(HWND hwnd) {
    if (GetKeyState(VK_LBUTTON) >= 0) return false;
    POINT p;
    GetCursorPos(&p);
    RECT r;
    GetWindowRect(hwnd, &r);
    return PtInRect(&r, p) != FALSE;
}

}  // namespace

SpinEdit::SpinEdit(HWND edit, const SpinValue& rules, double dpiScale)
    : edit_(edit), rules_(rules), arrowWidth_(Scaled(kArrowWidth, dpiScale)) {}

SpinEdit* SpinEdit::Create(HWND parent, int id, int x, int y, int w, int h, double dpiScale, const SpinValue& rules,
                           HFONT font) {
    CommonControls::Load();
    // Multi-line so that the text rectangle can be narrowed clear of the
    // arrows; the arrows are a child, hence WS_CLIPCHILDREN.
    HWND edit =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"0",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | ES_MULTILINE | ES_AUTOHSCROLL,
                        Scaled(x, dpiScale), Scaled(y, dpiScale), Scaled(w, dpiScale), Scaled(h, dpiScale), parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!edit) return nullptr;
    auto* self = new SpinEdit(edit, rules, dpiScale);
    SetPropW(edit, kObjectProperty, self);
    CommonControls::SetSubclass(edit, Proc, kSpinSubclassId, reinterpret_cast<DWORD_PTR>(self));
    self->arrows_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, self->arrowWidth_,
                                    Scaled(kArrowHeight, dpiScale), edit, nullptr, GetModuleHandleW(nullptr), nullptr);
    // The arrows never move their own position (each click is refused after
    // it is counted), so their limits never stop a click.
    SendMessageW(self->arrows_, UDM_SETRANGE32, static_cast<WPARAM>(-32768), 32767);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    self->SetMaxLength(rules.MaxLength);
    self->WriteText();
    self->Layout();
    return self;
}

void SpinEdit::Place(const RECT& pixels, double dpiScale, HFONT font) {
    arrowWidth_ = Scaled(kArrowWidth, dpiScale);
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowPos(edit_, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // An unchanged size sends no WM_SIZE: the arrows follow here.
    Layout();
}

SpinEdit* SpinEdit::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<SpinEdit*>(GetPropW(hwnd, kObjectProperty)) : nullptr;
}

std::int64_t SpinEdit::Value() {
    ReadText();
    std::int64_t v = rules_.Value();
    WriteText();
    return v;
}

void SpinEdit::SetValue(std::int64_t v) {
    rules_.SetValue(v);
    WriteText();
}

void SpinEdit::SetRange(std::int64_t minValue, std::int64_t maxValue) {
    rules_.MinValue = minValue;
    rules_.MaxValue = maxValue;
}

void SpinEdit::SetMaxLength(int maxLength) {
    rules_.MaxLength = maxLength;
    SendMessageW(edit_, EM_LIMITTEXT, static_cast<WPARAM>(std::max(maxLength, 0)), 0);
}

void SpinEdit::SetReadOnly(bool readOnly) { SendMessageW(edit_, EM_SETREADONLY, readOnly, 0); }

bool SpinEdit::ReadOnly() const { return (GetWindowLongW(edit_, GWL_STYLE) & ES_READONLY) != 0; }

void SpinEdit::Step(int direction) {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    ReadText();
    if (direction > 0) rules_.StepUp();
    else rules_.StepDown();
    WriteText();
}

void SpinEdit::ReadText() {
    int n = GetWindowTextLengthW(edit_);
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    w.resize(static_cast<std::size_t>(GetWindowTextW(edit_, w.data(), n + 1)));
    rules_.Text = Narrow(w);
}

// Writes only a changed text: an unchanged one keeps its caret and selection
// and sends no change notice.
void SpinEdit::WriteText() {
    std::string shown = rules_.Text;
    ReadText();
    if (rules_.Text != shown) SetWindowTextW(edit_, Widen(shown).c_str());
    rules_.Text = shown;
}

void SpinEdit::Repair() {
    ReadText();
    rules_.Repair();
    WriteText();
}

int SpinEdit::MinHeight() const {
    HDC dc = GetDC(nullptr);
    int own = FontTextHeight(dc, reinterpret_cast<HFONT>(SendMessageW(edit_, WM_GETFONT, 0, 0)));
    int system = FontTextHeight(dc, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    ReleaseDC(nullptr, dc);
    return own + std::min(own, system) / 4 + 4 * GetSystemMetrics(SM_CYBORDER) + 2;
}

// Keeps the field at least one line high, the arrows inside its right edge
// and the text clear of them.
void SpinEdit::Layout() {
    RECT outer;
    GetWindowRect(edit_, &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    if (height < MinHeight()) {
        SetWindowPos(edit_, nullptr, 0, 0, width, MinHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;  // the resize comes back here
    }
    if (arrows_)
        SetWindowPos(arrows_, nullptr, width - arrowWidth_ - 3, -1, arrowWidth_, height - 2,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(edit_, &client);
    RECT text{0, 0, client.right - arrowWidth_ - 1, client.bottom + 1};
    SendMessageW(edit_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&text));
}

LRESULT CALLBACK SpinEdit::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<SpinEdit*>(data);
    if (msg == WM_NCDESTROY) {
        CommonControls::RemoveSubclass(hwnd, Proc, kSpinSubclassId);
        RemovePropW(hwnd, kObjectProperty);
        delete self;
        return CommonControls::DefProc(hwnd, msg, wp, lp);
    }
    return GuardWindowProc(
        "spin edit procedure", msg, [&] { return self->Dispatch(msg, wp, lp); },
        [&] { return CommonControls::DefProc(hwnd, msg, wp, lp); });
}

LRESULT SpinEdit::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_GETDLGCODE:
            // A multi-line edit would take Tab, Enter and Esc from the dialog keys.
            return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        case WM_CHAR: return OnChar(msg, wp, lp);
        case WM_KEYDOWN:
            if (wp == VK_UP) Step(1);
            else if (wp == VK_DOWN) Step(-1);
            break;
        case WM_KEYUP: {
            LRESULT r = CommonControls::DefProc(edit_, msg, wp, lp);
            Repair();
            RepaintArrows();
            return r;
        }
        case WM_CUT:
        case WM_PASTE:
            if (!editorEnabled_ || ReadOnly()) return 0;
            break;
        case WM_KILLFOCUS: Repair(); break;
        case WM_PAINT: {
            LRESULT r = CommonControls::DefProc(edit_, msg, wp, lp);
            RepaintArrows();
            return r;
        }
        case WM_SETFOCUS: return OnSetFocus(msg, wp, lp);
        case WM_SIZE:
        case WM_SETFONT: {
            LRESULT r = CommonControls::DefProc(edit_, msg, wp, lp);
            Layout();
            return r;
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (hdr->hwndFrom == arrows_ && hdr->code == static_cast<UINT>(UDN_DELTAPOS)) {
                Step(reinterpret_cast<NMUPDOWN*>(lp)->iDelta > 0 ? 1 : -1);
                return TRUE;  // the arrows' own position stays where it is
            }
            break;
        }
    }
    return CommonControls::DefProc(edit_, msg, wp, lp);
}

LRESULT SpinEdit::OnChar(UINT msg, WPARAM wp, LPARAM lp) {
    if (!SpinValue::IsAllowedChar(static_cast<char32_t>(wp), editorEnabled_, DecimalSeparator())) {
        MessageBeep(0);
        return 0;
    }
    return CommonControls::DefProc(edit_, msg, wp, lp);
}

LRESULT SpinEdit::OnSetFocus(UINT msg, WPARAM wp, LPARAM lp) {
    // A click places the caret itself; only a keyboard arrival selects all.
    bool selectAll = autoSelect_ && !LeftButtonDownOn(edit_);
    LRESULT r = CommonControls::DefProc(edit_, msg, wp, lp);
    if (selectAll) SendMessageW(edit_, EM_SETSEL, 0, -1);
    RepaintArrows();
    return r;
}

// Some systems' edits (Wine's) paint their whole client, the arrows inside
// it included, when the focus comes or goes: the arrows are drawn again on top.
void SpinEdit::RepaintArrows() {
    if (arrows_) RedrawWindow(arrows_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

}  // namespace vesko
