#pragma once
// What the tray icon needs of the system, as three narrow seams: the shell's
// notification call, the hidden window with its timers and the cursor, and
// the owner's side (icons, menus, the application window). The Windows
// binding is in TrayIcon_win.cpp; tests use fakes that record the calls.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "base/Error.h"

namespace vesko {

using WindowHandle = std::uintptr_t;  // 0 = no window
using IconHandle = std::uintptr_t;    // 0 = no icon
using MenuHandle = std::uintptr_t;    // 0 = no menu

struct TrayPoint {
    int X = 0;
    int Y = 0;
};

// Window messages and private codes of the hidden tray window (Win32 values).
namespace traymsg {
inline constexpr std::uint32_t kQueryEndSession = 0x0011;
inline constexpr std::uint32_t kTimer = 0x0113;
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kLButtonDown = 0x0201;
inline constexpr std::uint32_t kLButtonUp = 0x0202;
inline constexpr std::uint32_t kLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kRButtonDown = 0x0204;
inline constexpr std::uint32_t kRButtonUp = 0x0205;
inline constexpr std::uint32_t kRButtonDblClk = 0x0206;
inline constexpr std::uint32_t kMButtonDown = 0x0207;
inline constexpr std::uint32_t kMButtonUp = 0x0208;
inline constexpr std::uint32_t kMButtonDblClk = 0x0209;
inline constexpr std::uint32_t kUser = 0x0400;
// The shell's callback; lParam carries the mouse message or one of the codes below.
inline constexpr std::uint32_t kCallback = kUser + 200;  // 1224
inline constexpr std::intptr_t kMouseEnter = 1234;
inline constexpr std::intptr_t kMouseExit = 1235;
inline constexpr std::intptr_t kMouseClick = 1236;               // wParam: 0 left, 1 right, 2 middle
inline constexpr std::uint32_t kTaskbarRestarted = kUser + 220;  // 1244
}  // namespace traymsg

// One message of the hidden window as the tray code handles it. Result starts
// at 0 and is what the window procedure returns.
struct TrayMessageArgs {
    std::uint32_t Msg = 0;
    std::intptr_t WParam = 0;  // signed: a synthetic press carries -1
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

enum class NotifyCommand : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

inline constexpr std::uint32_t kNifMessage = 0x01;
inline constexpr std::uint32_t kNifIcon = 0x02;
inline constexpr std::uint32_t kNifTip = 0x04;
inline constexpr std::uint32_t kNifState = 0x08;
inline constexpr std::uint32_t kNisHidden = 0x01;
inline constexpr std::uint32_t kNisSharedIcon = 0x02;
inline constexpr std::uint32_t kErrorTimeout = 1460;  // ERROR_TIMEOUT

// The record layout the shell is given: the version-5 one (with state and
// balloon fields) or the original short one.
enum class RecordLayout { Old, Version5 };

// The notification record, field for field. Texts are UTF-8 and already cut to
// the record's limits, so the binding only converts them.
struct NotifyIconRecord {
    RecordLayout Layout = RecordLayout::Old;
    WindowHandle Window = 0;
    std::uint32_t ID = 0;
    std::uint32_t Flags = 0;
    std::uint32_t CallbackMessage = 0;
    IconHandle Icon = 0;
    std::string Tip;
    std::uint32_t State = 0;
    std::uint32_t StateMask = 0;
    std::string Info;           // balloon text
    std::uint32_t TimeOut = 0;  // balloon time-out
    std::string InfoTitle;      // balloon title
    std::uint32_t InfoFlags = 0;
};

// The shell's notification-area call and what goes with it.
class ShellNotify {
public:
    virtual ~ShellNotify() = default;
    virtual bool NotifyIcon(NotifyCommand command, const NotifyIconRecord& record) = 0;
    // The error code left by the last failed NotifyIcon.
    virtual std::uint32_t LastError() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Major version in the high word, minor in the low word; 0 when unknown.
    virtual std::uint32_t ShellVersion() = 0;
    // Units one character takes in the record's text fields: UTF-16 units for
    // the wide record, bytes of the ANSI code page for the narrow one.
    virtual std::size_t TextUnits(char32_t c) const = 0;
};

// The hidden message window, its timers, the cursor and the shell's tool-tip.
// Messages sent or posted to the hidden window come back through
// ShellIconRouter::Dispatch.
class TrayWindows {
public:
    virtual ~TrayWindows() = default;
    // Process-wide: the window class "TaskTrayHandle" and "TaskbarCreated".
    virtual void RegisterTrayClass() = 0;
    virtual void UnregisterTrayClass() = 0;
    virtual std::uint32_t RegisterTaskbarCreatedMessage() = 0;
    // A hidden top-level window of that class; 0 on failure.
    virtual WindowHandle CreateHiddenWindow() = 0;
    virtual void DestroyHiddenWindow(WindowHandle window) = 0;
    virtual std::intptr_t DefaultProc(WindowHandle window, std::uint32_t msg, std::intptr_t wParam,
                                      std::intptr_t lParam) = 0;
    virtual void SetForeground(WindowHandle window) = 0;
    virtual std::intptr_t Send(WindowHandle window, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam) = 0;
    virtual void Post(WindowHandle window, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam) = 0;
    // A GUI-thread timer that arrives as WM_TIMER with wParam = id; starting
    // a running id restarts it.
    virtual bool StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) = 0;
    virtual void StopTimer(WindowHandle window, std::uintptr_t id) = 0;
    virtual std::uint32_t DoubleClickTime() = 0;
    virtual TrayPoint CursorPos() = 0;
    // The taskbar's tool-tip window (0 if none) and messages to it.
    virtual WindowHandle FindShellToolTip() = 0;
    virtual void SendToolTip(WindowHandle toolTip, std::uint32_t msg, std::uintptr_t wParam) = 0;
    virtual std::uint32_t SysColor(int index) = 0;
};

// The owner's side: icon resources, the application window and menus.
class TrayHost {
public:
    virtual ~TrayHost() = default;
    virtual IconHandle ApplicationIcon() = 0;
    // A fresh handle for the icon resource of that name; 0 when there is none.
    virtual IconHandle LoadResourceIcon(const std::string& name) = 0;
    virtual IconHandle CopyIcon(IconHandle icon) = 0;
    virtual void DestroyIcon(IconHandle icon) = 0;
    virtual bool IsApplicationIconic() = 0;
    virtual void HideApplicationWindow() = 0;
    virtual void BringApplicationToFront() = 0;
    // Runs the menu modally at a screen point; its command goes to the owner.
    virtual void PopupMenu(MenuHandle menu, TrayPoint at) = 0;
};

// The tray icon could not be put into the notification area.
class NotifyIconError : public AppError {
public:
    using AppError::AppError;
};

inline constexpr const char* kNotifyIconAddFailed = "タスクトレイにアイコンを登録できません。";
inline constexpr const char* kNotifyIconModifyFailed = "タスクトレイのアイコンを変更できません。";

}  // namespace vesko
