// The idle floor: the least program that does vesko's unavoidable work each
// second. A hidden window owns a tray icon and one one-second timer; each
// tick reads the CPU times, the interface table, memory, uptime and the
// cursor, and pushes a six-line tip to the shell. scripts/measure-idle runs
// it beside vesko.exe so that vesko's idle cost has a yardstick.
#include <windows.h>
#include <iphlpapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr UINT kTimerId = 1;
constexpr UINT kTrayId = 1;
constexpr UINT kTrayCallback = WM_APP + 1;

NOTIFYICONDATAW g_icon{};
ULONGLONG g_prevIdle = 0, g_prevTotal = 0;
DWORD g_prevOctets = 0;
POINT g_cursor{};
alignas(MIB_IFTABLE) unsigned char g_ifBuffer[16384];

ULONGLONG Value(const FILETIME& ft) { return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

int CpuPercent() {
    FILETIME idle, kernel, user;
    if (!GetSystemTimes(&idle, &kernel, &user)) return 0;
    const ULONGLONG i = Value(idle), total = Value(kernel) + Value(user);  // kernel includes idle
    const ULONGLONG di = i - g_prevIdle, dt = total - g_prevTotal;
    g_prevIdle = i;
    g_prevTotal = total;
    return dt ? static_cast<int>(100 - di * 100 / dt) : 0;
}

// Bytes moved by all interfaces since the last tick; one query, one buffer.
DWORD OctetsPerSecond() {
    ULONG size = sizeof g_ifBuffer;
    auto* table = reinterpret_cast<MIB_IFTABLE*>(g_ifBuffer);
    if (GetIfTable(table, &size, FALSE) != NO_ERROR) return 0;
    DWORD sum = 0;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) sum += table->table[i].dwInOctets + table->table[i].dwOutOctets;
    const DWORD moved = sum - g_prevOctets;
    g_prevOctets = sum;
    return moved;
}

void Tick() {
    const int cpu = CpuPercent();
    const DWORD octets = OctetsPerSecond();
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    const ULONGLONG up = GetTickCount64() / 1000;
    POINT cursor;
    if (GetCursorPos(&cursor)) g_cursor = cursor;
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::swprintf(g_icon.szTip, sizeof g_icon.szTip / sizeof(wchar_t),
                  L"idle floor\r\nCPU  %d %%\r\n平均通信量  %lu B/s\r\nメモリ  %lu %%\r\n時刻  %u:%02u:%02u\r\n"
                  L"OS起動時間  %llu時間%llu分%llu秒",
                  cpu, static_cast<unsigned long>(octets), static_cast<unsigned long>(memory.dwMemoryLoad), now.wHour,
                  now.wMinute, now.wSecond, up / 3600, up / 60 % 60, up % 60);
    g_icon.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &g_icon);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER: Tick(); return 0;
        case WM_DESTROY:
            Shell_NotifyIconW(NIM_DELETE, &g_icon);
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"VeskoIdleFloor";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"idle floor", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
    if (!hwnd) return 1;

    g_icon.cbSize = sizeof g_icon;
    g_icon.hWnd = hwnd;
    g_icon.uID = kTrayId;
    g_icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    g_icon.uCallbackMessage = kTrayCallback;
    g_icon.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    std::wcscpy(g_icon.szTip, L"idle floor");
    Shell_NotifyIconW(NIM_ADD, &g_icon);
    CpuPercent();
    OctetsPerSecond();
    SetTimer(hwnd, kTimerId, 1000, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return static_cast<int>(msg.wParam);
}
