// What the system says of its sleeping states. Every function of powrprof is
// looked up at run time: the plan functions exist from Vista on only, and a
// static import of one stops the program before it starts on XP (and Wine
// aborts on it).
#include <windows.h>

#include "power/PowerActions_win.h"

namespace vesko {
namespace {

using GetPwrCapabilitiesFn = BOOLEAN(WINAPI*)(SYSTEM_POWER_CAPABILITIES*);
using PowerGetActiveSchemeFn = DWORD(WINAPI*)(HKEY, GUID**);
using PowerReadValueIndexFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, DWORD*);

// The sleep subgroup of a power plan and its hybrid-sleep setting.
constexpr GUID kSleepSubgroup = {0x238C9FA8, 0x0AAD, 0x41ED, {0x83, 0xF4, 0x97, 0xBE, 0x24, 0x2C, 0x8F, 0x20}};
constexpr GUID kHybridSleep = {0x94AC6D29, 0x73CE, 0x41A6, {0x80, 0x9F, 0x63, 0x63, 0xBA, 0x21, 0xB4, 0x7E}};
constexpr GUID kAllowWakeTimers = {0xBD3B718A, 0x0680, 0x4D9D, {0x8A, 0xB2, 0xE1, 0xD2, 0xB4, 0xAC, 0x80, 0x6D}};

// Windows 8 named three of the structure's spare bytes: fast startup, the wake
// alarm and, last, AoAc. Older systems leave them zero.
constexpr std::size_t kAoAcSpare = 2;

template <class Fn>
Fn Export(SystemHandle module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(module), name)));
}

// A sleep setting of the active plan for the present power source (on
// battery the DC one), as on or off.
std::optional<bool> PlanSleepSetting(SystemHandle powrprof, const GUID& setting) {
    const auto activeScheme = Export<PowerGetActiveSchemeFn>(powrprof, "PowerGetActiveScheme");
    SYSTEM_POWER_STATUS power{};
    const bool onBattery = ::GetSystemPowerStatus(&power) && power.ACLineStatus == 0;
    const auto readIndex =
        Export<PowerReadValueIndexFn>(powrprof, onBattery ? "PowerReadDCValueIndex" : "PowerReadACValueIndex");
    if (!activeScheme || !readIndex) return std::nullopt;
    GUID* scheme = nullptr;
    if (activeScheme(nullptr, &scheme) != ERROR_SUCCESS || !scheme) return std::nullopt;
    DWORD value = 0;
    const DWORD read = readIndex(nullptr, scheme, &kSleepSubgroup, &setting, &value);
    ::LocalFree(scheme);
    if (read != ERROR_SUCCESS) return std::nullopt;
    return value != 0;
}

}  // namespace

SleepCapabilities WinPowerSystem::ReadSleepCapabilities() {
    SleepCapabilities caps;
    const SystemHandle powrprof = LoadLibraryByName("Powrprof.dll");  // kept loaded
    if (powrprof == 0) return caps;
    SYSTEM_POWER_CAPABILITIES system{};
    if (const auto read = Export<GetPwrCapabilitiesFn>(powrprof, "GetPwrCapabilities"); read && read(&system)) {
        caps.known = true;
        caps.s1 = system.SystemS1 != 0;
        caps.s2 = system.SystemS2 != 0;
        caps.s3 = system.SystemS3 != 0;
        caps.s4 = system.SystemS4 != 0;
        caps.hiberFilePresent = system.HiberFilePresent != 0;
        caps.modernStandby = system.spare2[kAoAcSpare] != 0;
        caps.rtcWake = static_cast<int>(system.RtcWake);
    }
    caps.hybridSleep = PlanSleepSetting(powrprof, kHybridSleep);
    caps.wakeTimersAllowed = PlanSleepSetting(powrprof, kAllowWakeTimers);
    return caps;
}

WakeTimerAnswer WinPowerSystem::SetWakeTimer(DateTime dueLocal) {
    if (wakeTimer_ == 0) wakeTimer_ = reinterpret_cast<SystemHandle>(::CreateWaitableTimerW(nullptr, TRUE, nullptr));
    if (wakeTimer_ == 0) return {false, ::GetLastError()};
    // The due time as an absolute UTC file time, taken through this zone's rules for that day.
    const DateTimeParts p = DecodeDateTime(dueLocal);
    SYSTEMTIME local{static_cast<WORD>(p.year), static_cast<WORD>(p.month),  0, static_cast<WORD>(p.day),
                     static_cast<WORD>(p.hour), static_cast<WORD>(p.minute), 0, 0};
    SYSTEMTIME utc{};
    FILETIME due{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !::SystemTimeToFileTime(&utc, &due))
        return {false, ::GetLastError()};
    LARGE_INTEGER when{};
    when.LowPart = due.dwLowDateTime;
    when.HighPart = static_cast<LONG>(due.dwHighDateTime);
    ::SetLastError(0);
    const BOOL set = ::SetWaitableTimer(reinterpret_cast<HANDLE>(wakeTimer_), &when, 0, nullptr, nullptr, TRUE);
    return {set != FALSE, ::GetLastError()};
}

bool WinPowerSystem::ResumedAutomatically() { return ::IsSystemResumeAutomatic() != FALSE; }

}  // namespace vesko
