#pragma once
// CpuUsage: how busy the processors have been since the previous read, in
// whole percent. No timer of its own; the owner calls GetUsage once a tick.
//
// NT mode derives the load from an idle-time counter summed over all
// processors and a clock in the same 100 ns units. 9x mode reads the ready
// percentage the Windows 9x family keeps under HKEY_DYN_DATA\PerfStats.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vesko {

// One sample of the NT counters, both in 100 ns units.
struct CpuTimes {
    std::int64_t IdleTime = 0;  // idle time of all processors together
    std::int64_t Clock = 0;     // advances with real time
};

// The NT family's processor counters.
class CpuTimesProbe {
public:
    virtual ~CpuTimesProbe() = default;
    // Processors counted by the idle counter; nothing when the counters cannot
    // be read on this system, which puts the meter in 9x mode for good.
    virtual std::optional<unsigned> ProcessorCount() = 0;
    // Nothing when the system refuses the query this time.
    virtual std::optional<CpuTimes> ReadTimes() = 0;
};

// The 9x family's performance statistics under HKEY_DYN_DATA.
class PerfStatsRegistry {
public:
    virtual ~PerfStatsRegistry() = default;
    // Opens a key below HKEY_DYN_DATA for reading, never creating it.
    virtual bool OpenKey(const std::string& key) = 0;
    // The raw data of a value of the open key; nothing when it cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> ReadBinaryData(const std::string& name) = 0;
};

class CpuUsage {
public:
    // The mode is chosen here, once: NT mode when the probe exists and reports
    // its processor count, 9x mode otherwise.
    CpuUsage(std::unique_ptr<CpuTimesProbe> ntProbe, std::unique_ptr<PerfStatsRegistry> registry);
    // Stops the 9x statistic when it was started.
    ~CpuUsage();
    CpuUsage(const CpuUsage&) = delete;
    CpuUsage& operator=(const CpuUsage&) = delete;

    // Average load over the time since the previous read, 0..100.
    std::uint8_t GetUsage();
    // The next NT-mode read starts a new interval and returns 0.
    void ResetSamples();

    bool IsNTMode() const { return ntProbe_ != nullptr; }

    static constexpr const char* kStartStat = "PerfStats\\StartStat";
    static constexpr const char* kStatData = "PerfStats\\StatData";
    static constexpr const char* kStopStat = "PerfStats\\StopStat";
    static constexpr const char* kCpuUsageValue = "KERNEL\\CPUUsage";

private:
    std::uint8_t GetNTUsage();
    std::uint8_t Get9xUsage();

    std::unique_ptr<CpuTimesProbe> ntProbe_;
    std::unique_ptr<PerfStatsRegistry> registry_;
    bool registryStarted_ = false;  // the start key was tried (the reader exists)
    std::int64_t PrevIdleTime = 0;  // 0: no previous read
    std::int64_t PrevSystemTime = 0;
    unsigned ProcessorCount = 1;
    std::uint8_t lastUsage_ = 0;
};

// The load in whole percent from the differences of two NT samples:
// 100 - idle / clock * 100 / processors, truncated toward zero and held to
// 0..100 (the idle counter and the clock are not read at the same instant, so
// the raw figure can stray a little outside). Nothing when the clock has not
// moved forward.
std::optional<std::uint8_t> CpuLoadPercent(std::int64_t idleDifference, std::int64_t clockDifference,
                                           unsigned processorCount);

}  // namespace vesko
