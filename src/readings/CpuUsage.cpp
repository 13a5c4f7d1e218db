#include "readings/CpuUsage.h"

#include <cmath>

namespace vesko {

std::optional<std::uint8_t> CpuLoadPercent(std::int64_t idleDifference, std::int64_t clockDifference,
                                           unsigned processorCount) {
    if (clockDifference <= 0) return std::nullopt;
    if (processorCount == 0) processorCount = 1;
    // 100 - idle / clock * 100 / processors, written as one quotient of
    // exactly held integers: a load of exactly 40 % then truncates to 40, where
    // the step-by-step form can land on 39.999... and truncate to 39.
    const long double capacity = static_cast<long double>(clockDifference) * processorCount;
    const long double busy = capacity - static_cast<long double>(idleDifference);
    const long double whole = std::trunc(busy * 100.0L / capacity);
    if (whole <= 0.0L) return std::uint8_t{0};
    if (whole >= 100.0L) return std::uint8_t{100};
    return static_cast<std::uint8_t>(whole);
}

CpuUsage::CpuUsage(std::unique_ptr<CpuTimesProbe> ntProbe, std::unique_ptr<PerfStatsRegistry> registry)
    : ntProbe_(std::move(ntProbe)), registry_(std::move(registry)) {
    ResetSamples();
    if (ntProbe_) {
        if (std::optional<unsigned> count = ntProbe_->ProcessorCount()) {
            ProcessorCount = *count == 0 ? 1 : *count;
        } else {
            ntProbe_.reset();
        }
    }
}

CpuUsage::~CpuUsage() {
    if (registryStarted_ && registry_ && registry_->OpenKey(kStopStat)) {
        registry_->ReadBinaryData(kCpuUsageValue);  // reading it stops the statistic
    }
}

void CpuUsage::ResetSamples() {
    PrevIdleTime = 0;
    PrevSystemTime = 0;
}

std::uint8_t CpuUsage::GetUsage() { return ntProbe_ ? GetNTUsage() : Get9xUsage(); }

std::uint8_t CpuUsage::GetNTUsage() {
    const std::optional<CpuTimes> now = ntProbe_->ReadTimes();
    if (!now) return 0;  // the stored samples stay, so the next read spans this one
    if (PrevIdleTime == 0) {
        PrevIdleTime = now->IdleTime;
        PrevSystemTime = now->Clock;
        lastUsage_ = 0;
        return 0;
    }
    const std::int64_t clockDifference = now->Clock - PrevSystemTime;
    if (clockDifference == 0) return lastUsage_;  // within one tick of the clock: no new interval yet
    const std::optional<std::uint8_t> load =
        CpuLoadPercent(now->IdleTime - PrevIdleTime, clockDifference, ProcessorCount);
    PrevIdleTime = now->IdleTime;
    PrevSystemTime = now->Clock;
    // A clock that went back leaves no interval to measure; the next read
    // measures from here.
    if (load) lastUsage_ = *load;
    return lastUsage_;
}

std::uint8_t CpuUsage::Get9xUsage() {
    if (!registry_) return 0;
    if (!registryStarted_) {
        registryStarted_ = true;
        if (!registry_->OpenKey(kStartStat)) return 0;
        registry_->ReadBinaryData(kCpuUsageValue);  // reading it starts the statistic
    }
    if (!registry_->OpenKey(kStatData)) return 0;
    const std::optional<std::vector<std::uint8_t>> data = registry_->ReadBinaryData(kCpuUsageValue);
    if (!data || data->size() != 4) return 0;
    return (*data)[0];
}

}  // namespace vesko
