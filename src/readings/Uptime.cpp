#include "readings/Uptime.h"

namespace vesko {

UptimeParts SplitUptime(std::uint64_t milliseconds) {
    UptimeParts u;
    u.Hours = static_cast<std::int64_t>(milliseconds / 3600000);
    u.Minutes = static_cast<int>(milliseconds / 60000 - static_cast<std::uint64_t>(u.Hours) * 60);
    u.Seconds = static_cast<int>(milliseconds / 1000 - static_cast<std::uint64_t>(u.Hours) * 3600 -
                                 static_cast<std::uint64_t>(u.Minutes) * 60);
    return u;
}

std::string UptimeText(const UptimeParts& uptime) {
    return std::to_string(uptime.Hours) + "時間" + std::to_string(uptime.Minutes) + "分" +
           std::to_string(uptime.Seconds) + "秒";
}

}  // namespace vesko
