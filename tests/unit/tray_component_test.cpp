#include <gtest/gtest.h>

#include <algorithm>

#include "tray_fakes.h"

namespace vesko {
namespace {

using namespace traymsg;
using testing::FakeHost;
using testing::FakeShell;
using testing::FakeWindows;
using testing::RecordEvents;
using testing::TrayRig;
using Cmd = NotifyCommand;
using Events = std::vector<std::string>;

constexpr std::uint32_t kV5 = PackShellVersion(5, 0);
constexpr std::uint32_t kV4 = PackShellVersion(4, 0);

TEST(TrayIcon, NothingReachesTheShellWhileLoading) {
    FakeShell shell;
    FakeWindows windows;
    FakeHost host;
    TrayIcon tray(shell, windows, host);
    EXPECT_TRUE(tray.AutoPopup());
    EXPECT_EQ(tray.TipHelp(), "TipHelp");
    EXPECT_TRUE(tray.Visible());
    EXPECT_EQ(tray.ResourceIconID(), -1);
    EXPECT_EQ(tray.Interval(), 0u);
    EXPECT_TRUE(tray.CheckSingleDoubleClick());
    EXPECT_EQ(tray.BalloonHelpTimeOut(), 0u);
    tray.SetTipHelp("x");
    tray.SetResourceIconList({"TTICON"});
    tray.SetResourceIconID(9);  // stored as it is while loading
    EXPECT_TRUE(shell.Calls.empty());

    // Visible by default: Loaded shows it, and the index is repaired on reading.
    tray.Loaded();
    ASSERT_EQ(shell.Commands(), std::vector<Cmd>{Cmd::Add});
    EXPECT_EQ(host.NameOf(shell.Last().Icon), "TTICON");
    EXPECT_EQ(shell.Last().Tip, "x");
}

TEST(TrayIcon, MainWindowConfigurationShowsTheFunctionOnIcon) {
    TrayRig rig;
    ASSERT_EQ(rig.shell.Commands(), std::vector<Cmd>{Cmd::Add});
    EXPECT_EQ(rig.ShownIconName(), "TTICON");
    EXPECT_EQ(rig.shell.Last().Tip, "ケルダン！");
    EXPECT_TRUE(rig.tray->IsShell5OrLater());

    rig.tray->SetResourceIconID(1);
    EXPECT_EQ(rig.shell.Calls.back().Command, Cmd::Modify);
    EXPECT_EQ(rig.ShownIconName(), "TFICON");

    // A new tip reaches the shell at once.
    rig.tray->SetTipHelp("CPU 3%\r\nMEM 41%");
    EXPECT_EQ(rig.shell.Calls.back().Command, Cmd::Modify);
    EXPECT_EQ(rig.shell.Last().Tip, "CPU 3%\r\nMEM 41%");
}

// The tip the monitor sets every second reaches the shell only while somebody
// can see it, alone, and up to date the moment the cursor arrives.
TEST(TrayIcon, DeferredTipGoesToTheShellOnlyWhileTheCursorIsOverTheIcon) {
    TrayRig rig;
    rig.tray->SetTipDeferred(true);
    const WindowHandle w = rig.Window();
    const std::size_t before = rig.shell.Calls.size();
    rig.tray->SetTipHelp("12:00:01");
    rig.tray->SetTipHelp("12:00:02");
    EXPECT_EQ(rig.shell.Calls.size(), before) << "nobody hovers: nothing is sent";

    rig.windows.MoveTo(w, 100, 10);  // the cursor arrives
    ASSERT_EQ(rig.shell.Calls.size(), before + 1);
    EXPECT_EQ(rig.shell.Calls.back().Command, Cmd::Modify);
    EXPECT_EQ(rig.shell.Last().Flags, kNifTip);
    EXPECT_EQ(rig.shell.Last().Tip, "12:00:02");
    rig.windows.MoveTo(w, 101, 10);  // still inside: the shell's copy is current
    EXPECT_EQ(rig.shell.Calls.size(), before + 1);

    rig.tray->SetTipHelp("12:00:03");  // while hovering, each new text at once
    rig.tray->SetTipHelp("12:00:03");  // the same text again is not sent
    ASSERT_EQ(rig.shell.Calls.size(), before + 2);
    EXPECT_EQ(rig.shell.Last().Tip, "12:00:03");

    // Gone: nothing is sent; an icon change carries the new tip, so the next
    // arrival has nothing to bring.
    rig.windows.Cursor = {300, 300};
    rig.windows.Fire(w, ClickHoverTracker::kHoverTimerId);
    rig.tray->SetTipHelp("12:00:04");
    EXPECT_EQ(rig.shell.Calls.size(), before + 2);
    rig.tray->SetResourceIconID(1);
    EXPECT_EQ(rig.shell.Last().Tip, "12:00:04");
    EXPECT_NE(rig.shell.Last().Flags & kNifIcon, 0u);
    const std::size_t afterIcon = rig.shell.Calls.size();
    rig.windows.MoveTo(w, 100, 10);
    EXPECT_EQ(rig.shell.Calls.size(), afterIcon);

    // A shell that lost the icon refuses the tip: the icon is added again with it.
    rig.tray->SetTipHelp("12:00:05");
    rig.shell.Fail(5, 2);  // the tip alone, then the whole record
    rig.tray->SetTipHelp("12:00:06");
    EXPECT_EQ(rig.shell.Calls.back().Command, Cmd::Add);
    EXPECT_EQ(rig.shell.Last().Tip, "12:00:06");
}

TEST(TrayIcon, ResourceIconIdIsClampedToTheList) {
    struct Case {
        int set;
        int stored;
        const char* shown;
    };
    const Case cases[] = {
        {5, 1, "TFICON"}, {2, 1, "TFICON"}, {1, 1, "TFICON"}, {-7, -1, "application"}, {-1, -1, "application"},
    };
    for (const Case& c : cases) {
        TrayRig rig;
        rig.tray->SetResourceIconID(c.set);
        EXPECT_EQ(rig.tray->ResourceIconID(), c.stored) << c.set;
        EXPECT_EQ(rig.ShownIconName(), c.shown) << c.set;
    }
}

TEST(TrayIcon, SameIndexAgainDoesNothingExceptZero) {
    TrayRig rig;
    rig.tray->SetResourceIconID(1);
    const std::size_t calls = rig.shell.Calls.size();
    rig.tray->SetResourceIconID(1);
    EXPECT_EQ(rig.shell.Calls.size(), calls);

    // 0 again drops an explicit icon and shows the resource icon.
    rig.tray->SetResourceIconID(0);
    rig.tray->SetIcon(FakeHost::kAppIcon);
    EXPECT_EQ(rig.ShownIconName(), "copy of application");
    const IconHandle copy = rig.tray->Icon();
    rig.tray->SetResourceIconID(0);
    EXPECT_EQ(rig.tray->Icon(), 0u);
    EXPECT_TRUE(rig.host.DestroyedIcons.count(copy));
    EXPECT_EQ(rig.shell.Calls.back().Command, Cmd::Modify);
    EXPECT_EQ(rig.ShownIconName(), "TTICON");
}

TEST(TrayIcon, EverySecondsSameIndexLoadsTheIconOnlyOnce) {
    TrayRig rig;
    for (int tick = 0; tick < 5; ++tick) rig.tray->SetResourceIconID(0);
    EXPECT_EQ(rig.host.Loads, 1);
    rig.tray->SetResourceIconID(1);
    rig.tray->SetResourceIconID(0);
    EXPECT_EQ(rig.host.Loads, 3);
    // The replaced handles are freed; the one in the record is not.
    EXPECT_EQ(rig.host.DestroyedIcons.size(), 2u);
    EXPECT_FALSE(rig.host.DestroyedIcons.count(rig.shell.Last().Icon));
}

TEST(TrayIcon, ReadingAfterTheListShrankGivesZero) {
    TrayRig rig;
    rig.host.Resources.insert("XICON");
    rig.tray->SetResourceIconList({"TTICON", "TFICON", "XICON"});
    rig.tray->SetResourceIconID(2);
    EXPECT_EQ(rig.ShownIconName(), "XICON");
    rig.tray->SetResourceIconList({"TFICON"});
    EXPECT_EQ(rig.tray->ResourceIconID(), 0);
    EXPECT_EQ(rig.ShownIconName(), "TFICON");
}

TEST(TrayIcon, ResourceIconListSetter) {
    {  // the same name at the index: only the re-clamp's own refresh of index 0
        TrayRig rig;
        const std::size_t calls = rig.shell.Calls.size();
        rig.tray->SetResourceIconList({"TTICON", "XICON"});
        EXPECT_EQ(rig.shell.Calls.size(), calls + 1);
        EXPECT_EQ(rig.ShownIconName(), "TTICON");
    }
    {  // another name at index 1: refreshed
        TrayRig rig;
        rig.host.Resources.insert("XICON");
        rig.tray->SetResourceIconID(1);
        const std::size_t calls = rig.shell.Calls.size();
        rig.tray->SetResourceIconList({"TTICON", "XICON"});
        EXPECT_EQ(rig.shell.Calls.size(), calls + 1);
        EXPECT_EQ(rig.ShownIconName(), "XICON");
    }
    {  // no resource icon selected: the list changes, the icon does not
        TrayRig rig;
        rig.tray->SetResourceIconID(-1);
        const std::size_t calls = rig.shell.Calls.size();
        rig.tray->SetResourceIconList({"TFICON"});
        EXPECT_EQ(rig.tray->ResourceIconList(), std::vector<std::string>{"TFICON"});
        EXPECT_EQ(rig.shell.Calls.size(), calls);
    }
    {  // an emptied list: back to the application icon
        TrayRig rig;
        rig.tray->SetResourceIconList({});
        EXPECT_EQ(rig.tray->ResourceIconID(), -1);
        EXPECT_EQ(rig.ShownIconName(), "application");
    }
}

TEST(TrayIcon, ExplicitIconTakesPrecedence) {
    TrayRig rig;
    rig.tray->SetIcon(0x5000);  // the first handle the host gave out
    EXPECT_EQ(rig.ShownIconName(), "copy of TTICON");
    rig.tray->SetIcon(0);
    EXPECT_EQ(rig.ShownIconName(), "TTICON");
}

TEST(TrayIcon, VisibleOffAndOnHidesTheSameShellIcon) {
    TrayRig rig(kV5);
    rig.tray->SetVisible(false);
    rig.tray->SetVisible(false);
    rig.tray->SetVisible(true);
    EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Modify, Cmd::Modify}));
    EXPECT_EQ(rig.shell.Calls[1].Record.State, kNisHidden);
    EXPECT_EQ(rig.shell.Calls[2].Record.State, 0u);
    // While hidden the tip is stored, not sent.
    rig.tray->SetVisible(false);
    rig.tray->SetTipHelp("later");
    EXPECT_EQ(rig.shell.Calls.size(), 4u);
    rig.tray->SetVisible(true);
    EXPECT_EQ(rig.shell.Last().Tip, "later");
}

