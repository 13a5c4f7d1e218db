#include "Harness.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shellapi.h>

#include "base/WinText_win.h"

namespace e2e {

std::wstring HostPath(const char* unixPath) {
    std::wstring w = L"Z:" + Wide(unixPath);
    for (wchar_t& c : w)
        if (c == L'/') c = L'\\';
    return w;
}

namespace {
constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";  // where Wine reads the session's DPI
}  // namespace

void SendDpiChange(const Process& p, HWND window, SIZE client96, int dpi) {
    RECT w, c;
    GetWindowRect(window, &w);
    GetClientRect(window, &c);
    const RECT suggested{w.left, w.top, w.right - c.right + MulDiv(client96.cx, dpi, 96),
                         w.bottom - c.bottom + MulDiv(client96.cy, dpi, 96)};
    void* remote = VirtualAllocEx(p.handle, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return;
    if (WriteProcessMemory(p.handle, remote, &suggested, sizeof suggested, nullptr))
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(p.handle, remote, 0, MEM_RELEASE);
}

SessionDpi::SessionDpi(int dpi) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    DWORD size = sizeof before_, type = 0;
    had_ = RegQueryValueExW(key, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&before_), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
    const DWORD value = static_cast<DWORD>(dpi);
    set_ = RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
    RegCloseKey(key);
}

void SessionDpi::Restore() {
    HKEY key;
    if (!set_ || RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    set_ = false;
    if (had_) RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before_), sizeof before_);
    else RegDeleteValueW(key, L"LogPixels");
    RegCloseKey(key);
}

namespace {

std::wstring Quote(const std::wstring& s) { return L"\"" + s + L"\""; }

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = dir + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + L"\\");
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

Process Launch(const std::wstring& exe, const std::vector<std::wstring>& args, const std::wstring& dir) {
    std::wstring cmd = Quote(exe);
    for (const std::wstring& a : args) cmd += L" " + a;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    Process p;
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        p.handle = pi.hProcess;
        p.pid = pi.dwProcessId;
    }
    return p;
}

struct FindCtx {
    DWORD pid;
    const wchar_t* cls;
    bool visible;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
    auto* ctx = reinterpret_cast<FindCtx*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ctx->pid) return TRUE;
    wchar_t cls[128];
    GetClassNameW(hwnd, cls, 128);
    if (lstrcmpW(cls, ctx->cls) != 0) return TRUE;
    if (ctx->visible && !IsWindowVisible(hwnd)) return TRUE;
    ctx->found = hwnd;
    return FALSE;
}

bool OpensForWriting(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

// Under Wine a root user writes read-only files anyway, as Unix lets root do;
// the immutable flag makes the file refuse writes as Windows would.
void SetImmutable(const std::wstring& path, bool on) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!toUnix) return;
    char* unixPath = toUnix(path.c_str());
    if (!unixPath) return;
    std::wstring cmd = L"chattr " + std::wstring(on ? L"+i" : L"-i") + L" \"" + Wide(unixPath) + L"\"";
    HeapFree(GetProcessHeap(), 0, unixPath);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(L"Z:\\usr\\bin\\chattr", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // The Unix program runs on its own; wait until the file answers as asked.
    WaitUntil([&] { return OpensForWriting(path) != on; }, 5000);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
}

