#pragma once
// The Win32 window of TURLLink: a child window whose text is the caption,
// drawn in the link's font, with the hand cursor and its own hint window.
#include <windows.h>

#include "controls/URLLink.h"

namespace vesko {

// Registers the window class once and returns its name, for CreateWindowExW
// with WS_CHILD. The label's TURLLink lives as long as the window.
const wchar_t* URLLinkClassName();

// The link behind a window of that class, or nullptr for any other window.
TURLLink* URLLinkOf(HWND hwnd);

// A colour of the forms as a COLORREF, system colours resolved now.
COLORREF ToColorRef(TColor color);

}  // namespace vesko
