// The monitor around its own sleeps: the wake timer set before each, and
// the machine kept up after a wake by it.
#include "base/Trace.h"
#include "engine/Monitor.h"
#include "log/LogWriter.h"
#include "power/WakeTimer.h"

namespace vesko {

void Monitor::BeforeOwnSleep(bool suspend) {
    // This sleep (or the attempt) ends what the last wake by the timer kept up.
    state_.WakeHoldUntilMs = 0;
    wakeTimerSet_ = false;
    if (!active_.Wake_Enabled) return;
    // A timer that cannot be set is logged; the sleep goes on.
    Guarded("wake timer", [&] {
        const auto at = NextWakeTime(Now(), active_.Wake_Hour, active_.Wake_Minute, active_.Wake_Days);
        if (!at) return;
        const WakeTimerAnswer answer = ports_.powerSystem.SetWakeTimer(*at);
        const auto problem = WakeTimerProblem(answer, ports_.powerSystem.ReadSleepCapabilities(), suspend);
        LogQuietly(problem ? WakeTimerFailedLine(*problem) : WakeTimerSetLine(*at));
        wakeTimerSet_ = !problem;
    });
}

void Monitor::AfterOwnSleep() {
    if (!wakeTimerSet_) return;
    wakeTimerSet_ = false;
    // Woken by the timer with nobody at the machine: Windows would send it
    // back to sleep within minutes, before anyone came to it.
    Guarded("automatic resume", [&] {
        if (!ports_.powerSystem.ResumedAutomatically()) return;
        state_.WakeHoldUntilMs = ports_.machine.MonotonicMs() + kWakeHoldMs;
        state_.WakeHoldInput = ports_.machine.LastInputTick();
    });
}

}  // namespace vesko
