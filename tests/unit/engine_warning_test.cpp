#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/Warning.h"
#include "monitor_fakes.h"
#include "settings/ProfileFile.h"

namespace vesko {
namespace {

using Calls = std::vector<std::string>;

class FakeDialog : public WarningDialog {
public:
    std::string label = "99999 分後にWindowsをシャットダウンします";
    bool visible = false;
    bool abortEnabled = true;
    Calls* calls;
    explicit FakeDialog(Calls& c) : calls(&c) {}

    std::string LabelText() override { return label; }
    void SetLabelText(const std::string& text) override {
        label = text;
        calls->push_back("label " + text);
    }
    bool IsVisible() override { return visible; }
    void Show() override {
        visible = true;
        calls->push_back("show");
    }
    void Hide() override {
        visible = false;
        calls->push_back("hide");
    }
    void Repaint() override { calls->push_back("repaint"); }
    void SetAbortEnabled(bool enabled) override {
        abortEnabled = enabled;
        calls->push_back(enabled ? "abort on" : "abort off");
    }
};

// The settings window's beep, and the monitor's function switch shown off.
class FakeHost : public testing::FakeView {
public:
    Calls* calls;
    explicit FakeHost(Calls& c) : calls(&c) {}
    void Beep() override { calls->push_back("beep"); }
    std::function<void()> showFunctionOff = [this] { calls->push_back("function off"); };
};

Settings Warned(int minutes, bool shutdown = true, bool suspend = false, bool hibernation = false) {
    Settings s;
    s.Warning_Enabled = true;
    s.Warning_Time = minutes;
    s.Shutdown = shutdown;
    s.Suspend = suspend;
    s.Hibernation = hibernation;
    return s;
}

TEST(Warning, TextNamesTheSelectedMethod) {
    struct Case {
        bool shutdown, suspend, hibernation;
        std::int64_t minutes;
        const char* text;
    };
    const Case cases[] = {
        {true, false, false, 5, "5 分後にWindowsを終了して電源を切ります"},
        {true, true, true, 0, "0 分後にWindowsを終了して電源を切ります"},  // Shutdown wins
        {false, true, true, 3, "3 分後にWindowsをサスペンドします"},
        {false, false, true, 12, "12 分後にWindowsを休止状態にします"},
        {false, false, false, 1, "1 分後にWindowsを休止状態にします"},        // all keys off: hibernation
        {true, false, false, -1, "0 分後にWindowsを終了して電源を切ります"},  // never below 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(WarningText(c.minutes, Warned(99, c.shutdown, c.suspend, c.hibernation)), c.text);
}

TEST(Warning, DecisionTable) {
    struct Case {
        const char* name;
        bool aborted, enabled, ready;
        std::int64_t minutes;
        int warningTime;
        const char* label;
        bool visible;
        // expected
        bool abort, show, relabel, beep;
    };
    const char* three = "3 分後にWindowsを終了して電源を切ります";
    const Case cases[] = {
        {"first show", false, true, true, 3, 3, "", false, false, true, true, true},
        {"same number, shown", false, true, true, 3, 3, three, true, false, true, false, false},
        {"next number", false, true, true, 2, 3, three, true, false, true, true, false},
        {"shown again after a hide", false, true, true, 3, 3, three, false, false, true, false, true},
        {"outside the warning time", false, true, true, 4, 3, "", false, false, false, false, false},
        {"not ready", false, true, false, 1, 3, three, true, false, false, false, false},
        {"warning off", false, false, true, 0, 3, "", false, false, false, false, false},
        {"abort pending", true, true, true, 0, 3, three, true, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s = Warned(c.warningTime);
        s.Warning_Enabled = c.enabled;
        const WarningDecision d = DecideWarning(c.aborted, c.ready, c.minutes, s, c.label, c.visible);
        EXPECT_EQ(d.abort, c.abort);
        EXPECT_EQ(d.show, c.show);
        EXPECT_EQ(d.newLabelText.has_value(), c.relabel);
        EXPECT_EQ(d.beep, c.beep);
    }
}

TEST(Warning, CountdownBeepsOnceAndRewritesOnlyChanges) {
    Calls calls;
    FakeDialog dialog(calls);
    FakeHost host(calls);
    Settings s = Warned(3, false, true, false);
    MonitorState state;
    bool aborted = false;
    for (std::int64_t minutes : {5, 4, 3, 3, 2, 1, 0})
        EXPECT_FALSE(RunWarningStep(aborted, true, minutes, 1000, state, s, dialog, host, host.showFunctionOff));
    const Calls expected = {"hide",
                            "hide",
                            "label 3 分後にWindowsをサスペンドします",
                            "beep",
                            "show",
                            "show",
                            "label 2 分後にWindowsをサスペンドします",
                            "show",
                            "label 1 分後にWindowsをサスペンドします",
                            "show",
                            "label 0 分後にWindowsをサスペンドします",
                            "show"};
    EXPECT_EQ(calls, expected);
}

TEST(Warning, ConditionsStopHoldingHidesTheDialog) {
    Calls calls;
    FakeDialog dialog(calls);
    FakeHost host(calls);
    Settings s = Warned(3);
    MonitorState state;
    bool aborted = false;
    RunWarningStep(aborted, true, 2, 1000, state, s, dialog, host, host.showFunctionOff);
    RunWarningStep(aborted, false, 0, 1000, state, s, dialog, host, host.showFunctionOff);
    EXPECT_FALSE(dialog.visible);
    // It reappears, with a new beep, when the time is within the warning again.
    calls.clear();
    RunWarningStep(aborted, true, 3, 1000, state, s, dialog, host, host.showFunctionOff);
    EXPECT_EQ(calls, (Calls{"label 3 分後にWindowsを終了して電源を切ります", "beep", "show"}));
}

TEST(Warning, PendingAbortSwitchesTheFunctionOffInMemory) {
    Calls calls;
    FakeDialog dialog(calls);
    dialog.visible = true;
    FakeHost host(calls);
    Settings s = Warned(3);
    MonitorState state;
    bool aborted = true;
    EXPECT_TRUE(RunWarningStep(aborted, true, 0, 1000, state, s, dialog, host, host.showFunctionOff));
    EXPECT_FALSE(aborted);
    EXPECT_FALSE(s.Warning_Enabled);
    EXPECT_FALSE(s.Function_Enabled);
    EXPECT_EQ(calls, (Calls{"function off", "hide"}));
    // With the warning off, later ticks keep the dialog hidden.
    calls.clear();
    EXPECT_FALSE(RunWarningStep(aborted, true, 0, 1000, state, s, dialog, host, host.showFunctionOff));
    EXPECT_EQ(calls, (Calls{"hide"}));
}

// The settings file and the settings window, as the abort button uses them.
class FakeAbortHost : public testing::FakeView {
public:
    Calls* calls;
    bool windowShown = false;
    std::function<void()> insideMessageBox;
    testing::RecordedSettingsFile file;
    explicit FakeAbortHost(Calls& c) : calls(&c) {
        file.onWrite = [this](const ProfileEdit& e) { calls->push_back("write " + e.key + "=" + e.value); };
    }
    void ShowNotice(const std::string& text) override {
        calls->push_back("message " + text);
        if (insideMessageBox) insideMessageBox();
    }
    bool Shown() const override { return windowShown; }
    void Hide() override { calls->push_back("hide application"); }
};

TEST(Warning, AbortButtonWritesFirstThenTells) {
    for (bool windowShown : {false, true}) {
        Calls calls;
        FakeDialog dialog(calls);
        FakeAbortHost host(calls);
        host.windowShown = windowShown;
        bool aborted = false;
        bool flagDuringBox = false;
        host.insideMessageBox = [&] { flagDuringBox = aborted; };
        WarningAbortClick(aborted, dialog, host.file.store, host);
        EXPECT_TRUE(aborted);
        EXPECT_TRUE(flagDuringBox);  // a tick inside the box already switches off
        Calls expected = {"write Function_Enabled=0", "hide", "message このソフトの機能を無効にしました"};
        if (!windowShown) expected.push_back("hide application");
        EXPECT_EQ(calls, expected);
    }
}

TEST(Warning, AbortWithUnwritableFileChangesNothing) {
    Calls calls;
    FakeDialog dialog(calls);
    dialog.visible = true;
    FakeAbortHost host(calls);
    host.file.refuses = true;
    bool aborted = false;
    EXPECT_THROW(WarningAbortClick(aborted, dialog, host.file.store, host), SettingsWriteError);
    EXPECT_FALSE(aborted);
    EXPECT_TRUE(dialog.visible);
    EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace vesko
