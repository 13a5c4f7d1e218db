#include "engine/Arming.h"

#include "engine/Conditions.h"

namespace vesko {
namespace {

std::int64_t UptimeWholeMinutes(std::uint64_t uptimeMs) { return static_cast<std::int64_t>(uptimeMs / 60000u); }

std::int64_t HourMinute(std::int64_t hour, std::int64_t minute) { return hour * 60 + minute; }

}  // namespace

std::optional<std::string> ValidateSettings(FormValues& f, DateTime now, std::uint64_t uptimeMs) {
    const bool armed = f.CheckBox[8];
    const DateTimeParts t = DecodeDateTime(now);
    const int nowMinute = t.hour * 60 + t.minute;

    if (f.WinSpinEdit[1].Value() == 0 && f.WinSpinEdit[2].Value() == 0) return kInvalidTimerMessage;
    const std::int64_t osHour = f.WinSpinEdit[16].Value();
    const std::int64_t osMinute = f.WinSpinEdit[17].Value();
    if (osHour == 0 && osMinute == 0) return kInvalidOsUptimeMessage;
    if (UptimeWholeMinutes(uptimeMs) >= HourMinute(osHour, osMinute) && f.CheckBox[10] && armed)
        return kOsUptimeElapsedMessage;
    if (f.Label22 == FormatHourMinute(t.hour, t.minute) && f.CheckBox[1] && armed) return kTimerScheduleIsNowMessage;
    if (t.hour == f.WinSpinEdit[3].Value() && t.minute == f.WinSpinEdit[4].Value() && f.CheckBox[2] && armed)
        return kTimeIsNowMessage;
    if (f.CheckBox[9] && armed) {
        const auto from = HourMinute(f.WinSpinEdit[12].Value(), f.WinSpinEdit[13].Value());
        const auto to = HourMinute(f.WinSpinEdit[14].Value(), f.WinSpinEdit[15].Value());
        if (AppointedTimeWindowCovers(nowMinute, static_cast<int>(from), static_cast<int>(to)))
            return kAppointedTimeIsNowMessage;
    }
    return std::nullopt;
}

std::optional<std::string> CheckFunctionEnable(const ActiveSettings& s, DateTime now, std::uint64_t uptimeMs) {
    const DateTimeParts t = DecodeDateTime(now);
    const int nowMinute = t.hour * 60 + t.minute;

    if (s.Timer_Hour == 0 && s.Timer_Minute == 0) return kInvalidTimerMessage;
    if (s.OS_Hour == 0 && s.OS_Minute == 0) return kInvalidOsUptimeMessage;
    if (UptimeWholeMinutes(uptimeMs) >= HourMinute(s.OS_Hour, s.OS_Minute) && s.OS_Enabled && s.Piece_Requirement)
        return kOsUptimeElapsedMessage;
    if (HasTimerSchedule(s.Timer_ScheduleTime) && MinuteOfDay(s.Timer_ScheduleTime) == nowMinute && s.Timer_Enabled)
        return kTimerScheduleIsNowMessage;
    if (t.hour == s.Time_Hour && t.minute == s.Time_Minute && s.Time_Enabled) return kTimeIsNowMessage;
    if (s.AppointedTime_Enabled && s.Piece_Requirement) {
        const auto from = HourMinute(s.AppointedTime_FromHour, s.AppointedTime_FromMinute);
        const auto to = HourMinute(s.AppointedTime_ToHour, s.AppointedTime_ToMinute);
        if (AppointedTimeWindowCovers(nowMinute, static_cast<int>(from), static_cast<int>(to)))
            return kAppointedTimeIsNowMessage;
    }
    return std::nullopt;
}

void RefuseArming(FormValues& form, ActiveSettings& settings) {
    form.CheckBox[8] = false;
    settings.Function_Enabled = false;
}

FunctionSwitch FunctionEnabled1Toggle(bool checked, const ActiveSettings& settings, DateTime now,
                                      std::uint64_t uptimeMs) {
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

void ApplyFunctionSwitch(const FunctionSwitch& change, const ArmReadings& now, ActiveSettings& settings,
                         FormValues& form, MonitorState& state) {
    settings.Function_Enabled = change.FunctionEnabled;
    form.CheckBox[8] = change.FunctionEnabled;
    if (change.Rearm) state.Arm(now);
}

}  // namespace vesko
