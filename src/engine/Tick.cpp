#include "engine/Tick.h"

#include <cstdio>

#include "log/EventLog.h"
#include "readings/Uptime.h"

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
    d.Readings.UptimeMinutes = UptimeMinutes(SplitUptime(state.ConditionUptimeMs(r.UptimeMs)));
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

ExclusionResult ApplyExclusionGate(const Settings& settings, ExcludedProgramList* programs,
                                   ConditionStates& states) {
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

TickVerdict EvaluateTick(DateTime now, std::uint64_t monotonicMs, const StatusDisplay& status,
                         const Settings& settings, const CursorReader& readCursor,
                         ExcludedProgramList* programs, MonitorState& state) {
    TickVerdict v;
    v.SameMinute = IsSameMinute(now, state.HoldOffStamp);
    v.Conditions = EvaluateConditions(now, monotonicMs, settings, status.Readings, readCursor, state);
    v.Exclusion = ApplyExclusionGate(settings, programs, v.Conditions);
    Verdict combined = CombineConditions(v.Conditions, settings, v.SameMinute);
    v.Ready = combined.Ready;
    v.MinutesToAct = combined.MinutesToAct;
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
