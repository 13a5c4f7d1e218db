#pragma once
// Small helpers shared by the program's windows: DPI scaling, the UI font,
// child controls and the standard error box.
#include <windows.h>

#include <string>

namespace vesko {

// "ＭＳ Ｐゴシック" 12 px at 96 DPI (scaled for dpi), or the closest Japanese UI
// face installed. Made once per DPI and kept while the program runs: a
// window moved back and forth between monitors reuses it.
HFONT UiFontAt(int dpi);

// A control made with no place and no font: the window's PlaceControls gives
// it both, for the window's DPI, at creation and again on a change of DPI.
HWND CreateControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, DWORD exStyle = 0);
// Gives a control the UI font at dpi and moves it to x, y, w, h: pixels at
// 96 DPI, scaled to dpi.
void PlaceControl(HWND control, int dpi, int x, int y, int w, int h);
// The object a window was created for (its creation parameter), bound to the
// window on WM_NCCREATE; null for the few messages that come before.
void* BoundObject(HWND hwnd, UINT msg, LPARAM lp);

// The window whose controls take the dialog keys (Tab, arrows, Enter, Esc,
// Alt+mnemonic). Every message loop of the program passes its messages
// through DialogKeys first and dispatches them only when it answers false.
// After a key the dialog manager took, the window is sent kDialogKeyTaken
// (the focus may have moved to a control scrolled out of view).
inline constexpr UINT kDialogKeyTaken = WM_APP + 0x31;
void SetDialogKeysWindow(HWND hwnd);
bool DialogKeys(MSG& msg);

void SetText(HWND hwnd, const std::string& text);
std::string GetText(HWND hwnd);

// Boxes with the product name as their title.
void ShowErrorBox(HWND owner, const std::string& message);
void ShowNoticeBox(HWND owner, const std::string& message);

}  // namespace vesko
