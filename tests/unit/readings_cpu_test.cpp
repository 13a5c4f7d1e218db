#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "readings/CpuUsage.h"

namespace vesko {
namespace {

constexpr std::int64_t kSecond = 10000000;  // in 100 ns units

TEST(CpuLoadPercent, Formula) {
    struct Case {
        std::int64_t idle, clock;
        unsigned processors;
        int load;
    };
    const Case cases[] = {
        {15000000, kSecond, 2, 25},  // 100 - 1.5 * 100 / 2
        {9990000, kSecond, 1, 0},    // 0.1 truncated
        {0, kSecond, 1, 100},
        {5050000, kSecond, 1, 49},  // 49.5: truncated, not rounded
        {9940000, kSecond, 1, 0},   // 0.6
        {0, kSecond, 4, 100},
        {30000000, kSecond, 4, 25},
        // Outside 0..100 (idle counted past the clock's interval): held at the
        // bounds rather than wrapped to 255.
        {10010000, kSecond, 1, 0},
        {25000000, kSecond, 2, 0},
        {-kSecond / 10, kSecond, 1, 100},
    };
    for (const Case& c : cases) {
        const std::optional<std::uint8_t> load = CpuLoadPercent(c.idle, c.clock, c.processors);
        ASSERT_TRUE(load.has_value()) << c.idle;
        EXPECT_EQ(*load, c.load) << c.idle << " of " << c.clock << " on " << c.processors;
    }
}

TEST(CpuLoadPercent, NoIntervalNoLoad) {
    EXPECT_FALSE(CpuLoadPercent(0, 0, 1).has_value());
    EXPECT_FALSE(CpuLoadPercent(100, -kSecond, 1).has_value());
}

// ---- NT mode ---------------------------------------------------------------

class FakeProbe : public CpuTimesProbe {
public:
    std::optional<unsigned> count = 1;
    std::deque<std::optional<CpuTimes>> samples;
    int reads = 0;
    std::optional<unsigned> ProcessorCount() override { return count; }
    std::optional<CpuTimes> ReadTimes() override {
        ++reads;
        std::optional<CpuTimes> s = samples.front();
        samples.pop_front();
        return s;
    }
};

class FakeRegistry : public PerfStatsRegistry {
public:
    std::map<std::string, std::vector<std::uint8_t>> values;  // key -> KERNEL\CPUUsage data
    // Outlives the registry, which the meter destroys.
    std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
    std::string open;
    bool OpenKey(const std::string& key) override {
        log->push_back("open " + key);
        open = values.contains(key) ? key : "";
        return !open.empty();
    }
    std::optional<std::vector<std::uint8_t>> ReadBinaryData(const std::string& name) override {
        log->push_back("read " + open + " " + name);
        if (open.empty() || name != CpuUsage::kCpuUsageValue) return std::nullopt;
        return values[open];
    }
};

struct NtMeter {
    FakeProbe* probe;
    FakeRegistry* registry;
    std::unique_ptr<CpuUsage> cpu;
    explicit NtMeter(unsigned processors = 1) {
        auto p = std::make_unique<FakeProbe>();
        auto r = std::make_unique<FakeRegistry>();
        probe = p.get();
        registry = r.get();
        p->count = processors;
        cpu = std::make_unique<CpuUsage>(std::move(p), std::move(r));
    }
    void Queue(std::int64_t idle, std::int64_t clock) { probe->samples.push_back(CpuTimes{idle, clock}); }
    void QueueFailure() { probe->samples.push_back(std::nullopt); }
};

TEST(TCpuUsageNT, FirstReadIsZeroThenTheIntervalSinceIt) {
    NtMeter m(2);
    m.Queue(1000000, 5 * kSecond);
    m.Queue(1000000 + 15000000, 6 * kSecond);
    m.Queue(1000000 + 15000000 + 2 * kSecond, 7 * kSecond);
    EXPECT_TRUE(m.cpu->IsNTMode());
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 25);
    EXPECT_EQ(m.cpu->GetUsage(), 0);  // both processors idle all second
    EXPECT_TRUE(m.registry->log->empty());
}

TEST(TCpuUsageNT, AFailedReadGivesZeroAndTheNextSpansIt) {
    NtMeter m;
    m.Queue(kSecond, 10 * kSecond);
    m.QueueFailure();
    m.Queue(kSecond + kSecond, 12 * kSecond);  // 1 s idle over 2 s
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 50);
}

TEST(TCpuUsageNT, AFailedFirstReadStoresNothing) {
    NtMeter m;
    m.QueueFailure();
    m.Queue(kSecond, 10 * kSecond);
    m.Queue(kSecond + kSecond / 4, 11 * kSecond);
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 0);  // still the first successful read
    EXPECT_EQ(m.cpu->GetUsage(), 75);
}

TEST(TCpuUsageNT, TwoReadsWithinOneClockTickRepeatTheLastLoad) {
    NtMeter m;
    m.Queue(kSecond, 10 * kSecond);
    m.Queue(kSecond + kSecond * 3 / 10, 11 * kSecond);  // 70 %
    m.Queue(kSecond + kSecond * 3 / 10, 11 * kSecond);  // the clock has not moved
    m.Queue(kSecond + kSecond * 8 / 10, 12 * kSecond);  // 50 % over the second since the 70 % read
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 70);
    EXPECT_EQ(m.cpu->GetUsage(), 70);
    EXPECT_EQ(m.cpu->GetUsage(), 50);
}

