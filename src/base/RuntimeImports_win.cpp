// Imports of the MinGW runtime that Windows XP lacks, answered here.
//
// The C++ runtime of the posix thread model brings in the MinGW thread
// library, whose timing helpers import GetTickCount64 (Vista and later). A
// static import that XP's kernel32 cannot satisfy stops the program before
// it starts, so this file defines the import slot itself: the linker takes
// this one and never asks the import library. The slot calls the system's
// function where there is one and counts on from GetTickCount otherwise.
// Linked into vesko.exe as an object (not through a library), so that it is
// seen before the import library is searched.
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace {

using TickCount64Fn = ULONGLONG(WINAPI*)();

// GetTickCount wraps every 49.7 days; the high part is kept here. Readings
// from several threads only ever move it forward.
std::atomic<std::uint64_t> lastTicks{0};

ULONGLONG ExtendedTickCount() {
    std::uint64_t last = lastTicks.load();
    for (;;) {
        const std::uint32_t low = ::GetTickCount();
        std::uint64_t now = (last & ~std::uint64_t{0xFFFFFFFF}) | low;
        if (now < last) now += std::uint64_t{1} << 32;
        if (lastTicks.compare_exchange_weak(last, now)) return now;
    }
}

// Resolved without a guarded static: the runtime's guard may itself wait on
// a timer of the thread library, which comes back here.
std::atomic<TickCount64Fn> systemTickCount{nullptr};
std::atomic<bool> systemLookedUp{false};

ULONGLONG WINAPI TickCount64() {
    if (!systemLookedUp.load(std::memory_order_acquire)) {
        systemTickCount.store(reinterpret_cast<TickCount64Fn>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64"))));
        systemLookedUp.store(true, std::memory_order_release);
    }
    const TickCount64Fn system = systemTickCount.load();
    return system ? system() : ExtendedTickCount();
}

}  // namespace

#if defined(__i386__)
#define VESKO_IMPORT_SLOT(name, stdcallSuffix) "__imp__" #name stdcallSuffix
#else
#define VESKO_IMPORT_SLOT(name, stdcallSuffix) "__imp_" #name
#endif

extern "C" {
TickCount64Fn veskoGetTickCount64Import __asm__(VESKO_IMPORT_SLOT(GetTickCount64, "@0")) = TickCount64;
}
