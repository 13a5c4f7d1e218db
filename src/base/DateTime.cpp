#include "base/DateTime.h"

#include <exception>

#include "base/Error.h"

#include <cmath>
#include <cstdio>

namespace vesko {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days from 0001-01-01 to the given date (proleptic Gregorian).
std::int64_t DaysFromCivil(int y, int m, int d) {
    static const int kCum[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    std::int64_t yy = y - 1;
    std::int64_t days = yy * 365 + yy / 4 - yy / 100 + yy / 400;
    days += kCum[m - 1] + (m > 2 && IsLeap(y) ? 1 : 0);
    return days + d - 1;
}

const std::int64_t kEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

DateTime EncodeDateTime(const DateTimeParts& p) {
    std::int64_t days = DaysFromCivil(p.year, p.month, p.day) - kEpoch;
    std::int64_t ms = ((p.hour * 60LL + p.minute) * 60 + p.second) * 1000 + p.millisecond;
    // Negative dates keep the time as a positive fraction away from zero, as
    // the classic day-count convention does.
    double frac = static_cast<double>(ms) / kMsPerDay;
    return days >= 0 ? days + frac : days - frac;
}

DateTimeParts DecodeDateTime(DateTime t) {
    std::int64_t days = static_cast<std::int64_t>(std::trunc(t));
    std::int64_t ms = std::llround(std::fabs(t - static_cast<double>(days)) * kMsPerDay);
    if (ms >= kMsPerDay) {  // rounding reached the next day
        ms -= kMsPerDay;
        days += t >= 0 ? 1 : -1;
    }
    DateTimeParts p;
    std::int64_t n = days + kEpoch;  // days since 0001-01-01
    int y = static_cast<int>(n / 366) + 1;
    while (DaysFromCivil(y + 1, 1, 1) <= n) ++y;
    while (DaysFromCivil(y, 1, 1) > n) --y;
    int m = 1;
    while (m < 12 && DaysFromCivil(y, m + 1, 1) <= n) ++m;
    p.year = y;
    p.month = m;
    p.day = static_cast<int>(n - DaysFromCivil(y, m, 1)) + 1;
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    return p;
}

int MinuteOfDay(DateTime t) {
    DateTimeParts p = DecodeDateTime(t);
    return p.hour * 60 + p.minute;
}

int WeekdayOf(DateTime t) {
    const DateTimeParts p = DecodeDateTime(t);
    // 0001-01-01 of the proleptic Gregorian calendar was a Monday.
    return static_cast<int>(DaysFromCivil(p.year, p.month, p.day) % 7);
}

std::string FormatHourMinute(int hour, int minute) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d", hour, minute);
    return buf;
}

std::string FormatHourMinute(DateTime t) {
    DateTimeParts p = DecodeDateTime(t);
    return FormatHourMinute(p.hour, p.minute);
}

DateTime ParseTimeOfDay(const std::string& text) {
    // Accept h:nn or h:nn:ss with surrounding blanks, as a locale time parser would.
    std::size_t i = 0, n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    auto number = [&](int& out, int maxDigits) {
        std::size_t start = i;
        out = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9' && i - start < static_cast<std::size_t>(maxDigits))
            out = out * 10 + (text[i++] - '0');
        return i > start;
    };
    skipBlanks();
    int h = 0, m = 0, s = 0;
    if (!number(h, 2) || i >= n || text[i] != ':') return 0;
    ++i;
    if (!number(m, 2)) return 0;
    if (i < n && text[i] == ':') {
        ++i;
        if (!number(s, 2)) return 0;
    }
    skipBlanks();
    if (i != n || h > 23 || m > 59 || s > 59) return 0;
    return EncodeTime(h, m, s);
}

namespace {

// Digits from pos on; -1 when there are none.
int ReadNumber(const std::string& text, std::size_t& pos) {
    const std::size_t start = pos;
    int value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 4) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return pos == start ? -1 : value;
}

}  // namespace

DateTime StrictTimeOfDay(const std::string& text) {
    std::size_t pos = 0;
    const int h = ReadNumber(text, pos);
    int m = -1, s = 0;
    if (h >= 0 && pos < text.size() && text[pos] == ':') {
        ++pos;
        m = ReadNumber(text, pos);
        if (m >= 0 && pos < text.size() && text[pos] == ':') {
            ++pos;
            s = ReadNumber(text, pos);
        }
    }
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || pos != text.size())
        throw AppError("'" + text + "' は正しい時刻ではありません");
    return EncodeTime(h, m, s);
}

DateTime TimerScheduleFromText(const std::string& text) {
    try {
        return StrictTimeOfDay(text);
    } catch (const std::exception&) {
        return kNoTimerSchedule;
    }
}

}  // namespace vesko
