#include <gtest/gtest.h>

#include <limits>

#include "readings/NetworkTraffic.h"

namespace vesko {
namespace {

// An adapter row of the 32-bit table (the only kind Windows XP has).
InterfaceOctets Old(std::uint64_t key, std::uint64_t in, std::uint64_t out) {
    return {key, in, out, false, false, true, true};
}
// A row of the 64-bit table.
InterfaceOctets Wide(std::uint64_t key, std::uint64_t in, std::uint64_t out) {
    return {key, in, out, true, false, true, true};
}
// A filter row mirroring an adapter's counters under its own key.
InterfaceOctets Mirror(std::uint64_t key, std::uint64_t in, std::uint64_t out) {
    return {key, in, out, true, true, false, true};
}
InterfaceOctets Loopback(std::uint64_t key, std::uint64_t in, std::uint64_t out) {
    return {key, in, out, true, false, false, false};
}

InterfaceTable Table(std::vector<InterfaceOctets> rows) { return {true, std::move(rows)}; }

TEST(NetworkTraffic, ReadingsAcrossTwoTables) {
    constexpr std::uint64_t k5GB = 5'000'000'000ull;
    struct Case {
        const char* what;
        InterfaceTable before, now;
        std::int64_t bytes;
    } cases[] = {
        {"two interfaces add up received and sent", Table({Old(1, 1000, 2000), Old(2, 50000, 7)}),
         Table({Old(1, 1500, 2100), Old(2, 50400, 7)}), 1000},
        {"a 32-bit counter that wraps counts only what moved", Table({Old(1, 4294967000u, 10)}),
         Table({Old(1, 200, 10)}), 496},
        {"large counters never wrap the sum", Table({Old(1, 4000000000u, 0), Old(2, 4000000000u, 0)}),
         Table({Old(1, 4000000100u, 0), Old(2, 4000000050u, 0)}), 150},
        {"filter rows mirroring the adapter count once",
         Table({Wide(1, 1000, 0), Mirror(7, 1000, 0), Mirror(8, 1000, 0)}),
         Table({Wide(1, 1600, 0), Mirror(7, 1600, 0), Mirror(8, 1600, 0)}), 600},
        {"loopback does not count", Table({Wide(1, 0, 0), Loopback(2, 0, 0)}),
         Table({Wide(1, 10, 0), Loopback(2, 90000, 90000)}), 10},
        {"a vanished interface never counts negative", Table({Old(1, 1000, 1000), Old(2, 3000000, 2000000)}),
         Table({Old(1, 1200, 1000)}), 200},
        {"a new interface is no spike", Table({Old(1, 1000, 1000)}),
         Table({Old(1, 1000, 1100), Old(2, 9000000, 9000000)}), 100},
        {"rows keyed by interface, not by position", Table({Old(1, 100, 0), Old(2, 9000000, 0)}),
         Table({Old(2, 9000050, 0), Old(1, 130, 0)}), 80},
        {"a 32-bit counter reset counts from zero", Table({Old(1, 5000000, 0)}), Table({Old(1, 300, 0)}), 300},
        {"a 64-bit counter reset counts from zero", Table({Wide(1, k5GB, 0)}), Table({Wide(1, 40, 0)}), 40},
        {"64-bit traffic past 2^32 in one second", Table({Wide(1, k5GB, 0)}), Table({Wide(1, 2 * k5GB, 0)}),
         static_cast<std::int64_t>(k5GB)},
        {"an unreadable table counts nothing", Table({Old(1, 7000, 3000)}), InterfaceTable{}, 0},
    };
    for (const Case& c : cases) {
        NetworkBaseline base;
        EXPECT_EQ(NetworkBytesSince(c.before, base), 0) << c.what;  // the first reading only primes
        EXPECT_EQ(NetworkBytesSince(c.now, base), c.bytes) << c.what;
    }
}

TEST(NetworkTraffic, AfterAnUnreadableTableTheNextGoodReadingCountsBothSeconds) {
    NetworkBaseline base;
    NetworkBytesSince(Table({Old(1, 7000, 3000)}), base);
    EXPECT_EQ(NetworkBytesSince(InterfaceTable{}, base), 0);
    EXPECT_EQ(NetworkBytesSince(Table({Old(1, 7100, 3000)}), base), 100);
}

TEST(NetworkTraffic, AVanishedInterfaceThatReturnsStartsFromItsNewCounters) {
    NetworkBaseline base;
    NetworkBytesSince(Table({Old(1, 0, 0), Old(2, 500, 500)}), base);
    NetworkBytesSince(Table({Old(1, 0, 0)}), base);
    EXPECT_EQ(NetworkBytesSince(Table({Old(1, 0, 0), Old(2, 9000, 9000)}), base), 0);
    EXPECT_EQ(NetworkBytesSince(Table({Old(1, 0, 0), Old(2, 9010, 9000)}), base), 10);
}

TEST(NetworkTraffic, TextDividesWhileFiveOrMoreCharacters) {
    struct Case {
        std::int64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        {0, "0 B/s"},
        {9999, "9999 B/s"},
        {10000, "9 kB/s"},
        {1048575, "1023 kB/s"},  // four characters after one division
        {10239999, "9999 kB/s"},
        {10240000, "9 MB/s"},
        {std::numeric_limits<std::int32_t>::max(), "2047 MB/s"},  // never past MB/s
        {5'000'000'000ll, "4768 MB/s"},
        {-999, "-999 B/s"},
        {-1000, "0 kB/s"},  // the sign counts as a character
        {-5000000, "-4 MB/s"},
        {std::numeric_limits<std::int32_t>::min(), "-2048 MB/s"},
    };
    for (const Case& c : cases) EXPECT_EQ(NetworkTrafficText(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace vesko
