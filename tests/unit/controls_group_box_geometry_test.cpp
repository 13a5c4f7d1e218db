// Frame and caption placement of the themed group box.
#include <gtest/gtest.h>

#include "controls/GroupBoxGeometry.h"

namespace vesko {
namespace {

TEST(GroupBoxGeometry, FrameAndCaptionBoxes) {
    struct Case {
        const char* what;
        int width, height, textHeight, captionWidth;
        bool empty, rtl;
        BoxRect frame, caption;
    };
    const Case cases[] = {
        {"caption at 8, widened by 8", 361, 449, 12, 48, false, false, {0, 5, 360, 448}, {8, 0, 64, 12}},
        {"odd text height rounds down", 273, 129, 13, 60, false, false, {0, 5, 272, 128}, {8, 0, 76, 13}},
        {"empty caption leaves the line whole", 273, 81, 12, 0, true, false, {0, 5, 272, 80}, {8, 0, 8, 12}},
        {"right to left ends 8 before the frame's right",
         273,
         65,
         12,
         60,
         false,
         true,
         {0, 5, 272, 64},
         {204, 0, 272, 12}},
        {"right to left, empty caption", 273, 65, 12, 0, true, true, {0, 5, 272, 64}, {264, 0, 264, 12}},
        {"one-pixel text puts the line above the box", 50, 20, 1, 5, false, false, {0, -1, 49, 19}, {8, 0, 21, 1}},
    };
    for (const Case& c : cases) {
        GroupBoxGeometry g = GroupBoxLayout(c.width, c.height, c.textHeight, c.captionWidth, c.empty, c.rtl);
        EXPECT_EQ(g.frame, c.frame) << c.what;
        EXPECT_EQ(g.caption, c.caption) << c.what;
    }
}

}  // namespace
}  // namespace vesko
