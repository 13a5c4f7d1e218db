#pragma once
// The countdown timer's "セット": from the current time and the set hours and
// minutes to the set-time and scheduled-time texts ("h:nn").
#include <cstdint>
#include <optional>
#include <string>

#include "base/DateTime.h"

namespace vesko {

struct TimerSchedule {
    std::string setTime;       // the countdown's set-time label
    std::string scheduleTime;  // the countdown's due-time label
};

inline constexpr const char* kInvalidTimerMessage = "タイマーの値が無効です";

// nullopt when hours and minutes are both 0 (the caller shows kInvalidTimerMessage).
std::optional<TimerSchedule> ScheduleFromNow(DateTime now, std::int64_t hours, std::int64_t minutes);

}  // namespace vesko
