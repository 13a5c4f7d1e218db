#pragma once
// Fakes of the tray seams: a shell that records its calls and fails on
// request, a window system whose sent and posted messages go back through the
// shared window procedure, and an owner side with countable icons.
#include <deque>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tray/TrayIcon.h"
#include "tray/ShellIcon.h"
#include "tray/TrayPlatform.h"
#include "tray/TrayText.h"

namespace vesko::testing {

struct ShellCall {
    NotifyCommand Command;
    NotifyIconRecord Record;
};

class FakeShell : public ShellNotify {
public:
    std::vector<ShellCall> Calls;
    std::vector<std::uint32_t> Sleeps;
    std::uint32_t Version = PackShellVersion(6, 0);
    // Code-page-932-like widths instead of UTF-16 units.
    bool AnsiRecord = false;

    // The next `times` calls fail with `error`.
    void Fail(std::uint32_t error, int times = 1) {
        for (int i = 0; i < times; ++i) script_.push_back(error);
    }

    bool NotifyIcon(NotifyCommand command, const NotifyIconRecord& record) override {
        Calls.push_back({command, record});
        if (script_.empty()) return true;
        lastError_ = script_.front();
        script_.pop_front();
        return false;
    }
    std::uint32_t LastError() override { return lastError_; }
    void Sleep(std::uint32_t ms) override { Sleeps.push_back(ms); }
    std::uint32_t ShellVersion() override { return Version; }
    std::size_t TextUnits(char32_t c) const override {
        if (!AnsiRecord) return Utf16Units(c);
        return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;  // half-width kana take one byte
    }

    std::vector<NotifyCommand> Commands() const {
        std::vector<NotifyCommand> out;
        for (const ShellCall& c : Calls) out.push_back(c.Command);
        return out;
    }
    const NotifyIconRecord& Last() const { return Calls.back().Record; }

private:
    std::deque<std::uint32_t> script_;
    std::uint32_t lastError_ = 0;
};

class FakeWindows : public TrayWindows {
public:
    static constexpr std::uint32_t kTaskbarCreated = 0xC0DE;
    static constexpr WindowHandle kToolTip = 0x777;

    int ClassRegistrations = 0;  // registered minus unregistered
    int ClassRegisterCalls = 0;
    std::vector<WindowHandle> Created;
    std::vector<WindowHandle> Destroyed;
    std::vector<WindowHandle> Foreground;
    int DefaultCalls = 0;
    std::map<std::uintptr_t, std::uint32_t> Timers;  // running timers by id
    std::vector<std::pair<std::uintptr_t, std::uint32_t>> TimerStarts;
    TrayPoint Cursor{0, 0};
    WindowHandle ToolTip = kToolTip;
    int ToolTipLookups = 0;
    std::vector<std::pair<std::uint32_t, std::uintptr_t>> ToolTipMessages;
    std::vector<std::tuple<std::uint32_t, std::intptr_t, std::intptr_t>> Posted;

    void RegisterTrayClass() override { ++ClassRegistrations, ++ClassRegisterCalls; }
    void UnregisterTrayClass() override { --ClassRegistrations; }
    std::uint32_t RegisterTaskbarCreatedMessage() override { return kTaskbarCreated; }
    WindowHandle CreateHiddenWindow() override {
        Created.push_back(0x100 + Created.size());
        return Created.back();
    }
    void DestroyHiddenWindow(WindowHandle window) override { Destroyed.push_back(window); }
    std::intptr_t DefaultProc(WindowHandle, std::uint32_t, std::intptr_t, std::intptr_t) override {
        ++DefaultCalls;
        return 0;
    }
    void SetForeground(WindowHandle window) override { Foreground.push_back(window); }
    std::intptr_t Send(WindowHandle window, std::uint32_t msg, std::intptr_t w, std::intptr_t l) override {
        return Deliver(window, msg, w, l);
    }
    void Post(WindowHandle, std::uint32_t msg, std::intptr_t w, std::intptr_t l) override {
        Posted.emplace_back(msg, w, l);
    }
    bool StartTimer(WindowHandle, std::uintptr_t id, std::uint32_t ms) override {
        TimerStarts.emplace_back(id, ms);
        Timers[id] = ms;
        return true;
    }
    void StopTimer(WindowHandle, std::uintptr_t id) override { Timers.erase(id); }
    std::uint32_t DoubleClickTime() override { return 500; }
    TrayPoint CursorPos() override { return Cursor; }
    WindowHandle FindShellToolTip() override {
        ++ToolTipLookups;
        return ToolTip;
    }
    void SendToolTip(WindowHandle, std::uint32_t msg, std::uintptr_t wParam) override {
        ToolTipMessages.emplace_back(msg, wParam);
    }
    std::uint32_t SysColor(int index) override { return 0x100000u + static_cast<std::uint32_t>(index); }

