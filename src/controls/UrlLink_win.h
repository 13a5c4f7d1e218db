#pragma once
// The Win32 window of UrlLink: a child window whose text is the caption,
// drawn in the link's font, with the hand cursor and its own hint window.
#include <windows.h>

#include "controls/UrlLink.h"

namespace vesko {

// Registers the window class once and returns its name, for CreateWindowExW
// with WS_CHILD. The label's UrlLink lives as long as the window.
const wchar_t* UrlLinkClassName();

// The link behind a window of that class, or nullptr for any other window.
UrlLink* UrlLinkOf(HWND hwnd);

// The DPI the link's font heights (pixels at 96 DPI) are drawn at: its
// window's, set again when that window is moved to a monitor of another DPI.
void SetUrlLinkDpi(HWND hwnd, int dpi);

// A Color as a COLORREF, system colours resolved now.
COLORREF ToColorRef(Color color);

}  // namespace vesko
