#include <gtest/gtest.h>

#include "controls/ScreenPlacement.h"

namespace vesko {
namespace {

TEST(ScreenPlacement, AStoredPositionOffEveryMonitorComesBackOntoTheNearest) {
    const ScreenRect work{0, 0, 1280, 770};  // the taskbar below
    struct Case {
        ScreenRect window, expected;
        const char* why;
    };
    const Case cases[] = {
        {{100, 80, 771, 582}, {100, 80, 771, 582}, "fully visible: kept"},
        {{1000, 500, 1671, 1002}, {1000, 500, 1671, 1002}, "partly off but grabbable: kept"},
        {{2200, 80, 2871, 582}, {609, 80, 1280, 582}, "a second monitor that is gone"},
        {{-3000, -900, -2329, -398}, {0, 0, 671, 502}, "far up and left"},
        {{100, -20, 771, 482}, {100, 0, 771, 502}, "caption above the screen"},
        {{100, 760, 771, 1262}, {100, 268, 771, 770}, "caption under the taskbar"},
        {{1260, 80, 1931, 582}, {609, 80, 1280, 582}, "only a sliver left"},
        {{-50, -40, 1950, 960}, {0, 0, 2000, 1000}, "larger than the area: top-left first"},
    };
    for (const Case& c : cases) EXPECT_EQ(KeepOnWorkArea(c.window, work, 32), c.expected) << c.why;
    EXPECT_EQ(KeepOnWorkArea({5000, 5000, 5100, 5100}, {}, 32), (ScreenRect{5000, 5000, 5100, 5100}))
        << "no work area known: unchanged";
}

}  // namespace
}  // namespace vesko
