#include "readings/NetworkTraffic.h"

#include <limits>

namespace vesko {

bool CountsTraffic(const InterfaceOctets& row) { return !row.Filter && (row.Hardware || row.ConnectorPresent); }

std::uint64_t CounterAdvance(std::uint64_t before, std::uint64_t now, bool wide) {
    if (now >= before) return now - before;
    if (!wide) {
        constexpr std::uint64_t kSpan = std::uint64_t{1} << 32;
        const std::uint64_t wrapped = (now - before) & (kSpan - 1);
        if (before < kSpan && now < kSpan && wrapped < kSpan / 2) return wrapped;
    }
    return now;  // restarted: what it counted since
}

std::int64_t NetworkBytesSince(const InterfaceTable& table, NetworkBaseline& baseline) {
    if (!table.Read) return 0;
    constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::uint64_t moved = 0;
    auto add = [&](std::uint64_t v) { moved = v > kMax - moved ? kMax : moved + v; };
    NetworkBaseline next;
    for (const InterfaceOctets& row : table.Rows) {
        if (!CountsTraffic(row) || next.Counters.contains(row.Key)) continue;
        next.Counters[row.Key] = {row.InOctets, row.OutOctets};
        auto before = baseline.Counters.find(row.Key);
        if (before == baseline.Counters.end()) continue;
        add(CounterAdvance(before->second.first, row.InOctets, row.Wide));
        add(CounterAdvance(before->second.second, row.OutOctets, row.Wide));
    }
    baseline = std::move(next);
    return static_cast<std::int64_t>(moved);
}

std::string NetworkTrafficText(std::int64_t bytes) {
    int unit = 0;
    std::int64_t v = bytes;
    while (std::to_string(v).size() >= 5 && unit < 2) {
        v /= 1024;
        ++unit;
    }
    return std::to_string(v) + " " + kNetworkUnits[unit];
}

}  // namespace vesko
