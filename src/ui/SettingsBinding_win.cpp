#include "ui/SettingsBinding_win.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "base/WinText_win.h"
#include "controls/SpinEdit_win.h"
#include "settings/WeekDays.h"
#include "ui/SettingsBinding.h"

namespace vesko {
namespace {

bool Covers(const SettingDef& d, const SettingMember* only) {
    if (!only) return true;
    const SettingDef& target = DeclarationOf(*only);
    if (&target == &d) return true;
    // Checking one radio button unchecks the rest of its set.
    return target.control == d.control &&
           (d.control == SettingControl::MethodRadio || d.control == SettingControl::CombinationRadio);
}

}  // namespace

void ShowSettings(const SettingsControls& controls, const Settings& s, const SettingMember* only) {
    for (const SettingBinding& b : SettingBindings()) {
        if (!b.control || !Covers(*b.setting, only)) continue;
        HWND hwnd = controls.Window(b.control->name);
        if (!hwnd) continue;
        const SettingMember& m = b.setting->member;
        switch (b.control->kind) {
            case LayoutKind::CheckBox:
            case LayoutKind::RadioButton:
                SendMessageW(hwnd, BM_SETCHECK, s.*std::get<bool Settings::*>(m) ? BST_CHECKED : BST_UNCHECKED, 0);
                break;
            case LayoutKind::SpinEdit:
                if (SpinEdit* spin = controls.Spin(b.control->name)) spin->SetValue(s.*std::get<int Settings::*>(m));
                break;
            case LayoutKind::DropDownList:
                SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(s.*std::get<int Settings::*>(m)), 0);
                break;
            case LayoutKind::Edit: SetWindowTextW(hwnd, Widen(s.*std::get<std::string Settings::*>(m)).c_str()); break;
            case LayoutKind::DayBoxes: {
                const std::vector<HWND> boxes = controls.DayBoxes(b.control->name);
                const std::string& days = s.*std::get<std::string Settings::*>(m);
                for (std::size_t day = 0; day < boxes.size(); ++day)
                    SendMessageW(boxes[day], BM_SETCHECK,
                                 DayTicked(days, static_cast<int>(day)) ? BST_CHECKED : BST_UNCHECKED, 0);
                break;
            }
            default: break;
        }
    }
}

void ReadSettings(const SettingsControls& controls, Settings& s) {
    for (const SettingBinding& b : SettingBindings()) {
        if (!b.control) continue;
        HWND hwnd = controls.Window(b.control->name);
        if (!hwnd) continue;
        const SettingMember& m = b.setting->member;
        switch (b.control->kind) {
            case LayoutKind::CheckBox:
            case LayoutKind::RadioButton:
                s.*std::get<bool Settings::*>(m) = SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
                break;
            case LayoutKind::SpinEdit:
                if (SpinEdit* spin = controls.Spin(b.control->name))
                    s.*std::get<int Settings::*>(m) =
                        static_cast<int>(std::clamp<std::int64_t>(spin->Value(), INT32_MIN, INT32_MAX));
                break;
            case LayoutKind::DropDownList:
                s.*std::get<int Settings::*>(m) = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
                break;
            case LayoutKind::Edit: {
                std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
                text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
                s.*std::get<std::string Settings::*>(m) = Narrow(text);
                break;
            }
            case LayoutKind::DayBoxes: {
                std::string days;
                for (HWND box : controls.DayBoxes(b.control->name))
                    days += SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
                s.*std::get<std::string Settings::*>(m) = WeekDaysText(days);
                break;
            }
            default: break;
        }
    }
}

}  // namespace vesko
