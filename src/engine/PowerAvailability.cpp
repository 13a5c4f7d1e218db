#include "engine/PowerAvailability.h"

#include "engine/Execution.h"
#include "engine/MonitorPorts.h"
#include "power/PowerActions.h"
#include "settings/SettingsStore.h"

namespace vesko {

namespace {

// One of the two sleeping states and everything the availability check touches for it.
struct SleepState {
    const char* exportName;
    PowerMethod method;
    bool Settings::*flag;   // the in-memory switch and, by its declaration, the file's key
    ManualCommand command;  // its item in the tray menu
    const char* fallbackMessage;
};

constexpr SleepState kHibernation{kHibernateAllowedExport, PowerMethod::Hibernation, &Settings::Hibernation,
                                  ManualCommand::Hibernate, availmsg::kHibernateFallback};
constexpr SleepState kSuspend{kSuspendAllowedExport, PowerMethod::Suspend, &Settings::Suspend, ManualCommand::Suspend,
                              availmsg::kSuspendFallback};

// "Chosen" is SelectPowerMethod's answer, so that a file with all three
// method keys off (which hibernates) falls back like a chosen hibernation.
bool IsChosen(const SleepState& s, const Settings& settings) { return SelectPowerMethod(settings) == s.method; }

void FallBackInMemory(const SleepState& s, Settings& settings) {
    settings.*s.flag = false;
    settings.Shutdown = true;
}

void StoreFallback(const SleepState& s, const PowerChoicePorts& choices) {
    choices.store.Write({{&Settings::Shutdown, true}, {s.flag, false}});
}

// The radio button and the tray menu's item.
void SetChoicesEnabled(const SleepState& s, const PowerChoicePorts& choices, bool enabled) {
    choices.view.SetChoiceEnabled(s.flag, enabled);
    choices.view.ShowPowerCommandEnabled(s.command, enabled);
}

void SelectShutdownChoice(const PowerChoicePorts& choices) {
    SetRadio(choices.draft, &Settings::Shutdown, true);
    choices.view.ShowSetting(&Settings::Shutdown, choices.draft);
}

void CheckAtStart(const SleepState& s, PowerSystem& system, const OsVersionRecord& version, Settings& settings,
                  const PowerChoicePorts& choices) {
    if (IsPowerStateAllowed(system, version, s.exportName)) return;
    if (IsChosen(s, settings)) {
        SelectShutdownChoice(choices);
        FallBackInMemory(s, settings);
        StoreFallback(s, choices);
    }
    SetChoicesEnabled(s, choices, false);
}

// A tick disables a choice only together with a fallback.
void CheckInTick(const SleepState& s, PowerSystem& system, const OsVersionRecord& version, Settings& settings,
                 bool& methodCheckPending, const PowerChoicePorts& choices) {
    if (IsPowerStateAllowed(system, version, s.exportName)) {
        SetChoicesEnabled(s, choices, true);
        return;
    }
    if (!IsChosen(s, settings) || !methodCheckPending) return;
    methodCheckPending = false;
    SelectShutdownChoice(choices);
    FallBackInMemory(s, settings);
    SetChoicesEnabled(s, choices, false);
    StoreFallback(s, choices);
    choices.view.ShowFallbackNotice(s.fallbackMessage);
}

}  // namespace

void UpdatePowerAvailabilityAtStart(PowerSystem& system, Settings& settings, const PowerChoicePorts& choices) {
    const OsVersionRecord version = system.ReadVersion();
    CheckAtStart(kHibernation, system, version, settings, choices);
    // Windows 95 cannot be asked about suspend; its choice stays as built.
    if (!IsWindows95(version)) CheckAtStart(kSuspend, system, version, settings, choices);
}

void UpdatePowerAvailability(PowerSystem& system, Settings& settings, bool& methodCheckPending,
                             const PowerChoicePorts& choices) {
    const OsVersionRecord version = system.ReadVersion();
    CheckInTick(kHibernation, system, version, settings, methodCheckPending, choices);
    if (!IsWindows95(version)) CheckInTick(kSuspend, system, version, settings, methodCheckPending, choices);
}

std::vector<std::string> SleepKindsOfMachine(PowerSystem& system) {
    const OsVersionRecord version = system.ReadVersion();
    SleepCapabilities caps = system.ReadSleepCapabilities();
    caps.hibernateAllowed = IsPowerStateAllowed(system, version, kHibernateAllowedExport);
    // Windows 95 cannot be asked about suspend, and its choice stays usable.
    caps.suspendAllowed = IsWindows95(version) || IsPowerStateAllowed(system, version, kSuspendAllowedExport);
    return DescribeSleepKinds(caps);
}

}  // namespace vesko
