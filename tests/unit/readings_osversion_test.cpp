#include <gtest/gtest.h>

#include "readings/OSVersion.h"

namespace vesko {
namespace {

constexpr std::uint8_t kWorkstation = 1;
constexpr std::uint8_t kServer = 3;

OSVersionRecord Record(std::uint32_t platform, std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                       const char* servicePack, std::uint8_t productType = kWorkstation, std::uint16_t suite = 0) {
    OSVersionRecord r;
    r.BasicOk = true;
    r.PlatformId = platform;
    r.MajorVersion = major;
    r.MinorVersion = minor;
    r.BuildNumber = build;
    r.CSDVersion = servicePack;
    r.ExtendedOk = true;
    r.ProductType = productType;
    r.SuiteMask = suite;
    return r;
}

struct Case {
    OSVersionRecord record;
    const char* text;
};

void ExpectTexts(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(GetOSVersionText(c.record), c.text)
            << c.record.PlatformId << " " << c.record.MajorVersion << "." << c.record.MinorVersion << " build "
            << c.record.BuildNumber << " type " << int(c.record.ProductType) << " \"" << c.record.CSDVersion << "\"";
    }
}

TEST(OSVersionText, TheDocumentedTable) {
    ExpectTexts({
        {Record(1, 4, 0, 950, ""), "Windows95"},
        {Record(1, 4, 0, 1111, " B "), "Windows95 OSR2 [B]"},
        {Record(1, 4, 10, 2222, " A "), "Windows98 Second Edition [A]"},
        {Record(1, 4, 10, 1998, ""), "Windows98"},
        {Record(2, 5, 0, 2195, "Service Pack 4"), "Windows2000 Professional [Service Pack 4]"},
        {Record(2, 5, 1, 2600, "", kWorkstation, kVerSuitePersonal), "WindowsXP Home Edition"},
        {Record(2, 5, 1, 2600, "", kWorkstation, 0), "WindowsXP Professional"},
        {Record(2, 5, 1, 2600, "", kServer), "WindowsServer 2003"},
        {Record(2, 5, 2, 3790, "Service Pack 1", kServer), "WindowsNT5.2 Server [Service Pack 1]"},
        {Record(2, 6, 0, 6000, ""), "WindowsNT6.0 WorkStation"},
        {Record(2, 4, 0, 1381, "Service Pack 6"), "WindowsNT4.0 WorkStation [Service Pack 6]"},
        {Record(2, 4, 0, 1381, "Service Pack 5", kServer), "WindowsNT4.0  [Service Pack 5]"},
        {Record(2, 4, 0, 1381, "Service Pack 5", kWorkstation), "WindowsNT4.0  [Service Pack 5]"},
        {Record(0, 1, 30, 0, ""), "Windows1.30(Win32s)"},
    });
}

TEST(OSVersionText, Windows9xReleasesByBuild) {
    // The 9x family keeps the version in the build number's high word.
    ExpectTexts({
        {Record(1, 4, 0, 0x04000000 | 1111, ""), "Windows95 OSR2"},
        {Record(1, 4, 0, 1212, ""), "Windows95 OSR2.1"},
        {Record(1, 4, 0, 1213, ""), "Windows95 OSR2.1"},
        {Record(1, 4, 0, 1214, ""), "Windows95 OSR2.5"},
        {Record(1, 4, 0, 9999, ""), "Windows95 OSR2.5"},
        {Record(1, 4, 0, 10000, ""), "Windows95"},
        {Record(1, 4, 0, 1110, ""), "Windows95"},
        {Record(1, 4, 10, 0x040A0000 | 2222, " A "), "Windows98 Second Edition [A]"},
        {Record(1, 4, 10, 9999, ""), "Windows98 Second Edition"},
        {Record(1, 4, 10, 10000, ""), "Windows98"},
        {Record(1, 4, 90, 3000, ""), "WindowsMe"},
        {Record(1, 4, 20, 3000, ""), "Windows"},
    });
}

TEST(OSVersionText, LaterNtVersions) {
    ExpectTexts({
        {Record(2, 6, 1, 7601, "Service Pack 1"), "WindowsNT6.1 WorkStation [Service Pack 1]"},
        {Record(2, 10, 0, 22631, ""), "WindowsNT10.0 WorkStation"},
        {Record(2, 6, 3, 9600, "", kServer), "WindowsNT6.3 Server"},
        {Record(2, 3, 51, 1057, "Service Pack 5"), "WindowsNT3.51  [Service Pack 5]"},
        {Record(2, 4, 0, 1381, "Service Pack 6a"), "WindowsNT4.0 WorkStation [Service Pack 6a]"},
        {Record(2, 5, 0, 2195, "", kServer), "Windows2000 Server"},
        {Record(2, 5, 1, 2600, "", kServer, kVerSuitePersonal), "WindowsServer 2003"},
        {Record(7, 1, 0, 0, "x"), "Windows [x]"},  // unknown platform: only the bracket
    });
}

TEST(OSVersionText, ServicePackTextIsTrimmedOfBlanksAndControls) {
    ExpectTexts({
        {Record(2, 6, 1, 7601, "\t Service Pack 1\r\n"), "WindowsNT6.1 WorkStation [Service Pack 1]"},
        {Record(2, 6, 1, 7601, " \t "), "WindowsNT6.1 WorkStation"},
        {Record(2, 6, 1, 7601, "サービス パック 1"), "WindowsNT6.1 WorkStation [サービス パック 1]"},
    });
}

TEST(OSVersionText, FailedExtendedQueryLeavesOutOnlyTheProductWords) {
    auto failed = [](OSVersionRecord r) {
        r.ExtendedOk = false;
        r.ProductType = 0;
        return r;
    };
    ExpectTexts({
        {failed(Record(2, 5, 0, 2195, "Service Pack 4")), "Windows2000  [Service Pack 4]"},
        {failed(Record(2, 5, 1, 2600, "")), "WindowsXP "},
        {failed(Record(2, 6, 0, 6000, "")), "WindowsNT6.0 "},
        // 9x texts do not use the extended record.
        {failed(Record(1, 4, 10, 2222, "")), "Windows98 Second Edition"},
    });
}

TEST(OSVersionText, NoBasicRecordNoText) {
    OSVersionRecord r = Record(2, 6, 1, 7601, "Service Pack 1");
    r.BasicOk = false;
    EXPECT_EQ(GetOSVersionText(r), "");
}

}  // namespace
}  // namespace vesko
