#include <gtest/gtest.h>

#include <algorithm>

#include "tray_fakes.h"

namespace vesko {
namespace {

using testing::FakeShell;
using testing::FakeWindows;
using Cmd = NotifyCommand;

constexpr IconHandle kIcon = 0x4242;
constexpr std::uint32_t kV5 = PackShellVersion(5, 0);
constexpr std::uint32_t kV4 = PackShellVersion(4, 72);

struct ShellIconRig {
    FakeShell shell;
    FakeWindows windows;
    std::unique_ptr<ShellIcon> icon;
    std::vector<std::uint32_t> ownerMessages;

    explicit ShellIconRig(std::uint32_t version = kV5) {
        shell.Version = version;
        icon = std::make_unique<ShellIcon>(shell, windows);
        icon->SetOwnerCallback([this](TrayMessageArgs& m) {
            ownerMessages.push_back(m.Msg);
            if (m.Msg == traymsg::kQueryEndSession) m.Result = 1;
        });
        icon->SetIconHandle(kIcon);
        icon->SetTip("tip");
    }
};

TEST(TrayShellIcon, AddFillsTheRecordForEachShellGeneration) {
    for (std::uint32_t version : {kV5, kV4, 0u}) {
        ShellIconRig rig(version);
        ASSERT_TRUE(rig.icon->AddIcon());
        ASSERT_EQ(rig.shell.Commands(), std::vector<Cmd>{Cmd::Add});
        const NotifyIconRecord& r = rig.shell.Last();
        const bool v5 = version >= kV5;
        EXPECT_EQ(r.Layout, v5 ? RecordLayout::Version5 : RecordLayout::Old);
        EXPECT_EQ(r.Window, rig.windows.Created.at(0));
        EXPECT_EQ(r.ID, 1u);
        EXPECT_EQ(r.CallbackMessage, 1224u);
        EXPECT_EQ(r.Flags, kNifMessage | kNifIcon | kNifTip);
        EXPECT_EQ(r.Icon, kIcon);
        EXPECT_EQ(r.Tip, "tip");
        if (v5) {
            EXPECT_EQ(std::make_pair(r.State, r.StateMask), std::make_pair(kNisSharedIcon, 0u));
        }
        EXPECT_TRUE(rig.icon->Shown());
        // A second add of a shown icon reaches nobody.
        EXPECT_TRUE(rig.icon->AddIcon());
        EXPECT_EQ(rig.shell.Calls.size(), 1u);
    }
}

TEST(TrayShellIcon, NoIconHandleMeansNoCall) {
    ShellIconRig rig;
    rig.icon->SetIconHandle(0);
    EXPECT_FALSE(rig.icon->AddIcon());
    EXPECT_FALSE(rig.icon->ModifyIcon());
    EXPECT_TRUE(rig.shell.Calls.empty());
}

TEST(TrayShellIcon, HideOnVersion5ShellKeepsTheIconKnownToTheShell) {
    ShellIconRig rig(kV5);
    rig.icon->AddIcon();
    ASSERT_TRUE(rig.icon->HideIcon());
    const NotifyIconRecord& hide = rig.shell.Last();
    EXPECT_EQ(rig.shell.Calls.back().Command, Cmd::Modify);
    EXPECT_EQ(hide.Flags, kNifState);
    EXPECT_EQ(hide.State, kNisHidden);
    EXPECT_EQ(hide.StateMask, 3u);
    EXPECT_TRUE(rig.icon->Added());
    EXPECT_FALSE(rig.icon->Shown());
    EXPECT_TRUE(rig.icon->HideIcon());  // already hidden: no call
    EXPECT_EQ(rig.shell.Calls.size(), 2u);

    // Showing again is a state change, not a second add.
    ASSERT_TRUE(rig.icon->AddIcon());
    const NotifyIconRecord& show = rig.shell.Last();
    EXPECT_EQ(rig.shell.Calls.back().Command, Cmd::Modify);
    EXPECT_EQ(show.Flags, kNifMessage | kNifIcon | kNifTip | kNifState);
    EXPECT_EQ(show.State, 0u);
    EXPECT_EQ(show.StateMask, 3u);

    rig.icon->HideIcon();
    rig.icon.reset();  // a hidden icon is still deleted
    EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Modify, Cmd::Modify, Cmd::Modify, Cmd::Delete}));
    EXPECT_EQ(rig.windows.Destroyed, rig.windows.Created);
}

