// The excluded-programs dialog under real clicks and keys: opened by the
// settings window's "設定" button, entries added through the system's open
// dialog and deleted, the list written back when it closes, and the tick
// checking the edited list at once.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "Harness.h"
#include "ui/ControlIds.h"
#include "ui/SettingsLayout.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

// The program with its window shown, and its excluded-programs dialog.
struct DialogProgram {
    Sandbox box;
    Process p;
    HWND form = nullptr;

    explicit DialogProgram(const std::string& list, bool writeList = true) {
        if (writeList) box.WriteText(L"ExeNameList.txt", list);
        box.WriteText(L"vesko.ini", "[Other]\r\nFunction_Enabled=1\r\nExeStop_Enabled=1\r\n");
        p = box.Start();
        form = WaitForWindow(p.pid, VESKO_CLASS_FORM1, true);
        EXPECT_TRUE(form) << "no main window";
    }
    HWND Dialog(bool visible = true) const { return FindProcessWindow(p.pid, VESKO_CLASS_FORM4, visible); }
    HWND Item(int id) const { return GetDlgItem(Dialog(false), id); }
    std::vector<std::string> Items() const { return ListViewItems(Item(ids::ExcludedProgramList)); }
    // Presses "設定"; true once the dialog is up.
    // Presses "設定"; true once the dialog is up.
    bool Open() const {
        return Press(GetDlgItem(form, vesko::LayoutControlId("ExcludedProgramsButton")),
                     [&] { return Dialog() != nullptr || FindProcessWindow(p.pid, L"#32770", true); });
    }
    bool Closed() const {
        return WaitUntil([&] { return Dialog() == nullptr; }, 5000);
    }
    // "追加", then the path typed into the open dialog's name field and Enter.
    void AddThroughOpenDialog(const std::wstring& path) const {
        // A press that meets the dialog just shown may be lost under Wine: a
        // second one then; the open dialog itself takes a while to list its folder.
        ClickWindow(Item(ids::AddProgramButton));
        HWND chooser = WaitForMessageBox(p.pid, 3000);
        if (!chooser) {
            ClickWindow(Item(ids::AddProgramButton));
            chooser = WaitForMessageBox(p.pid, 10000);
        }
        ASSERT_TRUE(chooser) << "no open dialog";
        EXPECT_EQ(WindowTitle(chooser), "EXEファイルの選択");
        Sleep(300);
        TypeText(path);
        PressKey(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(chooser) || !IsWindowVisible(chooser); }, 5000));
    }
    // The first entry selected from the keyboard (Tab to the list, Home),
    // then "削除" clicked. A click on the row is left out: the list view
    // follows a press in a loop of its own, and the main window's tick, which
    // takes waiting input first, can take the release from that loop.
    void DeleteFirst() const {
        const std::size_t before = Items().size();
        HWND list = Item(ids::ExcludedProgramList);
        auto focused = [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(GetWindowThreadProcessId(list, nullptr), &info) && info.hwndFocus == list;
        };
        for (int i = 0; i < 4 && !focused(); ++i) {
            PressKey(VK_TAB);
            Sleep(200);
        }
        EXPECT_TRUE(focused());
        PressKey(VK_HOME);
        EXPECT_TRUE(WaitUntil([&] { return SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 0; }, 3000));
        EXPECT_TRUE(Press(Item(ids::DeleteProgramButton), [&] { return Items().size() < before; }));
    }
    void Close() const {
        EXPECT_TRUE(Press(Item(ids::CloseExcludedButton),
                          [&] { return Dialog() == nullptr || FindProcessWindow(p.pid, L"#32770", true); }));
    }
    void CloseWithEsc() const {
        for (int attempt = 0; attempt < 3 && Dialog(); ++attempt) {
            PressKey(VK_ESCAPE);
            WaitUntil([&] { return Dialog() == nullptr; }, 3000);
        }
    }
    // The list is written just after the dialog is hidden.
    bool FileBecomes(const std::string& text) const {
        return WaitUntil([&] { return FileText() == text; }, 5000);
    }
    std::string FileText() const { return box.ReadText(L"ExeNameList.txt").value_or("<no file>"); }
};

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

}  // namespace

