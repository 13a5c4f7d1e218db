#pragma once
// Every key of "vesko.ini" is declared once here, in the order the settings
// are saved. Loading, saving and single-key writes all walk or index this table.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "settings/ActiveSettings.h"
#include "settings/FormValues.h"
#include "settings/ProfileFile.h"

namespace vesko {

enum class KeyType { Bool, Int, Text, TimeText };

// Which control of the settings window shows the key.
enum class Control { None, Caption, CheckBox, SpinEdit, ComboBox1, Radio, Label20, Label22, WindowX, WindowY, StayOnTop };

enum class KeyId {
    Title,
    Timer_Enabled, Timer_Hour, Timer_Minute, Timer_SetTime, Timer_ScheduleTime,
    Time_Enabled, Time_Hour, Time_Minute,
    AppointedTime_Enabled, AppointedTime_FromHour, AppointedTime_FromMinute, AppointedTime_ToHour, AppointedTime_ToMinute,
    CPU_Enabled, CPU_Percent, CPU_Time,
    Network_Enabled, Network_Speed, Network_Unit, Network_Time,
    Memory_Enabled, Memory_Percent, Memory_Time,
    OS_Enabled, OS_Hour, OS_Minute,
    MouseCursor_Enabled, MouseCursor_Time,
    Shutdown, Suspend, Hibernation, Piece_Requirement, All_Requirement,
    Warning_Enabled, Warning_Time, Function_Enabled, Log_Enabled, Application_Enabled, ExeStop_Enabled,
    WindowPosX, WindowPosY, StayOnTop,
    Count
};

using MemoryField = std::variant<std::monostate, bool ActiveSettings::*, int ActiveSettings::*, DateTime ActiveSettings::*>;

struct KeyDef {
    KeyId id;
    const char* section;
    const char* key;
    KeyType type;
    int defaultInt;            // bool and int keys
    const char* defaultText;   // text keys
    Control control;
    int controlIndex;          // CheckBox/SpinEdit/Radio number
    bool loadIntoControl;      // false: written from the control only
    MemoryField memory;        // empty: not in the in-memory copy
};

std::span<const KeyDef> SettingsTable();
const KeyDef& Key(KeyId id);

// Typed reading of profile text: an integer in decimal, or hexadecimal after
// "$" or (in a text longer than two characters) "0x"/"0X"; nullopt otherwise.
std::optional<std::int32_t> ParseProfileInt(const std::string& text);

int ReadInt(ProfileFile& file, const KeyDef& def);
bool ReadBool(ProfileFile& file, const KeyDef& def);
std::string ReadText(ProfileFile& file, const KeyDef& def);

// Single-key writes; a refused write raises SettingsWriteError.
void WriteInt(ProfileFile& file, KeyId id, std::int64_t value);
void WriteBool(ProfileFile& file, KeyId id, bool value);
void WriteText(ProfileFile& file, KeyId id, const std::string& value);

// The file into the controls (every key but the timer texts and the window keys).
void LoadSettings(ProfileFile& file, FormValues& form);
// The controls into the file, in table order; stops at a refused key.
void SaveSettings(ProfileFile& file, FormValues& form);
// The file into the in-memory copy.
void LoadActiveSettings(ProfileFile& file, ActiveSettings& active);

}  // namespace vesko
