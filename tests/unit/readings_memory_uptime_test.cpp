#include <gtest/gtest.h>

#include "readings/MemoryUse.h"
#include "readings/Uptime.h"

namespace vesko {
namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

TEST(MemoryPercent, SharesOfPhysicalMemory) {
    struct Case {
        std::uint64_t total, avail;
        int percent;
    };
    const Case cases[] = {
        {1048576, 262144, 75},
        {16 * kGiB, 4 * kGiB, 75},  // beyond 32 bits: no wrapped sizes
        {6 * kGiB, 5 * kGiB, 16},   // 16.66: truncated, not rounded
        {1048576, 1048576, 0},
        {1048576, 0, 100},
        {0, 0, 0},              // no figures from the system
        {1023, 0, 0},           // less than one kibibyte counts as none
        {1048576, 2097152, 0},  // more available than total: held at 0
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MemoryPercent(c.total, c.avail), c.percent) << c.total << " / " << c.avail;
    }
}

TEST(Uptime, SplitTextAndConditionMinutes) {
    struct Case {
        std::uint64_t ms;
        const char* text;
        std::int64_t minutes;
    };
    const Case cases[] = {
        {3725000, "1時間2分5秒", 62},
        {0, "0時間0分0秒", 0},
        {3599999, "0時間59分59秒", 59},
        {86400000, "24時間0分0秒", 1440},
        // Past 2^32 ms (49.7 days) the count goes on instead of starting again.
        {4294967296ull + 1000, "1193時間2分48秒", 1193 * 60 + 2},
    };
    for (const Case& c : cases) {
        const UptimeParts u = SplitUptime(c.ms);
        EXPECT_EQ(UptimeText(u), c.text) << c.ms;
        EXPECT_EQ(UptimeMinutes(u), c.minutes) << c.ms;
    }
}

TEST(MonotonicCount, The32BitTickCountIsCarriedPastItsWrap) {
    TickCountExtender e;
    EXPECT_EQ(e.Extend(4294967000u), 4294967000u);
    EXPECT_EQ(e.Extend(4294967295u), 4294967295u);
    EXPECT_EQ(e.Extend(704), (std::uint64_t{1} << 32) + 704);
    EXPECT_EQ(e.Extend(5000), (std::uint64_t{1} << 32) + 5000);
    EXPECT_EQ(e.Extend(5000), (std::uint64_t{1} << 32) + 5000);  // equal readings stay equal
}

}  // namespace
}  // namespace vesko
