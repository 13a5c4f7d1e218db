#pragma once
// The days of the week a clock setting applies on, as the file spells them:
// seven characters "0" or "1", Monday first ("1111100" = Monday to Friday).
#include <string>

namespace vesko {

inline constexpr const char* kEveryDay = "1111111";
inline constexpr int kDaysInWeek = 7;

// The captions of the days, Monday first.
inline constexpr const char* kWeekdayNames[kDaysInWeek] = {"月", "火", "水", "木", "金", "土", "日"};

// A hand-edited value brought into range: anything but seven 0/1 characters
// (blanks at the ends aside) means every day, as before days could be chosen.
std::string WeekDaysText(const std::string& text);

// Whether the day (0 Monday .. 6 Sunday) is ticked; a malformed text reads
// as every day.
bool DayTicked(const std::string& days, int weekday);

// Whether any day is ticked.
bool AnyDayTicked(const std::string& days);

}  // namespace vesko
