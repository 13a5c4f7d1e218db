#pragma once
// Where a themed group box puts its frame and its caption: the frame's top
// line runs through the middle of the caption's text height and is broken
// under the caption box. Plain arithmetic, so it is checked without windows.

namespace vesko {

struct BoxRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const BoxRect&) const = default;
};

struct GroupBoxGeometry {
    BoxRect frame;
    BoxRect caption;
};

// Gap before the caption box, and the extra width a non-empty caption gets.
inline constexpr int kGroupCaptionGap = 8;

// width/height: the control's size; textHeight: height of one line of the
// caption font; captionWidth: the measured caption (0 when it is empty).
GroupBoxGeometry GroupBoxLayout(int width, int height, int textHeight, int captionWidth, bool captionEmpty,
                                bool rightToLeft);

}  // namespace vesko