    // What the system's window procedure would do with a message.
    std::intptr_t Deliver(WindowHandle window, std::uint32_t msg, std::intptr_t w = 0, std::intptr_t l = 0) {
        std::intptr_t result = 0;
        if (ShellIconRouter::Dispatch(window, msg, w, l, result)) return result;
        return DefaultProc(window, msg, w, l);
    }
    // The shell reporting a mouse message on the icon (wParam is the icon id).
    void Mouse(WindowHandle window, std::uint32_t mouseMessage) {
        Deliver(window, traymsg::kCallback, 1, mouseMessage);
    }
    void MoveTo(WindowHandle window, int x, int y) {
        Cursor = {x, y};
        Mouse(window, traymsg::kMouseMove);
    }
    // Runs posted messages in order, as the message loop would.
    void Pump(WindowHandle window) {
        while (!Posted.empty()) {
            auto [msg, w, l] = Posted.front();
            Posted.erase(Posted.begin());
            Deliver(window, msg, w, l);
        }
    }
    // A running timer elapses once; false if it was not running.
    bool Fire(WindowHandle window, std::uintptr_t id) {
        if (!Timers.count(id)) return false;
        Deliver(window, traymsg::kTimer, static_cast<std::intptr_t>(id), 0);
        return true;
    }
};

class FakeHost : public TrayHost {
public:
    static constexpr IconHandle kAppIcon = 0xA99;
    std::set<std::string> Resources{"TTICON", "TFICON"};
    std::map<IconHandle, std::string> Names;  // every handle handed out
    std::set<IconHandle> DestroyedIcons;
    int Loads = 0;
    bool Iconic = false;
    int HideCalls = 0;
    std::vector<std::string> Actions;  // front and popup calls in order
    std::vector<std::pair<MenuHandle, TrayPoint>> Popups;

    IconHandle ApplicationIcon() override { return kAppIcon; }
    IconHandle LoadResourceIcon(const std::string& name) override {
        ++Loads;
        if (!Resources.count(name)) return 0;
        return Hand(name);
    }
    IconHandle CopyIcon(IconHandle icon) override { return Hand("copy of " + NameOf(icon)); }
    void DestroyIcon(IconHandle icon) override { DestroyedIcons.insert(icon); }
    bool IsApplicationIconic() override { return Iconic; }
    void HideApplicationWindow() override { ++HideCalls; }
    void BringApplicationToFront() override { Actions.push_back("front"); }
    void PopupMenu(MenuHandle menu, TrayPoint at) override {
        Actions.push_back("popup");
        Popups.emplace_back(menu, at);
    }

    std::string NameOf(IconHandle icon) const {
        if (icon == kAppIcon) return "application";
        auto it = Names.find(icon);
        return it == Names.end() ? "?" : it->second;
    }

private:
    IconHandle Hand(const std::string& name) {
        const IconHandle h = next_++;
        Names[h] = name;
        return h;
    }
    IconHandle next_ = 0x5000;
};

// Writes every mouse event of the component as a word: "down L", "click R"...
inline void RecordEvents(TrayIcon& tray, std::vector<std::string>& log) {
    auto name = [](TrayButton b) { return b == TrayButton::Left ? "L" : b == TrayButton::Right ? "R" : "M"; };
    tray.OnMouseDown = [&log, name](TrayIcon&, TrayButton b, HeldButtons, int, int) {
        log.push_back(std::string("down ") + name(b));
    };
    tray.OnMouseUp = [&log, name](TrayIcon&, TrayButton b, HeldButtons, int, int) {
        log.push_back(std::string("up ") + name(b));
    };
    tray.OnMouseClick = [&log, name](TrayIcon&, TrayButton b, HeldButtons, int, int) {
        log.push_back(std::string("click ") + name(b));
    };
    tray.OnDoubleClick = [&log](TrayIcon&) { log.push_back("dblclick L"); };
    tray.OnRightDoubleClick = [&log](TrayIcon&) { log.push_back("dblclick R"); };
    tray.OnMouseEnter = [&log](TrayIcon&) { log.push_back("enter"); };
    tray.OnMouseExit = [&log](TrayIcon&) { log.push_back("exit"); };
}

// The main window's configuration: two icon resources, index 0, shown.
struct TrayRig {
    FakeShell shell;
    FakeWindows windows;
    FakeHost host;
    std::unique_ptr<TrayIcon> tray;

    explicit TrayRig(std::uint32_t version = PackShellVersion(6, 0), bool show = true) {
        shell.Version = version;
        tray = std::make_unique<TrayIcon>(shell, windows, host);
        tray->SetTipHelp("ケルダン！");
        tray->SetVisible(false);
        tray->SetResourceIconList({"TTICON", "TFICON"});
        tray->SetResourceIconID(0);
        tray->SetCheckSingleDoubleClick(true);
        tray->Loaded();
        if (show) tray->SetVisible(true);
    }
    WindowHandle Window() { return tray->Shell().Window(); }
    std::string ShownIconName() { return host.NameOf(shell.Last().Icon); }
};

}  // namespace vesko::testing
