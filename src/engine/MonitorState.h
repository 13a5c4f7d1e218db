#pragma once
// What the monitor keeps from one tick to the next. The engine
// reads and updates it; the monitor owns the one instance for its whole life.
#include <cstdint>

#include "base/DateTime.h"
#include "readings/CursorPos.h"

namespace vesko {

struct MonitorState {
    // The excluded-program list file has not been loaded yet.
    bool FirstTick = true;
    // Interface octet sums at the previous network reading.
    std::uint32_t PrevInOctets = 0;
    std::uint32_t PrevOutOctets = 0;
    // Last start, OK, Apply, tray-menu enable or resume: nothing acts in its minute.
    DateTime HoldOffStamp = 0;
    // Start of the current run of each duration condition.
    DateTime CpuLowSince = 0;
    DateTime NetLowSince = 0;
    DateTime MemLowSince = 0;
    DateTime MouseStillSince = 0;
    CursorPos LastCursorPos;
    // One automatic fallback of the power-saving method is allowed.
    bool MethodCheckPending = true;

    // Window creation: every stamp starts now, the octet sums and the cursor
    // are primed with the first readings.
    void StartAt(DateTime now, std::uint32_t inOctets, std::uint32_t outOctets, CursorPos cursor) {
        FirstTick = true;
        PrevInOctets = inOctets;
        PrevOutOctets = outOctets;
        HoldOffStamp = CpuLowSince = NetLowSince = MemLowSince = MouseStillSince = now;
        LastCursorPos = cursor;
        MethodCheckPending = true;
    }
};

}  // namespace vesko
