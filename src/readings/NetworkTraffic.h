#pragma once
// Network traffic between two readings of the interface table. Each interface
// counts once (the filter and virtual rows that mirror an adapter are left
// out), differences are taken per interface, and a counter that wraps, an
// interface that appears, vanishes or restarts its counters never makes the
// figure negative or a spike.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vesko {

// One row of the interface table.
struct InterfaceOctets {
    std::uint64_t Key = 0;  // identifies the interface across readings
    std::uint64_t InOctets = 0;
    std::uint64_t OutOctets = 0;
    bool Wide = false;      // 64-bit counters; else they wrap at 2^32
    bool Filter = false;    // a filter row that mirrors an adapter
    bool Hardware = false;  // a physical adapter
    bool ConnectorPresent = false;
};

struct InterfaceTable {
    bool Read = false;  // false when the table could not be read
    std::vector<InterfaceOctets> Rows;
};

// Physical or connector-present interfaces, filter rows excluded. Loopback
// and tunnels have neither and do not count.
bool CountsTraffic(const InterfaceOctets& row);

// The counters of the previous reading, by interface.
struct NetworkBaseline {
    std::map<std::uint64_t, std::pair<std::uint64_t, std::uint64_t>> Counters;
};

// Octets one counter moved: the wrap of a 32-bit counter counts as traffic
// when the old value was in its upper half, any other fall as a restart from 0.
std::uint64_t CounterAdvance(std::uint64_t before, std::uint64_t now, bool wide);

// Bytes received plus sent since the previous reading, and the baseline moved
// on. A new interface only sets its baseline; a vanished one drops out. An
// unreadable table counts nothing and keeps the baseline, so the next good
// reading takes the traffic of both seconds. No division by the elapsed time:
// the tick runs once a second, so the figure is the traffic of one second.
std::int64_t NetworkBytesSince(const InterfaceTable& table, NetworkBaseline& baseline);

// The units of the display and of the network threshold, by index.
inline constexpr const char* kNetworkUnits[3] = {"B/s", "kB/s", "MB/s"};

// "9999 B/s", "9 kB/s", "4 MB/s": divided by 1024 while the number's text
// (sign included) has five or more characters, at most twice.
std::string NetworkTrafficText(std::int64_t bytes);

}  // namespace vesko