TEST(TrayShellIcon, HideDeletesOnOldShellsOrWithoutHideByState) {
    for (bool oldShell : {true, false}) {
        ShellIconRig rig(oldShell ? kV4 : kV5);
        if (!oldShell) rig.icon->SetHideByState(false);
        rig.icon->AddIcon();
        EXPECT_TRUE(rig.icon->HideIcon());
        EXPECT_FALSE(rig.icon->Added());
        ASSERT_TRUE(rig.icon->AddIcon());
        EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Delete, Cmd::Add}));
    }
}

TEST(TrayShellIcon, TaskbarCreatedReaddsAShownIconAndTellsTheOwnerOnce) {
    ShellIconRig rig;
    rig.icon->SetTip("line 1\r\nline 2");
    rig.icon->AddIcon();
    const WindowHandle window = rig.icon->Window();
    rig.windows.Deliver(window, FakeWindows::kTaskbarCreated);
    ASSERT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Add}));
    EXPECT_EQ(rig.shell.Last().Tip, "line 1\r\nline 2");
    EXPECT_EQ(rig.shell.Last().Icon, kIcon);
    EXPECT_TRUE(rig.icon->Shown());
    // The notice first, then the message itself.
    EXPECT_EQ(rig.ownerMessages, (std::vector<std::uint32_t>{1244, FakeWindows::kTaskbarCreated}));
    // The old taskbar's tool-tip is gone with it.
    EXPECT_EQ(rig.windows.ToolTipLookups, 2);
}

TEST(TrayShellIcon, TaskbarCreatedForgetsAHiddenIcon) {
    ShellIconRig rig;
    rig.icon->AddIcon();
    rig.icon->HideIcon();
    rig.windows.Deliver(rig.icon->Window(), FakeWindows::kTaskbarCreated);
    EXPECT_FALSE(rig.icon->Added());
    EXPECT_EQ(std::count(rig.ownerMessages.begin(), rig.ownerMessages.end(), 1244u), 1);
    rig.icon->AddIcon();
    EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Modify, Cmd::Add}));
}

// A shell that keeps timing out: the add and its modify fail, then six timer
// steps of a modify and an add, 2 s apart; the interface thread never sleeps.
TEST(TrayShellIcon, TimedOutAddRetriesSixTimerStepsThenGivesUp) {
    ShellIconRig rig;
    std::vector<std::string> errors;
    rig.icon->SetErrorSink([&](const std::exception& e) { errors.push_back(e.what()); });
    rig.shell.Fail(kErrorTimeout, 2 + 2 * 6);
    EXPECT_FALSE(rig.icon->AddIcon());
    EXPECT_TRUE(rig.icon->RetryPending());
    EXPECT_EQ(rig.windows.Timers[ShellIcon::kRetryTimerId], 2000u);
    for (int step = 0; step < 6; ++step) {
        EXPECT_TRUE(errors.empty()) << step;
        rig.windows.Deliver(rig.icon->Window(), traymsg::kTimer, ShellIcon::kRetryTimerId);
    }
    std::vector<Cmd> expected{Cmd::Add, Cmd::Modify};
    for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {Cmd::Modify, Cmd::Add});
    EXPECT_EQ(rig.shell.Commands(), expected);
    EXPECT_TRUE(rig.shell.Sleeps.empty());
    EXPECT_EQ(errors, std::vector<std::string>{"タスクトレイのアイコンを変更できません。"});
    EXPECT_EQ(rig.windows.Timers.count(ShellIcon::kRetryTimerId), 0u);
    EXPECT_FALSE(rig.icon->Added());
    EXPECT_FALSE(rig.icon->Shown());
    // A stray timer message after the end does nothing.
    rig.windows.Deliver(rig.icon->Window(), traymsg::kTimer, ShellIcon::kRetryTimerId);
    EXPECT_EQ(rig.shell.Calls.size(), expected.size());
}

TEST(TrayShellIcon, TimedOutAddThatTheShellTookEndsWithTheModify) {
    ShellIconRig rig;
    rig.shell.Fail(kErrorTimeout, 4);  // add and modify, then modify and add of step one
    EXPECT_FALSE(rig.icon->AddIcon());
    rig.windows.Deliver(rig.icon->Window(), traymsg::kTimer, ShellIcon::kRetryTimerId);
    EXPECT_FALSE(rig.icon->Shown());
    rig.windows.Deliver(rig.icon->Window(), traymsg::kTimer, ShellIcon::kRetryTimerId);
    EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Modify, Cmd::Modify, Cmd::Add, Cmd::Modify}));
    EXPECT_TRUE(rig.shell.Sleeps.empty());
    EXPECT_TRUE(rig.icon->Added());
    EXPECT_TRUE(rig.icon->Shown());
    EXPECT_FALSE(rig.icon->RetryPending());
    EXPECT_EQ(rig.windows.Timers.count(ShellIcon::kRetryTimerId), 0u);
}

