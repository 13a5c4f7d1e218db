#include <windows.h>
#include <iphlpapi.h>

#include <new>
#include <vector>

#include "readings/SystemProbes.h"

namespace vesko {
namespace {

// An export of kernel32 that older systems lack; null when missing.
template <typename Fn>
Fn Kernel32Export(const char* name) {
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    return kernel32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel32, name))) : nullptr;
}

}  // namespace

OctetSums ReadInterfaceOctetSums() {
    ULONG size = 0;
    if (GetIfTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::vector<unsigned char> buffer;
    // An interface may appear between the size query and the read; the second
    // answer then names the size needed, so try once more before giving up.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            buffer.resize(size);
        } catch (const std::bad_alloc&) {
            return {};
        }
        auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
        const DWORD status = GetIfTable(table, &size, FALSE);
        if (status == NO_ERROR) {
            std::vector<InterfaceOctets> rows;
            rows.reserve(table->dwNumEntries);
            for (DWORD i = 0; i < table->dwNumEntries; ++i) {
                rows.push_back({table->table[i].dwInOctets, table->table[i].dwOutOctets});
            }
            return SumOctets(rows);
        }
        if (status != ERROR_INSUFFICIENT_BUFFER) break;
    }
    return {};
}

MemorySizes ReadMemorySizes() {
    using StatusEx = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
    if (auto statusEx = Kernel32Export<StatusEx>("GlobalMemoryStatusEx")) {
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
    static const TickCount64 tickCount64 = Kernel32Export<TickCount64>("GetTickCount64");
    if (tickCount64) return tickCount64();
    return GetTickCount();
}

std::optional<CursorPos> TryReadCursorPos() {
    POINT p{};
    if (!GetCursorPos(&p)) return std::nullopt;
    return CursorPos{p.x, p.y};
}

CursorPos ReadCursorPos() {
    if (std::optional<CursorPos> p = TryReadCursorPos()) return *p;
    throw ReadingError("GetCursorPos failed");
}

}  // namespace vesko
