// Stands in for "another program" in the end-to-end scenarios: it only waits
// until it is ended, or for the number of seconds given.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR cmd, int) {
    long seconds = std::wcstol(cmd, nullptr, 10);
    Sleep(seconds > 0 ? static_cast<DWORD>(seconds) * 1000 : 600000);
    return 0;
}
