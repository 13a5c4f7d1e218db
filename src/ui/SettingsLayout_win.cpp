#include "ui/SettingsLayout_win.h"

#include <cmath>
#include <vector>

#include "ui/SettingsBinding.h"
#include "ui/SettingsLayout.h"
#include "controls/SpinEdit_win.h"
#include "controls/ThemedGroupBox_win.h"
#include "base/WinText_win.h"

namespace vesko {
namespace {

constexpr int kDropDownListHeight = 100;  // room for the open list below the field

int LayoutScaled(int px96, double scale) { return static_cast<int>(std::lround(px96 * scale)); }

RECT Pixels(const LayoutRect& r, double scale) {
    return {LayoutScaled(r.x, scale), LayoutScaled(r.y, scale), LayoutScaled(r.Right(), scale),
            LayoutScaled(r.Bottom(), scale)};
}

HWND CreatePlain(HWND parent, const LayoutControl& c, const wchar_t* cls, DWORD style, double scale, HFONT font,
                 int extraHeight = 0, DWORD exStyle = 0) {
    RECT r = Pixels(c.rect, scale);
    if (c.TabStop()) style |= WS_TABSTOP;
    if (c.groupStart) style |= WS_GROUP;
    HWND hwnd =
        CreateWindowExW(exStyle, cls, Widen(std::string(c.caption)).c_str(), WS_CHILD | WS_VISIBLE | style, r.left,
                        r.top, r.right - r.left, r.bottom - r.top + LayoutScaled(extraHeight, scale), parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

HWND CreateSpin(HWND parent, const LayoutControl& c, double scale, HFONT font, SettingsControls& out) {
    // Range, typing limit and first value are the declaration's.
    const SettingDef* d = BoundSetting(c);
    if (!d) return nullptr;
    SpinValue rules(d->min, d->max, d->maxLength, DefaultInt(*d));
    SpinEdit* spin = SpinEdit::Create(parent, c.id, c.rect.x, c.rect.y, c.rect.w, c.rect.h, scale, rules, font);
    if (!spin) return nullptr;
    SetWindowLongW(spin->Handle(), GWL_STYLE, GetWindowLongW(spin->Handle(), GWL_STYLE) | WS_GROUP);
    out.spinEdits.emplace(std::string(c.name), spin);
    return spin->Handle();
}

// Seven check boxes, each a tab stop, from one table entry.
HWND CreateDayBoxes(HWND parent, const LayoutControl& c, double scale, HFONT font, SettingsControls& out) {
    std::vector<HWND>& boxes = out.dayBoxes[std::string(c.name)];
    for (int day = 0; day < static_cast<int>(c.items.size()); ++day) {
        LayoutControl box = c;
        box.kind = LayoutKind::CheckBox;
        box.caption = c.items[static_cast<std::size_t>(day)];
        box.rect = DayBoxRect(c, day);
        box.id = c.id + day;
        box.groupStart = c.groupStart && day == 0;
        boxes.push_back(CreatePlain(parent, box, L"BUTTON", BS_AUTOCHECKBOX, scale, font));
        out.placed.push_back({&c, day, boxes.back()});
    }
    return boxes.empty() ? nullptr : boxes.front();
}

HWND CreateOne(HWND parent, const LayoutControl& c, double scale, HFONT font, SettingsControls& out) {
    switch (c.kind) {
        case LayoutKind::Group:
            return ThemedGroupBox::Create(parent, std::string(c.caption), c.id, Pixels(c.rect, scale), font);
        case LayoutKind::CheckBox: return CreatePlain(parent, c, L"BUTTON", BS_AUTOCHECKBOX, scale, font);
        case LayoutKind::RadioButton: return CreatePlain(parent, c, L"BUTTON", BS_AUTORADIOBUTTON, scale, font);
        case LayoutKind::Label:
            return CreatePlain(parent, c, L"STATIC", (c.alignRight ? SS_RIGHT : SS_LEFT) | SS_NOPREFIX, scale, font);
        case LayoutKind::Button: return CreatePlain(parent, c, L"BUTTON", BS_PUSHBUTTON, scale, font);
        case LayoutKind::DefaultButton: return CreatePlain(parent, c, L"BUTTON", BS_DEFPUSHBUTTON, scale, font);
        case LayoutKind::SpinEdit: return CreateSpin(parent, c, scale, font, out);
        case LayoutKind::DayBoxes: return CreateDayBoxes(parent, c, scale, font, out);
        case LayoutKind::Edit: {
            HWND edit = CreatePlain(parent, c, L"EDIT", ES_AUTOHSCROLL, scale, font, 0, WS_EX_CLIENTEDGE);
            // The typing limit is the declaration's.
            if (const SettingDef* d = BoundSetting(c); d && d->maxLength > 0)
                SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(d->maxLength), 0);
            return edit;
        }
        case LayoutKind::DropDownList: {
            HWND combo =
                CreatePlain(parent, c, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, scale, font, kDropDownListHeight);
            for (const char* item : c.items)
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
            return combo;
        }
    }
    return nullptr;
}

}  // namespace

HWND SettingsControls::Window(std::string_view name) const {
    auto it = windows.find(name);
    return it == windows.end() ? nullptr : it->second;
}

SpinEdit* SettingsControls::Spin(std::string_view name) const {
    auto it = spinEdits.find(name);
    return it == spinEdits.end() ? nullptr : it->second;
}

std::vector<HWND> SettingsControls::DayBoxes(std::string_view name) const {
    auto it = dayBoxes.find(name);
    return it == dayBoxes.end() ? std::vector<HWND>{} : it->second;
}

SettingsControls CreateSettingsControls(HWND parent, double dpiScale, HFONT font) {
    SettingsControls out;
    std::vector<HWND> frames;
    for (const LayoutControl& c : SettingsLayout()) {
        HWND hwnd = CreateOne(parent, c, dpiScale, font, out);
        if (!hwnd) continue;
        if (c.kind != LayoutKind::DayBoxes) out.placed.push_back({&c, 0, hwnd});
        if (c.kind == LayoutKind::Group) frames.push_back(hwnd);
        if (!c.name.empty()) out.windows.emplace(std::string(c.name), hwnd);
    }
    // The frames go beneath the controls they surround (they paint clipped
    // by them); the other controls keep the table's order, the tab order.
    for (HWND frame : frames) SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return out;
}

void PlaceSettingsControls(const SettingsControls& controls, double dpiScale, HFONT font) {
    for (const SettingsControls::Placed& p : controls.placed) {
        const LayoutControl& c = *p.entry;
        const RECT r = Pixels(c.kind == LayoutKind::DayBoxes ? DayBoxRect(c, p.day) : c.rect, dpiScale);
        if (c.kind == LayoutKind::SpinEdit) {
            if (SpinEdit* spin = SpinEdit::FromHandle(p.hwnd)) spin->Place(r, dpiScale, font);
            continue;
        }
        const int extra = c.kind == LayoutKind::DropDownList ? LayoutScaled(kDropDownListHeight, dpiScale) : 0;
        SendMessageW(p.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(p.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top + extra,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        // The frames' theme parts come in the sizes of the window's DPI.
        if (c.kind == LayoutKind::Group) SendMessageW(p.hwnd, WM_THEMECHANGED, 0, 0);
    }
}

}  // namespace vesko
