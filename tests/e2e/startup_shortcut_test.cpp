// The start-with-Windows switch seen from outside: the link in Wine's Startup
// folder made and removed by OK and Apply, read back through
// the shell-link interface, and a start through it.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "Harness.h"
#include "base/ScopedWin.h"
#include "base/WinText_win.h"
#include "ui/ControlIds.h"
#include "ui/SettingsLayout.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

std::wstring StartupFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, 0, path);
    return std::wstring(path) + L"\\";
}

struct LinkFields {
    bool loaded = false;
    std::string target, arguments, workingFolder;
};

LinkFields ReadLink(const std::wstring& path) {
    LinkFields fields;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t buf[MAX_PATH] = {};
        link->GetPath(buf, MAX_PATH, nullptr, 0);
        fields.target = Utf8(buf);
        link->GetArguments(buf, MAX_PATH);
        fields.arguments = Utf8(buf);
        link->GetWorkingDirectory(buf, MAX_PATH);
        fields.workingFolder = Utf8(buf);
        fields.loaded = true;
    }
    if (file) file->Release();
    if (link) link->Release();
    return fields;
}

// A link the user made by hand: vesko.exe with no arguments.
void MakeUserLink(const std::wstring& path, const std::wstring& target) {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        link->SetPath(target.c_str());
        file->Save(path.c_str(), TRUE);
    }
    if (file) file->Release();
    if (link) link->Release();
}

bool FileThere(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

FILETIME WrittenAt(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// The Startup folder is the prefix's own: the links a scenario makes go with
// it, or every later Wine session would start the program.
struct StartupLinks {
    vesko::ScopedComInit com;
    std::wstring folder = StartupFolder();
    std::wstring ours = folder + L"vesko.lnk";
    StartupLinks() { Clear(); }
    ~StartupLinks() { Clear(); }
    void Clear() const {
        DeleteFileW(ours.c_str());
        DeleteFileW((folder + L"saver.lnk").c_str());
    }
};

// The settings window of a running copy.
struct RunningForm {
    HWND form;
    explicit RunningForm(HWND f) : form(f) {}
    HWND Control(const char* name) const { return GetDlgItem(form, vesko::LayoutControlId(name)); }
    bool SwitchOn() const { return SendMessageW(Control("StartWithWindows"), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // The controls are pressed with BM_CLICK: the same press of the button as
    // a click gives, without the pointer's delays under a loaded Wine.
    void Click(const char* name) const { PostMessageW(Control(name), BM_CLICK, 0, 0); }
    void SetSwitch(bool on) const {
        if (SwitchOn() != on) Click("StartWithWindows");
        EXPECT_TRUE(WaitUntil([&] { return SwitchOn() == on; }, 5000));
    }
    // OK hides the window once saved.
    void Ok() const {
        Click("OkButton");
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(form); }));
    }
    void Apply(const std::function<bool()>& saved) const {
        Click("ApplyButton");
        EXPECT_TRUE(WaitUntil(saved));
    }
};

HWND ShownForm(const Process& p) { return WaitForWindow(p.pid, VESKO_CLASS_FORM1, true); }

// Ends the copy from its menu and starts it again: the settings are loaded anew.
Process Restart(Sandbox& box, const Process& p, HWND form, const std::wstring& exeName = L"vesko.exe") {
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(ids::Exit, 0), 0);
    EXPECT_TRUE(p.WaitExit());
    return exeName == L"vesko.exe" ? box.Start() : box.StartAs(exeName);
}

}  // namespace

TEST(StartupShortcut, OnAndOkMakeTheLinkThatStartsTheProgramHiddenAndOffRemovesIt) {
    StartupLinks links;
    Sandbox box;
    Process p = box.Start();
    RunningForm first(ShownForm(p));
    ASSERT_TRUE(first.form);
    EXPECT_FALSE(first.SwitchOn());
    first.SetSwitch(true);
    first.Ok();
    ASSERT_TRUE(WaitUntil([&] { return FileThere(links.ours); }, 5000));
    const LinkFields made = ReadLink(links.ours);
    ASSERT_TRUE(made.loaded);
    EXPECT_EQ(made.arguments, "/e");
    EXPECT_EQ(CompareStringOrdinal(Wide(made.target).c_str(), -1, box.ExePath().c_str(), -1, TRUE), CSTR_EQUAL)
        << made.target;
    const std::wstring dir = box.Dir().substr(0, box.Dir().size() - 1);
    EXPECT_EQ(CompareStringOrdinal(Wide(made.workingFolder).c_str(), -1, dir.c_str(), -1, TRUE), CSTR_EQUAL)
        << made.workingFolder;

    // The program ends from its menu; the shell starts it again through the link.
    PostMessageW(first.form, WM_COMMAND, MAKEWPARAM(ids::Exit, 0), 0);
    ASSERT_TRUE(p.WaitExit());
    ASSERT_GT(
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", links.ours.c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
        32);
    // The shell starts it through a helper of its own: the new copy is found by its window.
    HWND form = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (form = FindWindowW(VESKO_CLASS_FORM1, nullptr)) != nullptr; }));
    Process second;
    GetWindowThreadProcessId(form, &second.pid);
    second.handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, second.pid);
    struct Ender {
        Process& p;
        ~Ender() {
            if (p.handle) TerminateProcess(p.handle, 0), p.WaitExit(), CloseHandle(p.handle);
        }
    } ender{second};
    EXPECT_TRUE(WaitUntil([&] { return LookAtTray().look != TrayLook::None; }));
    EXPECT_FALSE(IsWindowVisible(form));
    ASSERT_TRUE(WaitUntil([&] { return LogLines(box).size() == 3; }));
    const std::string last = LogLines(box).back();
    EXPECT_NE(last.find(" Windowsが起動し引数\"/e\"でケルダン!を起動しました"), std::string::npos) << last;

    // Started as usual, the switch reads on; off and OK take the link away.
    Process third = Restart(box, second, form);
    RunningForm again(ShownForm(third));
    ASSERT_TRUE(again.form);
    EXPECT_TRUE(again.SwitchOn());
    again.SetSwitch(false);
    again.Ok();
    EXPECT_TRUE(WaitUntil([&] { return !FileThere(links.ours); }, 5000));
}

