// The settings window's number fields under real key presses and clicks.
#include <gtest/gtest.h>

#include "Harness.h"
#include "ui/ControlIds.h"
#include "ui/SettingsLayout.h"

using namespace e2e;

namespace {

void ClickAt(POINT at) {
    SetCursorPos(at.x, at.y);
    Sleep(100);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Sleep(150);
}

class Fields {
public:
    Fields() {
        p_ = box_.Start();
        form_ = WaitForWindow(p_.pid, VESKO_CLASS_FORM1, true);
    }
    HWND Form() const { return form_; }
    HWND Field(const char* key) const { return GetDlgItem(form_, vesko::LayoutControlId(key)); }
    std::string Text(const char* key) const { return ControlText(form_, vesko::LayoutControlId(key)); }
    // A click into the text part, then the caret to the end.
    void Focus(const char* key) const {
        // The first click may only bring the window forward.
        for (int attempt = 0; attempt < 3 && Focused() != Field(key); ++attempt) {
            RECT r;
            GetWindowRect(Field(key), &r);
            ClickAt({r.left + 6, (r.top + r.bottom) / 2});
            WaitUntil([&] { return Focused() == Field(key); }, 1000);
        }
        EXPECT_EQ(Focused(), Field(key)) << key << " did not take the focus";
        PressKey(VK_END);
    }
    HWND Focused() const {
        GUITHREADINFO info{sizeof info};
        return GetGUIThreadInfo(GetWindowThreadProcessId(form_, nullptr), &info) ? info.hwndFocus : nullptr;
    }
    void ClickArrow(const char* key, bool up) const {
        RECT r;
        GetWindowRect(Field(key), &r);
        int h = r.bottom - r.top;
        ClickAt({r.right - 8, r.top + (up ? h / 4 : 3 * h / 4)});
    }
    void Type(const char* keys) const {
        for (const char* k = keys; *k; ++k) {
            PressKey(static_cast<WORD>(*k));
            Sleep(80);
        }
    }
    bool Shows(const char* key, const std::string& text) const {
        return WaitUntil([&] { return Text(key) == text; }, 2000);
    }

private:
    Sandbox box_;
    Process p_;
    HWND form_ = nullptr;
};

TEST(SpinEdit, TypingIsFilteredAndClampedAtEachKeyRelease) {
    Fields f;
    ASSERT_TRUE(f.Form());
    ASSERT_TRUE(f.Field("Timer_Hour"));
    SetForegroundWindow(f.Form());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == f.Form(); }, 3000));

    f.Focus("Timer_Hour");  // 0..23, shows "0"
    f.Type("99");
    EXPECT_TRUE(f.Shows("Timer_Hour", "23")) << f.Text("Timer_Hour");
    PressKey(VK_UP);  // at the maximum the arrow key keeps it
    EXPECT_TRUE(f.Shows("Timer_Hour", "23")) << f.Text("Timer_Hour");
    PressKey(VK_DOWN);
    EXPECT_TRUE(f.Shows("Timer_Hour", "22")) << f.Text("Timer_Hour");

    f.Focus("CPU_Time");  // 1..99999, shows "1"
    f.Type("A");          // a letter is dropped
    EXPECT_TRUE(f.Shows("CPU_Time", "1")) << f.Text("CPU_Time");
    PressKey(VK_BACK);    // emptied: back to the minimum
    EXPECT_TRUE(f.Shows("CPU_Time", "1")) << f.Text("CPU_Time");

    f.Focus("CPU_Percent");  // two characters at most: after "0", "100" stops at "01"
    f.Type("100");
    EXPECT_TRUE(f.Shows("CPU_Percent", "01")) << f.Text("CPU_Percent");

    // 0..59, shows its default 1
    EXPECT_TRUE(f.Shows("Timer_Minute", "1")) << f.Text("Timer_Minute");
    f.ClickArrow("Timer_Minute", true);
    EXPECT_TRUE(f.Shows("Timer_Minute", "2")) << f.Text("Timer_Minute");
    f.ClickArrow("Timer_Minute", false);
    f.ClickArrow("Timer_Minute", false);
    f.ClickArrow("Timer_Minute", false);  // the minimum holds
    EXPECT_TRUE(f.Shows("Timer_Minute", "0")) << f.Text("Timer_Minute");
}

}  // namespace
