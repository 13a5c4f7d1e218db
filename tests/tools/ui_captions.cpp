// Prints the settings window's layout table and the two pop-up menus, one
// control or item a line, for scripts/check_help_captions.py:
//   layout <TAB> kind <TAB> caption     (kind: group, check, radio, label, spin, list, edit, button, days)
// (the day boxes' captions joined by spaces: "月 火 水 木 金 土 日")
//   menu <TAB> caption
#include <cstdio>
#include <span>
#include <string>

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
        case vesko::LayoutKind::DayBoxes: return "days";
        case vesko::LayoutKind::Button:
        case vesko::LayoutKind::DefaultButton: return "button";
    }
    return "?";
}

}  // namespace

int main() {
    for (const vesko::LayoutControl& c : vesko::SettingsLayout()) {
        std::string caption(c.caption);
        for (const char* item : c.kind == vesko::LayoutKind::DayBoxes ? c.items : std::span<const char* const>{})
            caption.append(caption.empty() ? "" : " ").append(item);
        std::printf("layout\t%s\t%s\n", KindName(c.kind), caption.c_str());
    }
    for (const auto* items : {&vesko::PopupMenu1Items(), &vesko::PopupMenu2Items()})
        for (const vesko::PopupMenuItem& item : *items)
            if (!item.caption.empty()) std::printf("menu\t%s\n", item.caption.c_str());
    return 0;
}
