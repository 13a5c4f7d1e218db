#include "MainWindow.h"

#include <shellapi.h>

#include "WinUi.h"
#include "base/WinText_win.h"
#include "controls/ScreenPlacement.h"
#include "readings/OSVersion.h"
#include "settings/ProfileFile_win.h"
#include "settings/SettingsDeclaration.h"
#include "ui/ControlIds.h"
#include "ui/Menus.h"

namespace vesko {

MainWindow::MainWindow(std::vector<std::string> args) : monitor_(*this, std::move(args)) {}

bool MainWindow::Create(HINSTANCE instance) {
    // 655 x 463 client pixels at 96 DPI, at 0,0 until the stored position is read.
    if (!CreateWindowFor(instance, {VESKO_CLASS_FORM1, kAppTitle, 655, 463, WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW,
                                    L"MAINICON", true}))
        return false;
    CreateMenus();
    monitor_.CreateComponents(instance, trayMenu_);
    shown_ = IsWindowVisible(hwnd_) != FALSE;
    if (RestorePlacement()) monitor_.Start();
    // The first tick comes after start-up, never inside one of its boxes.
    ::SetTimer(hwnd_, ids::MonitorTimer, 1000, nullptr);
    return true;
}

void MainWindow::CreateControls() {
    // Group "現在の状態" at 376,8, 273 x 129: caption labels on the left, the
    // values the tick fills on the right.
    CreateChild(hwnd_, L"BUTTON", "現在の状態", BS_GROUPBOX, 376, 8, 273, 129, ids::GroupStatus);
    osVersionLabel_ = CreateLabel(hwnd_, "OSのばーじょん", 388, 26, 253, 14, ids::OsVersionLabel);
    struct Row { const char* caption; int captionId; const char* design; int id; HWND* label; };
    const Row rows[] = {
        {"CPUの負荷", ids::CaptionCpu, "CPUの値  1", ids::StatusCpu, &statusCpu_},
        {"ネットワーク通信量", ids::CaptionNetwork, "ネットワークの値  2", ids::StatusNetwork, &statusNetwork_},
        {"メモリの使用率", ids::CaptionMemory, "メモリの使用率  3", ids::StatusMemory, &statusMemory_},
        {"現在時刻", ids::CaptionTime, "時刻  15", ids::StatusClock, &statusClock_},
        {"OSの連続起動時間", ids::CaptionUptime, "OSTime  16", ids::StatusUptime, &statusUptime_},
    };
    int y = 46;
    for (const Row& row : rows) {
        CreateLabel(hwnd_, row.caption, 388, y, 108, 14, row.captionId);
        *row.label = CreateLabel(hwnd_, row.design, 498, y, 143, 14, row.id);
        y += 17;
    }
    // The countdown's two time labels (their row of the conditions group comes
    // with the rest of the settings window).
    const Settings initial;
    CreateLabel(hwnd_, "セット時刻", 20, 28, 60, 14);
    timerSetTimeLabel_ = CreateLabel(hwnd_, initial.Timer_SetTime, 82, 28, 40, 14, ids::TimerSetTimeLabel);
    CreateLabel(hwnd_, "節電予定時刻", 130, 28, 72, 14);
    timerDueLabel_ = CreateLabel(hwnd_, initial.Timer_ScheduleTime.text, 204, 28, 40, 14, ids::TimerDueLabel);
}

void MainWindow::CreateMenus() {
    auto build = [](const std::vector<PopupMenuItem>& items) {
        HMENU m = CreatePopupMenu();
        for (const PopupMenuItem& item : items) {
            if (item.IsSeparator()) AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
            else AppendMenuW(m, MF_STRING, static_cast<UINT_PTR>(item.id), Widen(item.caption).c_str());
        }
        return m;
    };
    windowMenu_ = build(PopupMenu1Items());
    trayMenu_ = build(PopupMenu2Items());
}

bool MainWindow::RestorePlacement() {
    try {
        SetText(osVersionLabel_, GetOSVersionText(ReadOSVersionRecord()));
        auto ini = OpenSystemProfileFile(monitor_.IniPath());
        const int x = ReadSetting(*ini, &Settings::WindowPosX);
        const int y = ReadSetting(*ini, &Settings::WindowPosY);
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        KeepOnScreen();
        Settings& draft = monitor_.Draft();
        draft.StayOnTop = ReadSetting(*ini, &Settings::StayOnTop);
        if (draft.StayOnTop) {
            SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            SetMenuItemChecked(ids::StayOnTop, true);
        }
        return true;
    } catch (const std::exception& e) {
        ShowErrorBox(hwnd_, e.what());
        return false;
    }
}

void MainWindow::KeepOnScreen() {
    // A position saved on a monitor that is gone comes back onto the nearest one.
    RECT r;
    GetWindowRect(hwnd_, &r);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return;
    const RECT& w = info.rcWork;
    const ScreenRect placed = KeepOnWorkArea({r.left, r.top, r.right, r.bottom}, {w.left, w.top, w.right, w.bottom},
                                             GetSystemMetrics(SM_CYCAPTION) + 8);
    if (placed.left != r.left || placed.top != r.top)
        SetWindowPos(hwnd_, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ShowStatus(const StatusDisplay& s) {
    SetText(statusCpu_, s.StatusCpu);
    SetText(statusNetwork_, s.StatusNetwork);
    SetText(statusMemory_, s.StatusMemory);
    SetText(statusClock_, s.StatusClock);
    SetText(statusUptime_, s.StatusUptime);
}

void MainWindow::ShowDraft(const Settings& draft) {
    SetWindowTextW(hwnd_, Widen(draft.Title).c_str());
    ShowCountdown(draft.Timer_SetTime, draft.Timer_ScheduleTime.text);
}

void MainWindow::ShowCountdown(const std::string& setTime, const std::string& dueTime) {
    SetText(timerSetTimeLabel_, setTime);
    SetText(timerDueLabel_, dueTime);
}

void MainWindow::SetMenuItemEnabled(int id, bool enabled) {
    EnableMenuItem(trayMenu_, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::SetMenuItemChecked(int id, bool checked) {
    HMENU m = id == ids::StayOnTop ? windowMenu_ : trayMenu_;
    CheckMenuItem(m, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool MainWindow::IsMenuItemChecked(int id) const {
    HMENU m = id == ids::StayOnTop ? windowMenu_ : trayMenu_;
    return (GetMenuState(m, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MainWindow::Hide() {
    ShowWindow(hwnd_, SW_HIDE);
    shown_ = false;
}

void MainWindow::ApplyStartVisibility(bool hide, bool noTrayIcon) {
    if (hide) {
        Hide();
    } else {
        shown_ = true;
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
    }
    if (!noTrayIcon) monitor_.ShowTrayIcon();
}

void MainWindow::Restore() {
    ShowWindow(hwnd_, SW_SHOW);
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
    shown_ = true;
}

void MainWindow::StayOnTop() {
    Settings& draft = monitor_.Draft();
    const bool onTop = !draft.StayOnTop;
    SetWindowPos(hwnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    draft.StayOnTop = onTop;
    SetMenuItemChecked(ids::StayOnTop, onTop);
    auto ini = OpenSystemProfileFile(monitor_.IniPath());
    WriteSetting(*ini, &Settings::StayOnTop, onTop);
}

void MainWindow::Help() {
    // Every backslash becomes "/"; nothing is escaped, so blanks and Japanese
    // folder names stand in the address as they are.
    std::string address = "file:///";
    for (char c : ExeFolder()) address += c == '\\' ? '/' : c;
    address += "index.htm";
    ShellExecuteW(hwnd_, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOW);
}

void MainWindow::About() {
    if (ShowAboutBox) ShowAboutBox();
}

void MainWindow::Exit() {
    {
        RECT r;
        GetWindowRect(hwnd_, &r);
        auto ini = OpenSystemProfileFile(monitor_.IniPath());
        WriteSetting(*ini, &Settings::WindowPosX, r.left);
        WriteSetting(*ini, &Settings::WindowPosY, r.top);
        WriteSetting(*ini, &Settings::StayOnTop, monitor_.Draft().StayOnTop);
    }
    monitor_.LogExit();
    KillTimer(hwnd_, ids::MonitorTimer);
    monitor_.RemoveTrayIcon();
    DestroyWindow(hwnd_);
}

bool MainWindow::IsSettingsWindowVisible() { return IsWindowVisible(hwnd_) != FALSE; }
void MainWindow::RestoreApplication() { ShowWindow(hwnd_, SW_RESTORE); }
void MainWindow::ShowMessage(const std::string& text) { ShowNoticeBox(nullptr, text); }
void MainWindow::HideApplicationWindow() { ShowWindow(hwnd_, SW_HIDE); }

bool MainWindow::OnCommand(int id) {
    switch (id) {
        case ids::Restore: Restore(); return true;
        case ids::StayOnTop: StayOnTop(); return true;
        case ids::Help:
        case ids::TrayHelp: Help(); return true;
        case ids::About:
        case ids::TrayAbout: About(); return true;
        case ids::Exit:
        case ids::TrayExit: Exit(); return true;
        case ids::ToggleFunction: monitor_.ToggleFunction(); return true;
    }
    if (id >= ids::kFirstPowerCommand && id <= ids::kLastPowerCommand) {
        monitor_.RunPowerCommand(ids::PowerCommandOf(id));
        return true;
    }
    return false;
}

void MainWindow::OnTick() {
    // The loop has just handed out this timer message, so only input that
    // arrived meanwhile is waiting; it goes first. A quit request ends here.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (msg.message == WM_TIMER && msg.hwnd == hwnd_ && msg.wParam == ids::MonitorTimer) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    monitor_.OnTick();
}

void MainWindow::ShowWindowMenu(LPARAM lp) {
    POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (pt.x == -1 && pt.y == -1) GetCursorPos(&pt);
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(windowMenu_, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            // A user command that meets an error stops there; the message is shown.
            try {
                if (OnCommand(LOWORD(wp))) return 0;
            } catch (const std::exception& e) {
                ShowErrorBox(hwnd_, e.what());
                return 0;
            }
            break;
        case WM_CONTEXTMENU: ShowWindowMenu(lp); return 0;
        case WM_TIMER:
            if (wp == ids::MonitorTimer) OnTick();
            return 0;
        case WM_CLOSE:
            // Closing only hides the window; the program stays in the tray.
            Hide();
            return 0;
        case WM_QUERYENDSESSION:
            // Never stand in the way of Windows ending the session.
            return TRUE;
        case WM_ENDSESSION:
            if (wp) {
                monitor_.RemoveTrayIcon();
                PostQuitMessage(0);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace vesko
