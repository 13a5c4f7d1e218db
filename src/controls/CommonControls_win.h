#pragma once
// The common controls library, loaded when the first window that shows its
// controls is built rather than at start: the resident program, hidden in
// the tray, never needs it, and loading it costs every running copy memory.
// The manifest makes the load pick version 6 (visual styles).
#include <windows.h>
#include <commctrl.h>

namespace vesko {

class CommonControls {
public:
    // Loads the library once and registers the classes the program uses
    // (arrows, list view); false when the library or its entry is missing.
    static bool Load();

    // Window subclassing through the library's functions (loaded on demand);
    // without the library a window simply stays unsubclassed.
    static bool SetSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
    static void RemoveSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id);
    static LRESULT DefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace vesko
