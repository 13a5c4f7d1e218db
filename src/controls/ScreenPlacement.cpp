#include "controls/ScreenPlacement.h"

#include <algorithm>

namespace vesko {
namespace {

int Overlap(int a0, int a1, int b0, int b1) { return std::min(a1, b1) - std::max(a0, b0); }

// The start of a span of `size` moved into [low, high), its start first.
int Inside(int start, int size, int low, int high) { return std::max(low, std::min(start, high - size)); }

}  // namespace

ScreenRect KeepOnWorkArea(const ScreenRect& window, const ScreenRect& work, int minVisible) {
    if (work.Width() <= 0 || work.Height() <= 0) return window;
    const int across = Overlap(window.left, window.right, work.left, work.right);
    const int down = Overlap(window.top, window.bottom, work.top, work.bottom);
    // The caption must be reachable: the top edge inside, with room to grab it.
    const bool topReachable = window.top >= work.top && window.top <= work.bottom - minVisible;
    if (across >= std::min(minVisible, window.Width()) && down >= std::min(minVisible, window.Height()) && topReachable)
        return window;
    const int left = Inside(window.left, window.Width(), work.left, work.right);
    const int top = Inside(window.top, window.Height(), work.top, work.bottom);
    return {left, top, left + window.Width(), top + window.Height()};
}

}  // namespace vesko
