#pragma once
// The warning window. The monitor tick drives it through the
// WarningDialog interface; its abort and postpone buttons call the monitor's
// commands.
// The window is made when a warning first shows: until then the tick talks to
// the text and switches kept here, which the window takes over when made.
#include <windows.h>

#include <string>

#include "Window.h"
#include "engine/Warning.h"

namespace vesko {

class Monitor;

class WarningWindow : public Window, public WarningDialog {
public:
    // lockAbort ("/c"): the abort and postpone buttons hidden, a disabled
    // abort button alone in the abort button's designed place.
    WarningWindow(Monitor& monitor, bool lockAbort) : monitor_(monitor), locked_(lockAbort) {}

    HWND MessageLabel = nullptr;
    HWND AbortButton = nullptr;
    HWND LockedAbortButton = nullptr;
    HWND PostponeButton = nullptr;

    // WarningDialog.
    std::string LabelText() override;
    void SetLabelText(const std::string& text) override;
    bool IsVisible() override;
    void Show() override;
    void Hide() override;
    void Repaint() override;
    void SetAbortEnabled(bool enabled) override;

protected:
    void CreateControls() override;
    void PlaceControls() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Creates the hidden dialog, centred on the screen, with its Close item
    // greyed, once; false when the window cannot be made.
    bool Create();
    void DisableClosing();
    // Abort and postpone side by side, or the locked button alone.
    void ShowButtons();
    void DrawMessage(const DRAWITEMSTRUCT& item);

    // The label's design-time text, until the tick sets its own.
    static constexpr const char* kInitialText = "99999 分後にWindowsをシャットダウンします";
    std::string text_ = kInitialText;
    Monitor& monitor_;
    bool abortEnabled_ = true;
    const bool locked_;
};

}  // namespace vesko