TEST(StartupShortcut, AUserLinkSurvivesOffAndEveryApplyRewritesOurs) {
    StartupLinks links;
    Sandbox box;
    MakeUserLink(links.ours, box.ExePath());
    Process p = box.Start();
    RunningForm f(ShownForm(p));
    ASSERT_TRUE(f.form);
    EXPECT_TRUE(f.SwitchOn());  // any vesko.lnk counts
    f.SetSwitch(false);
    f.Ok();
    Sleep(1000);
    ASSERT_TRUE(FileThere(links.ours));
    EXPECT_EQ(ReadLink(links.ours).arguments, "");

    // The next start still finds it; on, each Apply writes our link over it anew.
    Process q = Restart(box, p, f.form);
    RunningForm g(ShownForm(q));
    ASSERT_TRUE(g.form);
    EXPECT_TRUE(g.SwitchOn());
    g.SetSwitch(false);
    g.SetSwitch(true);
    g.Apply([&] { return ReadLink(links.ours).arguments == "/e"; });
    FILETIME before = WrittenAt(links.ours);
    for (int i = 0; i < 2; ++i) {
        Sleep(1100);
        g.Apply([&] {
            const FILETIME now = WrittenAt(links.ours);
            return CompareFileTime(&before, &now) < 0;
        });
        const FILETIME now = WrittenAt(links.ours);
        EXPECT_LT(CompareFileTime(&before, &now), 0) << "Apply " << i + 1 << " left the link as it was";
        before = now;
    }
}

TEST(StartupShortcut, ARenamedCopyReadsAndRemovesItsOwnLinkAndLeavesAnotherCopysAlone) {
    StartupLinks links;
    Sandbox box;
    const std::wstring other = box.PlaceHelper(L"other.exe");
    MakeUserLink(links.ours, other);  // another program's link of the name
    Process p = box.StartAs(L"saver.exe");
    RunningForm f(ShownForm(p));
    ASSERT_TRUE(f.form);
    EXPECT_FALSE(f.SwitchOn());
    f.SetSwitch(true);
    f.Ok();
    const std::wstring saverLink = links.folder + L"saver.lnk";
    ASSERT_TRUE(WaitUntil([&] { return FileThere(saverLink); }, 5000));
    EXPECT_EQ(ReadLink(saverLink).arguments, "/e");
    // The next load finds its own link; off removes it and only it.
    Process q = Restart(box, p, f.form, L"saver.exe");
    RunningForm g(ShownForm(q));
    ASSERT_TRUE(g.form);
    EXPECT_TRUE(g.SwitchOn());
    g.SetSwitch(false);
    g.Ok();
    EXPECT_TRUE(WaitUntil([&] { return !FileThere(saverLink); }, 5000));
    const std::string kept = ReadLink(links.ours).target;
    EXPECT_EQ(CompareStringOrdinal(Wide(kept).c_str(), -1, other.c_str(), -1, TRUE), CSTR_EQUAL) << kept;
}

// Off while another program holds the link open without delete sharing: the
// error box says why, the switch reads on as the folder has it, the link stays.
TEST(StartupShortcut, AnOffThatCannotRemoveTheLinkSaysWhyAndTheSwitchReadsOn) {
    StartupLinks links;
    Sandbox box;
    Process p = box.Start();
    RunningForm f(ShownForm(p));
    ASSERT_TRUE(f.form);
    f.SetSwitch(true);
    f.Apply([&] { return ReadLink(links.ours).arguments == "/e"; });
    vesko::ScopedHandle held(
        CreateFileW(links.ours.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    f.SetSwitch(false);
    f.Click("OkButton");
    HWND msg = WaitForMessageBox(p.pid);
    ASSERT_TRUE(msg);
    EXPECT_EQ(MessageBoxText(msg), vesko::SystemErrorText(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(f.SwitchOn());
    AnswerMessageBox(msg);
    EXPECT_TRUE(IsWindowVisible(f.form));
    EXPECT_TRUE(FileThere(links.ours));
}