// A refused add tries a modify first: the shell may hold the icon already.
TEST(TrayShellIcon, RefusedAddTriesAModifyThenRaisesTheFirstMessage) {
    ShellIconRig held;
    held.shell.Fail(5);  // access denied, but the icon is there
    EXPECT_TRUE(held.icon->AddIcon());
    EXPECT_EQ(held.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Modify}));
    EXPECT_TRUE(held.icon->Shown());

    ShellIconRig rig;
    rig.shell.Fail(5, 2);
    try {
        rig.icon->AddIcon();
        FAIL() << "no error";
    } catch (const NotifyIconError& e) {
        EXPECT_STREQ(e.what(), "タスクトレイにアイコンを登録できません。");
    }
    EXPECT_TRUE(rig.shell.Sleeps.empty());
    EXPECT_TRUE(rig.windows.Timers.empty());
    EXPECT_EQ(rig.shell.Calls.size(), 2u);
}

TEST(TrayShellIcon, RetryStopsWhenTheErrorIsNoLongerATimeOut) {
    ShellIconRig rig;
    std::vector<std::string> errors;
    rig.icon->SetErrorSink([&](const std::exception& e) { errors.push_back(e.what()); });
    rig.shell.Fail(kErrorTimeout, 3);  // add, modify, the retry's modify
    rig.shell.Fail(5);                 // the retry's add
    EXPECT_FALSE(rig.icon->AddIcon());
    rig.windows.Deliver(rig.icon->Window(), traymsg::kTimer, ShellIcon::kRetryTimerId);
    EXPECT_EQ(errors, std::vector<std::string>{"タスクトレイにアイコンを登録できません。"});
    EXPECT_FALSE(rig.icon->RetryPending());
    EXPECT_EQ(rig.windows.Timers.count(ShellIcon::kRetryTimerId), 0u);
    EXPECT_TRUE(rig.shell.Sleeps.empty());
}

TEST(TrayShellIcon, FailedModifyAddsAfreshUnlessItTimedOut) {
    ShellIconRig rig;
    rig.icon->AddIcon();
    rig.shell.Fail(kErrorTimeout);
    EXPECT_TRUE(rig.icon->ModifyIcon());
    EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Modify}));

    rig.shell.Fail(5);
    EXPECT_TRUE(rig.icon->ModifyIcon());
    EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Modify, Cmd::Modify, Cmd::Add}));

    // The add's error is swallowed; the icon is then simply not shown.
    rig.shell.Fail(5, 3);  // the modify, then the add and its modify
    EXPECT_FALSE(rig.icon->ModifyIcon());
    EXPECT_FALSE(rig.icon->Added());
}

TEST(TrayShellIcon, TipIsCutPerShellGeneration) {
    const std::string tip200 = std::string(100, 'a') + "\r\n" + std::string(98, 'b');
    ShellIconRig v5(kV5);
    v5.icon->SetTip(tip200);
    EXPECT_EQ(v5.icon->Record().Tip, tip200.substr(0, 127));

    ShellIconRig old(kV4);
    old.icon->SetTip(tip200);
    EXPECT_EQ(old.icon->Record().Tip, std::string(63, 'a'));
    old.icon->SetTip("CPU\r\nMEM");
    EXPECT_EQ(old.icon->Record().Tip, "CPU MEM");

    v5.icon->SetTip("");
    EXPECT_EQ(v5.icon->Record().Tip, "");
}

TEST(TrayShellIcon, TipCutKeepsWholeCharactersInEitherRecord) {
    std::string jp;
    for (int i = 0; i < 70; ++i) jp += "節";
    ShellIconRig wide(kV4);
    wide.icon->SetTip("😀" + jp);  // 2 + 70 UTF-16 units
    std::string expected = "😀";
    for (int i = 0; i < 61; ++i) expected += "節";
    EXPECT_EQ(wide.icon->Record().Tip, expected);

    ShellIconRig ansi(kV4);
    ansi.shell.AnsiRecord = true;
    ansi.icon->SetTip("a" + jp);  // 1 + 140 bytes: 31 kanji fit in 63
    std::string ansiExpected = "a";
    for (int i = 0; i < 31; ++i) ansiExpected += "節";
    EXPECT_EQ(ansi.icon->Record().Tip, ansiExpected);
}

