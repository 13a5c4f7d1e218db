#include "engine/Conditions.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/Trace.h"
#include "engine/TimerSchedule.h"
#include "settings/WeekDays.h"

namespace vesko {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// Settings come from a hand-editable file, so differences of them are taken in
// 64 bits and kept inside the 32-bit result rather than wrapping.
std::int32_t Saturate32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, kInt32Min, kInt32Max));
}

std::int32_t MinutesUntil(int target, int nowMinute) {
    std::int64_t left = static_cast<std::int64_t>(target) - nowMinute;
    if (left < 0) left += 1440;
    return Saturate32(left);
}

std::int64_t RollPast(int minute, int nowMinute) {
    std::int64_t m = minute;
    if (m - nowMinute < 0) m += 1440;
    return m;
}

std::int64_t HourMinute(int hour, int minute) { return static_cast<std::int64_t>(hour) * 60 + minute; }

int HourMinute32(int hour, int minute) {
    return static_cast<int>(std::clamp<std::int64_t>(HourMinute(hour, minute), kInt32Min, kInt32Max));
}

// A duration condition on the monotonic count: the stamp follows every failing
// tick, so the running time counts from the last one.
void EvaluateDuration(bool low, std::uint64_t now, int minutes, std::uint64_t& since, ConditionState& s) {
    if (!low) {
        since = now;
        return;
    }
    // A stamp ahead of now is no running time (a count that restarted): count afresh.
    if (since > now) since = now;
    s.Holds = true;
    s.MinutesLeft = Saturate32(static_cast<std::int64_t>(minutes) - static_cast<std::int64_t>((now - since) / 60000));
}

// Wall-clock minutes since 1899-12-30, for telling whether minutes were skipped.
std::int64_t AbsoluteMinute(DateTime t) {
    const double m = std::floor(t * 1440.0 + 1e-6);
    return std::isfinite(m) && std::fabs(m) < 9e15 ? static_cast<std::int64_t>(m) : 0;
}

// Whether the clock minute `target` of some day lies strictly between the
// minutes of the two evaluations, so that no evaluation saw it.
bool MinuteSkipped(DateTime previous, DateTime now, int target) {
    const std::int64_t from = AbsoluteMinute(previous), to = AbsoluteMinute(now);
    if (to - from < 2) return false;
    const std::int64_t next = from + 1 + ((target - (from + 1)) % 1440 + 1440) % 1440;
    return next < to;
}

}  // namespace

std::optional<CursorPos> ReadCursorSafely(const CursorReader& readCursor) {
    if (!readCursor) return std::nullopt;
    try {
        return readCursor();
    } catch (...) {
        TraceCurrentException("reading the cursor position");
        return std::nullopt;
    }
}

std::int32_t WholeMinutesBetween(DateTime a, DateTime b) {
    double span = std::trunc(std::fabs(a - b) * 1440.0);
    if (!(span < 2147483648.0)) return kInt32Max;  // also NaN
    return static_cast<std::int32_t>(span);
}

std::int32_t AppointedTimeMinutesLeft(int nowMinute, int fromMinute, int toMinute) {
    std::int64_t start = RollPast(fromMinute, nowMinute);
    std::int64_t end = RollPast(toMinute, nowMinute);
    if (end < start) return 0;
    return Saturate32(start - nowMinute);
}

bool AppointedTimeWindowCovers(int nowMinute, int fromMinute, int toMinute) {
    return AppointedTimeMinutesLeft(nowMinute, fromMinute, toMinute) == 0;
}

std::optional<std::int32_t> DailyTimeMinutesLeft(DateTime now, int targetMinute, const std::string& days) {
    const int nowMinute = MinuteOfDay(now), today = WeekdayOf(now);
    for (int k = 0; k <= kDaysInWeek; ++k) {
        const std::int64_t left = std::int64_t{k} * 1440 + targetMinute - nowMinute;
        if (left >= 0 && DayTicked(days, (today + k) % kDaysInWeek)) return Saturate32(left);
    }
    return std::nullopt;
}

std::optional<std::int32_t> WindowMinutesLeft(DateTime now, int fromMinute, int toMinute, const std::string& days) {
    const int nowMinute = MinuteOfDay(now), today = WeekdayOf(now);
    if (AppointedTimeWindowCovers(nowMinute, fromMinute, toMinute)) {
        // Before its first minute of the day, the window began yesterday.
        const int startDay = nowMinute >= fromMinute ? today : (today + kDaysInWeek - 1) % kDaysInWeek;
        if (DayTicked(days, startDay)) return 0;
    }
    for (int k = 0; k <= kDaysInWeek; ++k) {
        const std::int64_t left = std::int64_t{k} * 1440 + fromMinute - nowMinute;
        if (left > 0 && DayTicked(days, (today + k) % kDaysInWeek)) return Saturate32(left);
    }
    return std::nullopt;
}