TEST(TrayIcon, VisibleOffOnAnOldShellDeletes) {
    TrayRig rig(kV4);
    rig.tray->SetVisible(false);
    rig.tray->SetVisible(true);
    EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Delete, Cmd::Add}));
    EXPECT_EQ(rig.shell.Last().Layout, RecordLayout::Old);
}

TEST(TrayIcon, DestroyingRemovesTheIcon) {
    TrayRig rig(kV5);
    rig.tray.reset();
    EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Modify, Cmd::Delete}));
    EXPECT_EQ(rig.windows.Destroyed.size(), 1u);
    EXPECT_EQ(rig.windows.ClassRegistrations, 0);
    // Every icon handle it loaded is freed.
    for (const auto& [handle, name] : rig.host.Names) EXPECT_TRUE(rig.host.DestroyedIcons.count(handle)) << name;
}

TEST(TrayIcon, ShellRestartBringsTheIconBackAndFiresOnce) {
    TrayRig rig;
    int restarts = 0;
    rig.tray->OnRestartTaskbar = [&](TrayIcon&) { ++restarts; };
    rig.tray->SetResourceIconID(1);
    rig.tray->SetTipHelp("two\r\nlines");
    rig.windows.Deliver(rig.Window(), FakeWindows::kTaskbarCreated);
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(rig.shell.Calls.back().Command, Cmd::Add);
    EXPECT_EQ(rig.ShownIconName(), "TFICON");
    EXPECT_EQ(rig.shell.Last().Tip, "two\r\nlines");
}

