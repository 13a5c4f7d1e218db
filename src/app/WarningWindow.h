#pragma once
// The warning window. The monitor tick drives it through the
// WarningDialog interface; the owner receives the abort through OnAbort.
#include <windows.h>

#include <functional>
#include <string>

#include "Window.h"
#include "engine/Warning.h"

namespace vesko {

class WarningWindow : public Window, public WarningDialog {
public:
    // Creates the hidden dialog, centred on the screen, with its Close item greyed.
    bool Create(HINSTANCE instance);
    // "/c": hide the abort button and show the disabled one in its place.
    void LockAbort();

    // AbortClicked: called when an abort button is clicked. The owner carries
    // out the abort (WarningAbortClick with its hosts); unset, a click does nothing.
    std::function<void()> OnAbort;

    HWND MessageLabel = nullptr;
    HWND AbortButton = nullptr;
    HWND LockedAbortButton = nullptr;

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
    void DisableClosing();
    void AbortClicked();
    void DrawMessage(const DRAWITEMSTRUCT& item);
};

}  // namespace vesko
