// Stands in for "another program" in the end-to-end scenarios: it only waits
// until it is ended, or for the number of seconds given. Given a library's
// file name instead, it first loads it by that bare name, as a careless
// program would. Given anything else (registered as a file type's viewer),
// it writes its command line to "opened.txt" beside itself and ends.
#include <windows.h>

#include <cwchar>
#include <cwctype>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR cmd, int) {
    if (std::wcsstr(cmd, L".dll")) {
        LoadLibraryW(cmd);
    } else if (*cmd && !std::iswdigit(*cmd)) {
        wchar_t path[MAX_PATH + 16];
        const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return 1;
        wchar_t* slash = std::wcsrchr(path, L'\\');
        lstrcpyW(slash ? slash + 1 : path, L"opened.txt");
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD put = 0;
        WriteFile(file, cmd, static_cast<DWORD>(std::wcslen(cmd) * sizeof(wchar_t)), &put, nullptr);
        CloseHandle(file);
        return 0;
    }
    long seconds = std::wcstol(cmd, nullptr, 10);
    Sleep(seconds > 0 ? static_cast<DWORD>(seconds) * 1000 : 600000);
    return 0;
}
