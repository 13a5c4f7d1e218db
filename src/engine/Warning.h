#pragma once
// The warning countdown: what the tick does with the warning dialog each
// second, and the dialog's abort.
#include <cstdint>
#include <optional>
#include <string>

#include "settings/Settings.h"

namespace vesko {

// The warning window as the engine sees it.
class WarningDialog {
public:
    virtual ~WarningDialog() = default;
    virtual std::string LabelText() = 0;  // the message
    virtual void SetLabelText(const std::string& text) = 0;
    virtual bool IsVisible() = 0;
    virtual void Show() = 0;  // make visible and bring to the front
    virtual void Hide() = 0;
    virtual void Repaint() = 0;                      // paint pending changes at once
    virtual void SetAbortEnabled(bool enabled) = 0;  // the abort button
};

// The monitor's side of the warning.
class WarningHost {
public:
    virtual ~WarningHost() = default;
    virtual void Beep() = 0;  // the default sound
    // Function_Enabled off in the draft and the tray menu, tray icon 1 shown.
    virtual void ShowFunctionOff() = 0;
};

namespace warnmsg {
inline constexpr const char* kShutdownSuffix = " 分後にWindowsを終了して電源を切ります";
inline constexpr const char* kSuspendSuffix = " 分後にWindowsをサスペンドします";
inline constexpr const char* kHibernateSuffix = " 分後にWindowsを休止状態にします";
inline constexpr const char* kFunctionDisabled = "このソフトの機能を無効にしました";
}  // namespace warnmsg

// The number of minutes followed by the suffix of the selected method.
std::string WarningText(std::int64_t minutesToAct, const Settings& settings);

struct WarningDecision {
    bool abort = false;                       // carry out the pending abort (the tick then does not act)
    bool show = false;                        // show (or keep in front); otherwise hide
    std::optional<std::string> newLabelText;  // set only when the text changes
    bool beep = false;                        // first show
};

// The warning's part of the tick as a decision; the settings are those before any abort.
WarningDecision DecideWarning(bool warningAborted, bool ready, std::int64_t minutesToAct, const Settings& settings,
                              const std::string& labelText, bool dialogVisible);

// DecideWarning carried out: the abort (in memory only) or the show, update or hide.
// Returns true when an abort was carried out in this tick.
bool RunWarningStep(bool& warningAborted, bool ready, std::int64_t minutesToAct, Settings& settings,
                    WarningDialog& dialog, WarningHost& host);

// The abort button's side.
class WarningAbortHost {
public:
    virtual ~WarningAbortHost() = default;
    // Function_Enabled = false in section "Other"; raises when the file refuses.
    virtual void WriteFunctionDisabled() = 0;
    virtual void ShowMessage(const std::string& text) = 0;  // plain box, waits for OK
    virtual bool WindowShown() = 0;
    // Minimise the application and hide its taskbar button.
    virtual void HideApplication() = 0;
};

// The warning window's abort button. The flag is set before the message box so that a
// tick running inside the box already switches the function off; a refused
// write leaves it unset.
void WarningAbortClick(bool& warningAborted, WarningDialog& dialog, WarningAbortHost& host);

}  // namespace vesko
