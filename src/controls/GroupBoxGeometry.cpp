#include "controls/GroupBoxGeometry.h"

namespace vesko {

GroupBoxGeometry GroupBoxLayout(int width, int height, int textHeight, int captionWidth, bool captionEmpty,
                                bool rightToLeft) {
    GroupBoxGeometry g;
    // Integer division rounds toward zero, as the caption line expects.
    g.frame = {0, textHeight / 2 - 1, width - 1, height - 1};
    const int pad = captionEmpty ? 0 : kGroupCaptionGap;
    const int left = rightToLeft ? g.frame.right - captionWidth - kGroupCaptionGap : kGroupCaptionGap;
    g.caption = {left, 0, left + captionWidth + pad, textHeight};
    return g;
}

}  // namespace vesko
