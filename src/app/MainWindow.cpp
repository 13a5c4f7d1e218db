#include "MainWindow.h"

#include <shellapi.h>

#include <algorithm>

#include "WinUi.h"
#include "base/ScopedWin.h"
#include "base/WinText_win.h"
#include "controls/CommonControls_win.h"
#include "controls/Dpi_win.h"
#include "controls/ScreenPlacement.h"
#include "AboutBox.h"
#include "ExcludedProgramsDialog.h"
#include "engine/Monitor.h"
#include "base/Product.h"
#include "settings/SettingsDeclaration.h"
#include "power/WakeTimer.h"
#include "ui/ControlIds.h"
#include "ui/FallbackNotice.h"
#include "ui/Menus.h"
#include "ui/SettingsBinding_win.h"
#include "ui/SettingsLayout.h"
#include "controls/ThemedGroupBox_win.h"

namespace vesko {

MainWindow::MainWindow(Monitor& monitor, AboutBox& aboutBox, ExcludedProgramsDialog& programsDialog)
    : monitor_(monitor), aboutBox_(aboutBox), programsDialog_(programsDialog) {}

bool MainWindow::Create(HINSTANCE instance) {
    // Client pixels at 96 DPI, at 0,0 until the stored position is read.
    if (!CreateWindowFor(instance, {VESKO_CLASS_FORM1, kProductName, kSettingsClientWidth, kSettingsClientHeight,
                                    WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW, L"MAINICON", true}))
        return false;
    SetDialogKeysWindow(hwnd_);
    FitToMonitor();
    CreateMenus();
    shown_ = IsWindowVisible(hwnd_) != FALSE;
    return true;
}

void MainWindow::StartTicking() { ::SetTimer(hwnd_, ids::MonitorTimer, 1000, nullptr); }

void MainWindow::BuildControls() {
    if (controlsBuilt_) return;
    controlsBuilt_ = true;
    CommonControls::Load();
    // Every control of the settings window, from its layout table; the status
    // panel and the countdown's labels are among them.
    controls_ = CreateSettingsControls(hwnd_, Dpi() / 96.0, Font());
    osVersionLabel_ = controls_.Window("OsVersionLabel");
    statusCpu_ = controls_.Window("StatusCpu");
    statusNetwork_ = controls_.Window("StatusNetwork");
    statusMemory_ = controls_.Window("StatusMemory");
    statusClock_ = controls_.Window("StatusClock");
    statusUptime_ = controls_.Window("StatusUptime");
    timerSetTimeLabel_ = controls_.Window("TimerSetTimeLabel");
    timerDueLabel_ = controls_.Window("TimerDueLabel");
    for (std::size_t i = 0; i < conditionMarks_.size(); ++i)
        conditionMarks_[i] = controls_.Window(kConditionMarkNames[i]);
    summaryLine_ = controls_.Window("SummaryLine");
    sleepKindsLine_ = controls_.Window("SleepKindsLine");

    SetText(osVersionLabel_, osVersionText_);
    SetText(sleepKindsLine_, sleepKinds_);
    ShowDraft(monitor_.Draft());
    ShowStartWithWindows(startWithWindows_);
    for (const auto& [key, usable] : choiceUsable_) EnableWindow(controls_.Window(key), usable);
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

void MainWindow::ShowPlacement(const std::string& osVersionText, int x, int y, bool stayOnTop) {
    osVersionText_ = osVersionText;
    if (controlsBuilt_) SetText(osVersionLabel_, osVersionText_);
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    KeepOnScreen();
    if (stayOnTop) {
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetMenuItemChecked(ids::StayOnTop, true);
    }
}

void MainWindow::KeepOnScreen() {
    // A position saved on a monitor that is gone comes back onto the nearest
    // one, at the size that fits there.
    FitToMonitor();
    RECT r;
    GetWindowRect(hwnd_, &r);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return;
    const RECT& w = info.rcWork;
    const ScreenRect placed = KeepOnWorkArea({r.left, r.top, r.right, r.bottom}, {w.left, w.top, w.right, w.bottom},
                                             SystemMetricAt(SM_CYCAPTION, Dpi()) + 8);
    if (placed.left != r.left || placed.top != r.top)
        SetWindowPos(hwnd_, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ShowStatus(const StatusDisplay& s) {
    status_ = s;
    // Nobody sees a hidden window's labels: they are filled when it shows.
    if (IsWindowVisible(hwnd_)) WriteStatusLabels();
}

void MainWindow::WriteStatusLabels() {
    if (!controlsBuilt_) return;
    const StatusDisplay& s = status_;
    SetText(statusCpu_, s.StatusCpu);
    SetText(statusNetwork_, s.StatusNetwork);
    SetText(statusMemory_, s.StatusMemory);
    SetText(statusClock_, s.StatusClock);
    SetText(statusUptime_, s.StatusUptime);
}

bool MainWindow::OutlookVisible() const { return IsWindowVisible(hwnd_) && !IsIconic(hwnd_); }
bool MainWindow::IsVisible() const { return IsWindowVisible(hwnd_) != FALSE; }

void MainWindow::ShowOutlook(const std::array<std::string, kConditionCount>& marks, const std::string& summary) {
    if (!controlsBuilt_) return;
    for (std::size_t i = 0; i < marks.size(); ++i) SetText(conditionMarks_[i], marks[i]);
    SetText(summaryLine_, summary);
}

void MainWindow::ShowSleepKinds(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    // Asked every second while shown; the label is set (and repainted) only when the words change.
    if (text == sleepKinds_) return;
    sleepKinds_ = text;
    if (controlsBuilt_) SetText(sleepKindsLine_, sleepKinds_);
}

void MainWindow::ShowDraft(const Settings& draft) {
    SetWindowTextW(hwnd_, Widen(draft.Title).c_str());
    if (!controlsBuilt_) return;  // shown from the draft when built
    ShowSettings(controls_, draft);
    ShowCountdown(draft.Timer_SetTime, draft.Timer_ScheduleTime.text);
    ShowWakeNote();
}

void MainWindow::ShowSetting(const SettingMember& member, const Settings& draft) {
    if (!controlsBuilt_) return;
    ShowSettings(controls_, draft, &member);
    ShowWakeNote();
}

// No timer wakes a machine that was switched off: said while that is the method.
void MainWindow::ShowWakeNote() {
    const bool powerOff = SendMessageW(controls_.Window("Shutdown"), BM_GETCHECK, 0, 0) == BST_CHECKED;
    SetText(controls_.Window("WakeNote"), powerOff ? kWakeNoteText : "");
}

// Before the controls exist nobody can have edited them: the draft is
// already what they would hold.
void MainWindow::ReadDraft(Settings& draft) const {
    if (controlsBuilt_) ReadSettings(controls_, draft);
}

void MainWindow::ShowStartWithWindows(bool on) {
    startWithWindows_ = on;
    if (controlsBuilt_)
        SendMessageW(controls_.Window("StartWithWindows"), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool MainWindow::StartWithWindowsChecked() const {
    if (!controlsBuilt_) return startWithWindows_;
    return SendMessageW(controls_.Window("StartWithWindows"), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetChoiceEnabled(bool Settings::*method, bool enabled) {
    const std::string key = DeclarationOf(method).key;
    auto known =
        std::find_if(choiceUsable_.begin(), choiceUsable_.end(), [&](const auto& c) { return c.first == key; });
    if (known == choiceUsable_.end()) choiceUsable_.emplace_back(key, enabled);
    else known->second = enabled;
    if (controlsBuilt_) EnableWindow(controls_.Window(key), enabled);
}

void MainWindow::HideAfterOk() {
    if (controlsBuilt_) SetFocus(controls_.Window("OkButton"));
    Hide();
}

void MainWindow::MoveFocus(WPARAM wp, bool byHandle) {
    HWND next = byHandle ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(hwnd_, GetFocus(), wp != 0);
    if (!next) return;
    SetFocus(next);
    ScrollIntoView(next);
}

void MainWindow::ShowCountdown(const std::string& setTime, const std::string& dueTime) {
    if (!controlsBuilt_) return;
    SetText(timerSetTimeLabel_, setTime);
    SetText(timerDueLabel_, dueTime);
}

void MainWindow::ShowPowerCommandEnabled(ManualCommand command, bool enabled) {
    EnableMenuItem(trayMenu_, static_cast<UINT>(ids::PowerCommandId(command)),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::ShowFunctionSwitch(bool on) { SetMenuItemChecked(ids::ToggleFunction, on); }

void MainWindow::SetMenuItemChecked(int id, bool checked) {
    HMENU m = id == ids::StayOnTop ? windowMenu_ : trayMenu_;
    CheckMenuItem(m, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::Hide() {
    ShowWindow(hwnd_, SW_HIDE);
    shown_ = false;
}

void MainWindow::ApplyStartVisibility(bool hide) {
    if (hide) {
        Hide();
    } else {
        shown_ = true;
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
    }
}

void MainWindow::Restore() {
    ShowWindow(hwnd_, SW_SHOW);
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
    shown_ = true;
}

void MainWindow::StayOnTop() {
    const bool onTop = !monitor_.Draft().StayOnTop;
    SetWindowPos(hwnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetMenuItemChecked(ids::StayOnTop, onTop);
    monitor_.SetStayOnTop(onTop);
}

void MainWindow::Help() {
    // By path: the shell makes any address it needs from it, so a "#" or "%"
    // in a folder's name stays part of the name.
    const std::wstring page = Widen(ExeFolder() + "index.htm");
    ScopedComInit com;  // the shell may hand the page to a COM handler
    ShellExecuteW(hwnd_, L"open", page.c_str(), nullptr, nullptr, SW_SHOW);
}

void MainWindow::Exit() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    monitor_.Exit(r.left, r.top);
    KillTimer(hwnd_, ids::MonitorTimer);
    DestroyWindow(hwnd_);
}

void MainWindow::ShowError(const std::string& message) { ShowErrorBox(hwnd_, message); }
void MainWindow::ShowNotice(const std::string& message) { ShowNoticeBox(nullptr, message); }
void MainWindow::Beep() { MessageBeep(0); }

void MainWindow::ShowFallbackNotice(const std::string& message) {
    for (NoticeStep step : FallbackNoticeSteps(IsVisible())) {
        switch (step) {
            case NoticeStep::Restore: ShowWindow(hwnd_, SW_RESTORE); break;
            case NoticeStep::Hide: Hide(); break;
            case NoticeStep::Notice: ShowNotice(message); break;
        }
    }
}

bool MainWindow::OnCommand(int id) {
    switch (id) {
        case ids::Restore: Restore(); return true;
        case ids::StayOnTop: StayOnTop(); return true;
        case ids::Help:
        case ids::TrayHelp: Help(); return true;
        case ids::About:
        case ids::TrayAbout: aboutBox_.ShowModal(hwnd_); return true;
        case ids::Exit:
        case ids::TrayExit: Exit(); return true;
        case ids::ToggleFunction: monitor_.ToggleFunctionSwitch(); return true;
        case IDOK: monitor_.ApplyWindow(true); return true;
        case IDCANCEL: monitor_.DiscardWindowEdits(); return true;
    }
    if (id == LayoutControlId("ApplyButton")) {
        monitor_.ApplyWindow(false);
        return true;
    }
    if (id == LayoutControlId("SetTimerButton")) {
        monitor_.SetCountdown();
        return true;
    }
    if (id == LayoutControlId("ProgramPickerButton")) {
        // The choice fills the field; it takes effect with OK or Apply.
        if (auto name = programPicker_.ShowModal(hwnd_)) SetText(controls_.Window("ProgramEnd_Name"), *name);
        return true;
    }
    if (id == LayoutControlId("Shutdown") || id == LayoutControlId("Suspend") || id == LayoutControlId("Hibernation")) {
        ShowWakeNote();
        return false;  // the button's own click goes on
    }
    if (id == LayoutControlId("ExcludedProgramsButton")) {
        programsDialog_.ShowModal(hwnd_);
        return true;
    }
    if (id >= ids::kFirstPowerCommand && id <= ids::kLastPowerCommand) {
        monitor_.RunPowerCommand(ids::PowerCommandOf(id));
        return true;
    }
    return false;
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
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            LRESULT brush = 0;
            if (ThemedGroupBox::ChildColor(msg, wp, lp, &brush)) return brush;
            break;
        }
        case WM_SHOWWINDOW:
            // The last tick's readings, as if the labels had followed every tick.
            if (wp) {
                BuildControls();
                WriteStatusLabels();
            }
            break;
        case WM_TIMER:
            // The loops hand out input and posted messages before timer
            // messages, so waiting input has gone first already.
            if (wp == ids::MonitorTimer) monitor_.OnTick();
            return 0;
        case WM_CLOSE:
            // Closing hides the window and discards the edits; the program
            // stays in the tray.
            try {
                monitor_.DiscardWindowEdits();
            } catch (const std::exception& e) {
                ShowErrorBox(hwnd_, e.what());
            }
            return 0;
        case WM_NEXTDLGCTL: MoveFocus(wp, LOWORD(lp) != 0); return 0;
        case WM_DPICHANGED: return Window::HandleMessage(msg, wp, lp);
        case kDialogKeyTaken: ScrollIntoView(GetFocus()); return 0;
        case WM_VSCROLL:
        case WM_MOUSEWHEEL:
            if (OnScroll(msg, wp)) return 0;
            break;
        case WM_QUERYENDSESSION:
            // Never stand in the way of Windows ending the session.
            return TRUE;
        case WM_ENDSESSION:
            if (wp) {
                monitor_.EndSession();
                PostQuitMessage(0);
            }
            return 0;
        case WM_DESTROY:
            // The pop-up menus belong to no window: they go with this one.
            DestroyMenu(windowMenu_);
            DestroyMenu(trayMenu_);
            windowMenu_ = trayMenu_ = nullptr;
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace vesko
