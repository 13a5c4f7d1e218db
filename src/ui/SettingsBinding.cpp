#include "ui/SettingsBinding.h"

#include <string_view>

namespace vesko {

std::optional<LayoutKind> BoundControlKind(const SettingDef& d) {
    if (d.savedFrom) return std::nullopt;
    switch (d.control) {
        case SettingControl::CheckBox: return LayoutKind::CheckBox;
        case SettingControl::SpinEdit: return LayoutKind::SpinEdit;
        case SettingControl::UnitComboBox: return LayoutKind::DropDownList;
        case SettingControl::FileNameEdit: return LayoutKind::Edit;
        case SettingControl::DayBoxes: return LayoutKind::DayBoxes;
        case SettingControl::MethodRadio:
        case SettingControl::CombinationRadio: return LayoutKind::RadioButton;
        default: return std::nullopt;
    }
}

const std::vector<SettingBinding>& SettingBindings() {
    static const std::vector<SettingBinding> bindings = [] {
        std::vector<SettingBinding> out;
        for (const SettingDef& d : SettingsDeclaration())
            if (BoundControlKind(d)) out.push_back({&d, FindLayoutControl(d.key)});
        return out;
    }();
    return bindings;
}

const SettingDef* BoundSetting(const LayoutControl& c) {
    for (const SettingBinding& b : SettingBindings())
        if (b.control == &c) return b.setting;
    return nullptr;
}

}  // namespace vesko