bool Process::Running() const { return handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::WaitExit(DWORD timeoutMs) const {
    if (!handle || WaitForSingleObject(handle, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(handle, &code);
    return code;
}

Sandbox::Sandbox(const std::wstring& nameTail) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    dir_ = std::wstring(temp) + L"vesko-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount()) + nameTail + L"\\";
    CreateDirectoryW(dir_.c_str(), nullptr);
    CopyFileW(HostPath(VESKO_EXE_PATH).c_str(), ExePath().c_str(), FALSE);
    CopyFileW(HostPath(VESKO_HELP_PATH).c_str(), PathOf(L"index.htm").c_str(), FALSE);
}

Sandbox::~Sandbox() {
    EndAll();
    for (const std::wstring& path : readOnly_)
        if (!OpensForWriting(path)) SetImmutable(path, false);
    RemoveTree(dir_);
}

Process Sandbox::Start(const std::vector<std::wstring>& args) {
    Process p = Launch(ExePath(), args, dir_);
    if (p.handle) started_.push_back(p);
    return p;
}

Process Sandbox::StartAs(const std::wstring& exeName, const std::vector<std::wstring>& args) {
    CopyFileW(ExePath().c_str(), PathOf(exeName).c_str(), FALSE);
    Process p = Launch(PathOf(exeName), args, dir_);
    if (p.handle) started_.push_back(p);
    return p;
}

void Sandbox::PlaceMarkerLibrary(const std::wstring& name) const {
    CopyFileW(HostPath(VESKO_MARKER_PATH).c_str(), PathOf(name).c_str(), FALSE);
}

std::vector<std::wstring> Sandbox::FilesEndingWith(const std::wstring& suffix) const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir_ + L"*" + suffix).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(fd.cFileName);
    while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

std::wstring Sandbox::PlaceHelper(const std::wstring& name) const {
    CopyFileW(HostPath(VESKO_SLEEPER_PATH).c_str(), PathOf(name).c_str(), FALSE);
    return PathOf(name);
}

Process Sandbox::StartHelper(const std::wstring& name, const std::vector<std::wstring>& args) {
    Process p = Launch(PlaceHelper(name), args, dir_);
    if (p.handle) started_.push_back(p);
    return p;
}

void Sandbox::EndAll() {
    for (Process& p : started_) {
        if (p.Running()) {
            TerminateProcess(p.handle, 1);
            WaitForSingleObject(p.handle, 5000);
        }
        CloseHandle(p.handle);
    }
    started_.clear();
}

std::optional<std::string> Sandbox::ReadBytes(const std::wstring& name) const {
    HANDLE h = CreateFileW(PathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(h);
    return bytes;
}

std::optional<std::string> Sandbox::ReadText(const std::wstring& name) const {
    auto bytes = ReadBytes(name);
    if (!bytes) return std::nullopt;
    return FromAnsi(*bytes);
}

void Sandbox::WriteBytes(const std::wstring& name, const std::string& bytes) const {
    HANDLE h = CreateFileW(PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
}

void Sandbox::WriteText(const std::wstring& name, const std::string& utf8) const { WriteBytes(name, ToAnsi(utf8)); }

bool Sandbox::Exists(const std::wstring& name) const {
    return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Sandbox::SetReadOnly(const std::wstring& name, bool readOnly) {
    std::wstring path = PathOf(name);
    if (readOnly) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        if (OpensForWriting(path)) SetImmutable(path, true);
        readOnly_.push_back(path);
    } else {
        SetImmutable(path, false);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

HWND FindProcessWindow(DWORD pid, const wchar_t* className, bool mustBeVisible) {
    FindCtx ctx{pid, className, mustBeVisible, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND WaitForWindow(DWORD pid, const wchar_t* className, bool mustBeVisible, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(pid, className, mustBeVisible)) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs) { return WaitForWindow(pid, L"#32770", true, timeoutMs); }

std::string MessageBoxText(HWND box) {
    // The message is the box's static control with id 0xFFFF.
    return ControlText(box, 0xFFFF);
}

std::string WindowTitle(HWND hwnd) {
    wchar_t buf[1024];
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, nullptr);
    return Utf8(buf);
}

void AnswerMessageBox(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (button) PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    else PostMessageW(box, WM_COMMAND, buttonId, 0);
}

std::string ControlText(HWND parent, int id) {
    HWND c = GetDlgItem(parent, id);
    if (!c) return "<no control " + std::to_string(id) + ">";
    wchar_t buf[4096] = {};
    DWORD_PTR len = 0;
    SendMessageTimeoutW(c, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &len);
    return Utf8(buf);
}

COLORREF Screen::At(int x, int y) const {
    int w = area.right - area.left;
    return pixels[static_cast<std::size_t>((y - area.top) * w + (x - area.left))];
}

Screen CaptureScreen(const RECT& area) {
    Screen shot;
    shot.area = area;
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return shot;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && bits) {
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
        SelectObject(mem, old);
        GdiFlush();
        const auto* px = static_cast<const BYTE*>(bits);
        shot.pixels.resize(static_cast<std::size_t>(w) * h);
        for (std::size_t i = 0; i < shot.pixels.size(); ++i)
            shot.pixels[i] = RGB(px[i * 4 + 2], px[i * 4 + 1], px[i * 4]);
    }
    if (bmp) DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return shot;
}

namespace {

struct TipSearch {
    DWORD ownPid;
    HWND found;
};

BOOL CALLBACK FindShellTip(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<TipSearch*>(lp);
    wchar_t cls[64];
    GetClassNameW(hwnd, cls, 64);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->ownPid && lstrcmpW(cls, L"tooltips_class32") == 0 && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The tip comes up a moment after the pointer came to rest on the icon.
HWND WaitForShellTip(DWORD programPid, DWORD timeoutMs) {
    TipSearch search{programPid, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(FindShellTip, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

}  // namespace

void PopShellToolTips(DWORD programPid) {
    if (HWND tip = WaitForShellTip(programPid, 2500)) ShowWindow(tip, SW_HIDE);
}

std::string ShellToolTipText(DWORD programPid) {
    HWND tip = WaitForShellTip(programPid, 5000);
    return tip ? WindowTitle(tip) : std::string();
}

std::vector<std::string> ShellTipLines(DWORD programPid, POINT iconCentre) {
    // Away first, so that the rest on the icon brings a fresh tip.
    SetCursorPos(iconCentre.x - 300, iconCentre.y - 300);
    Sleep(700);
    SetCursorPos(iconCentre.x - 1, iconCentre.y);
    Sleep(100);
    SetCursorPos(iconCentre.x, iconCentre.y);
    std::string text = ShellToolTipText(programPid);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = text.find_first_not_of("\r\n", end);
        if (start == std::string::npos) break;
    }
    return lines;
}

bool EndsWithTimeSince(const std::string& text, const SYSTEMTIME& from) {
    auto ticks = [](const SYSTEMTIME& st) {
        FILETIME ft;
        SystemTimeToFileTime(&st, &ft);
        return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) / 10000000 * 10000000;
    };
    SYSTEMTIME now;
    GetLocalTime(&now);
    for (ULONGLONG t = ticks(from) - 10000000; t <= ticks(now); t += 10000000) {
        FILETIME ft{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
        SYSTEMTIME st;
        FileTimeToSystemTime(&ft, &st);
        wchar_t buf[128];
        const int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, 128);
        if (n <= 1) continue;
        const std::string time = Utf8(std::wstring(buf, static_cast<std::size_t>(n - 1)));
        if (text.size() >= time.size() && text.compare(text.size() - time.size(), time.size(), time) == 0) return true;
    }
    return false;
}

std::wstring SaveScreenshot(const std::wstring& name) {
    RECT all{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Screen shot = CaptureScreen(all);
    std::wstring dir = HostPath(VESKO_SHOT_DIR);
    CreateDirectoryW(dir.c_str(), nullptr);
    std::wstring path = dir + L"\\" + name + L".bmp";
    int w = all.right, h = all.bottom;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = -h;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    DWORD dataSize = static_cast<DWORD>(w) * h * 4;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + dataSize;
    std::string data(dataSize, '\0');
    for (std::size_t i = 0; i < shot.pixels.size(); ++i) {
        data[i * 4] = static_cast<char>(GetBValue(shot.pixels[i]));
        data[i * 4 + 1] = static_cast<char>(GetGValue(shot.pixels[i]));
        data[i * 4 + 2] = static_cast<char>(GetRValue(shot.pixels[i]));
    }
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return L"";
    DWORD put = 0;
    WriteFile(f, &fh, sizeof fh, &put, nullptr);
    WriteFile(f, &ih, sizeof ih, &put, nullptr);
    WriteFile(f, data.data(), dataSize, &put, nullptr);
    CloseHandle(f);
    return path;
}

TrayLook WaitForLook(TrayLook expected, DWORD timeoutMs) {
    TrayLook seen = TrayLook::None;
    WaitUntil([&] { return (seen = LookAtTray().look) == expected; }, timeoutMs);
    return seen;
}

TraySpot LookAtTray() {
    TraySpot spot;
    HWND bar = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT r{};
    if (!bar || !GetWindowRect(bar, &r)) return spot;
    // A pointer left resting on the bar by an earlier click brings up a tip
    // that covers the icon; it is moved off the bar before the look.
    POINT cursor{};
    if (GetCursorPos(&cursor) && PtInRect(&r, cursor)) {
        SetCursorPos(r.left + 10, r.top - 150);
        Sleep(300);
    }
    // The notification area is the right end of the bar; the task buttons
    // (with the window's own blue icon) stay to the left of it.
    r.left = r.right - (r.right - r.left) / 4;
    Screen shot = CaptureScreen(r);
    if (shot.pixels.empty()) return spot;
    long greens = 0, reds = 0, gx = 0, gy = 0, rx = 0, ry = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            COLORREF c = shot.At(x, y);
            int red = GetRValue(c), green = GetGValue(c), blue = GetBValue(c);
            if (green >= 100 && red <= 70 && blue <= 90) {
                ++greens, gx += x, gy += y;
            } else if (red >= 170 && green <= 80 && blue <= 80) {
                ++reds, rx += x, ry += y;
            }
        }
    }
    if (reds >= 6) {
        spot.look = TrayLook::Off;
        spot.centre = {rx / reds, ry / reds};
    } else if (greens >= 6) {
        spot.look = TrayLook::On;
        spot.centre = {gx / greens, gy / greens};
    }
    return spot;
}

void RightClickAt(POINT at) {
    SetCursorPos(at.x, at.y);
    Sleep(100);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(1, &in[0], sizeof(INPUT));
    Sleep(150);
    SendInput(1, &in[1], sizeof(INPUT));
}

void LeftClickAt(POINT at) {
    // The pointer may take a moment to arrive; a click sent before would
    // land where it was, so the press carries the place too.
    SetCursorPos(at.x, at.y);
    WaitUntil(
        [&] {
            POINT now{};
            return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
        },
        1000);
    Sleep(100);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    for (INPUT& i : in) {
        i.mi.dx = static_cast<LONG>((at.x * 65535LL + w / 2) / (w - 1));
        i.mi.dy = static_cast<LONG>((at.y * 65535LL + h / 2) / (h - 1));
    }
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(2, in, sizeof(INPUT));
    Sleep(150);
}

void ClickControl(HWND control, int dx) {
    RECT r{};
    GetWindowRect(control, &r);
    LeftClickAt({dx < 0 ? (r.left + r.right) / 2 : r.left + dx, (r.top + r.bottom) / 2});
}

void PressChord(WORD held, WORD vk) {
    INPUT in[4]{};
    for (INPUT& i : in) i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[3].ki.wVk = held;
    in[1].ki.wVk = in[2].ki.wVk = vk;
    in[2].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof(INPUT));
}

void TypeKeys(const char* keys) {
    for (const char* k = keys; *k; ++k) {
        PressKey(static_cast<WORD>(*k));
        Sleep(80);
    }
}

HWND FocusedWindow(HWND top) {
    GUITHREADINFO info{sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool BringToFront(HWND top) {
    SetForegroundWindow(top);
    return WaitUntil([&] { return GetForegroundWindow() == top; }, 3000);
}

void ClickWindow(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    LeftClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

bool ClickUntil(POINT at, const std::function<bool()>& shown) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        LeftClickAt(at);
        if (WaitUntil(shown, 4000)) return true;
    }
    return false;
}

bool Press(HWND button, const std::function<bool()>& shown) {
    RECT r{};
    GetWindowRect(button, &r);
    return ClickUntil({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, shown);
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = c;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        Sleep(15);
    }
}

FileHold::FileHold(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}

FileHold::~FileHold() {
    if (Held()) CloseHandle(handle_);
}

std::vector<std::string> ListViewItems(HWND list, int column) {
    std::vector<std::string> items;
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return items;
    // The item record and its text buffer live in the list's own process.
    constexpr std::size_t kChars = 1024;
    auto* remote = static_cast<BYTE*>(
        VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(LVITEMW));
            item.cchTextMax = kChars;
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            const auto n = SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(remote));
            std::wstring text(static_cast<std::size_t>(n), L'\0');
            ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t), nullptr);
            items.push_back(Utf8(text));
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return items;
}

void PressKey(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// The program's own conversions, so that the driver reads and writes files
// exactly as the program does.
std::string Utf8(const std::wstring& w) { return vesko::Narrow(w); }
std::wstring Wide(const std::string& utf8) { return vesko::Widen(utf8); }
std::string ToAnsi(const std::string& utf8) { return vesko::Utf8ToAnsi(utf8); }
std::string FromAnsi(const std::string& ansi) { return vesko::AnsiToUtf8(ansi); }

std::string IniValue(const Sandbox& box, const std::string& key) {
    auto ini = box.ReadText(L"vesko.ini");
    if (!ini) return "<no file>";
    std::size_t at = ini->find("\r\n" + key + "=");
    if (at == std::string::npos) return "<missing>";
    std::size_t start = at + 3 + key.size();
    return ini->substr(start, ini->find("\r\n", start) - start);
}

std::vector<std::string> LogLines(const Sandbox& box) {
    auto log = box.ReadText(L"Log.txt");
    if (!log) return {};
    bool crlf = false;
    auto lines = CrLfLines(*log, &crlf);
    EXPECT_TRUE(crlf) << "Log.txt is not CR LF text";
    return lines;
}

std::vector<std::string> CrLfLines(const std::string& text, bool* wellFormed) {
    std::vector<std::string> lines;
    *wellFormed = text.empty() || (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n");
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t crlf = text.find("\r\n", start);
        std::size_t end = crlf == std::string::npos ? text.size() : crlf;
        std::string line = text.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos) *wellFormed = false;
        lines.push_back(line);
        start = crlf == std::string::npos ? text.size() : crlf + 2;
    }
    return lines;
}

}  // namespace e2e
