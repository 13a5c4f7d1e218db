#pragma once
// Share of physical memory in use.
#include <cstdint>

namespace vesko {

// Whole percent 0..100 from the total and available physical memory in bytes.
// Counted in kibibytes and single precision, truncated; a total of 0 (no
// figures from the system) gives 0.
int MemoryPercent(std::uint64_t totalPhys, std::uint64_t availPhys);

}  // namespace vesko
