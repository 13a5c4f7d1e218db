// The program's entry: one copy only, then the application built whole and
// its message loop.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "AboutBox.h"
#include "AppPorts.h"
#include "ExcludedProgramsDialog.h"
#include "MainWindow.h"
#include "engine/Monitor.h"
#include "WarningWindow.h"
#include "WinUi.h"
#include "base/Product.h"
#include "base/Trace_win.h"
#include "base/SystemLibrary_win.h"
#include "base/WinText_win.h"
#include "power/PowerActions.h"
#include "power/PowerActions_win.h"
#include "readings/CpuUsage.h"
#include "readings/KeepAwake.h"
#include "readings/SystemProbes.h"
#include "settings/ExcludedPrograms.h"
#include "settings/ProfileFile_win.h"
#include "settings/SettingsStore.h"
#include "settings/StartupShortcut.h"
#include "settings/StartupSwitches.h"

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

// The program: the monitor with its ports and the four windows, each made
// whole here in the order they need each other. The windows create their
// controls when first shown.
class App {
public:
    explicit App(std::vector<std::string> args)
        : switches_(ParseStartupSwitches(args)),
          monitor_(MonitorPorts{clock_, settings_, mainWindow_, warningWindow_, powerActions_, powerSystem_, log_,
                                tray_, *programListFile_, *programs_, *cpu_, *keepAwake_, machine_, *startupLink_},
                   std::move(args)) {}

    // The windows, the tray icon and start-up; false when the main window cannot be made.
    bool Start(HINSTANCE instance) {
        if (!mainWindow_.Create(instance)) return false;
        tray_.Create(mainWindow_.Handle(), instance, mainWindow_.TrayMenu());
        monitor_.Start();
        mainWindow_.StartTicking();
        mainWindow_.ApplyStartVisibility(switches_.hide);
        if (!switches_.noTrayIcon) monitor_.ShowTrayIcon();
        return true;
    }

    int RunMessageLoop() {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (DialogKeys(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return static_cast<int>(msg.wParam);
    }

private:
    StartupSwitches switches_;
    // The ports.
    LocalClock clock_;
    // The only way to "vesko.ini".
    SettingsStore settings_{[] { return OpenSettingsFile(ExeFolder() + "vesko.ini"); }};
    // The Windows 9x log-off asks the main window to close.
    WinPowerSystem powerSystem_{[this] { PostMessageW(mainWindow_.Handle(), WM_CLOSE, 0, 0); }};
    PowerActions powerActions_{powerSystem_};
    EventLogFile log_;
    AppTrayIcon tray_{[this] { mainWindow_.Restore(); }};
    std::unique_ptr<ExcludedListFile> programListFile_ = OpenExcludedListFile();
    std::unique_ptr<ProgramSystem> programs_ = CreateProgramSystem();
    std::unique_ptr<CpuUsage> cpu_ = CreateCpuUsage();
    // Loads nothing until the option is on.
    std::unique_ptr<KeepAwakeProbe> keepAwake_ = CreateKeepAwakeProbe();
    WinMachine machine_;
    std::unique_ptr<StartupShortcut> startupLink_ = OpenStartupShortcut();
    // The windows reach the monitor, made after them, only through its commands.
    AboutBox aboutBox_;
    ExcludedProgramsDialog programsDialog_{monitor_};
    WarningWindow warningWindow_{monitor_, switches_.lockWarning};
    MainWindow mainWindow_{monitor_, aboutBox_, programsDialog_};
    Monitor monitor_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    // Before anything loads a library: none from the program's folder.
    RestrictLibrarySearch();
    TraceToDebugger();

    // One copy only: a running copy owns the mutex; the handle stays open for the
    // whole process so that only a live copy refuses the next one.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Vesko");
    if (mutex && WaitForSingleObject(mutex, 0) == WAIT_TIMEOUT) {
        ShowErrorBox(nullptr, std::string(kProductName) + "は既に起動しています。");
        return 0;
    }

    static App app(CommandLineArgs());
    if (!app.Start(instance)) return 1;
    return app.RunMessageLoop();
}
