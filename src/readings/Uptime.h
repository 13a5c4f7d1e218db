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

}  // namespace vesko
