#include "AppPorts.h"

#include "base/Product.h"
#include "base/Trace.h"
#include "base/WinText_win.h"
#include "log/EventLog.h"
#include "log/EventLog_win.h"
#include "power/PowerActions.h"
#include "readings/MemoryUse.h"
#include "readings/OSVersion.h"
#include "readings/SystemProbes.h"
#include "tray/TrayIcon_win.h"

namespace vesko {

DateTime LocalClock::Now() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

InterfaceTable WinMachine::Interfaces() { return ReadInterfaceTable(); }

int WinMachine::MemoryPercent() {
    const MemorySizes m = ReadMemorySizes();
    return vesko::MemoryPercent(m.TotalPhys, m.AvailPhys);
}

std::uint64_t WinMachine::UptimeMs() { return ReadUptimeMilliseconds(); }
std::uint64_t WinMachine::MonotonicMs() { return ReadMonotonicMilliseconds(); }
std::optional<CursorPos> WinMachine::Cursor() { return TryReadCursorPos(); }
std::string WinMachine::LongTime(DateTime now) { return WinLocaleFormats().LongTime(DecodeDateTime(now)); }
std::string WinMachine::OSVersionText() { return GetOSVersionText(ReadOSVersionRecord()); }
ManualItemsEnabled WinMachine::ManualItems() { return ManualItemsEnabledFor(PowerActions::VersionInfo()); }
// The request belongs to the thread that makes it, the one the tick runs on,
// and ends with it.
void WinMachine::KeepSystemAwake(bool on) {
    SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

std::uint32_t WinMachine::LastInputTick() {
    LASTINPUTINFO last{};
    last.cbSize = sizeof last;
    return GetLastInputInfo(&last) ? last.dwTime : 0;
}

void EventLogFile::WriteLog(const std::string& message, DateTime at) {
    WinLogFileSystem fs;
    AppendLogLine(fs, ExeFolder() + "Log.txt", LogLine(at, message, WinLocaleFormats()));
}

AppTrayIcon::AppTrayIcon(std::function<void()> onDoubleClick) : onDoubleClick_(std::move(onDoubleClick)) {}
AppTrayIcon::~AppTrayIcon() = default;

void AppTrayIcon::Create(HWND owner, HINSTANCE instance, HMENU menu) {
    icon_ = std::make_unique<WinTrayIcon>(owner, instance);
    TrayIcon& t = icon_->Tray();
    t.SetTipHelp(kProductName);
    t.SetVisible(false);
    t.SetResourceIconList({"TTICON", "TFICON"});
    t.SetResourceIconID(0);
    t.SetCheckSingleDoubleClick(true);
    t.SetBalloonHelpTimeOut(0);
    // The tip changes every second; the shell needs it only while it shows.
    t.SetTipDeferred(true);
    t.RButtonPopupMenu = ToMenuHandle(menu);
    t.OnDoubleClick = [this](TrayIcon&) { onDoubleClick_(); };
    // Errors inside the tray's own message handling have no caller to reach.
    t.OnError = [](TrayIcon&, const std::string& message) { Trace("tray icon", message); };
    t.Loaded();
    shell5OrLater_ = t.IsShell5OrLater();
}

bool AppTrayIcon::IsShell5OrLater() const { return shell5OrLater_; }

void AppTrayIcon::SetTip(const std::string& tip) {
    if (icon_) icon_->Tray().SetTipHelp(tip);
}

void AppTrayIcon::SetIcon(int index) {
    if (icon_) icon_->Tray().SetResourceIconID(index);
}

void AppTrayIcon::Show() {
    if (icon_) icon_->Tray().SetVisible(true);
}

void AppTrayIcon::Remove() { icon_.reset(); }

}  // namespace vesko
