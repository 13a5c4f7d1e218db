#include "tray/ShellIcon.h"

#include <algorithm>
#include <cstdlib>

#include "base/Trace.h"
#include "tray/TrayText.h"

namespace vesko {
namespace {

constexpr std::uint32_t kStateMaskAll = kNisHidden | kNisSharedIcon;

}  // namespace

ShellIcon::ShellIcon(ShellNotify& shell, TrayWindows& windows) : shell_(shell), windows_(windows) {
    ShellIconRouter::Join(this, windows_);
    tracker_ = std::make_unique<ClickHoverTracker>(windows_);
    shellVersion_ = shell_.ShellVersion();
    record_ = NotifyIconRecord{};
}

ShellIcon::~ShellIcon() {
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
    ShellIconRouter::Leave(this);
}

std::string ShellIcon::Cut(const std::string& text, std::size_t limit) const {
    return CutToUnits(text, limit, [this](char32_t c) { return shell_.TextUnits(c); });
}

void ShellIcon::SetTip(const std::string& text) {
    std::string tip = IsShell5OrLater() ? Cut(text, kTipLimitV5)  // CR LF stays: a multi-line tip
                                        : Cut(CrLfToBlank(text), kTipLimitOld);
    if (tip == record_.Tip) return;
    record_.Tip = std::move(tip);
    tipStale_ = true;
}

bool ShellIcon::Notify(NotifyCommand command) {
    const bool ok = shell_.NotifyIcon(command, record_);
    if (ok && command != NotifyCommand::Delete && (record_.Flags & kNifTip)) tipStale_ = false;
    return ok;
}

bool ShellIcon::ModifyTip() {
    if (!tipStale_ || !shown_) return shown_;
    // The tip alone: with the icon in the call the shell would redraw it too.
    const std::uint32_t flags = record_.Flags;
    record_.Flags = kNifTip;
    const bool ok = Notify(NotifyCommand::Modify);
    record_.Flags = flags;
    if (ok || shell_.LastError() == kErrorTimeout) return shown_;
    return ModifyIcon();  // the shell lost the icon: ModifyIcon adds it again
}

void ShellIcon::SetBalloonTitle(const std::string& text) { record_.InfoTitle = Cut(text, kBalloonTitleLimit); }

void ShellIcon::SetBalloonText(const std::string& text) { record_.Info = Cut(text, kBalloonTextLimit); }

void ShellIcon::PrepareRecord() {
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

bool ShellIcon::AddIcon() {
    if (shown_) return true;
    PrepareRecord();
    if (record_.Icon == 0) return false;
    if (doForegroundWindow_) windows_.SetForeground(window_);
    if (added_) {
        // Hidden by state: show it again rather than adding a second one.
        record_.State = 0;
        record_.Flags |= kNifState;
        record_.StateMask = kStateMaskAll;
        if (Notify(NotifyCommand::Modify)) shown_ = true;
        return shown_;
    }
    if (Notify(NotifyCommand::Add)) return MarkShown();
    const std::uint32_t error = shell_.LastError();
    // The shell may hold the icon already (a spurious failure, a lost flag,
    // a busy shell that took the add): bring that one up to date.
    if (Notify(NotifyCommand::Modify)) return MarkShown();
    if (error != kErrorTimeout) throw NotifyIconError(kNotifyIconAddFailed);
    // A busy shell is asked again later by timer, never by sleeping here.
    retriesLeft_ = kRetrySteps;
    windows_.StartTimer(window_, kRetryTimerId, kRetryPauseMs);
    return false;
}

bool ShellIcon::MarkShown() {
    SetFlags(true, true);
    retriesLeft_ = 0;
    windows_.StopTimer(window_, kRetryTimerId);
    tracker_->ResetHoverRect();
    return true;
}

void ShellIcon::RetryTimedOutAdd() {
    windows_.StopTimer(window_, kRetryTimerId);
    if (shown_ || added_ || retriesLeft_ <= 0) return;
    --retriesLeft_;
    // Each step first tries a modify (the shell may have taken the add), then a fresh add.
    if (Notify(NotifyCommand::Modify)) {
        MarkShown();
        return;
    }
    if (doForegroundWindow_) windows_.SetForeground(window_);
    if (Notify(NotifyCommand::Add)) {
        MarkShown();
        return;
    }
    if (shell_.LastError() != kErrorTimeout) {
        retriesLeft_ = 0;
        ReportError(NotifyIconError(kNotifyIconAddFailed));
    } else if (retriesLeft_ == 0) {
        ReportError(NotifyIconError(kNotifyIconModifyFailed));
    } else {
        windows_.StartTimer(window_, kRetryTimerId, kRetryPauseMs);
    }
}

bool ShellIcon::ModifyIcon() {
    if (!shown_) return AddIcon();
    if (record_.Icon == 0) return false;
    if (doForegroundWindow_) windows_.SetForeground(window_);
    if (!Notify(NotifyCommand::Modify) && shell_.LastError() != kErrorTimeout) {
        // The shell lost the icon: add it afresh, quietly.
        SetFlags(false, false);
        try {
            AddIcon();
        } catch (const NotifyIconError&) {
            TraceCurrentException("adding the tray icon afresh");
        }
    }
    return shown_;
}

bool ShellIcon::HideIcon() {
    if (!IsShell5OrLater() || !hideByState_) return DeleteIcon();
    if (!added_ || !shown_) return true;
    record_.Flags = kNifState;
    record_.State = kNisHidden;
    record_.StateMask = kStateMaskAll;
    const bool ok = Notify(NotifyCommand::Modify);
    record_.State = 0;
    shown_ = false;
    return ok;
}

bool ShellIcon::DeleteIcon() {
    if (!added_) return true;
    const bool ok = Notify(NotifyCommand::Delete);
    SetFlags(false, false);
    return ok;
}

void ShellIcon::ReportError(const std::exception& error) {
    if (errorSink_) errorSink_(error);
}

std::intptr_t ShellIcon::HandleMessage(std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam) {
    const ShellIconRouter* list = ShellIconRouter::Instance();
    if (list != nullptr && msg != 0 && msg == list->TaskbarCreatedMessage()) {
        // The old tool-tip window went with the old taskbar.
        if (tracker_) tracker_->RefreshToolTipWindow();
        if (added_) {
            const bool wasShown = shown_;
            SetFlags(false, false);
            if (wasShown) {
                // The restart notice below must come even if the shell is
                // not ready yet; the error goes to the owner's error event.
                // The message can also come without a real restart, and then
                // the shell still holds the icon and refuses a second add: the
                // add's own modify brings that one up to date.
                try {
                    AddIcon();
                } catch (const NotifyIconError& e) {
                    SetFlags(false, false);
                    ReportError(e);
                }
            }
        }
        if (owner_) {
            TrayMessageArgs notice{traymsg::kTaskbarRestarted, wParam, lParam, 0};
            owner_(notice);
        }
    }
    if (msg == traymsg::kTimer && static_cast<std::uintptr_t>(wParam) == kRetryTimerId) {
        RetryTimedOutAdd();
        return 0;
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
// ShellIconRouter

ShellIconRouter* ShellIconRouter::instance_ = nullptr;

ShellIconRouter::ShellIconRouter(TrayWindows& windows) : windows_(windows) {
    windows_.RegisterTrayClass();
    taskbarCreated_ = windows_.RegisterTaskbarCreatedMessage();
}

ShellIconRouter::~ShellIconRouter() { windows_.UnregisterTrayClass(); }

void ShellIconRouter::Join(ShellIcon* icon, TrayWindows& windows) {
    if (instance_ == nullptr) instance_ = new ShellIconRouter(windows);
    instance_->icons_.push_back(icon);
}

void ShellIconRouter::Leave(ShellIcon* icon) {
    if (instance_ == nullptr) return;
    auto& icons = instance_->icons_;
    icons.erase(std::remove(icons.begin(), icons.end(), icon), icons.end());
    if (icons.empty()) {
        delete instance_;
        instance_ = nullptr;
    }
}

bool ShellIconRouter::Dispatch(WindowHandle window, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam,
                               std::intptr_t& result) {
    if (instance_ == nullptr || window == 0) return false;
    ShellIcon* owner = nullptr;
    for (ShellIcon* icon : instance_->icons_) {
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
        TraceCurrentException("tray icon window procedure");
        Guarded("tray icon error event", [&] { owner->ReportError(e); });
    } catch (...) {
        TraceCurrentException("tray icon window procedure");
    }
    return true;
}

}  // namespace vesko
