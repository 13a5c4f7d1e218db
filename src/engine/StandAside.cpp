#include "engine/StandAside.h"

#include <algorithm>

#include "engine/ProgramEnd.h"
#include "engine/Warning.h"

namespace vesko {

bool KeepAwakeWanted(const Settings& s) {
    return s.KeepAwake_Enabled && s.Function_Enabled &&
           (s.Timer_Enabled || s.Time_Enabled || s.AppointedTime_Enabled || s.CPU_Enabled || s.Network_Enabled ||
            s.Memory_Enabled || s.OS_Enabled || s.MouseCursor_Enabled || s.ProgramEnd_Enabled);
}

KeepAwakeSignal AskKeepAwake(const Settings& settings, KeepAwakeProbe* probe, const MonitorState& state,
                             std::uint64_t mono) {
    if (!probe) return KeepAwakeSignal::None;
    if (!KeepAwakeWanted(settings)) {
        probe->Close();
        return KeepAwakeSignal::None;
    }
    KeepAwakeReading reading = probe->Read();
    if (state.OwnBeepMs && mono >= state.OwnBeepMs && mono - state.OwnBeepMs < kOwnBeepGuardMs)
        reading.SystemRequired = false;
    // The machine-wide state cannot tell whose request it is: while the
    // program's own stands (and briefly after), the flag is not another's.
    if (OwnAwakeRequestMayShow(state, mono)) reading.SystemRequired = false;
    return reading.Standing();
}

const char* KeepAwakeReason(KeepAwakeSignal signal) {
    switch (signal) {
        case KeepAwakeSignal::FullScreen: return standmsg::kFullScreen;
        case KeepAwakeSignal::Sound: return standmsg::kSound;
        case KeepAwakeSignal::SystemRequired: return standmsg::kSystemRequired;
        case KeepAwakeSignal::None: break;
    }
    return "";
}

const char* KeepAwakeMark(KeepAwakeSignal signal) {
    switch (signal) {
        case KeepAwakeSignal::FullScreen: return standmsg::kFullScreenMark;
        case KeepAwakeSignal::Sound: return standmsg::kSoundMark;
        case KeepAwakeSignal::SystemRequired: return standmsg::kSystemRequiredMark;
        case KeepAwakeSignal::None: break;
    }
    return "";
}

void HoldBack(ConditionStates& conditions) {
    for (ConditionState& c : conditions) c.Holds = false;
}

PostponementStep ApplyPostponement(std::uint64_t mono, MonitorState& state, bool& ready) {
    PostponementStep step;
    if (!state.PostponedUntilMs) return step;
    if (mono >= state.PostponedUntilMs) {
        state.PostponedUntilMs = 0;
        return step;
    }
    step.Postponed = true;
    step.LeftMs = state.PostponedUntilMs - mono;
    ready = false;
    return step;
}

bool WarningPostponeClick(bool locked, DateTime now, std::uint64_t mono, MonitorState& state, WarningDialog& dialog,
                          LogWriter& log) {
    if (locked) return false;
    // A count of 0 means no postponement; the tick count is never 0 in practice.
    state.PostponedUntilMs = std::max<std::uint64_t>(mono, 1) + kPostponeMs;
    dialog.Hide();
    log.WriteLog(standmsg::kPostponeLog, now);
    return true;
}

}  // namespace vesko
