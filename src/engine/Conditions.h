#pragma once
// The eight power-saving conditions and their combination into one verdict,
// as plain arithmetic on the clock, this tick's readings and the settings.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

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
    kProgramEndCondition,  // evaluated by EvaluateProgramEnd (ProgramEnd.h)
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
    std::int64_t NetworkBytes = 0;  // traffic since the previous tick
    int MemoryPercent = 0;
    // Whole minutes the uptime condition counts: of the uptime, or since the
    // resume when the program put the machine to sleep.
    std::int64_t UptimeMinutes = 0;
    std::uint64_t UptimeCountMs = 0;  // the count those minutes are taken from
};

// Reads the cursor position; none when the platform cannot report it (locked
// workstation, secure desktop, disconnected session).
using CursorReader = std::function<std::optional<CursorPos>()>;

struct Verdict {
    bool Ready = false;
    std::int32_t MinutesToAct = 0;
};

std::int32_t WholeMinutesBetween(DateTime a, DateTime b);

// Network_Speed scaled by 1024 per unit step (a unit of 0 or less leaves it),
// in 64 bits. Past 2^40 every further step changes nothing in the comparison,
// so at most four steps are taken whatever the unit says.
constexpr std::int64_t NetworkThreshold(int speed, int unit) {
    constexpr std::int64_t kCap = std::int64_t{1} << 40;
    const int steps = unit < 4 ? unit : 4;
    std::int64_t t = speed;
    for (int i = 0; i < steps && t > -kCap && t < kCap; ++i) t *= 1024;
    return t;
}

// Minutes until an AppointedTime window (minutes of the day) starts; 0 inside it.
std::int32_t AppointedTimeMinutesLeft(int nowMinute, int fromMinute, int toMinute);

// The arming checkers' window test: the window is met at this minute, its
// first minute included.
bool AppointedTimeWindowCovers(int nowMinute, int fromMinute, int toMinute);

// The clock conditions on their days (seven 0/1 characters, Monday first;
// settings/WeekDays.h). Minutes until the daily time next comes on a ticked
// day, 0 in its minute; none when no day is ticked.
std::optional<std::int32_t> DailyTimeMinutesLeft(DateTime now, int targetMinute, const std::string& days);
// Minutes until a window starts on a ticked day, 0 inside a window whose
// first day is ticked (one that runs past midnight belongs to the day it
// starts); none when no day is ticked.
std::optional<std::int32_t> WindowMinutesLeft(DateTime now, int fromMinute, int toMinute, const std::string& days);

// The cursor, or none when it cannot be read (a reader that throws included).
std::optional<CursorPos> ReadCursorSafely(const CursorReader& readCursor);

// Evaluates the eight conditions. Conditions run only when Function_Enabled and
// their own switch are set; the running-time stamps and LastCursorPos in
// `state` are updated in place, in evaluation order. `now` is the wall clock
// for the time-of-day conditions, `monotonicMs` the count the running times
// are measured on. The cursor is read only while the MouseCursor condition is
// evaluated; an unreadable cursor (or a reader that throws) counts as no
// movement.
//
// A countdown minute that the wall clock skips between two evaluations (a
// clock set forward, a sleep the program did not start) is not caught up:
// the countdown is spent and holds no more until the next arming, so it never
// acts a day late. The daily Time condition simply waits for its next day.
ConditionStates EvaluateConditions(DateTime now, std::uint64_t monotonicMs, const Settings& settings,
                                   const ConditionReadings& readings, const CursorReader& readCursor,
                                   MonitorState& state);

// The combination without any hold-back (`unheld`, before a listed program,
// a keep-awake request, the postponement or the warning's countdown held it)
// is due now: the countdown and the daily time that are due in this minute
// stay due until the action comes (MonitorState::TimerOwed, TimeOwedMinute),
// so a hold-back over their minute delays the action instead of moving it a
// day. A minute the clock skips is never seen due, and is not owed.
void KeepClockConditionsDue(DateTime now, const ConditionStates& conditions, const Verdict& unheld,
                            MonitorState& state);

// Any-one mode when Piece_Requirement is set, all mode otherwise; the clock
// agreement rule when All_Requirement is set; nothing due in the hold-off minute.
Verdict CombineConditions(const ConditionStates& states, const Settings& settings, bool sameMinute);

}  // namespace vesko
