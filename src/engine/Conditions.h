#pragma once
// The eight power-saving conditions and their combination into one verdict,
// as plain arithmetic on the clock, this tick's readings and the settings.
#include <array>
#include <cstdint>
#include <functional>

#include "base/DateTime.h"
#include "engine/MonitorState.h"
#include "settings/Settings.h"

namespace vesko {

// Fixed evaluation order; the combination does not depend on it.
enum ConditionIndex : int {
    kTimerCondition = 0,
    kTimeCondition,
    kAppointedTimeCondition,
    kCpuCondition,
    kNetworkCondition,
    kMemoryCondition,
    kOsCondition,
    kMouseCursorCondition,
    kConditionCount
};

struct ConditionState {
    bool Enabled = false;          // the condition's own switch, as stored
    bool Holds = false;            // evaluated this tick and its reading satisfies it
    std::int32_t MinutesLeft = 0;  // whole minutes until met; 0 or less is met now
};

using ConditionStates = std::array<ConditionState, kConditionCount>;

// The readings of one tick, as the status labels show them.
struct ConditionReadings {
    int CpuPercent = 0;
    std::int32_t NetworkBytes = 0;  // traffic since the previous tick, may be negative
    int MemoryPercent = 0;
    std::int64_t UptimeMinutes = 0;  // whole minutes of uptime: hours * 60 + minutes
};

// Reads the cursor position; a platform failure is thrown.
using CursorReader = std::function<CursorPos()>;

struct Verdict {
    bool Ready = false;
    std::int32_t MinutesToAct = 0;
};

std::int32_t WholeMinutesBetween(DateTime a, DateTime b);

// Network_Speed scaled by 1024 per unit step (a unit of 0 or less leaves it),
// in 64 bits; it stops growing once past every 32-bit byte count.
std::int64_t NetworkThreshold(int speed, int unit);

// Minutes until an AppointedTime window (minutes of the day) starts; 0 inside it.
std::int32_t AppointedTimeMinutesLeft(int nowMinute, int fromMinute, int toMinute);

// The arming checkers' window test: after rolling start and end past the
// current minute, the end comes first.
bool AppointedTimeWindowCovers(int nowMinute, int fromMinute, int toMinute);

// Evaluates the eight conditions. Conditions run only when Function_Enabled and
// their own switch are set; the running-time stamps and LastCursorPos in
// `state` are updated in place, in evaluation order. The cursor is read only
// while the MouseCursor condition is evaluated; if reading it throws, the
// stamps of the conditions before it keep their new values.
ConditionStates EvaluateConditions(DateTime now, const Settings& settings, const ConditionReadings& readings,
                                   const CursorReader& readCursor, MonitorState& state);

// Any-one mode when Piece_Requirement is set, all mode otherwise; the clock
// agreement rule when All_Requirement is set; nothing due in the hold-off minute.
Verdict CombineConditions(const ConditionStates& states, const Settings& settings, bool sameMinute);

}  // namespace vesko
