// One monitor tick's engine work with all eight conditions enabled: readings
// to texts, the conditions, the excluded-program gate and the combination.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "engine/Tick.h"

namespace vesko {
namespace {

// In-use test against a fixed set of running paths, standing in for the
// platform's check of each entry.
class FakeExcludedList : public ExcludedProgramList {
public:
    explicit FakeExcludedList(int count) {
        for (int i = 0; i < count; ++i)
            entries_.push_back("C:\\Program Files\\Vendor" + std::to_string(i) + "\\app" + std::to_string(i) + ".exe");
        running_ = {"C:\\Windows\\explorer.exe", "C:\\Program Files\\Other\\tool.exe"};
    }
    std::size_t Count() const override { return entries_.size(); }
    bool IsInUse(std::size_t index) override { return running_.count(entries_[index]) > 0; }

private:
    std::vector<std::string> entries_;
    std::unordered_set<std::string> running_;
};

Settings AllConditions() {
    Settings s;
    s.Function_Enabled = true;
    s.ExeStop_Enabled = true;
    s.Timer_Enabled = s.Time_Enabled = s.AppointedTime_Enabled = s.CPU_Enabled = true;
    s.Network_Enabled = s.Memory_Enabled = s.OS_Enabled = s.MouseCursor_Enabled = true;
    s.Timer_ScheduleTime.time = EncodeTime(23, 30);
    s.Time_Hour = 22;
    s.AppointedTime_FromHour = 1;
    s.AppointedTime_ToHour = 5;
    s.CPU_Percent = 10;
    s.CPU_Time = 30;
    s.Network_Speed = 12;
    s.Network_Unit = 1;
    s.Network_Time = 30;
    s.Memory_Percent = 80;
    s.Memory_Time = 30;
    s.OS_Hour = 12;
    s.MouseCursor_Time = 30;
    return s;
}

void BM_EngineTick(benchmark::State& bench) {
    const Settings settings = AllConditions();
    FakeExcludedList list(static_cast<int>(bench.range(0)));
    MonitorState state;
    const DateTime start = EncodeDateTime({2026, 3, 10, 14, 0, 0});
    state.StartAt({start, 0, 0, CursorPos{640, 400}});
    const CursorReader cursor = [] { return std::optional<CursorPos>(CursorPos{640, 400}); };
    TickReadings readings;
    readings.CpuPercent = 4;
    readings.MemoryPercent = 55;
    readings.UptimeMs = 3725000;
    readings.TimeText = "14:00:00";
    std::uint64_t octets = 0, monotonicMs = 0;
    DateTime now = start;
    for (auto _ : bench) {
        now += 1.0 / 86400;
        monotonicMs += 1000;
        octets += 1500;
        // An adapter and a filter row mirroring it, as modern systems report them.
        readings.Interfaces = {
            true, {{1, octets, octets / 3, true, false, true, true}, {2, octets, octets / 3, true, true, false, true}}};
        readings.UptimeMs += 1000;
        StatusDisplay status = TakeReadings(readings, true, state);
        TickVerdict verdict = EvaluateTick(now, monotonicMs, status, settings, cursor, &list, state);
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(verdict);
    }
}
// The excluded-program list's length: none, and the hundred entries of a
// generous list.
BENCHMARK(BM_EngineTick)->Arg(0)->Arg(100);

}  // namespace
}  // namespace vesko
