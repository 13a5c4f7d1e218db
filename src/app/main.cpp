// The program's entry: one copy only, the main window, the switches, the loop.
// The other three windows are made when first shown.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "AboutBox.h"
#include "ExcludedProgramsDialog.h"
#include "MainWindow.h"
#include "WarningWindow.h"
#include "WinUi.h"
#include "settings/StartupSwitches.h"
#include "base/SystemLibrary_win.h"
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
    // Before anything loads a library: none from the program's folder.
    RestrictLibrarySearch();

    // One copy only: a running copy owns the mutex; the handle stays open for the
    // whole process so that only a live copy refuses the next one.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Vesko");
    if (mutex && WaitForSingleObject(mutex, 0) == WAIT_TIMEOUT) {
        ShowErrorBox(nullptr, "ケルダン！は既に起動しています。");
        return 0;
    }

    std::vector<std::string> args = CommandLineArgs();
    static MainWindow mainWindow(args);
    static AboutBox aboutBox;
    static WarningWindow warningWindow;
    static ExcludedProgramsDialog excludedProgramsDialog;
    if (!mainWindow.Create(instance)) return 1;

    // The start switches, the windows wired to each other, the start visibility.
    StartupSwitches sw = ParseStartupSwitches(args);
    if (sw.lockWarning) warningWindow.LockAbort();
    mainWindow.ShowAboutBox = [] { aboutBox.ShowModal(mainWindow.Handle()); };
    mainWindow.ShowExcludedPrograms = [] {
        excludedProgramsDialog.ShowModal(mainWindow.Handle(), mainWindow.GetMonitor());
    };
    mainWindow.GetMonitor().AttachWarningWindow(&warningWindow);
    warningWindow.OnAbort = [] { mainWindow.GetMonitor().AbortWarning(); };
    mainWindow.ApplyStartVisibility(sw.hide, sw.noTrayIcon);

    // The message loop.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (DialogKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
