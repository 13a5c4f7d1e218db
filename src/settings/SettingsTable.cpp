#include "settings/SettingsTable.h"

#include <array>
#include <cstdio>

namespace vesko {
namespace {

using A = ActiveSettings;
constexpr KeyType B = KeyType::Bool, I = KeyType::Int, T = KeyType::Text, TT = KeyType::TimeText;

// Sections and keys in the order SaveSettings writes them; Window last.
const std::array<KeyDef, static_cast<std::size_t>(KeyId::Count)> kTable = {{
    {KeyId::Title, "Omake", "Title", T, 0, "ケルダン！", Control::Caption, 0, true, {}},
    {KeyId::Timer_Enabled, "Timer", "Timer_Enabled", B, 0, nullptr, Control::CheckBox, 1, true, &A::Timer_Enabled},
    {KeyId::Timer_Hour, "Timer", "Timer_Hour", I, 0, nullptr, Control::SpinEdit, 1, true, &A::Timer_Hour},
    {KeyId::Timer_Minute, "Timer", "Timer_Minute", I, 1, nullptr, Control::SpinEdit, 2, true, &A::Timer_Minute},
    {KeyId::Timer_SetTime, "Timer", "Timer_SetTime", TT, 0, "", Control::Label20, 0, false, {}},
    {KeyId::Timer_ScheduleTime, "Timer", "Timer_ScheduleTime", TT, 0, "", Control::Label22, 0, false, &A::Timer_ScheduleTime},
    {KeyId::Time_Enabled, "Time", "Time_Enabled", B, 0, nullptr, Control::CheckBox, 2, true, &A::Time_Enabled},
    {KeyId::Time_Hour, "Time", "Time_Hour", I, 0, nullptr, Control::SpinEdit, 3, true, &A::Time_Hour},
    {KeyId::Time_Minute, "Time", "Time_Minute", I, 0, nullptr, Control::SpinEdit, 4, true, &A::Time_Minute},
    {KeyId::AppointedTime_Enabled, "AppointedTime", "AppointedTime_Enabled", B, 0, nullptr, Control::CheckBox, 9, true, &A::AppointedTime_Enabled},
    {KeyId::AppointedTime_FromHour, "AppointedTime", "AppointedTime_FromHour", I, 0, nullptr, Control::SpinEdit, 12, true, &A::AppointedTime_FromHour},
    {KeyId::AppointedTime_FromMinute, "AppointedTime", "AppointedTime_FromMinute", I, 0, nullptr, Control::SpinEdit, 13, true, &A::AppointedTime_FromMinute},
    {KeyId::AppointedTime_ToHour, "AppointedTime", "AppointedTime_ToHour", I, 0, nullptr, Control::SpinEdit, 14, true, &A::AppointedTime_ToHour},
    {KeyId::AppointedTime_ToMinute, "AppointedTime", "AppointedTime_ToMinute", I, 0, nullptr, Control::SpinEdit, 15, true, &A::AppointedTime_ToMinute},
    {KeyId::CPU_Enabled, "CPU", "CPU_Enabled", B, 0, nullptr, Control::CheckBox, 3, true, &A::CPU_Enabled},
    {KeyId::CPU_Percent, "CPU", "CPU_Percent", I, 0, nullptr, Control::SpinEdit, 5, true, &A::CPU_Percent},
    {KeyId::CPU_Time, "CPU", "CPU_Time", I, 1, nullptr, Control::SpinEdit, 6, true, &A::CPU_Time},
    {KeyId::Network_Enabled, "Network", "Network_Enabled", B, 0, nullptr, Control::CheckBox, 4, true, &A::Network_Enabled},
    {KeyId::Network_Speed, "Network", "Network_Speed", I, 0, nullptr, Control::SpinEdit, 7, true, &A::Network_Speed},
    {KeyId::Network_Unit, "Network", "Network_Unit", I, 0, nullptr, Control::ComboBox1, 0, true, &A::Network_Unit},
    {KeyId::Network_Time, "Network", "Network_Time", I, 1, nullptr, Control::SpinEdit, 8, true, &A::Network_Time},
    {KeyId::Memory_Enabled, "Memory", "Memory_Enabled", B, 0, nullptr, Control::CheckBox, 5, true, &A::Memory_Enabled},
    {KeyId::Memory_Percent, "Memory", "Memory_Percent", I, 0, nullptr, Control::SpinEdit, 9, true, &A::Memory_Percent},
    {KeyId::Memory_Time, "Memory", "Memory_Time", I, 1, nullptr, Control::SpinEdit, 10, true, &A::Memory_Time},
    {KeyId::OS_Enabled, "OS", "OS_Enabled", B, 0, nullptr, Control::CheckBox, 10, true, &A::OS_Enabled},
    {KeyId::OS_Hour, "OS", "OS_Hour", I, 0, nullptr, Control::SpinEdit, 16, true, &A::OS_Hour},
    {KeyId::OS_Minute, "OS", "OS_Minute", I, 1, nullptr, Control::SpinEdit, 17, true, &A::OS_Minute},
    {KeyId::MouseCursor_Enabled, "MouseCursor", "MouseCursor_Enabled", B, 0, nullptr, Control::CheckBox, 12, true, &A::MouseCursor_Enabled},
    {KeyId::MouseCursor_Time, "MouseCursor", "MouseCursor_Time", I, 1, nullptr, Control::SpinEdit, 18, true, &A::MouseCursor_Time},
    {KeyId::Shutdown, "PowerSaving", "Shutdown", B, 1, nullptr, Control::Radio, 1, true, &A::Shutdown},
    {KeyId::Suspend, "PowerSaving", "Suspend", B, 0, nullptr, Control::Radio, 2, true, &A::Suspend},
    {KeyId::Hibernation, "PowerSaving", "Hibernation", B, 0, nullptr, Control::Radio, 3, true, &A::Hibernation},
    {KeyId::Piece_Requirement, "PowerSaving", "Piece_Requirement", B, 1, nullptr, Control::Radio, 4, true, &A::Piece_Requirement},
    {KeyId::All_Requirement, "PowerSaving", "All_Requirement", B, 0, nullptr, Control::Radio, 5, true, &A::All_Requirement},
    {KeyId::Warning_Enabled, "Other", "Warning_Enabled", B, 0, nullptr, Control::CheckBox, 7, true, &A::Warning_Enabled},
    {KeyId::Warning_Time, "Other", "Warning_Time", I, 1, nullptr, Control::SpinEdit, 11, true, &A::Warning_Time},
    {KeyId::Function_Enabled, "Other", "Function_Enabled", B, 1, nullptr, Control::CheckBox, 8, true, &A::Function_Enabled},
    {KeyId::Log_Enabled, "Other", "Log_Enabled", B, 1, nullptr, Control::CheckBox, 11, true, &A::Log_Enabled},
    // Written with the same value as ExeStop_Enabled; the check box loads from the latter.
    {KeyId::Application_Enabled, "Other", "Application_Enabled", B, 0, nullptr, Control::CheckBox, 13, false, &A::Application_Enabled},
    {KeyId::ExeStop_Enabled, "Other", "ExeStop_Enabled", B, 0, nullptr, Control::CheckBox, 13, true, &A::ExeStop_Enabled},
    {KeyId::WindowPosX, "Window", "WindowPosX", I, 0, nullptr, Control::WindowX, 0, false, {}},
    {KeyId::WindowPosY, "Window", "WindowPosY", I, 0, nullptr, Control::WindowY, 0, false, {}},
    {KeyId::StayOnTop, "Window", "StayOnTop", B, 0, nullptr, Control::StayOnTop, 0, false, {}},
}};

bool IsWindowKey(const KeyDef& d) {
    return d.control == Control::WindowX || d.control == Control::WindowY || d.control == Control::StayOnTop;
}

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

void Write(ProfileFile& file, const KeyDef& d, const std::string& value) {
    if (!file.WriteString(d.section, d.key, value)) throw SettingsWriteError(file.Path());
}

}  // namespace

std::span<const KeyDef> SettingsTable() { return kTable; }

const KeyDef& Key(KeyId id) { return kTable[static_cast<std::size_t>(id)]; }

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

int ReadInt(ProfileFile& file, const KeyDef& d) {
    std::string text = file.ReadString(d.section, d.key, "");
    return ParseProfileInt(text).value_or(d.defaultInt);
}

bool ReadBool(ProfileFile& file, const KeyDef& d) { return ReadInt(file, d) != 0; }

std::string ReadText(ProfileFile& file, const KeyDef& d) {
    return file.ReadString(d.section, d.key, d.defaultText ? d.defaultText : "");
}

void WriteInt(ProfileFile& file, KeyId id, std::int64_t value) { Write(file, Key(id), std::to_string(value)); }
void WriteBool(ProfileFile& file, KeyId id, bool value) { Write(file, Key(id), value ? "1" : "0"); }
void WriteText(ProfileFile& file, KeyId id, const std::string& value) { Write(file, Key(id), value); }

void LoadSettings(ProfileFile& file, FormValues& form) {
    for (const KeyDef& d : kTable) {
        if (!d.loadIntoControl || IsWindowKey(d)) continue;
        switch (d.control) {
            case Control::Caption: form.Caption = ReadText(file, d); break;
            case Control::CheckBox: form.CheckBox[d.controlIndex] = ReadBool(file, d); break;
            case Control::SpinEdit: form.WinSpinEdit[d.controlIndex].SetValue(ReadInt(file, d)); break;
            case Control::ComboBox1: {
                int v = ReadInt(file, d);
                form.ComboBox1ItemIndex = v >= 0 && v <= 2 ? v : -1;
                break;
            }
            case Control::Radio: form.SetRadio(d.controlIndex, ReadBool(file, d)); break;
            default: break;
        }
    }
}

void SaveSettings(ProfileFile& file, FormValues& form) {
    for (const KeyDef& d : kTable) {
        if (IsWindowKey(d)) continue;
        switch (d.control) {
            case Control::Caption: WriteText(file, d.id, form.Caption); break;
            case Control::CheckBox: WriteBool(file, d.id, form.CheckBox[d.controlIndex]); break;
            case Control::SpinEdit: WriteInt(file, d.id, form.WinSpinEdit[d.controlIndex].Value()); break;
            case Control::ComboBox1: WriteInt(file, d.id, form.ComboBox1ItemIndex); break;
            case Control::Radio: WriteBool(file, d.id, form.RadioButton[d.controlIndex]); break;
            case Control::Label20: WriteText(file, d.id, form.Label20); break;
            case Control::Label22: WriteText(file, d.id, form.Label22); break;
            default: break;
        }
    }
}

void LoadActiveSettings(ProfileFile& file, ActiveSettings& active) {
    for (const KeyDef& d : kTable) {
        if (auto* b = std::get_if<bool ActiveSettings::*>(&d.memory)) active.*(*b) = ReadBool(file, d);
        else if (auto* i = std::get_if<int ActiveSettings::*>(&d.memory)) active.*(*i) = ReadInt(file, d);
        else if (auto* t = std::get_if<DateTime ActiveSettings::*>(&d.memory))
            active.*(*t) = ParseTimeOfDay(ReadText(file, d));
    }
}

}  // namespace vesko
