#include "base/Text.h"

namespace vesko {

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string CutToUtf16Units(const std::string& s, std::size_t maxUnits) {
    std::size_t i = 0, units = 0;
    while (i < s.size()) {
        std::size_t len = Utf8SequenceLength(static_cast<unsigned char>(s[i]));
        std::size_t u = len == 4 ? 2 : 1;
        if (units + u > maxUnits) break;
        units += u;
        i += len;
    }
    return s.substr(0, i < s.size() ? i : s.size());
}

}  // namespace vesko
