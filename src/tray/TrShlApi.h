#pragma once
// The shell side of the tray icon: the click and hover tracker, the
// notification icon with its hidden window, and the process-wide routing of
// the hidden windows' messages.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tray/TrayPlatform.h"

namespace vesko {

// Colours as the form stores them: a value whose top byte is 0xFF names a
// system colour (its low byte is the GetSysColor index).
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clSystemColor = 0xFF000000u;
inline constexpr TColor clWindowText = clSystemColor | 8;  // COLOR_WINDOWTEXT
inline constexpr TColor clInfoBk = clSystemColor | 24;     // COLOR_INFOBK
inline constexpr TColor clInfoText = clSystemColor | 23;   // COLOR_INFOTEXT

enum class TBalloonIconType : std::uint32_t { bitNone = 0, bitInfo = 1, bitWarning = 2, bitError = 3 };

// Tells single clicks from double clicks, notices the cursor entering and
// leaving the icon, and can recolour the taskbar's tool-tip while the cursor is
// over the icon. It reports to the hidden window with the codes 1234..1236.
class TToolTipStyle {
public:
    explicit TToolTipStyle(TrayWindows& windows);
    ~TToolTipStyle();
    TToolTipStyle(const TToolTipStyle&) = delete;
    TToolTipStyle& operator=(const TToolTipStyle&) = delete;

    // Copies the published values (UseDefault and both colours).
    void Assign(const TToolTipStyle& source);

    bool CheckSingleDoubleClick() const { return checkSingleDoubleClick_; }
    void SetCheckSingleDoubleClick(bool value) { checkSingleDoubleClick_ = value; }
    bool UseDefault() const { return useDefault_; }
    void SetUseDefault(bool value) { useDefault_ = value; }
    // Index 1 is BackGroundColor, index 2 TextColor.
    TColor GetColor(int index) const;
    void SetColor(int index, TColor value);
    TColor BackGroundColor() const { return GetColor(1); }
    void SetBackGroundColor(TColor value) { SetColor(1, value); }
    TColor TextColor() const { return GetColor(2); }
    void SetTextColor(TColor value) { SetColor(2, value); }

    // Called by TTaskTrayIcon.
    void SetWindow(WindowHandle window) { window_ = window; }
    void HandleMessage(const TrayMessageArgs& message);
    void ResetHoverRect();
    void RefreshToolTipWindow();

    struct HoverRect {
        int Left = 0, Top = 0, Right = 0, Bottom = 0;
        bool Empty() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
        bool operator==(const HoverRect&) const = default;
    };
    HoverRect Rect() const { return rect_; }
    bool CursorInside() const { return (state_ & kInside) != 0; }
    bool ClickPending() const { return clickPending_; }
    WindowHandle ToolTipWindow() const { return toolTip_; }

    static constexpr std::uintptr_t kClickTimerId = 7;
    // The hover poll runs as a GUI-thread timer on the same window, so its
    // checks are serialised with every other message of the icon.
    static constexpr std::uintptr_t kHoverTimerId = 8;
    static constexpr std::uint32_t kPollPeriodMs = 100;
    static constexpr int kHoverRectLimit = 32;
    static constexpr std::uint32_t kTtmSetTipBkColor = traymsg::kUser + 19;
    static constexpr std::uint32_t kTtmSetTipTextColor = traymsg::kUser + 20;
    static constexpr std::uint32_t kTtmPop = traymsg::kUser + 28;

private:
    enum : std::uint8_t { kLeft = 1, kRight = 2, kMiddle = 4, kInside = 8 };
    static std::uint8_t ButtonBit(int button) { return static_cast<std::uint8_t>(1u << button); }

    void ButtonRelease(int button);
    void DoubleClick(int button, std::uint32_t pressCode);
    void SendClick(int button);
    void HoverStep();
    void GrowRect(int x, int y);
    void CursorEntered();
    void ExitCheck();
    void CursorLeft();
    void RestoreToolTip();
    std::uint32_t ToRgb(TColor color);

    TrayWindows& windows_;
    WindowHandle window_ = 0;
    WindowHandle toolTip_ = 0;
    HoverRect rect_;
    bool polling_ = false;
    std::uint8_t state_ = 0;
    bool clickPending_ = false;
    bool checkSingleDoubleClick_ = true;
    bool useDefault_ = true;
    TColor textColor_ = clWindowText;
    TColor backGroundColor_ = clBlack;
};

// The shell-side half of the tray icon: the notification record, the hidden
// window and the add, modify, hide and delete calls. Re-adds the icon by
// itself when the taskbar is re-created.
class TTaskTrayIcon {
public:
    using OwnerCallback = std::function<void(TrayMessageArgs&)>;
    using ErrorSink = std::function<void(const std::exception&)>;

    // Every icon of a process must use the same TrayWindows.
    TTaskTrayIcon(ShellNotify& shell, TrayWindows& windows);
    ~TTaskTrayIcon();
    TTaskTrayIcon(const TTaskTrayIcon&) = delete;
    TTaskTrayIcon& operator=(const TTaskTrayIcon&) = delete;

    // Stores the handle in the record; nothing reaches the shell.
    void SetIconHandle(IconHandle icon) { record_.Icon = icon; }
    IconHandle GetIconHandle() const { return record_.Icon; }

    // Each returns whether the icon is shown (Hide and Delete: whether the
    // shell took the call). Add raises ENotifyIconError.
    bool AddIcon();
    bool ModifyIcon();
    bool HideIcon();
    bool DeleteIcon();

    // Store only; the next add or modify carries them.
    void SetTip(const std::string& text);
    void SetBalloonTitle(const std::string& text);
    void SetBalloonText(const std::string& text);
    void SetBalloonTimeOut(std::uint32_t milliseconds) { record_.TimeOut = milliseconds; }
    void SetBalloonIcon(TBalloonIconType type) { record_.InfoFlags = static_cast<std::uint32_t>(type); }
    std::string BalloonTitle() const { return record_.InfoTitle; }
    std::string BalloonText() const { return record_.Info; }
    std::uint32_t BalloonTimeOut() const { return record_.TimeOut; }
    TBalloonIconType BalloonIcon() const { return static_cast<TBalloonIconType>(record_.InfoFlags & 3); }

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
    TToolTipStyle& Tracker() { return *tracker_; }
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

private:
    void PrepareRecord();
    bool RetryTimedOutAdd();
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
    std::unique_ptr<TToolTipStyle> tracker_;
    bool doForegroundWindow_ = false;
};

// One per process: registers the hidden window class and "TaskbarCreated"
// while any tray icon exists, and routes each hidden window's messages to the
// icon that owns it. GUI thread only.
class TTrayIconWinProcList {
public:
    static TTrayIconWinProcList* Instance() { return instance_; }
    static void Join(TTaskTrayIcon* icon, TrayWindows& windows);
    static void Leave(TTaskTrayIcon* icon);
    // The shared window procedure: false when no icon owns the window, and
    // the caller does the default processing. Errors of the handler go to
    // that icon's error sink.
    static bool Dispatch(WindowHandle window, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam,
                         std::intptr_t& result);

    std::uint32_t TaskbarCreatedMessage() const { return taskbarCreated_; }
    std::size_t Count() const { return icons_.size(); }

private:
    explicit TTrayIconWinProcList(TrayWindows& windows);
    ~TTrayIconWinProcList();

    static TTrayIconWinProcList* instance_;
    TrayWindows& windows_;
    std::vector<TTaskTrayIcon*> icons_;
    std::uint32_t taskbarCreated_ = 0;
};

}  // namespace vesko
