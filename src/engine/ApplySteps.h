#pragma once
// What OK and Apply do with the settings window's values, and what Cancel and
// every close of the window do, as steps on a host; the host is the monitor
// with its window.
#include <optional>
#include <string>

namespace vesko {

class ApplyHost {
public:
    virtual ~ApplyHost() = default;
    // The window's values checked as ValidateSettings does; the refusal's message.
    virtual std::optional<std::string> ValidateControls() = 0;
    // A refusal: its message shown, the function off in the window, the
    // tray menu and the in-memory copy (not in the file).
    virtual void RefuseArming(const std::string& message) = 0;
    // The hold-off and the three measuring windows start again now.
    virtual void RearmForApply() = 0;
    // Every control into the file; raises on a refused write.
    virtual void SaveControls() = 0;
    // The start-with-Windows link as the window's switch says; raises when the
    // shell fails, the switch then showing what the Startup folder holds.
    virtual void SaveStartupLink() = 0;
    // The tray menu's function switch and the tray icon as the window's switch says.
    virtual void ShowFunctionInTray() = 0;
    virtual void ReloadActiveSettings() = 0;
    // Focus to OK, the window and its taskbar button hidden; the tray icon stays.
    virtual void HideWindow() = 0;
    // The tick may fall back from an impossible method once more, with its notice.
    virtual void AllowMethodFallback() = 0;
    // Every control from the file again; the countdown's labels from the file
    // ("エラー" for a missing key).
    virtual void ReloadControls() = 0;
    virtual void ShowError(const std::string& message) = 0;
};

enum class ApplyButton { Ok, Apply };

// OK or Apply. False when nothing was taken over: a refused check (nothing
// saved) or a failed save (what was written stays, the in-memory copy is not
// reloaded and the window stays shown). A link the shell refuses does not
// undo the settings already in the file: they are taken over, then the error
// is shown and the window stays, its switch showing the folder as it is.
bool ApplySettings(ApplyHost& host, ApplyButton button);

// Cancel and every close: the window hides and the edits are discarded.
void DiscardEdits(ApplyHost& host);

// What the countdown's labels show after a discard: the file's text, or this
// for a missing key.
inline constexpr const char* kMissingLabelText = "エラー";

}  // namespace vesko
