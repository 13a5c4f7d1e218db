#pragma once
// The main window: its window procedure, its two pop-up menus (the window's
// and the tray icon's) and the status panel. The monitor behind it does the
// work; the window forwards its commands and the one-second timer.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "engine/MonitorPorts.h"
#include "ProgramPicker.h"
#include "Window.h"
#include "engine/Tick.h"
#include "settings/SettingsDeclaration.h"
#include "ui/SettingsLayout_win.h"

namespace vesko {

class AboutBox;
class ExcludedProgramsDialog;
class Monitor;

class MainWindow : public Window, public MonitorView {
public:
    // The window calls the monitor's commands and opens the two modal windows.
    MainWindow(Monitor& monitor, AboutBox& aboutBox, ExcludedProgramsDialog& programsDialog);

    // Creates the hidden window and its menus; the controls come when the
    // window first shows.
    bool Create(HINSTANCE instance);
    HMENU TrayMenu() const { return trayMenu_; }
    // The one-second timer; the first tick comes after start-up, never
    // inside one of its boxes.
    void StartTicking();
    // Shows or hides the window as the start switches say.
    void ApplyStartVisibility(bool hide);

    // MonitorView.
    void ShowStatus(const StatusDisplay& status) override;
    bool OutlookVisible() const override;
    void ShowOutlook(const std::array<std::string, kConditionCount>& marks, const std::string& summary) override;
    void ShowDraft(const Settings& draft) override;
    void ShowWakeNote();
    void ShowSetting(const SettingMember& member, const Settings& draft) override;
    void ReadDraft(Settings& draft) const override;
    void ShowStartWithWindows(bool on) override;
    bool StartWithWindowsChecked() const override;
    void ShowCountdown(const std::string& setTime, const std::string& dueTime) override;
    void ShowSleepKinds(const std::vector<std::string>& lines) override;
    void SetChoiceEnabled(bool Settings::*method, bool enabled) override;
    void ShowPowerCommandEnabled(ManualCommand command, bool enabled) override;
    void ShowFunctionSwitch(bool on) override;
    void ShowPlacement(const std::string& osVersionText, int x, int y, bool stayOnTop) override;
    bool IsVisible() const override;
    bool Shown() const override { return shown_; }
    void Hide() override;
    void HideAfterOk() override;
    void ShowError(const std::string& message) override;
    void ShowNotice(const std::string& message) override;
    void ShowFallbackNotice(const std::string& message) override;
    void Beep() override;

    // Command handlers.
    void Restore();
    void StayOnTop();
    void Help();
    void Exit();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDpiChanged(int dpi, const RECT& suggested) override;
    void PlaceControls() override;

private:
    // Sizes the window for its DPI and the work area of its monitor, top-left
    // kept: the whole layout, or as much as fits with a scroll bar for the rest.
    void FitToMonitor();
    void ScrollTo(int y);
    bool OnScroll(UINT msg, WPARAM wp);  // WM_VSCROLL, WM_MOUSEWHEEL
    void ScrollIntoView(HWND control);
    // A check mark in the window menu (stay on top) or the tray menu.
    void SetMenuItemChecked(int id, bool checked);
    // Every control of the settings window, built when the window first
    // shows (a program started hidden may never need them), then filled from
    // the draft and what the monitor reported meanwhile.
    void BuildControls();
    void CreateMenus();
    // Moves a window saved on a monitor that is gone onto a visible one.
    void KeepOnScreen();
    bool OnCommand(int id);
    void ShowWindowMenu(LPARAM lp);
    // The dialog manager's focus moves (Tab, arrows): wp is the control
    // when byHandle, otherwise nonzero for the previous control.
    void MoveFocus(WPARAM wp, bool byHandle);
    void WriteStatusLabels();

    Monitor& monitor_;
    AboutBox& aboutBox_;
    ExcludedProgramsDialog& programsDialog_;
    ProgramPicker programPicker_;  // the job's end's "選択"
    SettingsControls controls_;
    bool controlsBuilt_ = false;
    int scrollY_ = 0;     // how far the window is scrolled down, in pixels
    int viewHeight_ = 0;  // the client height shown
    // What the controls show once built: the draft is the monitor's.
    std::string osVersionText_;
    bool startWithWindows_ = false;
    std::vector<std::pair<std::string, bool>> choiceUsable_;  // radio button key, usable
    std::array<HWND, kConditionCount> conditionMarks_{};
    HWND summaryLine_ = nullptr;
    HWND sleepKindsLine_ = nullptr;
    std::string sleepKinds_;  // the lines under the method choices, joined
    bool shown_ = false;
    StatusDisplay status_;
    HMENU windowMenu_ = nullptr, trayMenu_ = nullptr;
    HWND osVersionLabel_ = nullptr, statusCpu_ = nullptr, statusNetwork_ = nullptr, statusMemory_ = nullptr,
         statusClock_ = nullptr, statusUptime_ = nullptr, timerSetTimeLabel_ = nullptr, timerDueLabel_ = nullptr;
};

}  // namespace vesko
