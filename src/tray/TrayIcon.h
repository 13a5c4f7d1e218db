#pragma once
// TrayIcon: the program's one icon in the notification area, with its tip,
// its icon chosen from named icon resources, mouse events and popup menus.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tray/ShellIcon.h"
#include "tray/TrayPlatform.h"

namespace vesko {

enum class TrayButton { Left, Right, Middle };

using HeldButtons = std::uint8_t;
inline constexpr HeldButtons kNoButtonHeld = 0;
inline constexpr HeldButtons kLeftHeld = 1;
inline constexpr HeldButtons kRightHeld = 2;
inline constexpr HeldButtons kMiddleHeld = 4;

class TrayIcon {
public:
    using NotifyEvent = std::function<void(TrayIcon& sender)>;
    using MouseEvent = std::function<void(TrayIcon& sender, TrayButton button, HeldButtons shift, int x, int y)>;
    using MouseMoveEvent = std::function<void(TrayIcon& sender, HeldButtons shift, int x, int y)>;
    using ErrorEvent = std::function<void(TrayIcon& sender, const std::string& message)>;

    // Starts in the loading state: setters only store until Loaded(), as for
    // while the owner finishes setting it up.
    TrayIcon(ShellNotify& shell, TrayWindows& windows, TrayHost& host);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Ends loading and shows the icon if it should show.
    void Loaded();
    bool Loading() const { return loading_; }

    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    // An explicit icon (copied; 0 clears it) takes precedence over the resources.
    IconHandle Icon() const { return icon_; }
    void SetIcon(IconHandle icon);
    const std::string& TipHelp() const { return tipHelp_; }
    void SetTipHelp(const std::string& text);
    // A deferred tip reaches the shell only when somebody can see it: while
    // the cursor is over the icon, and when it arrives there. It is sent
    // alone, so the shell does not redraw the icon for a new text.
    bool TipDeferred() const { return tipDeferred_; }
    void SetTipDeferred(bool value) { tipDeferred_ = value; }
    bool Minimized() const { return minimized_; }
    void SetMinimized(bool value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool HideOnTaskBar() const { return hideOnTaskBar_; }
    void SetHideOnTaskBar(bool value) { hideOnTaskBar_ = value; }
    // Reading resets an index beyond a shrunk list to 0.
    int ResourceIconID();
    void SetResourceIconID(int value);
    const std::vector<std::string>& ResourceIconList() const { return resourceIconList_; }
    void SetResourceIconList(const std::vector<std::string>& names);
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t milliseconds);

    bool DoForegroundWindow() const { return shellIcon_->DoForegroundWindow(); }
    void SetDoForegroundWindow(bool value) { shellIcon_->SetDoForegroundWindow(value); }
    bool CheckSingleDoubleClick() const { return shellIcon_->Tracker().CheckSingleDoubleClick(); }
    void SetCheckSingleDoubleClick(bool value) { shellIcon_->Tracker().SetCheckSingleDoubleClick(value); }
    ClickHoverTracker& Tracker() { return shellIcon_->Tracker(); }
    vesko::ToolTipStyle& TipStyle() { return shellIcon_->Tracker().Style(); }
    void SetBalloonHelpTitle(const std::string& text) { shellIcon_->SetBalloonTitle(text); }
    std::string BalloonHelpTitle() const { return shellIcon_->BalloonTitle(); }
    void SetBalloonHelpText(const std::string& text) { shellIcon_->SetBalloonText(text); }
    std::string BalloonHelpText() const { return shellIcon_->BalloonText(); }
    void SetBalloonHelpTimeOut(std::uint32_t ms) { shellIcon_->SetBalloonTimeOut(ms); }
    std::uint32_t BalloonHelpTimeOut() const { return shellIcon_->BalloonTimeOut(); }
    void SetBalloonHelpIcon(BalloonIconKind type) { shellIcon_->SetBalloonIcon(type); }
    BalloonIconKind BalloonHelpIcon() const { return shellIcon_->BalloonIcon(); }

    // Not owned; the owner calls Notification when it destroys a menu.
    MenuHandle LButtonPopupMenu = 0;
    MenuHandle RButtonPopupMenu = 0;
    void Notification(MenuHandle removedMenu);

    NotifyEvent OnDoubleClick;
    NotifyEvent OnRightDoubleClick;
    MouseMoveEvent OnMouseMove;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    NotifyEvent OnIconAnimation;
    NotifyEvent OnMouseEnter;
    NotifyEvent OnMouseExit;
    MouseEvent OnMouseClick;
    NotifyEvent OnRestartTaskbar;
    // An error raised while the hidden window handled a message (for example a
    // failed re-add after a taskbar restart); there is no caller to take it.
    ErrorEvent OnError;

    bool IsShell5OrLater() const { return shellIcon_->IsShell5OrLater(); }

    // The application window was minimised or restored (the owner forwards
    // these from its WM_SIZE / WM_SYSCOMMAND handling).
    void ApplicationMinimize();
    void ApplicationRestore();

    // The hidden window's messages, after the tracker has seen them.
    void TrayMessage(TrayMessageArgs& message);

    ShellIcon& Shell() { return *shellIcon_; }
    bool AnimationRunning() const { return animationRunning_; }

    static constexpr std::uint32_t kMinInterval = 50;
    static constexpr std::uintptr_t kAnimationTimerId = 9;

private:
    bool ShouldShow();
    bool DoShow();
    void DoHide();
    void DoRefresh();
    void PushTipIfSeen();
    IconHandle CurrentIconHandle();
    void ReleaseIcon();
    void UpdateAnimation();
    void StopAnimation();
    void AnimationStep();
    void ButtonDown(MenuHandle menu, TrayButton button, HeldButtons shift);

    TrayWindows& windows_;
    TrayHost& host_;
    IconHandle resourceIcon_ = 0;  // owned; loaded from resourceIconName_
    std::string resourceIconName_;
    bool autoPopup_ = true;
    IconHandle icon_ = 0;  // owned copy
    std::unique_ptr<ShellIcon> shellIcon_;
    int resourceIconID_ = -1;
    std::vector<std::string> resourceIconList_;
    bool visible_ = true;
    bool minimized_ = false;
    bool hideOnTaskBar_ = false;
    std::uint32_t interval_ = 0;
    bool animationRunning_ = false;
    std::string tipHelp_;
    bool tipDeferred_ = false;
    bool loading_ = true;
};

}  // namespace vesko
