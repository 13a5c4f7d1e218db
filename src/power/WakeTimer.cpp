#include "power/WakeTimer.h"

#include "settings/WeekDays.h"

namespace vesko {

std::optional<DateTime> NextWakeTime(DateTime now, int hour, int minute, const std::string& days) {
    const DateTimeParts p = DecodeDateTime(now);
    const int nowMinute = p.hour * 60 + p.minute, target = hour * 60 + minute;
    const DateTime midnight = EncodeDateTime({p.year, p.month, p.day, 0, 0, 0});
    // Strictly after now: the minute that is running has begun already.
    for (int k = 0; k <= kDaysInWeek; ++k) {
        if (k == 0 && target <= nowMinute) continue;
        const DateTime day = midnight + k;
        if (!DayTicked(days, WeekdayOf(day))) continue;
        const DateTimeParts d = DecodeDateTime(day);
        return EncodeDateTime({d.year, d.month, d.day, hour, minute, 0});
    }
    return std::nullopt;
}

std::string WakeTimeText(DateTime at) {
    const DateTimeParts p = DecodeDateTime(at);
    return std::to_string(p.month) + "/" + std::to_string(p.day) + " " + FormatHourMinute(at);
}

std::optional<std::string> WakeTimerProblem(const WakeTimerAnswer& answer, const SleepCapabilities& caps,
                                            bool suspend) {
    if (!answer.set) return "タイマーを作れません（エラー " + std::to_string(answer.error) + "）";
    if (answer.error == kErrorNotSupported) return "このPCはタイマーで復帰できません";
    if (answer.error == kErrorTimerResumeIgnored) return "このPCはタイマーによる復帰を受け付けません";
    if (suspend && caps.modernStandby) return "モダンスタンバイのPCではタイマーで復帰できません";
    if (caps.wakeTimersAllowed == false) return "電源プランで復帰タイマーが無効になっています";
    // The deepest state a timer wakes from, as SYSTEM_POWER_STATE counts: S1 2, S3 4, S4 5.
    constexpr int kS3 = 4, kS4 = 5;
    if (caps.known && caps.rtcWake != 0 && caps.rtcWake < (suspend ? kS3 : kS4))
        return suspend ? "このPCはサスペンドからタイマーで復帰できません"
                       : "このPCは休止状態からタイマーで復帰できません";
    return std::nullopt;
}

std::string WakeTimerSetLine(DateTime at) { return "復帰タイマーを設定しました（" + WakeTimeText(at) + "）"; }

std::string WakeTimerFailedLine(const std::string& reason) {
    return "復帰タイマーを設定できませんでした（" + reason + "）";
}

}  // namespace vesko
