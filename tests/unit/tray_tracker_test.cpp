#include <gtest/gtest.h>

#include "tray_fakes.h"

namespace vesko {
namespace {

using namespace traymsg;
using testing::RecordEvents;
using testing::TrayRig;
using Events = std::vector<std::string>;

constexpr std::uintptr_t kClickTimer = ClickHoverTracker::kClickTimerId;
constexpr std::uintptr_t kHoverTimer = ClickHoverTracker::kHoverTimerId;

// What the shell reports for a gesture, then what the message loop and the
// click timer do afterwards.
enum class Gesture { LeftClick, LeftDoubleClick, RightClick, RightDoubleClick };

void Perform(TrayRig& rig, Gesture g) {
    const bool left = g == Gesture::LeftClick || g == Gesture::LeftDoubleClick;
    const bool twice = g == Gesture::LeftDoubleClick || g == Gesture::RightDoubleClick;
    const WindowHandle w = rig.Window();
    rig.windows.Mouse(w, left ? kLButtonDown : kRButtonDown);
    rig.windows.Mouse(w, left ? kLButtonUp : kRButtonUp);
    if (twice) {
        rig.windows.Mouse(w, left ? kLButtonDblClk : kRButtonDblClk);
        rig.windows.Pump(w);
        rig.windows.Mouse(w, left ? kLButtonUp : kRButtonUp);
    }
    rig.windows.Pump(w);
    rig.windows.Fire(w, kClickTimer);
}

TEST(TrayClicks, EventOrderPerGestureWithAndWithoutDiscrimination) {
    struct Case {
        Gesture gesture;
        bool discriminate;
        Events events;
    };
    const Case cases[] = {
        {Gesture::LeftClick, true, {"down L", "up L", "click L"}},
        {Gesture::LeftClick, false, {"down L", "click L", "up L"}},
        {Gesture::LeftDoubleClick, true, {"down L", "up L", "dblclick L", "down L", "up L"}},
        {Gesture::LeftDoubleClick, false, {"down L", "click L", "up L", "dblclick L", "down L", "up L"}},
        {Gesture::RightClick, true, {"down R", "up R", "click R"}},
        {Gesture::RightClick, false, {"down R", "click R", "up R"}},
        {Gesture::RightDoubleClick, true, {"down R", "up R", "dblclick R", "down R", "up R"}},
        {Gesture::RightDoubleClick, false, {"down R", "click R", "up R", "dblclick R", "down R", "up R"}},
    };
    for (const Case& c : cases) {
        TrayRig rig;
        rig.tray->SetCheckSingleDoubleClick(c.discriminate);
        Events log;
        RecordEvents(*rig.tray, log);
        Perform(rig, c.gesture);
        EXPECT_EQ(log, c.events) << static_cast<int>(c.gesture) << (c.discriminate ? " on" : " off");
        EXPECT_FALSE(rig.tray->Tracker().ClickPending());
    }
}

TEST(TrayClicks, SingleClickWaitsForTheDoubleClickTime) {
    TrayRig rig;
    Events log;
    RecordEvents(*rig.tray, log);
    const WindowHandle w = rig.Window();
    rig.windows.Mouse(w, kLButtonDown);
    rig.windows.Mouse(w, kLButtonUp);
    EXPECT_EQ(log, (Events{"down L", "up L"}));
    EXPECT_EQ(rig.windows.Timers.at(kClickTimer), 500u);  // the system's double-click time
    EXPECT_TRUE(rig.tray->Tracker().ClickPending());
    ASSERT_TRUE(rig.windows.Fire(w, kClickTimer));
    EXPECT_EQ(log.back(), "click L");
    EXPECT_EQ(rig.windows.Timers.count(kClickTimer), 0u);  // killed when it fired
}

TEST(TrayClicks, OtherTimersOfTheWindowDoNotFireAPendingClick) {
    TrayRig rig;
    Events log;
    RecordEvents(*rig.tray, log);
    const WindowHandle w = rig.Window();
    rig.windows.MoveTo(w, 100, 10);  // starts the hover poll on the same window
    rig.windows.Mouse(w, kLButtonDown);
    rig.windows.Mouse(w, kLButtonUp);
    ASSERT_TRUE(rig.windows.Fire(w, kHoverTimer));
    EXPECT_EQ(log, (Events{"enter", "down L", "up L"}));
    rig.windows.Fire(w, kClickTimer);
    EXPECT_EQ(log.back(), "click L");
}

TEST(TrayClicks, RightPressThatOpensTheMenuStillEndsInAClick) {
    TrayRig rig;
    Events log;
    RecordEvents(*rig.tray, log);
    rig.tray->RButtonPopupMenu = 0xBEEF;
    rig.windows.Cursor = {640, 700};
    const WindowHandle w = rig.Window();
    rig.windows.Mouse(w, kRButtonDown);
    EXPECT_EQ(rig.host.Actions, (Events{"front", "popup"}));
    rig.windows.Mouse(w, kRButtonUp);
    rig.windows.Fire(w, kClickTimer);
    EXPECT_EQ(log, (Events{"up R", "click R"}));
}

TEST(TrayHover, RectangleGrowsFromReportedMovesAndRestartsOnAJump) {
    TrayRig rig;
    const WindowHandle w = rig.Window();
    using Rect = ClickHoverTracker::HoverRect;
    rig.windows.MoveTo(w, 100, 10);
    EXPECT_EQ(rig.tray->Tracker().Rect(), (Rect{100, 10, 100, 10}));
    rig.windows.MoveTo(w, 120, 20);
    EXPECT_EQ(rig.tray->Tracker().Rect(), (Rect{100, 10, 120, 20}));
    rig.windows.MoveTo(w, 140, 20);  // 40 pixels wide: starts anew
    EXPECT_EQ(rig.tray->Tracker().Rect(), (Rect{140, 20, 140, 20}));
    rig.windows.MoveTo(w, 140, 52);  // 32 pixels is still one icon
    EXPECT_EQ(rig.tray->Tracker().Rect(), (Rect{140, 20, 140, 52}));
    rig.windows.MoveTo(w, 139, 10);
    EXPECT_EQ(rig.tray->Tracker().Rect(), (Rect{139, 10, 139, 10}));
}

TEST(TrayHover, EnterOnceAndExitOnceWithinOnePollPeriod) {
    TrayRig rig;
    Events log;
    RecordEvents(*rig.tray, log);
    const WindowHandle w = rig.Window();
    rig.windows.MoveTo(w, 100, 10);
    rig.windows.MoveTo(w, 116, 26);
    EXPECT_EQ(log, Events{"enter"});
    EXPECT_EQ(rig.windows.Timers.at(kHoverTimer), 100u);

    // The bounds belong to the icon.
    rig.windows.Cursor = {100, 26};
    rig.windows.Fire(w, kHoverTimer);
    EXPECT_EQ(log, Events{"enter"});

    rig.windows.Cursor = {117, 20};
    ASSERT_TRUE(rig.windows.Fire(w, kHoverTimer));
    EXPECT_EQ(log, (Events{"enter", "exit"}));
    EXPECT_FALSE(rig.windows.Fire(w, kHoverTimer));  // the poll stopped: no second exit
    EXPECT_FALSE(rig.tray->Tracker().CursorInside());

    rig.windows.MoveTo(w, 110, 20);
    EXPECT_EQ(log.back(), "enter");
    EXPECT_TRUE(rig.windows.Timers.count(kHoverTimer));
}

TEST(TrayHover, DefaultToolTipIsLeftAloneUntilTheTrackerGoes) {
    TrayRig rig;
    const WindowHandle w = rig.Window();
    rig.windows.MoveTo(w, 100, 10);
    rig.windows.Cursor = {300, 300};
    rig.windows.Fire(w, kHoverTimer);
    Perform(rig, Gesture::LeftDoubleClick);
    EXPECT_TRUE(rig.windows.ToolTipMessages.empty());

    rig.tray.reset();
    using Msg = std::pair<std::uint32_t, std::uintptr_t>;
    EXPECT_EQ(rig.windows.ToolTipMessages, (std::vector<Msg>{
                                               {ClickHoverTracker::kTtmPop, 0},
                                               {ClickHoverTracker::kTtmSetTipBkColor, 0x100000u + 24},
                                               {ClickHoverTracker::kTtmSetTipTextColor, 0x100000u + 23},
                                           }));
}

TEST(TrayHover, OwnColoursWhileInsideAndSystemColoursAfter) {
    TrayRig rig;
    ToolTipStyle& style = rig.tray->TipStyle();
    style.SetUseDefault(false);
    style.SetBackGroundColor(0x00336699);
    EXPECT_EQ(style.GetColor(2), kTipWindowText);
    const WindowHandle w = rig.Window();
    rig.windows.MoveTo(w, 100, 10);
    rig.windows.Cursor = {0, 0};
    rig.windows.Fire(w, kHoverTimer);
    using Msg = std::pair<std::uint32_t, std::uintptr_t>;
    EXPECT_EQ(rig.windows.ToolTipMessages, (std::vector<Msg>{
                                               {ClickHoverTracker::kTtmSetTipBkColor, 0x00336699},
                                               // kTipWindowText resolved to its RGB value
                                               {ClickHoverTracker::kTtmSetTipTextColor, 0x100000u + 8},
                                               {ClickHoverTracker::kTtmPop, 0},
                                               {ClickHoverTracker::kTtmSetTipBkColor, 0x100000u + 24},
                                               {ClickHoverTracker::kTtmSetTipTextColor, 0x100000u + 23},
                                           }));
}

}  // namespace
}  // namespace vesko
