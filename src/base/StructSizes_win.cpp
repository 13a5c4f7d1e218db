// Sizes of the structures the program hands to Windows with a size field,
// as the documentation gives them for 32-bit and for 64-bit Windows. The
// size field tells Windows which layout it gets; a header version, packing
// or declaration that changes a size shows here at compile time, in the
// build it affects, instead of as a call that fails on one system only.
// Structures the program declares itself are checked where they are declared.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <iphlpapi.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#if defined(_WIN64)
#define VESKO_SIZE(expr, size32, size64) static_assert((expr) == (size64), #expr " is not the 64-bit layout's size")
#else
#define VESKO_SIZE(expr, size32, size64) static_assert((expr) == (size32), #expr " is not the 32-bit layout's size")
#endif

// Shell_NotifyIconW: the version 1 record before shell 5, version 2 after.
VESKO_SIZE(NOTIFYICONDATAW_V1_SIZE, 152, 168);
VESKO_SIZE(NOTIFYICONDATAW_V2_SIZE, 936, 952);
// GetOpenFileNameW: the full record (Windows 2000 and later).
VESKO_SIZE(sizeof(OPENFILENAMEW), 88, 152);
// Process32FirstW / Process32NextW.
VESKO_SIZE(sizeof(PROCESSENTRY32W), 556, 568);
// RegisterClassExW, TrackMouseEvent, GetMonitorInfoW, InitCommonControlsEx.
VESKO_SIZE(sizeof(WNDCLASSEXW), 48, 80);
VESKO_SIZE(sizeof(TRACKMOUSEEVENT), 16, 24);
VESKO_SIZE(sizeof(MONITORINFO), 40, 40);
VESKO_SIZE(sizeof(INITCOMMONCONTROLSEX), 8, 8);
// DllGetVersion of shell32.
VESKO_SIZE(sizeof(DLLVERSIONINFO), 20, 20);
// GlobalMemoryStatus and GlobalMemoryStatusEx.
VESKO_SIZE(sizeof(MEMORYSTATUS), 32, 56);
VESKO_SIZE(sizeof(MEMORYSTATUSEX), 64, 64);
// GetVersionExW / GetVersionExA, basic and extended.
VESKO_SIZE(sizeof(OSVERSIONINFOW), 276, 276);
VESKO_SIZE(sizeof(OSVERSIONINFOEXW), 284, 284);
VESKO_SIZE(sizeof(OSVERSIONINFOA), 148, 148);
// GetIfTable fills rows of this size after a DWORD count.
VESKO_SIZE(sizeof(MIB_IFROW), 860, 860);
