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

// The day of the week, Monday first: 0 Monday .. 6 Sunday.
int WeekdayOf(DateTime t);

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

// "h:nn" or "h:nn:ss" with hours 0..23, minutes and seconds 0..59 and nothing
// else; raises AppError for any other text.
DateTime StrictTimeOfDay(const std::string& text);

// The in-memory schedule when no countdown is in force: the countdown was
// refused, or the stored text is no time of day. The Timer condition then
// never holds, so nothing acts on a schedule the user did not set.
inline constexpr DateTime kNoTimerSchedule = -1;
inline bool HasTimerSchedule(DateTime schedule) { return schedule >= 0 && schedule < 1e7; }

// "h:nn" or "h:nn:ss" as the schedule; kNoTimerSchedule for any other text,
// the placeholder "hh:nn" among them.
DateTime TimerScheduleFromText(const std::string& text);

}  // namespace vesko