TEST(ExcludedProgramsDialog, AddDeleteAndCloseEditTheListTheTickChecks) {
    DialogProgram t("C:\\no\\such.exe\n");  // written by hand, LF only
    const std::wstring other = t.box.PlaceHelper(L"other.exe");
    ASSERT_EQ(WaitForLook(TrayLook::On, kWaitMs), TrayLook::On);

    ASSERT_TRUE(t.Open());
    HWND dialog = t.Dialog();
    EXPECT_EQ(WindowTitle(dialog), "EXEファイルの選択");
    EXPECT_EQ(t.Items(), std::vector<std::string>{"C:\\no\\such.exe"});
    // Centred on the main window.
    const RECT d = WindowRect(dialog), f = WindowRect(t.form);
    EXPECT_NEAR((d.left + d.right) / 2, (f.left + f.right) / 2, 2);
    EXPECT_NEAR((d.top + d.bottom) / 2, (f.top + f.bottom) / 2, 2);

    // The same program twice is two entries.
    t.AddThroughOpenDialog(other);
    t.AddThroughOpenDialog(other);
    const std::string o = Utf8(other);
    ASSERT_TRUE(WaitUntil([&] { return t.Items().size() == 3; }, 3000));
    EXPECT_EQ(t.Items(), (std::vector<std::string>{"C:\\no\\such.exe", o, o}));
    Sleep(300);
    std::wstring shot = SaveScreenshot(L"exelist-dialog");
    EXPECT_FALSE(shot.empty());

    // The listed program starts: the icon turns off at the next tick, with
    // the dialog still open and nothing saved.
    Process helper = t.box.StartHelper(L"other.exe");
    EXPECT_EQ(WaitForLook(TrayLook::Off), TrayLook::Off);
    EXPECT_EQ(t.FileText(), "C:\\no\\such.exe\n");

    // The first entry selected, then "削除".
    HWND list = t.Item(ids::ExcludedProgramList);
    const RECT lr = WindowRect(list);
    t.DeleteFirst();
    EXPECT_EQ(t.Items(), (std::vector<std::string>{o, o}));

    // Grown, the list grows with the dialog and its one column fills it.
    SetWindowPos(dialog, nullptr, 0, 0, (d.right - d.left) + 200, (d.bottom - d.top) + 100, SWP_NOMOVE | SWP_NOZORDER);
    Sleep(300);
    RECT inner{};
    GetClientRect(list, &inner);
    EXPECT_GE(WindowRect(list).right - lr.left, (lr.right - lr.left) + 190);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), inner.right);

    t.Close();
    ASSERT_TRUE(t.Closed());
    EXPECT_TRUE(t.FileBecomes(o + "\r\n" + o + "\r\n")) << t.FileText();
    EXPECT_EQ(LookAtTray().look, TrayLook::Off);

    // Opened again and closed with Esc, without changes: written back all the same.
    t.box.WriteText(L"ExeNameList.txt", o + "\n");
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(t.Items(), std::vector<std::string>{o});
    t.CloseWithEsc();
    ASSERT_TRUE(t.Closed());
    EXPECT_TRUE(t.FileBecomes(o + "\r\n")) << t.FileText();
    EXPECT_TRUE(t.p.Running());
}

TEST(ExcludedProgramsDialog, APathOutsideTheCodePageIsRefusedByName) {
    DialogProgram t("", false);
    const std::wstring name = L"caf\u00e9.exe";  // é has no place in code page 932
    const std::wstring path = t.box.PlaceHelper(name);
    ASSERT_TRUE(t.Open());
    t.AddThroughOpenDialog(path);
    HWND box = WaitForMessageBox(t.p.pid, 5000);
    ASSERT_TRUE(box);
    EXPECT_NE(MessageBoxText(box).find(Utf8(path)), std::string::npos) << MessageBoxText(box);
    AnswerMessageBox(box);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    EXPECT_TRUE(t.Items().empty());
    t.CloseWithEsc();
    ASSERT_TRUE(t.Closed());
    EXPECT_TRUE(t.FileBecomes("")) << t.FileText();  // an empty list is an empty file
}

TEST(ExcludedProgramsDialog, AnUnreadableFileGivesItsMessageAndNoDialog) {
    DialogProgram t("C:\\a.exe\r\n");
    {
        FileHold hold(t.box.PathOf(L"ExeNameList.txt"));
        ASSERT_TRUE(hold.Held());
        ASSERT_TRUE(t.Open());
        HWND box = WaitForMessageBox(t.p.pid, 5000);
        ASSERT_TRUE(box);
        EXPECT_EQ(MessageBoxText(box), "ファイル " + Utf8(t.box.PathOf(L"ExeNameList.txt")) + " は開けません");
        EXPECT_EQ(t.Dialog(), nullptr);
        AnswerMessageBox(box);
        Sleep(500);
        EXPECT_EQ(t.Dialog(), nullptr);
    }
    EXPECT_EQ(t.FileText(), "C:\\a.exe\r\n");
}

TEST(ExcludedProgramsDialog, AnUnwritableFileOnCloseKeepsTheOldFileAndTheEditedList) {
    DialogProgram t("C:\\a.exe\r\nC:\\b.exe\r\n");
    ASSERT_TRUE(t.Open());
    t.box.SetReadOnly(L"ExeNameList.txt", true);
    t.DeleteFirst();
    ASSERT_EQ(t.Items(), std::vector<std::string>{"C:\\b.exe"});
    t.Close();
    HWND box = WaitForMessageBox(t.p.pid, 5000);
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "ファイル " + Utf8(t.box.PathOf(L"ExeNameList.txt")) + " を作成できません");
    AnswerMessageBox(box);
    EXPECT_EQ(t.FileText(), "C:\\a.exe\r\nC:\\b.exe\r\n");
    EXPECT_FALSE(t.box.Exists(L"ExeNameList.txt.tmp"));
    // The edited list stays the live one: writable again, the next close saves it.
    t.box.SetReadOnly(L"ExeNameList.txt", false);
    EXPECT_EQ(t.Items(), std::vector<std::string>{"C:\\b.exe"});
    EXPECT_TRUE(t.p.Running());
}
