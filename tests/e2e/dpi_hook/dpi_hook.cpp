// Set by the end-to-end driver as a message hook on the thread of vesko.exe's
// windows, so that it runs inside the program and measures the window's
// captions with the very fonts the window set on its controls (no other
// process can ask for them). "vesko.e2e.MeasureCaptions" posted to a window
// (wParam its DPI) writes "<this library>.<dpi>.txt", a line per captioned
// child: id, width needed, room, caption (UTF-8).
#include <windows.h>

#include <string>

namespace {

struct Report {
    int dpi;
    std::string text;
};

// The widest line of a caption in its control's font, and the room the
// control leaves it: a check box or radio button keeps its mark (13 px at
// 96 DPI) and the gap after it, a group box its caption gaps.
BOOL CALLBACK MeasureChild(HWND child, LPARAM lp) {
    auto& report = *reinterpret_cast<Report*>(lp);
    wchar_t cls[32] = {}, text[256] = {};
    GetClassNameW(child, cls, 32);
    const bool button = lstrcmpiW(cls, L"Button") == 0;
    if ((!button && lstrcmpiW(cls, L"Static") != 0) || !GetWindowTextW(child, text, 256) || !IsWindowVisible(child))
        return TRUE;
    const LONG kind = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
    RECT client;
    GetClientRect(child, &client);
    int room = client.right;
    if (button && (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON)) room -= MulDiv(13 + 3, report.dpi, 96);
    if (button && kind == BS_GROUPBOX) room -= 2 * MulDiv(8, report.dpi, 96);
    HDC dc = GetDC(child);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    int needed = 0;
    std::wstring all(text), line;
    for (std::size_t i = 0; i <= all.size(); ++i) {
        if (i < all.size() && all[i] != L'\n') {
            if (all[i] != L'\r' && !(button && all[i] == L'&')) line += all[i];  // "&" marks an access key
            continue;
        }
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        needed = size.cx > needed ? size.cx : needed;
        line.clear();
    }
    SelectObject(dc, old);
    ReleaseDC(child, dc);
    char utf8[768] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    report.text += std::to_string(GetDlgCtrlID(child)) + "\t" + std::to_string(needed) + "\t" + std::to_string(room) +
                   "\t" + utf8 + "\n";
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
    const std::wstring out = std::wstring(path) + L"." + std::to_wstring(dpi) + L".txt", partial = out + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, report.text.data(), static_cast<DWORD>(report.text.size()), &written, nullptr);
    CloseHandle(file);
    // Whole or not at all: the driver waits for the final name.
    MoveFileExW(partial.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK DpiHookProc(int code, WPARAM wp, LPARAM lp) {
    static const UINT measure = RegisterWindowMessageW(L"vesko.e2e.MeasureCaptions");
    MSG& m = *reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && m.message == measure && m.wParam > 0) {
        WriteReport(m.hwnd, static_cast<int>(m.wParam));
        m.message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
