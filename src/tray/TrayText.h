#pragma once
// Text rules of the notification record: tips and balloon texts are cut to a
// number of units of the record's encoding, always between whole characters.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace vesko {

using TextUnitsOf = std::function<std::size_t(char32_t)>;

// The longest prefix of utf8 whose characters take at most limit units. A
// malformed byte counts as one character of one unit and is kept as it is.
std::string CutToUnits(const std::string& utf8, std::size_t limit, const TextUnitsOf& unitsOf);

// UTF-16 units of one character: two for a character beyond the BMP.
std::size_t Utf16Units(char32_t c);

// Every CR LF pair replaced by one blank (single-line tips of old shells).
std::string CrLfToBlank(const std::string& text);

// Major version in the high word, minor in the low word.
constexpr std::uint32_t PackShellVersion(std::uint32_t major, std::uint32_t minor) {
    return (major << 16) | (minor & 0xFFFFu);
}

// "major.minor..." as found in a FileVersion string ("6.00.2900.2180",
// "4.72.3110.1", "10.0.19041.1"); 0 when the text does not start that way.
std::uint32_t ParseShellFileVersion(const std::string& text);

}  // namespace vesko
