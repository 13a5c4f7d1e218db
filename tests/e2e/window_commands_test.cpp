// The window's own commands and the tick, driven through WM_COMMAND as the
// menus send it, and checked through the files and the status labels.
#include <gtest/gtest.h>

#include "Harness.h"
#include "ui/ControlIds.h"
#include "ui/SettingsLayout.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

// The version label the program must show under the prefix's version report,
// read here from ntdll (which answers without compatibility shims).
std::string ExpectedVersionLabel() {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto get = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!get || get(&v) != 0) return "?";
    struct Known {
        DWORD major, minor;
        const char* label;
    };
    const Known known[] = {
        {6, 1, "WindowsNT6.1 WorkStation [Service Pack 1]"},  // the prefix's default, Windows 7
        {5, 2, "WindowsNT5.2 WorkStation [Service Pack 2]"},  // Windows XP x64
        {10, 0, "WindowsNT10.0 WorkStation"},
    };
    for (const Known& k : known)
        if (k.major == v.dwMajorVersion && k.minor == v.dwMinorVersion) return k.label;
    return "?";
}

HWND StartForm(Sandbox& box, Process& p, const std::vector<std::wstring>& args = {}) {
    p = box.Start(args);
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1);
    EXPECT_TRUE(form);
    EXPECT_TRUE(WaitUntil([&] { return box.Exists(L"Log.txt"); }));
    return form;
}

void Command(HWND form, int id) { PostMessageW(form, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// The hidden tray window of the process ("TaskTrayHandle") stands for the icon.
bool HasTrayWindow(DWORD pid) { return FindProcessWindow(pid, L"TaskTrayHandle") != nullptr; }

}  // namespace

TEST(WindowCommands, StayOnTopTwiceRestoresTheFileValue) {
    Sandbox box;
    box.WriteText(L"vesko.ini", "[Window]\r\nStayOnTop=0\r\n");
    Process p;
    HWND form = StartForm(box, p);
    Command(form, ids::StayOnTop);
    ASSERT_TRUE(WaitUntil([&] { return IniValue(box, "StayOnTop") == "1"; }));
    EXPECT_TRUE(GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
    Command(form, ids::StayOnTop);
    ASSERT_TRUE(WaitUntil([&] { return IniValue(box, "StayOnTop") == "0"; }));
    EXPECT_FALSE(GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(WindowCommands, ExitStoresThePositionAndLogsEvenWithLoggingOff) {
    Sandbox box;
    box.WriteText(L"vesko.ini", "[Other]\r\nLog_Enabled=0\r\n[Window]\r\nWindowPosX=40\r\nWindowPosY=30\r\n");
    Process p = box.Start({L"/h"});
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1);
    ASSERT_TRUE(form);
    ASSERT_TRUE(WaitUntil([&] { return HasTrayWindow(p.pid); }));
    Sleep(300);
    Command(form, ids::TrayExit);
    ASSERT_TRUE(p.WaitExit());
    // Never shown in this run: the position is the one read at start.
    EXPECT_EQ(IniValue(box, "WindowPosX"), "40");
    EXPECT_EQ(IniValue(box, "WindowPosY"), "30");
    EXPECT_EQ(IniValue(box, "StayOnTop"), "0");
    auto log = box.ReadText(L"Log.txt");
    ASSERT_TRUE(log);
    bool crlf = false;
    auto lines = CrLfLines(*log, &crlf);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(" ケルダン!を正常に終了しました"), std::string::npos);
}

TEST(WindowCommands, ExitWithAReadOnlyLogShowsTheErrorAndKeepsRunning) {
    Sandbox box;
    Process p;
    HWND form = StartForm(box, p);
    box.SetReadOnly(L"Log.txt", true);
    Command(form, ids::Exit);
    HWND msg = WaitForMessageBox(p.pid);
    ASSERT_TRUE(msg);
    EXPECT_EQ(MessageBoxText(msg), "ファイル " + Utf8(box.PathOf(L"Log.txt")) + " を作成できません");
    AnswerMessageBox(msg);
    Sleep(500);
    EXPECT_TRUE(p.Running());
    // The position was saved before the log refused.
    EXPECT_NE(IniValue(box, "WindowPosX"), "<missing>");
    box.SetReadOnly(L"Log.txt", false);
}

TEST(WindowCommands, HiddenSwitchesDecideTheTrayIcon) {
    struct Case {
        std::vector<std::wstring> args;
        bool icon;
    };
    const Case cases[] = {{{}, true}, {{L"/h"}, true}, {{L"/v"}, false}, {{L"/c"}, false}};
    for (const Case& c : cases) {
        Sandbox box;
        Process p;
        StartForm(box, p, c.args);
        SCOPED_TRACE(c.args.empty() ? "no switch" : Utf8(c.args[0]));
        // The icon's hidden window is made when the icon is first shown.
        if (c.icon) EXPECT_TRUE(WaitUntil([&] { return HasTrayWindow(p.pid); }));
        else {
            Sleep(1000);
            EXPECT_FALSE(HasTrayWindow(p.pid));
        }
    }
}

TEST(Tick, StatusLabelsChangeEverySecondWithRealReadings) {
    Sandbox box;
    Process p;
    HWND form = StartForm(box, p);
    ASSERT_TRUE(form);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(form, ids::StatusClock) != "時刻  15"; }));
    std::string t1 = ControlText(form, ids::StatusClock);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(form, ids::StatusClock) != t1; }, 3000));
    EXPECT_NE(ControlText(form, ids::StatusCpu).find(" %"), std::string::npos);
    EXPECT_NE(ControlText(form, ids::StatusMemory).find(" %"), std::string::npos);
    std::string net = ControlText(form, ids::StatusNetwork);
    EXPECT_TRUE(net.find("B/s") != std::string::npos) << net;
    std::string up = ControlText(form, ids::StatusUptime);
    EXPECT_NE(up.find("時間"), std::string::npos) << up;
    EXPECT_NE(up.find("秒"), std::string::npos) << up;
    // Wine reports Windows 7 SP1 by default; the other reports the scripts switch to.
    EXPECT_EQ(ControlText(form, ids::OsVersionLabel), ExpectedVersionLabel());
}

