#include <windows.h>

#include <cstring>

#include "base/ScopedWin.h"
#include "base/SystemLibrary_win.h"
#include "readings/SystemProbes.h"

namespace vesko {
namespace {

std::int64_t FileTimeValue(const FILETIME& ft) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

// XP SP1 and later, both builds. The clock is the processors' busy plus idle
// time divided by their number: it advances with real time, yet is counted by
// the same accounting as the idle figure, so the two never drift apart.
class SystemTimesProbe : public CpuTimesProbe {
public:
    using GetSystemTimesFn = BOOL(WINAPI*)(LPFILETIME, LPFILETIME, LPFILETIME);

    explicit SystemTimesProbe(GetSystemTimesFn fn) : getSystemTimes_(fn) {
        SYSTEM_INFO si{};
        GetSystemInfo(&si);
        count_ = si.dwNumberOfProcessors ? si.dwNumberOfProcessors : 1;
    }

    std::optional<unsigned> ProcessorCount() override { return count_; }

    std::optional<CpuTimes> ReadTimes() override {
        FILETIME idle{}, kernel{}, user{};
        if (!getSystemTimes_(&idle, &kernel, &user)) return std::nullopt;
        // Kernel time includes the idle time.
        const std::int64_t all = FileTimeValue(kernel) + FileTimeValue(user);
        return CpuTimes{FileTimeValue(idle), all / static_cast<std::int64_t>(count_)};
    }

private:
    GetSystemTimesFn getSystemTimes_;
    unsigned count_ = 1;
};

// Before XP SP1 (32-bit systems only): the native system-information call.
// The structures are declared with native field types so that their sizes
// are right for the build; the call rejects a buffer of any other size.
class NtQueryProbe : public CpuTimesProbe {
public:
    using NtQueryFn = LONG(WINAPI*)(int infoClass, void* buffer, ULONG length, ULONG* returnLength);

    NtQueryProbe() : ntdll_(L"ntdll.dll"), query_(ntdll_.Function<NtQueryFn>("NtQuerySystemInformation")) {}

    std::optional<unsigned> ProcessorCount() override {
        if (!query_) return std::nullopt;
        BasicInformation basic{};
        if (query_(kSystemBasicInformation, &basic, sizeof basic, nullptr) != 0) return std::nullopt;
        const auto count = static_cast<unsigned char>(basic.NumberOfProcessors);
        return count ? static_cast<unsigned>(count) : 1u;
    }

    std::optional<CpuTimes> ReadTimes() override {
        TimeOfDayInformation timeOfDay{};
        if (query_(kSystemTimeOfDayInformation, &timeOfDay, sizeof timeOfDay, nullptr) != 0) return std::nullopt;
        // Only the first field (the idle time) is used; the full record is
        // 312 bytes on the systems this path serves.
        alignas(8) unsigned char performance[312] = {};
        if (query_(kSystemPerformanceInformation, performance, sizeof performance, nullptr) != 0) {
            return std::nullopt;
        }
        LARGE_INTEGER idle;
        std::memcpy(&idle, performance, sizeof idle);
        return CpuTimes{idle.QuadPart, timeOfDay.CurrentTime.QuadPart};
    }

private:
    static constexpr int kSystemBasicInformation = 0;
    static constexpr int kSystemPerformanceInformation = 2;
    static constexpr int kSystemTimeOfDayInformation = 3;

    struct BasicInformation {
        ULONG Reserved;
        ULONG TimerResolution;
        ULONG PageSize;
        ULONG NumberOfPhysicalPages;
        ULONG LowestPhysicalPageNumber;
        ULONG HighestPhysicalPageNumber;
        ULONG AllocationGranularity;
        ULONG_PTR MinimumUserModeAddress;
        ULONG_PTR MaximumUserModeAddress;
        ULONG_PTR ActiveProcessorsAffinityMask;
        CHAR NumberOfProcessors;
    };
    struct TimeOfDayInformation {
        LARGE_INTEGER BootTime;
        LARGE_INTEGER CurrentTime;
        LARGE_INTEGER TimeZoneBias;
        ULONG TimeZoneId;
        ULONG Reserved;
    };
    // The call rejects any other length: 44 and 32 bytes are the documented
    // 32-bit layouts; a 64-bit build's pointers make the first 64.
#if defined(_WIN64)
    static_assert(sizeof(BasicInformation) == 64, "SYSTEM_BASIC_INFORMATION is 64 bytes on 64-bit Windows");
#else
    static_assert(sizeof(BasicInformation) == 44, "SYSTEM_BASIC_INFORMATION is 44 bytes on 32-bit Windows");
#endif
    static_assert(sizeof(TimeOfDayInformation) == 32, "SYSTEM_TIMEOFDAY_INFORMATION is 32 bytes");

    ScopedLibrary ntdll_;
    NtQueryFn query_ = nullptr;
};

// HKEY_DYN_DATA exists only on the 9x family, which has no wide registry
// functions; the key and value names are plain ASCII.
class DynDataRegistry : public PerfStatsRegistry {
public:
    ~DynDataRegistry() override { Close(); }

    bool OpenKey(const std::string& key) override {
        Close();
        return RegOpenKeyExA(HKEY_DYN_DATA, key.c_str(), 0, KEY_READ, &key_) == ERROR_SUCCESS;
    }

    std::optional<std::vector<std::uint8_t>> ReadBinaryData(const std::string& name) override {
        if (!key_) return std::nullopt;
        std::vector<std::uint8_t> data(4);
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const LONG status = RegQueryValueExA(key_, name.c_str(), nullptr, &type, data.data(), &size);
        if (status != ERROR_SUCCESS) return std::nullopt;
        data.resize(size);
        return data;
    }

private:
    void Close() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }
    HKEY key_ = nullptr;
};

}  // namespace

std::unique_ptr<CpuUsage> CreateCpuUsage() {
    std::unique_ptr<CpuTimesProbe> probe;
    if (auto getSystemTimes = Kernel32Function<SystemTimesProbe::GetSystemTimesFn>("GetSystemTimes")) {
        probe = std::make_unique<SystemTimesProbe>(getSystemTimes);
    } else {
        probe = std::make_unique<NtQueryProbe>();
    }
    return std::make_unique<CpuUsage>(std::move(probe), std::make_unique<DynDataRegistry>());
}

}  // namespace vesko
