// The end-to-end driver: GoogleTest scenarios against the real program under Wine.
#include <gtest/gtest.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    // A hung scenario must fail, not wait on a crash dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