TEST(TrayIcon, FailedReaddAfterRestartReachesOnError) {
    TrayRig rig;
    std::vector<std::string> errors;
    rig.tray->OnError = [&](TrayIcon&, const std::string& message) { errors.push_back(message); };
    rig.shell.Fail(2, 2);
    rig.windows.Deliver(rig.Window(), FakeWindows::kTaskbarCreated);
    EXPECT_EQ(errors, std::vector<std::string>{"タスクトレイにアイコンを登録できません。"});
}

TEST(TrayIcon, StartUpShowPropagatesTheAddError) {
    TrayRig rig(kV5, false);
    rig.shell.Fail(2, 2);  // the add and the modify it tries next
    EXPECT_THROW(rig.tray->SetVisible(true), NotifyIconError);
}

TEST(TrayIcon, ButtonPressOpensItsMenuOrFiresMouseDown) {
    struct Case {
        std::uint32_t press;
        bool left;
        bool autoPopup;
        Events actions;
        Events events;
    };
    const Case cases[] = {
        {kRButtonDown, false, true, {"front", "popup"}, {}},
        {kRButtonDown, false, false, {}, {"down R"}},
        {kLButtonDown, true, true, {"front", "popup"}, {}},
        {kLButtonDown, true, false, {}, {"down L"}},
    };
    for (const Case& c : cases) {
        TrayRig rig;
        Events log;
        RecordEvents(*rig.tray, log);
        (c.left ? rig.tray->LButtonPopupMenu : rig.tray->RButtonPopupMenu) = 0xBEEF;
        rig.tray->SetAutoPopup(c.autoPopup);
        rig.windows.Cursor = {1200, 1000};
        rig.windows.Mouse(rig.Window(), c.press);
        EXPECT_EQ(rig.host.Actions, c.actions);
        EXPECT_EQ(log, c.events);
        if (!c.actions.empty()) {
            EXPECT_EQ(rig.host.Popups.at(0).first, 0xBEEFu);
            EXPECT_EQ(rig.host.Popups.at(0).second.X, 1200);
            EXPECT_EQ(rig.host.Popups.at(0).second.Y, 1000);
        }
    }
}

