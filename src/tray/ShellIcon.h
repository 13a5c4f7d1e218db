#pragma once
// The shell side of the tray icon: the notification icon with its hidden
// window, and the process-wide routing of the hidden windows' messages.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tray/ClickHoverTracker.h"
#include "tray/TrayPlatform.h"

namespace vesko {

enum class BalloonIconKind : std::uint32_t { None = 0, Info = 1, Warning = 2, Error = 3 };

// The shell-side half of the tray icon: the notification record, the hidden
// window and the add, modify, hide and delete calls. Re-adds the icon by
// itself when the taskbar is re-created.
class ShellIcon {
public:
    using OwnerCallback = std::function<void(TrayMessageArgs&)>;
    using ErrorSink = std::function<void(const std::exception&)>;

    // Every icon of a process must use the same TrayWindows.
    ShellIcon(ShellNotify& shell, TrayWindows& windows);
    ~ShellIcon();
    ShellIcon(const ShellIcon&) = delete;
    ShellIcon& operator=(const ShellIcon&) = delete;

    // Stores the handle in the record; nothing reaches the shell.
    void SetIconHandle(IconHandle icon) { record_.Icon = icon; }
    IconHandle GetIconHandle() const { return record_.Icon; }

    // Each returns whether the icon is shown (Hide and Delete: whether the
    // shell took the call). A refused add tries a modify (the shell may hold
    // the icon already), then raises NotifyIconError; a shell that timed out
    // is asked again by timer (kRetrySteps times, kRetryPauseMs apart), and
    // the retries' final failure goes to the error sink.
    bool AddIcon();
    bool ModifyIcon();
    bool HideIcon();
    bool DeleteIcon();
    // Sends the tip alone, when the shell's copy is out of date and the icon
    // is shown; a shell that lost the icon gets it added again.
    bool ModifyTip();
    // The record's tip differs from the last one the shell took.
    bool TipStale() const { return tipStale_; }

    // Store only; the next add or modify carries them.
    void SetTip(const std::string& text);
    void SetBalloonTitle(const std::string& text);
    void SetBalloonText(const std::string& text);
    void SetBalloonTimeOut(std::uint32_t milliseconds) { record_.TimeOut = milliseconds; }
    void SetBalloonIcon(BalloonIconKind type) { record_.InfoFlags = static_cast<std::uint32_t>(type); }
    std::string BalloonTitle() const { return record_.InfoTitle; }
    std::string BalloonText() const { return record_.Info; }
    std::uint32_t BalloonTimeOut() const { return record_.TimeOut; }
    BalloonIconKind BalloonIcon() const { return static_cast<BalloonIconKind>(record_.InfoFlags & 3); }

    std::uint32_t ShellVersion() const { return shellVersion_; }
    bool IsShell5OrLater() const { return (shellVersion_ >> 16) >= 5; }
    bool DoForegroundWindow() const { return doForegroundWindow_; }
    void SetDoForegroundWindow(bool value) { doForegroundWindow_ = value; }
    bool HideByState() const { return hideByState_; }
    void SetHideByState(bool value) { hideByState_ = value; }

    void SetOwnerCallback(OwnerCallback callback) { owner_ = std::move(callback); }
    // Where errors raised while handling a window message go (a window
    // procedure cannot let them pass).
    void SetErrorSink(ErrorSink sink) { errorSink_ = std::move(sink); }
    void ReportError(const std::exception& error);

    // Every message of the hidden window; returns the window procedure's result.
    std::intptr_t HandleMessage(std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam);

    WindowHandle Window() const { return window_; }
    ClickHoverTracker& Tracker() { return *tracker_; }
    const NotifyIconRecord& Record() const { return record_; }
    bool Added() const { return added_; }
    bool Shown() const { return shown_; }

    static constexpr std::uint32_t kIconId = 1;
    static constexpr std::size_t kTipLimitV5 = 127;
    static constexpr std::size_t kTipLimitOld = 63;
    static constexpr std::size_t kBalloonTitleLimit = 63;
    static constexpr std::size_t kBalloonTextLimit = 255;
    static constexpr std::uint32_t kRetryPauseMs = 2000;
    static constexpr int kRetrySteps = 6;
    static constexpr std::uintptr_t kRetryTimerId = 11;
    bool RetryPending() const { return retriesLeft_ > 0; }

private:
    void PrepareRecord();
    bool Notify(NotifyCommand command);
    void RetryTimedOutAdd();
    bool MarkShown();
    void SetFlags(bool added, bool shown) { added_ = added, shown_ = shown; }
    std::string Cut(const std::string& text, std::size_t limit) const;

    ShellNotify& shell_;
    TrayWindows& windows_;
    std::uint32_t shellVersion_ = 0;
    WindowHandle window_ = 0;
    NotifyIconRecord record_;
    bool added_ = false;
    bool shown_ = false;
    bool hideByState_ = true;
    OwnerCallback owner_;
    ErrorSink errorSink_;
    std::unique_ptr<ClickHoverTracker> tracker_;
    bool doForegroundWindow_ = false;
    bool tipStale_ = false;
    int retriesLeft_ = 0;
};

// One per process: registers the hidden window class and "TaskbarCreated"
// while any tray icon exists, and routes each hidden window's messages to the
// icon that owns it. GUI thread only.
class ShellIconRouter {
public:
    static ShellIconRouter* Instance() { return instance_; }
    static void Join(ShellIcon* icon, TrayWindows& windows);
    static void Leave(ShellIcon* icon);
    // The shared window procedure: false when no icon owns the window, and
    // the caller does the default processing. Errors of the handler go to
    // that icon's error sink.
    static bool Dispatch(WindowHandle window, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam,
                         std::intptr_t& result);

    std::uint32_t TaskbarCreatedMessage() const { return taskbarCreated_; }
    std::size_t Count() const { return icons_.size(); }

private:
    explicit ShellIconRouter(TrayWindows& windows);
    ~ShellIconRouter();

    static ShellIconRouter* instance_;
    TrayWindows& windows_;
    std::vector<ShellIcon*> icons_;
    std::uint32_t taskbarCreated_ = 0;
};

}  // namespace vesko
