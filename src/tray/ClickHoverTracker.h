#pragma once
// The click and hover tracking of the tray icon, and the tool-tip colours it
// applies while the cursor is over the icon.
#include <cstdint>

#include "tray/TrayPlatform.h"

namespace vesko {

// Colours as the settings store them: a value whose top byte is 0xFF names a
// system colour (its low byte is the GetSysColor index).
using Color = std::uint32_t;
inline constexpr Color kTipBlack = 0x000000;
inline constexpr Color kTipSystemColor = 0xFF000000u;
inline constexpr Color kTipWindowText = kTipSystemColor | 8;  // COLOR_WINDOWTEXT
inline constexpr Color kTipInfoBack = kTipSystemColor | 24;   // COLOR_INFOBK
inline constexpr Color kTipInfoText = kTipSystemColor | 23;   // COLOR_INFOTEXT

// How the taskbar's tool-tip is coloured while the cursor is over the icon:
// left as it is (UseDefault) or in these two colours.
class ToolTipStyle {
public:
    // Copies UseDefault and both colours.
    void Assign(const ToolTipStyle& source) { *this = source; }

    bool UseDefault() const { return useDefault_; }
    void SetUseDefault(bool value) { useDefault_ = value; }
    // Index 1 is BackGroundColor, index 2 TextColor.
    Color GetColor(int index) const;
    void SetColor(int index, Color value);
    Color BackGroundColor() const { return GetColor(1); }
    void SetBackGroundColor(Color value) { SetColor(1, value); }
    Color TextColor() const { return GetColor(2); }
    void SetTextColor(Color value) { SetColor(2, value); }

private:
    bool useDefault_ = true;
    Color textColor_ = kTipWindowText;
    Color backGroundColor_ = kTipBlack;
};

// Tells single clicks from double clicks, notices the cursor entering and
// leaving the icon, and can recolour the taskbar's tool-tip while the cursor is
// over the icon. It reports to the hidden window with the codes 1234..1236.
class ClickHoverTracker {
public:
    explicit ClickHoverTracker(TrayWindows& windows);
    ~ClickHoverTracker();
    ClickHoverTracker(const ClickHoverTracker&) = delete;
    ClickHoverTracker& operator=(const ClickHoverTracker&) = delete;

    bool CheckSingleDoubleClick() const { return checkSingleDoubleClick_; }
    void SetCheckSingleDoubleClick(bool value) { checkSingleDoubleClick_ = value; }
    // The colours the taskbar's tool-tip takes while the cursor is inside.
    ToolTipStyle& Style() { return style_; }
    const ToolTipStyle& Style() const { return style_; }

    // Called by ShellIcon.
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
    std::uint32_t ToRgb(Color color);

    TrayWindows& windows_;
    WindowHandle window_ = 0;
    WindowHandle toolTip_ = 0;
    HoverRect rect_;
    bool polling_ = false;
    std::uint8_t state_ = 0;
    bool clickPending_ = false;
    bool checkSingleDoubleClick_ = true;
    ToolTipStyle style_;
};

}  // namespace vesko
