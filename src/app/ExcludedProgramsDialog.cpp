#include "ExcludedProgramsDialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <string>

#include "engine/Monitor.h"
#include "WinUi.h"
#include "base/ScopedWin.h"
#include "controls/CommonControls_win.h"
#include "base/WinText_win.h"
#include "ui/ControlIds.h"

namespace vesko {
namespace {

constexpr const char* kTitle = "EXEファイルの選択";
// 96-DPI layout: the list fills the dialog above a row of buttons.
constexpr int kMargin = 8, kButtonW = 75, kButtonH = 25, kGap = 8;
constexpr int kMinWidth = 3 * kButtonW + 2 * kGap + 2 * kMargin + 16, kMinHeight = 140;

}  // namespace

bool ExcludedProgramsDialog::Create(HINSTANCE instance) {
    CommonControls::Load();
    WindowSetup setup{VESKO_CLASS_FORM4, kTitle, 320, 281, WS_EX_DLGMODALFRAME};
    setup.resizable = true;
    return CreateWindowFor(instance, setup);
}

void ExcludedProgramsDialog::CreateControls() {
    list_ =
        CreateControl(hwnd_, WC_LISTVIEWW, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP,
                      ids::ExcludedProgramList, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    std::wstring header = Widen("EXEファイルパス");
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = header.data();
    column.cx = 100;
    ListView_InsertColumn(list_, 0, &column);
    add_ = CreateControl(hwnd_, L"BUTTON", "追加", BS_PUSHBUTTON | WS_TABSTOP, ids::AddProgramButton);
    delete_ = CreateControl(hwnd_, L"BUTTON", "削除", BS_PUSHBUTTON | WS_TABSTOP, ids::DeleteProgramButton);
    close_ = CreateControl(hwnd_, L"BUTTON", "閉じる", BS_DEFPUSHBUTTON | WS_TABSTOP, ids::CloseExcludedButton);
    PlaceControls();
}

// On a change of DPI the window is sized after this: WM_SIZE arranges the
// controls again for the new size.
void ExcludedProgramsDialog::PlaceControls() {
    for (HWND control : {list_, add_, delete_, close_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    RECT r;
    GetClientRect(hwnd_, &r);
    Arrange(r.right, r.bottom);
}

void ExcludedProgramsDialog::Arrange(int width, int height) {
    const int m = Px(kMargin), bw = Px(kButtonW), bh = Px(kButtonH), gap = Px(kGap);
    const int buttonsTop = height - m - bh;
    MoveWindow(list_, m, m, std::max(0, width - 2 * m), std::max(0, buttonsTop - gap - m), TRUE);
    MoveWindow(add_, m, buttonsTop, bw, bh, TRUE);
    MoveWindow(delete_, m + bw + gap, buttonsTop, bw, bh, TRUE);
    MoveWindow(close_, width - m - bw, buttonsTop, bw, bh, TRUE);
    FitColumn();
}

// The one column takes the list's whole inner width, scroll bar excluded.
void ExcludedProgramsDialog::FitColumn() {
    RECT inner;
    GetClientRect(list_, &inner);
    ListView_SetColumnWidth(list_, 0, inner.right - inner.left);
}

void ExcludedProgramsDialog::Fill() {
    ListView_DeleteAllItems(list_);
    const auto& entries = monitor_.ExcludedPrograms();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::wstring text = Widen(entries[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text.data();
        ListView_InsertItem(list_, &item);
    }
    FitColumn();
}

void ExcludedProgramsDialog::AddProgram() {
    std::wstring path(32768, L'\0');
    const std::wstring title = Widen(kTitle);
    // Display text, NUL, pattern, then the closing NUL pair.
    const std::wstring filter = Widen("EXEファイル(*.exe)") + L'\0' + L"*.exe" + L'\0' + L'\0';
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd_;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    // The file dialog's library (and the printing libraries it draws in) is
    // loaded for the one choice: the resident program never needs it otherwise.
    ScopedComInit com;  // the dialog's folder view is a COM object
    ScopedLibrary dialogs(L"comdlg32.dll");
    auto getOpenFileName = dialogs.Function<BOOL(WINAPI*)(OPENFILENAMEW*)>("GetOpenFileNameW");
    if (!getOpenFileName) {
        ShowErrorBox(hwnd_, SystemErrorText(GetLastError()));
        return;
    }
    if (!getOpenFileName(&ofn)) return;  // cancelled
    path.resize(wcslen(path.c_str()));
    if (auto refusal = monitor_.AddToProgramList(Narrow(path))) {
        ShowErrorBox(hwnd_, *refusal);
        return;
    }
    Fill();
    ListView_EnsureVisible(list_, ListView_GetItemCount(list_) - 1, FALSE);
}

void ExcludedProgramsDialog::DeleteSelected() {
    const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (selected < 0) return;
    monitor_.RemoveFromProgramList(static_cast<std::size_t>(selected));
    Fill();
}

LRESULT ExcludedProgramsDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case ids::AddProgramButton: AddProgram(); return 0;
                case ids::DeleteProgramButton: DeleteSelected(); return 0;
                case ids::CloseExcludedButton:
                case IDOK:
                case IDCANCEL:  // Esc
                    done_ = true;
                    return 0;
            }
            break;
        case WM_CLOSE: done_ = true; return 0;
        case DM_GETDEFID: return MAKELRESULT(ids::CloseExcludedButton, DC_HASDEFID);
        case WM_SIZE:
            if (list_) Arrange(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize = {Px(kMinWidth), Px(kMinHeight)};
            return 0;
        }
    }
    return Window::HandleMessage(msg, wp, lp);
}

void ExcludedProgramsDialog::ShowModal(HWND owner) {
    if (modal_) return;
    try {
        monitor_.ReloadProgramList();
    } catch (const std::exception& e) {
        ShowErrorBox(owner, e.what());
        return;
    }
    if (!hwnd_ && !Create(GetModuleHandleW(nullptr))) return;
    Fill();
    modal_ = true;
    done_ = false;
    CenterOn(owner && IsWindowVisible(owner) ? owner : nullptr);
    RunModal(owner, list_, done_);
    modal_ = false;
    try {
        monitor_.SaveProgramList();
    } catch (const std::exception& e) {
        ShowErrorBox(owner, e.what());
    }
}

}  // namespace vesko
