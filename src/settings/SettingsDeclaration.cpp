#include "settings/SettingsDeclaration.h"

#include <array>
#include <stdexcept>

#include "controls/SpinValue.h"

namespace vesko {
namespace {

using S = Settings;
using C = SettingControl;

constexpr SettingDef Check(const char* section, const char* key, bool S::* m, bool on) {
    return {section, key, m, on ? 1 : 0};
}
constexpr SettingDef Spin(const char* section, const char* key, int S::* m, int value, std::int64_t min,
                          std::int64_t max, int maxLength) {
    return {section, key, m, value, "", "", C::SpinEdit, min, max, maxLength};
}
constexpr SettingDef Radio(const char* key, bool S::* m, bool on, C group) {
    return {"PowerSaving", key, m, on ? 1 : 0, "", "", group};
}

// Sections and keys in the order SaveSettings writes them; Window last.
constexpr std::array kDeclaration = {
    SettingDef{"Omake", "Title", &S::Title, 0, "ケルダン！", "ケルダン！", C::Caption, 0, 0, 0, true, false},
    Check("Timer", "Timer_Enabled", &S::Timer_Enabled, false),
    Spin("Timer", "Timer_Hour", &S::Timer_Hour, 0, 0, 23, 5),
    Spin("Timer", "Timer_Minute", &S::Timer_Minute, 1, 0, 59, 0),
    SettingDef{"Timer", "Timer_SetTime", &S::Timer_SetTime, 0, "", "hh:nn", C::CountdownLabel, 0, 0, 0, false, false},
    SettingDef{"Timer", "Timer_ScheduleTime", &S::Timer_ScheduleTime, 0, "", "hh:nn", C::CountdownLabel, 0, 0, 0,
               false, true},
    Check("Time", "Time_Enabled", &S::Time_Enabled, false),
    Spin("Time", "Time_Hour", &S::Time_Hour, 0, 0, 23, 0),
    Spin("Time", "Time_Minute", &S::Time_Minute, 0, 0, 59, 0),
    Check("AppointedTime", "AppointedTime_Enabled", &S::AppointedTime_Enabled, false),
    Spin("AppointedTime", "AppointedTime_FromHour", &S::AppointedTime_FromHour, 0, 0, 23, 0),
    Spin("AppointedTime", "AppointedTime_FromMinute", &S::AppointedTime_FromMinute, 0, 0, 59, 0),
    Spin("AppointedTime", "AppointedTime_ToHour", &S::AppointedTime_ToHour, 0, 0, 23, 0),
    Spin("AppointedTime", "AppointedTime_ToMinute", &S::AppointedTime_ToMinute, 0, 0, 59, 0),
    Check("CPU", "CPU_Enabled", &S::CPU_Enabled, false),
    Spin("CPU", "CPU_Percent", &S::CPU_Percent, 0, 0, 99, 2),
    Spin("CPU", "CPU_Time", &S::CPU_Time, 1, 1, 99999, 5),
    Check("Network", "Network_Enabled", &S::Network_Enabled, false),
    Spin("Network", "Network_Speed", &S::Network_Speed, 0, 0, 0, 5),
    SettingDef{"Network", "Network_Unit", &S::Network_Unit, 0, "", "", C::UnitComboBox, 0, 2},
    Spin("Network", "Network_Time", &S::Network_Time, 1, 1, 99999, 5),
    Check("Memory", "Memory_Enabled", &S::Memory_Enabled, false),
    Spin("Memory", "Memory_Percent", &S::Memory_Percent, 0, 0, 99, 2),
    Spin("Memory", "Memory_Time", &S::Memory_Time, 1, 1, 99999, 5),
    Check("OS", "OS_Enabled", &S::OS_Enabled, false),
    Spin("OS", "OS_Hour", &S::OS_Hour, 0, 0, 99999, 0),
    Spin("OS", "OS_Minute", &S::OS_Minute, 1, 0, 59, 0),
    Check("MouseCursor", "MouseCursor_Enabled", &S::MouseCursor_Enabled, false),
    Spin("MouseCursor", "MouseCursor_Time", &S::MouseCursor_Time, 1, 1, 99999, 5),
    Radio("Shutdown", &S::Shutdown, true, C::MethodRadio),
    Radio("Suspend", &S::Suspend, false, C::MethodRadio),
    Radio("Hibernation", &S::Hibernation, false, C::MethodRadio),
    Radio("Piece_Requirement", &S::Piece_Requirement, true, C::CombinationRadio),
    Radio("All_Requirement", &S::All_Requirement, false, C::CombinationRadio),
    Check("Other", "Warning_Enabled", &S::Warning_Enabled, false),
    Spin("Other", "Warning_Time", &S::Warning_Time, 1, 1, 99999, 5),
    Check("Other", "Function_Enabled", &S::Function_Enabled, true),
    Check("Other", "Log_Enabled", &S::Log_Enabled, true),
    // One check box shows both keys: it loads from ExeStop_Enabled and saves to both.
    SettingDef{"Other", "Application_Enabled", &S::Application_Enabled, 0, "", "", C::CheckBox, 0, 0, 0, false, true,
               &S::ExeStop_Enabled},
    Check("Other", "ExeStop_Enabled", &S::ExeStop_Enabled, false),
    Check("Other", "KeepAwake_Enabled", &S::KeepAwake_Enabled, false),
    SettingDef{"Window", "WindowPosX", &S::WindowPosX, 0, "", "", C::Window, 0, 0, 0, false, false},
    SettingDef{"Window", "WindowPosY", &S::WindowPosY, 0, "", "", C::Window, 0, 0, 0, false, false},
    SettingDef{"Window", "StayOnTop", &S::StayOnTop, 0, "", "", C::Window, 0, 0, 0, false, false},
};

std::optional<std::uint32_t> ParseDigits(const std::string& s, std::size_t from, int base) {
    if (from >= s.size()) return std::nullopt;
    std::uint64_t acc = 0;
    for (std::size_t i = from; i < s.size(); ++i) {
        char c = s[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        acc = acc * base + d;
        if (acc > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<std::uint32_t>(acc);
}

void Write(ProfileFile& file, const SettingDef& d, const std::string& value) {
    if (!file.WriteString(d.section, d.key, value)) throw SettingsWriteError(file.Path());
}

// The row's value in a Settings as the file spells it.
std::string FileText(const SettingDef& d, const Settings& s) {
    if (d.savedFrom) return s.*d.savedFrom ? "1" : "0";
    if (auto* b = std::get_if<bool S::*>(&d.member)) return s.**b ? "1" : "0";
    if (auto* i = std::get_if<int S::*>(&d.member)) return std::to_string(s.**i);
    if (auto* t = std::get_if<std::string S::*>(&d.member)) return s.**t;
    return (s.*std::get<TimeOfDayText S::*>(d.member)).text;
}

bool IsRadio(const SettingDef& d) { return d.control == C::MethodRadio || d.control == C::CombinationRadio; }

// A file value as the row's control would hold it: a spin edit clamps to its
// range, the unit box selects nothing (-1) for a value outside it.
int ControlValue(const SettingDef& d, int v) {
    if (d.control == C::UnitComboBox) return v >= d.min && v <= d.max ? v : -1;
    if (d.control == C::SpinEdit) return static_cast<int>(SpinValue(d.min, d.max, d.maxLength, 0).ClampValue(v));
    return v;
}

// The in-memory copy's value: the control's, and for a spin edit without a
// range whatever its typing limit lets a user type (sign included).
int InMemoryValue(const SettingDef& d, int v) {
    v = ControlValue(d, v);
    if (d.control != C::SpinEdit || d.min != d.max || d.maxLength <= 0 || d.maxLength > 9) return v;
    std::int64_t limit = 1;
    for (int i = 0; i < d.maxLength; ++i) limit *= 10;
    const std::int64_t low = -(limit / 10 - 1), high = limit - 1;
    return static_cast<int>(v < low ? low : v > high ? high : v);
}

}  // namespace

Settings::Settings() {
    for (const SettingDef& d : kDeclaration) {
        if (auto* b = std::get_if<bool S::*>(&d.member)) this->**b = d.defaultInt != 0;
        else if (auto* i = std::get_if<int S::*>(&d.member)) this->**i = d.defaultInt;
        else if (auto* t = std::get_if<std::string S::*>(&d.member)) this->**t = d.initialText;
        else (this->*std::get<TimeOfDayText S::*>(d.member)).text = d.initialText;
    }
}

std::span<const SettingDef> SettingsDeclaration() { return kDeclaration; }

const SettingDef& DeclarationOf(const SettingMember& member) {
    for (const SettingDef& d : kDeclaration)
        if (d.member == member) return d;
    throw std::logic_error("setting without a declaration");
}

std::optional<std::int32_t> ParseProfileInt(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::optional<std::uint32_t> magnitude;
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        magnitude = ParseDigits(text, i + 1, 16);
    } else if (text.size() - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        magnitude = ParseDigits(text, i + 2, 16);
    } else {
        magnitude = ParseDigits(text, i, 10);
    }
    if (!magnitude) return std::nullopt;
    if (hex) {
        // Hexadecimal spans the full 32 bits ($FFFFFFFF is -1).
        auto v = static_cast<std::int32_t>(*magnitude);
        return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v)) : v;
    }
    if (negative) {
        if (*magnitude > 0x80000000u) return std::nullopt;
        return static_cast<std::int32_t>(0u - *magnitude);
    }
    if (*magnitude > 0x7FFFFFFFu) return std::nullopt;
    return static_cast<std::int32_t>(*magnitude);
}

int ReadInt(ProfileFile& file, const SettingDef& d) {
    std::string text = file.ReadString(d.section, d.key, "");
    return ParseProfileInt(text).value_or(d.defaultInt);
}

bool ReadBool(ProfileFile& file, const SettingDef& d) { return ReadInt(file, d) != 0; }

std::string ReadText(ProfileFile& file, const SettingDef& d) { return file.ReadString(d.section, d.key, d.defaultText); }

int ReadSetting(ProfileFile& file, int S::* member) { return ReadInt(file, DeclarationOf(member)); }
bool ReadSetting(ProfileFile& file, bool S::* member) { return ReadBool(file, DeclarationOf(member)); }

void WriteSetting(ProfileFile& file, int S::* member, std::int64_t value) {
    Write(file, DeclarationOf(member), std::to_string(value));
}
void WriteSetting(ProfileFile& file, bool S::* member, bool value) {
    Write(file, DeclarationOf(member), value ? "1" : "0");
}
void WriteSetting(ProfileFile& file, const SettingMember& member, const std::string& value) {
    Write(file, DeclarationOf(member), value);
}

void SetRadio(Settings& s, bool S::* member, bool checked) {
    if (checked) {
        const C group = DeclarationOf(member).control;
        for (const SettingDef& d : kDeclaration)
            if (d.control == group) s.*std::get<bool S::*>(d.member) = false;
    }
    s.*member = checked;
}

void LoadDraft(ProfileFile& file, Settings& draft) {
    for (const SettingDef& d : kDeclaration) {
        if (!d.inDraft) continue;
        if (auto* t = std::get_if<std::string S::*>(&d.member)) {
            draft.**t = ReadText(file, d);
        } else if (IsRadio(d)) {
            SetRadio(draft, std::get<bool S::*>(d.member), ReadBool(file, d));
        } else if (auto* b = std::get_if<bool S::*>(&d.member)) {
            draft.**b = ReadBool(file, d);
        } else if (auto* i = std::get_if<int S::*>(&d.member)) {
            draft.**i = ControlValue(d, ReadInt(file, d));
        }
    }
}

void LoadCountdownLabels(ProfileFile& file, Settings& draft, const std::string& missingText) {
    for (const SettingDef& d : kDeclaration) {
        if (d.control != C::CountdownLabel) continue;
        std::string text = file.ReadString(d.section, d.key, missingText);
        if (auto* t = std::get_if<std::string S::*>(&d.member)) draft.**t = std::move(text);
        else (draft.*std::get<TimeOfDayText S::*>(d.member)).text = std::move(text);
    }
}

void SaveSettings(ProfileFile& file, const Settings& draft) {
    for (const SettingDef& d : kDeclaration)
        if (d.control != C::Window) Write(file, d, FileText(d, draft));
}

void LoadActiveSettings(ProfileFile& file, Settings& active) {
    for (const SettingDef& d : kDeclaration) {
        if (!d.inMemory) continue;
        if (auto* b = std::get_if<bool S::*>(&d.member)) active.**b = ReadBool(file, d);
        else if (auto* i = std::get_if<int S::*>(&d.member)) active.**i = InMemoryValue(d, ReadInt(file, d));
        else if (auto* t = std::get_if<TimeOfDayText S::*>(&d.member))
            (active.**t).time = TimerScheduleFromText(ReadText(file, d));
    }
}

}  // namespace vesko
