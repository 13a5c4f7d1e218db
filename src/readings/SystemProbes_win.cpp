// The 64-bit interface table's types need the socket address definitions
// ahead of the IP helper header.
#include <winsock2.h>
#include <windows.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>

#include <new>
#include <vector>

#include "base/Trace.h"
#include "base/ScopedWin.h"
#include "base/SystemLibrary_win.h"
#include "readings/SystemProbes.h"

namespace vesko {
namespace {

// The IP helper, read every second, stays loaded for the process. It is
// loaded rather than imported: an import is resolved before the program's
// first line, while the search still begins in the program's folder.
const ScopedLibrary& IpHelper() {
    static const ScopedLibrary library(L"iphlpapi.dll");
    return library;
}

}  // namespace

namespace {

// The 64-bit table of Windows Vista and later, looked up so that the
// program still starts on Windows XP.
bool ReadInterfaceTable2(InterfaceTable& out) {
    using GetTable2 = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
    using FreeTable = VOID(WINAPI*)(PVOID);
    static const auto getTable = IpHelper().Function<GetTable2>("GetIfTable2");
    static const auto freeTable = IpHelper().Function<FreeTable>("FreeMibTable");
    if (!getTable || !freeTable) return false;
    PMIB_IF_TABLE2 table = nullptr;
    if (getTable(&table) != NO_ERROR || !table) {
        out.Read = false;  // present but failing: no fallback that counts differently
        return true;
    }
    try {
        out.Rows.reserve(table->NumEntries);
        for (ULONG i = 0; i < table->NumEntries; ++i) {
            const MIB_IF_ROW2& r = table->Table[i];
            InterfaceOctets row;
            row.Key = r.InterfaceLuid.Value;
            row.InOctets = r.InOctets;
            row.OutOctets = r.OutOctets;
            row.Wide = true;
            row.Filter = r.InterfaceAndOperStatusFlags.FilterInterface != FALSE;
            row.Hardware = r.InterfaceAndOperStatusFlags.HardwareInterface != FALSE;
            row.ConnectorPresent = r.InterfaceAndOperStatusFlags.ConnectorPresent != FALSE;
            out.Rows.push_back(row);
        }
        out.Read = true;
    } catch (const std::bad_alloc&) {
        TraceCurrentException("reading the interface table");
        out = {};
    }
    freeTable(table);
    return true;
}

// The 32-bit table of Windows XP: no filter rows there; every interface but
// loopback counts.
InterfaceTable ReadInterfaceTable1() {
    using GetTable = DWORD(WINAPI*)(PMIB_IFTABLE, PULONG, BOOL);
    static const auto getTable = IpHelper().Function<GetTable>("GetIfTable");
    if (!getTable) return {};
    ULONG size = 0;
    if (getTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::vector<unsigned char> buffer;
    // An interface may appear between the size query and the read; the second
    // answer then names the size needed, so try once more before giving up.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            buffer.resize(size);
            auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
            const DWORD status = getTable(table, &size, FALSE);
            if (status == NO_ERROR) {
                InterfaceTable out;
                out.Read = true;
                out.Rows.reserve(table->dwNumEntries);
                for (DWORD i = 0; i < table->dwNumEntries; ++i) {
                    const MIB_IFROW& r = table->table[i];
                    const bool loopback = r.dwType == IF_TYPE_SOFTWARE_LOOPBACK;
                    out.Rows.push_back({r.dwIndex, r.dwInOctets, r.dwOutOctets, false, false, !loopback, !loopback});
                }
                return out;
            }
            if (status != ERROR_INSUFFICIENT_BUFFER) break;
        } catch (const std::bad_alloc&) {
            TraceCurrentException("reading the interface table");
            break;
        }
    }
    return {};
}

}  // namespace

InterfaceTable ReadInterfaceTable() {
    InterfaceTable table;
    if (ReadInterfaceTable2(table)) return table;
    return ReadInterfaceTable1();
}

std::uint64_t MonotonicClock::Read() {
    using TickCount64 = ULONGLONG(WINAPI*)();
    static const TickCount64 tickCount64 = Kernel32Function<TickCount64>("GetTickCount64");
    if (tickCount64) return tickCount64();
    return extender_.Extend(GetTickCount());
}

std::uint64_t ReadMonotonicMilliseconds() {
    static MonotonicClock clock;
    return clock.Read();
}

MemorySizes ReadMemorySizes() {
    using StatusEx = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
    if (auto statusEx = Kernel32Function<StatusEx>("GlobalMemoryStatusEx")) {
        MEMORYSTATUSEX ms{};
        ms.dwLength = sizeof ms;
        if (statusEx(&ms)) return {ms.ullTotalPhys, ms.ullAvailPhys};
    }
    MEMORYSTATUS ms{};
    ms.dwLength = sizeof ms;
    GlobalMemoryStatus(&ms);
    return {ms.dwTotalPhys, ms.dwAvailPhys};
}

std::uint64_t ReadUptimeMilliseconds() {
    using TickCount64 = ULONGLONG(WINAPI*)();
    static const TickCount64 tickCount64 = Kernel32Function<TickCount64>("GetTickCount64");
    if (tickCount64) return tickCount64();
    return GetTickCount();
}

std::optional<CursorPos> TryReadCursorPos() {
    POINT p{};
    if (!GetCursorPos(&p)) return std::nullopt;
    return CursorPos{p.x, p.y};
}

}  // namespace vesko
