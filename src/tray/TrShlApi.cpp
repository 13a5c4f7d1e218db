#include "tray/TrShlApi.h"

#include <algorithm>
#include <cstdlib>

#include "tray/TrayText.h"

namespace vesko {
namespace {

constexpr int kColorInfoText = 23;  // COLOR_INFOTEXT
constexpr int kColorInfoBk = 24;    // COLOR_INFOBK
constexpr std::uint32_t kStateMaskAll = kNisHidden | kNisSharedIcon;

}  // namespace

// ---------------------------------------------------------------------------
// TToolTipStyle

TToolTipStyle::TToolTipStyle(TrayWindows& windows) : windows_(windows) {
    toolTip_ = windows_.FindShellToolTip();
}

TToolTipStyle::~TToolTipStyle() {
    if (window_ != 0) {
        if (polling_) windows_.StopTimer(window_, kHoverTimerId);
        if (clickPending_) windows_.StopTimer(window_, kClickTimerId);
    }
    // Whatever UseDefault says now, the tip may have been recoloured earlier.
    RestoreToolTip();
}

void TToolTipStyle::Assign(const TToolTipStyle& source) {
    useDefault_ = source.useDefault_;
    backGroundColor_ = source.backGroundColor_;
    textColor_ = source.textColor_;
}

TColor TToolTipStyle::GetColor(int index) const { return index == 1 ? backGroundColor_ : textColor_; }

void TToolTipStyle::SetColor(int index, TColor value) {
    if (index == 1)
        backGroundColor_ = value;
    else
        textColor_ = value;
}

void TToolTipStyle::HandleMessage(const TrayMessageArgs& message) {
    using namespace traymsg;
    if (message.Msg == kCallback) {
        switch (message.LParam) {
            case kMouseMove: HoverStep(); break;
            // A press posted by DoubleClick carries -1 and arms nothing.
            case kLButtonDown: if (message.WParam >= 0) state_ |= kLeft; break;
            case kRButtonDown: if (message.WParam >= 0) state_ |= kRight; break;
            case kMButtonDown: if (message.WParam >= 0) state_ |= kMiddle; break;
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
                if (state_ & kLeft)
                    SendClick(0);
                else if (state_ & kRight)
                    SendClick(1);
                else
                    SendClick(2);
            }
        } else if (static_cast<std::uintptr_t>(message.WParam) == kHoverTimerId) {
            ExitCheck();
        }
    }
}

void TToolTipStyle::ButtonRelease(int button) {
    if (checkSingleDoubleClick_) {
        // The button stays in the set until the timer decides it was a click.
        if (!clickPending_ && windows_.StartTimer(window_, kClickTimerId, windows_.DoubleClickTime()))
            clickPending_ = true;
    } else {
        SendClick(button);
    }
}

void TToolTipStyle::DoubleClick(int button, std::uint32_t pressCode) {
    // The running timer stays; when it fires nothing is pending.
    clickPending_ = false;
    state_ &= static_cast<std::uint8_t>(~ButtonBit(button));
    // The shell reports a double click in place of the second press; a
    // synthetic press keeps down/up pairs balanced for the component.
    if (window_ != 0) windows_.Post(window_, traymsg::kCallback, -1, pressCode);
}

void TToolTipStyle::SendClick(int button) {
    if ((state_ & ButtonBit(button)) && window_ != 0)
        windows_.Send(window_, traymsg::kCallback, button, traymsg::kMouseClick);
    clickPending_ = false;
    state_ &= static_cast<std::uint8_t>(~ButtonBit(button));
}

void TToolTipStyle::GrowRect(int x, int y) {
    if (rect_.Empty()) {
        rect_ = {x, y, x, y};
        return;
    }
    if (x < rect_.Left)
        rect_.Left = x;
    else if (x > rect_.Right)
        rect_.Right = x;
    if (y < rect_.Top)
        rect_.Top = y;
    else if (y > rect_.Bottom)
        rect_.Bottom = y;
}

