#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "base/ScopedWin.h"
#include "base/Trace_win.h"
#include "controls/Dpi_win.h"
#include "controls/UrlLink_win.h"
#include "base/WinText_win.h"

namespace vesko {
namespace {

constexpr wchar_t kLinkClass[] = L"TURLLink";  // registered class names: other programs find the windows by them
constexpr wchar_t kHintClass[] = L"TURLLinkHint";

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const std::wstring& face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    const ScopedWindowDC screen(nullptr);
    EnumFontFamiliesExW(screen.Get(), &lf, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// An HFONT for a LinkFont at a DPI, made again only when face, height,
// underline or DPI change (the colour is the device context's business). A
// face that is not installed, or none, takes the face of the base font: the
// one the label was given with WM_SETFONT like any control, which the program
// has already chosen to carry Japanese text.
class FontCache {
public:
    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    HFONT Get(HFONT base, const LinkFont& f, int dpi) {
        if (font_ && base == base_ && dpi == dpi_ && f.name == key_.name && f.height == key_.height &&
            f.underline == key_.underline)
            return font_.Get();
        LOGFONTW lf{};
        GetObjectW(base, sizeof lf, &lf);
        if (!f.name.empty()) {
            std::wstring face = Widen(f.name);
            if (FaceInstalled(face)) lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
        }
        if (f.height > 0) lf.lfHeight = -ScaleToDpi(f.height, dpi);
        lf.lfUnderline = f.underline ? TRUE : FALSE;
        HFONT made = CreateFontIndirectW(&lf);
        if (!made) return font_ ? font_.Get() : base;
        font_.Reset(made);
        base_ = base;
        dpi_ = dpi;
        key_ = f;
        return font_.Get();
    }

private:
    ScopedGdiObject<HFONT> font_;
    HFONT base_ = nullptr;
    int dpi_ = 0;
    LinkFont key_;
};

std::wstring TextOf(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::vector<wchar_t> buf(static_cast<std::size_t>(n) + 1);
    GetWindowTextW(hwnd, buf.data(), n + 1);
    return buf.data();
}

class WinUrlLink final : public UrlLinkHost {
public:
    explicit WinUrlLink(HWND hwnd) : hwnd_(hwnd), dpi_(WindowDpi(hwnd)), link_(*this) {}
    ~WinUrlLink() override {
        if (hint_) DestroyWindow(hint_);
    }

    UrlLink& Link() { return link_; }
    void SetDpi(int dpi) {
        if (dpi == dpi_) return;
        dpi_ = dpi;
        Invalidate();
    }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void PaintHint(HWND hint);

    void Invalidate() override { InvalidateRect(hwnd_, nullptr, TRUE); }

    LinkPoint CursorPos() override {
        POINT p{};
        GetCursorPos(&p);
        return {p.x, p.y};
    }

    LinkSize TextExtent(const LinkFont& font, const std::string& text) override {
        const ScopedWindowDC window(hwnd_);
        const HDC dc = window.Get();
        const ScopedSelect selected(dc, hintFont_.Get(BaseFont(), font, dpi_));
        std::wstring w = Widen(text);
        SIZE size{};
        GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
        // The height of the font, also for an empty text.
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        return {size.cx, tm.tmHeight};
    }

    void ShowHint(const HintWindowSetup& setup) override {
        if (!hint_) return;
        hintSetup_ = setup;
        SetWindowPos(hint_, HWND_TOPMOST, setup.left, setup.top, setup.width, setup.height, SWP_NOACTIVATE);
        ShowWindow(hint_, SW_SHOWNA);
        InvalidateRect(hint_, nullptr, TRUE);
        UpdateWindow(hint_);
    }

    void HideHint() override {
        if (hint_) ShowWindow(hint_, SW_HIDE);
    }

    void ShellOpen(const std::string& target) override {
        ShellExecuteW(nullptr, L"open", Widen(target).c_str(), L"", L"", SW_SHOW);
    }

private:
    void Paint();
    void EraseBackground(HDC dc);
    HFONT BaseFont() const {
        if (baseFont_) return baseFont_;
        HWND parent = GetParent(hwnd_);
        HFONT f = parent ? reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
        return f ? f : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }

    HWND hwnd_;
    HWND hint_ = nullptr;
    HFONT baseFont_ = nullptr;  // not owned
    int dpi_;
    bool tracking_ = false;
    HintWindowSetup hintSetup_;
    FontCache labelFont_;
    FontCache hintFont_;
    UrlLink link_;
};

WinUrlLink* LinkWindow(HWND hwnd) { return reinterpret_cast<WinUrlLink*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

LRESULT HintMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
            break;
        case WM_PAINT:
            if (auto* owner = LinkWindow(hwnd)) {
                owner->PaintHint(hwnd);
                return 0;
            }
            break;
        case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_NCHITTEST: return HTTRANSPARENT;  // the hint never takes the mouse from what lies below
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK HintProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return GuardWindowProc(
        "link hint procedure", msg, [&] { return HintMessage(hwnd, msg, wp, lp); },
        [&] { return DefWindowProcW(hwnd, msg, wp, lp); });
}

LRESULT LinkMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new WinUrlLink(hwnd)));
    WinUrlLink* self = LinkWindow(hwnd);
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete self;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    return self->HandleMessage(msg, wp, lp);
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return GuardWindowProc(
        "link procedure", msg, [&] { return LinkMessage(hwnd, msg, wp, lp); },
        [&] { return DefWindowProcW(hwnd, msg, wp, lp); });
}

