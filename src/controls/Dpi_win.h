#pragma once
// Dots per inch per window. On Windows 10 1703 and later each monitor has its
// own DPI and a window moved between them is told of the change
// (WM_DPICHANGED); there the DPI is asked of the window. Earlier systems have
// one DPI for the whole session, that of the screen. The functions that tell
// are looked up at run time: Windows XP to 10 1511 lack them.
#include <windows.h>

namespace vesko {

inline constexpr int kBaseDpi = 96;

// The session's DPI: the shell's (the notification area's), and every
// window's where the system has no per-monitor DPI.
int SystemDpi();
// The DPI the window is shown at.
int WindowDpi(HWND hwnd);
// Pixels at 96 DPI to pixels at dpi.
inline int ScaleToDpi(int px96, int dpi) { return MulDiv(px96, dpi, kBaseDpi); }
// A system metric (SM_CXSMICON, SM_CXVSCROLL, ...) as it is at dpi.
int SystemMetricAt(int index, int dpi);
// AdjustWindowRectEx for a window shown at dpi.
void AdjustWindowRectAt(RECT* r, DWORD style, DWORD exStyle, int dpi);
// The DPI a WM_DPICHANGED carries.
inline int DpiOfChange(WPARAM wp) { return HIWORD(wp) ? HIWORD(wp) : kBaseDpi; }

}  // namespace vesko
