#include <windows.h>

#include "base/ScopedWin.h"
#include "readings/OSVersion.h"
#include "base/WinText_win.h"

namespace vesko {

// Looked up by name: the headers mark the function deprecated, yet it is what
// reports the version as the program's manifest declares it supported.
OSVersionRecord ReadOSVersionRecord() {
    OSVersionRecord record;
    using GetVersionExFn = BOOL(WINAPI*)(LPOSVERSIONINFOW);
    const ScopedLibrary kernel32(L"kernel32.dll");
    const auto getVersionEx = kernel32.Function<GetVersionExFn>("GetVersionExW");
    if (getVersionEx) {
        OSVERSIONINFOW basic{};
        basic.dwOSVersionInfoSize = sizeof basic;
        if (getVersionEx(&basic)) {
            record.BasicOk = true;
            record.PlatformId = basic.dwPlatformId;
            record.MajorVersion = basic.dwMajorVersion;
            record.MinorVersion = basic.dwMinorVersion;
            record.BuildNumber = basic.dwBuildNumber;
            record.CSDVersion = Narrow(std::wstring(basic.szCSDVersion, wcsnlen(basic.szCSDVersion, 128)));
            // The extended record is refused by systems older than NT 4.0 SP6.
            OSVERSIONINFOEXW extended{};
            extended.dwOSVersionInfoSize = sizeof extended;
            if (getVersionEx(reinterpret_cast<LPOSVERSIONINFOW>(&extended))) {
                record.ExtendedOk = true;
                record.ProductType = extended.wProductType;
                record.SuiteMask = extended.wSuiteMask;
            }
        }
    }
    return record;
}

}  // namespace vesko
