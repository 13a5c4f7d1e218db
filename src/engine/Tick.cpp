#include "engine/Tick.h"

#include <cstdio>

#include "engine/StandAside.h"
#include "engine/Warning.h"
#include "log/EventLog.h"
#include "readings/Uptime.h"
#include "tray/ShellIcon.h"
#include "tray/TrayText.h"

namespace vesko {

std::string TrayTipText(bool shell5OrLater, const StatusDisplay& status) {
    if (!shell5OrLater) return kOldShellTrayTip;
    std::string tip = kTrayTipTitle;
    tip += "\r\nCPU  " + status.StatusCpu;
    tip += "\r\n平均通信量  " + status.StatusNetwork;
    tip += "\r\nメモリ  " + status.StatusMemory;
    tip += "\r\n時刻  " + status.StatusClock;
    tip += "\r\nOS起動時間  " + status.StatusUptime;
    return tip;
}

std::string TrayTipWithLine(const std::string& tip, bool shell5OrLater, const std::string& line) {
    if (!shell5OrLater || line.empty()) return tip;
    std::string longer = tip + "\r\n" + line;
    if (CutToUnits(longer, ShellIcon::kTipLimitV5, Utf16Units).size() != longer.size()) return tip;
    return longer;
}

StatusDisplay TakeReadings(const TickReadings& r, bool shell5OrLater, MonitorState& state) {
    StatusDisplay d;
    const std::int64_t bytes = NetworkBytesSince(r.Interfaces, state.Network);
    d.StatusNetwork = NetworkTrafficText(bytes);
    d.StatusCpu = std::to_string(r.CpuPercent) + " %";
    d.StatusMemory = std::to_string(r.MemoryPercent) + " %";
    d.StatusClock = r.TimeText;
    const UptimeParts up = SplitUptime(r.UptimeMs);
    d.StatusUptime = UptimeText(up);
    d.TipHelp = TrayTipText(shell5OrLater, d);

    // The conditions compare the very numbers the labels show; the network
    // condition takes the unscaled byte count.
    d.Readings.CpuPercent = r.CpuPercent;
    d.Readings.NetworkBytes = bytes;
    d.Readings.MemoryPercent = r.MemoryPercent;
    d.Readings.UptimeCountMs = state.ConditionUptimeMs(r.UptimeMs);
    d.Readings.UptimeMinutes = UptimeMinutes(SplitUptime(d.Readings.UptimeCountMs));
    return d;
}

std::string FormatMinuteStamp(DateTime t) {
    DateTimeParts p = DecodeDateTime(t);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d", p.year, p.month, p.day, p.hour, p.minute);
    return buf;
}

bool IsSameMinute(DateTime now, DateTime holdOffStamp) {
    return FormatMinuteStamp(now) == FormatMinuteStamp(holdOffStamp);
}

ExclusionResult ApplyExclusionGate(const Settings& settings, ExcludedProgramList* programs, ConditionStates& states) {
    ExclusionResult result;
    if (!settings.Function_Enabled || !settings.ExeStop_Enabled) return result;
    result.Ran = true;
    const std::size_t count = programs ? programs->Count() : 0;
    // Every entry is tested on every tick, also after a hit.
    for (std::size_t i = 0; i < count; ++i) {
        if (programs->IsInUse(i)) {
            for (ConditionState& s : states) s.Holds = false;
            result.Found = true;
        }
    }
    return result;
}

TickVerdict EvaluateTick(DateTime now, std::uint64_t monotonicMs, const StatusDisplay& status, const Settings& settings,
                         const CursorReader& readCursor, ExcludedProgramList* programs, MonitorState& state,
                         KeepAwakeProbe* keepAwake, RunningPrograms* running) {
    // Ticks come every second. A longer gap means the machine slept (a sleep
    // the program did not start: the user's, a closed lid, a wake timer) or
    // the program stood still: nothing measured before it counts, so every
    // duration condition holds anew for its full length from now, and a
    // warning that was showing was not seen: it starts again.
    if (state.LastTickMs != 0 && monotonicMs > state.LastTickMs + kTickGapMs)
        state.RestartRunningTimes({now, monotonicMs, 0, ReadCursorSafely(readCursor)});
    if (state.LastTickMs != 0 && monotonicMs > state.LastTickMs + kWarningGapMs) state.WarningSinceMs = 0;
    state.LastTickMs = monotonicMs;
    TickVerdict v;
    v.SameMinute = IsSameMinute(now, state.HoldOffStamp);
    // Other programs' requests first, against the own request as it stands
    // now: the job's end below may change it, but only at the tick's end.
    // A request counts as activity: the durations count from its last tick.
    v.KeepAwake = AskKeepAwake(settings, keepAwake, state, monotonicMs);
    if (v.KeepAwake != KeepAwakeSignal::None) state.RestartDurations(monotonicMs);
    ConditionState programEnd;
    programEnd.Enabled = settings.ProgramEnd_Enabled;
    EvaluateProgramEnd(monotonicMs, settings, running, state, programEnd);
    v.OwnAwakeRequest = UpdateOwnAwakeRequest(settings, monotonicMs, state);
    v.Conditions = EvaluateConditions(now, monotonicMs, settings, status.Readings, readCursor, state);
    v.Conditions[kProgramEndCondition] = programEnd;
    v.Evaluated = v.Conditions;
    if (settings.Function_Enabled)
        KeepClockConditionsDue(now, v.Evaluated, CombineConditions(v.Evaluated, settings, v.SameMinute), state);
    v.Exclusion = ApplyExclusionGate(settings, programs, v.Conditions);
    if (v.KeepAwake != KeepAwakeSignal::None) HoldBack(v.Conditions);
    Verdict combined = CombineConditions(v.Conditions, settings, v.SameMinute);
    v.Ready = combined.Ready;
    v.MinutesToAct = combined.MinutesToAct;
    const PostponementStep step = ApplyPostponement(monotonicMs, state, v.Ready);
    v.Postponed = step.Postponed;
    v.PostponedLeftMs = step.LeftMs;
    v.WarningLeftMs = ApplyWarningCountdown(monotonicMs, settings, state, v.Ready, v.MinutesToAct);
    return v;
}

std::optional<std::string> LoadExcludedListOnTick(MonitorState& state, ExcludedListFile& file,
                                                  std::vector<std::string>& list) {
    try {
        for (std::string& entry : TakeFirstTickEntries(state.FirstTick, file)) list.push_back(std::move(entry));
    } catch (const FileOpenError& e) {
        if (state.ListFailureReported) return std::nullopt;
        state.ListFailureReported = true;
        return std::string(e.what());
    }
    return std::nullopt;
}

}  // namespace vesko
