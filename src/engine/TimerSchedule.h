#pragma once
// The countdown timer's "セット": from the current time and the set hours and
// minutes to the set-time and scheduled-time texts ("h:nn").
#include <cstdint>
#include <optional>
#include <string>

#include "engine/DateTime.h"

namespace vesko {

struct TimerSchedule {
    std::string setTime;       // Label20
    std::string scheduleTime;  // Label22
};

inline constexpr const char* kInvalidTimerMessage = "タイマーの値が無効です";

// nullopt when hours and minutes are both 0 (the caller shows kInvalidTimerMessage).
std::optional<TimerSchedule> ScheduleFromNow(DateTime now, std::int64_t hours, std::int64_t minutes);

// The in-memory schedule when no countdown is in force: the countdown was
// refused, or the stored text is no time of day. The Timer condition then
// never holds, so nothing acts on a schedule the user did not set.
inline constexpr DateTime kNoTimerSchedule = -1;
inline bool HasTimerSchedule(DateTime schedule) { return schedule >= 0 && schedule < 1e7; }

// "h:nn" or "h:nn:ss" as the schedule; kNoTimerSchedule for any other text,
// the placeholder "hh:nn" among them.
DateTime TimerScheduleFromText(const std::string& text);

}  // namespace vesko
