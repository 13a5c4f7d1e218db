#pragma once
// The warning countdown: what the tick does with the warning dialog each
// second, and the dialog's abort.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/MonitorState.h"
#include "settings/Settings.h"

namespace vesko {

class MonitorView;
class SettingsStore;

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

namespace warnmsg {
inline constexpr const char* kShutdownSuffix = " 分後にWindowsを終了して電源を切ります";
inline constexpr const char* kSuspendSuffix = " 分後にWindowsをサスペンドします";
inline constexpr const char* kHibernateSuffix = " 分後にWindowsを休止状態にします";
inline constexpr const char* kFunctionDisabled = "このソフトの機能を無効にしました";
}  // namespace warnmsg

// Ticks further apart than this mean the warning was not on screen between
// them (the machine slept, or the program stood still): its count starts
// again. Ticks come every second; a busy machine may delay one by a few.
inline constexpr std::uint64_t kWarningGapMs = 5000;

// The warning is always given in full. While the warning shows (it is on,
// `ready`, and `minutesToAct` is within Warning_Time), the action waits until
// it has been shown for Warning_Time minutes without a break, on the
// monotonic count: whatever made the action due at once (a hold-back that
// ended, a resume, a clock condition already past) starts a whole countdown,
// and the minutes shown never go below 0. Raises `minutesToAct` to the
// countdown's whole minutes left, rounded up; returns the milliseconds left
// of it (0 when the warning is off, not showing, or done). A warning that
// stops showing, or a break, starts the next one from the beginning.
std::uint64_t ApplyWarningCountdown(std::uint64_t monotonicMs, const Settings& settings, MonitorState& state,
                                    bool ready, std::int32_t& minutesToAct);

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

// DecideWarning carried out: the abort (in memory only; `showFunctionOff`
// then shows the function off in the draft, the tray menu and the tray icon)
// or the show, update or hide. The first show beeps through the view and is
// noted in `state` at `monotonicMs` (StandAside.h). Returns true when an
// abort was carried out in this tick.
bool RunWarningStep(bool& warningAborted, bool ready, std::int64_t minutesToAct, std::uint64_t monotonicMs,
                    MonitorState& state, Settings& settings, WarningDialog& dialog, MonitorView& view,
                    const std::function<void()>& showFunctionOff);

// The warning window's abort button: Function_Enabled off in the file (raises
// when the file refuses), the warning hidden, the notice, and back to the tray
// unless the window counts as shown. The flag is set before the notice so that
// a tick running inside the box already switches the function off; a refused
// write leaves it unset.
void WarningAbortClick(bool& warningAborted, WarningDialog& dialog, const SettingsStore& settings, MonitorView& view);

}  // namespace vesko
