#include "engine/Arming.h"

#include "engine/Conditions.h"
#include "settings/WeekDays.h"

namespace vesko {
namespace {

std::int64_t UptimeWholeMinutes(std::uint64_t uptimeMs) { return static_cast<std::int64_t>(uptimeMs / 60000u); }

std::int64_t ClockMinutes(std::int64_t hour, std::int64_t minute) { return hour * 60 + minute; }

// A clock condition switched on needs a day to hold on.
std::optional<std::string> CheckDays(const Settings& s) {
    if (s.Time_Enabled && !AnyDayTicked(s.Time_Days)) return kTimeNoDayMessage;
    if (s.AppointedTime_Enabled && !AnyDayTicked(s.AppointedTime_Days)) return kAppointedTimeNoDayMessage;
    if (s.Wake_Enabled && !AnyDayTicked(s.Wake_Days)) return kWakeNoDayMessage;
    return std::nullopt;
}

bool TimeIsNow(const Settings& s, DateTime now) {
    const DateTimeParts t = DecodeDateTime(now);
    return t.hour == s.Time_Hour && t.minute == s.Time_Minute && DayTicked(s.Time_Days, WeekdayOf(now));
}

bool WindowCoversNow(const Settings& s, DateTime now) {
    const auto from = ClockMinutes(s.AppointedTime_FromHour, s.AppointedTime_FromMinute);
    const auto to = ClockMinutes(s.AppointedTime_ToHour, s.AppointedTime_ToMinute);
    return WindowMinutesLeft(now, static_cast<int>(from), static_cast<int>(to), s.AppointedTime_Days) == 0;
}

// The job's end needs a bare file name to watch for.
std::optional<std::string> CheckProgramEndName(const Settings& s) {
    if (!s.ProgramEnd_Enabled) return std::nullopt;
    const std::size_t first = s.ProgramEnd_Name.find_first_not_of(" \t");
    if (first == std::string::npos) return kProgramEndNameMissingMessage;
    if (s.ProgramEnd_Name.find_first_of("\\/:") != std::string::npos) return kProgramEndNameFolderMessage;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ValidateSettings(const Settings& f, DateTime now, std::uint64_t uptimeMs) {
    const bool armed = f.Function_Enabled;
    const DateTimeParts t = DecodeDateTime(now);

    if (f.Timer_Hour == 0 && f.Timer_Minute == 0) return kInvalidTimerMessage;
    const std::int64_t osHour = f.OS_Hour;
    const std::int64_t osMinute = f.OS_Minute;
    if (osHour == 0 && osMinute == 0) return kInvalidOsUptimeMessage;
    if (UptimeWholeMinutes(uptimeMs) >= ClockMinutes(osHour, osMinute) && f.OS_Enabled && armed)
        return kOsUptimeElapsedMessage;
    if (f.Timer_ScheduleTime.text == FormatHourMinute(t.hour, t.minute) && f.Timer_Enabled && armed)
        return kTimerScheduleIsNowMessage;
    if (auto refusal = CheckDays(f)) return refusal;
    if (f.Time_Enabled && armed && TimeIsNow(f, now)) return kTimeIsNowMessage;
    if (f.AppointedTime_Enabled && armed && WindowCoversNow(f, now)) return kAppointedTimeIsNowMessage;
    return CheckProgramEndName(f);
}

std::optional<std::string> CheckFunctionEnable(const Settings& s, DateTime now, std::uint64_t uptimeMs) {
    const int nowMinute = MinuteOfDay(now);

    if (s.Timer_Hour == 0 && s.Timer_Minute == 0) return kInvalidTimerMessage;
    if (s.OS_Hour == 0 && s.OS_Minute == 0) return kInvalidOsUptimeMessage;
    if (UptimeWholeMinutes(uptimeMs) >= ClockMinutes(s.OS_Hour, s.OS_Minute) && s.OS_Enabled && s.Piece_Requirement)
        return kOsUptimeElapsedMessage;
    if (HasTimerSchedule(s.Timer_ScheduleTime.time) && MinuteOfDay(s.Timer_ScheduleTime.time) == nowMinute &&
        s.Timer_Enabled)
        return kTimerScheduleIsNowMessage;
    if (auto refusal = CheckDays(s)) return refusal;
    if (s.Time_Enabled && TimeIsNow(s, now)) return kTimeIsNowMessage;
    if (s.AppointedTime_Enabled && s.Piece_Requirement && WindowCoversNow(s, now)) return kAppointedTimeIsNowMessage;
    return CheckProgramEndName(s);
}

void SwitchOffAfterRefusal(Settings& draft, Settings& settings) {
    draft.Function_Enabled = false;
    settings.Function_Enabled = false;
}

FunctionSwitch ToggleFunction(bool checked, const Settings& settings, DateTime now, std::uint64_t uptimeMs) {
    FunctionSwitch change;
    if (checked) {
        change.FunctionEnabled = false;
        change.WriteSetting = true;
        change.TrayIconId = 1;
        return change;
    }
    if (auto refusal = CheckFunctionEnable(settings, now, uptimeMs)) {
        change.FunctionEnabled = false;
        change.Refusal = std::move(refusal);
        return change;
    }
    change.FunctionEnabled = true;
    change.WriteSetting = true;
    change.TrayIconId = 0;
    change.Rearm = true;
    return change;
}

void ApplyFunctionSwitch(const FunctionSwitch& change, const ArmReadings& now, Settings& settings, Settings& draft,
                         MonitorState& state) {
    settings.Function_Enabled = change.FunctionEnabled;
    draft.Function_Enabled = change.FunctionEnabled;
    if (change.Rearm) state.Arm(now);
}

}  // namespace vesko
