#pragma once
// The one declaration of every key of "vesko.ini": section, key, type, range
// and typing limit, the control that shows it and where it is loaded; its
// default is the member's initial value in Settings. Rows stand in the order
// the settings are saved. Loading (into the draft and into the in-memory
// copy), saving, single-key writes and the spin edits' ranges all walk or
// search this declaration.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "settings/ProfileFile.h"
#include "settings/Settings.h"

namespace vesko {

// How the settings window (or the main window) shows a key.
enum class SettingControl {
    Caption,  // the window's title
    CheckBox,
    SpinEdit,          // clamped to [min, max] in the draft (no clamping when min == max)
    UnitComboBox,      // item index; a value outside [min, max] selects nothing (-1)
    MethodRadio,       // one of Shutdown, Suspend, Hibernation
    CombinationRadio,  // one of Piece_Requirement, All_Requirement
    CountdownLabel,    // a label of the countdown, saved as it stands, never loaded
    FileNameEdit,      // a program's file name: loaded without a folder, at most maxLength characters
    DayBoxes,          // seven check boxes, Monday first, saved as seven 0/1 characters
    Window,            // window position and stay-on-top, written on their own
};

using SettingMember =
    std::variant<bool Settings::*, int Settings::*, std::string Settings::*, TimeOfDayText Settings::*>;

struct SettingDef {
    const char* section;
    const char* key;
    SettingMember member;
    SettingControl control = SettingControl::CheckBox;
    std::int64_t min = 0, max = 0;        // spin edits and the unit box
    int maxLength = 0;                    // typing limit of a spin edit, 0 = none
    bool inDraft = true;                  // loaded into the window's draft
    bool inMemory = true;                 // loaded into the tick's in-memory copy
    bool Settings::*savedFrom = nullptr;  // written with another member's value
};

// The longest file name Windows allows, in characters (UTF-16 units).
inline constexpr int kProgramFileNameMax = 259;

std::span<const SettingDef> SettingsDeclaration();
// The row of a member; every member has exactly one (checked at compile time).
const SettingDef& DeclarationOf(const SettingMember& member);

// A hand-edited program name brought into range: blanks at the ends and any
// folder dropped, cut to kProgramFileNameMax characters.
std::string ProgramFileName(const std::string& text);

// Typed reading of profile text: an integer in decimal, or hexadecimal after
// "$" or (in a text longer than two characters) "0x"/"0X"; nullopt otherwise.
std::optional<std::int32_t> ParseProfileInt(const std::string& text);

int ReadInt(ProfileFile& file, const SettingDef& def);
bool ReadBool(ProfileFile& file, const SettingDef& def);
std::string ReadText(ProfileFile& file, const SettingDef& def);
int ReadSetting(ProfileFile& file, int Settings::*member);
bool ReadSetting(ProfileFile& file, bool Settings::*member);

// The value a new Settings holds for the row's member: what a missing or
// unreadable key reads as (0 or 1 for a check box, the text of a text key).
int DefaultInt(const SettingDef& def);
std::string DefaultText(const SettingDef& def);

// One key's new value as the file spells it.
struct SettingValue {
    SettingValue(int Settings::*m, std::int64_t v) : member(m), text(std::to_string(v)) {}
    SettingValue(bool Settings::*m, bool v) : member(m), text(v ? "1" : "0") {}
    SettingValue(const SettingMember& m, std::string v) : member(m), text(std::move(v)) {}
    SettingMember member;
    std::string text;
};

// Keys written together, in one write of the file: all of them or, raising
// SettingsWriteError, none.
void WriteSettings(ProfileFile& file, std::span<const SettingValue> values);
void WriteSetting(ProfileFile& file, int Settings::*member, std::int64_t value);
void WriteSetting(ProfileFile& file, bool Settings::*member, bool value);
void WriteSetting(ProfileFile& file, const SettingMember& member, const std::string& value);

// Checking a radio button unchecks the others of its group; unchecking
// touches only that button.
void SetRadio(Settings& s, bool Settings::*member, bool checked);

// The file into the window's draft: every key but the countdown labels, the
// window keys and Application_Enabled; spin edits clamped to their range.
void LoadDraft(ProfileFile& file, Settings& draft);
// The countdown's two label texts as the file holds them, missingText for a
// missing key (what Cancel and every close of the window show).
void LoadCountdownLabels(ProfileFile& file, Settings& draft, const std::string& missingText);
// The draft into the file in one write, keys in declaration order, window
// keys left out; a refused write raises SettingsWriteError and leaves the
// file as it was.
void SaveSettings(ProfileFile& file, const Settings& draft);
// The file into the in-memory copy, each number brought into the range its
// control allows (a spin edit without a range: its typing limit), so the tick
// never works with a value the window could not produce. The file is not written.
void LoadActiveSettings(ProfileFile& file, Settings& active);

}  // namespace vesko
