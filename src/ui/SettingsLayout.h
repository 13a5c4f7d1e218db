#pragma once
// The settings window's controls as data: every group, control, caption and
// unit label with its place in 96-DPI client pixels, in reading order (which
// is also the creation and tab order). Controls bound to a setting are named
// by the setting's INI key, all others by their role; plain captions have no
// name. Ranges and typing limits are the settings declaration's, found by that
// key (SettingsBinding.h). The Windows side creates the window from this table.
#include <span>
#include <string_view>
#include <vector>

namespace vesko {

enum class LayoutKind {
    Group,
    CheckBox,
    RadioButton,
    Label,
    SpinEdit,
    DropDownList,
    Button,
    DefaultButton,
    Edit,
    DayBoxes,  // one check box per day of the week side by side, captions `items`, ids id .. id + 6
};

struct LayoutRect {
    int x = 0, y = 0, w = 0, h = 0;
    int Right() const { return x + w; }
    int Bottom() const { return y + h; }
};

struct LayoutControl {
    LayoutKind kind = LayoutKind::Label;
    std::string_view name;     // INI key or role; empty for a fixed caption
    std::string_view caption;  // the text shown (design text for value labels)
    LayoutRect rect;
    int id = 0;
    int group = -1;                      // index of the enclosing group entry; -1 for loose controls
    bool groupStart = false;             // starts a keyboard group (WS_GROUP)
    std::span<const char* const> items;  // drop-down list items, the day boxes' captions
    bool alignRight = false;             // labels only: the text keeps to the right edge

    bool TabStop() const { return kind != LayoutKind::Group && kind != LayoutKind::Label; }
};

inline constexpr int kSettingsClientWidth = 655;
// How much the lines under the method choices and the wake-up's rows make the window taller.
inline constexpr int kSettingsGrowth = 24 + 64;
// The documented 463 pixels, the job's end's row, one line below them for
// the summary, and what the method's lines add.
inline constexpr int kSettingsClientHeight = 463 + 50 + 20 + kSettingsGrowth;

// The marks beside the condition rows, in the engine's condition order; their
// ids follow ids::FirstConditionMark.
inline constexpr std::string_view kConditionMarkNames[] = {
    "TimerMark",  "TimeMark", "AppointedTimeMark", "CpuMark",        "NetworkMark",
    "MemoryMark", "OsMark",   "MouseCursorMark",   "ProgramEndMark",
};

// Pixels at 96 DPI at another DPI, rounded as the window's controls are.
int ScaleLayout(int px96, int dpi);

// How much of the settings window's client height (`full` pixels) shows on a
// work area `workHeight` pixels high when its frame takes `frameHeight`: all
// of it where it fits; else what the work area leaves (a laptop of
// 1366 × 768 at 150 %), the rest reached with the window's scroll bar.
int SettingsVisibleHeight(int full, int workHeight, int frameHeight);

// The place of one of the day boxes (0 Monday .. 6 Sunday).
LayoutRect DayBoxRect(const LayoutControl& days, int day);

// The whole window, in reading order.
std::span<const LayoutControl> SettingsLayout();
// The entry of a named control, or null.
const LayoutControl* FindLayoutControl(std::string_view name);
// Control id of a named control, or -1.
int LayoutControlId(std::string_view name);

}  // namespace vesko
