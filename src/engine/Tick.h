#pragma once
// The monitor tick's logic apart from the window: the status texts and the
// tray tip from this tick's readings, the hold-off minute, the eight
// conditions with the excluded-program gate, and the verdict. Monitor::OnTick
// takes the readings, calls TakeReadings and then EvaluateTick, and carries out the warning, the action and the
// availability check with the verdict (Ready, MinutesToAct, SameMinute).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/Conditions.h"
#include "base/DateTime.h"
#include "base/Product.h"
#include "engine/MonitorState.h"
#include "engine/ProgramEnd.h"
#include "readings/KeepAwake.h"
#include "readings/NetworkTraffic.h"
#include "settings/ExcludedPrograms.h"
#include "settings/Settings.h"

namespace vesko {

// What the probes gave this tick.
struct TickReadings {
    int CpuPercent = 0;          // the CPU meter's GetUsage
    InterfaceTable Interfaces;   // the interface table; Read false when it cannot be read
    int MemoryPercent = 0;       // MemoryPercent of the memory status
    std::uint64_t UptimeMs = 0;  // milliseconds since the system started
    std::string TimeText;        // the current time in the locale's long time format
};

struct StatusDisplay {
    // The status panel's texts.
    std::string StatusCpu;
    std::string StatusNetwork;
    std::string StatusMemory;
    std::string StatusClock;
    std::string StatusUptime;
    std::string TipHelp;  // assigned to the tray icon on every tick
    // The same integers the labels show, for the conditions.
    ConditionReadings Readings;
};

inline constexpr const char* kTrayTipTitle = kProductName;
inline constexpr const char* kOldShellTrayTip = "ケルダン！ ver 1.2";

// Six lines joined by CR LF on a version 5 shell or later, one line before.
std::string TrayTipText(bool shell5OrLater, const StatusDisplay& status);

// The tip with `line` added as its last line when the whole still fits the
// multi-line tip's length; otherwise (and on an older shell) the tip as it is,
// so that the shell never cuts a line in half.
std::string TrayTipWithLine(const std::string& tip, bool shell5OrLater, const std::string& line);

// The tick's readings made shown: the network figure since the previous tick
// (moving the network baseline of `state` on), label texts and tray tip. Write
// them to the window before evaluating, so that they stay shown if the
// evaluation throws. The uptime condition's minutes count from the state's
// uptime origin; the label shows the system's uptime.
StatusDisplay TakeReadings(const TickReadings& readings, bool shell5OrLater, MonitorState& state);

// "yyyy/mm/dd hh:nn": the hold-off compares date-times to the minute in this form.
std::string FormatMinuteStamp(DateTime t);
bool IsSameMinute(DateTime now, DateTime holdOffStamp);

// The live list of excluded programs: the items of the program-list dialog and
// the in-use test of each item's path.
class ExcludedProgramList {
public:
    virtual ~ExcludedProgramList() = default;
    virtual std::size_t Count() const = 0;
    virtual bool IsInUse(std::size_t index) = 0;
};

struct ExclusionResult {
    bool Ran = false;    // Function_Enabled and ExeStop_Enabled were both set
    bool Found = false;  // some listed program is in use: every Holds flag was cleared
    // Tray icon the tick must show (1 "TFICON" when found, else 0 "TTICON");
    // none when the gate did not run and the icon is left as it is.
    std::optional<int> TrayIconId() const {
        if (!Ran) return std::nullopt;
        return Found ? 1 : 0;
    }
};

// Tests every item (no early exit) and clears all Holds flags when one is in use.
// `programs` may be null for an empty list.
ExclusionResult ApplyExclusionGate(const Settings& settings, ExcludedProgramList* programs, ConditionStates& states);

struct TickVerdict {
    bool SameMinute = false;  // now lies in the minute of HoldOffStamp
    ConditionStates Conditions;
    ConditionStates Evaluated;  // the conditions before the exclusion gate cleared them
    ExclusionResult Exclusion;
    bool Ready = false;
    std::int32_t MinutesToAct = 0;
    // Another program's request to stay awake, holding every condition back.
    KeepAwakeSignal KeepAwake = KeepAwakeSignal::None;
    // The warning's postponement: still within its ten minutes, and how long
    // they last.
    bool Postponed = false;
    std::uint64_t PostponedLeftMs = 0;
    // What is left of the warning's whole countdown while it shows.
    std::uint64_t WarningLeftMs = 0;
    // The program's own request to keep the machine awake (ProgramEnd.h).
    bool OwnAwakeRequest = false;
};

// A gap between two ticks longer than this restarts every running time.
inline constexpr std::uint64_t kTickGapMs = 60000;

// The tick's decision: hold-off test, conditions (updating the running-time
// stamps and LastCursorPos of `state`), exclusion gate, combination. `now` is
// the wall clock, `monotonicMs` the count the running times are measured on.
// `keepAwake` (may be null) is asked only while KeepAwakeWanted; a standing
// request and the warning's postponement act as StandAside.h says. A clock
// condition held back in its minute stays due (KeepClockConditionsDue), and
// with the warning on nothing is due before the warning has counted its
// whole time down (ApplyWarningCountdown).
//
// `running` (may be null) answers the job's end condition (ProgramEnd.h);
// OwnAwakeRequest tells whether the program's own keep-awake request should
// stand after the tick, decided before the keep-awake probe is asked.
TickVerdict EvaluateTick(DateTime now, std::uint64_t monotonicMs, const StatusDisplay& status, const Settings& settings,
                         const CursorReader& readCursor, ExcludedProgramList* programs, MonitorState& state,
                         KeepAwakeProbe* keepAwake = nullptr, RunningPrograms* running = nullptr);

// The excluded-program list file, loaded into `list` on the first tick. A file
// that exists but cannot be read leaves the list as it is and is tried again
// on the next tick; the tick goes on. The failure's text is returned the first
// time only, for the event log.
std::optional<std::string> LoadExcludedListOnTick(MonitorState& state, ExcludedListFile& file,
                                                  std::vector<std::string>& list);

}  // namespace vesko
