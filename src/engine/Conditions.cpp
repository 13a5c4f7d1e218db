#include "engine/Conditions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

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

// A duration condition: the stamp follows every failing tick, so the running
// time counts from the last one.
void EvaluateDuration(bool low, DateTime now, int minutes, DateTime& since, ConditionState& s) {
    if (!low) {
        since = now;
        return;
    }
    // A stamp ahead of now means the clock was set back (or a daylight-saving
    // hour repeated); the distance to it is no running time, so count afresh.
    if (since > now) since = now;
    s.Holds = true;
    s.MinutesLeft = Saturate32(static_cast<std::int64_t>(minutes) - WholeMinutesBetween(now, since));
}

}  // namespace

std::int32_t WholeMinutesBetween(DateTime a, DateTime b) {
    double span = std::trunc(std::fabs(a - b) * 1440.0);
    if (!(span < 2147483648.0)) return kInt32Max;  // also NaN
    return static_cast<std::int32_t>(span);
}

std::int64_t NetworkThreshold(int speed, int unit) {
    // 2048 MB/s is 2^31 bytes: a 32-bit product would turn negative and the
    // condition could never hold. Past the 32-bit count range every further
    // step changes nothing in the comparison, so the value is capped there.
    constexpr std::int64_t kCap = std::int64_t{1} << 40;
    std::int64_t t = speed;
    for (int i = 0; i < unit && t > -kCap && t < kCap; ++i) t *= 1024;
    return t;
}

std::int32_t AppointedTimeMinutesLeft(int nowMinute, int fromMinute, int toMinute) {
    std::int64_t start = RollPast(fromMinute, nowMinute);
    std::int64_t end = RollPast(toMinute, nowMinute);
    if (end < start) return 0;
    return Saturate32(start - nowMinute);
}

bool AppointedTimeWindowCovers(int nowMinute, int fromMinute, int toMinute) {
    return RollPast(toMinute, nowMinute) < RollPast(fromMinute, nowMinute);
}

ConditionStates EvaluateConditions(DateTime now, const Settings& s, const ConditionReadings& r,
                                   const CursorReader& readCursor, MonitorState& state) {
    ConditionStates c;
    c[kTimerCondition].Enabled = s.Timer_Enabled;
    c[kTimeCondition].Enabled = s.Time_Enabled;
    c[kAppointedTimeCondition].Enabled = s.AppointedTime_Enabled;
    c[kCpuCondition].Enabled = s.CPU_Enabled;
    c[kNetworkCondition].Enabled = s.Network_Enabled;
    c[kMemoryCondition].Enabled = s.Memory_Enabled;
    c[kOsCondition].Enabled = s.OS_Enabled;
    c[kMouseCursorCondition].Enabled = s.MouseCursor_Enabled;
    if (!s.Function_Enabled) return c;

    const int nowMinute = MinuteOfDay(now);

    if (s.Timer_Enabled) {
        ConditionState& t = c[kTimerCondition];
        t.Holds = true;
        t.MinutesLeft = MinutesUntil(MinuteOfDay(s.Timer_ScheduleTime.time), nowMinute);
    }
    if (s.Time_Enabled) {
        ConditionState& t = c[kTimeCondition];
        t.Holds = true;
        t.MinutesLeft = MinutesUntil(HourMinute32(s.Time_Hour, s.Time_Minute), nowMinute);
    }
    if (s.AppointedTime_Enabled) {
        ConditionState& t = c[kAppointedTimeCondition];
        t.Holds = true;
        t.MinutesLeft = AppointedTimeMinutesLeft(nowMinute,
                                                 HourMinute32(s.AppointedTime_FromHour, s.AppointedTime_FromMinute),
                                                 HourMinute32(s.AppointedTime_ToHour, s.AppointedTime_ToMinute));
    }
    if (s.CPU_Enabled)
        EvaluateDuration(r.CpuPercent <= s.CPU_Percent, now, s.CPU_Time, state.CpuLowSince, c[kCpuCondition]);
    if (s.Network_Enabled) {
        bool low = !(NetworkThreshold(s.Network_Speed, s.Network_Unit) < r.NetworkBytes);
        EvaluateDuration(low, now, s.Network_Time, state.NetLowSince, c[kNetworkCondition]);
    }
    if (s.Memory_Enabled)
        EvaluateDuration(r.MemoryPercent <= s.Memory_Percent, now, s.Memory_Time, state.MemLowSince,
                         c[kMemoryCondition]);
    if (s.OS_Enabled) {
        ConditionState& t = c[kOsCondition];
        t.Holds = true;
        t.MinutesLeft = Saturate32(HourMinute(s.OS_Hour, s.OS_Minute) - r.UptimeMinutes);
    }
    if (s.MouseCursor_Enabled) {
        if (!readCursor) throw std::runtime_error("cursor position unavailable");
        CursorPos pos = readCursor();
        bool still = pos == state.LastCursorPos;
        if (!still) state.LastCursorPos = pos;
        EvaluateDuration(still, now, s.MouseCursor_Time, state.MouseStillSince, c[kMouseCursorCondition]);
    }
    return c;
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
            if (x.Holds)
                v.MinutesToAct = std::max(v.MinutesToAct, x.MinutesLeft);
            else
                v.Ready = false;
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
