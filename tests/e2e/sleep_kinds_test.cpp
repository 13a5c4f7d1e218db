// Under the method choices the window says what each method really does on
// this machine; under Wine: suspend refused, hibernation usable.
#include <gtest/gtest.h>

#include "SettingsForm.h"

using namespace e2e;

TEST(SleepKinds, TheLinesUnderTheMethodsSayWhatWineWillDo) {
    SettingsForm f;
    ASSERT_NE(f.Form(), nullptr);
    EXPECT_TRUE(f.Shows("SleepKindsLine",
                        "電源を切る：完全シャットダウン\r\n（高速スタートアップは使いません）\r\n"
                        "サスペンド：このPCでは使えません\r\n休止状態：使えます"))
        << f.Text("SleepKindsLine");
    // The words and the choices agree.
    EXPECT_FALSE(IsWindowEnabled(f.Control("Suspend")));
    EXPECT_TRUE(IsWindowEnabled(f.Control("Hibernation")));
    const std::wstring dpi = std::to_wstring(GetDeviceCaps(GetDC(nullptr), LOGPIXELSY));
    EXPECT_FALSE(SaveScreenshot(L"settings_sleep_kinds_" + dpi).empty());
}
