#pragma once
// The tray icon bound to Windows: Shell_NotifyIconW, the hidden window class
// "TaskTrayHandle", GUI-thread timers and the owner's icon resources and menus.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "tray/TrayIcon.h"

namespace vesko {

// The program's tray icon for the window `owner`. The icons "TTICON" and
// "TFICON" (and "MAINICON" as the fall-back) are resources of `instance`.
// Popup menus are the owner's HMENUs; the chosen command arrives at the owner
// as WM_COMMAND. The hidden tray window needs nothing forwarded: the owner's
// ordinary message loop (GetMessageW/DispatchMessageW) is enough.
class WinTrayIcon {
public:
    WinTrayIcon(HWND owner, HINSTANCE instance);
    ~WinTrayIcon();
    WinTrayIcon(const WinTrayIcon&) = delete;
    WinTrayIcon& operator=(const WinTrayIcon&) = delete;

    TrayIcon& Tray();
    TrayIcon* operator->() { return &Tray(); }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

inline MenuHandle ToMenuHandle(HMENU menu) { return reinterpret_cast<MenuHandle>(menu); }

// The shell's version, major in the high word: DllGetVersion of shell32,
// else the file version of shell32.dll; 0 when neither answers.
std::uint32_t ProbeShellVersion();

}  // namespace vesko
