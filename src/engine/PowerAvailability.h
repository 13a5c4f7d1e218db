#pragma once
// Keeping the suspend and hibernate choices of the settings window and the
// tray menu in step with what the system allows, and falling back to shutting
// down when the chosen method has become impossible.
#include <string>
#include <vector>

#include "power/PowerSystem.h"
#include "settings/Settings.h"
#include "settings/SettingsDeclaration.h"

namespace vesko {

class MonitorView;
class SettingsStore;

namespace availmsg {
inline constexpr const char* kHibernateFallback =
    "休止状態が使えないので節電方法を\"Windowsを終了して電源を切る\"に設定しました";
inline constexpr const char* kSuspendFallback =
    "サスペンド機能が使えないので節電方法を\"Windowsを終了して電源を切る\"に設定しました";
}  // namespace availmsg

// Where the choices show and a fallback is kept.
struct PowerChoicePorts {
    // The radio buttons and the tray menu's items; the fallback notice.
    MonitorView& view;
    // The settings window's values: a fallback selects Shutdown there.
    Settings& draft;
    // The fallback in the file, Shutdown on and the refused method off, in
    // one write; it raises when refused.
    const SettingsStore& store;
};

// At start, after the settings are loaded: silent fallback, disables what
// the system does not allow, enables nothing. The version is read here.
void UpdatePowerAvailabilityAtStart(PowerSystem& system, Settings& settings, const PowerChoicePorts& choices);

// On each tick: re-enables what has become possible; falls back once (with its
// notice) while methodCheckPending is set, and clears it. Hibernation is
// checked first, so one tick shows at most one notice.
void UpdatePowerAvailability(PowerSystem& system, Settings& settings, bool& methodCheckPending,
                             const PowerChoicePorts& choices);

// The words under the method choices for this machine; suspend and
// hibernation are called usable exactly when their choices are.
std::vector<std::string> SleepKindsOfMachine(PowerSystem& system);

}  // namespace vesko