LRESULT WinUrlLink::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            // Owned by the window the label sits on: an unowned popup gets a
            // taskbar button from some shells even as a tool window.
            hint_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kHintClass, L"", WS_POPUP, 0,
                                    0, 0, 0, GetAncestor(hwnd_, GA_ROOT), nullptr, GetModuleHandleW(nullptr), this);
            return 0;
        case WM_DESTROY:
            if (hint_) DestroyWindow(hint_);
            hint_ = nullptr;
            return 0;
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: EraseBackground(reinterpret_cast<HDC>(wp)); return 1;
        case WM_SETFONT:
            baseFont_ = reinterpret_cast<HFONT>(wp);
            if (LOWORD(lp)) Invalidate();
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(baseFont_);
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
            Invalidate();
            return r;
        }
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd_, 0};
                tracking_ = TrackMouseEvent(&tme) != FALSE;
                link_.MouseEnter();
            }
            link_.MouseMove();
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            link_.MouseLeave();
            return 0;
        case WM_LBUTTONDOWN: link_.MouseDown(MouseButton::Left); return 0;
        case WM_RBUTTONDOWN: link_.MouseDown(MouseButton::Right); return 0;
        case WM_MBUTTONDOWN: link_.MouseDown(MouseButton::Middle); return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void WinUrlLink::EraseBackground(HDC dc) {
    // Transparent on its parent: the brush a static control would get.
    RECT rc;
    GetClientRect(hwnd_, &rc);
    HWND parent = GetParent(hwnd_);
    HBRUSH brush = parent
                       ? reinterpret_cast<HBRUSH>(SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(hwnd_)))
                       : nullptr;
    FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

void WinUrlLink::Paint() {
    const ScopedPaint paint(hwnd_);
    const HDC dc = paint.Get();
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const ScopedSelect selected(dc, labelFont_.Get(BaseFont(), link_.Font(), dpi_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(link_.Font().color));
    std::wstring caption = TextOf(hwnd_);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rc,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void WinUrlLink::PaintHint(HWND hint) {
    const ScopedPaint paint(hint);
    const HDC dc = paint.Get();
    RECT rc;
    GetClientRect(hint, &rc);
    {
        const ScopedGdiObject<HBRUSH> back(CreateSolidBrush(ToColorRef(hintSetup_.color)));
        FillRect(dc, &rc, back.Get());
    }
    const ScopedSelect selected(dc, hintFont_.Get(BaseFont(), hintSetup_.font, dpi_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(hintSetup_.font.color));
    std::wstring text = Widen(hintSetup_.text);
    TextOutW(dc, kHintTextX, kHintTextY, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

const wchar_t* UrlLinkClassName() {
    static const bool registered = [] {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW link{};
        link.cbSize = sizeof link;
        link.lpfnWndProc = LinkProc;
        link.hInstance = instance;
        link.hCursor = LoadCursorW(nullptr, IDC_HAND);
        link.lpszClassName = kLinkClass;
        WNDCLASSEXW hint{};
        hint.cbSize = sizeof hint;
        hint.lpfnWndProc = HintProc;
        hint.hInstance = instance;
        hint.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        hint.lpszClassName = kHintClass;
        return RegisterClassExW(&link) != 0 && RegisterClassExW(&hint) != 0;
    }();
    (void)registered;
    return kLinkClass;
}

namespace {

WinUrlLink* OwnLinkWindow(HWND hwnd) {
    if (!hwnd) return nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (pid != GetCurrentProcessId() || lstrcmpW(cls, kLinkClass) != 0) return nullptr;
    return LinkWindow(hwnd);
}

}  // namespace

UrlLink* UrlLinkOf(HWND hwnd) {
    WinUrlLink* w = OwnLinkWindow(hwnd);
    return w ? &w->Link() : nullptr;
}

void SetUrlLinkDpi(HWND hwnd, int dpi) {
    if (WinUrlLink* w = OwnLinkWindow(hwnd)) w->SetDpi(dpi);
}

COLORREF ToColorRef(Color color) {
    if (color & kSystemColorFlag) return GetSysColor(static_cast<int>(color & 0xFFu));
    return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

}  // namespace vesko
