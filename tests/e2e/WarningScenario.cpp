#include "WarningScenario.h"

#include <cstdio>

#include "ui/ControlIds.h"

namespace e2e {

SYSTEMTIME Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t;
}

SYSTEMTIME MinutesAhead(const SYSTEMTIME& from, int minutes) {
    FILETIME ft;
    SystemTimeToFileTime(&from, &ft);
    ULARGE_INTEGER u{{ft.dwLowDateTime, ft.dwHighDateTime}};
    u.QuadPart += static_cast<ULONGLONG>(minutes) * 60 * 10000000ULL;
    ft = {u.LowPart, u.HighPart};
    SYSTEMTIME t;
    FileTimeToSystemTime(&ft, &t);
    return t;
}

std::string HourMinute(const SYSTEMTIME& t) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%d:%02d", t.wHour, t.wMinute);
    return buf;
}

SYSTEMTIME StartOfAFreshMinute() {
    SYSTEMTIME t = Now();
    if (t.wSecond >= 45) Sleep((61 - t.wSecond) * 1000);
    return Now();
}

std::string HibernateAt(const SYSTEMTIME& at, int warningMinutes) {
    return "[Time]\r\nTime_Enabled=1\r\nTime_Hour=" + std::to_string(at.wHour) +
           "\r\nTime_Minute=" + std::to_string(at.wMinute) +
           "\r\n[PowerSaving]\r\nShutdown=0\r\nSuspend=0\r\nHibernation=1\r\n"
           "[Other]\r\nWarning_Enabled=1\r\nWarning_Time=" +
           std::to_string(warningMinutes) + "\r\nFunction_Enabled=1\r\n";
}

HWND StartWithTheWarningUp(Sandbox& box, Process& p, const wchar_t* startSwitch) {
    SYSTEMTIME start = StartOfAFreshMinute();
    box.WriteText(L"vesko.ini", HibernateAt(MinutesAhead(start, 3), 3));
    p = box.Start({startSwitch});
    return WaitForWindow(p.pid, VESKO_CLASS_FORM3, true);
}

}  // namespace e2e
