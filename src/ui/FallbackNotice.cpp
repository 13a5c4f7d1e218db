#include "ui/FallbackNotice.h"

namespace vesko {

std::vector<NoticeStep> FallbackNoticeSteps(bool windowVisible) {
    if (windowVisible) return {NoticeStep::Restore, NoticeStep::Notice};
    return {NoticeStep::Restore, NoticeStep::Hide, NoticeStep::Notice, NoticeStep::Hide};
}

}  // namespace vesko
