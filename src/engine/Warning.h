#pragma once
// The warning countdown: what the tick does with the warning dialog each
// second, and the dialog's abort.
#include <cstdint>
#include <optional>
#include <string>

#include "settings/Settings.h"

namespace vesko {

// TForm3 as the engine sees it.
class WarningDialog {
public:
    virtual ~WarningDialog() = default;
    virtual std::string LabelText() = 0;  // Label1
    virtual void SetLabelText(const std::string& text) = 0;
    virtual bool IsVisible() = 0;
    virtual void Show() = 0;  // make visible and bring to the front
    virtual void Hide() = 0;
    virtual void Repaint() = 0;  // paint pending changes at once
    virtual void SetAbortEnabled(bool enabled) = 0;  // Button1
};

// The main window's side of the warning step.
class WarningHost {
public:
    virtual ~WarningHost() = default;
    virtual void Beep() = 0;  // the default sound
    // Uncheck CheckBox8 and FunctionEnabled1 and show tray icon 1.
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
    bool abort = false;  // carry out the pending abort (the tick then does not act)
    bool show = false;   // show (or keep in front); otherwise hide
    std::optional<std::string> newLabelText;  // set only when the text changes
    bool beep = false;   // first show
};

// Step 12 as a decision; the settings are those before any abort.
WarningDecision DecideWarning(bool warningAborted, bool ready, std::int64_t minutesToAct,
                              const Settings& settings, const std::string& labelText, bool dialogVisible);

// Step 12 carried out: the abort (in memory only) or the show, update or hide.
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

// Button1Click of TForm3. The flag is set before the message box so that a
// tick running inside the box already switches the function off; a refused
// write leaves it unset.
void WarningAbortClick(bool& warningAborted, WarningDialog& dialog, WarningAbortHost& host);

}  // namespace vesko
