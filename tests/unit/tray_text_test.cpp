#include <gtest/gtest.h>

#include "tray/TrayText.h"

namespace vesko {
namespace {

// Code page 932: ASCII and half-width kana take one byte, the rest two.
std::size_t Cp932Bytes(char32_t c) { return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2; }

TEST(TrayTextCut, Utf16LimitsCountUnitsNotBytes) {
    struct Case {
        std::string text;
        std::size_t limit;
        std::string kept;
    };
    std::string jp;
    for (int i = 0; i < 130; ++i) jp += "あ";  // 3 UTF-8 bytes, 1 UTF-16 unit each
    std::string jp127;
    for (int i = 0; i < 127; ++i) jp127 += "あ";
    const Case cases[] = {
        {"", 127, ""},
        {"abc", 127, "abc"},
        {std::string(200, 'x'), 127, std::string(127, 'x')},
        {jp, 127, jp127},
        // A character beyond the BMP needs two units: at the edge it goes whole.
        {std::string(126, 'x') + "😀", 127, std::string(126, 'x')},
        {std::string(125, 'x') + "😀z", 127, std::string(125, 'x') + "😀"},
        {"😀😀", 3, "😀"},
    };
    for (const Case& c : cases) EXPECT_EQ(CutToUnits(c.text, c.limit, Utf16Units), c.kept) << c.text.size();
}

TEST(TrayTextCut, AnsiLimitNeverSplitsADoubleByteCharacter) {
    // 62 ASCII bytes and then a kanji: the 63-byte cut drops the whole kanji.
    const std::string tip = std::string(62, 'a') + "漢字";
    EXPECT_EQ(CutToUnits(tip, 63, Cp932Bytes), std::string(62, 'a'));
    EXPECT_EQ(CutToUnits(std::string(61, 'a') + "漢字", 63, Cp932Bytes), std::string(61, 'a') + "漢");
    EXPECT_EQ(CutToUnits("ｶﾀｶﾅ", 3, Cp932Bytes), "ｶﾀｶ");
}

TEST(TrayTextCut, MalformedBytesAreKeptOneByOne) {
    // A stray continuation byte and a truncated sequence count one unit each.
    const std::string bad = "a\x80\xE3\x81";
    EXPECT_EQ(CutToUnits(bad, 10, Utf16Units), bad);
    EXPECT_EQ(CutToUnits(bad, 2, Utf16Units), "a\x80");
    // An encoded surrogate is not a character either.
    EXPECT_EQ(CutToUnits("\xED\xA0\x80", 1, Utf16Units), "\xED");
}

TEST(TrayTextCut, OnlyCrLfPairsBecomeBlanks) {
    EXPECT_EQ(CrLfToBlank("CPU 5%\r\nMEM 40%"), "CPU 5% MEM 40%");
    EXPECT_EQ(CrLfToBlank("a\r\n\r\nb"), "a  b");
    EXPECT_EQ(CrLfToBlank("a\rb\nc\r"), "a\rb\nc\r");
}

TEST(TrayShellVersion, FileVersionStrings) {
    struct Case {
        const char* text;
        std::uint32_t version;
    };
    const Case cases[] = {
        {"6.00.2900.2180 (xpsp_sp2_rtm.040803-2158)", PackShellVersion(6, 0)},
        {"4.72.3110.1", PackShellVersion(4, 72)},
        {"4.00", PackShellVersion(4, 0)},
        {"5.0.3900.7155", PackShellVersion(5, 0)},  // one-digit minor
        {"6.1.7601.17514", PackShellVersion(6, 1)},
        {"10.0.19041.1", PackShellVersion(10, 0)},  // two-digit major
        {"", 0},
        {"6", 0},
        {"6.", 0},
        {"v6.0", 0},
        {"70000.1", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseShellFileVersion(c.text), c.version) << c.text;
}

}  // namespace
}  // namespace vesko
