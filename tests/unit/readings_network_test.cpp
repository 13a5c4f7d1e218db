#include <gtest/gtest.h>

#include <limits>

#include "readings/NetworkTraffic.h"

namespace vesko {
namespace {

// One reading: the interface rows of this tick against the previous sums.
struct Meter {
    std::uint32_t PrevInOctets = 0;
    std::uint32_t PrevOutOctets = 0;
    std::int32_t Read(const std::vector<InterfaceOctets>& rows) {
        return NetworkBytesSince(SumOctets(rows), PrevInOctets, PrevOutOctets);
    }
};

TEST(NetworkTraffic, TwoInterfacesAddUpReceivedAndSent) {
    Meter m;
    m.Read({{1000, 2000}, {50000, 7}});
    // First interface: 500 in and 100 out; second: 400 in.
    const std::int32_t bytes = m.Read({{1500, 2100}, {50400, 7}});
    EXPECT_EQ(bytes, 1000);
    EXPECT_EQ(NetworkTrafficText(bytes), "1000 B/s");
}

TEST(NetworkTraffic, ACounterThatWrapsCountsOnlyWhatMoved) {
    Meter m;
    m.Read({{4294967000u, 10}});
    EXPECT_EQ(m.Read({{200, 10}}), 496);
}

TEST(NetworkTraffic, SumsWrapLikeTheCountersDo) {
    // Two large counters whose sum passes 2^32 still give the plain difference.
    Meter m;
    m.Read({{4000000000u, 0}, {4000000000u, 0}});
    EXPECT_EQ(m.Read({{4000000100u, 0}, {4000000050u, 0}}), 150);
}

TEST(NetworkTraffic, AVanishingInterfaceMakesOneTickNegative) {
    Meter m;
    m.Read({{1000, 1000}, {3000000, 2000000}});
    const std::int32_t bytes = m.Read({{1200, 1000}});
    EXPECT_EQ(bytes, 200 - 5000000);
    EXPECT_EQ(NetworkTrafficText(bytes), "-4 MB/s");  // -4882 has five characters: divided again
    EXPECT_EQ(m.Read({{1500, 1100}}), 400);         // the next tick is normal again
}

TEST(NetworkTraffic, AnUnreadableTableCountsAsZeroSums) {
    Meter m;
    m.Read({{7000, 3000}});
    EXPECT_EQ(m.Read({}), -10000);
    EXPECT_EQ(m.Read({{7100, 3000}}), 10100);  // the next good reading counts everything again
}

TEST(NetworkTraffic, TheFirstReadingCountsTheWholeCounters) {
    Meter m;
    EXPECT_EQ(m.Read({{123456, 654321}}), 777777);
    EXPECT_EQ(m.PrevInOctets, 123456u);
    EXPECT_EQ(m.PrevOutOctets, 654321u);
}

TEST(NetworkTraffic, TextDividesWhileFiveOrMoreCharacters) {
    struct Case { std::int32_t bytes; const char* text; };
    const Case cases[] = {
        {0, "0 B/s"},
        {9999, "9999 B/s"},
        {10000, "9 kB/s"},
        {1048575, "1023 kB/s"},         // four characters after one division
        {10239999, "9999 kB/s"},
        {10240000, "9 MB/s"},
        {std::numeric_limits<std::int32_t>::max(), "2047 MB/s"},  // never past MB/s
        {-999, "-999 B/s"},
        {-1000, "0 kB/s"},              // the sign counts as a character
        {-5000000, "-4 MB/s"},
        {std::numeric_limits<std::int32_t>::min(), "-2048 MB/s"},
    };
    for (const Case& c : cases) EXPECT_EQ(NetworkTrafficText(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace vesko
