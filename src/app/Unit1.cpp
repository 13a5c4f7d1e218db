#include "Unit1.h"

#include "ControlIds.h"
#include "WinUi.h"
#include "engine/TimerSchedule.h"
#include "log/EventLogWin.h"
#include "settings/ProfileFileWin.h"
#include "settings/SettingsTable.h"
#include "settings/WinText.h"

namespace vesko {
namespace {

DateTime LocalNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

}  // namespace

TForm1::TForm1(std::vector<std::string> args) : args_(std::move(args)) {}

std::string TForm1::IniPath() const { return ExeFolder() + "vesko.ini"; }
std::string TForm1::LogPath() const { return ExeFolder() + "Log.txt"; }
DateTime TForm1::Now() const { return LocalNow(); }

bool TForm1::Create(HINSTANCE instance) {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconW(instance, L"MAINICON");
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.lpszClassName = VESKO_CLASS_FORM1;
    RegisterClassExW(&wc);

    // Fixed dialog frame with only the system-menu button; 655 x 463 client pixels at 96 DPI.
    // No WS_CLIPCHILDREN: the group frames rely on the window painting behind them.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW;
    RECT r{0, 0, Scale(655), Scale(463)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    hwnd_ = CreateWindowExW(exStyle, VESKO_CLASS_FORM1, Widen(kAppTitle).c_str(), style, 0, 0, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;
    CreateControls();
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

void TForm1::FormToControls() {
    SetWindowTextW(hwnd_, Widen(Form.Caption).c_str());
    SetText(label20_, Form.Label20);
    SetText(label22_, Form.Label22);
}

void TForm1::FormCreate() {
    // Step 1.
    FirstTick = true;
    WindowShown = IsWindowVisible(hwnd_) != FALSE;
    MethodCheckPending = true;
    try {
        // Step 2: the OS version text.
        // Step 3: window position and stay-on-top from section Window.
        {
            auto ini = OpenSystemProfileFile(IniPath());
            int x = ReadInt(*ini, Key(KeyId::WindowPosX));
            int y = ReadInt(*ini, Key(KeyId::WindowPosY));
            SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Form.StayOnTop = ReadBool(*ini, Key(KeyId::StayOnTop));
            if (Form.StayOnTop)
                SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        // Step 4: the first readings.
        // Step 5: the settings into the controls and into the in-memory copy.
        LoadSettings();
        LoadActiveSettings();
        // Step 6: the tray tip.
        // Step 7: function switch mark and tray image.
        FunctionEnabledChecked = Form.CheckBox[8];
        ResourceIconID = Form.CheckBox[8] ? 0 : 1;
        // Step 8: the countdown from the program's start, stored at every start.
        bool scheduled = Button4Click();
        {
            auto ini = OpenSystemProfileFile(IniPath());
            WriteText(*ini, KeyId::Timer_SetTime, Form.Label20);
            WriteText(*ini, KeyId::Timer_ScheduleTime, Form.Label22);
        }
        if (scheduled) Active.Timer_ScheduleTime = ParseTimeOfDay(Form.Label22);
        // Step 9: the running-time stamps start now.
        DateTime now = Now();
        HoldOffStamp = CpuLowSince = NetLowSince = MemLowSince = MouseStillSince = now;
        GetCursorPos(&LastCursorPos);
        // Step 10: the start entry.
        if (Active.Log_Enabled) WriteLog(StartLogMessage(args_), Now());
        // Step 12: method availability. Step 13: platform menu items.
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

void TForm1::Timer1Timer() {}

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
}

LRESULT CALLBACK TForm1::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<TForm1*>(cs->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<TForm1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->HandleMessage(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            // Closing only hides the window; the program stays in the tray.
            ShowWindow(hwnd_, SW_HIDE);
            WindowShown = false;
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp) PostQuitMessage(0);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace vesko
