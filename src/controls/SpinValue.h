#pragma once
// Value rules of the numeric spin edit, apart from any window: the value lives
// in the text; reading repairs a text that is not a number, writing clamps.
#include <cstdint>
#include <optional>
#include <string>

namespace vesko {

class SpinValue {
public:
    SpinValue() = default;
    SpinValue(std::int64_t minValue, std::int64_t maxValue, int maxLength, std::int64_t initial);

    std::int64_t MinValue = 0;
    std::int64_t MaxValue = 0;  // equal to MinValue: no clamping at all
    std::int64_t Increment = 1;
    int MaxLength = 0;  // typing limit in characters, 0 = none
    std::string Text = "0";

    std::int64_t ClampValue(std::int64_t v) const;
    // Reads the text; a text that is not a number is replaced by MinValue.
    std::int64_t Value();
    void SetValue(std::int64_t v);
    // Key release and focus loss: leave a number inside the range.
    void Repair();
    void StepUp();
    void StepDown();

    // Signed 64-bit decimal with optional sign; nothing else.
    static std::optional<std::int64_t> Parse(const std::string& text);
    // Character filter for typing; decimalSeparator is the locale's.
    static bool IsAllowedChar(char32_t c, bool editorEnabled, char32_t decimalSeparator = U'.');
};

}  // namespace vesko
