#pragma once
// The main window: its window procedure, its two pop-up menus (the window's
// and the tray icon's) and the status panel. The monitor behind it does the
// work; the window forwards its commands and the one-second timer.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Monitor.h"
#include "Window.h"
#include "engine/PowerAvailability.h"
#include "engine/Tick.h"

namespace vesko {

class MainWindow : public Window, public NoticeWindow {
public:
    explicit MainWindow(std::vector<std::string> args);

    // Creates the window, its controls, menus and the monitor's components,
    // then starts the monitor; no other window exists yet.
    bool Create(HINSTANCE instance);
    // Shows or hides the window as the start switches say, then the tray icon.
    void ApplyStartVisibility(bool hide, bool noTrayIcon);
    Monitor& GetMonitor() { return monitor_; }
    // Shows the About box modally (set by the entry, which owns that window).
    std::function<void()> ShowAboutBox;

    // What the monitor shows.
    void ShowStatus(const StatusDisplay& status);
    void ShowDraft(const Settings& draft);
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
    void MinimizeApplication() override {}  // the window is the application: nothing else to minimise
    void HideApplicationWindow() override;

protected:
    void CreateControls() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateMenus();
    // The OS version text and the stored position; false after an error box.
    bool RestorePlacement();
    // Moves a window saved on a monitor that is gone onto a visible one.
    void KeepOnScreen();
    bool OnCommand(int id);
    void ShowWindowMenu(LPARAM lp);
    // The one-second timer: waiting input first, then the monitor's tick.
    void OnTick();

    Monitor monitor_;
    bool shown_ = false;
    HMENU windowMenu_ = nullptr, trayMenu_ = nullptr;
    HWND osVersionLabel_ = nullptr, statusCpu_ = nullptr, statusNetwork_ = nullptr, statusMemory_ = nullptr,
         statusClock_ = nullptr, statusUptime_ = nullptr, timerSetTimeLabel_ = nullptr, timerDueLabel_ = nullptr;
};

}  // namespace vesko
