#pragma once
// Line breaking for a short label that has room for two lines: the text stays
// on one line when it fits, otherwise it is split once where Japanese text may
// break, so that a long number or method name is never cut off at the edge.
#include <functional>
#include <string>
#include <vector>

namespace vesko {

// Width in pixels of a UTF-8 text in the label's font.
using TextWidthFn = std::function<int(const std::string&)>;

// One line when the text fits in maxWidth (or cannot be broken anywhere);
// otherwise two lines. Allowed breaks lie between characters, never inside a
// run of ASCII letters, digits and signs ("-12", "Windows"), never before
// closing punctuation or small kana and never after opening brackets. A
// phrase end (a space, or hiragana followed by anything else, as after a
// particle) is preferred when both lines then fit; among the candidates the
// split whose wider line is the narrowest wins. A space at the break is dropped.
std::vector<std::string> WrapInTwoLines(const std::string& text, int maxWidth, const TextWidthFn& width);

}  // namespace vesko
