// OK, Apply, Cancel and close: which steps run, in which order, and where a
// refusal or a failed save stops them.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ApplySteps.h"

namespace vesko {
namespace {

class RecordingHost : public ApplyHost {
public:
    std::optional<std::string> refusal;
    bool saveFails = false, linkFails = false;
    std::vector<std::string> steps;

    std::optional<std::string> ValidateControls() override {
        steps.push_back("validate");
        return refusal;
    }
    void RefuseArming(const std::string& m) override { steps.push_back("refuse " + m); }
    void RearmForApply() override { steps.push_back("rearm"); }
    void SaveControls() override {
        steps.push_back("save");
        if (saveFails) throw std::runtime_error("C:\\app\\vesko.ini に書き込めません");
    }
    void SaveStartupLink() override {
        steps.push_back("link");
        if (linkFails) throw std::runtime_error("共有違反です。");
    }
    void ShowFunctionInTray() override { steps.push_back("tray"); }
    void ReloadActiveSettings() override { steps.push_back("reload"); }
    void HideWindow() override { steps.push_back("hide"); }
    void AllowMethodFallback() override { steps.push_back("fallback"); }
    void ReloadControls() override { steps.push_back("controls"); }
    void ShowError(const std::string& m) override { steps.push_back("error " + m); }
};

using Steps = std::vector<std::string>;

TEST(ApplySteps, EachButtonRunsItsStepsInOrder) {
    struct Case {
        const char* name;
        std::optional<std::string> refusal;
        bool saveFails;
        ApplyButton button;
        bool applied;
        Steps steps;
    };
    const Case cases[] = {
        {"OK",
         std::nullopt,
         false,
         ApplyButton::Ok,
         true,
         {"validate", "rearm", "save", "link", "tray", "reload", "hide", "fallback"}},
        // Apply keeps the window shown.
        {"Apply",
         std::nullopt,
         false,
         ApplyButton::Apply,
         true,
         {"validate", "rearm", "save", "link", "tray", "reload", "fallback"}},
        // A refusal saves nothing and leaves the stamps and the window alone.
        {"OK refused",
         "タイマーの値が無効です",
         false,
         ApplyButton::Ok,
         false,
         {"validate", "refuse タイマーの値が無効です"}},
        // A refused write: the stamps are already reset, nothing is reloaded,
        // the window stays shown even for OK.
        {"OK unwritable",
         std::nullopt,
         true,
         ApplyButton::Ok,
         false,
         {"validate", "rearm", "save", "error C:\\app\\vesko.ini に書き込めません"}},
        {"Apply unwritable",
         std::nullopt,
         true,
         ApplyButton::Apply,
         false,
         {"validate", "rearm", "save", "error C:\\app\\vesko.ini に書き込めません"}},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        host.refusal = c.refusal;
        host.saveFails = c.saveFails;
        EXPECT_EQ(ApplySettings(host, c.button), c.applied) << c.name;
        EXPECT_EQ(host.steps, c.steps) << c.name;
    }
}

// The settings are in the file when the shell refuses the link: they are
// taken over, then the error is told and the window stays, even for OK.
TEST(ApplySteps, ARefusedLinkStillTakesTheSavedSettingsOverAndKeepsTheWindow) {
    for (ApplyButton button : {ApplyButton::Ok, ApplyButton::Apply}) {
        RecordingHost host;
        host.linkFails = true;
        EXPECT_TRUE(ApplySettings(host, button));
        EXPECT_EQ(host.steps,
                  (Steps{"validate", "rearm", "save", "link", "tray", "reload", "fallback", "error 共有違反です。"}));
    }
}

TEST(ApplySteps, CancelAndCloseHideThenReloadTheControlsOnly) {
    RecordingHost host;
    DiscardEdits(host);
    EXPECT_EQ(host.steps, (Steps{"hide", "controls"}));
}

}  // namespace
}  // namespace vesko
