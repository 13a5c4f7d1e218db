#include "engine/ApplySteps.h"

#include <exception>

namespace vesko {

bool ApplySettings(ApplyHost& host, ApplyButton button) {
    if (auto refusal = host.ValidateControls()) {
        host.RefuseArming(*refusal);
        return false;
    }
    host.RearmForApply();
    try {
        host.SaveControls();
    } catch (const std::exception& e) {
        // The stamps stay reset; the tick keeps the settings it had.
        host.ShowError(e.what());
        return false;
    }
    std::optional<std::string> linkFailure;
    try {
        host.SaveStartupLink();
    } catch (const std::exception& e) {
        linkFailure = e.what();
    }
    host.ShowFunctionInTray();
    host.ReloadActiveSettings();
    if (button == ApplyButton::Ok && !linkFailure) host.HideWindow();
    host.AllowMethodFallback();
    if (linkFailure) host.ShowError(*linkFailure);
    return true;
}

void DiscardEdits(ApplyHost& host) {
    host.HideWindow();
    host.ReloadControls();
}

}  // namespace vesko
