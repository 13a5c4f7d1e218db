#include "settings/WeekDays.h"

namespace vesko {

std::string WeekDaysText(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return kEveryDay;
    const std::string trimmed = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (trimmed.size() != kDaysInWeek || trimmed.find_first_not_of("01") != std::string::npos) return kEveryDay;
    return trimmed;
}

bool DayTicked(const std::string& days, int weekday) {
    if (weekday < 0 || weekday >= kDaysInWeek) return false;
    return WeekDaysText(days)[static_cast<std::size_t>(weekday)] == '1';
}

bool AnyDayTicked(const std::string& days) { return WeekDaysText(days).find('1') != std::string::npos; }

}  // namespace vesko
