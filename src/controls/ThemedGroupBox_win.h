#pragma once
// A group box that draws its frame and caption with the visual-style renderer
// when styles are active, and exactly like the plain group box otherwise. The
// theme library is loaded at run time, so the program also runs without it.
#include <windows.h>

#include <string>

namespace vesko {

class ThemedGroupBox {
public:
    // A BS_GROUPBOX at the given client pixels (already scaled) of parent.
    // The window owns its state and frees it when it is destroyed.
    static HWND Create(HWND parent, const std::string& caption, int id, const RECT& pixels, HFONT font);

    // Colour queries (WM_CTLCOLORSTATIC, WM_CTLCOLORBTN) of check boxes, radio
    // buttons and labels. The parent window forwards them here: with styles
    // active the child gets the parent's themed background and a hollow
    // brush, and the function returns true with the brush in *result.
    static bool ChildColor(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

    // The theme library is there, complete, and styles apply to this program.
    static bool StylesActive();
};

}  // namespace vesko
