#pragma once
// Standing aside while the user is busy elsewhere: other programs' requests
// to keep the machine awake (opt-in, KeepAwake_Enabled), and the warning's
// ten-minute postponement.
//
// A standing request holds every condition back, like a listed program in
// use, and counts as activity for the duration conditions: their running
// times start again with every tick it stands, so they count from its end.
//
// The postponement runs on the monotonic count, so a wall clock set forward
// or back never shortens it: nothing acts for ten real minutes. After it, as
// after every hold-back, the warning comes back and counts its whole time
// down before the method runs (ApplyWarningCountdown in Warning.h), and a
// clock condition that fell due in the ten minutes is still due then. A
// resume from a sleep the program did not start leaves it to its count (the
// tick count runs on through a sleep). Re-arming (start, OK, Apply,
// switching the function on) ends it.
#include <cstdint>
#include <optional>
#include <string>

#include "base/DateTime.h"
#include "engine/Conditions.h"
#include "engine/MonitorState.h"
#include "power/ManualCommands.h"
#include "readings/KeepAwake.h"
#include "settings/Settings.h"

namespace vesko {

class WarningDialog;

namespace standmsg {
inline constexpr const char* kFullScreen = "全画面表示中のため節電しません";
inline constexpr const char* kSound = "音声の再生中のため節電しません";
inline constexpr const char* kSystemRequired = "他のソフトがスリープを止めているため節電しません";
// The marks beside the condition rows, short enough for the narrowest.
inline constexpr const char* kFullScreenMark = "― 全画面";
inline constexpr const char* kSoundMark = "― 音声";
inline constexpr const char* kSystemRequiredMark = "― 使用中";
inline constexpr const char* kPostponed = "延長中（";
inline constexpr const char* kPostponedUntil = " まで）";
inline constexpr const char* kPostponeLog = "節電を10分延長しました";
}  // namespace standmsg

inline constexpr std::uint64_t kPostponeMs = 10 * 60000;

// The probe is asked only while the option, the function and at least one
// condition are on.
bool KeepAwakeWanted(const Settings& settings);

// The program's own warning beep plays as an audio stream, which Windows may
// keep the system awake for: a system-required flag seen this soon after it
// is taken for the beep's own. The longest default sound lasts about two
// seconds and the audio engine keeps an idle stream open a few seconds more;
// every warning lasts a minute at least, so the guard has ended long before
// any action can come.
inline constexpr std::uint64_t kOwnBeepGuardMs = 10000;

// The request standing now: the probe's answer when wanted; otherwise none,
// and the probe gives back what it holds. `probe` may be null. A
// system-required flag within kOwnBeepGuardMs of the own beep
// (MonitorState::OwnBeepMs) does not count.
KeepAwakeSignal AskKeepAwake(const Settings& settings, KeepAwakeProbe* probe, const MonitorState& state,
                             std::uint64_t monotonicMs);

// The summary's reason and the marks' short word for a standing request.
const char* KeepAwakeReason(KeepAwakeSignal signal);
const char* KeepAwakeMark(KeepAwakeSignal signal);

// The request's hold on one tick's conditions: none holds.
void HoldBack(ConditionStates& conditions);

// Where the postponement leaves this tick.
struct PostponementStep {
    bool Postponed = false;    // within the ten minutes: nothing acts
    std::uint64_t LeftMs = 0;  // until the ten minutes end
};

// Applies a standing postponement to the combined verdict (`ready`); an
// expired one is dropped from `state`.
PostponementStep ApplyPostponement(std::uint64_t monotonicMs, MonitorState& state, bool& ready);

// The warning's "10分延長": hides the warning, starts the ten minutes and
// writes the log line (raising when the log refuses, after the rest is done).
// Refused while the warning is locked ("/c"): nothing may stop the action.
bool WarningPostponeClick(bool locked, DateTime now, std::uint64_t monotonicMs, MonitorState& state,
                          WarningDialog& dialog, LogWriter& log);

}  // namespace vesko
