// The program's entry: one copy only, the four windows, the switches, the loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "Forms.h"
#include "Unit1.h"
#include "WinUi.h"
#include "settings/StartupSwitches.h"
#include "base/WinText_win.h"

using namespace vesko;

namespace {

std::vector<std::string> CommandLineArgs() {
    std::vector<std::string> args;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 0; i < argc; ++i) args.push_back(Narrow(argv[i]));
    LocalFree(argv);
    return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    // Step 1: a running copy owns the mutex; the handle stays open for the
    // whole process so that only a live copy refuses the next one.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Vesko");
    if (mutex && WaitForSingleObject(mutex, 0) == WAIT_TIMEOUT) {
        ShowErrorBox(nullptr, "ケルダン！は既に起動しています。");
        return 0;
    }

    // Step 2: COM for the shell link object, the common controls.
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);

    // Step 3: the four windows, main window first.
    std::vector<std::string> args = CommandLineArgs();
    static TForm1 form1(args);
    static TAboutBox aboutBox;
    static TForm3 form3;
    static TForm4 form4;
    if (!form1.Create(instance)) return 1;
    aboutBox.Create(instance);
    form3.Create(instance);
    form4.Create(instance);

    // Steps 4 to 7.
    StartupSwitches sw = ParseStartupSwitches(args);
    if (sw.lockWarning) form3.LockAbort();
    form1.ShowAboutBox = [] { aboutBox.ShowModal(form1.Handle()); };
    form1.AttachWarningDialog(&form3);
    form3.OnAbort = [] { form1.WarningAbortClick(); };
    form1.ApplyStartVisibility(sw.hide, sw.noTrayIcon);

    // Step 8: the message loop.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CoUninitialize();
    return static_cast<int>(msg.wParam);
}
