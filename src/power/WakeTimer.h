#pragma once
// Waking the machine again after the program put it to sleep: when the next
// wake-up falls, and why a timer set for it cannot wake this machine.
#include <cstdint>
#include <optional>
#include <string>

#include "base/DateTime.h"
#include "power/SleepKinds.h"

namespace vesko {

// The next moment after `now`, to the minute, at hour:minute on a ticked day
// (seven 0/1 characters, Monday first); none when no day is ticked.
std::optional<DateTime> NextWakeTime(DateTime now, int hour, int minute, const std::string& days);

// "12/10 7:00": the day and time the log names.
std::string WakeTimeText(DateTime at);

// What SetWaitableTimer answered: whether it returned true, and the error
// code the thread holds after it (a success may still carry one).
struct WakeTimerAnswer {
    bool set = false;
    std::uint32_t error = 0;
};

inline constexpr std::uint32_t kErrorNotSupported = 50;
inline constexpr std::uint32_t kErrorTimerResumeIgnored = 722;

// Why the timer will not wake the machine from the chosen sleep (suspend or
// hibernation), in words for the log; none when it will. The timer's own
// answer counts first, then the machine: Modern Standby, the power plan's
// wake timers switched off, a firmware whose timer wakes only from a
// shallower state.
std::optional<std::string> WakeTimerProblem(const WakeTimerAnswer& answer, const SleepCapabilities& caps, bool suspend);

// After a wake by the timer with nobody at the machine, it is kept awake
// this long, or until the first input.
inline constexpr std::uint64_t kWakeHoldMs = 60 * 60000;

// Under the wake-up's row while the power-off is the method.
inline constexpr const char* kWakeNoteText = "（電源を切るときは復帰しません）";

// The log's two lines.
std::string WakeTimerSetLine(DateTime at);
std::string WakeTimerFailedLine(const std::string& reason);

}  // namespace vesko
