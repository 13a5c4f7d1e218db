#pragma once
// Local date-time as the program counts it: days since 1899-12-30 as a double,
// the fraction being the time of day. Conversions round to the millisecond so
// that a value built from parts decodes back to exactly those parts.
#include <cstdint>
#include <string>

namespace vesko {

using DateTime = double;

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

DateTime EncodeDateTime(const DateTimeParts& p);
DateTimeParts DecodeDateTime(DateTime t);
inline DateTime EncodeTime(int h, int m, int s = 0, int ms = 0) {
    return (((h * 60 + m) * 60 + s) * 1000 + ms) / 86400000.0;
}

// Minutes of the day, hour * 60 + minute (0..1439).
int MinuteOfDay(DateTime t);

// "h:nn": hour without leading zero, two-digit minutes.
std::string FormatHourMinute(int hour, int minute);
std::string FormatHourMinute(DateTime t);

// The time of day of an "h:nn" (or "h:nn:ss") text on day zero; anything else
// gives 0 (midnight), as the schedule key is read.
DateTime ParseTimeOfDay(const std::string& text);

// Source of the current local time; the Windows side reads the system clock,
// tests set it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

}  // namespace vesko
