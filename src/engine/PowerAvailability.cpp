#include "engine/PowerAvailability.h"

#include "engine/Execution.h"
#include "power/PowerActions.h"

namespace vesko {

namespace {

// One of the two sleeping states and everything the availability check touches for it.
struct SleepState {
    const char* exportName;
    PowerMethod method;
    bool Settings::*flag;  // the in-memory switch and, by its declaration, the file's key
    void (PowerChoices::*setEnabled)(bool);
    const char* fallbackMessage;
};

constexpr SleepState kHibernation{kHibernateAllowedExport, PowerMethod::Hibernation, &Settings::Hibernation,
                                  &PowerChoices::SetHibernateChoicesEnabled, availmsg::kHibernateFallback};
constexpr SleepState kSuspend{kSuspendAllowedExport, PowerMethod::Suspend, &Settings::Suspend,
                              &PowerChoices::SetSuspendChoicesEnabled, availmsg::kSuspendFallback};

// "Chosen" is SelectPowerMethod's answer, so that a file with all three
// method keys off (which hibernates) falls back like a chosen hibernation.
bool IsChosen(const SleepState& s, const Settings& settings) { return SelectPowerMethod(settings) == s.method; }

void FallBackInMemory(const SleepState& s, Settings& settings) {
    settings.*s.flag = false;
    settings.Shutdown = true;
}

void StoreFallback(const SleepState& s, PowerChoices& choices) { choices.WriteFallback(s.flag); }

void CheckAtStart(const SleepState& s, PowerSystem& system, const OsVersionRecord& version, Settings& settings,
                  PowerChoices& choices) {
    if (IsPowerStateAllowed(system, version, s.exportName)) return;
    if (IsChosen(s, settings)) {
        choices.SelectShutdownChoice();
        FallBackInMemory(s, settings);
        StoreFallback(s, choices);
    }
    (choices.*s.setEnabled)(false);
}

// A tick disables a choice only together with a fallback.
void CheckInTick(const SleepState& s, PowerSystem& system, const OsVersionRecord& version, Settings& settings,
                 bool& methodCheckPending, PowerChoices& choices) {
    if (IsPowerStateAllowed(system, version, s.exportName)) {
        (choices.*s.setEnabled)(true);
        return;
    }
    if (!IsChosen(s, settings) || !methodCheckPending) return;
    methodCheckPending = false;
    choices.SelectShutdownChoice();
    FallBackInMemory(s, settings);
    (choices.*s.setEnabled)(false);
    StoreFallback(s, choices);
    choices.ShowFallbackMessage(s.fallbackMessage);
}

}  // namespace

void UpdatePowerAvailabilityAtStart(PowerSystem& system, Settings& settings, PowerChoices& choices) {
    const OsVersionRecord version = system.ReadVersion();
    CheckAtStart(kHibernation, system, version, settings, choices);
    // Windows 95 cannot be asked about suspend; its choice stays as built.
    if (!IsWindows95(version)) CheckAtStart(kSuspend, system, version, settings, choices);
}

void UpdatePowerAvailability(PowerSystem& system, Settings& settings, bool& methodCheckPending, PowerChoices& choices) {
    const OsVersionRecord version = system.ReadVersion();
    CheckInTick(kHibernation, system, version, settings, methodCheckPending, choices);
    if (!IsWindows95(version)) CheckInTick(kSuspend, system, version, settings, methodCheckPending, choices);
}

void ShowFallbackNotice(NoticeWindow& window, const std::string& text) {
    if (window.IsSettingsWindowVisible()) {
        window.RestoreApplication();
        window.ShowMessage(text);
        return;
    }
    window.RestoreApplication();
    window.HideSettingsWindow();
    window.ShowMessage(text);
    window.HideApplicationWindow();
}

}  // namespace vesko
