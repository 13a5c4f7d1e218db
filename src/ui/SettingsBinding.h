#pragma once
// Which control of the settings window shows which setting: a control bound
// to a setting carries the setting's INI key as its name, so the binding is
// found by walking the settings declaration, never by a list of keys.
#include <optional>
#include <vector>

#include "settings/SettingsDeclaration.h"
#include "ui/SettingsLayout.h"

namespace vesko {

// The kind of window control a declared setting is shown by; none for the
// rows the window shows otherwise (caption, countdown labels, window keys)
// and for a row saved from another row's control.
std::optional<LayoutKind> BoundControlKind(const SettingDef& d);

struct SettingBinding {
    const SettingDef* setting;
    const LayoutControl* control;
};

// Every declared setting that a control shows, with its control, in
// declaration order. A setting whose control is missing from the layout has
// a null control (the unit test keeps that from happening).
const std::vector<SettingBinding>& SettingBindings();

// The setting a layout control shows, or null (role controls, captions).
const SettingDef* BoundSetting(const LayoutControl& c);

}  // namespace vesko
