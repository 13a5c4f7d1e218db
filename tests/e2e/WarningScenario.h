#pragma once
// Clock arithmetic for scenarios that wait for a time of day, and a program
// started with the warning already up.
#include <windows.h>

#include <string>

#include "Harness.h"

namespace e2e {

SYSTEMTIME Now();
// The local time `minutes` from `from`, to the minute.
SYSTEMTIME MinutesAhead(const SYSTEMTIME& from, int minutes);
// "9:05": hours and minutes as the program writes a clock time.
std::string HourMinute(const SYSTEMTIME& t);
// Lets a scenario start early in a minute, so that its minute arithmetic is
// not cut short by the clock turning over during start-up.
SYSTEMTIME StartOfAFreshMinute();
// Hibernation chosen, the Time condition at the given clock time, a warning
// of the given minutes.
std::string HibernateAt(const SYSTEMTIME& at, int warningMinutes);
// Hibernation three minutes ahead with a three-minute warning: the warning is
// up from the first tick.
// Returns the visible warning window, or null.
HWND StartWithTheWarningUp(Sandbox& box, Process& p, const wchar_t* startSwitch);

}  // namespace e2e
