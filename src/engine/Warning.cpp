#include "engine/Warning.h"

#include <algorithm>

#include "engine/Execution.h"
#include "engine/MonitorPorts.h"
#include "settings/SettingsStore.h"

namespace vesko {

std::string WarningText(std::int64_t minutesToAct, const Settings& settings) {
    const char* suffix = warnmsg::kHibernateSuffix;
    switch (SelectPowerMethod(settings)) {
        case PowerMethod::Shutdown: suffix = warnmsg::kShutdownSuffix; break;
        case PowerMethod::Suspend: suffix = warnmsg::kSuspendSuffix; break;
        case PowerMethod::Hibernation: break;
    }
    return std::to_string(std::max<std::int64_t>(minutesToAct, 0)) + suffix;
}

std::uint64_t ApplyWarningCountdown(std::uint64_t mono, const Settings& s, MonitorState& state, bool ready,
                                    std::int32_t& minutesToAct) {
    if (!s.Warning_Enabled || !ready || minutesToAct > s.Warning_Time) {
        state.WarningSinceMs = 0;
        return 0;
    }
    // A count of 0 means none; the tick count is never 0 in practice.
    if (!state.WarningSinceMs || state.WarningSinceMs > mono) state.WarningSinceMs = std::max<std::uint64_t>(mono, 1);
    const std::uint64_t fullMs = static_cast<std::uint64_t>(std::max(s.Warning_Time, 0)) * 60000;
    const std::uint64_t shownMs = mono - state.WarningSinceMs;
    const std::uint64_t leftMs = shownMs < fullMs ? fullMs - shownMs : 0;
    // Whole minutes, rounded up, so that the count reaches 0 as the time ends.
    const auto left = static_cast<std::int32_t>((leftMs + 59999) / 60000);
    minutesToAct = std::max({minutesToAct, left, 0});
    return leftMs;
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

bool RunWarningStep(bool& warningAborted, bool ready, std::int64_t minutesToAct, std::uint64_t monotonicMs,
                    MonitorState& state, Settings& settings, WarningDialog& dialog, MonitorView& view,
                    const std::function<void()>& showFunctionOff) {
    const WarningDecision d =
        DecideWarning(warningAborted, ready, minutesToAct, settings, dialog.LabelText(), dialog.IsVisible());
    if (d.abort) {
        // Only the in-memory switches: the file already holds the abort.
        settings.Warning_Enabled = false;
        settings.Function_Enabled = false;
        showFunctionOff();
        warningAborted = false;
    }
    if (!d.show) {
        dialog.Hide();
        return d.abort;
    }
    if (d.newLabelText) dialog.SetLabelText(*d.newLabelText);
    if (d.beep) {
        state.OwnBeepMs = std::max<std::uint64_t>(monotonicMs, 1);
        view.Beep();
    }
    dialog.Show();
    return false;
}

void WarningAbortClick(bool& warningAborted, WarningDialog& dialog, const SettingsStore& settings, MonitorView& view) {
    settings.Write(&Settings::Function_Enabled, false);
    warningAborted = true;
    dialog.Hide();
    view.ShowNotice(warnmsg::kFunctionDisabled);
    if (!view.Shown()) view.Hide();
}

}  // namespace vesko
