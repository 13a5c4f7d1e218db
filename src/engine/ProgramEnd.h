#pragma once
// The job's end: power-saving once a chosen program has run and has been gone
// for some minutes, and the machine kept awake while it runs.
//
// The condition holds when a program of ProgramEnd_Name has been seen since
// arming and none has run for ProgramEnd_Time minutes since the last one
// ended; a queue that starts the program anew for each file is not done
// between two files. Never seen since arming, it does not hold. Arming (and
// a resume the program did not cause) starts anew from what runs then.
//
// While the function and the condition are on and the program runs, the
// program asks Windows not to sleep on its own, so that its idle sleep does
// not stop the job half-way. Windows reports only the machine-wide execution
// state, which then includes this request: the keep-awake option must not
// take it for another program's (AskKeepAwake in StandAside.h).
#include <cstdint>
#include <optional>
#include <string>

#include "engine/Conditions.h"
#include "engine/MonitorState.h"
#include "settings/Settings.h"

namespace vesko {

// The programs running at one tick, asked by file name.
class RunningPrograms {
public:
    virtual ~RunningPrograms() = default;
    // Whether a program of this file name runs; none when the processes
    // cannot be listed.
    virtual std::optional<bool> IsRunning(const std::string& fileName) = 0;
};

// Evaluates the condition into `c` (its Enabled already set), updating the
// program's state in `state`; `programs` (may be null) is asked only while
// the function and the condition are on, once. A list that cannot be read is
// no sign of an end: a program seen before counts as still running.
void EvaluateProgramEnd(std::uint64_t monotonicMs, const Settings& settings, RunningPrograms* programs,
                        MonitorState& state, ConditionState& c);

// Whether the program's own keep-awake request should stand after this
// tick's evaluation (the job runs, or the machine woke by the program's own
// timer: MonitorState::WakeHoldUntilMs); moves MonitorState::OwnAwakeRequest
// and, when it is dropped, OwnAwakeEndedMs.
bool UpdateOwnAwakeRequest(const Settings& settings, std::uint64_t monotonicMs, MonitorState& state);

// The machine-wide execution state may still show the own request this long
// after it was dropped.
inline constexpr std::uint64_t kOwnRequestGuardMs = 10000;

// Whether a system-required flag seen now may be the program's own request.
bool OwnAwakeRequestMayShow(const MonitorState& state, std::uint64_t monotonicMs);

}  // namespace vesko
