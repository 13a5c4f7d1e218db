#pragma once
// The settings window of a running program, its controls found by the names
// of the layout table (INI key or role) and driven with real clicks and keys.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Harness.h"
#include "ui/ControlIds.h"
#include "ui/SettingsLayout.h"

namespace e2e {

class SettingsForm {
public:
    // Starts the program in a fresh folder, with the settings file's text
    // when given, and waits for its window (shown unless a hiding switch is
    // given); prepare puts other files into the folder first.
    explicit SettingsForm(const std::string& ini = "", std::vector<std::wstring> args = {},
                          const std::function<void(Sandbox&)>& prepare = {}) {
        if (!ini.empty()) box_.WriteText(L"vesko.ini", ini);
        if (prepare) prepare(box_);
        const bool shown = args.empty();
        p_ = box_.Start(args);
        form_ = WaitForWindow(p_.pid, VESKO_CLASS_FORM1, shown);
    }
    Sandbox& Box() { return box_; }
    const Process& Program() const { return p_; }
    HWND Form() const { return form_; }
    bool Shown() const { return IsWindowVisible(form_) != FALSE; }

    HWND Control(const char* name) const { return GetDlgItem(form_, vesko::LayoutControlId(name)); }
    std::string Text(const char* name) const { return ControlText(form_, vesko::LayoutControlId(name)); }
    bool Shows(const char* name, const std::string& text) const {
        return WaitUntil([&] { return Text(name) == text; }, 2000);
    }
    bool Checked(const char* name) const { return SendMessageW(Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    HWND Focused() const { return FocusedWindow(form_); }

    // The window to the front, and a first click on a label: under Wine the
    // first click on an inactive window may only activate it.
    bool Activate() const {
        if (!BringToFront(form_)) return false;
        ClickControl(Control("OsVersionLabel"));
        Sleep(200);
        return true;
    }
    // A click on a control (a button, a check box's mark).
    void Click(const char* name, int dx = -1) const { ClickControl(Control(name), dx); }
    // Clicks (three at most) until the outcome shows.
    bool ClickUntil(const char* name, const std::function<bool()>& outcome, int dx = -1) const {
        for (int attempt = 0; attempt < 3; ++attempt) {
            Click(name, dx);
            if (WaitUntil(outcome, 1500)) return true;
        }
        return false;
    }
    // A click into a field's text, then the caret to its end.
    void Focus(const char* name) const {
        // The first click may only bring the window forward.
        for (int attempt = 0; attempt < 3 && Focused() != Control(name); ++attempt) {
            ClickControl(Control(name), 6);
            WaitUntil([&] { return Focused() == Control(name); }, 1000);
        }
        EXPECT_EQ(Focused(), Control(name)) << name << " did not take the focus";
        PressKey(VK_END);
    }
    // A field's whole text replaced by typed keys.
    void Replace(const char* name, const char* keys) const {
        Focus(name);
        PressChord(VK_SHIFT, VK_HOME);
        Sleep(80);
        TypeKeys(keys);
    }
    // A click on a spin edit's upper or lower arrow.
    void ClickArrow(const char* name, bool up) const {
        RECT r;
        GetWindowRect(Control(name), &r);
        int h = r.bottom - r.top;
        LeftClickAt({r.right - 8, r.top + (up ? h / 4 : 3 * h / 4)});
    }
    // The box the program shows now, its text, answered with OK.
    std::string AnswerBox() const {
        HWND box = WaitForMessageBox(p_.pid);
        if (!box) return "<no box>";
        std::string text = MessageBoxText(box);
        AnswerMessageBox(box);
        WaitUntil([&] { return !IsWindowVisible(box); }, 3000);
        return text;
    }

private:
    Sandbox box_;
    Process p_;
    HWND form_ = nullptr;
};

}  // namespace e2e
