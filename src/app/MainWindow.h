#pragma once
// The main window: its window procedure, its two pop-up menus (the window's
// and the tray icon's) and the status panel. The monitor behind it does the
// work; the window forwards its commands and the one-second timer.
#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "Monitor.h"
#include "Window.h"
#include "engine/PowerAvailability.h"
#include "engine/Tick.h"
#include "settings/SettingsDeclaration.h"
#include "ui/SettingsLayout_win.h"

namespace vesko {

class MainWindow : public Window, public NoticeWindow {
public:
    explicit MainWindow(std::vector<std::string> args);

    // Creates the window, its menus and the monitor's components, then
    // starts the monitor; the controls come when the window first shows.
    bool Create(HINSTANCE instance);
    // Shows or hides the window as the start switches say, then the tray icon.
    void ApplyStartVisibility(bool hide, bool noTrayIcon);
    Monitor& GetMonitor() { return monitor_; }
    // Shows the About box modally (set by the entry, which owns that window).
    std::function<void()> ShowAboutBox;
    // Shows the excluded-programs dialog modally (set by the entry as well).
    std::function<void()> ShowExcludedPrograms;

    // What the monitor shows. The status labels are written while the window
    // is visible, and from the last status when it shows.
    void ShowStatus(const StatusDisplay& status);
    // The condition marks and the summary line; worth computing only while
    // the window can be seen.
    bool StatusVisible() const;
    void ShowOutlook(const std::array<std::string, kConditionCount>& marks, const std::string& summary);
    // Caption, every bound control and the countdown's labels.
    void ShowDraft(const Settings& draft);
    // One setting's control (a radio button's whole set).
    void ShowSetting(const SettingMember& member, const Settings& draft);
    // Every bound control's value into the draft.
    void ReadDraft(Settings& draft) const;
    void ShowStartWithWindows(bool on);
    bool StartWithWindowsChecked() const;
    // A method's radio button greyed or usable.
    void SetChoiceEnabled(bool Settings::* method, bool enabled);
    void FocusOkButton();
    void ShowCountdown(const std::string& setTime, const std::string& dueTime);
    void SetMenuItemEnabled(int id, bool enabled);
    void SetMenuItemChecked(int id, bool checked);
    bool IsMenuItemChecked(int id) const;
    bool Shown() const { return shown_; }
    void Hide();

    // Command handlers.
    void Restore();
    void StayOnTop();
    void Help();
    void About();
    void Exit();

    // NoticeWindow.
    bool IsSettingsWindowVisible() override;
    void RestoreApplication() override;
    void HideSettingsWindow() override { Hide(); }
    void ShowMessage(const std::string& text) override;
    void HideApplicationWindow() override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Every control of the settings window, built when the window first
    // shows (a program started hidden may never need them), then filled from
    // the draft and what the monitor reported meanwhile.
    void BuildControls();
    void CreateMenus();
    // The OS version text and the stored position; false after an error box.
    bool RestorePlacement();
    // Moves a window saved on a monitor that is gone onto a visible one.
    void KeepOnScreen();
    bool OnCommand(int id);
    void ShowWindowMenu(LPARAM lp);
    // The dialog manager's focus moves (Tab, arrows): wp is the control
    // when byHandle, otherwise nonzero for the previous control.
    void MoveFocus(WPARAM wp, bool byHandle);
    void WriteStatusLabels();
    // The one-second timer: waiting input first, then the monitor's tick.
    void OnTick();

    Monitor monitor_;
    SettingsControls controls_;
    bool controlsBuilt_ = false;
    // What the controls show once built: the draft is the monitor's.
    std::string osVersionText_;
    bool startWithWindows_ = false;
    std::vector<std::pair<std::string, bool>> choiceUsable_;  // radio button key, usable
    std::array<HWND, kConditionCount> conditionMarks_{};
    HWND summaryLine_ = nullptr;
    bool shown_ = false;
    StatusDisplay status_;
    HMENU windowMenu_ = nullptr, trayMenu_ = nullptr;
    HWND osVersionLabel_ = nullptr, statusCpu_ = nullptr, statusNetwork_ = nullptr, statusMemory_ = nullptr,
         statusClock_ = nullptr, statusUptime_ = nullptr, timerSetTimeLabel_ = nullptr, timerDueLabel_ = nullptr;
};

}  // namespace vesko
