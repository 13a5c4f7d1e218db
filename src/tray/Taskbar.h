#pragma once
// TTrayIcon: the program's one icon in the notification area, with its tip,
// its icon chosen from named icon resources, mouse events and popup menus.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tray/TrShlApi.h"
#include "tray/TrayPlatform.h"

namespace vesko {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

using TShiftState = std::uint8_t;
inline constexpr TShiftState ssNone = 0;
inline constexpr TShiftState ssLeft = 1;
inline constexpr TShiftState ssRight = 2;
inline constexpr TShiftState ssMiddle = 4;

class TTrayIcon {
public:
    using TNotifyEvent = std::function<void(TTrayIcon& sender)>;
    using TMouseEvent = std::function<void(TTrayIcon& sender, TMouseButton button, TShiftState shift, int x, int y)>;
    using TMouseMoveEvent = std::function<void(TTrayIcon& sender, TShiftState shift, int x, int y)>;
    using TErrorEvent = std::function<void(TTrayIcon& sender, const std::string& message)>;

    // Starts in the loading state: setters only store until Loaded(), as for
    // a component streamed in with its form.
    TTrayIcon(ShellNotify& shell, TrayWindows& windows, TrayHost& host);
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

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

    bool DoForegroundWindow() const { return taskTrayIcon_->DoForegroundWindow(); }
    void SetDoForegroundWindow(bool value) { taskTrayIcon_->SetDoForegroundWindow(value); }
    bool CheckSingleDoubleClick() const { return taskTrayIcon_->Tracker().CheckSingleDoubleClick(); }
    void SetCheckSingleDoubleClick(bool value) { taskTrayIcon_->Tracker().SetCheckSingleDoubleClick(value); }
    TToolTipStyle& ToolTipStyle() { return taskTrayIcon_->Tracker(); }
    void SetBalloonHelpTitle(const std::string& text) { taskTrayIcon_->SetBalloonTitle(text); }
    std::string BalloonHelpTitle() const { return taskTrayIcon_->BalloonTitle(); }
    void SetBalloonHelpText(const std::string& text) { taskTrayIcon_->SetBalloonText(text); }
    std::string BalloonHelpText() const { return taskTrayIcon_->BalloonText(); }
    void SetBalloonHelpTimeOut(std::uint32_t ms) { taskTrayIcon_->SetBalloonTimeOut(ms); }
    std::uint32_t BalloonHelpTimeOut() const { return taskTrayIcon_->BalloonTimeOut(); }
    void SetBalloonHelpIcon(TBalloonIconType type) { taskTrayIcon_->SetBalloonIcon(type); }
    TBalloonIconType BalloonHelpIcon() const { return taskTrayIcon_->BalloonIcon(); }

    // Not owned; the owner calls Notification when it destroys a menu.
    MenuHandle LButtonPopupMenu = 0;
    MenuHandle RButtonPopupMenu = 0;
    void Notification(MenuHandle removedMenu);

    TNotifyEvent OnDblClick;
    TNotifyEvent OnRDblClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnIconAnimation;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TMouseEvent OnMouseClick;
    TNotifyEvent OnRestartTaskbar;
    // An error raised while the hidden window handled a message (for example a
    // failed re-add after a taskbar restart); there is no caller to take it.
    TErrorEvent OnError;

    bool IsShell5OrLater() const { return taskTrayIcon_->IsShell5OrLater(); }

    // The application window was minimised or restored (the owner forwards
    // these from its WM_SIZE / WM_SYSCOMMAND handling).
    void ApplicationMinimize();
    void ApplicationRestore();

    // The hidden window's messages, after the tracker has seen them.
    void TrayMessage(TrayMessageArgs& message);

    TTaskTrayIcon& TaskTrayIcon() { return *taskTrayIcon_; }
    bool AnimationRunning() const { return animationRunning_; }

    static constexpr std::uint32_t kMinInterval = 50;
    static constexpr std::uintptr_t kAnimationTimerId = 9;

private:
    bool ShouldShow();
    bool DoShow();
    void DoHide();
    void DoRefresh();
    IconHandle CurrentIconHandle();
    void ReleaseIcon();
    void UpdateAnimation();
    void StopAnimation();
    void AnimationStep();
    void ButtonDown(MenuHandle menu, TMouseButton button, TShiftState shift);

    TrayWindows& windows_;
    TrayHost& host_;
    IconHandle resourceIcon_ = 0;  // owned; loaded from resourceIconName_
    std::string resourceIconName_;
    bool autoPopup_ = true;
    IconHandle icon_ = 0;  // owned copy
    std::unique_ptr<TTaskTrayIcon> taskTrayIcon_;
    int resourceIconID_ = -1;
    std::vector<std::string> resourceIconList_;
    bool visible_ = true;
    bool minimized_ = false;
    bool hideOnTaskBar_ = false;
    std::uint32_t interval_ = 0;
    bool animationRunning_ = false;
    std::string tipHelp_;
    bool loading_ = true;
};

}  // namespace vesko
