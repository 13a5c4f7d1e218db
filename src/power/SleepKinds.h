#pragma once
// What each power-saving method really does on this machine, in words for the
// settings window: a "suspend" may be S3 standby, a hybrid sleep that writes
// the hibernation file too, or Modern Standby that keeps the network up, and
// hibernation may be switched off. Shutting down is always a full shutdown.
#include <optional>
#include <string>
#include <vector>

namespace vesko {

// The sleeping states as the system reports them (GetPwrCapabilities and the
// active power plan), with the answers of the availability check that keeps
// the method choices usable or greyed.
struct SleepCapabilities {
    bool known = false;  // the capabilities could be read; the S-flags below mean nothing otherwise
    bool s1 = false, s2 = false, s3 = false, s4 = false;
    bool hiberFilePresent = false;
    bool modernStandby = false;  // AoAc: sleep is the low-power idle of a running system
    // The plan's hybrid sleep for the present power source; none where no plan can be read.
    std::optional<bool> hybridSleep;
    // The availability check's answers; the system read leaves them to its caller.
    bool suspendAllowed = false;
    bool hibernateAllowed = false;
    // The deepest state a timer wakes the machine from (SYSTEM_POWER_STATE: S1 2 .. S3 4, S4 5), 0 unknown.
    int rtcWake = 0;
    // The plan's "allow wake timers" for the present power source; none where no plan can be read.
    std::optional<bool> wakeTimersAllowed;
};

// The words, one line each, in the order of the method choices (shutdown,
// suspend, hibernation); every line fits the label under them.
std::vector<std::string> DescribeSleepKinds(const SleepCapabilities& caps);

}  // namespace vesko
