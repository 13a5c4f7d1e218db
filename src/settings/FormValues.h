#pragma once
// The values the settings window's controls hold, by control name. LoadSettings
// fills them from the file and SaveSettings writes them back; the window binds
// its real controls to this structure.
#include <array>
#include <cstdint>
#include <string>

#include "controls/SpinValue.h"

namespace vesko {

struct FormValues {
    std::string Caption = "ケルダン！";
    std::array<bool, 14> CheckBox{};        // CheckBox1..CheckBox13 (index 0 unused)
    std::array<SpinValue, 19> WinSpinEdit;  // WinSpinEdit1..WinSpinEdit18 (index 0 unused)
    int ComboBox1ItemIndex = 0;             // -1 when no unit is selected
    std::array<bool, 6> RadioButton{};      // RadioButton1..RadioButton5 (index 0 unused)
    std::string Label20 = "hh:nn";          // set time of the countdown
    std::string Label22 = "hh:nn";          // scheduled time of the countdown
    bool StayOnTop = false;                 // check mark of stayontop1

    FormValues();

    // Checking a radio button unchecks the others of its group (1..3 method,
    // 4..5 combination); unchecking touches only that button.
    void SetRadio(int index, bool checked);
};

}  // namespace vesko
