#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/Trace.h"

namespace vesko {
namespace {

std::vector<std::string> g_lines;

// A dropped error leaves one line naming where it was dropped and what it
// said; a body that completes leaves none.
TEST(Trace, GuardedDropsAnErrorWithOneLineSayingWhereAndWhat) {
    SetTraceSink([](const std::string& line) { g_lines.push_back(line); });
    EXPECT_TRUE(Guarded("quiet", [] {}));
    EXPECT_FALSE(Guarded("tray tip", [] { throw std::runtime_error("shell timed out"); }));
    EXPECT_FALSE(Guarded("cursor", [] { throw 42; }));
    SetTraceSink(nullptr);
    EXPECT_EQ(g_lines,
              (std::vector<std::string>{"vesko: tray tip: shell timed out\n", "vesko: cursor: unknown exception\n"}));
}

}  // namespace
}  // namespace vesko
