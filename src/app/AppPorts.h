#pragma once
// The Windows side of the monitor's ports that no window provides: the
// clock, the event log and the tray icon.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/MonitorPorts.h"
#include "base/DateTime.h"
#include "power/ManualCommands.h"

namespace vesko {

class WinTrayIcon;

// The machine's probes and the system's answers.
class WinMachine : public MachinePort {
public:
    InterfaceTable Interfaces() override;
    int MemoryPercent() override;
    std::uint64_t UptimeMs() override;
    std::uint64_t MonotonicMs() override;
    std::optional<CursorPos> Cursor() override;
    std::string LongTime(DateTime now) override;
    std::string OSVersionText() override;
    ManualItemsEnabled ManualItems() override;
    void KeepSystemAwake(bool on) override;
    std::uint32_t LastInputTick() override;
};

// The local time.
class LocalClock : public Clock {
public:
    DateTime Now() const override;
};

// "Log.txt" beside the executable; every line on disk before it returns.
class EventLogFile : public LogWriter {
public:
    void WriteLog(const std::string& message, DateTime at) override;
};

// The program's icon in the notification area. Made once the main window
// exists (its owner, whose menu it shows); until then, and after Remove, the
// calls change nothing.
class AppTrayIcon : public TrayIconPort {
public:
    // A double click on the icon.
    explicit AppTrayIcon(std::function<void()> onDoubleClick);
    ~AppTrayIcon() override;
    void Create(HWND owner, HINSTANCE instance, HMENU menu);

    bool IsShell5OrLater() const override;
    void SetTip(const std::string& tip) override;
    void SetIcon(int index) override;
    void Show() override;
    void Remove() override;

private:
    std::function<void()> onDoubleClick_;
    std::unique_ptr<WinTrayIcon> icon_;
    bool shell5OrLater_ = true;
};

}  // namespace vesko
