#pragma once
// The probes that read the machine. Windows bindings, defined in
// SystemProbes_win.cpp and CpuUsage_win.cpp; the arithmetic on their results
// is portable (NetworkTraffic.h, MemoryUse.h, Uptime.h, CpuUsage.h).
#include <cstdint>
#include <memory>
#include <optional>

#include "readings/ArmReadings.h"
#include "readings/CursorPos.h"
#include "readings/CpuUsage.h"
#include "readings/NetworkTraffic.h"
#include "readings/Uptime.h"

namespace vesko {

// The interface table: the 64-bit one (GetIfTable2) where the system has it,
// else the 32-bit one; Read is false when it cannot be read.
InterfaceTable ReadInterfaceTable();

// The monotonic millisecond count the running times are measured on: the
// 64-bit tick count, or the 32-bit one carried past its wrap on Windows XP.
class MonotonicClock {
public:
    std::uint64_t Read();

private:
    TickCountExtender extender_;
};
// One clock for the process.
std::uint64_t ReadMonotonicMilliseconds();

struct MemorySizes {
    std::uint64_t TotalPhys = 0;  // bytes
    std::uint64_t AvailPhys = 0;
};
// The 64-bit figures where the system has them, so that machines with more
// than 4 GB show the right share.
MemorySizes ReadMemorySizes();

// Milliseconds since the system started, from the 64-bit tick count where the
// system has one, so that the uptime does not start again after 49.7 days.
std::uint64_t ReadUptimeMilliseconds();

// The cursor position in screen pixels; nothing when the system refuses it
// (for instance while another desktop, such as the lock screen, has the input).
std::optional<CursorPos> TryReadCursorPos();

// The CPU meter with the system's probes: NT mode where the processor times can
// be read, else 9x mode over HKEY_DYN_DATA.
std::unique_ptr<CpuUsage> CreateCpuUsage();

}  // namespace vesko
