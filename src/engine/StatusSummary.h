#pragma once
// What the tick knows, said to the user: a short mark per enabled condition
// (does it hold, how far it has counted, when a clock condition is met next)
// and one line on when the chosen method will run or why nothing will. Both
// come from the tick's own verdict and state; nothing new is read.
#include <array>
#include <cstdint>
#include <string>

#include "base/DateTime.h"
#include "engine/Conditions.h"
#include "engine/MonitorState.h"
#include "engine/Tick.h"
#include "settings/Settings.h"

namespace vesko {

namespace statusmsg {
inline constexpr const char* kHolds = "○";  // holds now (a duration counting, a clock met)
inline constexpr const char* kWaits = "△";  // a clock condition met later
inline constexpr const char* kFails = "×";  // does not hold
inline constexpr const char* kIdle = "―";   // not evaluated: the function is off
inline constexpr const char* kMetNow = "成立";
inline constexpr const char* kNextDayMark = "翌";
inline constexpr const char* kNextDay = "翌日";
inline constexpr const char* kUntil = "まで";
inline constexpr const char* kMinuteUnit = "分";
inline constexpr const char* kEnded = "終了";         // the job's program has ended
inline constexpr const char* kRunning = "実行中";     // ... runs now
inline constexpr const char* kNotStarted = "未起動";  // ... not seen since arming
inline constexpr const char* kProgramEndWait = " の終了待ち";

inline constexpr const char* kTomorrow = "明日 ";
inline constexpr const char* kWeekdaySuffix = "曜";  // "月曜 22:00"
inline constexpr const char* kSoon = "まもなく";
inline constexpr const char* kShutdown = "電源を切ります";
inline constexpr const char* kSuspend = "サスペンドします";
inline constexpr const char* kHibernate = "休止状態にします";
inline constexpr const char* kWarning = "・警告中";
inline constexpr const char* kHoldOff = "（設定直後の 1 分は待機）";
inline constexpr const char* kFunctionOff = "機能が無効のため節電しません";
inline constexpr const char* kNothingEnabled = "節電条件が選ばれていません";
inline constexpr const char* kExcluded = "指定したソフトが起動中のため節電しません";
inline constexpr const char* kNotMet = "条件を満たしていません";
}  // namespace statusmsg

// One tick as the marks and the summary see it.
struct TickOutlook {
    const TickVerdict& verdict;
    const Settings& settings;   // the tick's settings, after the warning step
    const MonitorState& state;  // the running-time stamps after the evaluation
    const ConditionReadings& readings;
    DateTime now;
    std::uint64_t monotonicMs;
};

// Per condition, in ConditionIndex order; empty for a disabled condition.
// Durations "○ 18/30分" or "× 0/30分"; the job's end "○ 終了 1/3分",
// "× 実行中" or "― 未起動"; clocks "△ 21:45" (met next at, "翌"
// when that is tomorrow, the day's name later in the week: "△ 月 6:30"), "○ 成立", the window "○ 23:00まで"; the
// countdown, whose due time has a label of its own, "△" or "△ 翌日"; "―" when the function is off. A listed program in
// use does not hide what each counts; another program's request to stay awake shows its short word instead.
std::array<std::string, kConditionCount> ConditionMarks(const TickOutlook& tick);

// "21:45 に休止状態にします（あと 12 分）" ("明日 21:45", "月曜 22:00" later in the week) with the hold-off minute and
// the warning when they apply, or the reason nothing will happen (the warning's postponement: "延長中（21:55 まで）").
std::string SummaryLine(const TickOutlook& tick);

}  // namespace vesko
