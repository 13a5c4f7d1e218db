#include <gtest/gtest.h>

#include <vector>

#include "ui/FallbackNotice.h"

namespace vesko {
namespace {

using Steps = std::vector<NoticeStep>;

TEST(FallbackNotice, FallbackNoticeReturnsAHiddenProgramToTheTray) {
    EXPECT_EQ(FallbackNoticeSteps(true), (Steps{NoticeStep::Restore, NoticeStep::Notice}));
    EXPECT_EQ(FallbackNoticeSteps(false),
              (Steps{NoticeStep::Restore, NoticeStep::Hide, NoticeStep::Notice, NoticeStep::Hide}));
}

}  // namespace
}  // namespace vesko
