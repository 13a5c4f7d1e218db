#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/PowerAvailability.h"
#include "power_fake_system.h"
#include "settings/SettingsDeclaration.h"

namespace vesko {
namespace {

using testing::FakePowerSystem;
using Calls = std::vector<std::string>;

class FakeChoices : public PowerChoices {
public:
    Calls calls;
    bool refuseWrites = false;

    void SelectShutdownChoice() override { calls.push_back("RadioButton1"); }
    void SetHibernateChoicesEnabled(bool on) override { calls.push_back(on ? "hibernate on" : "hibernate off"); }
    void SetSuspendChoicesEnabled(bool on) override { calls.push_back(on ? "suspend on" : "suspend off"); }
    void WriteFallback(bool Settings::*refused) override {
        if (refuseWrites) throw SettingsWriteError("vesko.ini");
        for (auto [key, value] : {std::pair{&Settings::Shutdown, true}, std::pair{refused, false}})
            calls.push_back(std::string("write ") + DeclarationOf(key).section + "/" + DeclarationOf(key).key + "=" +
                            (value ? "1" : "0"));
    }
    void ShowFallbackMessage(const std::string& text) override { calls.push_back("message " + text); }
};

Settings Method(bool shutdown, bool suspend, bool hibernation) {
    Settings s;
    s.Shutdown = shutdown;
    s.Suspend = suspend;
    s.Hibernation = hibernation;
    return s;
}
const Settings kShutdownChosen = Method(true, false, false);
const Settings kSuspendChosen = Method(false, true, false);
const Settings kHibernationChosen = Method(false, false, true);

struct System {
    OsVersionRecord version;
    bool suspendAllowed;
    bool hibernateAllowed;
};

FakePowerSystem Make(const System& s) {
    FakePowerSystem sys;
    sys.version = s.version;
    sys.exports["IsPwrSuspendAllowed"] = s.suspendAllowed;
    sys.exports["IsPwrHibernateAllowed"] = s.hibernateAllowed;
    return sys;
}

TEST(PowerAvailability, StartFormFallsBackSilently) {
    struct Case {
        const char* name;
        System system;
        Settings method;
        Calls calls;
        bool shutdown, suspend, hibernation;  // the method afterwards
    };
    const Case cases[] = {
        {"everything allowed", {testing::kXP, true, true}, kHibernationChosen, {}, false, false, true},
        {"hibernation chosen, not allowed",
         {testing::kXP, true, false},
         kHibernationChosen,
         {"RadioButton1", "write PowerSaving/Shutdown=1", "write PowerSaving/Hibernation=0", "hibernate off"},
         true,
         false,
         false},
        {"hibernation not allowed, suspend chosen",
         {testing::kXP, true, false},
         kSuspendChosen,
         {"hibernate off"},
         false,
         true,
         false},
        {"suspend chosen, neither allowed",
         {testing::kXP, false, false},
         kSuspendChosen,
         {"hibernate off", "RadioButton1", "write PowerSaving/Shutdown=1", "write PowerSaving/Suspend=0",
          "suspend off"},
         true,
         false,
         false},
        // All three keys off hibernates, so it falls back like a chosen hibernation.
        {"all method keys off",
         {testing::kXP, true, false},
         Method(false, false, false),
         {"RadioButton1", "write PowerSaving/Shutdown=1", "write PowerSaving/Hibernation=0", "hibernate off"},
         true,
         false,
         false},
        // Windows 95: hibernation refused without asking, suspend left alone.
        {"Windows 95", {testing::kWin95, false, false}, kSuspendChosen, {"hibernate off"}, false, true, false},
        {"NT 4", {testing::kNT4, true, true}, kShutdownChosen, {"hibernate off", "suspend off"}, true, false, false},
        {"98, suspend not allowed",
         {testing::kWin98, false, true},
         kShutdownChosen,
         {"suspend off"},
         true,
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePowerSystem sys = Make(c.system);
        Settings settings = c.method;
        FakeChoices choices;
        UpdatePowerAvailabilityAtStart(sys, settings, choices);
        EXPECT_EQ(choices.calls, c.calls);
        EXPECT_EQ(settings.Shutdown, c.shutdown);
        EXPECT_EQ(settings.Suspend, c.suspend);
        EXPECT_EQ(settings.Hibernation, c.hibernation);
    }
}

TEST(PowerAvailability, Windows95AndNt4AnswerWithoutLoadingTheLibrary) {
    for (const OsVersionRecord v : {testing::kWin95, testing::kNT4}) {
        FakePowerSystem sys = Make({v, true, true});
        Settings settings = kShutdownChosen;
        FakeChoices choices;
        UpdatePowerAvailabilityAtStart(sys, settings, choices);
        bool pending = true;
        UpdatePowerAvailability(sys, settings, pending, choices);
        EXPECT_TRUE(sys.calls.empty());
    }
}

TEST(PowerAvailability, TickReenablesWithoutChangingTheMethod) {
    FakePowerSystem sys = Make({testing::kXP, true, true});
    Settings settings = kSuspendChosen;
    bool pending = false;
    FakeChoices choices;
    UpdatePowerAvailability(sys, settings, pending, choices);
    EXPECT_EQ(choices.calls, (Calls{"hibernate on", "suspend on"}));
    EXPECT_TRUE(settings.Suspend);
    EXPECT_FALSE(settings.Shutdown);
}

TEST(PowerAvailability, TickFallsBackOnceWithItsMessage) {
    struct Case {
        const char* name;
        System system;
        Settings method;
        bool pending;
        Calls calls;
        bool pendingAfter;
    };
    const Case cases[] = {
        {"hibernation lost",
         {testing::kXP, true, false},
         kHibernationChosen,
         true,
         {"RadioButton1", "hibernate off", "write PowerSaving/Shutdown=1", "write PowerSaving/Hibernation=0",
          std::string("message ") + availmsg::kHibernateFallback, "suspend on"},
         false},
        {"suspend lost",
         {testing::kXP, false, true},
         kSuspendChosen,
         true,
         {"hibernate on", "RadioButton1", "suspend off", "write PowerSaving/Shutdown=1", "write PowerSaving/Suspend=0",
          std::string("message ") + availmsg::kSuspendFallback},
         false},
        // Both lost in one tick: the hibernation message only; suspend choices left as they were.
        {"both lost, hibernation chosen",
         {testing::kXP, false, false},
         kHibernationChosen,
         true,
         {"RadioButton1", "hibernate off", "write PowerSaving/Shutdown=1", "write PowerSaving/Hibernation=0",
          std::string("message ") + availmsg::kHibernateFallback},
         false},
        // Not the chosen method: the choices keep their state, no message.
        {"hibernation lost, suspend chosen", {testing::kXP, true, false}, kSuspendChosen, true, {"suspend on"}, true},
        // After one fallback, no more until OK or Apply.
        {"not pending", {testing::kXP, false, false}, kSuspendChosen, false, {}, false},
        {"Windows 95 never touches suspend", {testing::kWin95, false, false}, kSuspendChosen, true, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePowerSystem sys = Make(c.system);
        Settings settings = c.method;
        bool pending = c.pending;
        FakeChoices choices;
        UpdatePowerAvailability(sys, settings, pending, choices);
        EXPECT_EQ(choices.calls, c.calls);
        EXPECT_EQ(pending, c.pendingAfter);
    }
}

TEST(PowerAvailability, LaterTicksDoNotRepeatTheFallback) {
    FakePowerSystem sys = Make({testing::kXP, false, true});
    Settings settings = kSuspendChosen;
    bool pending = true;
    FakeChoices first;
    UpdatePowerAvailability(sys, settings, pending, first);
    EXPECT_TRUE(settings.Shutdown);
    EXPECT_FALSE(settings.Suspend);
    // The user picks suspend again without OK or Apply having set the flag.
    settings = kSuspendChosen;
    FakeChoices second;
    UpdatePowerAvailability(sys, settings, pending, second);
    EXPECT_EQ(second.calls, (Calls{"hibernate on"}));
    EXPECT_TRUE(settings.Suspend);
}

TEST(PowerAvailability, RefusedWriteLeavesTheMemoryChanged) {
    FakePowerSystem sys = Make({testing::kXP, false, false});
    Settings settings = kHibernationChosen;
    bool pending = true;
    FakeChoices choices;
    choices.refuseWrites = true;
    EXPECT_THROW(UpdatePowerAvailability(sys, settings, pending, choices), SettingsWriteError);
    EXPECT_FALSE(pending);
    EXPECT_TRUE(settings.Shutdown);
    EXPECT_FALSE(settings.Hibernation);
    EXPECT_EQ(choices.calls, (Calls{"RadioButton1", "hibernate off"}));  // no message, suspend not reached
}

class FakeNoticeWindow : public NoticeWindow {
public:
    bool visible = false;
    Calls calls;
    bool IsSettingsWindowVisible() override { return visible; }
    void RestoreApplication() override { calls.push_back("restore"); }
    void HideSettingsWindow() override { calls.push_back("hide settings"); }
    void ShowMessage(const std::string& text) override { calls.push_back("message " + text); }
    void HideApplicationWindow() override { calls.push_back("hide taskbar window"); }
};

TEST(PowerAvailability, FallbackNoticeReturnsAHiddenProgramToTheTray) {
    FakeNoticeWindow shown;
    shown.visible = true;
    ShowFallbackNotice(shown, "x");
    EXPECT_EQ(shown.calls, (Calls{"restore", "message x"}));

    FakeNoticeWindow hidden;
    ShowFallbackNotice(hidden, "x");
    EXPECT_EQ(hidden.calls, (Calls{"restore", "hide settings", "message x", "hide taskbar window"}));
}

}  // namespace
}  // namespace vesko
