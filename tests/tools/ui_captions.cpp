// Prints the settings window's layout table and the two pop-up menus, one
// control or item a line, for scripts/check_help_captions.py:
//   layout <TAB> kind <TAB> caption     (kind: group, check, radio, label, spin, list, edit, button)
//   menu <TAB> caption
#include <cstdio>

#include "ui/Menus.h"
#include "ui/SettingsLayout.h"

namespace {

const char* KindName(vesko::LayoutKind kind) {
    switch (kind) {
        case vesko::LayoutKind::Group: return "group";
        case vesko::LayoutKind::CheckBox: return "check";
        case vesko::LayoutKind::RadioButton: return "radio";
        case vesko::LayoutKind::Label: return "label";
        case vesko::LayoutKind::SpinEdit: return "spin";
        case vesko::LayoutKind::DropDownList: return "list";
        case vesko::LayoutKind::Edit: return "edit";
        case vesko::LayoutKind::Button:
        case vesko::LayoutKind::DefaultButton: return "button";
    }
    return "?";
}

}  // namespace

int main() {
    for (const vesko::LayoutControl& c : vesko::SettingsLayout())
        std::printf("layout\t%s\t%.*s\n", KindName(c.kind), static_cast<int>(c.caption.size()), c.caption.data());
    for (const auto* items : {&vesko::PopupMenu1Items(), &vesko::PopupMenu2Items()})
        for (const vesko::PopupMenuItem& item : *items)
            if (!item.caption.empty()) std::printf("menu\t%s\n", item.caption.c_str());
    return 0;
}
