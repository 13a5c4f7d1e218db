#pragma once
// Keeping the suspend and hibernate choices of the settings window and the
// tray menu in step with what the system allows, and falling back to shutting
// down when the chosen method has become impossible.
#include <string>

#include "power/PowerSystem.h"
#include "settings/Settings.h"
#include "settings/SettingsDeclaration.h"

namespace vesko {

namespace availmsg {
inline constexpr const char* kHibernateFallback =
    "休止状態が使えないので節電方法を\"Windowsを終了して電源を切る\"に設定しました";
inline constexpr const char* kSuspendFallback =
    "サスペンド機能が使えないので節電方法を\"Windowsを終了して電源を切る\"に設定しました";
}  // namespace availmsg

// The monitor's side, called in the order the availability check runs.
class PowerChoices {
public:
    virtual ~PowerChoices() = default;
    virtual void SelectShutdownChoice() = 0;                    // the draft's Shutdown radio button
    virtual void SetHibernateChoicesEnabled(bool enabled) = 0;  // Hibernation radio button and menu item
    virtual void SetSuspendChoicesEnabled(bool enabled) = 0;    // Suspend radio button and menu item
    // The fallback in the settings file, Shutdown on and the refused method
    // off, in one write; raises when refused.
    virtual void WriteFallback(bool Settings::*refused) = 0;
    // The fallback notice (ShowFallbackNotice gives the window's steps).
    virtual void ShowFallbackMessage(const std::string& text) = 0;
};

// At start, after the settings are loaded: silent fallback, disables what
// the system does not allow, enables nothing. The version is read here.
void UpdatePowerAvailabilityAtStart(PowerSystem& system, Settings& settings, PowerChoices& choices);

// On each tick: re-enables what has become possible; falls back once (with its
// message) while methodCheckPending is set, and clears it. Hibernation is
// checked first, so one tick shows at most one message.
void UpdatePowerAvailability(PowerSystem& system, Settings& settings, bool& methodCheckPending, PowerChoices& choices);

// The window steps around the fallback message.
class NoticeWindow {
public:
    virtual ~NoticeWindow() = default;
    virtual bool IsSettingsWindowVisible() = 0;
    virtual void RestoreApplication() = 0;
    virtual void HideSettingsWindow() = 0;
    virtual void ShowMessage(const std::string& text) = 0;  // modal, plain
    // Back to the tray alone: no window and no taskbar button.
    virtual void HideApplicationWindow() = 0;
};

// A hidden program returns to the tray-only state after the box is closed.
void ShowFallbackNotice(NoticeWindow& window, const std::string& text);

}  // namespace vesko
