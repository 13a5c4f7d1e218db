#pragma once
// Bringing a stored window position back onto the screen: the rectangle
// arithmetic apart from any monitor query.
namespace vesko {

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// `window` as it may stand on `work` (the work area of the monitor nearest to
// it): unchanged while at least `minVisible` pixels of it in each direction and
// its whole top edge's height lie on the work area; otherwise moved (size
// kept) to the nearest place inside, its top-left corner first when it is
// larger than the area. An empty work area changes nothing.
ScreenRect KeepOnWorkArea(const ScreenRect& window, const ScreenRect& work, int minVisible);

}  // namespace vesko
