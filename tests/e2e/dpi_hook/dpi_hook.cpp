// Set by the end-to-end driver as a message hook on the thread of vesko.exe's
// windows, so that it runs inside the program: Wine never moves a window to a
// monitor of another DPI, so this is how a running window receives the
// WM_DPICHANGED Windows would send, and how its captions are measured with
// the very fonts the window set on its controls.
//
// Posted to a window of the program:
//   "vesko.e2e.DpiChange"      wParam new DPI, lParam the old: sends WM_DPICHANGED with the
//                              window's rectangle scaled as Windows suggests it.
//   "vesko.e2e.MeasureCaptions" wParam the window's DPI: writes "<this library>.<dpi>.txt",
//                              a line per captioned child: id, needed width, room, caption (UTF-8).
#include <windows.h>

#include <string>

namespace {

struct Report {
    int dpi;
    std::string text;
};

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// The width a caption needs in its control's font, and the room the control
// leaves it: a check box or radio button gives its glyph (13 px at 96 DPI)
// and the gap after it; a group box its caption gaps on both sides.
BOOL CALLBACK MeasureChild(HWND child, LPARAM lp) {
    auto& report = *reinterpret_cast<Report*>(lp);
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    const bool button = lstrcmpiW(cls, L"Button") == 0, label = lstrcmpiW(cls, L"Static") == 0;
    if (!button && !label) return TRUE;
    wchar_t text[256] = {};
    const int length = GetWindowTextW(child, text, 256);
    if (length == 0 || !IsWindowVisible(child)) return TRUE;
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    const LONG kind = style & BS_TYPEMASK;
    const bool box = button && (kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX || kind == BS_AUTORADIOBUTTON ||
                                kind == BS_RADIOBUTTON);
    const bool group = button && kind == BS_GROUPBOX;
    const bool multiLine = label && (style & SS_LEFTNOWORDWRAP) != SS_LEFTNOWORDWRAP && wcschr(text, L'\n');
    RECT client;
    GetClientRect(child, &client);
    int room = client.right;
    if (box) room -= MulDiv(13 + 3, report.dpi, 96);
    if (group) room -= 2 * MulDiv(8, report.dpi, 96);
    HDC dc = GetDC(child);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    // The widest line; "&" marks an access key and takes no room.
    int needed = 0;
    std::wstring all(text, static_cast<std::size_t>(length));
    std::size_t start = 0;
    while (start <= all.size()) {
        std::size_t end = all.find(L'\n', start);
        if (end == std::wstring::npos) end = all.size();
        std::wstring line = all.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (button)
            for (std::size_t at = line.find(L'&'); at != std::wstring::npos; at = line.find(L'&', at + 1))
                line.erase(at, 1);
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        if (size.cx > needed) needed = size.cx;
        start = end + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(child, dc);
    (void)multiLine;
    report.text += std::to_string(GetDlgCtrlID(child)) + "\t" + std::to_string(needed) + "\t" + std::to_string(room) +
                   "\t" + Utf8(all) + "\n";
    return TRUE;
}

void WriteReport(HWND window, int dpi) {
    Report report{dpi, {}};
    EnumChildWindows(window, MeasureChild, reinterpret_cast<LPARAM>(&report));
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&WriteReport), &self);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    const std::wstring out = std::wstring(path) + L"." + std::to_wstring(dpi) + L".txt";
    const std::wstring partial = out + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, report.text.data(), static_cast<DWORD>(report.text.size()), &written, nullptr);
    CloseHandle(file);
    // Whole or not at all: the driver waits for the final name.
    MoveFileExW(partial.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void SendDpiChange(HWND window, int dpi, int oldDpi) {
    RECT r;
    GetWindowRect(window, &r);
    RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, oldDpi),
                   r.top + MulDiv(r.bottom - r.top, dpi, oldDpi)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK DpiHookProc(int code, WPARAM wp, LPARAM lp) {
    static const UINT change = RegisterWindowMessageW(L"vesko.e2e.DpiChange");
    static const UINT measure = RegisterWindowMessageW(L"vesko.e2e.MeasureCaptions");
    if (code == HC_ACTION && wp == PM_REMOVE) {
        MSG& m = *reinterpret_cast<MSG*>(lp);
        if (m.message == change && m.wParam > 0 && m.lParam > 0) {
            SendDpiChange(m.hwnd, static_cast<int>(m.wParam), static_cast<int>(m.lParam));
            m.message = WM_NULL;
        } else if (m.message == measure && m.wParam > 0) {
            WriteReport(m.hwnd, static_cast<int>(m.wParam));
            m.message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
