#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/PowerAvailability.h"
#include "monitor_fakes.h"
#include "power_fake_system.h"
#include "settings/SettingsDeclaration.h"

namespace vesko {
namespace {

using testing::FakePowerSystem;
using Calls = std::vector<std::string>;

// The settings window and the file as the availability check uses them.
class FakeChoices : public testing::FakeView {
public:
    Calls calls;
    Settings windowDraft;
    testing::RecordedSettingsFile file;
    PowerChoicePorts ports{*this, windowDraft, file.store};
    bool& refuseWrites = file.refuses;

    FakeChoices() {
        file.onWrite = [this](const ProfileEdit& e) {
            calls.push_back("write " + e.section + "/" + e.key + "=" + e.value);
        };
    }
    void ShowSetting(const SettingMember& member, const Settings& d) override {
        EXPECT_EQ(std::get<bool Settings::*>(member), &Settings::Shutdown);
        EXPECT_TRUE(d.Shutdown && !d.Suspend && !d.Hibernation);
        calls.push_back("RadioButton1");
    }
    void SetChoiceEnabled(bool Settings::*method, bool on) override {
        calls.push_back(std::string(method == &Settings::Hibernation ? "hibernate" : "suspend") +
                        (on ? " on" : " off"));
        radio = {method, on};
    }
    // The tray menu's item follows its radio button.
    void ShowPowerCommandEnabled(ManualCommand command, bool on) override {
        EXPECT_EQ(radio,
                  std::pair(command == ManualCommand::Hibernate ? &Settings::Hibernation : &Settings::Suspend, on));
    }
    void ShowFallbackNotice(const std::string& text) override { calls.push_back("message " + text); }

private:
    std::pair<bool Settings::*, bool> radio;
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
        UpdatePowerAvailabilityAtStart(sys, settings, choices.ports);
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
        UpdatePowerAvailabilityAtStart(sys, settings, choices.ports);
        bool pending = true;
        UpdatePowerAvailability(sys, settings, pending, choices.ports);
        EXPECT_TRUE(sys.calls.empty());
    }
}

TEST(PowerAvailability, TickReenablesWithoutChangingTheMethod) {
    FakePowerSystem sys = Make({testing::kXP, true, true});
    Settings settings = kSuspendChosen;
    bool pending = false;
    FakeChoices choices;
    UpdatePowerAvailability(sys, settings, pending, choices.ports);
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
        UpdatePowerAvailability(sys, settings, pending, choices.ports);
        EXPECT_EQ(choices.calls, c.calls);
        EXPECT_EQ(pending, c.pendingAfter);
    }
}

TEST(PowerAvailability, LaterTicksDoNotRepeatTheFallback) {
    FakePowerSystem sys = Make({testing::kXP, false, true});
    Settings settings = kSuspendChosen;
    bool pending = true;
    FakeChoices first;
    UpdatePowerAvailability(sys, settings, pending, first.ports);
    EXPECT_TRUE(settings.Shutdown);
    EXPECT_FALSE(settings.Suspend);
    // The user picks suspend again without OK or Apply having set the flag.
    settings = kSuspendChosen;
    FakeChoices second;
    UpdatePowerAvailability(sys, settings, pending, second.ports);
    EXPECT_EQ(second.calls, (Calls{"hibernate on"}));
    EXPECT_TRUE(settings.Suspend);
}

TEST(PowerAvailability, RefusedWriteLeavesTheMemoryChanged) {
    FakePowerSystem sys = Make({testing::kXP, false, false});
    Settings settings = kHibernationChosen;
    bool pending = true;
    FakeChoices choices;
    choices.refuseWrites = true;
    EXPECT_THROW(UpdatePowerAvailability(sys, settings, pending, choices.ports), SettingsWriteError);
    EXPECT_FALSE(pending);
    EXPECT_TRUE(settings.Shutdown);
    EXPECT_FALSE(settings.Hibernation);
    EXPECT_EQ(choices.calls, (Calls{"RadioButton1", "hibernate off"}));  // no message, suspend not reached
}

}  // namespace
}  // namespace vesko
