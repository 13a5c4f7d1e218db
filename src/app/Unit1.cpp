#include "Unit1.h"

#include <shellapi.h>

#include "ControlIds.h"
#include "WinUi.h"
#include "controls/PopupMenus.h"
#include "engine/Arming.h"
#include "engine/Execution.h"
#include "engine/TimerSchedule.h"
#include "engine/Warning.h"
#include "log/EventLogWin.h"
#include "power/ExitWin.h"
#include "power/ExitWinWin.h"
#include "power/ManualCommands.h"
#include "power/PowerAvailability.h"
#include "readings/CpuUtils.h"
#include "readings/MemoryUse.h"
#include "readings/OSVersion.h"
#include "readings/SystemProbes.h"
#include "settings/ExcludedPrograms.h"
#include "settings/ProfileFileWin.h"
#include "settings/SettingsTable.h"
#include "settings/WinText.h"
#include "tray/TrayWin.h"

namespace vesko {
namespace {

DateTime LocalNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

std::string LongTimeText(DateTime t) { return WinLocaleFormats().LongTime(DecodeDateTime(t)); }

// The main window as the engine, the warning, the availability rule and the
// manual commands see it. One adapter for all keeps the wiring in one place.
class FormHost : public ExecutionHost,
                 public WarningHost,
                 public WarningAbortHost,
                 public PowerChoices,
                 public NoticeWindow,
                 public LogWriter,
                 public Clock {
public:
    FormHost(TForm1& form, TExitWin& exitWin) : f_(form), exitWin_(exitWin) {}

    // ExecutionHost and Clock.
    DateTime Now() override { return f_.Now(); }
    DateTime Now() const override { return f_.Now(); }
    void WriteLog(const std::string& message, DateTime at) override { f_.WriteLog(message, at); }
    void ForcePowerOff() override { exitWin_.ForcePowerOff(); }
    void Suspend() override { exitWin_.Suspend(); }
    void Hibernate() override { exitWin_.Hibernate(); }
    bool IsMainWindowVisible() override { return IsWindowVisible(f_.Handle()) != FALSE; }
    void HideApplication() override { f_.HideApplication(); }
    bool Button4Click() override { return f_.Button4Click(); }
    std::string ScheduleLabelText() override { return f_.Form.Label22; }
    ArmReadings ReadArmReadings() override { return vesko::ReadArmReadings(f_.Now()); }

    // WarningHost.
    void Beep() override { MessageBeep(0); }
    void ShowFunctionOff() override {
        f_.Form.CheckBox[8] = false;
        f_.SetMenuItemChecked(ids::FunctionEnabled1, false);
        f_.SetTrayIcon(1);
    }

    // WarningAbortHost.
    void WriteFunctionDisabled() override {
        auto ini = OpenSystemProfileFile(f_.IniPath());
        WriteBool(*ini, KeyId::Function_Enabled, false);
    }
    void ShowMessage(const std::string& text) override { ShowNoticeBox(nullptr, text); }
    bool WindowShown() override { return f_.WindowShown; }

    // PowerChoices.
    void SelectShutdownChoice() override { f_.Form.SetRadio(1, true); }
    void SetHibernateChoicesEnabled(bool enabled) override { f_.SetMenuItemEnabled(ids::hibernate1, enabled); }
    void SetSuspendChoicesEnabled(bool enabled) override { f_.SetMenuItemEnabled(ids::suspend1, enabled); }
    void WritePowerSaving(KeyId key, bool value) override {
        auto ini = OpenSystemProfileFile(f_.IniPath());
        WriteBool(*ini, key, value);
    }
    void ShowFallbackMessage(const std::string& text) override { ShowFallbackNotice(*this, text); }

    // NoticeWindow.
    bool IsSettingsWindowVisible() override { return IsWindowVisible(f_.Handle()) != FALSE; }
    void RestoreApplication() override { ShowWindow(f_.Handle(), SW_RESTORE); }
    void HideSettingsWindow() override {
        ShowWindow(f_.Handle(), SW_HIDE);
        f_.WindowShown = false;
    }
    void MinimizeApplication() override {}
    void HideApplicationWindow() override { ShowWindow(f_.Handle(), SW_HIDE); }

private:
    TForm1& f_;
    TExitWin& exitWin_;
};

// The live program list as the tick's exclusion gate reads it: one process
// list per tick, taken at the first test.
class ListExclusions : public ExcludedProgramList {
public:
    ListExclusions(const std::vector<std::string>& entries, ProgramSystem& system) : entries_(entries), inUse_(system) {}
    std::size_t Count() const override { return entries_.size(); }
    bool IsInUse(std::size_t index) override { return inUse_.IsFileInUse(entries_[index]); }

private:
    const std::vector<std::string>& entries_;
    ProgramsInUse inUse_;
};

}  // namespace

TForm1::TForm1(std::vector<std::string> args) : args_(std::move(args)) {}
TForm1::~TForm1() = default;

std::string TForm1::IniPath() const { return ExeFolder() + "vesko.ini"; }
std::string TForm1::LogPath() const { return ExeFolder() + "Log.txt"; }
DateTime TForm1::Now() const { return LocalNow(); }
std::uint64_t TForm1::UptimeMs() const { return ReadUptimeMilliseconds(); }

bool TForm1::Create(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconW(instance, L"MAINICON");
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.lpszClassName = VESKO_CLASS_FORM1;
    RegisterClassExW(&wc);

    // Fixed dialog frame with only the system-menu button; 655 x 463 client
    // pixels at 96 DPI. No WS_CLIPCHILDREN: the group frames rely on the
    // window painting behind them.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW;
    RECT r{0, 0, Scale(655), Scale(463)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    hwnd_ = CreateWindowExW(exStyle, VESKO_CLASS_FORM1, Widen(kAppTitle).c_str(), style, 0, 0, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;

    // The components the window owns.
    CpuUsage1 = CreateCpuUsage();
    powerSystem_ = std::make_unique<WinPowerSystem>();
    powerSystem_->SetCloseMainWindow([this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); });
    ExitWin1 = std::make_unique<TExitWin>(*powerSystem_);
    listFile_ = OpenExcludedListFile();
    programs_ = CreateProgramSystem();
    CreateControls();
    CreateMenus();
    CreateTrayIcon(instance);
    SetTimer(hwnd_, ids::Timer1, 1000, nullptr);
    SetTimer(hwnd_, ids::Timer2, 1000, nullptr);

    FormCreate();
    return true;
}

void TForm1::CreateControls() {
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
    // Group "現在の状態" at 376,8, 273 x 129: caption labels on the left, the
    // values the tick fills on the right.
    CreateChild(hwnd_, L"BUTTON", "現在の状態", BS_GROUPBOX, 376, 8, 273, 129, ids::GroupStatus);
    label14_ = CreateLabel(hwnd_, "OSのばーじょん", 388, 26, 253, 14, ids::Label14);
    struct Row { const char* caption; int captionId; const char* design; int id; HWND* label; };
    const Row rows[] = {
        {"CPUの負荷", ids::CaptionCpu, "CPUの値  1", ids::Label1, &label1_},
        {"ネットワーク通信量", ids::CaptionNetwork, "ネットワークの値  2", ids::Label2, &label2_},
        {"メモリの使用率", ids::CaptionMemory, "メモリの使用率  3", ids::Label3, &label3_},
        {"現在時刻", ids::CaptionTime, "時刻  15", ids::Label15, &label15_},
        {"OSの連続起動時間", ids::CaptionUptime, "OSTime  16", ids::Label16, &label16_},
    };
    int y = 46;
    for (const Row& row : rows) {
        CreateLabel(hwnd_, row.caption, 388, y, 108, 14, row.captionId);
        *row.label = CreateLabel(hwnd_, row.design, 498, y, 143, 14, row.id);
        y += 17;
    }
    // The countdown's two time labels (their row of the conditions group comes
    // with the rest of the settings window).
    CreateLabel(hwnd_, "セット時刻", 20, 28, 60, 14);
    label20_ = CreateLabel(hwnd_, Form.Label20, 82, 28, 40, 14, ids::Label20);
    CreateLabel(hwnd_, "節電予定時刻", 130, 28, 72, 14);
    label22_ = CreateLabel(hwnd_, Form.Label22, 204, 28, 40, 14, ids::Label22);
}

void TForm1::CreateMenus() {
    auto build = [](const std::vector<PopupMenuItem>& items) {
        HMENU m = CreatePopupMenu();
        for (const PopupMenuItem& item : items) {
            if (item.IsSeparator()) AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
            else AppendMenuW(m, MF_STRING, static_cast<UINT_PTR>(item.id), Widen(item.caption).c_str());
        }
        return m;
    };
    popupMenu1_ = build(PopupMenu1Items());
    popupMenu2_ = build(PopupMenu2Items());
}

void TForm1::CreateTrayIcon(HINSTANCE instance) {
    TrayIcon1 = std::make_unique<WinTrayIcon>(hwnd_, instance);
    TTrayIcon& t = TrayIcon1->Tray();
    t.SetTipHelp(kAppTitle);
    t.SetVisible(false);
    t.SetResourceIconList({"TTICON", "TFICON"});
    t.SetResourceIconID(0);
    t.SetCheckSingleDoubleClick(true);
    t.SetBalloonHelpTimeOut(0);
    t.RButtonPopupMenu = ToMenuHandle(popupMenu2_);
    t.OnDblClick = [this](TTrayIcon&) { restore1Click(); };
    // Errors inside the tray's own message handling have no caller to reach.
    t.OnError = [](TTrayIcon&, const std::string&) {};
    t.Loaded();
}

void TForm1::FormToControls() {
    SetWindowTextW(hwnd_, Widen(Form.Caption).c_str());
    SetText(label20_, Form.Label20);
    SetText(label22_, Form.Label22);
}

void TForm1::SetMenuItemEnabled(int id, bool enabled) {
    EnableMenuItem(popupMenu2_, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    if (id == ids::suspend1) radioEnabled_[2] = enabled;
    if (id == ids::hibernate1) radioEnabled_[3] = enabled;
}

void TForm1::SetMenuItemChecked(int id, bool checked) {
    HMENU m = id == ids::stayontop1 ? popupMenu1_ : popupMenu2_;
    CheckMenuItem(m, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void TForm1::SetTrayIcon(int index) { TrayIcon1->Tray().SetResourceIconID(index); }

void TForm1::HideApplication() {
    ShowWindow(hwnd_, SW_HIDE);
    WindowShown = false;
}

StatusDisplay TForm1::ReadStatus(DateTime now) {
    TickReadings r;
    r.CpuPercent = CpuUsage1->GetUsage();
    r.Interfaces = ReadInterfaceTable();
    MemorySizes m = ReadMemorySizes();
    r.MemoryPercent = MemoryPercent(m.TotalPhys, m.AvailPhys);
    r.UptimeMs = ReadUptimeMilliseconds();
    r.TimeText = LongTimeText(now);
    return TakeReadings(r, TrayIcon1->Tray().IsShell5OrLater(), State);
}

void TForm1::ShowStatus(const StatusDisplay& s) {
    SetText(label1_, s.Label1);
    SetText(label2_, s.Label2);
    SetText(label3_, s.Label3);
    SetText(label15_, s.Label15);
    SetText(label16_, s.Label16);
}

void TForm1::FormCreate() {
    // Step 1.
    State.FirstTick = true;
    WindowShown = IsWindowVisible(hwnd_) != FALSE;
    State.MethodCheckPending = true;
    try {
        // Step 2: the OS version text, written once.
        SetText(label14_, GetOSVersionText(ReadOSVersionRecord()));
        // Step 3: window position and stay-on-top from section Window.
        {
            auto ini = OpenSystemProfileFile(IniPath());
            int x = ReadInt(*ini, Key(KeyId::WindowPosX));
            int y = ReadInt(*ini, Key(KeyId::WindowPosY));
            SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Form.StayOnTop = ReadBool(*ini, Key(KeyId::StayOnTop));
            if (Form.StayOnTop) {
                SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                SetMenuItemChecked(ids::stayontop1, true);
            }
        }
        // Step 4: the first readings; the octet totals read now are the first tick's baseline.
        CpuUsage1->GetUsage();
        StatusDisplay status = ReadStatus(Now());
        ShowStatus(status);
        // Step 5: the settings into the controls and into the in-memory copy.
        LoadSettings();
        LoadActiveSettings();
        // Step 6: the tray tip.
        TrayIcon1->Tray().SetTipHelp(TrayTipText(TrayIcon1->Tray().IsShell5OrLater(), status));
        // Step 7: function switch mark and tray image.
        SetMenuItemChecked(ids::FunctionEnabled1, Form.CheckBox[8]);
        SetTrayIcon(Form.CheckBox[8] ? 0 : 1);
        // Step 8: the countdown from the program's start, stored at every start.
        bool scheduled = Button4Click();
        {
            auto ini = OpenSystemProfileFile(IniPath());
            WriteText(*ini, KeyId::Timer_SetTime, Form.Label20);
            WriteText(*ini, KeyId::Timer_ScheduleTime, Form.Label22);
        }
        Active.Timer_ScheduleTime = scheduled ? TimerScheduleFromText(Form.Label22) : kNoTimerSchedule;
        // Step 9: the running-time stamps start now.
        State.StartAt(ReadArmReadings(Now()));
        // Step 10: the start entry.
        if (Active.Log_Enabled) WriteLog(StartLogMessage(args_), Now());
        // Step 12: methods the machine cannot use fall back silently.
        FormHost host(*this, *ExitWin1);
        UpdatePowerAvailabilityAtStart(*powerSystem_, Active, host);
        // Step 13: power commands the platform does not offer.
        ManualItemsEnabled items = ManualItemsEnabledFor(TExitWin::VersionInfo());
        SetMenuItemEnabled(ids::restart1, items.restart1);
        SetMenuItemEnabled(ids::msdos1, items.msdos1);
        SetMenuItemEnabled(ids::forcehung1, items.forcehung1);
    } catch (const std::exception& e) {
        // Start-up goes on with what was done so far.
        ShowErrorBox(hwnd_, e.what());
    }
}

void TForm1::LoadSettings() {
    auto ini = OpenSystemProfileFile(IniPath());
    vesko::LoadSettings(*ini, Form);
    FormToControls();
}

void TForm1::SaveSettings() {
    auto ini = OpenSystemProfileFile(IniPath());
    vesko::SaveSettings(*ini, Form);
    SetMenuItemChecked(ids::FunctionEnabled1, Form.CheckBox[8]);
    SetTrayIcon(Form.CheckBox[8] ? 0 : 1);
}

void TForm1::LoadActiveSettings() {
    auto ini = OpenSystemProfileFile(IniPath());
    vesko::LoadActiveSettings(*ini, Active);
}

void TForm1::WriteLog(const std::string& message, DateTime when) {
    WinLogFileSystem fs;
    AppendLogLine(fs, LogPath(), LogLine(when, message, WinLocaleFormats()));
}

bool TForm1::Button4Click() {
    auto schedule = ScheduleFromNow(Now(), Form.WinSpinEdit[1].Value(), Form.WinSpinEdit[2].Value());
    if (!schedule) {
        ShowErrorBox(hwnd_, kInvalidTimerMessage);
        return false;
    }
    Form.Label20 = schedule->setTime;
    Form.Label22 = schedule->scheduleTime;
    SetText(label20_, Form.Label20);
    SetText(label22_, Form.Label22);
    return true;
}

void TForm1::Timer1Timer() {
    // Step 1: waiting messages first (the loop has just handed them out, so
    // only input that arrived meanwhile is left).
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (msg.message == WM_TIMER && msg.hwnd == hwnd_ && msg.wParam == ids::Timer1) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Step 2: one guard over the rest drops every error silently.
    try {
        // Step 3: the list of excluded programs, once.
        if (State.FirstTick)
            for (std::string& entry : TakeFirstTickEntries(State.FirstTick, *listFile_))
                ExcludedPrograms.push_back(std::move(entry));
        // Steps 4 to 9: readings, labels, tray tip.
        DateTime now = Now();
        StatusDisplay status = ReadStatus(now);
        ShowStatus(status);
        TrayIcon1->Tray().SetTipHelp(status.TipHelp);
        // Steps 10 and 11: hold-off, conditions, the gate, the verdict.
        ListExclusions exclusions(ExcludedPrograms, *programs_);
        TickVerdict v = EvaluateTick(now, ReadMonotonicMilliseconds(), status, Active,
                                     [] { return TryReadCursorPos(); }, &exclusions, State);
        if (auto icon = v.Exclusion.TrayIconId()) SetTrayIcon(*icon);
        FormHost host(*this, *ExitWin1);
        // Steps 12 and 13: the warning, then the method when due.
        if (warningDialog_) {
            bool aborted = RunWarningStep(WarningAborted, v.Ready, v.MinutesToAct, Active, *warningDialog_, host);
            ResumeState rs{State, Active};
            ExecuteIfDue(v.Ready, v.MinutesToAct, v.SameMinute, aborted, host, *warningDialog_, rs);
        }
        // Step 14: is suspend or hibernation still possible?
        UpdatePowerAvailability(*powerSystem_, Active, State.MethodCheckPending, host);
    } catch (...) {
    }
}

void TForm1::WarningAbortClick() {
    if (!warningDialog_) return;
    FormHost host(*this, *ExitWin1);
    try {
        vesko::WarningAbortClick(WarningAborted, *warningDialog_, host);
    } catch (const std::exception& e) {
        ShowErrorBox(hwnd_, e.what());
    }
}

void TForm1::ApplyStartVisibility(bool hide, bool noTrayIcon) {
    NoTrayIcon = noTrayIcon;
    if (hide) {
        WindowShown = false;
        ShowWindow(hwnd_, SW_HIDE);
    } else {
        WindowShown = true;
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
    }
    if (!NoTrayIcon) {
        try {
            TrayIcon1->Tray().SetVisible(true);
        } catch (const std::exception& e) {
            ShowErrorBox(hwnd_, e.what());
        }
    }
}

void TForm1::restore1Click() {
    ShowWindow(hwnd_, SW_SHOW);
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
    WindowShown = true;
}

void TForm1::stayontop1Click() {
    bool onTop = !Form.StayOnTop;
    SetWindowPos(hwnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Form.StayOnTop = onTop;
    SetMenuItemChecked(ids::stayontop1, onTop);
    auto ini = OpenSystemProfileFile(IniPath());
    WriteBool(*ini, KeyId::StayOnTop, onTop);
}

void TForm1::Help1Click() {
    // Every backslash becomes "/"; nothing is escaped, so blanks and Japanese
    // folder names stand in the address as they are.
    std::string address = "file:///";
    for (char c : ExeFolder()) address += c == '\\' ? '/' : c;
    address += "index.htm";
    ShellExecuteW(hwnd_, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOW);
}

void TForm1::about1Click() {
    if (ShowAboutBox) ShowAboutBox();
}

void TForm1::Exit1Click() {
    {
        RECT r;
        GetWindowRect(hwnd_, &r);
        auto ini = OpenSystemProfileFile(IniPath());
        WriteInt(*ini, KeyId::WindowPosX, r.left);
        WriteInt(*ini, KeyId::WindowPosY, r.top);
        WriteBool(*ini, KeyId::StayOnTop, Form.StayOnTop);
    }
    WriteLog(logmsg::kExit, Now());
    KillTimer(hwnd_, ids::Timer1);
    KillTimer(hwnd_, ids::Timer2);
    TrayIcon1.reset();  // the icon leaves the notification area
    DestroyWindow(hwnd_);
}

void TForm1::FunctionEnabled1Click() {
    DateTime now = Now();
    bool checked = (GetMenuState(popupMenu2_, ids::FunctionEnabled1, MF_BYCOMMAND) & MF_CHECKED) != 0;
    FunctionSwitch sw = FunctionEnabled1Toggle(checked, Active, now, UptimeMs());
    ApplyFunctionSwitch(sw, ReadArmReadings(now), Active, Form, State);
    SetMenuItemChecked(ids::FunctionEnabled1, sw.FunctionEnabled);
    if (sw.TrayIconId) SetTrayIcon(*sw.TrayIconId);
    if (sw.Refusal) ShowErrorBox(hwnd_, *sw.Refusal);
    if (sw.WriteSetting) {
        auto ini = OpenSystemProfileFile(IniPath());
        WriteBool(*ini, KeyId::Function_Enabled, sw.FunctionEnabled);
    }
}

void TForm1::PowerCommandClick(ManualCommand command) {
    FormHost host(*this, *ExitWin1);
    RunManualCommand(command, *ExitWin1, host, host);
}

bool TForm1::OnCommand(int id) {
    switch (id) {
        case ids::restore1: restore1Click(); return true;
        case ids::stayontop1: stayontop1Click(); return true;
        case ids::Help1:
        case ids::Help2: Help1Click(); return true;
        case ids::about1:
        case ids::about2: about1Click(); return true;
        case ids::Exit1:
        case ids::Exit2: Exit1Click(); return true;
        case ids::FunctionEnabled1: FunctionEnabled1Click(); return true;
    }
    if (id >= ids::poweroff1 && id <= ids::hibernate1) {
        PowerCommandClick(ManualCommands()[static_cast<std::size_t>(id - ids::poweroff1)].command);
        return true;
    }
    return false;
}

LRESULT CALLBACK TForm1::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<TForm1*>(BoundObject(hwnd, msg, lp));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
    return self->HandleMessage(msg, wp, lp);
}

LRESULT TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
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
        case WM_CONTEXTMENU: {
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            if (pt.x == -1 && pt.y == -1) GetCursorPos(&pt);
            SetForegroundWindow(hwnd_);
            TrackPopupMenu(popupMenu1_, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd_, nullptr);
            PostMessageW(hwnd_, WM_NULL, 0, 0);
            return 0;
        }
        case WM_TIMER:
            if (wp == ids::Timer1) Timer1Timer();
            else if (wp == ids::Timer2) Timer2Timer();
            return 0;
        case WM_CLOSE:
            // Closing only hides the window; the program stays in the tray.
            ShowWindow(hwnd_, SW_HIDE);
            WindowShown = false;
            return 0;
        case WM_QUERYENDSESSION:
            // Never stand in the way of Windows ending the session.
            return TRUE;
        case WM_ENDSESSION:
            if (wp) {
                TrayIcon1.reset();
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
