#include <gtest/gtest.h>

#include <limits>

#include "controls/SpinValue.h"

namespace vesko {
namespace {

TEST(SpinValue, KeyReleaseRepairsIntoTheRange) {
    struct Case {
        std::int64_t min, max;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {0, 23, "99", "23"},                         // above the range: nearer bound
        {1, 99999, "", "1"},                         // emptied: MinValue
        {0, 59, "-", "0"},                           // a lone sign is no number
        {0, 59, "+", "0"},     {0, 59, "abc", "0"},  // pasted letters
        {1, 99999, "-5", "1"}, {0, 23, "7", "7"},    // in range: untouched
        {0, 23, "007", "007"},                       // a number in range keeps its text
    };
    for (const Case& c : cases) {
        SpinValue s(c.min, c.max, 0, c.min);
        s.Text = c.typed;
        s.Repair();
        EXPECT_EQ(s.Text, c.shown) << "typed \"" << c.typed << "\"";
    }
}

TEST(SpinValue, EqualBoundsMeanNoRangeAtAll) {
    SpinValue s(0, 0, 5, 0);
    s.SetValue(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(s.Value(), std::numeric_limits<std::int64_t>::max());
    s.SetValue(-123456789012LL);
    EXPECT_EQ(s.Text, "-123456789012");
    s.StepDown();
    EXPECT_EQ(s.Value(), -123456789013LL);
}

TEST(SpinValue, WritingFromCodeClampsAndReadingRepairs) {
    SpinValue pct(0, 99, 2, 0);
    pct.SetValue(100);
    EXPECT_EQ(pct.Text, "99");
    SpinValue minutes(1, 99999, 5, 1);
    minutes.Text = "";
    EXPECT_EQ(minutes.Value(), 1);
    EXPECT_EQ(minutes.Text, "1");
    // Reading does not clamp a parsable number; only writing does.
    minutes.Text = "123456";
    EXPECT_EQ(minutes.Value(), 123456);
}

TEST(SpinValue, ArrowsStopAtTheBounds) {
    SpinValue s(0, 23, 0, 23);
    s.StepUp();
    EXPECT_EQ(s.Text, "23");
    s.SetValue(0);
    s.StepDown();
    EXPECT_EQ(s.Text, "0");
    s.StepUp();
    EXPECT_EQ(s.Text, "1");
}

TEST(SpinValue, ParseIsStrictSigned64BitDecimal) {
    EXPECT_EQ(SpinValue::Parse("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(SpinValue::Parse("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_FALSE(SpinValue::Parse("9223372036854775808"));
    EXPECT_FALSE(SpinValue::Parse(" 1"));
    EXPECT_FALSE(SpinValue::Parse("1.5"));
    EXPECT_FALSE(SpinValue::Parse("0x10"));
    EXPECT_EQ(SpinValue::Parse("+42"), 42);
}

TEST(SpinValue, CharacterFilter) {
    for (char32_t c : {U'0', U'9', U'+', U'-', U'.', char32_t{8}, char32_t{3}})
        EXPECT_TRUE(SpinValue::IsAllowedChar(c, true)) << static_cast<int>(c);
    for (char32_t c : {U'a', U' ', char32_t{13}, U'，', U'１'})
        EXPECT_FALSE(SpinValue::IsAllowedChar(c, true)) << static_cast<int>(c);
    EXPECT_TRUE(SpinValue::IsAllowedChar(U',', true, U','));
    // Without the editor only control characters other than backspace pass.
    EXPECT_FALSE(SpinValue::IsAllowedChar(U'5', false));
    EXPECT_FALSE(SpinValue::IsAllowedChar(char32_t{8}, false));
    EXPECT_TRUE(SpinValue::IsAllowedChar(char32_t{3}, false));
}

}  // namespace
}  // namespace vesko