void TToolTipStyle::HoverStep() {
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

void TToolTipStyle::CursorEntered() {
    state_ |= kInside;
    if (!useDefault_ && toolTip_ != 0) {
        windows_.SendToolTip(toolTip_, kTtmSetTipBkColor, ToRgb(backGroundColor_));
        windows_.SendToolTip(toolTip_, kTtmSetTipTextColor, ToRgb(textColor_));
    }
    if (!polling_) polling_ = windows_.StartTimer(window_, kHoverTimerId, kPollPeriodMs);
    if (window_ != 0) windows_.Send(window_, traymsg::kCallback, 0, traymsg::kMouseEnter);
}

void TToolTipStyle::ExitCheck() {
    if (!CursorInside()) {
        windows_.StopTimer(window_, kHoverTimerId);
        polling_ = false;
        return;
    }
    const TrayPoint p = windows_.CursorPos();
    if (p.X < rect_.Left || p.X > rect_.Right || p.Y < rect_.Top || p.Y > rect_.Bottom) CursorLeft();
}

void TToolTipStyle::CursorLeft() {
    state_ &= static_cast<std::uint8_t>(~kInside);
    windows_.StopTimer(window_, kHoverTimerId);
    polling_ = false;
    if (!useDefault_) RestoreToolTip();
    if (window_ != 0) windows_.Send(window_, traymsg::kCallback, 0, traymsg::kMouseExit);
}

void TToolTipStyle::RestoreToolTip() {
    if (toolTip_ == 0) return;
    windows_.SendToolTip(toolTip_, kTtmPop, 0);
    windows_.SendToolTip(toolTip_, kTtmSetTipBkColor, windows_.SysColor(kColorInfoBk));
    windows_.SendToolTip(toolTip_, kTtmSetTipTextColor, windows_.SysColor(kColorInfoText));
}

std::uint32_t TToolTipStyle::ToRgb(TColor color) {
    // The tool-tip wants RGB values; a system-colour reference is resolved now.
    if ((color & 0xFF000000u) == clSystemColor) return windows_.SysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}

void TToolTipStyle::ResetHoverRect() { rect_ = {}; }

void TToolTipStyle::RefreshToolTipWindow() { toolTip_ = windows_.FindShellToolTip(); }

// ---------------------------------------------------------------------------
// TTaskTrayIcon

TTaskTrayIcon::TTaskTrayIcon(ShellNotify& shell, TrayWindows& windows) : shell_(shell), windows_(windows) {
    TTrayIconWinProcList::Join(this, windows_);
    tracker_ = std::make_unique<TToolTipStyle>(windows_);
    shellVersion_ = shell_.ShellVersion();
    record_ = NotifyIconRecord{};
}

TTaskTrayIcon::~TTaskTrayIcon() {
    // The owner may be half destroyed already: it hears nothing more.
    owner_ = nullptr;
    errorSink_ = nullptr;
    tracker_.reset();
    // Also removes an icon that was only hidden.
    DeleteIcon();
    if (window_ != 0) {
        const WindowHandle window = window_;
        window_ = 0;  // its last messages get default processing
        windows_.DestroyHiddenWindow(window);
    }
    TTrayIconWinProcList::Leave(this);
}

std::string TTaskTrayIcon::Cut(const std::string& text, std::size_t limit) const {
    return CutToUnits(text, limit, [this](char32_t c) { return shell_.TextUnits(c); });
}

void TTaskTrayIcon::SetTip(const std::string& text) {
    if (IsShell5OrLater())
        record_.Tip = Cut(text, kTipLimitV5);  // CR LF stays: a multi-line tip
    else
        record_.Tip = Cut(CrLfToBlank(text), kTipLimitOld);
}

void TTaskTrayIcon::SetBalloonTitle(const std::string& text) { record_.InfoTitle = Cut(text, kBalloonTitleLimit); }

void TTaskTrayIcon::SetBalloonText(const std::string& text) { record_.Info = Cut(text, kBalloonTextLimit); }

void TTaskTrayIcon::PrepareRecord() {
    if (IsShell5OrLater()) {
        record_.Layout = RecordLayout::Version5;
        record_.State = kNisSharedIcon;
        record_.StateMask = 0;
        record_.InfoFlags = 0;
    } else {
        record_.Layout = RecordLayout::Old;
    }
    if (window_ == 0) {
        window_ = windows_.CreateHiddenWindow();
        tracker_->SetWindow(window_);
    }
    record_.Window = window_;
    record_.ID = kIconId;
    record_.CallbackMessage = traymsg::kCallback;
    record_.Flags = kNifMessage | kNifIcon | kNifTip;
}

bool TTaskTrayIcon::AddIcon() {
    if (shown_) return true;
    PrepareRecord();
    if (record_.Icon == 0) return false;
    if (doForegroundWindow_) windows_.SetForeground(window_);
    if (added_) {
        // Hidden by state: show it again rather than adding a second one.
        record_.State = 0;
        record_.Flags |= kNifState;
        record_.StateMask = kStateMaskAll;
        if (shell_.NotifyIcon(NotifyCommand::Modify, record_)) shown_ = true;
        return shown_;
    }
    if (shell_.NotifyIcon(NotifyCommand::Add, record_)) {
        SetFlags(true, true);
        tracker_->ResetHoverRect();
        return true;
    }
    return RetryTimedOutAdd();
}

bool TTaskTrayIcon::RetryTimedOutAdd() {
    // A busy shell can time out and still have taken the add, so each step
    // first tries a modify, then a fresh add.
    for (int counter = kRetrySteps - 1;; --counter) {
        if (shell_.LastError() != kErrorTimeout) throw ENotifyIconError(kNotifyIconAddFailed);
        shell_.Sleep(kRetryPauseMs);
        SetFlags(true, true);
        if (shell_.NotifyIcon(NotifyCommand::Modify, record_)) break;
        SetFlags(false, false);
        if (doForegroundWindow_) windows_.SetForeground(window_);
        if (shell_.NotifyIcon(NotifyCommand::Add, record_)) break;
        if (counter == 0) throw ENotifyIconError(kNotifyIconModifyFailed);
    }
    SetFlags(true, true);
    tracker_->ResetHoverRect();
    return true;
}

bool TTaskTrayIcon::ModifyIcon() {
    if (!shown_) return AddIcon();
    if (record_.Icon == 0) return false;
    if (doForegroundWindow_) windows_.SetForeground(window_);
    if (!shell_.NotifyIcon(NotifyCommand::Modify, record_) && shell_.LastError() != kErrorTimeout) {
        // The shell lost the icon: add it afresh, quietly.
        SetFlags(false, false);
        try {
            AddIcon();
        } catch (const ENotifyIconError&) {
        }
    }
    return shown_;
}

bool TTaskTrayIcon::HideIcon() {
    if (!IsShell5OrLater() || !hideByState_) return DeleteIcon();
    if (!added_ || !shown_) return true;
    record_.Flags = kNifState;
    record_.State = kNisHidden;
    record_.StateMask = kStateMaskAll;
    const bool ok = shell_.NotifyIcon(NotifyCommand::Modify, record_);
    record_.State = 0;
    shown_ = false;
    return ok;
}

bool TTaskTrayIcon::DeleteIcon() {
    if (!added_) return true;
    const bool ok = shell_.NotifyIcon(NotifyCommand::Delete, record_);
    SetFlags(false, false);
    return ok;
}

void TTaskTrayIcon::ReportError(const std::exception& error) {
    if (errorSink_) errorSink_(error);
}

std::intptr_t TTaskTrayIcon::HandleMessage(std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam) {
    const TTrayIconWinProcList* list = TTrayIconWinProcList::Instance();
    if (list != nullptr && msg != 0 && msg == list->TaskbarCreatedMessage()) {
        // The old tool-tip window went with the old taskbar.
        if (tracker_) tracker_->RefreshToolTipWindow();
        if (added_) {
            const bool wasShown = shown_;
            SetFlags(false, false);
            if (wasShown) {
                // The restart notice below must come even if the shell is
                // not ready yet; the error goes to the owner's error event.
                try {
                    AddIcon();
                } catch (const ENotifyIconError& e) {
                    // The message can also come without a real restart, and
                    // then the shell still holds the icon and refuses a second
                    // add: bring that one up to date instead.
                    SetFlags(true, true);
                    if (!shell_.NotifyIcon(NotifyCommand::Modify, record_)) {
                        SetFlags(false, false);
                        ReportError(e);
                    }
                }
            }
        }
        if (owner_) {
            TrayMessageArgs notice{traymsg::kTaskbarRestarted, wParam, lParam, 0};
            owner_(notice);
        }
    }
    TrayMessageArgs message{msg, wParam, lParam, 0};
    if (tracker_) tracker_->HandleMessage(message);
    if (owner_) {
        owner_(message);
        return message.Result;
    }
    return windows_.DefaultProc(window_, msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// TTrayIconWinProcList

TTrayIconWinProcList* TTrayIconWinProcList::instance_ = nullptr;

TTrayIconWinProcList::TTrayIconWinProcList(TrayWindows& windows) : windows_(windows) {
    windows_.RegisterTrayClass();
    taskbarCreated_ = windows_.RegisterTaskbarCreatedMessage();
}

TTrayIconWinProcList::~TTrayIconWinProcList() { windows_.UnregisterTrayClass(); }

void TTrayIconWinProcList::Join(TTaskTrayIcon* icon, TrayWindows& windows) {
    if (instance_ == nullptr) instance_ = new TTrayIconWinProcList(windows);
    instance_->icons_.push_back(icon);
}

void TTrayIconWinProcList::Leave(TTaskTrayIcon* icon) {
    if (instance_ == nullptr) return;
    auto& icons = instance_->icons_;
    icons.erase(std::remove(icons.begin(), icons.end(), icon), icons.end());
    if (icons.empty()) {
        delete instance_;
        instance_ = nullptr;
    }
}

bool TTrayIconWinProcList::Dispatch(WindowHandle window, std::uint32_t msg, std::intptr_t wParam,
                                    std::intptr_t lParam, std::intptr_t& result) {
    if (instance_ == nullptr || window == 0) return false;
    TTaskTrayIcon* owner = nullptr;
    for (TTaskTrayIcon* icon : instance_->icons_) {
        if (icon->Window() == window) {
            owner = icon;
            break;
        }
    }
    if (owner == nullptr) return false;
    result = 0;
    // Nothing may unwind through the system's window procedure.
    try {
        result = owner->HandleMessage(msg, wParam, lParam);
    } catch (const std::exception& e) {
        try {
            owner->ReportError(e);
        } catch (...) {
        }
    } catch (...) {
    }
    return true;
}

}  // namespace vesko
