#pragma once
// What the monitor keeps from one tick to the next. The engine reads and
// updates it; the monitor owns the one instance for its whole life.
//
// Running times are measured on a monotonic millisecond count (it never goes
// back and does not follow changes of the wall clock); the wall clock serves
// the hold-off minute and the time-of-day conditions only.
#include <cstdint>
#include <limits>
#include <optional>

#include "base/DateTime.h"
#include "readings/ArmReadings.h"
#include "readings/CursorPos.h"
#include "readings/NetworkTraffic.h"

namespace vesko {

struct MonitorState {
    // The excluded-program list file has not been loaded yet.
    bool FirstTick = true;
    // Its failure to read has been logged.
    bool ListFailureReported = false;
    // Interface counters at the previous network reading.
    NetworkBaseline Network;
    // Last start, OK, Apply, tray-menu enable or resume: nothing acts in its minute.
    DateTime HoldOffStamp = 0;
    // Start of the current run of each duration condition, on the monotonic
    // count. Until the first arming they lie ahead of every count, so a
    // condition evaluated before it counts from that evaluation, never from 0.
    static constexpr std::uint64_t kNotArmed = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t CpuLowSince = kNotArmed;
    std::uint64_t NetLowSince = kNotArmed;
    std::uint64_t MemLowSince = kNotArmed;
    std::uint64_t MouseStillSince = kNotArmed;
    CursorPos LastCursorPos;
    // The uptime condition counts from here: 0 after start, the uptime at the
    // resume after the program itself put the machine to sleep.
    std::uint64_t UptimeOriginMs = 0;
    // Wall clock of the previous evaluation; 0 before the first. A countdown
    // minute that the clock skips between two evaluations is spent.
    DateTime LastEvaluation = 0;
    bool TimerSpent = false;
    // Monotonic count of the previous tick; 0 before the first.
    std::uint64_t LastTickMs = 0;
    // One automatic fallback of the power-saving method is allowed.
    bool MethodCheckPending = true;
    // A power call was refused and its refusal logged; later attempts stay
    // quiet in the log until one succeeds.
    bool PowerRefusalLogged = false;
    // Power-off was requested: Windows is ending, nothing is called again
    // unless the user arms anew.
    bool WindowsEnding = false;
    // The warning's postponement ends at this monotonic count; 0 when none
    // stands (StandAside.h).
    std::uint64_t PostponedUntilMs = 0;
    // The warning is always counted down in full before the method runs: the
    // monotonic count of the first tick of the uninterrupted warning showing
    // now; 0 while none shows (Warning.h).
    std::uint64_t WarningSinceMs = 0;
    // A clock condition that fell due while something held the action back
    // stays due, so that the end of the hold-back brings the warning and the
    // action instead of moving them a day: the countdown until it is acted
    // on or re-armed, the daily time until then or its next occurrence (the
    // wall-clock minute it fell due in; kNoMinute when none is owed).
    static constexpr std::int64_t kNoMinute = std::numeric_limits<std::int64_t>::min();
    bool TimerOwed = false;
    std::int64_t TimeOwedMinute = kNoMinute;
    // When the program's own warning beep sounded (monotonic; 0 never): the
    // beep's audio stream may show as a system-required request.
    std::uint64_t OwnBeepMs = 0;
    // The job's end (ProgramEnd.h): a program of the name has been seen since
    // arming; it ran at the last evaluation; the first tick it was gone.
    bool ProgramSeen = false;
    bool ProgramRunning = false;
    std::uint64_t ProgramGoneSinceMs = 0;
    // The program's own request to keep the machine awake stands; when it
    // was last dropped (monotonic; 0 never).
    bool OwnAwakeRequest = false;
    std::uint64_t OwnAwakeEndedMs = 0;
    // After a resume by the program's own wake timer, the machine is kept
    // awake until this count (monotonic; 0 none) or the first input, the
    // input count as it stood then.
    std::uint64_t WakeHoldUntilMs = 0;
    std::uint32_t WakeHoldInput = 0;

    // Start, OK/Apply, switching on from the tray and resume: the hold-off
    // minute, every duration condition's running time and the cursor position
    // start again, and the countdown schedule is back in force. An unreadable
    // cursor leaves the last position.
    void Arm(const ArmReadings& r) {
        RestartRunningTimes(r);
        LastEvaluation = 0;
        TimerSpent = false;
        WindowsEnding = false;
        PostponedUntilMs = 0;
        WarningSinceMs = 0;
        TimerOwed = false;
        TimeOwedMinute = kNoMinute;
    }

    // The hold-off minute, every duration condition's running time and the
    // cursor position start again, and the job's end is watched anew from
    // what runs next; the countdown's state is left alone.
    void RestartRunningTimes(const ArmReadings& r) {
        HoldOffStamp = r.Now;
        RestartDurations(r.MonotonicMs);
        if (r.Cursor) LastCursorPos = *r.Cursor;
        ProgramSeen = ProgramRunning = false;
    }

    // Every duration condition counts from `monotonicMs`.
    void RestartDurations(std::uint64_t monotonicMs) {
        CpuLowSince = NetLowSince = MemLowSince = MouseStillSince = monotonicMs;
    }

    // Window creation. The network baseline is primed by the first readings.
    void StartAt(const ArmReadings& r) {
        FirstTick = true;
        Arm(r);
        UptimeOriginMs = 0;
        MethodCheckPending = true;
    }

    // Back from a suspend or hibernation that the program started: every
    // condition must hold anew for its full length, uptime included.
    void ResumedAt(const ArmReadings& r) {
        Arm(r);
        UptimeOriginMs = r.UptimeMs;
    }

    // Milliseconds the uptime condition counts. A tick count that restarted
    // below the origin (the 32-bit count's wrap) counts from its restart.
    std::uint64_t ConditionUptimeMs(std::uint64_t uptimeMs) const {
        return uptimeMs >= UptimeOriginMs ? uptimeMs - UptimeOriginMs : uptimeMs;
    }
};

}  // namespace vesko
