// The program as a user receives it: started from the folder the release zip
// was unpacked into (tests/release/zip_test.py unpacks it and names the
// folder in VESKO_UNPACKED_DIR), with nothing but the zip's files beside it
// and the working folder elsewhere. Only that script runs this scenario.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "Harness.h"
#include "ui/ControlIds.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

std::set<std::wstring> FilesIn(const std::wstring& dir) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (lstrcmpW(fd.cFileName, L".") != 0 && lstrcmpW(fd.cFileName, L"..") != 0) names.insert(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

}  // namespace

TEST(ReleaseZip, StartsFromTheUnpackedFolderShowsItselfAndWritesOnlyThere) {
    const wchar_t* given = _wgetenv(L"VESKO_UNPACKED_DIR");
    ASSERT_TRUE(given && *given) << "run by tests/release/zip_test.py, which names the unpacked folder";
    const std::wstring dir = std::wstring(given) + L"\\";
    const std::wstring exe = dir + L"vesko.exe";
    ASSERT_EQ(FilesIn(dir), (std::set<std::wstring>{L"LICENSE.txt", L"index.htm", L"readme.txt", L"vesko.exe"}));

    // Started as a shortcut elsewhere would start it: the working folder is
    // the one above, which must stay as it is.
    const std::wstring workDir = dir.substr(0, dir.find_last_of(L'\\', dir.size() - 2) + 1);
    const std::set<std::wstring> workBefore = FilesIn(workDir);
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(), &si, &pi))
        << "error " << GetLastError();
    CloseHandle(pi.hThread);
    Process p{pi.hProcess, pi.dwProcessId};

    HWND window = WaitForWindow(p.pid, VESKO_CLASS_FORM1, true);
    EXPECT_TRUE(window) << "the settings window did not show";
    EXPECT_TRUE(WaitUntil([] { return LookAtTray().look != TrayLook::None; })) << "no tray icon";
    EXPECT_TRUE(WaitUntil([&] { return FilesIn(dir).count(L"vesko.ini") && FilesIn(dir).count(L"Log.txt"); }));
    SaveScreenshot(L"release-zip-first-start");

    // The exit command, so that what it writes is checked too.
    if (window) PostMessageW(window, WM_COMMAND, ids::Exit, 0);
    if (!p.WaitExit()) TerminateProcess(p.handle, 1);
    CloseHandle(p.handle);
    EXPECT_EQ(FilesIn(dir), (std::set<std::wstring>{L"LICENSE.txt", L"Log.txt", L"index.htm", L"readme.txt",
                                                    L"vesko.exe", L"vesko.ini"}));
    EXPECT_EQ(FilesIn(workDir), workBefore) << "the working folder gained files";
}
