#include "engine/Warning.h"

#include "engine/Execution.h"

namespace vesko {

std::string WarningText(std::int64_t minutesToAct, const Settings& settings) {
    const char* suffix = warnmsg::kHibernateSuffix;
    switch (SelectPowerMethod(settings)) {
        case PowerMethod::Shutdown: suffix = warnmsg::kShutdownSuffix; break;
        case PowerMethod::Suspend: suffix = warnmsg::kSuspendSuffix; break;
        case PowerMethod::Hibernation: break;
    }
    return std::to_string(minutesToAct) + suffix;
}

WarningDecision DecideWarning(bool warningAborted, bool ready, std::int64_t minutesToAct, const Settings& settings,
                              const std::string& labelText, bool dialogVisible) {
    WarningDecision d;
    if (warningAborted) {
        d.abort = true;
        return d;
    }
    if (!settings.Warning_Enabled || !ready || minutesToAct > settings.Warning_Time) return d;
    d.show = true;
    std::string text = WarningText(minutesToAct, settings);
    if (text != labelText) d.newLabelText = std::move(text);
    d.beep = !dialogVisible;
    return d;
}

bool RunWarningStep(bool& warningAborted, bool ready, std::int64_t minutesToAct, Settings& settings,
                    WarningDialog& dialog, WarningHost& host) {
    const WarningDecision d =
        DecideWarning(warningAborted, ready, minutesToAct, settings, dialog.LabelText(), dialog.IsVisible());
    if (d.abort) {
        // Only the in-memory switches: the file already holds the abort.
        settings.Warning_Enabled = false;
        settings.Function_Enabled = false;
        host.ShowFunctionOff();
        warningAborted = false;
    }
    if (!d.show) {
        dialog.Hide();
        return d.abort;
    }
    if (d.newLabelText) dialog.SetLabelText(*d.newLabelText);
    if (d.beep) host.Beep();
    dialog.Show();
    return false;
}

void WarningAbortClick(bool& warningAborted, WarningDialog& dialog, WarningAbortHost& host) {
    host.WriteFunctionDisabled();
    warningAborted = true;
    dialog.Hide();
    host.ShowMessage(warnmsg::kFunctionDisabled);
    if (!host.WindowShown()) host.HideApplication();
}

}  // namespace vesko
