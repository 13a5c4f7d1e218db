#include "engine/StatusSummary.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "engine/Execution.h"
#include "engine/StandAside.h"
#include "settings/WeekDays.h"

namespace vesko {
namespace {

using namespace statusmsg;

constexpr std::int64_t kMinuteMs = 60000;
constexpr double kDayMs = 86400000.0;

// The check boxes' captions, to name what is missing.
constexpr const char* kConditionNames[kConditionCount] = {
    "タイマー",       "指定時刻",         "指定時間",       "CPU負荷",      "ネットワーク通信量",
    "メモリの利用率", "OSの連続起動時間", "マウスカーソル", "ソフトの終了",
};

bool IsClock(int i) { return i == kTimerCondition || i == kTimeCondition || i == kAppointedTimeCondition; }

std::int64_t RequiredMinutes(int i, const Settings& s) {
    switch (i) {
        case kCpuCondition: return s.CPU_Time;
        case kNetworkCondition: return s.Network_Time;
        case kMemoryCondition: return s.Memory_Time;
        case kMouseCursorCondition: return s.MouseCursor_Time;
        case kProgramEndCondition: return s.ProgramEnd_Time;
        case kOsCondition: return static_cast<std::int64_t>(s.OS_Hour) * 60 + s.OS_Minute;
    }
    return 0;
}

std::uint64_t RunningSince(int i, const MonitorState& st) {
    switch (i) {
        case kCpuCondition: return st.CpuLowSince;
        case kNetworkCondition: return st.NetLowSince;
        case kMemoryCondition: return st.MemLowSince;
        case kMouseCursorCondition: return st.MouseStillSince;
        case kProgramEndCondition: return st.ProgramGoneSinceMs;
    }
    return 0;
}

DateTime StartOfMinute(DateTime t) {
    DateTimeParts p = DecodeDateTime(t);
    p.second = p.millisecond = 0;
    return EncodeDateTime(p);
}

bool SameDay(DateTime a, DateTime b) {
    const DateTimeParts x = DecodeDateTime(a), y = DecodeDateTime(b);
    return x.year == y.year && x.month == y.month && x.day == y.day;
}

// "h:nn" today, the prefix and "h:nn" tomorrow, the day's name ("月" and
// the suffix) and "h:nn" later in the week, "m/d h:nn" after it.
std::string ClockText(DateTime now, DateTime at, const char* tomorrow, const char* weekdaySuffix) {
    if (SameDay(now, at)) return FormatHourMinute(at);
    if (SameDay(now + 1.0, at)) return tomorrow + FormatHourMinute(at);
    for (int days = 2; days < kDaysInWeek; ++days)
        if (SameDay(now + days, at))
            return std::string(kWeekdayNames[WeekdayOf(at)]) + weekdaySuffix + " " + FormatHourMinute(at);
    const DateTimeParts p = DecodeDateTime(at);
    return std::to_string(p.month) + "/" + std::to_string(p.day) + " " + FormatHourMinute(at);
}

std::string MinutesText(std::int64_t minutes) {
    if (minutes < 60) return std::to_string(minutes) + " 分";
    std::string text = std::to_string(minutes / 60) + " 時間";
    if (minutes % 60) text += " " + std::to_string(minutes % 60) + " 分";
    return text;
}

// Milliseconds until a holding condition is met, on the counts it is measured
// on: the wall clock's minutes for the clocks, the running time for the
// durations, the uptime count for the uptime.
std::int64_t RemainingMs(int i, const ConditionState& c, const TickOutlook& t) {
    std::int64_t left = 0;
    if (IsClock(i)) {
        const DateTimeParts p = DecodeDateTime(t.now);
        left = c.MinutesLeft * kMinuteMs - (p.second * 1000 + p.millisecond);
    } else if (i == kOsCondition) {
        left = RequiredMinutes(i, t.settings) * kMinuteMs - static_cast<std::int64_t>(t.readings.UptimeCountMs);
    } else {
        const std::uint64_t since = RunningSince(i, t.state);
        const std::uint64_t ran = t.monotonicMs >= since ? t.monotonicMs - since : 0;
        const std::uint64_t cap = std::numeric_limits<std::int64_t>::max() / 2;
        left = RequiredMinutes(i, t.settings) * kMinuteMs - static_cast<std::int64_t>(std::min(ran, cap));
    }
    return c.MinutesLeft <= 0 ? 0 : std::max<std::int64_t>(left, 0);
}

// When the combination is met, as the engine combines: the first holding
// condition in any-one mode, the last enabled one otherwise.
DateTime ActionTime(const TickOutlook& t) {
    std::optional<std::int64_t> due;
    const ConditionStates& c = t.verdict.Conditions;
    for (int i = 0; i < kConditionCount; ++i) {
        if (!c[i].Enabled || !c[i].Holds) continue;
        const std::int64_t left = RemainingMs(i, c[i], t);
        due = !due ? left : t.settings.Piece_Requirement ? std::min(*due, left) : std::max(*due, left);
    }
    // The action waits for the whole warning.
    const auto warning = static_cast<std::int64_t>(t.verdict.WarningLeftMs);
    return t.now + static_cast<double>(std::max(due.value_or(0), warning)) / kDayMs;
}

std::string MethodWord(const Settings& s) {
    switch (SelectPowerMethod(s)) {
        case PowerMethod::Shutdown: return kShutdown;
        case PowerMethod::Suspend: return kSuspend;
        case PowerMethod::Hibernation: break;
    }
    return kHibernate;
}

// The job's end names the program it waits for.
std::string MissingName(int i, const Settings& s) {
    if (i == kProgramEndCondition) return s.ProgramEnd_Name + kProgramEndWait;
    return kConditionNames[i];
}

std::string NotMetLine(const TickOutlook& t) {
    std::string missing;
    const ConditionStates& c = t.verdict.Conditions;
    const auto enabled = std::count_if(c.begin(), c.end(), [](const ConditionState& x) { return x.Enabled; });
    // In any-one mode every condition is missing; only a job's end alone is named.
    const bool named = !t.settings.Piece_Requirement || (enabled == 1 && c[kProgramEndCondition].Enabled);
    if (named) {
        for (int i = 0; i < kConditionCount; ++i) {
            if (!c[i].Enabled || c[i].Holds) continue;
            if (!missing.empty()) missing += "・";
            missing += MissingName(i, t.settings);
        }
    }
    return missing.empty() ? kNotMet : std::string(kNotMet) + "（" + missing + "）";
}

std::string ClockMark(int i, const ConditionState& c, const TickOutlook& t) {
    if (!c.Holds) return kFails;
    if (c.MinutesLeft > 0) {
        const DateTime at = StartOfMinute(t.now) + c.MinutesLeft / 1440.0;
        // The countdown's due time has its own label beside the mark; the
        // mark adds only whether that is tomorrow.
        if (i == kTimerCondition) return SameDay(t.now, at) ? kWaits : std::string(kWaits) + " " + kNextDay;
        return std::string(kWaits) + " " + ClockText(t.now, at, kNextDayMark, "");
    }
    if (i != kAppointedTimeCondition) return std::string(kHolds) + " " + kMetNow;
    const Settings& s = t.settings;
    return std::string(kHolds) + " " + FormatHourMinute(s.AppointedTime_ToHour, s.AppointedTime_ToMinute) + kUntil;
}

// "○ 終了 1/3分" gone for a minute of three, "× 実行中", "― 未起動".
std::string ProgramEndMark(const ConditionState& c, const TickOutlook& t) {
    if (!c.Holds)
        return t.state.ProgramRunning ? std::string(kFails) + " " + kRunning : std::string(kIdle) + " " + kNotStarted;
    const std::int64_t required = t.settings.ProgramEnd_Time;
    const std::int64_t gone = std::max<std::int64_t>(required - c.MinutesLeft, 0);
    return std::string(kHolds) + " " + kEnded + " " + std::to_string(gone) + "/" + std::to_string(required) +
           kMinuteUnit;
}

std::string DurationMark(int i, const ConditionState& c, const TickOutlook& t) {
    const std::int64_t required = RequiredMinutes(i, t.settings);
    const std::int64_t held = c.Holds ? std::max<std::int64_t>(required - c.MinutesLeft, 0) : 0;
    return std::string(c.Holds ? kHolds : kFails) + " " + std::to_string(held) + "/" + std::to_string(required) +
           kMinuteUnit;
}

}  // namespace

std::array<std::string, kConditionCount> ConditionMarks(const TickOutlook& t) {
    std::array<std::string, kConditionCount> marks;
    const ConditionStates& c = t.verdict.Evaluated;
    for (int i = 0; i < kConditionCount; ++i) {
        if (!c[i].Enabled) continue;
        if (!t.settings.Function_Enabled) marks[i] = kIdle;
        else if (t.verdict.KeepAwake != KeepAwakeSignal::None) marks[i] = KeepAwakeMark(t.verdict.KeepAwake);
        else if (i == kProgramEndCondition) marks[i] = ProgramEndMark(c[i], t);
        else marks[i] = IsClock(i) ? ClockMark(i, c[i], t) : DurationMark(i, c[i], t);
    }
    return marks;
}

std::string SummaryLine(const TickOutlook& t) {
    const TickVerdict& v = t.verdict;
    const Settings& s = t.settings;
    if (!s.Function_Enabled) return kFunctionOff;
    if (std::none_of(v.Conditions.begin(), v.Conditions.end(), [](const ConditionState& c) { return c.Enabled; }))
        return kNothingEnabled;
    if (v.Exclusion.Found) return kExcluded;
    if (v.Postponed) {
        const DateTime end = t.now + static_cast<double>(v.PostponedLeftMs) / kDayMs;
        return std::string(standmsg::kPostponed) + ClockText(t.now, end, kTomorrow, kWeekdaySuffix) +
               standmsg::kPostponedUntil;
    }
    if (v.KeepAwake != KeepAwakeSignal::None) return KeepAwakeReason(v.KeepAwake);
    // The hold-off minute only holds back a verdict that is due now.
    const Verdict due = CombineConditions(v.Conditions, s, false);
    if (!due.Ready) return NotMetLine(t);
    const std::string method = MethodWord(s);
    if (!v.Ready) {
        const DateTime next = StartOfMinute(t.now) + 1.0 / 1440.0;
        return ClockText(t.now, next, kTomorrow, kWeekdaySuffix) + " に" + method + kHoldOff;
    }
    if (v.MinutesToAct <= 0) return kSoon + method;
    std::string line = ClockText(t.now, ActionTime(t), kTomorrow, kWeekdaySuffix) + " に" + method + "（あと " +
                       MinutesText(v.MinutesToAct);
    if (s.Warning_Enabled && v.MinutesToAct <= s.Warning_Time) line += kWarning;
    return line + "）";
}

}  // namespace vesko
