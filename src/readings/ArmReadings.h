#pragma once
// What arming reads from the machine at that moment: both clocks, the uptime
// and the cursor.
#include <cstdint>
#include <optional>

#include "base/DateTime.h"
#include "readings/CursorPos.h"

namespace vesko {

struct ArmReadings {
    DateTime Now = 0;                 // wall clock
    std::uint64_t MonotonicMs = 0;    // monotonic count
    std::uint64_t UptimeMs = 0;       // milliseconds since the system started
    std::optional<CursorPos> Cursor;  // none while the cursor cannot be read
};

}  // namespace vesko
