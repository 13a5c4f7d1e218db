#include "controls/SpinValue.h"

#include <limits>

namespace vesko {

SpinValue::SpinValue(std::int64_t minValue, std::int64_t maxValue, int maxLength, std::int64_t initial)
    : MinValue(minValue), MaxValue(maxValue), MaxLength(maxLength) {
    SetValue(initial);
}

std::int64_t SpinValue::ClampValue(std::int64_t v) const {
    if (MaxValue != MinValue) {
        if (v < MinValue) return MinValue;
        if (v > MaxValue) return MaxValue;
    }
    return v;
}

std::optional<std::int64_t> SpinValue::Parse(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    // Accumulate as a negative number so that INT64_MIN parses.
    std::int64_t acc = 0;
    const std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        int d = c - '0';
        if (acc < (lowest + d) / 10) return std::nullopt;
        acc = acc * 10 - d;
    }
    if (negative) return acc;
    if (acc == lowest) return std::nullopt;
    return -acc;
}

std::int64_t SpinValue::Value() {
    if (auto v = Parse(Text)) return *v;
    SetValue(MinValue);
    return MinValue;
}

void SpinValue::SetValue(std::int64_t v) { Text = std::to_string(ClampValue(v)); }

void SpinValue::Repair() {
    std::int64_t v = Value();
    if (ClampValue(v) != v) SetValue(v);
}

// Steps wrap like the machine's 64-bit arithmetic instead of overflowing.
void SpinValue::StepUp() {
    SetValue(static_cast<std::int64_t>(static_cast<std::uint64_t>(Value()) + static_cast<std::uint64_t>(Increment)));
}

void SpinValue::StepDown() {
    SetValue(static_cast<std::int64_t>(static_cast<std::uint64_t>(Value()) - static_cast<std::uint64_t>(Increment)));
}

bool SpinValue::IsAllowedChar(char32_t c, bool editorEnabled, char32_t decimalSeparator) {
    bool allowed = c == U'+' || c == U'-' || (c >= U'0' && c <= U'9') || c == decimalSeparator || (c < 32 && c != 13);
    if (allowed && !editorEnabled && (c >= 32 || c == 8)) allowed = false;
    return allowed;
}

}  // namespace vesko
