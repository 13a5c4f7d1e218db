#include "WinUi.h"

#include <map>
#include <vector>

#include "base/Product.h"
#include "base/WinText_win.h"
#include "controls/Dpi_win.h"

namespace vesko {
namespace {

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &lf, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

}  // namespace

HFONT UiFontAt(int dpi) {
    static const wchar_t* const face = [] {
        // The window's designed face first; then faces that carry Japanese on
        // systems without it (later Windows, or Wine with the IPA fonts).
        const wchar_t* faces[] = {L"ＭＳ Ｐゴシック", L"MS PGothic", L"MS UI Gothic", L"Meiryo UI",
                                  L"Yu Gothic UI",    L"IPAPGothic", L"IPAGothic",    L"Tahoma"};
        for (const wchar_t* f : faces)
            if (FaceInstalled(f)) return f;
        return faces[0];
    }();
    static std::map<int, HFONT> fonts;
    HFONT& font = fonts[dpi];
    if (!font)
        font = CreateFontW(-ScaleToDpi(12, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
    return font;
}

HWND CreateControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, DWORD exStyle) {
    return CreateWindowExW(exStyle, cls, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void PlaceControl(HWND control, int dpi, int x, int y, int w, int h) {
    // Moved first: a control drawn at once in its new font would otherwise have
    // those bits carried to its new place, and only the newly bared strip drawn.
    MoveWindow(control, ScaleToDpi(x, dpi), ScaleToDpi(y, dpi), ScaleToDpi(w, dpi), ScaleToDpi(h, dpi), TRUE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(UiFontAt(dpi)), TRUE);
}

void* BoundObject(HWND hwnd, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        void* object = reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    return reinterpret_cast<void*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

namespace {
HWND g_dialogKeysWindow = nullptr;
}  // namespace

void SetDialogKeysWindow(HWND hwnd) { g_dialogKeysWindow = hwnd; }

bool DialogKeys(MSG& msg) {
    if (!g_dialogKeysWindow || !IsDialogMessageW(g_dialogKeysWindow, &msg)) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSCHAR)
        SendMessageW(g_dialogKeysWindow, kDialogKeyTaken, 0, 0);
    return true;
}

void SetText(HWND hwnd, const std::string& text) {
    std::wstring w = Widen(text);
    // Rewriting an unchanged label only makes it flicker.
    int n = GetWindowTextLengthW(hwnd);
    std::vector<wchar_t> cur(static_cast<std::size_t>(n) + 1);
    GetWindowTextW(hwnd, cur.data(), n + 1);
    if (w != std::wstring(cur.data())) SetWindowTextW(hwnd, w.c_str());
}

std::string GetText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::vector<wchar_t> buf(static_cast<std::size_t>(n) + 1);
    GetWindowTextW(hwnd, buf.data(), n + 1);
    return Narrow(buf.data());
}

void ShowErrorBox(HWND owner, const std::string& message) {
    MessageBoxW(owner, Widen(message).c_str(), Widen(kProductName).c_str(), MB_OK | MB_ICONERROR);
}

void ShowNoticeBox(HWND owner, const std::string& message) {
    MessageBoxW(owner, Widen(message).c_str(), Widen(kProductName).c_str(), MB_OK);
}

}  // namespace vesko
