// Libraries planted beside vesko.exe under system libraries' names, with Wine
// told to search as Windows does (the program's folder first): none of them
// may load while the program starts, ticks, opens its dialogs and writes its
// Startup link.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "Harness.h"
#include "ui/ControlIds.h"
#include "ui/SettingsLayout.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

// The build's list, which also asks Wine for them from the program's folder first.
std::vector<std::wstring> PlantedNames() {
    std::vector<std::wstring> names;
    std::wstring all = Wide(VESKO_PLANTED_LIBRARIES) + L",";
    for (std::size_t start = 0, comma; (comma = all.find(L',', start)) != std::wstring::npos; start = comma + 1)
        names.push_back(all.substr(start, comma - start));
    return names;
}

std::string Joined(const std::vector<std::wstring>& names) {
    std::string text;
    for (const std::wstring& n : names) text += Utf8(n) + " ";
    return text;
}

// The link the scenario makes is taken away with it.
struct StartupLink {
    std::wstring path;
    StartupLink() {
        wchar_t folder[MAX_PATH] = {};
        SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, 0, folder);
        path = std::wstring(folder) + L"\\vesko.lnk";
        DeleteFileW(path.c_str());
    }
    ~StartupLink() { DeleteFileW(path.c_str()); }
};

}  // namespace

TEST(PlantedLibraries, NoneLoadsWhileTheProgramStartsTicksOpensItsDialogsAndWritesItsLink) {
    StartupLink link;
    Sandbox box;
    for (const std::wstring& name : PlantedNames()) box.PlaceMarkerLibrary(name + L".dll");

    // The plant works: a program that loads a library by bare name gets the planted one.
    Process careless = box.StartHelper(L"careless.exe", {L"uxtheme.dll"});
    ASSERT_TRUE(WaitUntil([&] { return box.Exists(L"uxtheme.dll.loaded"); }, 10000))
        << "the planted library never loaded: the scenario would prove nothing";
    TerminateProcess(careless.handle, 0);
    careless.WaitExit();
    for (const std::wstring& mark : box.FilesEndingWith(L".loaded")) DeleteFileW(box.PathOf(mark).c_str());

    Process p = box.Start();
    HWND form = WaitForWindow(p.pid, VESKO_CLASS_FORM1, true);
    ASSERT_TRUE(form) << "no settings window; marks: " << Joined(box.FilesEndingWith(L".loaded"));
    // Ten ticks: the readings, the tray tip and the power checks each load what they need.
    Sleep(10000);

    // The program-list dialog and the system's open dialog from its "追加".
    auto item = [&](int id) { return GetDlgItem(FindProcessWindow(p.pid, VESKO_CLASS_FORM4), id); };
    ASSERT_TRUE(Press(GetDlgItem(form, vesko::LayoutControlId("ExcludedProgramsButton")),
                      [&] { return FindProcessWindow(p.pid, VESKO_CLASS_FORM4, true) != nullptr; }));
    ASSERT_TRUE(Press(item(ids::AddProgramButton), [&] { return FindProcessWindow(p.pid, L"#32770", true); }));
    HWND chooser = FindProcessWindow(p.pid, L"#32770", true);
    PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
    ASSERT_TRUE(Press(item(ids::CloseExcludedButton),
                      [&] { return FindProcessWindow(p.pid, VESKO_CLASS_FORM4, true) == nullptr; }));

    // The Startup link, written through the shell's link object.
    PostMessageW(GetDlgItem(form, vesko::LayoutControlId("StartWithWindows")), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(form, vesko::LayoutControlId("ApplyButton")), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesW(link.path.c_str()) != INVALID_FILE_ATTRIBUTES; }));

    EXPECT_EQ(Joined(box.FilesEndingWith(L".loaded")), "") << "planted libraries ran inside the program";
    EXPECT_TRUE(p.Running());
    EXPECT_FALSE(FindProcessWindow(p.pid, L"#32770", true)) << "a message box is up";
    EXPECT_TRUE(LookAtTray().look != TrayLook::None);
}