// A hidden window's labels are not kept up; restored, it shows current readings at once.
TEST(Tick, LabelsAreCurrentWhenTheWindowIsRestoredAfterRunningHidden) {
    Sandbox box;
    Process p;
    box.WriteText(L"vesko.ini", "[CPU]\r\nCPU_Percent=37\r\n");
    HWND form = StartForm(box, p, {L"/h"});
    ASSERT_TRUE(form);
    Sleep(5000);
    EXPECT_FALSE(GetDlgItem(form, ids::StatusClock)) << "a window never shown holds no controls";
    SYSTEMTIME from;
    GetLocalTime(&from);
    Command(form, ids::Restore);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(form) != FALSE; }, 5000));
    const std::string clock = ControlText(form, ids::StatusClock);
    EXPECT_TRUE(EndsWithTimeSince(clock, from)) << clock;
    EXPECT_NE(ControlText(form, ids::StatusUptime).find("秒"), std::string::npos);
    // Built late, filled as if it had been there all along.
    EXPECT_FALSE(ControlText(form, ids::OsVersionLabel).empty());
    EXPECT_EQ(ControlText(form, vesko::LayoutControlId("CPU_Percent")), "37");
    // And they follow the tick while shown.
    Sleep(2000);
    GetLocalTime(&from);
    EXPECT_TRUE(EndsWithTimeSince(ControlText(form, ids::StatusClock), from));
}

TEST(PowerCommands, SuspendFromTheTrayMenuLogsOneLineAndShowsTheRefusal) {
    Sandbox box;
    Process p;
    HWND form = StartForm(box, p, {L"/h"});
    Command(form, ids::PowerCommandId(vesko::ManualCommand::Suspend));
    HWND msg = WaitForMessageBox(p.pid);
    ASSERT_TRUE(msg);
    EXPECT_EQ(MessageBoxText(msg), "サスペンドは許可されていません。");
    AnswerMessageBox(msg);
    auto log = box.ReadText(L"Log.txt");
    ASSERT_TRUE(log);
    bool crlf = false;
    auto lines = CrLfLines(*log, &crlf);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find(" Windowsをサスペンドしました"), std::string::npos);
}

TEST(PowerCommands, SavedSuspendFallsBackToShutdownSilently) {
    Sandbox box;
    box.WriteText(L"vesko.ini", "[PowerSaving]\r\nShutdown=0\r\nSuspend=1\r\nHibernation=0\r\n");
    Process p;
    StartForm(box, p);
    // The fallback comes after the start line: wait for it.
    EXPECT_TRUE(WaitUntil([&] { return IniValue(box, "Suspend") == "0"; }));
    EXPECT_EQ(IniValue(box, "Shutdown"), "1");
    Sleep(1500);
    EXPECT_EQ(FindProcessWindow(p.pid, L"#32770", true), nullptr) << "the start fallback shows no message";
}

namespace {

// The sleeper in the folder registered as the viewer of ".htm" pages for the
// scenario's length; what was there before comes back.
class PageViewer {
public:
    explicit PageViewer(const std::wstring& viewer) {
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L".htm", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &extension_,
                            &disposition_) != ERROR_SUCCESS)
            return;
        wchar_t old[256] = {};
        DWORD size = sizeof old;
        if (RegQueryValueExW(extension_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
            ERROR_SUCCESS)
            oldType_ = old;
        SetDefault(extension_, L"VeskoE2ePage");
        HKEY command = nullptr;
        RegCreateKeyExW(HKEY_CLASSES_ROOT, L"VeskoE2ePage\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &command, nullptr);
        SetDefault(command, L"\"" + viewer + L"\" \"%1\"");
        RegCloseKey(command);
    }
    ~PageViewer() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"VeskoE2ePage");
        if (!extension_) return;
        if (disposition_ == REG_CREATED_NEW_KEY) {
            RegCloseKey(extension_);
            RegDeleteTreeW(HKEY_CLASSES_ROOT, L".htm");
            return;
        }
        if (oldType_.empty()) RegDeleteValueW(extension_, nullptr);
        else SetDefault(extension_, oldType_);
        RegCloseKey(extension_);
    }

private:
    static void SetDefault(HKEY key, const std::wstring& text) {
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    HKEY extension_ = nullptr;
    DWORD disposition_ = 0;
    std::wstring oldType_;
};

}  // namespace

TEST(WindowCommands, HelpOpensThePageFromAFolderNamedWithHashPercentAndBlank) {
    Sandbox box(L" a#b %20c");
    // The viewer in a folder of its own: "%2" in its command would be an argument.
    Sandbox viewerBox;
    PageViewer viewer(viewerBox.PlaceHelper(L"viewer.exe"));
    Process p = box.Start();
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1, true);
    ASSERT_TRUE(form);
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(ids::Help, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return viewerBox.Exists(L"opened.txt"); })) << "no page was opened";
    const std::string bytes = viewerBox.ReadBytes(L"opened.txt").value_or("");
    const std::wstring opened(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    const std::wstring page = box.PathOf(L"index.htm");
    EXPECT_NE(opened.find(page), std::wstring::npos) << Utf8(opened);
    EXPECT_TRUE(p.Running());
}