TEST(TrayShellIcon, BalloonValuesAreStoredCutAndNeverShown) {
    ShellIconRig rig;
    rig.icon->SetBalloonTitle(std::string(80, 't'));
    rig.icon->SetBalloonText(std::string(300, 'x'));
    rig.icon->SetBalloonTimeOut(5000);
    rig.icon->SetBalloonIcon(BalloonIconKind::Warning);
    EXPECT_EQ(rig.icon->BalloonTitle().size(), 63u);
    EXPECT_EQ(rig.icon->BalloonText().size(), 255u);
    EXPECT_EQ(rig.icon->BalloonIcon(), BalloonIconKind::Warning);
    rig.icon->AddIcon();
    EXPECT_EQ(rig.shell.Last().InfoFlags, 0u);  // each add on a version-5 shell clears it
    EXPECT_EQ(rig.shell.Last().TimeOut, 5000u);
}

TEST(TrayShellIcon, DoForegroundWindowPrecedesEachAddAndModify) {
    ShellIconRig rig;
    rig.icon->SetDoForegroundWindow(true);
    rig.icon->AddIcon();
    rig.icon->ModifyIcon();
    EXPECT_EQ(rig.windows.Foreground, std::vector<WindowHandle>(2, rig.icon->Window()));
}

TEST(TrayWinProcList, RegistersOnceAndRoutesEachWindowToItsIcon) {
    FakeShell shell;
    FakeWindows windows;
    std::vector<std::string> seen;
    {
        ShellIcon a(shell, windows);
        ShellIcon b(shell, windows);
        ASSERT_NE(ShellIconRouter::Instance(), nullptr);
        EXPECT_EQ(ShellIconRouter::Instance()->Count(), 2u);
        EXPECT_EQ(ShellIconRouter::Instance()->TaskbarCreatedMessage(), FakeWindows::kTaskbarCreated);
        EXPECT_EQ(windows.ClassRegisterCalls, 1);
        a.SetOwnerCallback([&](TrayMessageArgs& m) { seen.push_back("a" + std::to_string(m.Msg)); });
        b.SetOwnerCallback([&](TrayMessageArgs& m) { seen.push_back("b" + std::to_string(m.Msg)); });
        a.SetIconHandle(kIcon);
        b.SetIconHandle(kIcon);
        a.AddIcon();
        b.AddIcon();
        windows.Deliver(b.Window(), 17);
        windows.Deliver(a.Window(), 18);
        // A window no icon owns, or one being created, gets default processing.
        windows.Deliver(0x999, 17);
        EXPECT_EQ(windows.DefaultCalls, 1);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"b17", "a18"}));
    EXPECT_EQ(ShellIconRouter::Instance(), nullptr);
    EXPECT_EQ(windows.ClassRegistrations, 0);
}

TEST(TrayWinProcList, AnErrorInAHandlerGoesToTheSinkNotThroughTheWindowProcedure) {
    ShellIconRig rig;
    std::vector<std::string> errors;
    rig.icon->SetErrorSink([&](const std::exception& e) { errors.push_back(e.what()); });
    rig.icon->AddIcon();
    rig.icon->SetOwnerCallback([](TrayMessageArgs&) { throw std::runtime_error("handler"); });
    std::intptr_t result = 7;
    EXPECT_TRUE(ShellIconRouter::Dispatch(rig.icon->Window(), 17, 0, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(errors, std::vector<std::string>{"handler"});
}

TEST(TrayWinProcList, FailedReaddAfterTaskbarRestartIsReportedAndTheNoticeStillComes) {
    ShellIconRig rig;
    std::vector<std::string> errors;
    rig.icon->SetErrorSink([&](const std::exception& e) { errors.push_back(e.what()); });
    rig.icon->AddIcon();
    rig.shell.Fail(5, 2);  // the add and the modify that tries to take the icon back
    rig.windows.Deliver(rig.icon->Window(), FakeWindows::kTaskbarCreated);
    EXPECT_EQ(errors, std::vector<std::string>{"タスクトレイにアイコンを登録できません。"});
    EXPECT_EQ(std::count(rig.ownerMessages.begin(), rig.ownerMessages.end(), 1244u), 1);
    EXPECT_FALSE(rig.icon->Added());
}

TEST(TrayShellIcon, TaskbarCreatedWithoutARealRestartKeepsTheIcon) {
    // The shell still holds the icon and refuses the add; a modify takes it back.
    ShellIconRig rig;
    std::vector<std::string> errors;
    rig.icon->SetErrorSink([&](const std::exception& e) { errors.push_back(e.what()); });
    rig.icon->AddIcon();
    rig.shell.Fail(5);
    rig.windows.Deliver(rig.icon->Window(), FakeWindows::kTaskbarCreated);
    EXPECT_EQ(rig.shell.Commands(), (std::vector<Cmd>{Cmd::Add, Cmd::Add, Cmd::Modify}));
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(rig.icon->Shown());
    rig.icon->HideIcon();
    EXPECT_TRUE(rig.icon->Added());
}

}  // namespace
}  // namespace vesko
