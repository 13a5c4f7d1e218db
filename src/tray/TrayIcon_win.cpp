#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "base/FileVersionInfo_win.h"
#include "base/ScopedWin.h"
#include "base/WinText_win.h"
#include "controls/Dpi_win.h"
#include "tray/TrayIcon_win.h"
#include "tray/TrayText.h"

namespace vesko {
namespace {

constexpr wchar_t kTrayClassName[] = L"TaskTrayHandle";

// Copies into a fixed record field. The text was cut to the field's limit
// already; the bound here only guards the buffer.
template <std::size_t N>
void CopyField(wchar_t (&field)[N], const std::string& utf8) {
    const std::wstring w = Widen(utf8);
    std::size_t n = w.size() < N ? w.size() : N - 1;
    if (n > 0 && n < w.size() && IS_HIGH_SURROGATE(w[n - 1])) --n;
    w.copy(field, n);
    field[n] = L'\0';
}

HWND ToHwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }
WindowHandle FromHwnd(HWND h) { return reinterpret_cast<WindowHandle>(h); }
HICON ToHicon(IconHandle h) { return reinterpret_cast<HICON>(h); }
IconHandle FromHicon(HICON h) { return reinterpret_cast<IconHandle>(h); }

// The shared window procedure of every hidden tray window; with no timer
// procedure given, the click timer arrives here as WM_TIMER too.
LRESULT CALLBACK TrayWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::intptr_t result = 0;
    if (ShellIconRouter::Dispatch(FromHwnd(window), msg, static_cast<std::intptr_t>(wParam),
                                  static_cast<std::intptr_t>(lParam), result))
        return static_cast<LRESULT>(result);
    return DefWindowProcW(window, msg, wParam, lParam);
}

// An icon resource at the small-icon size of the session's DPI, at which the
// notification area is drawn: the image drawn for 16, 20, 24 or 32 px is
// taken, not one the shell shrinks. The handle is the caller's to free.
HICON LoadTrayImage(HINSTANCE instance, const wchar_t* name) {
    const int dpi = SystemDpi();
    return static_cast<HICON>(
        LoadImageW(instance, name, IMAGE_ICON, SystemMetricAt(SM_CXSMICON, dpi), SystemMetricAt(SM_CYSMICON, dpi), 0));
}

