#pragma once
// Small UTF-8 helpers shared by the file formats.
#include <cstddef>
#include <string>

namespace vesko {

// Bytes of the UTF-8 sequence that starts with this lead byte (1 for a stray byte).
std::size_t Utf8SequenceLength(unsigned char lead);
// ASCII letters compared without regard to case; other characters exactly.
bool EqualsIgnoreCase(const std::string& a, const std::string& b);
// The longest prefix of at most maxUnits UTF-16 code units, never splitting a character.
std::string CutToUtf16Units(const std::string& s, std::size_t maxUnits);

}  // namespace vesko
