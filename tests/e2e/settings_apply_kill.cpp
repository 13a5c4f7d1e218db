// The driver's side of tests/e2e/settings_apply_kill.sh: one Apply that
// switches a set of conditions on, for a script outside the Wine session
// that watches the folder and ends the program at a moment of its choosing.
#include <windows.h>

#include <cstdio>

#include "Harness.h"
#include "ui/ControlIds.h"
#include "ui/SettingsLayout.h"

namespace e2e {

namespace {

// Check boxes off in the file and on after the Apply: a file holding some
// of them on and others off was torn.
const char* const kSwitched[] = {"CPU_Enabled",     "Network_Enabled",   "Memory_Enabled", "MouseCursor_Enabled",
                                 "Warning_Enabled", "KeepAwake_Enabled", "ExeStop_Enabled"};

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int ApplyWhileWatched(bool waitForKill, const wchar_t* exe) {
    Sandbox box(L"-apply");
    if (exe) CopyFileW(exe, box.ExePath().c_str(), FALSE);
    Say("folder: " + Utf8(box.Dir()));
    std::string ini = "[Other]\r\nFunction_Enabled=0\r\nLog_Enabled=0\r\n";
    for (const char* key : kSwitched) ini += std::string("; ") + key + " starts off\r\n";
    box.WriteText(L"vesko.ini", ini);
    Process p = box.Start();
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1, true);
    if (!form) return 2;
    // The start's own writes are over once the window shows its settings.
    Sleep(500);
    Say("ready");
    if (!WaitUntil([&] { return box.Exists(L"go"); }, 60000)) return 3;
    for (const char* key : kSwitched)
        SendMessageW(GetDlgItem(form, vesko::LayoutControlId(key)), BM_SETCHECK, BST_CHECKED, 0);
    Say("applying");
    const int apply = vesko::LayoutControlId("ApplyButton");
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(apply, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(form, apply)));
    if (waitForKill) {
        if (p.WaitExit(20000)) Say("ended");
        else Say("still running");
    } else {
        const bool saved = WaitUntil(
            [&] {
                for (const char* key : kSwitched)
                    if (IniValue(box, key) != "1") return false;
                return true;
            },
            20000);
        Sleep(1000);  // any write the Apply still had to do
        Say(saved ? "applied" : "not applied");
    }
    // The file as the ended program left it, for the script to judge.
    const std::optional<std::string> bytes = box.ReadBytes(L"vesko.ini");
    Say(bytes ? "size: " + std::to_string(bytes->size()) : "size: none");
    if (bytes) {
        for (const char* key : kSwitched) Say(std::string("value: ") + key + "=" + IniValue(box, key));
    }
    return 0;
}

}  // namespace e2e
