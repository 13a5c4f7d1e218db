#pragma once
// Network traffic between two readings, from the interfaces' 32-bit octet
// counters. The counters wrap; so do the sums and the difference, which keeps a
// single counter's wrap harmless as long as less than 2^31 bytes pass between
// two readings.
#include <cstdint>
#include <string>
#include <vector>

namespace vesko {

// One row of the interface table.
struct InterfaceOctets {
    std::uint32_t InOctets = 0;
    std::uint32_t OutOctets = 0;
};

// Received and sent octets summed over the interfaces.
struct OctetSums {
    std::uint32_t In = 0;
    std::uint32_t Out = 0;
};

// Every row counts, loopback and disconnected interfaces included.
OctetSums SumOctets(const std::vector<InterfaceOctets>& rows);

// Bytes received plus sent since the previous reading, and the previous sums
// moved on to these. No division by the elapsed time: the tick runs once a
// second, so the figure is the traffic of one second. An interface that
// vanishes makes this one reading negative.
std::int32_t NetworkBytesSince(OctetSums now, std::uint32_t& PrevInOctets, std::uint32_t& PrevOutOctets);

// The units of the display and of the network threshold, by index.
inline constexpr const char* kNetworkUnits[3] = {"B/s", "kB/s", "MB/s"};

// "9999 B/s", "9 kB/s", "-4 MB/s": divided by 1024 while the number's text
// (sign included) has five or more characters, at most twice.
std::string NetworkTrafficText(std::int32_t bytes);

}  // namespace vesko
