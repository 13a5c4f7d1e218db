#include "engine/ProgramEnd.h"

#include <algorithm>
#include <limits>

namespace vesko {

void EvaluateProgramEnd(std::uint64_t mono, const Settings& s, RunningPrograms* programs, MonitorState& state,
                        ConditionState& c) {
    if (!s.Function_Enabled || !s.ProgramEnd_Enabled) {
        state.ProgramRunning = false;
        return;
    }
    std::optional<bool> running = programs ? programs->IsRunning(s.ProgramEnd_Name) : std::nullopt;
    if (running.value_or(state.ProgramSeen)) {
        state.ProgramSeen = true;
        state.ProgramRunning = true;
        return;
    }
    if (!state.ProgramSeen) return;  // not started yet
    // Gone from this tick on: the end between two ticks counts from the later.
    if (state.ProgramRunning || state.ProgramGoneSinceMs > mono) state.ProgramGoneSinceMs = mono;
    state.ProgramRunning = false;
    const std::int64_t gone = static_cast<std::int64_t>((mono - state.ProgramGoneSinceMs) / 60000);
    c.Holds = true;
    c.MinutesLeft = static_cast<std::int32_t>(std::max<std::int64_t>(
        static_cast<std::int64_t>(s.ProgramEnd_Time) - gone, std::numeric_limits<std::int32_t>::min()));
}

bool UpdateOwnAwakeRequest(const Settings& s, std::uint64_t mono, MonitorState& state) {
    const bool wanted =
        (s.Function_Enabled && s.ProgramEnd_Enabled && state.ProgramRunning) || mono < state.WakeHoldUntilMs;
    if (state.OwnAwakeRequest && !wanted) state.OwnAwakeEndedMs = std::max<std::uint64_t>(mono, 1);
    state.OwnAwakeRequest = wanted;
    return wanted;
}

bool OwnAwakeRequestMayShow(const MonitorState& state, std::uint64_t mono) {
    if (state.OwnAwakeRequest) return true;
    return state.OwnAwakeEndedMs && mono >= state.OwnAwakeEndedMs && mono - state.OwnAwakeEndedMs < kOwnRequestGuardMs;
}

}  // namespace vesko
