// Stands in for "another program" in the end-to-end scenarios: it only waits
// until it is ended, or for the number of seconds given. Given a library's
// file name instead, it first loads it by that bare name, as a careless
// program would.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR cmd, int) {
    if (std::wcsstr(cmd, L".dll")) LoadLibraryW(cmd);
    long seconds = std::wcstol(cmd, nullptr, 10);
    Sleep(seconds > 0 ? static_cast<DWORD>(seconds) * 1000 : 600000);
    return 0;
}
