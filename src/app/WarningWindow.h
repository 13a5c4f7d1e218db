#pragma once
// The warning window. The monitor tick drives it through the
// WarningDialog interface; the owner receives the abort through OnAbort.
// The window is made when a warning first shows: until then the tick talks to
// the text and switches kept here, which the window takes over when made.
#include <windows.h>

#include <functional>
#include <string>

#include "Window.h"
#include "engine/Warning.h"

namespace vesko {

class WarningWindow : public Window, public WarningDialog {
public:
    // "/c": hide the abort and postpone buttons and show the disabled abort
    // button alone in the abort button's designed place.
    void LockAbort();
    bool Locked() const { return locked_; }

    // AbortClicked: called when an abort button is clicked. The owner carries
    // out the abort (WarningAbortClick with its hosts); unset, a click does nothing.
    std::function<void()> OnAbort;
    // The postpone button's click ("10分延長"); the owner postpones.
    std::function<void()> OnPostpone;

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
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Creates the hidden dialog, centred on the screen, with its Close item
    // greyed, once; false when the window cannot be made.
    bool Create();
    void DisableClosing();
    void AbortClicked();
    // Abort and postpone side by side, or the locked button alone.
    void PlaceButtons();
    void DrawMessage(const DRAWITEMSTRUCT& item);

    // The label's design-time text, until the tick sets its own.
    static constexpr const char* kInitialText = "99999 分後にWindowsをシャットダウンします";
    std::string text_ = kInitialText;
    bool abortEnabled_ = true;
    bool locked_ = false;
};

}  // namespace vesko
