#include "AboutBox.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "ui/ControlIds.h"
#include "WinUi.h"
#include "controls/CommonControls_win.h"
#include "controls/UrlLink_win.h"
#include "base/Product.h"
#include "base/WinText_win.h"
#include "VeskoVersion.h"

namespace vesko {
namespace {

constexpr const char* kWebAddress = "https://vesko.example/";
constexpr const char* kMailAddress = "help@vesko.example";
constexpr const char* kNotice = VESKO_COPYRIGHT;
constexpr const char* kComments =
    "サポートはホームページ上のBBSまたはE-Mailで行っております。なるべくBBSの方をご利用下さい。";
constexpr const char* kFace = "ＭＳ Ｐゴシック";

// The About picture as drawn for 96, 144 and 192 DPI.
struct Picture {
    int size;
    const wchar_t* resource;
};
constexpr Picture kPictures[] = {{48, L"ABOUTBMP"}, {72, L"ABOUTBMP72"}, {96, L"ABOUTBMP96"}};

HWND MakeLink(HWND parent, const char* address, UrlKind type, int id) {
    HWND hwnd = CreateControl(parent, UrlLinkClassName(), address, 0, id);
    if (UrlLink* link = UrlLinkOf(hwnd)) {
        link->SetFont({kFace, 12, kBlue, true});
        link->SetLinkColor(kRed);
        link->SetHintFormFont({kFace, 12, kWindowTextColor, false});
        link->SetKind(type);
        link->SetLink(address);
    }
    return hwnd;
}

// The labels were laid out for the designed face; a substitute face may run
// wider or taller, and a label then grows to its text rather than cut off
// letters or an underline: a one-line label to the right and down, a
// word-wrapped one only downwards.
void GrowToText(HWND label, HFONT font, bool wrapped) {
    int n = GetWindowTextLengthW(label);
    if (n <= 0) return;
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(label, text.data(), n + 1);
    RECT r;
    GetWindowRect(label, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    RECT need{0, 0, wrapped ? w : 0, 0};
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, text.c_str(), n, &need, DT_CALCRECT | DT_NOPREFIX | (wrapped ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    const int newW = wrapped ? w : std::max(w, static_cast<int>(need.right));
    const int newH = std::max(h, static_cast<int>(need.bottom));
    if (newW != w || newH != h)
        SetWindowPos(label, nullptr, 0, 0, newW, newH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

AboutBox::~AboutBox() {
    if (picture_) DeleteObject(picture_);
}

bool AboutBox::Create(HINSTANCE instance) {
    CommonControls::Load();
    if (!CreateWindowFor(instance, {VESKO_CLASS_ABOUT, "バージョン情報", 296, 170, WS_EX_DLGMODALFRAME})) return false;
    CenterOnScreen();
    return true;
}

void AboutBox::CreateControls() {
    // The OK button first: it is first in the tab order and has the focus.
    OKButton = CreateControl(hwnd_, L"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, ids::AboutOKButton);
    ProgramIcon = CreateControl(hwnd_, L"STATIC", "", SS_OWNERDRAW, ids::AboutProgramIcon);
    ProductName = CreateControl(hwnd_, L"STATIC", kProductName, SS_LEFT | SS_NOPREFIX, ids::AboutProductName);
    Version = CreateControl(hwnd_, L"STATIC", "ver " VESKO_VERSION, SS_LEFT | SS_NOPREFIX, ids::AboutVersion);
    Copyright = CreateControl(hwnd_, L"STATIC", kNotice, SS_LEFT | SS_NOPREFIX, ids::AboutCopyright);
    // SS_LEFT wraps its text within the frame.
    Comments = CreateControl(hwnd_, L"STATIC", kComments, SS_LEFT | SS_NOPREFIX, ids::AboutComments);
    WebLink = MakeLink(hwnd_, kWebAddress, UrlKind::Web, ids::AboutUrlLink);
    MailLink = MakeLink(hwnd_, kMailAddress, UrlKind::Mail, ids::AboutMailLink);
    PlaceControls();
}

void AboutBox::PlaceControls() {
    const int dpi = Dpi();
    PlaceControl(OKButton, dpi, 111, 140, 75, 25);
    PlaceControl(ProgramIcon, dpi, 16, 16, 49, 49);
    PlaceControl(ProductName, dpi, 88, 24, 81, 12);
    PlaceControl(Version, dpi, 184, 24, 40, 12);
    PlaceControl(Copyright, dpi, 72, 48, 218, 12);
    PlaceControl(Comments, dpi, 24, 80, 250, 36);
    for (HWND link : {WebLink, MailLink}) SetUrlLinkDpi(link, dpi);
    PlaceControl(WebLink, dpi, 24, 120, 123, 12);
    PlaceControl(MailLink, dpi, 160, 120, 105, 12);
    // Grown from the designed frames each time, so that a box made at a DPI
    // and one moved to it look alike.
    for (HWND label : {ProductName, Version, Copyright, WebLink, MailLink}) GrowToText(label, Font(), false);
    GrowToText(Comments, Font(), true);
    LoadPicture();
}

void AboutBox::LoadPicture() {
    const int want = Px(49);  // the frame's side
    const Picture* best = &kPictures[0];
    for (const Picture& p : kPictures)
        if (std::abs(p.size - want) < std::abs(best->size - want)) best = &p;
    if (picture_ && best->size == pictureSize_) return;
    HBITMAP loaded = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), best->resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) return;  // the picture there is, stretched
    if (picture_) DeleteObject(picture_);
    picture_ = loaded;
    pictureSize_ = best->size;
    InvalidateRect(ProgramIcon, nullptr, FALSE);
}

LRESULT AboutBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case ids::AboutOKButton:
                case IDOK: EndModal(); return 0;
                case IDCANCEL:  // Esc
                    EndModal();
                    return 0;
            }
            break;
        case WM_CLOSE: EndModal(); return 0;
        case DM_GETDEFID:
            // Enter presses OK wherever the focus is.
            return MAKELRESULT(ids::AboutOKButton, DC_HASDEFID);
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item->CtlID == static_cast<UINT>(ids::AboutProgramIcon)) {
                DrawPicture(*item);
                return TRUE;
            }
            break;
        }
    }
    return Window::HandleMessage(msg, wp, lp);
}

void AboutBox::DrawPicture(const DRAWITEMSTRUCT& item) {
    const RECT& r = item.rcItem;
    if (!picture_) {
        FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    BITMAP bm{};
    GetObjectW(picture_, sizeof bm, &bm);
    HDC src = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(src, picture_);
    // The picture nearest in size stretched to its frame.
    SetStretchBltMode(item.hDC, HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, src, 0, 0, bm.bmWidth, bm.bmHeight,
               SRCCOPY);
    SelectObject(src, old);
    DeleteDC(src);
}

void AboutBox::EndModal() {
    if (modal_) {
        closed_ = true;
    } else {
        ShowWindow(hwnd_, SW_HIDE);
    }
}

void AboutBox::ShowModal(HWND owner) {
    if (!hwnd_ && !Create(GetModuleHandleW(nullptr))) return;
    if (modal_) {
        // Opened again from the tray menu while it is up: one box only.
        SetForegroundWindow(hwnd_);
        return;
    }
    modal_ = true;
    closed_ = false;
    CenterOnScreen();
    RunModal(owner, OKButton, closed_);
    modal_ = false;
}

}  // namespace vesko
