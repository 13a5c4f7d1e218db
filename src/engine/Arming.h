#pragma once
// Arming the power-saving function: the two checkers that refuse settings
// which would be met at the very moment of arming (OK/Apply on the window's
// controls, and the tray menu item on the in-memory settings), and what the
// tray item's click must do. The countdown's "セット" arithmetic is
// ScheduleFromNow in engine/TimerSchedule.h.
#include <cstdint>
#include <optional>
#include <string>

#include "base/DateTime.h"
#include "engine/MonitorState.h"
#include "engine/TimerSchedule.h"
#include "settings/Settings.h"
#include "settings/Settings.h"

namespace vesko {

// The refusals, shown in an error box with one OK button. The first is
// kInvalidTimerMessage of TimerSchedule.h.
inline constexpr const char* kInvalidOsUptimeMessage = "OSの連続起動時間の値が無効です";
inline constexpr const char* kOsUptimeElapsedMessage = "OSの連続起動時間はすでに経過しています";
inline constexpr const char* kTimerScheduleIsNowMessage = "タイマーの節電予定時刻は現在の時間です";
inline constexpr const char* kTimeIsNowMessage = "指定時刻は現在の時間です";
inline constexpr const char* kAppointedTimeIsNowMessage = "指定された時間は現在の時間です";
// A clock condition switched on with none of its days ticked.
inline constexpr const char* kTimeNoDayMessage = "指定時刻：節電する曜日を１つ以上選んでください";
inline constexpr const char* kAppointedTimeNoDayMessage = "指定時間：節電する曜日を１つ以上選んでください";
inline constexpr const char* kWakeNoDayMessage = "復帰する：復帰する曜日を１つ以上選んでください";
// The job's end switched on without a file name, or with a folder in it.
inline constexpr const char* kProgramEndNameMissingMessage =
    "ソフトの終了：終了を待つソフトのファイル名を入力してください";
inline constexpr const char* kProgramEndNameFolderMessage =
    "ソフトの終了：フォルダを含まないファイル名（例 render.exe）を入力してください";

// OK/Apply's check of the draft; the first failing test decides, the job's
// end's file name last (whether or not Function_Enabled is ticked). Returns the
// refusal message, none when the values may be saved. The uptime and the
// three clock tests count only while Function_Enabled is ticked (the daily
// time and the window on their ticked days); the two zero tests and a clock
// condition switched on without a day always. The countdown is compared by
// its due label's text.
//
// On a refusal the window shows the message, unchecks Function_Enabled and
// its menu item, clears the in-memory Function_Enabled (SwitchOffAfterRefusal does
// the portable part), writes nothing and stops OK/Apply.
std::optional<std::string> ValidateSettings(const Settings& draft, DateTime now, std::uint64_t uptimeMs);

// The tray item's check before switching on, on the in-memory settings. Unlike
// ValidateSettings it tests the elapsed uptime and the AppointedTime window only
// in any-one mode (Piece_Requirement), and it does not look at the draft's Function_Enabled.
std::optional<std::string> CheckFunctionEnable(const Settings& settings, DateTime now, std::uint64_t uptimeMs);

// The in-memory side of a refusal by either checker.
void SwitchOffAfterRefusal(Settings& draft, Settings& settings);

// What a click on the tray menu's function switch must do.
struct FunctionSwitch {
    // New state of Function_Enabled in memory, in the draft and of the
    // switch's check mark.
    bool FunctionEnabled = false;
    // Error box to show (switching on refused); the click then ends there.
    std::optional<std::string> Refusal;
    // Write Function_Enabled (the new value) to section Other of the file.
    bool WriteSetting = false;
    // Tray icon to show: 1 "TFICON" after switching off, 0 "TTICON" after
    // switching on; none on a refusal.
    std::optional<int> TrayIconId;
    // Switched on: the hold-off minute, every duration condition's running
    // time and the cursor position start again (MonitorState::Arm), so stale
    // running times from before the pause never count.
    bool Rearm = false;
};

// `checked` is the item's check mark before the click: ticked switches off
// without any test; unticked tests the in-memory settings and switches on.
FunctionSwitch ToggleFunction(bool checked, const Settings& settings, DateTime now, std::uint64_t uptimeMs);

// Applies a FunctionSwitch's in-memory effects: Function_Enabled (in memory
// and in the draft) and the re-arming. Call it before writing the file, so
// that a failing write leaves the switched-on function in its hold-off minute.
// The window still sets the menu check mark and the tray icon, shows the
// refusal and writes the setting.
void ApplyFunctionSwitch(const FunctionSwitch& change, const ArmReadings& now, Settings& settings, Settings& draft,
                         MonitorState& state);

}  // namespace vesko
