#include "readings/NetworkTraffic.h"

namespace vesko {

OctetSums SumOctets(const std::vector<InterfaceOctets>& rows) {
    OctetSums sums;
    for (const InterfaceOctets& row : rows) {
        sums.In += row.InOctets;
        sums.Out += row.OutOctets;
    }
    return sums;
}

std::int32_t NetworkBytesSince(OctetSums now, std::uint32_t& PrevInOctets, std::uint32_t& PrevOutOctets) {
    const std::uint32_t moved = (now.In - PrevInOctets) + (now.Out - PrevOutOctets);
    PrevInOctets = now.In;
    PrevOutOctets = now.Out;
    return static_cast<std::int32_t>(moved);
}

std::string NetworkTrafficText(std::int32_t bytes) {
    int unit = 0;
    std::int32_t v = bytes;
    while (std::to_string(v).size() >= 5 && unit < 2) {
        v /= 1024;
        ++unit;
    }
    return std::to_string(v) + " " + kNetworkUnits[unit];
}

}  // namespace vesko
