// The settings loader against hand-edited and garbled files: whatever the file
// holds, the tick's in-memory copy stays inside what the window can produce,
// and loading never writes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/IniFile.h"
#include "settings/SettingsDeclaration.h"

namespace vesko {
namespace {

struct LoadResult {
    Settings active;
    int writes = 0;
};

LoadResult LoadActive(const std::string& bytes) {
    LoadResult r;
    TextFileAccess a = TextFileAccess::Plain();
    a.read = [&bytes](const std::string&) { return std::optional<std::string>(bytes); };
    a.write = [&r](const std::string&, const std::string&) { return ++r.writes, true; };
    IniFile ini("C:\\app\\vesko.ini", a);
    LoadActiveSettings(ini, r.active);
    return r;
}

// Every number of the in-memory copy against the range of its control.
void ExpectInsideEveryRange(const Settings& s, const std::string& trace) {
    for (const SettingDef& d : SettingsDeclaration()) {
        auto* i = std::get_if<int Settings::*>(&d.member);
        if (!i || !d.inMemory) continue;
        const int v = s.**i;
        if (d.control == SettingControl::UnitComboBox) {
            EXPECT_TRUE(v == -1 || (v >= d.min && v <= d.max)) << d.key << "=" << v << trace;
        } else if (d.min != d.max) {
            EXPECT_GE(v, d.min) << d.key << trace;
            EXPECT_LE(v, d.max) << d.key << trace;
        } else {
            EXPECT_GT(v, -10000) << d.key << trace;
            EXPECT_LT(v, 100000) << d.key << trace;
        }
    }
}

TEST(SettingsLoader, HandEditedNumbersComeIntoTheirRanges) {
    struct Case {
        const char* section;
        const char* key;
        const char* text;
        int Settings::*member;
        int value;
    };
    const Case cases[] = {
        {"Time", "Time_Hour", "-24", &Settings::Time_Hour, 0},
        {"CPU", "CPU_Time", "0", &Settings::CPU_Time, 1},
        {"CPU", "CPU_Time", "-5", &Settings::CPU_Time, 1},
        {"CPU", "CPU_Percent", "150", &Settings::CPU_Percent, 99},
        {"Memory", "Memory_Percent", "$FFFFFFFF", &Settings::Memory_Percent, 0},
        {"OS", "OS_Minute", "-1", &Settings::OS_Minute, 0},
        {"OS", "OS_Hour", "-1", &Settings::OS_Hour, 0},
        {"Other", "Warning_Time", "-1", &Settings::Warning_Time, 1},
        {"Other", "Warning_Time", "0", &Settings::Warning_Time, 1},
        {"Network", "Network_Unit", "2147483647", &Settings::Network_Unit, -1},
        {"Network", "Network_Speed", "2147483647", &Settings::Network_Speed, 99999},
        {"Network", "Network_Speed", "-2147483648", &Settings::Network_Speed, -9999},
        {"Network", "Network_Speed", "-12", &Settings::Network_Speed, -12},
        {"AppointedTime", "AppointedTime_ToMinute", "60", &Settings::AppointedTime_ToMinute, 59},
        {"Timer", "Timer_Minute", "-5", &Settings::Timer_Minute, 0},
    };
    for (const Case& c : cases) {
        LoadResult r = LoadActive(std::string("[") + c.section + "]\r\n" + c.key + "=" + c.text + "\r\n");
        EXPECT_EQ(r.active.*c.member, c.value) << c.key << "=" << c.text;
        EXPECT_EQ(r.writes, 0) << "loading never rewrites the file";
    }
}

// Garbled files of every kind the loader can meet: random bytes, lead bytes of
// code page 932 cut off, very long lines, NULs, lone CRs, repeated keys and
// numbers of any size.
std::string GarbledFile(std::mt19937& rng, bool hugeLine) {
    const auto& decl = SettingsDeclaration();
    auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    const char* const breaks[] = {"\r\n", "\n", "\r", "", "\0"};
    const char* const numbers[] = {"-2147483648", "2147483647", "-1",  "0",   "$FFFFFFFF", "0x7FFFFFFF",
                                   "99999999999", "150",        "-24", "1e9", " 5 ",       "\"-3\""};
    std::string out;
    const int parts = 1 + static_cast<int>(pick(40));
    for (int p = 0; p < parts; ++p) {
        const SettingDef& d = decl[pick(decl.size())];
        switch (pick(7)) {
            case 0: out += std::string("[") + d.section + "]"; break;
            case 1: out += std::string(d.key) + "=" + numbers[pick(std::size(numbers))]; break;
            case 2: out += std::string(d.key) + "=" + std::to_string(static_cast<std::int32_t>(rng())); break;
            case 3:  // random bytes, NULs among them
                for (std::size_t n = pick(64); n > 0; --n) out += static_cast<char>(rng());
                break;
            case 4: out += std::string(d.key) + "=\x82"; break;  // a lead byte without its trail
            case 5: out += std::string(d.key) + "=" + std::string(600, '7'); break;
            default: out += std::string("[") + d.section + "]\r\n" + d.key + "=" + std::to_string(pick(200) - 100);
        }
        const char* br = breaks[pick(std::size(breaks))];
        out.append(br, *br ? std::char_traits<char>::length(br) : pick(2));
    }
    if (hugeLine)
        out.insert(pick(out.size() + 1), std::string(decl[pick(decl.size())].key) + "=" + std::string(1 << 20, '9'));
    return out;
}

TEST(SettingsLoader, GarbledFilesLoadInsideEveryRange) {
    std::mt19937 rng(20240501);
    for (int n = 0; n < 3000; ++n) {
        const std::string bytes = GarbledFile(rng, n % 500 == 0);
        LoadResult r = LoadActive(bytes);
        ExpectInsideEveryRange(r.active, " in file " + std::to_string(n));
        ASSERT_EQ(r.writes, 0);
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace vesko
