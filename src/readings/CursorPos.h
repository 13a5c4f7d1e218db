#pragma once
// The mouse cursor's position in screen pixels.
#include <cstdint>

namespace vesko {

struct CursorPos {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const CursorPos&, const CursorPos&) = default;
};

}  // namespace vesko
