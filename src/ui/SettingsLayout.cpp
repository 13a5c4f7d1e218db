#include "ui/SettingsLayout.h"

#include <algorithm>
#include <cmath>

#include "settings/WeekDays.h"
#include "ui/ControlIds.h"

namespace vesko {
namespace {

constexpr int kCheckHeight = 18;
constexpr int kSpinHeight = 21;
constexpr int kLabelHeight = 14;
constexpr int kLabelDrop = 4;  // a unit label sits this much below its spin edit's top
constexpr int kIndent = 36;    // the numbers of a condition start under its check box's caption
constexpr int kDayBoxWidth = 34;
constexpr int kFirstNewId = 1200;
// The lines under the method choices that say what each method does here,
// and how far they push the rest of the right column down.
constexpr int kSleepKindsLines = 5;
constexpr int kSleepKindsGrowth = kSleepKindsLines * kLabelHeight + 1;
// The dialog keys' own command ids (IDOK, IDCANCEL): Enter and Esc reach the
// window as these commands.
constexpr int kOkId = 1;
constexpr int kCancelId = 2;

constexpr const char* kNetworkUnits[] = {"B/s", "kB/s", "MB/s"};

class Builder {
public:
    std::vector<LayoutControl> controls;

    void Group(std::string_view name, std::string_view caption, LayoutRect r, int id = 0) {
        group_ = -1;
        Add(LayoutKind::Group, name, caption, r, id);
        group_ = static_cast<int>(controls.size()) - 1;
    }
    void Loose() { group_ = -1; }
    LayoutControl& Add(LayoutKind kind, std::string_view name, std::string_view caption, LayoutRect r, int id = 0) {
        LayoutControl c;
        c.kind = kind;
        c.name = name;
        c.caption = caption;
        c.rect = r;
        c.id = id ? id : nextId_++;
        c.group = group_;
        // Every tab stop is a keyboard group of its own except the radio
        // buttons after the first of their set.
        c.groupStart = c.TabStop() && !(kind == LayoutKind::RadioButton && lastWasRadio_);
        lastWasRadio_ = kind == LayoutKind::RadioButton;
        controls.push_back(c);
        return controls.back();
    }
    void Check(std::string_view key, std::string_view caption, int x, int y, int w) {
        Add(LayoutKind::CheckBox, key, caption, {x, y, w, kCheckHeight});
    }
    void Radio(std::string_view key, std::string_view caption, int x, int y, int w) {
        Add(LayoutKind::RadioButton, key, caption, {x, y, w, kCheckHeight});
    }
    void Spin(std::string_view key, int x, int y, int w) { Add(LayoutKind::SpinEdit, key, "", {x, y, w, kSpinHeight}); }
    // The days of a clock condition, on its check box's line.
    void Days(std::string_view key, int x, int y) {
        Add(LayoutKind::DayBoxes, key, "", {x, y, kDaysInWeek * kDayBoxWidth, kCheckHeight}).items = kWeekdayNames;
        nextId_ += kDaysInWeek - 1;  // an id for each box
    }
    // A label on the line of the spin edits whose top is spinY.
    void Unit(std::string_view caption, int x, int spinY, int w) { Text("", caption, x, spinY + kLabelDrop, w); }
    void Text(std::string_view name, std::string_view caption, int x, int y, int w, int id = 0) {
        Add(LayoutKind::Label, name, caption, {x, y, w, kLabelHeight}, id);
    }

private:
    int group_ = -1;
    int nextId_ = kFirstNewId;
    bool lastWasRadio_ = false;
};

// A condition's mark, right-aligned at the frame's inner edge; on the check
// box's line unless that line is full.
void Mark(Builder& b, int condition, int x, int y) {
    constexpr int kRight = 365;
    b.Add(LayoutKind::Label, kConditionMarkNames[condition], "", {x, y, kRight - x, kLabelHeight},
          ids::FirstConditionMark + condition)
        .alignRight = true;
}

// Hour and minute of a clock time on one line, followed by their captions.
void ClockLine(Builder& b, std::string_view hourKey, std::string_view minuteKey, int y, std::string_view tail,
               int tailWidth) {
    b.Spin(hourKey, kIndent, y, 48);
    b.Unit("時", 88, y, 14);
    b.Spin(minuteKey, 106, y, 48);
    b.Unit(tail, 158, y, tailWidth);
}

// A reading that must stay at or below a percentage for some minutes.
void PercentLine(Builder& b, std::string_view percentKey, std::string_view timeKey, int y) {
    b.Spin(percentKey, kIndent, y, 40);
    b.Unit("％\u3000以下が", 80, y, 60);
    b.Spin(timeKey, 144, y, 60);
    b.Unit("分間続くと節電", 208, y, 84);
}

// The right column's rows end this much lower than the buttons' first place
// (below the conditions' frame), and the window with them.
static_assert(478 + kSleepKindsGrowth + kLabelHeight + 7 == 482 + kSettingsGrowth);

void Conditions(Builder& b) {
    // Down to the bottom of the buttons in the right column.
    b.Group("ConditionsGroup", "節電条件", {8, 8, 361, 499 + kSettingsGrowth});
    // Each condition: its check box, then its numbers on the next line(s).
    b.Check("Timer_Enabled", "タイマー", 16, 26, 70);
    b.Text("", "セット時刻", 92, 28, 60);
    b.Text("TimerSetTimeLabel", "hh:nn", 154, 28, 36, ids::TimerSetTimeLabel);
    b.Text("", "節電予定時刻", 196, 28, 74);
    b.Text("TimerDueLabel", "hh:nn", 272, 28, 36, ids::TimerDueLabel);
    b.Spin("Timer_Hour", kIndent, 46, 60);
    b.Unit("時間", 100, 46, 24);
    b.Spin("Timer_Minute", 128, 46, 48);
    b.Unit("分後に節電", 180, 46, 62);
    b.Add(LayoutKind::Button, "SetTimerButton", "セット", {248, 45, 56, 23});
    Mark(b, 0, 306, 50);

    // The clocks' days take their check box's line; their marks go below.
    b.Check("Time_Enabled", "指定時刻", 16, 76, 70);
    b.Days("Time_Days", 92, 76);
    ClockLine(b, "Time_Hour", "Time_Minute", 96, "分に節電", 50);
    Mark(b, 1, 212, 100);

    b.Check("AppointedTime_Enabled", "指定時間", 16, 126, 70);
    b.Days("AppointedTime_Days", 92, 126);
    ClockLine(b, "AppointedTime_FromHour", "AppointedTime_FromMinute", 146, "分から", 38);
    ClockLine(b, "AppointedTime_ToHour", "AppointedTime_ToMinute", 172, "分までの間だと節電", 110);
    Mark(b, 2, 272, 176);

    b.Check("CPU_Enabled", "CPU負荷", 16, 202, 70);
    Mark(b, 3, 150, 204);
    PercentLine(b, "CPU_Percent", "CPU_Time", 222);

    b.Check("Network_Enabled", "ネットワーク通信量", 16, 252, 130);
    Mark(b, 4, 150, 254);
    b.Spin("Network_Speed", kIndent, 272, 60);
    b.Add(LayoutKind::DropDownList, "Network_Unit", "", {100, 272, 60, kSpinHeight}).items = kNetworkUnits;
    b.Unit("以下が", 164, 272, 38);
    b.Spin("Network_Time", 206, 272, 60);
    b.Unit("分間続くと節電", 270, 272, 84);

    b.Check("Memory_Enabled", "メモリの利用率", 16, 302, 106);
    Mark(b, 5, 150, 304);
    PercentLine(b, "Memory_Percent", "Memory_Time", 322);

    b.Check("OS_Enabled", "OSの連続起動時間", 16, 352, 130);
    Mark(b, 6, 150, 354);
    b.Spin("OS_Hour", kIndent, 372, 60);
    b.Unit("時間", 100, 372, 24);
    b.Spin("OS_Minute", 128, 372, 48);
    b.Unit("分以上連続起動していると節電", 180, 372, 170);

    b.Check("MouseCursor_Enabled", "マウスカーソル", 16, 402, 106);
    Mark(b, 7, 150, 404);
    b.Spin("MouseCursor_Time", kIndent, 422, 60);
    b.Unit("分以上動いていないと節電", 100, 422, 146);

    b.Check("ProgramEnd_Enabled", "ソフトの終了", 16, 452, 100);
    Mark(b, 8, 150, 454);
    b.Add(LayoutKind::Edit, "ProgramEnd_Name", "", {kIndent, 472, 116, kSpinHeight});
    b.Add(LayoutKind::Button, "ProgramPickerButton", "選択", {156, 471, 44, 23});
    b.Unit("が終了して", 204, 472, 62);
    b.Spin("ProgramEnd_Time", 268, 472, 52);
    b.Unit("分", 324, 472, 14);
}

void Status(Builder& b) {
    b.Group("StatusGroup", "現在の状態", {376, 8, 273, 129}, ids::GroupStatus);
    b.Text("OsVersionLabel", "OSのばーじょん", 388, 26, 253, ids::OsVersionLabel);
    struct Row {
        std::string_view caption;
        int captionId;
        std::string_view name;
        std::string_view design;
        int id;
    };
    const Row rows[] = {
        {"CPUの負荷", ids::CaptionCpu, "StatusCpu", "CPUの値  1", ids::StatusCpu},
        {"ネットワーク通信量", ids::CaptionNetwork, "StatusNetwork", "ネットワークの値  2", ids::StatusNetwork},
        {"メモリの使用率", ids::CaptionMemory, "StatusMemory", "メモリの使用率  3", ids::StatusMemory},
        {"現在時刻", ids::CaptionTime, "StatusClock", "時刻  15", ids::StatusClock},
        {"OSの連続起動時間", ids::CaptionUptime, "StatusUptime", "OSTime  16", ids::StatusUptime},
    };
    int y = 46;
    for (const Row& row : rows) {
        b.Text("", row.caption, 388, y, 108, row.captionId);
        b.Text(row.name, row.design, 498, y, 143, row.id);
        y += 17;
    }
}

void Methods(Builder& b) {
    b.Group("MethodGroup", "節電方法", {376, 144, 273, 81 + kSleepKindsGrowth});
    b.Radio("Shutdown", "Windowsを終了して電源を切る", 388, 162, 253);
    b.Radio("Suspend", "Windowsをサスペンドする", 388, 182, 253);
    b.Radio("Hibernation", "Windowsを休止状態にする", 388, 202, 253);
    b.Add(LayoutKind::Label, "SleepKindsLine", "", {388, 222, 253, kSleepKindsLines * kLabelHeight});

    constexpr int y = kSleepKindsGrowth;
    b.Group("CombinationGroup", "複数条件", {376, 232 + y, 273, 65});
    b.Radio("Piece_Requirement", "１つの節電条件が満たされたとき節電", 388, 250 + y, 253);
    b.Radio("All_Requirement", "すべての節電条件が満たされたとき節電", 388, 270 + y, 253);
}

void RightColumn(Builder& b) {
    b.Loose();
    // Six rows below the combination frame, 21 pixels apart.
    constexpr int y = kSleepKindsGrowth;
    b.Check("Warning_Enabled", "", 380, 304 + y, 18);
    b.Text("", "節電", 400, 305 + y, 26);
    b.Spin("Warning_Time", 428, 301 + y, 60);
    b.Unit("分前から警告をだす", 492, 301 + y, 110);
    b.Check("Function_Enabled", "このソフトの機能を有効にする", 380, 326 + y, 200);
    b.Check("ExeStop_Enabled", "指定したソフトの起動中は機能を無効", 380, 347 + y, 224);
    b.Add(LayoutKind::Button, "ExcludedProgramsButton", "設定", {608, 344 + y, 40, 23});
    b.Check("KeepAwake_Enabled", "他のソフトが使用中のときは節電しない", 380, 368 + y, 262);
    b.Check("Log_Enabled", "ログを作成する", 380, 389 + y, 200);
    b.Check("StartWithWindows", "Windows起動時にこのソフトを常駐させる", 380, 410 + y, 262);
    // Waking the machine after its own sleep: the time, its days, and (for
    // the power-off, which no timer wakes from) a note.
    b.Check("Wake_Enabled", "復帰する", 380, 434 + y, 70);
    b.Spin("Wake_Hour", 452, 431 + y, 48);
    b.Unit("時", 504, 431 + y, 14);
    b.Spin("Wake_Minute", 522, 431 + y, 48);
    b.Unit("分", 574, 431 + y, 14);
    b.Days("Wake_Days", 398, 456 + y);
    b.Text("WakeNote", "", 398, 478 + y, 245, ids::WakeNote);
    // The buttons below the rows, at the bottom of the conditions' frame.
    constexpr int buttons = 482 + kSettingsGrowth;
    b.Add(LayoutKind::DefaultButton, "OkButton", "OK", {414, buttons, 75, 25}, kOkId);
    b.Add(LayoutKind::Button, "CancelButton", "キャンセル", {494, buttons, 75, 25}, kCancelId);
    b.Add(LayoutKind::Button, "ApplyButton", "適用(&A)", {574, buttons, 75, 25});
    // When the chosen method will run, or why nothing will: a line of its own.
    b.Text("SummaryLine", "", 16, 515 + kSettingsGrowth, 625, ids::SummaryLine);
}

std::vector<LayoutControl> BuildLayout() {
    Builder b;
    Conditions(b);
    Status(b);
    Methods(b);
    RightColumn(b);
    return std::move(b.controls);
}

}  // namespace

std::span<const LayoutControl> SettingsLayout() {
    static const std::vector<LayoutControl> layout = BuildLayout();
    return layout;
}

int ScaleLayout(int px96, int dpi) { return static_cast<int>(std::lround(px96 * (dpi / 96.0))); }

int SettingsVisibleHeight(int full, int workHeight, int frameHeight) {
    // Never less than a few rows, whatever the work area says.
    return std::clamp(workHeight - frameHeight, std::min(full, 120), full);
}

LayoutRect DayBoxRect(const LayoutControl& days, int day) {
    const int w = days.rect.w / kDaysInWeek;
    return {days.rect.x + day * w, days.rect.y, w, days.rect.h};
}

const LayoutControl* FindLayoutControl(std::string_view name) {
    if (name.empty()) return nullptr;
    for (const LayoutControl& c : SettingsLayout())
        if (c.name == name) return &c;
    return nullptr;
}

int LayoutControlId(std::string_view name) {
    const LayoutControl* c = FindLayoutControl(name);
    return c ? c->id : -1;
}

}  // namespace vesko
