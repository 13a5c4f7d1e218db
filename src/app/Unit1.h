#pragma once
// The main window: the settings dialog and the owner of all run-time state.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/DateTime.h"
#include "engine/MonitorState.h"
#include "engine/Tick.h"
#include "settings/ActiveSettings.h"
#include "settings/FormValues.h"

namespace vesko {

class CpuUsage;
class PowerActions;
class WinPowerSystem;
class WinTrayIcon;
class WarningDialog;
class ExcludedListFile;
class ProgramSystem;
enum class ManualCommand;

class TForm1 {
public:
    explicit TForm1(std::vector<std::string> args);
    ~TForm1();

    // Creates the window and its components; FormCreate runs inside, before
    // any other window exists.
    bool Create(HINSTANCE instance);
    HWND Handle() const { return hwnd_; }

    // Entry steps 6 and 7: show or hide the window, then the tray icon.
    void ApplyStartVisibility(bool hide, bool noTrayIcon);
    // The warning dialog and its abort button, once that window exists.
    void AttachWarningDialog(WarningDialog* dialog) { warningDialog_ = dialog; }
    void WarningAbortClick();
    // Shows the About box modally (set by the entry, which owns that window).
    std::function<void()> ShowAboutBox;

    bool WindowShown = false;
    bool NoTrayIcon = false;
    bool WarningAborted = false;
    MonitorState State;       // the engine's stamps, kept from tick to tick
    FormValues Form;          // what the controls hold
    ActiveSettings Active;    // what the tick works from
    std::vector<std::string> ExcludedPrograms;  // the live program list

    std::string IniPath() const;
    std::string LogPath() const;
    DateTime Now() const;

    void FormCreate();
    void LoadSettings();
    void SaveSettings();
    void LoadActiveSettings();
    // Appends one line to the event log; raises the log's file errors.
    void WriteLog(const std::string& message, DateTime when);
    // The countdown timer's "セット"; false when the values were refused.
    bool Button4Click();
    void Timer1Timer();
    void Timer2Timer() {}

    void restore1Click();
    void stayontop1Click();
    void Help1Click();
    void about1Click();
    void Exit1Click();
    void FunctionEnabled1Click();
    void PowerCommandClick(ManualCommand command);

    // Used by the availability rule's adapters.
    void SetMenuItemEnabled(int id, bool enabled);
    void SetMenuItemChecked(int id, bool checked);
    void SetTrayIcon(int index);
    void HideApplication();
    std::uint64_t UptimeMs() const;

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void CreateMenus();
    void CreateTrayIcon(HINSTANCE instance);
    void FormToControls();
    StatusDisplay ReadStatus(DateTime now);
    void ShowStatus(const StatusDisplay& status);
    bool OnCommand(int id);

    std::vector<std::string> args_;
    HWND hwnd_ = nullptr;
    HMENU popupMenu1_ = nullptr, popupMenu2_ = nullptr;
    HWND label14_ = nullptr, label1_ = nullptr, label2_ = nullptr, label3_ = nullptr, label15_ = nullptr,
         label16_ = nullptr, label20_ = nullptr, label22_ = nullptr;
    bool radioEnabled_[6] = {true, true, true, true, true, true};

    std::unique_ptr<CpuUsage> CpuUsage1;
    std::unique_ptr<WinPowerSystem> powerSystem_;
    std::unique_ptr<PowerActions> ExitWin1;
    std::unique_ptr<WinTrayIcon> TrayIcon1;
    std::unique_ptr<ExcludedListFile> listFile_;
    std::unique_ptr<ProgramSystem> programs_;
    WarningDialog* warningDialog_ = nullptr;
};

}  // namespace vesko
