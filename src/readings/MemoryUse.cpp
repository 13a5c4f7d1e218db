#include "readings/MemoryUse.h"

namespace vesko {

int MemoryPercent(std::uint64_t totalPhys, std::uint64_t availPhys) {
    // Each step is stored as float so that the i686 build's x87 registers
    // cannot carry extra precision into the truncation.
    const float total = static_cast<float>(totalPhys / 1024);
    const float avail = static_cast<float>(availPhys / 1024);
    if (!(total > 0.0f)) return 0;
    const float used = total - avail;
    const float share = used / total;
    const float percent = share * 100.0f;
    if (percent <= 0.0f) return 0;
    if (percent >= 100.0f) return 100;
    return static_cast<int>(percent);
}

}  // namespace vesko
