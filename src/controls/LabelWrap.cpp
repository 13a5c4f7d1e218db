#include "controls/LabelWrap.h"

#include <algorithm>
#include <string_view>

#include "base/Text.h"

namespace vesko {
namespace {

// Characters that may not begin a line (kinsoku): closing marks, small kana,
// the prolonged sound mark.
constexpr std::string_view kNoLineStart[] = {
    "、", "。", "，", "．", "・", "ー", "）", "」", "』", "】", "！", "？", "ぁ", "ぃ",
    "ぅ", "ぇ", "ぉ", "っ", "ゃ", "ゅ", "ょ", "ゎ", "ァ", "ィ", "ゥ", "ェ", "ォ", "ッ",
    "ャ", "ュ", "ョ", "ヮ", "ヵ", "ヶ", ")",  "]",  "!",  "?",  ",",  ".",
};
// Characters that may not end a line.
constexpr std::string_view kNoLineEnd[] = {"（", "「", "『", "【", "(", "["};

bool OneOf(std::string_view ch, const auto& list) {
    return std::find(std::begin(list), std::end(list), ch) != std::end(list);
}

bool IsAsciiWordChar(std::string_view ch) {
    return ch.size() == 1 && ch[0] > ' ' && ch[0] < 0x7F && !OneOf(ch, kNoLineStart) && !OneOf(ch, kNoLineEnd);
}

// Hiragana is U+3041..U+309F: E3 81 81..E3 82 9F in UTF-8.
bool IsHiragana(std::string_view ch) {
    if (ch.size() != 3 || static_cast<unsigned char>(ch[0]) != 0xE3) return false;
    const unsigned b1 = static_cast<unsigned char>(ch[1]), b2 = static_cast<unsigned char>(ch[2]);
    return (b1 == 0x81 && b2 >= 0x81) || (b1 == 0x82 && b2 <= 0x9F);
}

std::vector<std::string_view> SplitCharacters(const std::string& text) {
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = std::min(Utf8SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        chars.emplace_back(text.data() + i, len);
        i += len;
    }
    return chars;
}

}  // namespace

std::vector<std::string> WrapInTwoLines(const std::string& text, int maxWidth, const TextWidthFn& width) {
    if (width(text) <= maxWidth) return {text};
    const std::vector<std::string_view> chars = SplitCharacters(text);

    // Best split overall, and best among those at a phrase end that fit.
    struct Split {
        std::vector<std::string> lines;
        int wider = 0;
        void Offer(const std::string& first, const std::string& second, int w) {
            if (lines.empty() || w < wider) {
                lines = {first, second};
                wider = w;
            }
        }
    } any, phrase;
    std::size_t offset = 0;  // byte offset of chars[i]
    for (std::size_t i = 1; i < chars.size(); ++i) {
        offset += chars[i - 1].size();
        std::string_view before = chars[i - 1], after = chars[i];
        if (IsAsciiWordChar(before) && IsAsciiWordChar(after)) continue;
        if (OneOf(after, kNoLineStart) || OneOf(before, kNoLineEnd)) continue;
        if (before == " ") continue;  // the break before the space covers it
        const bool atSpace = after == " ";
        std::string first = text.substr(0, offset), second = text.substr(atSpace ? offset + 1 : offset);
        if (first.empty() || second.empty()) continue;
        const int w1 = width(first), w2 = width(second), wider = std::max(w1, w2);
        any.Offer(first, second, wider);
        if (wider <= maxWidth && (atSpace || (IsHiragana(before) && !IsHiragana(after))))
            phrase.Offer(first, second, wider);
    }
    if (!phrase.lines.empty()) return phrase.lines;
    if (!any.lines.empty()) return any.lines;
    return {text};
}

}  // namespace vesko
