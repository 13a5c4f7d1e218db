// The end-to-end driver: GoogleTest scenarios against the real program under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "Harness.h"

int wmain(int argc, wchar_t** argv) {
    // A hung scenario must fail, not wait on a crash dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    if (argc == 3 && lstrcmpW(argv[1], L"--press-tray-key") == 0) return e2e::PressTrayKeyAndLinger(argv[2][0]);
    if (argc == 2 && lstrcmpW(argv[1], L"--read-only-log-power-off") == 0) return e2e::AwaitPowerOffWithAReadOnlyLog();
    if (argc >= 2 && argc <= 3 &&
        (lstrcmpW(argv[1], L"--apply-until-killed") == 0 || lstrcmpW(argv[1], L"--apply") == 0))
        return e2e::ApplyWhileWatched(lstrcmpW(argv[1], L"--apply-until-killed") == 0, argc == 3 ? argv[2] : nullptr);
    testing::InitGoogleTest(&argc, argv);
    int failed = RUN_ALL_TESTS();
    // ctest names each scenario from the sources; a scenario missing from
    // this binary must fail, not pass with nothing run.
    if (testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "no test matched the filter\n");
        return 1;
    }
    // The verdict is out: ending here keeps a library's detach (or a window
    // thread of a scenario) from holding the run past it.
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(failed));
    return failed;
}
