#include "tray/TrayIcon.h"

#include "base/Trace.h"

namespace vesko {

TrayIcon::TrayIcon(ShellNotify& shell, TrayWindows& windows, TrayHost& host) : windows_(windows), host_(host) {
    shellIcon_ = std::make_unique<ShellIcon>(shell, windows);
    shellIcon_->SetOwnerCallback([this](TrayMessageArgs& message) { TrayMessage(message); });
    shellIcon_->SetErrorSink([this](const std::exception& error) {
        if (OnError) OnError(*this, error.what());
    });
    SetAutoPopup(true);
    SetTipHelp("TipHelp");
    SetVisible(true);
    SetResourceIconID(-1);
    SetMinimized(false);
    SetHideOnTaskBar(false);
    SetInterval(0);
}

TrayIcon::~TrayIcon() {
    Guarded("hiding the tray icon", [&] { DoHide(); });
    StopAnimation();
    // Deletes the shell icon, even a hidden one, and the hidden window.
    shellIcon_.reset();
    ReleaseIcon();
    if (resourceIcon_ != 0) host_.DestroyIcon(resourceIcon_);
}

void TrayIcon::Loaded() {
    loading_ = false;
    if (ShouldShow()) DoShow();
}

bool TrayIcon::ShouldShow() { return visible_ && (!minimized_ || host_.IsApplicationIconic()); }

bool TrayIcon::DoShow() {
    shellIcon_->SetIconHandle(CurrentIconHandle());
    if (!shellIcon_->AddIcon()) return false;
    UpdateAnimation();
    visible_ = true;
    return true;
}

void TrayIcon::DoHide() {
    StopAnimation();
    shellIcon_->HideIcon();
}

void TrayIcon::DoRefresh() {
    shellIcon_->SetIconHandle(CurrentIconHandle());
    if (ShouldShow()) shellIcon_->ModifyIcon();
}

IconHandle TrayIcon::CurrentIconHandle() {
    if (icon_ != 0) return icon_;
    const int id = ResourceIconID();
    if (resourceIconList_.empty() || id < 0) return host_.ApplicationIcon();
    const std::string& name = resourceIconList_[static_cast<std::size_t>(id)];
    // The tick sets the index every second; load only when the name changes.
    if (resourceIcon_ == 0 || name != resourceIconName_) {
        const IconHandle loaded = host_.LoadResourceIcon(name);
        if (resourceIcon_ != 0) host_.DestroyIcon(resourceIcon_);
        resourceIcon_ = loaded;
        resourceIconName_ = name;
    }
    return resourceIcon_;
}

void TrayIcon::ReleaseIcon() {
    if (icon_ != 0) host_.DestroyIcon(icon_);
    icon_ = 0;
}

void TrayIcon::SetIcon(IconHandle icon) {
    ReleaseIcon();
    if (icon != 0) icon_ = host_.CopyIcon(icon);
    if (!loading_) DoRefresh();
}

void TrayIcon::SetTipHelp(const std::string& text) {
    tipHelp_ = text;
    shellIcon_->SetTip(text);
    if (loading_) return;
    if (tipDeferred_) PushTipIfSeen();
    else DoRefresh();
}

void TrayIcon::PushTipIfSeen() {
    if (Tracker().CursorInside() && ShouldShow()) shellIcon_->ModifyTip();
}

void TrayIcon::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    if (loading_) return;
    if (ShouldShow()) DoShow();
    else DoHide();
}

void TrayIcon::SetMinimized(bool value) {
    if (value == minimized_) return;
    minimized_ = value;
    if (loading_) return;
    if (ShouldShow()) DoRefresh();
    else DoHide();
}

int TrayIcon::ResourceIconID() {
    if (resourceIconID_ >= static_cast<int>(resourceIconList_.size())) resourceIconID_ = 0;
    return resourceIconID_;
}

void TrayIcon::SetResourceIconID(int value) {
    // 0 is let through again: it is how a caller drops an explicit icon.
    if (value == resourceIconID_ && value != 0) return;
    ReleaseIcon();
    if (loading_) {
        resourceIconID_ = value;
        return;
    }
    const int count = static_cast<int>(resourceIconList_.size());
    if (value >= count) value = count - 1;
    if (value < 0) value = -1;
    resourceIconID_ = value;
    // Also puts the new handle into the record when the icon is not showing,
    // so that it never keeps the released one.
    DoRefresh();
}

void TrayIcon::SetResourceIconList(const std::vector<std::string>& names) {
    if (loading_ || resourceIconList_.empty()) {
        resourceIconList_ = names;
        if (!loading_ && ShouldShow()) DoRefresh();
        return;
    }
    if (resourceIconID_ < 0) {
        // No resource icon is selected, so nothing shown depends on the list.
        resourceIconList_ = names;
        return;
    }
    const std::string before = resourceIconList_[static_cast<std::size_t>(ResourceIconID())];
    resourceIconList_ = names;
    SetResourceIconID(ResourceIconID());
    const bool changed = resourceIconID_ < 0 || resourceIconList_[static_cast<std::size_t>(resourceIconID_)] != before;
    if (changed && ShouldShow()) DoRefresh();
}