TEST(TrayIcon, MouseEventsCarryTheCursorAtHandlingTime) {
    TrayRig rig;
    std::vector<std::pair<int, int>> at;
    rig.tray->OnMouseMove = [&](TrayIcon&, HeldButtons shift, int x, int y) {
        EXPECT_EQ(shift, kNoButtonHeld);
        at.emplace_back(x, y);
    };
    rig.tray->OnMouseUp = [&](TrayIcon&, TrayButton, HeldButtons shift, int x, int y) {
        EXPECT_EQ(shift, kLeftHeld);
        at.emplace_back(x, y);
    };
    rig.windows.MoveTo(rig.Window(), 5, 6);
    rig.windows.Cursor = {7, 8};
    rig.windows.Mouse(rig.Window(), kLButtonUp);
    EXPECT_EQ(at, (std::vector<std::pair<int, int>>{{5, 6}, {7, 8}}));
}

TEST(TrayIcon, NotificationClearsEveryReferenceToTheMenu) {
    TrayRig rig;
    rig.tray->LButtonPopupMenu = 0xBEEF;
    rig.tray->RButtonPopupMenu = 0xBEEF;
    rig.tray->Notification(0xCAFE);
    EXPECT_EQ(rig.tray->RButtonPopupMenu, 0xBEEFu);
    rig.tray->Notification(0xBEEF);
    EXPECT_EQ(rig.tray->LButtonPopupMenu, 0u);
    EXPECT_EQ(rig.tray->RButtonPopupMenu, 0u);
}

