#include <gtest/gtest.h>

#include "controls/LabelWrap.h"
#include "base/Text.h"

namespace vesko {
namespace {

// A proportional Japanese face in miniature: ASCII 6 px, everything else 12 px.
int FakeWidth(const std::string& s) {
    int w = 0;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t len = Utf8SequenceLength(static_cast<unsigned char>(s[i]));
        w += len == 1 ? 6 : 12;
        i += len;
    }
    return w;
}

std::vector<std::string> Wrap(const std::string& text, int maxWidth) {
    return WrapInTwoLines(text, maxWidth, FakeWidth);
}

using Lines = std::vector<std::string>;

TEST(LabelWrap, TextThatFitsStaysOnOneLine) {
    // 6 + 6 + 36 + 42 + 12 + 96 = 198 px: fits exactly, one pixel less does not.
    const std::string text = "3 分後にWindowsを休止状態にします";
    EXPECT_EQ(Wrap(text, 198), Lines{text});
    EXPECT_EQ(Wrap(text, 197).size(), 2u);
    EXPECT_EQ(Wrap("", 0), Lines{""});
}

TEST(LabelWrap, LongTextIsSplitWhereTheWiderLineIsNarrowest) {
    struct Case {
        const char* text;
        int maxWidth;
        Lines lines;
    };
    const Case cases[] = {
        // Five digits push the shutdown text over the edge; the split is near
        // the middle and keeps "Windows" whole.
        {"99999 分後にWindowsを終了して電源を切ります", 224, {"99999 分後にWindowsを", "終了して電源を切ります"}},
        // A break at the space drops the space.
        {"12345678901234567890 分後", 130, {"12345678901234567890", "分後"}},
        // Small kana and the prolonged sound mark never begin the second line.
        // (The balanced split would fall just before them.)
        {"あいうーえおか", 80, {"あいうー", "えおか"}},
        {"あいうっえおか", 80, {"あいうっ", "えおか"}},
        // Opening brackets stay with what follows.
        {"あいうえ「かきくけ」", 110, {"あいうえ", "「かきくけ」"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Wrap(c.text, c.maxWidth), c.lines);
    }
}

TEST(LabelWrap, PhraseEndIsPreferredWhileBothLinesFit) {
    // After the particle-like hiragana run: 36 + 96 px.
    EXPECT_EQ(Wrap("あいう漢字漢字漢字漢字", 100), (Lines{"あいう", "漢字漢字漢字漢字"}));
    // The second line would not fit there: the balanced split instead.
    EXPECT_EQ(Wrap("あいう漢字漢字漢字漢字", 90), (Lines{"あいう漢字", "漢字漢字漢字"}));
    // A space is a phrase end too.
    EXPECT_EQ(Wrap("12 漢字漢字漢字漢字", 100), (Lines{"12", "漢字漢字漢字漢字"}));
}

TEST(LabelWrap, NumbersAndWordsAreNeverCut) {
    // The only breaks are around the Japanese character.
    EXPECT_EQ(Wrap("-123456789 分", 30), (Lines{"-123456789", "分"}));
    EXPECT_EQ(Wrap("Windowsを", 30), (Lines{"Windows", "を"}));
}

TEST(LabelWrap, UnbreakableTextIsLeftWhole) {
    EXPECT_EQ(Wrap("1234567890", 20), Lines{"1234567890"});
    EXPECT_EQ(Wrap("あ", 5), Lines{"あ"});
    // Only a space at the very start: nothing would stay on the first line.
    EXPECT_EQ(Wrap(" 1234", 10), Lines{" 1234"});
}

TEST(LabelWrap, StrayBytesDoNotReadPastTheEnd) {
    // A lead byte that announces three bytes with only one left.
    const std::string text = std::string("あいう") + '\xE3';
    Lines lines = Wrap(text, 20);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0] + lines[1], text);
}

}  // namespace
}  // namespace vesko