ConditionStates EvaluateConditions(DateTime now, std::uint64_t monotonicMs, const Settings& s,
                                   const ConditionReadings& r, const CursorReader& readCursor, MonitorState& state) {
    ConditionStates c;
    c[kTimerCondition].Enabled = s.Timer_Enabled;
    c[kTimeCondition].Enabled = s.Time_Enabled;
    c[kAppointedTimeCondition].Enabled = s.AppointedTime_Enabled;
    c[kCpuCondition].Enabled = s.CPU_Enabled;
    c[kNetworkCondition].Enabled = s.Network_Enabled;
    c[kMemoryCondition].Enabled = s.Memory_Enabled;
    c[kOsCondition].Enabled = s.OS_Enabled;
    c[kMouseCursorCondition].Enabled = s.MouseCursor_Enabled;
    c[kProgramEndCondition].Enabled = s.ProgramEnd_Enabled;
    if (!s.Function_Enabled) return c;

    const int nowMinute = MinuteOfDay(now);
    const DateTime previous = state.LastEvaluation;
    state.LastEvaluation = now;

    if (s.Timer_Enabled && HasTimerSchedule(s.Timer_ScheduleTime.time)) {
        const int target = MinuteOfDay(s.Timer_ScheduleTime.time);
        if (previous != 0 && MinuteSkipped(previous, now, target)) state.TimerSpent = true;
        if (state.TimerOwed || !state.TimerSpent) {
            ConditionState& t = c[kTimerCondition];
            t.Holds = true;
            t.MinutesLeft = state.TimerOwed ? 0 : MinutesUntil(target, nowMinute);
        }
    }
    if (s.Time_Enabled) {
        // An owed occurrence lapses a day after it came.
        const std::int64_t minute = AbsoluteMinute(now);
        const bool owed = state.TimeOwedMinute != MonitorState::kNoMinute && minute < state.TimeOwedMinute + 1440;
        const auto left = owed ? std::optional<std::int32_t>(0)
                               : DailyTimeMinutesLeft(now, HourMinute32(s.Time_Hour, s.Time_Minute), s.Time_Days);
        if (left) c[kTimeCondition].Holds = true, c[kTimeCondition].MinutesLeft = *left;
    }
    if (s.AppointedTime_Enabled) {
        const auto left =
            WindowMinutesLeft(now, HourMinute32(s.AppointedTime_FromHour, s.AppointedTime_FromMinute),
                              HourMinute32(s.AppointedTime_ToHour, s.AppointedTime_ToMinute), s.AppointedTime_Days);
        if (left) c[kAppointedTimeCondition].Holds = true, c[kAppointedTimeCondition].MinutesLeft = *left;
    }
    const std::uint64_t mono = monotonicMs;
    if (s.CPU_Enabled)
        EvaluateDuration(r.CpuPercent <= s.CPU_Percent, mono, s.CPU_Time, state.CpuLowSince, c[kCpuCondition]);
    if (s.Network_Enabled) {
        bool low = !(NetworkThreshold(s.Network_Speed, s.Network_Unit) < r.NetworkBytes);
        EvaluateDuration(low, mono, s.Network_Time, state.NetLowSince, c[kNetworkCondition]);
    }
    if (s.Memory_Enabled)
        EvaluateDuration(r.MemoryPercent <= s.Memory_Percent, mono, s.Memory_Time, state.MemLowSince,
                         c[kMemoryCondition]);
    if (s.OS_Enabled) {
        ConditionState& t = c[kOsCondition];
        t.Holds = true;
        t.MinutesLeft = Saturate32(HourMinute(s.OS_Hour, s.OS_Minute) - r.UptimeMinutes);
    }
    if (s.MouseCursor_Enabled) {
        // Nobody moves a cursor that cannot be read (the session is locked or
        // away), so it counts as still.
        const std::optional<CursorPos> pos = ReadCursorSafely(readCursor);
        const bool still = !pos || *pos == state.LastCursorPos;
        if (!still) state.LastCursorPos = *pos;
        EvaluateDuration(still, mono, s.MouseCursor_Time, state.MouseStillSince, c[kMouseCursorCondition]);
    }
    return c;
}

void KeepClockConditionsDue(DateTime now, const ConditionStates& c, const Verdict& unheld, MonitorState& state) {
    if (!unheld.Ready || unheld.MinutesToAct > 0) return;
    const auto dueNow = [&](int i) { return c[i].Enabled && c[i].Holds && c[i].MinutesLeft == 0; };
    if (dueNow(kTimerCondition)) state.TimerOwed = true;
    // The first minute it fell due in is kept: the owed occurrence lapses a day after it.
    if (dueNow(kTimeCondition) && state.TimeOwedMinute == MonitorState::kNoMinute)
        state.TimeOwedMinute = AbsoluteMinute(now);
}

Verdict CombineConditions(const ConditionStates& c, const Settings& s, bool sameMinute) {
    Verdict v;
    if (s.Piece_Requirement) {
        v.MinutesToAct = kInt32Max;
        for (const ConditionState& x : c) {
            if (x.Enabled && x.Holds) {
                v.MinutesToAct = std::min(v.MinutesToAct, x.MinutesLeft);
                v.Ready = true;
            }
        }
    } else {
        v.MinutesToAct = 0;
        v.Ready = std::any_of(c.begin(), c.end(), [](const ConditionState& x) { return x.Enabled; });
        for (const ConditionState& x : c) {
            if (!x.Enabled) continue;
            if (x.Holds) v.MinutesToAct = std::max(v.MinutesToAct, x.MinutesLeft);
            else v.Ready = false;
        }
    }
    if (s.All_Requirement) {
        auto disagree = [&](int a, int b) {
            return c[a].Enabled && c[b].Enabled && c[a].MinutesLeft != c[b].MinutesLeft;
        };
        if (disagree(kTimerCondition, kTimeCondition) || disagree(kTimerCondition, kAppointedTimeCondition) ||
            disagree(kTimeCondition, kAppointedTimeCondition))
            v.Ready = false;
    }
    // Keeps the warning hidden when the action would fall in the hold-off minute.
    if (sameMinute && v.MinutesToAct == 0) v.Ready = false;
    return v;
}

}  // namespace vesko