TEST(TrayIcon, HiddenWindowAnswersQueryEndSessionAndNothingElse) {
    TrayRig rig;
    EXPECT_EQ(rig.windows.Deliver(rig.Window(), kQueryEndSession, 0, 0), 1);
    EXPECT_EQ(rig.windows.Deliver(rig.Window(), 0x0010 /* WM_CLOSE */, 0, 0), 0);
    EXPECT_EQ(rig.windows.DefaultCalls, 0);
}

TEST(TrayIcon, IntervalRules) {
    TrayRig rig;
    rig.tray->SetInterval(10);
    EXPECT_EQ(rig.tray->Interval(), 50u);
    EXPECT_TRUE(rig.tray->AnimationRunning());
    EXPECT_EQ(rig.windows.Timers.at(TrayIcon::kAnimationTimerId), 50u);
    rig.tray->SetInterval(0);
    EXPECT_EQ(rig.tray->Interval(), 0u);
    EXPECT_FALSE(rig.tray->AnimationRunning());
    EXPECT_EQ(rig.windows.Timers.count(TrayIcon::kAnimationTimerId), 0u);
    rig.tray->SetInterval(49);
    EXPECT_EQ(rig.tray->Interval(), 50u);
    rig.tray->SetInterval(51);
    EXPECT_EQ(rig.tray->Interval(), 51u);
}

TEST(TrayIcon, AnimationStepsThroughTheListOnTheWindowsTimer) {
    TrayRig rig;
    rig.tray->SetInterval(200);
    const WindowHandle w = rig.Window();
    Events shown;
    for (int i = 0; i < 3; ++i) {
        rig.windows.Fire(w, TrayIcon::kAnimationTimerId);
        shown.push_back(rig.ShownIconName());
    }
    EXPECT_EQ(shown, (Events{"TFICON", "TTICON", "TFICON"}));

    // Hidden: the animation stops; shown again: it resumes.
    rig.tray->SetVisible(false);
    EXPECT_FALSE(rig.tray->AnimationRunning());
    rig.tray->SetVisible(true);
    EXPECT_TRUE(rig.tray->AnimationRunning());

    int steps = 0;
    rig.tray->OnIconAnimation = [&](TrayIcon&) { ++steps; };
    const std::size_t calls = rig.shell.Calls.size();
    rig.windows.Fire(w, TrayIcon::kAnimationTimerId);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(rig.shell.Calls.size(), calls + 1);  // the refresh after the handler
}

TEST(TrayIcon, MinimizedShowsTheIconOnlyWhileTheApplicationIsMinimised) {
    TrayRig rig(kV5);
    rig.tray->SetMinimized(true);  // application not iconic: hidden
    EXPECT_EQ(rig.shell.Calls.back().Record.State, kNisHidden);
    rig.host.Iconic = true;
    rig.tray->ApplicationMinimize();
    EXPECT_EQ(rig.shell.Calls.back().Record.State, 0u);
    EXPECT_TRUE(rig.tray->Shell().Shown());
    EXPECT_EQ(rig.host.HideCalls, 0);

    rig.host.Iconic = false;
    rig.tray->ApplicationRestore();
    EXPECT_FALSE(rig.tray->Shell().Shown());
    EXPECT_EQ(rig.host.Actions, Events{"front"});
}

}  // namespace
}  // namespace vesko