TEST(TCpuUsageNT, AClockThatWentBackRepeatsTheLastLoadAndMeasuresOnFromThere) {
    NtMeter m;
    m.Queue(kSecond, 10 * kSecond);
    m.Queue(kSecond + kSecond / 10, 11 * kSecond);  // 90 %
    m.Queue(kSecond + kSecond / 5, 5 * kSecond);    // clock set back
    m.Queue(kSecond + kSecond / 5 + kSecond * 6 / 10, 6 * kSecond);
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 90);
    EXPECT_EQ(m.cpu->GetUsage(), 90);
    EXPECT_EQ(m.cpu->GetUsage(), 40);
}

TEST(TCpuUsageNT, JitterOutsideTheRangeIsHeldAtTheBounds) {
    NtMeter m;
    m.Queue(kSecond, 10 * kSecond);
    m.Queue(kSecond + kSecond + kSecond / 100, 11 * kSecond);  // idle 1.01 s in 1 s
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 0);  // not 255
}

TEST(TCpuUsageNT, ResetSamplesStartsAFreshInterval) {
    NtMeter m;
    m.Queue(kSecond, 10 * kSecond);
    m.Queue(kSecond + kSecond / 2, 11 * kSecond);
    m.Queue(kSecond + kSecond, 12 * kSecond);
    m.Queue(kSecond + kSecond, 13 * kSecond);
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 50);
    m.cpu->ResetSamples();
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 100);
}

// ---- Mode selection and 9x mode -------------------------------------------

struct Meter9x {
    FakeRegistry* registry;
    FakeProbe* probe = nullptr;
    std::unique_ptr<CpuUsage> cpu;
    // withProbe: an NT probe that cannot tell the processor count.
    explicit Meter9x(std::map<std::string, std::vector<std::uint8_t>> values, bool withProbe = false) {
        auto r = std::make_unique<FakeRegistry>();
        registry = r.get();
        r->values = std::move(values);
        std::unique_ptr<FakeProbe> p;
        if (withProbe) {
            p = std::make_unique<FakeProbe>();
            p->count = std::nullopt;
            probe = p.get();
        }
        cpu = std::make_unique<CpuUsage>(std::move(p), std::move(r));
    }
};

const std::vector<std::uint8_t> kStarted = {0, 0, 0, 0};

TEST(TCpuUsage9x, ProbeWithoutProcessorCountMeans9xModeForGood) {
    Meter9x m({{CpuUsage::kStartStat, kStarted}, {CpuUsage::kStatData, {42, 0, 0, 0}}}, true);
    EXPECT_FALSE(m.cpu->IsNTMode());
    EXPECT_EQ(m.cpu->GetUsage(), 42);
    EXPECT_EQ(m.cpu->GetUsage(), 42);
}

TEST(TCpuUsage9x, OnlyTheFirstByteCounts) {
    Meter9x m({{CpuUsage::kStartStat, kStarted}, {CpuUsage::kStatData, {55, 0, 0, 0}}});
    EXPECT_EQ(m.cpu->GetUsage(), 55);
    m.registry->values[CpuUsage::kStatData] = {55, 1, 0, 0};  // 311
    EXPECT_EQ(m.cpu->GetUsage(), 55);
}

TEST(TCpuUsage9x, AValueNotFourBytesLongOrAMissingKeyGivesZero) {
    Meter9x m({{CpuUsage::kStartStat, kStarted}, {CpuUsage::kStatData, {55, 0, 0}}});
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    m.registry->values[CpuUsage::kStatData] = {55, 0, 0, 0, 0};
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    m.registry->values.erase(CpuUsage::kStatData);
    EXPECT_EQ(m.cpu->GetUsage(), 0);
}

TEST(TCpuUsage9x, StartsTheStatisticOnceAndStopsItAtTheEnd) {
    Meter9x m(
        {{CpuUsage::kStartStat, kStarted}, {CpuUsage::kStatData, {10, 0, 0, 0}}, {CpuUsage::kStopStat, kStarted}});
    const auto log = m.registry->log;
    m.cpu->GetUsage();
    m.cpu->GetUsage();
    m.cpu.reset();
    const std::vector<std::string> expected = {
        "open PerfStats\\StartStat", "read PerfStats\\StartStat KERNEL\\CPUUsage",
        "open PerfStats\\StatData",  "read PerfStats\\StatData KERNEL\\CPUUsage",
        "open PerfStats\\StatData",  "read PerfStats\\StatData KERNEL\\CPUUsage",
        "open PerfStats\\StopStat",  "read PerfStats\\StopStat KERNEL\\CPUUsage",
    };
    EXPECT_EQ(*log, expected);
}

TEST(TCpuUsage9x, MissingStartKeyIsNeverRetriedButStatDataIsTriedLater) {
    Meter9x m({});
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(*m.registry->log, std::vector<std::string>{"open PerfStats\\StartStat"});
    m.registry->log->clear();
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    EXPECT_EQ(m.cpu->GetUsage(), 0);
    const std::vector<std::string> expected = {"open PerfStats\\StatData", "open PerfStats\\StatData"};
    EXPECT_EQ(*m.registry->log, expected);
}

TEST(TCpuUsage9x, NeverReadMeansNothingToStop) {
    auto registry = std::make_unique<FakeRegistry>();
    const auto log = registry->log;
    {
        CpuUsage cpu(nullptr, std::move(registry));
        EXPECT_FALSE(cpu.IsNTMode());
    }
    EXPECT_TRUE(log->empty());
}

}  // namespace
}  // namespace vesko
