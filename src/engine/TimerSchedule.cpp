#include "engine/TimerSchedule.h"

#include <exception>

#include "engine/Execution.h"

namespace vesko {

std::optional<TimerSchedule> ScheduleFromNow(DateTime now, std::int64_t hours, std::int64_t minutes) {
    if (hours == 0 && minutes == 0) return std::nullopt;
    DateTimeParts p = DecodeDateTime(now);
    TimerSchedule s;
    s.setTime = FormatHourMinute(p.hour, p.minute);
    std::int64_t h = p.hour + hours;
    std::int64_t m = p.minute + minutes;
    if (m >= 60) {
        m -= 60;
        h += 1;
    }
    // One wrap only: the hour field holds at most 23, so the sum stays below 48.
    if (h >= 24) h -= 24;
    s.scheduleTime = std::to_string(h) + ":" + (m < 10 ? "0" : "") + std::to_string(m);
    return s;
}

}  // namespace vesko
