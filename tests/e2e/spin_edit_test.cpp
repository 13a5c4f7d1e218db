// The settings window's number fields under real key presses and clicks.
#include <gtest/gtest.h>

#include "SettingsForm.h"

using namespace e2e;

TEST(SpinEdit, TypingIsFilteredAndClampedAtEachKeyRelease) {
    SettingsForm f;
    ASSERT_TRUE(f.Form());
    ASSERT_TRUE(f.Control("Timer_Hour"));
    ASSERT_TRUE(BringToFront(f.Form()));

    f.Focus("Timer_Hour");  // 0..23, shows "0"
    TypeKeys("99");
    EXPECT_TRUE(f.Shows("Timer_Hour", "23")) << f.Text("Timer_Hour");
    PressKey(VK_UP);  // at the maximum the arrow key keeps it
    EXPECT_TRUE(f.Shows("Timer_Hour", "23")) << f.Text("Timer_Hour");
    PressKey(VK_DOWN);
    EXPECT_TRUE(f.Shows("Timer_Hour", "22")) << f.Text("Timer_Hour");

    f.Focus("CPU_Time");  // 1..99999, shows "1"
    TypeKeys("A");        // a letter is dropped
    EXPECT_TRUE(f.Shows("CPU_Time", "1")) << f.Text("CPU_Time");
    PressKey(VK_BACK);  // emptied: back to the minimum
    EXPECT_TRUE(f.Shows("CPU_Time", "1")) << f.Text("CPU_Time");

    f.Focus("CPU_Percent");  // two characters at most: after "0", "100" stops at "01"
    TypeKeys("100");
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
