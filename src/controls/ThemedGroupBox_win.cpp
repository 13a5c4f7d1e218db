#include "controls/ThemedGroupBox_win.h"

#include <commctrl.h>

#include "controls/GroupBoxGeometry.h"
#include "base/Trace_win.h"
#include "base/SystemLibrary_win.h"
#include "base/WinText_win.h"
#include "controls/CommonControls_win.h"

namespace vesko {
namespace {

using Theme = HANDLE;
constexpr int kGroupBoxPart = 4;
constexpr int kStateNormal = 1;
constexpr int kStateDisabled = 2;
constexpr UINT_PTR kGroupBoxSubclassId = 0x67627831;

// The eight entry points the group box uses, looked up once per process.
// A missing library or entry point leaves the table incomplete, which means
// plain painting everywhere.
struct ThemeLibrary {
    using OpenFn = Theme(WINAPI*)(HWND, LPCWSTR);
    using CloseFn = HRESULT(WINAPI*)(Theme);
    using BoolFn = BOOL(WINAPI*)();
    using ExtentFn = HRESULT(WINAPI*)(Theme, HDC, int, int, LPCWSTR, int, DWORD, const RECT*, RECT*);
    using BackgroundFn = HRESULT(WINAPI*)(Theme, HDC, int, int, const RECT*, const RECT*);
    using TextFn = HRESULT(WINAPI*)(Theme, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
    using ParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);

    HMODULE module = nullptr;
    OpenFn open = nullptr;
    CloseFn close = nullptr;
    BoolFn isThemeActive = nullptr;
    BoolFn isAppThemed = nullptr;
    ExtentFn textExtent = nullptr;
    BackgroundFn background = nullptr;
    TextFn text = nullptr;
    ParentBackgroundFn parentBackground = nullptr;

    bool Complete() const {
        return module && open && close && isThemeActive && isAppThemed && textExtent && background && text &&
               parentBackground;
    }
    bool Active() const { return Complete() && isThemeActive() && isAppThemed(); }
};

template <typename Fn>
void Resolve(HMODULE module, Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const ThemeLibrary& Library() {
    static const ThemeLibrary lib = [] {
        ThemeLibrary l;
        l.module = LoadSystemLibrary(L"uxtheme.dll");
        if (!l.module) return l;
        Resolve(l.module, l.open, "OpenThemeData");
        Resolve(l.module, l.close, "CloseThemeData");
        Resolve(l.module, l.isThemeActive, "IsThemeActive");
        Resolve(l.module, l.isAppThemed, "IsAppThemed");
        Resolve(l.module, l.textExtent, "GetThemeTextExtent");
        Resolve(l.module, l.background, "DrawThemeBackground");
        Resolve(l.module, l.text, "DrawThemeText");
        Resolve(l.module, l.parentBackground, "DrawThemeParentBackground");
        return l;
    }();
    return lib;
}

struct BoxState {
    Theme theme = nullptr;

    void Open(HWND hwnd) {
        Close();
        if (Library().Complete()) theme = Library().open(hwnd, L"BUTTON");
    }
    void Close() {
        if (theme && Library().Complete()) Library().close(theme);
        theme = nullptr;
    }
    bool Themed() const { return theme && Library().Active(); }
};

// The parent's static-control brush, asked the way a static child asks.
HBRUSH ParentStaticBrush(HWND hwnd, HDC dc) {
    return reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
}

void FillWithParentBrush(HWND hwnd, HDC dc) {
    RECT client;
    GetClientRect(hwnd, &client);
    if (HBRUSH brush = ParentStaticBrush(hwnd, dc)) FillRect(dc, &client, brush);
}

// The visual-style paint; false when a measuring call fails before anything
// was drawn, so that the caller paints the plain box instead.
bool PaintThemed(HWND hwnd, const BoxState& box, HDC dc) {
    const ThemeLibrary& lib = Library();
    const int state = IsWindowEnabled(hwnd) ? kStateNormal : kStateDisabled;
    const bool rtl = (GetWindowLongW(hwnd, GWL_EXSTYLE) & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) != 0;
    const DWORD flags = DT_SINGLELINE | DT_CENTER | (rtl ? DT_RTLREADING : 0);
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, caption.data(), static_cast<int>(caption.size()))));

    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    RECT digit{}, text{};
    bool measured = SUCCEEDED(lib.textExtent(box.theme, dc, kGroupBoxPart, state, L"0", -1, flags, nullptr, &digit)) &&
                    (caption.empty() || SUCCEEDED(lib.textExtent(box.theme, dc, kGroupBoxPart, state, caption.c_str(),
                                                                 -1, flags, nullptr, &text)));
    if (measured) {
        RECT client;
        GetClientRect(hwnd, &client);
        GroupBoxGeometry g = GroupBoxLayout(client.right, client.bottom, digit.bottom, caption.empty() ? 0 : text.right,
                                            caption.empty(), rtl);
        RECT frame{g.frame.left, g.frame.top, g.frame.right, g.frame.bottom};
        RECT label{g.caption.left, g.caption.top, g.caption.right, g.caption.bottom};
        FillWithParentBrush(hwnd, dc);
        int saved = SaveDC(dc);
        ExcludeClipRect(dc, label.left, label.top, label.right, label.bottom);
        bool framed = SUCCEEDED(lib.background(box.theme, dc, kGroupBoxPart, state, &frame, nullptr));
        RestoreDC(dc, saved);
        if (!framed) measured = false;
        else lib.text(box.theme, dc, kGroupBoxPart, state, caption.c_str(), -1, flags, 0, &label);
    }
    SelectObject(dc, oldFont);
    return measured;
}

