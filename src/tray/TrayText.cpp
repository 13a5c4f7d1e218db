#include "tray/TrayText.h"

namespace vesko {
namespace {

// Length of the UTF-8 sequence at s[i] and its code point; a malformed
// sequence is taken as its first byte alone.
std::size_t DecodeAt(const std::string& s, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        cp = 0xFFFD;
        return 1;
    }
    if (i + len > s.size()) {
        cp = 0xFFFD;
        return 1;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            cp = 0xFFFD;
            return 1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
        return 1;
    }
    return len;
}

bool ReadNumber(const std::string& s, std::size_t& i, std::uint32_t& value) {
    const std::size_t start = i;
    value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        value = value * 10 + static_cast<std::uint32_t>(s[i] - '0');
        if (value > 0xFFFF) return false;
        ++i;
    }
    return i > start;
}

}  // namespace

std::string CutToUnits(const std::string& utf8, std::size_t limit, const TextUnitsOf& unitsOf) {
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        const std::size_t len = DecodeAt(utf8, i, cp);
        const std::size_t units = unitsOf(cp);
        if (used + units > limit) break;
        used += units;
        i += len;
    }
    return utf8.substr(0, i);
}

std::size_t Utf16Units(char32_t c) { return c >= 0x10000 ? 2 : 1; }

std::string CrLfToBlank(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += ' ';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::uint32_t ParseShellFileVersion(const std::string& text) {
    std::size_t i = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    if (!ReadNumber(text, i, major)) return 0;
    if (i >= text.size() || text[i] != '.') return 0;
    ++i;
    if (!ReadNumber(text, i, minor)) return 0;
    return PackShellVersion(major, minor);
}

}  // namespace vesko
