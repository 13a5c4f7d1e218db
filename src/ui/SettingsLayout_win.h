#pragma once
// Creates the settings window's controls from the layout table.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vesko {

class SpinEdit;

struct LayoutControl;

// The created controls by name (INI key or role, as in the layout table).
struct SettingsControls {
    // Every window made, with the table entry it shows (and, for day boxes, its day).
    struct Placed {
        const LayoutControl* entry;
        int day;
        HWND hwnd;
    };
    std::vector<Placed> placed;
    std::map<std::string, HWND, std::less<>> windows;
    std::map<std::string, SpinEdit*, std::less<>> spinEdits;
    std::map<std::string, std::vector<HWND>, std::less<>> dayBoxes;  // Monday first

    HWND Window(std::string_view name) const;                 // null when there is no such control
    SpinEdit* Spin(std::string_view name) const;              // null when it is not a spin edit
    std::vector<HWND> DayBoxes(std::string_view name) const;  // empty when they are not day boxes
};

// Every control of the layout on parent, positions scaled by dpiScale (the
// window's DPI / 96), in reading order, which is also the tab order. The
// parent should forward WM_CTLCOLORSTATIC and WM_CTLCOLORBTN to
// ThemedGroupBox::ChildColor so that labels and buttons take the themed
// background.
SettingsControls CreateSettingsControls(HWND parent, double dpiScale, HFONT font);
// Moves and sizes every control for another scale and sets the font at it:
// the same places as controls created at that scale.
void PlaceSettingsControls(const SettingsControls& controls, double dpiScale, HFONT font);

}  // namespace vesko
