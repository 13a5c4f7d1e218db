#pragma once
// Time since the operating system started.
#include <cstdint>
#include <string>

namespace vesko {

struct UptimeParts {
    std::int64_t Hours = 0;
    int Minutes = 0;  // 0..59 after the hours
    int Seconds = 0;  // 0..59 after the minutes
};

UptimeParts SplitUptime(std::uint64_t milliseconds);

// "1時間2分5秒": numbers without leading zeros.
std::string UptimeText(const UptimeParts& uptime);

// Whole minutes of uptime, as the OS condition compares them.
inline std::int64_t UptimeMinutes(const UptimeParts& uptime) { return uptime.Hours * 60 + uptime.Minutes; }

// Carries a wrapping 32-bit millisecond count on into 64 bits, so that it never
// goes back after 49.7 days. Read at least once per wrap (the tick does).
class TickCountExtender {
public:
    std::uint64_t Extend(std::uint32_t count) {
        if (started_ && count < last_) high_ += std::uint64_t{1} << 32;
        started_ = true;
        last_ = count;
        return high_ + count;
    }

private:
    bool started_ = false;
    std::uint32_t last_ = 0;
    std::uint64_t high_ = 0;
};

}  // namespace vesko
