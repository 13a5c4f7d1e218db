#include <gtest/gtest.h>

#include "base/DateTime.h"

namespace vesko {
namespace {

TEST(DateTime, KnownDayNumbers) {
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 1, 1}), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 1, 1}), 36526.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2026, 12, 7, 12}), 46363.5);
}

TEST(DateTime, PartsRoundTripToTheMillisecond) {
    const DateTimeParts samples[] = {
        {2024, 2, 29, 23, 59, 59, 999}, {2026, 12, 31, 0, 0, 0, 0}, {1999, 3, 1, 12, 34, 56, 7},
        {2100, 3, 1, 1, 2, 3, 4},       {1900, 2, 28, 6, 0, 0, 1},
    };
    for (const DateTimeParts& p : samples) {
        DateTimeParts q = DecodeDateTime(EncodeDateTime(p));
        EXPECT_EQ(std::tie(q.year, q.month, q.day, q.hour, q.minute, q.second, q.millisecond),
                  std::tie(p.year, p.month, p.day, p.hour, p.minute, p.second, p.millisecond));
    }
}

TEST(DateTime, HourMinuteText) {
    EXPECT_EQ(FormatHourMinute(0, 5), "0:05");
    EXPECT_EQ(FormatHourMinute(23, 50), "23:50");
    EXPECT_EQ(FormatHourMinute(EncodeDateTime({2026, 1, 1, 9, 5, 59})), "9:05");
    EXPECT_EQ(MinuteOfDay(EncodeDateTime({2026, 1, 1, 23, 59, 59, 999})), 1439);
}

TEST(DateTime, ScheduleTextParsesOrFallsToMidnight) {
    EXPECT_DOUBLE_EQ(ParseTimeOfDay("0:05"), EncodeTime(0, 5));
    EXPECT_DOUBLE_EQ(ParseTimeOfDay("23:59"), EncodeTime(23, 59));
    EXPECT_DOUBLE_EQ(ParseTimeOfDay(" 9:07:30 "), EncodeTime(9, 7, 30));
    for (const char* bad : {"", "エラー", "hh:nn", "24:00", "12:60", "12", "12:", ":30", "1:2:3:4", "123:00"})
        EXPECT_DOUBLE_EQ(ParseTimeOfDay(bad), 0.0) << bad;
}

}  // namespace
}  // namespace vesko
