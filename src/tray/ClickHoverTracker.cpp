#include "tray/ClickHoverTracker.h"

#include <cstdlib>

namespace vesko {
namespace {

constexpr int kColorInfoText = 23;  // COLOR_INFOTEXT
constexpr int kColorInfoBk = 24;    // COLOR_INFOBK

}  // namespace

ClickHoverTracker::ClickHoverTracker(TrayWindows& windows) : windows_(windows) {
    toolTip_ = windows_.FindShellToolTip();
}

ClickHoverTracker::~ClickHoverTracker() {
    if (window_ != 0) {
        if (polling_) windows_.StopTimer(window_, kHoverTimerId);
        if (clickPending_) windows_.StopTimer(window_, kClickTimerId);
    }
    // Whatever UseDefault says now, the tip may have been recoloured earlier.
    RestoreToolTip();
}

Color ToolTipStyle::GetColor(int index) const { return index == 1 ? backGroundColor_ : textColor_; }

void ToolTipStyle::SetColor(int index, Color value) {
    if (index == 1) backGroundColor_ = value;
    else textColor_ = value;
}

void ClickHoverTracker::HandleMessage(const TrayMessageArgs& message) {
    using namespace traymsg;
    if (message.Msg == kCallback) {
        switch (message.LParam) {
            case kMouseMove: HoverStep(); break;
            // A press posted by DoubleClick carries -1 and arms nothing.
            case kLButtonDown:
                if (message.WParam >= 0) state_ |= kLeft;
                break;
            case kRButtonDown:
                if (message.WParam >= 0) state_ |= kRight;
                break;
            case kMButtonDown:
                if (message.WParam >= 0) state_ |= kMiddle;
                break;
            case kLButtonUp: ButtonRelease(0); break;
            case kRButtonUp: ButtonRelease(1); break;
            case kMButtonUp: ButtonRelease(2); break;
            case kLButtonDblClk: DoubleClick(0, kLButtonDown); break;
            case kRButtonDblClk: DoubleClick(1, kRButtonDown); break;
            case kMButtonDblClk: DoubleClick(2, kMButtonDown); break;
            default: break;
        }
    } else if (message.Msg == kTimer) {
        // Only this tracker's own timers: the window also carries the hover
        // poll and the icon animation, which must not fire a pending click.
        if (static_cast<std::uintptr_t>(message.WParam) == kClickTimerId) {
            windows_.StopTimer(window_, kClickTimerId);
            if (clickPending_) {
                if (state_ & kLeft) SendClick(0);
                else if (state_ & kRight) SendClick(1);
                else SendClick(2);
            }
        } else if (static_cast<std::uintptr_t>(message.WParam) == kHoverTimerId) {
            ExitCheck();
        }
    }
}

void ClickHoverTracker::ButtonRelease(int button) {
    if (checkSingleDoubleClick_) {
        // The button stays in the set until the timer decides it was a click.
        if (!clickPending_ && windows_.StartTimer(window_, kClickTimerId, windows_.DoubleClickTime()))
            clickPending_ = true;
    } else {
        SendClick(button);
    }
}

void ClickHoverTracker::DoubleClick(int button, std::uint32_t pressCode) {
    // The running timer stays; when it fires nothing is pending.
    clickPending_ = false;
    state_ &= static_cast<std::uint8_t>(~ButtonBit(button));
    // The shell reports a double click in place of the second press; a
    // synthetic press keeps down/up pairs balanced for the component.
    if (window_ != 0) windows_.Post(window_, traymsg::kCallback, -1, pressCode);
}

void ClickHoverTracker::SendClick(int button) {
    if ((state_ & ButtonBit(button)) && window_ != 0)
        windows_.Send(window_, traymsg::kCallback, button, traymsg::kMouseClick);
    clickPending_ = false;
    state_ &= static_cast<std::uint8_t>(~ButtonBit(button));
}

void ClickHoverTracker::GrowRect(int x, int y) {
    if (rect_.Empty()) {
        rect_ = {x, y, x, y};
        return;
    }
    if (x < rect_.Left) rect_.Left = x;
    else if (x > rect_.Right) rect_.Right = x;
    if (y < rect_.Top) rect_.Top = y;
    else if (y > rect_.Bottom) rect_.Bottom = y;
}

void ClickHoverTracker::HoverStep() {
    // The shell only reports moves over the icon, so the points it reports
    // outline the icon. A jump beyond one icon's size starts anew.
    const TrayPoint p = windows_.CursorPos();
    GrowRect(p.X, p.Y);
    if (std::abs(rect_.Right - rect_.Left) > kHoverRectLimit || std::abs(rect_.Bottom - rect_.Top) > kHoverRectLimit) {
        rect_ = {};
        GrowRect(p.X, p.Y);
    }
    if (!CursorInside()) CursorEntered();
}

void ClickHoverTracker::CursorEntered() {
    state_ |= kInside;
    if (!style_.UseDefault() && toolTip_ != 0) {
        windows_.SendToolTip(toolTip_, kTtmSetTipBkColor, ToRgb(style_.BackGroundColor()));
        windows_.SendToolTip(toolTip_, kTtmSetTipTextColor, ToRgb(style_.TextColor()));
    }
    if (!polling_) polling_ = windows_.StartTimer(window_, kHoverTimerId, kPollPeriodMs);
    if (window_ != 0) windows_.Send(window_, traymsg::kCallback, 0, traymsg::kMouseEnter);
}

void ClickHoverTracker::ExitCheck() {
    if (!CursorInside()) {
        windows_.StopTimer(window_, kHoverTimerId);
        polling_ = false;
        return;
    }
    const TrayPoint p = windows_.CursorPos();
    if (p.X < rect_.Left || p.X > rect_.Right || p.Y < rect_.Top || p.Y > rect_.Bottom) CursorLeft();
}

void ClickHoverTracker::CursorLeft() {
    state_ &= static_cast<std::uint8_t>(~kInside);
    windows_.StopTimer(window_, kHoverTimerId);
    polling_ = false;
    if (!style_.UseDefault()) RestoreToolTip();
    if (window_ != 0) windows_.Send(window_, traymsg::kCallback, 0, traymsg::kMouseExit);
}

void ClickHoverTracker::RestoreToolTip() {
    if (toolTip_ == 0) return;
    windows_.SendToolTip(toolTip_, kTtmPop, 0);
    windows_.SendToolTip(toolTip_, kTtmSetTipBkColor, windows_.SysColor(kColorInfoBk));
    windows_.SendToolTip(toolTip_, kTtmSetTipTextColor, windows_.SysColor(kColorInfoText));
}

std::uint32_t ClickHoverTracker::ToRgb(Color color) {
    // The tool-tip wants RGB values; a system-colour reference is resolved now.
    if ((color & 0xFF000000u) == kTipSystemColor) return windows_.SysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}

void ClickHoverTracker::ResetHoverRect() { rect_ = {}; }

void ClickHoverTracker::RefreshToolTipWindow() { toolTip_ = windows_.FindShellToolTip(); }

}  // namespace vesko