void TrayIcon::SetInterval(std::uint32_t milliseconds) {
    if (milliseconds == interval_) return;
    if (milliseconds > 0 && milliseconds < kMinInterval) milliseconds = kMinInterval;
    interval_ = milliseconds;
    if (!loading_) UpdateAnimation();
}

void TrayIcon::Notification(MenuHandle removedMenu) {
    if (removedMenu == 0) return;
    if (LButtonPopupMenu == removedMenu) LButtonPopupMenu = 0;
    if (RButtonPopupMenu == removedMenu) RButtonPopupMenu = 0;
}

void TrayIcon::ApplicationMinimize() {
    if (visible_ && minimized_) DoShow();
    if (visible_ && hideOnTaskBar_) host_.HideApplicationWindow();
}

void TrayIcon::ApplicationRestore() {
    if (minimized_) {
        DoHide();
        host_.BringApplicationToFront();
    }
}

// The animation runs as a timer of the hidden window, so each step is a
// message of the GUI thread like every other change of the icon.
void TrayIcon::UpdateAnimation() {
    if (visible_ && interval_ != 0) {
        const WindowHandle window = shellIcon_->Window();
        if (window != 0) animationRunning_ = windows_.StartTimer(window, kAnimationTimerId, interval_);
    } else {
        StopAnimation();
    }
}

void TrayIcon::StopAnimation() {
    if (!animationRunning_) return;
    windows_.StopTimer(shellIcon_->Window(), kAnimationTimerId);
    animationRunning_ = false;
}

void TrayIcon::AnimationStep() {
    if (OnIconAnimation) {
        OnIconAnimation(*this);
        DoRefresh();
        return;
    }
    int next = ResourceIconID() + 1;
    if (next >= static_cast<int>(resourceIconList_.size())) next = 0;
    SetResourceIconID(next);
}

void TrayIcon::ButtonDown(MenuHandle menu, TrayButton button, HeldButtons shift) {
    // Read when handled: the shell's message carries no position.
    const TrayPoint p = windows_.CursorPos();
    if (menu != 0 && autoPopup_) {
        // A menu of a background window would not close when clicked away.
        host_.BringApplicationToFront();
        host_.PopupMenu(menu, p);
    } else if (OnMouseDown) {
        OnMouseDown(*this, button, shift, p.X, p.Y);
    }
}

void TrayIcon::TrayMessage(TrayMessageArgs& message) {
    using namespace traymsg;
    switch (message.Msg) {
        case kCallback: break;
        case kQueryEndSession:
            message.Result = 1;  // never object to log-off or shutdown
            return;
        case kTimer:
            if (static_cast<std::uintptr_t>(message.WParam) == kAnimationTimerId) {
                if (visible_ && interval_ != 0) AnimationStep();
                else StopAnimation();
            }
            return;
        case kTaskbarRestarted:
            StopAnimation();
            if (visible_ && interval_ != 0) UpdateAnimation();
            if (OnRestartTaskbar) OnRestartTaskbar(*this);
            return;
        default: return;
    }

    auto mouse = [&](const MouseEvent& event, TrayButton button, HeldButtons shift) {
        if (!event) return;
        const TrayPoint p = windows_.CursorPos();
        event(*this, button, shift, p.X, p.Y);
    };
    auto notify = [&](const NotifyEvent& event) {
        if (event) event(*this);
    };
    switch (message.LParam) {
        case kMouseMove:
            if (OnMouseMove) {
                const TrayPoint p = windows_.CursorPos();
                OnMouseMove(*this, kNoButtonHeld, p.X, p.Y);
            }
            break;
        case kLButtonDown: ButtonDown(LButtonPopupMenu, TrayButton::Left, kLeftHeld); break;
        case kLButtonUp: mouse(OnMouseUp, TrayButton::Left, kLeftHeld); break;
        case kLButtonDblClk: notify(OnDoubleClick); break;
        case kRButtonDown: ButtonDown(RButtonPopupMenu, TrayButton::Right, kRightHeld); break;
        case kRButtonUp: mouse(OnMouseUp, TrayButton::Right, kRightHeld); break;
        case kRButtonDblClk: notify(OnRightDoubleClick); break;
        case kMButtonDown: mouse(OnMouseDown, TrayButton::Middle, kMiddleHeld); break;
        case kMButtonUp: mouse(OnMouseUp, TrayButton::Middle, kMiddleHeld); break;
        case kMouseEnter:
            // The tip shows from now on: bring the shell's copy up to date.
            if (tipDeferred_) PushTipIfSeen();
            notify(OnMouseEnter);
            break;
        case kMouseExit: notify(OnMouseExit); break;
        case kMouseClick:
            if (message.WParam >= 0 && message.WParam <= 2)
                mouse(OnMouseClick, static_cast<TrayButton>(message.WParam), kNoButtonHeld);
            break;
        default: break;
    }
}

}  // namespace vesko
