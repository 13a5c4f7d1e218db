#pragma once
// Moves setting values between a Settings value and the settings window's
// controls, walking the declaration's bindings (SettingsBinding.h).
#include "settings/Settings.h"
#include "settings/SettingsDeclaration.h"
#include "ui/SettingsLayout_win.h"

namespace vesko {

// Every bound control shows its setting; with only given, just that
// setting's control (for a radio button, its whole set).
void ShowSettings(const SettingsControls& controls, const Settings& s, const SettingMember* only = nullptr);
// Every bound control's value into s; a radio set with nothing checked
// leaves its settings all false, the unit list with nothing selected -1.
void ReadSettings(const SettingsControls& controls, Settings& s);

}  // namespace vesko
