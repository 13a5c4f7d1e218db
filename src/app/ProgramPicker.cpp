#include "ProgramPicker.h"

#include <commctrl.h>

#include <algorithm>

#include "WinUi.h"
#include "base/WinText_win.h"
#include "controls/CommonControls_win.h"
#include "ui/ControlIds.h"

namespace vesko {
namespace {

constexpr const char* kPickerTitle = "ソフトの選択";
// 96-DPI layout: the list fills the dialog above OK and キャンセル.
constexpr int kPickerMargin = 8, kPickerButtonW = 75, kPickerButtonH = 25, kPickerGap = 8;
constexpr int kPickerMinWidth = 2 * kPickerButtonW + kPickerGap + 2 * kPickerMargin + 16, kPickerMinHeight = 140;
constexpr int kNameColumn = 120;  // the file name's column; the title takes the rest

struct WindowWalk {
    std::vector<ProgramWindow> windows;
    DWORD self = GetCurrentProcessId();
};

// A named callback: the i686 build needs the system's calling convention,
// which a lambda cannot have.
BOOL CALLBACK AddVisibleWindow(HWND hwnd, LPARAM lp) {
    auto& walk = *reinterpret_cast<WindowWalk*>(lp);
    // Windows a user sees as a program's own: no owned dialogs, no tool windows.
    if (!IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) return TRUE;
    if (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const std::string title = GetText(hwnd);
    if (pid != walk.self && !title.empty()) walk.windows.push_back({pid, title});
    return TRUE;
}

// Visible, titled top-level windows in the system's order (topmost first),
// the program's own left out.
std::vector<ProgramWindow> VisibleWindows() {
    WindowWalk walk;
    EnumWindows(AddVisibleWindow, reinterpret_cast<LPARAM>(&walk));
    return walk.windows;
}

void AddColumn(HWND list, int index, const char* caption, int width) {
    std::wstring text = Widen(caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text.data();
    column.cx = width;
    ListView_InsertColumn(list, index, &column);
}

}  // namespace

bool ProgramPicker::Create(HINSTANCE instance) {
    CommonControls::Load();
    WindowSetup setup{VESKO_CLASS_PROGRAM_PICKER, kPickerTitle, 360, 281, WS_EX_DLGMODALFRAME};
    setup.resizable = true;
    return CreateWindowFor(instance, setup);
}

void ProgramPicker::CreateControls() {
    list_ =
        CreateControl(hwnd_, WC_LISTVIEWW, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP,
                      ids::PickerProgramList, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddColumn(list_, 0, "ファイル名", Px(kNameColumn));
    AddColumn(list_, 1, "ウインドウのタイトル", 100);
    ok_ = CreateControl(hwnd_, L"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, ids::PickerOkButton);
    cancel_ = CreateControl(hwnd_, L"BUTTON", "キャンセル", BS_PUSHBUTTON | WS_TABSTOP, ids::PickerCancelButton);
    PlaceControls();
}

// On a change of DPI the window is sized after this: WM_SIZE arranges the
// controls again for the new size.
void ProgramPicker::PlaceControls() {
    for (HWND control : {list_, ok_, cancel_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    ListView_SetColumnWidth(list_, 0, Px(kNameColumn));
    RECT r;
    GetClientRect(hwnd_, &r);
    Arrange(r.right, r.bottom);
}

void ProgramPicker::Arrange(int width, int height) {
    const int m = Px(kPickerMargin), bw = Px(kPickerButtonW), bh = Px(kPickerButtonH), gap = Px(kPickerGap);
    const int buttonsTop = height - m - bh;
    MoveWindow(list_, m, m, std::max(0, width - 2 * m), std::max(0, buttonsTop - gap - m), TRUE);
    MoveWindow(ok_, width - m - 2 * bw - gap, buttonsTop, bw, bh, TRUE);
    MoveWindow(cancel_, width - m - bw, buttonsTop, bw, bh, TRUE);
    // The title's column takes what the name's leaves of the inner width.
    RECT inner;
    GetClientRect(list_, &inner);
    ListView_SetColumnWidth(list_, 1, std::max<int>(Px(60), inner.right - ListView_GetColumnWidth(list_, 0)));
}

void ProgramPicker::Fill() {
    std::vector<RunningProcess> processes;
    if (auto listed = CreateProgramSystem()->ListProcesses()) processes = std::move(*listed);
    const DWORD self = GetCurrentProcessId();
    std::erase_if(processes, [&](const RunningProcess& p) { return p.Id == self; });
    choices_ = ListProgramChoices(processes, VisibleWindows());
    ListView_DeleteAllItems(list_);
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        std::wstring name = Widen(choices_[i].FileName), title = Widen(choices_[i].Title);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = name.data();
        ListView_InsertItem(list_, &item);
        ListView_SetItemText(list_, static_cast<int>(i), 1, title.data());
    }
    if (!choices_.empty()) ListView_SetItemState(list_, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
}

void ProgramPicker::Finish(bool ok) {
    const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    // OK with nothing chosen chooses nothing: the dialog stays.
    if (ok && (selected < 0 || static_cast<std::size_t>(selected) >= choices_.size())) return;
    if (ok) chosen_ = choices_[static_cast<std::size_t>(selected)].FileName;
    done_ = true;
}

LRESULT ProgramPicker::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case ids::PickerOkButton:
                case IDOK: Finish(true); return 0;
                case ids::PickerCancelButton:
                case IDCANCEL: Finish(false); return 0;  // Esc
            }
            break;
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
            if (hdr->idFrom == ids::PickerProgramList && hdr->code == NM_DBLCLK) {
                Finish(true);
                return 0;
            }
            break;
        }
        case WM_CLOSE: Finish(false); return 0;
        case DM_GETDEFID: return MAKELRESULT(ids::PickerOkButton, DC_HASDEFID);
        case WM_SIZE:
            if (list_) Arrange(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize = {Px(kPickerMinWidth), Px(kPickerMinHeight)};
            return 0;
        }
    }
    return Window::HandleMessage(msg, wp, lp);
}

std::optional<std::string> ProgramPicker::ShowModal(HWND owner) {
    if (modal_) return std::nullopt;
    if (!hwnd_ && !Create(GetModuleHandleW(nullptr))) return std::nullopt;
    chosen_.reset();
    Fill();
    modal_ = true;
    done_ = false;
    CenterOn(owner && IsWindowVisible(owner) ? owner : nullptr);
    RunModal(owner, list_, done_);
    modal_ = false;
    return chosen_;
}

}  // namespace vesko
