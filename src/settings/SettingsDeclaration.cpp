#include "settings/SettingsDeclaration.h"

#include <array>
#include <vector>

#include "base/FieldCount.h"
#include "base/Text.h"
#include "controls/SpinValue.h"
#include "settings/WeekDays.h"

namespace vesko {
namespace {

using S = Settings;
using C = SettingControl;

// A table of rows, one per line: kept out of the formatter.
// clang-format off
constexpr std::array kDeclaration = {
    SettingDef{.section = "Omake", .key = "Title", .member = &S::Title, .control = C::Caption, .inMemory = false},
    SettingDef{.section = "Timer", .key = "Timer_Enabled", .member = &S::Timer_Enabled},
    SettingDef{.section = "Timer", .key = "Timer_Hour", .member = &S::Timer_Hour, .control = C::SpinEdit, .min = 0, .max = 23, .maxLength = 5},
    SettingDef{.section = "Timer", .key = "Timer_Minute", .member = &S::Timer_Minute, .control = C::SpinEdit, .min = 0, .max = 59},
    SettingDef{.section = "Timer", .key = "Timer_SetTime", .member = &S::Timer_SetTime, .control = C::CountdownLabel, .inDraft = false, .inMemory = false},
    SettingDef{.section = "Timer", .key = "Timer_ScheduleTime", .member = &S::Timer_ScheduleTime, .control = C::CountdownLabel, .inDraft = false},
    SettingDef{.section = "Time", .key = "Time_Enabled", .member = &S::Time_Enabled},
    SettingDef{.section = "Time", .key = "Time_Hour", .member = &S::Time_Hour, .control = C::SpinEdit, .min = 0, .max = 23},
    SettingDef{.section = "Time", .key = "Time_Minute", .member = &S::Time_Minute, .control = C::SpinEdit, .min = 0, .max = 59},
    SettingDef{.section = "Time", .key = "Time_Days", .member = &S::Time_Days, .control = C::DayBoxes},
    SettingDef{.section = "AppointedTime", .key = "AppointedTime_Enabled", .member = &S::AppointedTime_Enabled},
    SettingDef{.section = "AppointedTime", .key = "AppointedTime_FromHour", .member = &S::AppointedTime_FromHour, .control = C::SpinEdit, .min = 0, .max = 23},
    SettingDef{.section = "AppointedTime", .key = "AppointedTime_FromMinute", .member = &S::AppointedTime_FromMinute, .control = C::SpinEdit, .min = 0, .max = 59},
    SettingDef{.section = "AppointedTime", .key = "AppointedTime_ToHour", .member = &S::AppointedTime_ToHour, .control = C::SpinEdit, .min = 0, .max = 23},
    SettingDef{.section = "AppointedTime", .key = "AppointedTime_ToMinute", .member = &S::AppointedTime_ToMinute, .control = C::SpinEdit, .min = 0, .max = 59},
    SettingDef{.section = "AppointedTime", .key = "AppointedTime_Days", .member = &S::AppointedTime_Days, .control = C::DayBoxes},
    SettingDef{.section = "CPU", .key = "CPU_Enabled", .member = &S::CPU_Enabled},
    SettingDef{.section = "CPU", .key = "CPU_Percent", .member = &S::CPU_Percent, .control = C::SpinEdit, .min = 0, .max = 99, .maxLength = 2},
    SettingDef{.section = "CPU", .key = "CPU_Time", .member = &S::CPU_Time, .control = C::SpinEdit, .min = 1, .max = 99999, .maxLength = 5},
    SettingDef{.section = "Network", .key = "Network_Enabled", .member = &S::Network_Enabled},
    SettingDef{.section = "Network", .key = "Network_Speed", .member = &S::Network_Speed, .control = C::SpinEdit, .min = 0, .max = 0, .maxLength = 5},
    SettingDef{.section = "Network", .key = "Network_Unit", .member = &S::Network_Unit, .control = C::UnitComboBox, .min = 0, .max = 2},
    SettingDef{.section = "Network", .key = "Network_Time", .member = &S::Network_Time, .control = C::SpinEdit, .min = 1, .max = 99999, .maxLength = 5},
    SettingDef{.section = "Memory", .key = "Memory_Enabled", .member = &S::Memory_Enabled},
    SettingDef{.section = "Memory", .key = "Memory_Percent", .member = &S::Memory_Percent, .control = C::SpinEdit, .min = 0, .max = 99, .maxLength = 2},
    SettingDef{.section = "Memory", .key = "Memory_Time", .member = &S::Memory_Time, .control = C::SpinEdit, .min = 1, .max = 99999, .maxLength = 5},
    SettingDef{.section = "OS", .key = "OS_Enabled", .member = &S::OS_Enabled},
    SettingDef{.section = "OS", .key = "OS_Hour", .member = &S::OS_Hour, .control = C::SpinEdit, .min = 0, .max = 99999},
    SettingDef{.section = "OS", .key = "OS_Minute", .member = &S::OS_Minute, .control = C::SpinEdit, .min = 0, .max = 59},
    SettingDef{.section = "MouseCursor", .key = "MouseCursor_Enabled", .member = &S::MouseCursor_Enabled},
    SettingDef{.section = "MouseCursor", .key = "MouseCursor_Time", .member = &S::MouseCursor_Time, .control = C::SpinEdit, .min = 1, .max = 99999, .maxLength = 5},
    SettingDef{.section = "ProgramEnd", .key = "ProgramEnd_Enabled", .member = &S::ProgramEnd_Enabled},
    SettingDef{.section = "ProgramEnd", .key = "ProgramEnd_Name", .member = &S::ProgramEnd_Name, .control = C::FileNameEdit, .maxLength = kProgramFileNameMax},
    SettingDef{.section = "ProgramEnd", .key = "ProgramEnd_Time", .member = &S::ProgramEnd_Time, .control = C::SpinEdit, .min = 1, .max = 1440, .maxLength = 4},
    SettingDef{.section = "PowerSaving", .key = "Shutdown", .member = &S::Shutdown, .control = C::MethodRadio},
    SettingDef{.section = "PowerSaving", .key = "Suspend", .member = &S::Suspend, .control = C::MethodRadio},
    SettingDef{.section = "PowerSaving", .key = "Hibernation", .member = &S::Hibernation, .control = C::MethodRadio},
    SettingDef{.section = "PowerSaving", .key = "Piece_Requirement", .member = &S::Piece_Requirement, .control = C::CombinationRadio},
    SettingDef{.section = "PowerSaving", .key = "All_Requirement", .member = &S::All_Requirement, .control = C::CombinationRadio},
    SettingDef{.section = "Other", .key = "Warning_Enabled", .member = &S::Warning_Enabled},
    SettingDef{.section = "Other", .key = "Warning_Time", .member = &S::Warning_Time, .control = C::SpinEdit, .min = 1, .max = 99999, .maxLength = 5},
    SettingDef{.section = "Other", .key = "Function_Enabled", .member = &S::Function_Enabled},
    SettingDef{.section = "Other", .key = "Log_Enabled", .member = &S::Log_Enabled},
    // One check box shows both keys: it loads from ExeStop_Enabled and saves to both.
    SettingDef{.section = "Other", .key = "Application_Enabled", .member = &S::Application_Enabled, .inDraft = false, .savedFrom = &S::ExeStop_Enabled},
    SettingDef{.section = "Other", .key = "ExeStop_Enabled", .member = &S::ExeStop_Enabled},
    SettingDef{.section = "Other", .key = "KeepAwake_Enabled", .member = &S::KeepAwake_Enabled},
    SettingDef{.section = "Wake", .key = "Wake_Enabled", .member = &S::Wake_Enabled},
    SettingDef{.section = "Wake", .key = "Wake_Hour", .member = &S::Wake_Hour, .control = C::SpinEdit, .min = 0, .max = 23},
    SettingDef{.section = "Wake", .key = "Wake_Minute", .member = &S::Wake_Minute, .control = C::SpinEdit, .min = 0, .max = 59},
    SettingDef{.section = "Wake", .key = "Wake_Days", .member = &S::Wake_Days, .control = C::DayBoxes},
    SettingDef{.section = "Window", .key = "WindowPosX", .member = &S::WindowPosX, .control = C::Window, .inDraft = false, .inMemory = false},
    SettingDef{.section = "Window", .key = "WindowPosY", .member = &S::WindowPosY, .control = C::Window, .inDraft = false, .inMemory = false},
    SettingDef{.section = "Window", .key = "StayOnTop", .member = &S::StayOnTop, .control = C::Window, .inDraft = false, .inMemory = false},
};
// clang-format on

// One row per member of Settings: a member without a row, or a member with
// two, stops the build here.
constexpr bool EveryRowNamesAnotherMember() {
    for (std::size_t i = 0; i < kDeclaration.size(); ++i)
        for (std::size_t j = i + 1; j < kDeclaration.size(); ++j)
            if (kDeclaration[i].member == kDeclaration[j].member) return false;
    return true;
}
static_assert(EveryRowNamesAnotherMember(), "two declaration rows name the same Settings member");
static_assert(kFieldCount<Settings> == kDeclaration.size(),
              "every member of Settings needs its row in the declaration (and every row its member)");

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

void Write(ProfileFile& file, std::span<const ProfileEdit> edits) {
    if (!file.WriteStrings(edits)) throw SettingsWriteError(file.Path());
}

ProfileEdit EditOf(const SettingDef& d, std::string text) { return ProfileEdit{d.section, d.key, std::move(text)}; }

// The defaults: a new Settings' members as initialised where they are declared.
const Settings& Defaults() {
    static const Settings defaults;
    return defaults;
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

std::span<const SettingDef> SettingsDeclaration() { return kDeclaration; }

const SettingDef& DeclarationOf(const SettingMember& member) {
    // Every member has exactly one row (checked above when this file
    // compiles), so the search ends at the member's row.
    std::size_t i = 0;
    while (i + 1 < kDeclaration.size() && !(kDeclaration[i].member == member)) ++i;
    return kDeclaration[i];
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

int DefaultInt(const SettingDef& d) {
    if (auto* b = std::get_if<bool S::*>(&d.member)) return Defaults().**b ? 1 : 0;
    if (auto* i = std::get_if<int S::*>(&d.member)) return Defaults().**i;
    return 0;
}

std::string DefaultText(const SettingDef& d) {
    if (auto* t = std::get_if<std::string S::*>(&d.member)) return Defaults().**t;
    if (auto* t = std::get_if<TimeOfDayText S::*>(&d.member)) return (Defaults().**t).text;
    return std::to_string(DefaultInt(d));
}

int ReadInt(ProfileFile& file, const SettingDef& d) {
    std::string text = file.ReadString(d.section, d.key, "");
    return ParseProfileInt(text).value_or(DefaultInt(d));
}

bool ReadBool(ProfileFile& file, const SettingDef& d) { return ReadInt(file, d) != 0; }

std::string ReadText(ProfileFile& file, const SettingDef& d) {
    return file.ReadString(d.section, d.key, DefaultText(d));
}

int ReadSetting(ProfileFile& file, int S::*member) { return ReadInt(file, DeclarationOf(member)); }
bool ReadSetting(ProfileFile& file, bool S::*member) { return ReadBool(file, DeclarationOf(member)); }

void WriteSettings(ProfileFile& file, std::span<const SettingValue> values) {
    std::vector<ProfileEdit> edits;
    for (const SettingValue& v : values) edits.push_back(EditOf(DeclarationOf(v.member), v.text));
    Write(file, edits);
}
void WriteSetting(ProfileFile& file, int S::*member, std::int64_t value) {
    const SettingValue v(member, value);
    WriteSettings(file, {&v, 1});
}
void WriteSetting(ProfileFile& file, bool S::*member, bool value) {
    const SettingValue v(member, value);
    WriteSettings(file, {&v, 1});
}
void WriteSetting(ProfileFile& file, const SettingMember& member, const std::string& value) {
    const SettingValue v(member, value);
    WriteSettings(file, {&v, 1});
}

void SetRadio(Settings& s, bool S::*member, bool checked) {
    if (checked) {
        const C group = DeclarationOf(member).control;
        for (const SettingDef& d : kDeclaration)
            if (d.control == group) s.*std::get<bool S::*>(d.member) = false;
    }
    s.*member = checked;
}

std::string ProgramFileName(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    const std::string trimmed = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const std::size_t cut = trimmed.find_last_of("\\/:");
    const std::string name = cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
    return CutToUtf16Units(name, kProgramFileNameMax);
}

void LoadDraft(ProfileFile& file, Settings& draft) {
    for (const SettingDef& d : kDeclaration) {
        if (!d.inDraft) continue;
        if (d.control == C::FileNameEdit) {
            draft.*std::get<std::string S::*>(d.member) = ProgramFileName(ReadText(file, d));
        } else if (d.control == C::DayBoxes) {
            draft.*std::get<std::string S::*>(d.member) = WeekDaysText(ReadText(file, d));
        } else if (auto* t = std::get_if<std::string S::*>(&d.member)) {
            draft.** t = ReadText(file, d);
        } else if (IsRadio(d)) {
            SetRadio(draft, std::get<bool S::*>(d.member), ReadBool(file, d));
        } else if (auto* b = std::get_if<bool S::*>(&d.member)) {
            draft.** b = ReadBool(file, d);
        } else if (auto* i = std::get_if<int S::*>(&d.member)) {
            draft.** i = ControlValue(d, ReadInt(file, d));
        }
    }
}

void LoadCountdownLabels(ProfileFile& file, Settings& draft, const std::string& missingText) {
    for (const SettingDef& d : kDeclaration) {
        if (d.control != C::CountdownLabel) continue;
        std::string text = file.ReadString(d.section, d.key, missingText);
        if (auto* t = std::get_if<std::string S::*>(&d.member)) draft.** t = std::move(text);
        else (draft.*std::get<TimeOfDayText S::*>(d.member)).text = std::move(text);
    }
}

void SaveSettings(ProfileFile& file, const Settings& draft) {
    std::vector<ProfileEdit> edits;
    for (const SettingDef& d : kDeclaration)
        if (d.control != C::Window) edits.push_back(EditOf(d, FileText(d, draft)));
    Write(file, edits);
}

void LoadActiveSettings(ProfileFile& file, Settings& active) {
    for (const SettingDef& d : kDeclaration) {
        if (!d.inMemory) continue;
        if (auto* b = std::get_if<bool S::*>(&d.member)) active.** b = ReadBool(file, d);
        else if (auto* i = std::get_if<int S::*>(&d.member)) active.** i = InMemoryValue(d, ReadInt(file, d));
        else if (auto* t = std::get_if<TimeOfDayText S::*>(&d.member))
            (active.**t).time = TimerScheduleFromText(ReadText(file, d));
        else if (d.control == C::FileNameEdit)
            active.*std::get<std::string S::*>(d.member) = ProgramFileName(ReadText(file, d));
        else if (d.control == C::DayBoxes)
            active.*std::get<std::string S::*>(d.member) = WeekDaysText(ReadText(file, d));
    }
}

}  // namespace vesko