// A failing theme call falls back to the plain box for this paint.
void PaintThemedOrPlain(HWND hwnd, BoxState& box) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!PaintThemed(hwnd, box, dc))
        CommonControls::DefProc(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data);

LRESULT BoxMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR data) {
    auto* box = reinterpret_cast<BoxState*>(data);
    switch (msg) {
        case WM_PAINT:
            if (!box->Themed() || !GetParent(hwnd)) break;  // the plain box paints itself
            PaintThemedOrPlain(hwnd, *box);
            return 0;
        case WM_ERASEBKGND:
            if (box->Themed()) FillWithParentBrush(hwnd, reinterpret_cast<HDC>(wp));
            else CommonControls::DefProc(hwnd, msg, wp, lp);
            return 1;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            LRESULT brush = 0;
            if (box->Themed() && ThemedGroupBox::ChildColor(msg, wp, lp, &brush)) return brush;
            break;
        }
        case WM_THEMECHANGED:
            box->Open(hwnd);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); break;
        case WM_NCDESTROY:
            box->Close();
            CommonControls::RemoveSubclass(hwnd, BoxProc, kGroupBoxSubclassId);
            delete box;
            return CommonControls::DefProc(hwnd, msg, wp, lp);
    }
    return CommonControls::DefProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    return GuardWindowProc(
        "group box procedure", msg, [&] { return BoxMessage(hwnd, msg, wp, lp, data); },
        [&] { return CommonControls::DefProc(hwnd, msg, wp, lp); });
}

}  // namespace

bool ThemedGroupBox::StylesActive() { return Library().Active(); }

HWND ThemedGroupBox::Create(HWND parent, const std::string& caption, int id, const RECT& pixels, HFONT font) {
    // Clipped by its siblings, so that its own paint never covers the
    // controls drawn over it.
    HWND hwnd =
        CreateWindowExW(0, L"BUTTON", Widen(caption).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX,
                        pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return nullptr;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    auto* box = new BoxState;
    box->Open(hwnd);
    CommonControls::SetSubclass(hwnd, BoxProc, kGroupBoxSubclassId, reinterpret_cast<DWORD_PTR>(box));
    return hwnd;
}

bool ThemedGroupBox::ChildColor(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if ((msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN) || !Library().Active()) return false;
    // Only buttons (check boxes, radio buttons, group boxes) and labels: a
    // read-only or disabled edit asks the same question but keeps its face.
    HWND child = reinterpret_cast<HWND>(lp);
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    if (lstrcmpiW(cls, L"Button") != 0 && lstrcmpiW(cls, L"Static") != 0) return false;
    HDC dc = reinterpret_cast<HDC>(wp);
    Library().parentBackground(child, dc, nullptr);
    SetBkMode(dc, TRANSPARENT);
    *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return true;
}

}  // namespace vesko
