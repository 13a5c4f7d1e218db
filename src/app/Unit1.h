#pragma once
// The main window: the settings dialog and the owner of all run-time state.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/DateTime.h"
#include "settings/ActiveSettings.h"
#include "settings/FormValues.h"
#include "settings/ProfileFile.h"

namespace vesko {

class TForm1 {
public:
    explicit TForm1(std::vector<std::string> args);

    // Creates the window; FormCreate runs inside, before any other window exists.
    bool Create(HINSTANCE instance);
    HWND Handle() const { return hwnd_; }

    // Entry steps 6 and 7: show or hide the window, then the tray icon.
    void ApplyStartVisibility(bool hide, bool noTrayIcon);

    bool WindowShown = false;
    bool NoTrayIcon = false;
    bool FirstTick = true;
    bool MethodCheckPending = true;

    DateTime HoldOffStamp = 0, CpuLowSince = 0, NetLowSince = 0, MemLowSince = 0, MouseStillSince = 0;
    POINT LastCursorPos{};

    FormValues Form;          // what the controls hold
    ActiveSettings Active;    // what the tick works from
    int ResourceIconID = 0;   // 0 TTICON (on), 1 TFICON (off)
    bool FunctionEnabledChecked = true;  // check mark of FunctionEnabled1

    std::string IniPath() const;
    std::string LogPath() const;

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

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void FormToControls();
    DateTime Now() const;

    std::vector<std::string> args_;
    HWND hwnd_ = nullptr;
    HWND label14_ = nullptr, label1_ = nullptr, label2_ = nullptr, label3_ = nullptr, label15_ = nullptr,
         label16_ = nullptr, label20_ = nullptr, label22_ = nullptr;
};

}  // namespace vesko