std::uint32_t FileVersionOfShell32() {
    wchar_t dir[MAX_PATH];
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 0;
    const std::wstring path = std::wstring(dir, n) + L"\\shell32.dll";
    const FileVersionInfo info(path);
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translation = nullptr;
    UINT length = 0;
    if (!info.Query(L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof(Translation))
        return 0;
    wchar_t subBlock[64];
    std::swprintf(subBlock, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translation->language,
                  translation->codePage);
    wchar_t* version = nullptr;
    if (!info.Query(subBlock, reinterpret_cast<void**>(&version), &length)) return 0;
    return ParseShellFileVersion(Narrow(version));
}

class WinShellNotify : public ShellNotify {
public:
    bool NotifyIcon(NotifyCommand command, const NotifyIconRecord& r) override {
        NOTIFYICONDATAW nid{};
        const bool v5 = r.Layout == RecordLayout::Version5;
        nid.cbSize = v5 ? NOTIFYICONDATAW_V2_SIZE : NOTIFYICONDATAW_V1_SIZE;
        nid.hWnd = ToHwnd(r.Window);
        nid.uID = r.ID;
        nid.uFlags = r.Flags;
        nid.uCallbackMessage = r.CallbackMessage;
        nid.hIcon = ToHicon(r.Icon);
        if (v5) {
            CopyField(nid.szTip, r.Tip);  // 127 units and the terminator
            nid.dwState = r.State;
            nid.dwStateMask = r.StateMask;
            CopyField(nid.szInfo, r.Info);
            nid.uTimeout = r.TimeOut;
            CopyField(nid.szInfoTitle, r.InfoTitle);
            nid.dwInfoFlags = r.InfoFlags;
        } else {
            // The short record ends after a 64-unit tip.
            wchar_t tip[64];
            CopyField(tip, r.Tip);
            std::copy(std::begin(tip), std::end(tip), nid.szTip);
        }
        // A failing call need not set the error; never read a stale time-out.
        SetLastError(0);
        const BOOL ok = Shell_NotifyIconW(static_cast<DWORD>(command), &nid);
        if (!ok) lastError_ = GetLastError();
        return ok != FALSE;
    }
    std::uint32_t LastError() override { return lastError_; }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
    std::uint32_t ShellVersion() override { return ProbeShellVersion(); }
    std::size_t TextUnits(char32_t c) const override { return Utf16Units(c); }

private:
    std::uint32_t lastError_ = 0;
};

class WinTrayWindows : public TrayWindows {
public:
    explicit WinTrayWindows(HINSTANCE instance) : instance_(instance) {}

    void RegisterTrayClass() override {
        WNDCLASSW wc{};
        wc.style = 0;
        wc.lpfnWndProc = TrayWndProc;
        wc.hInstance = instance_;
        wc.hIcon = LoadIconW(instance_, L"MAINICON");
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        wc.lpszClassName = kTrayClassName;
        RegisterClassW(&wc);
    }
    void UnregisterTrayClass() override { UnregisterClassW(kTrayClassName, instance_); }
    std::uint32_t RegisterTaskbarCreatedMessage() override { return RegisterWindowMessageW(L"TaskbarCreated"); }
    WindowHandle CreateHiddenWindow() override {
        // Top-level, so that the shell's "TaskbarCreated" broadcast reaches it.
        return FromHwnd(CreateWindowExW(WS_EX_TOOLWINDOW, kTrayClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        instance_, nullptr));
    }
    void DestroyHiddenWindow(WindowHandle window) override { DestroyWindow(ToHwnd(window)); }
    std::intptr_t DefaultProc(WindowHandle window, std::uint32_t msg, std::intptr_t wParam,
                              std::intptr_t lParam) override {
        return DefWindowProcW(ToHwnd(window), msg, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    }
    void SetForeground(WindowHandle window) override { SetForegroundWindow(ToHwnd(window)); }
    std::intptr_t Send(WindowHandle window, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam) override {
        return SendMessageW(ToHwnd(window), msg, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    }
    void Post(WindowHandle window, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam) override {
        PostMessageW(ToHwnd(window), msg, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    }
    bool StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) override {
        return SetTimer(ToHwnd(window), id, milliseconds, nullptr) != 0;
    }
    void StopTimer(WindowHandle window, std::uintptr_t id) override { KillTimer(ToHwnd(window), id); }
    std::uint32_t DoubleClickTime() override { return GetDoubleClickTime(); }
    TrayPoint CursorPos() override {
        POINT p{};
        if (!GetCursorPos(&p)) return {};
        return {static_cast<int>(p.x), static_cast<int>(p.y)};
    }
    WindowHandle FindShellToolTip() override {
        HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
        if (tray == nullptr) return 0;
        DWORD shellProcess = 0;
        GetWindowThreadProcessId(tray, &shellProcess);
        HWND tip = nullptr;
        while ((tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) != nullptr) {
            DWORD process = 0;
            GetWindowThreadProcessId(tip, &process);
            if (process == shellProcess && (GetWindowLongW(tip, GWL_STYLE) & TTS_NOPREFIX_VALUE) == 0)
                return FromHwnd(tip);
        }
        return 0;
    }
    void SendToolTip(WindowHandle toolTip, std::uint32_t msg, std::uintptr_t wParam) override {
        // The window belongs to the shell: a hung shell must not hang us.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(ToHwnd(toolTip), msg, wParam, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 500, &ignored);
    }
    std::uint32_t SysColor(int index) override { return GetSysColor(index); }

private:
    static constexpr LONG TTS_NOPREFIX_VALUE = 0x02;
    HINSTANCE instance_;
};

class WinTrayHost : public TrayHost {
public:
    WinTrayHost(HWND owner, HINSTANCE instance) : owner_(owner), instance_(instance) {}
    ~WinTrayHost() override {
        if (applicationIcon_ != nullptr) ::DestroyIcon(applicationIcon_);
    }
    WinTrayHost(const WinTrayHost&) = delete;
    WinTrayHost& operator=(const WinTrayHost&) = delete;

    IconHandle ApplicationIcon() override {
        // Asked at every refresh: loaded once and kept, as the shared icon was.
        if (applicationIcon_ == nullptr) applicationIcon_ = LoadTrayImage(instance_, L"MAINICON");
        if (applicationIcon_ != nullptr) return FromHicon(applicationIcon_);
        return FromHicon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
    }
    IconHandle LoadResourceIcon(const std::string& name) override {
        return FromHicon(LoadTrayImage(instance_, Widen(name).c_str()));
    }
    IconHandle CopyIcon(IconHandle icon) override { return FromHicon(::CopyIcon(ToHicon(icon))); }
    void DestroyIcon(IconHandle icon) override { ::DestroyIcon(ToHicon(icon)); }
    bool IsApplicationIconic() override { return IsIconic(owner_) != FALSE; }
    void HideApplicationWindow() override { ShowWindow(owner_, SW_HIDE); }
    void BringApplicationToFront() override { SetForegroundWindow(owner_); }
    void PopupMenu(MenuHandle menu, TrayPoint at) override {
        // Without the owner in front the menu would not close when the user
        // clicks elsewhere; the null message lets it close on the next click.
        SetForegroundWindow(owner_);
        TrackPopupMenu(reinterpret_cast<HMENU>(menu), TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.X, at.Y, 0,
                       owner_, nullptr);
        PostMessageW(owner_, WM_NULL, 0, 0);
    }

private:
    HWND owner_;
    HINSTANCE instance_;
    HICON applicationIcon_ = nullptr;
};

}  // namespace

std::uint32_t ProbeShellVersion() {
    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    const ScopedLibrary shell32(L"shell32.dll");
    SetErrorMode(oldMode);
    if (!shell32) return FileVersionOfShell32();
    const auto dllGetVersion = shell32.Function<DLLGETVERSIONPROC>("DllGetVersion");
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (dllGetVersion != nullptr && SUCCEEDED(dllGetVersion(&info)))
        return PackShellVersion(info.dwMajorVersion, info.dwMinorVersion);
    return FileVersionOfShell32();
}

struct WinTrayIcon::Impl {
    Impl(HWND owner, HINSTANCE instance) : windows(instance), host(owner, instance), tray(shell, windows, host) {}
    WinShellNotify shell;
    WinTrayWindows windows;
    WinTrayHost host;
    TrayIcon tray;  // last: goes first, while its seams still exist
};

WinTrayIcon::WinTrayIcon(HWND owner, HINSTANCE instance) : impl_(std::make_unique<Impl>(owner, instance)) {}

WinTrayIcon::~WinTrayIcon() = default;

TrayIcon& WinTrayIcon::Tray() { return impl_->tray; }

}  // namespace vesko
