#pragma once
// The settings window's steps around the notice of a method fallback.
#include <vector>

namespace vesko {

enum class NoticeStep {
    Restore,  // the window out of the taskbar, as it was (not brought up if hidden)
    Hide,     // the window and its taskbar button hidden
    Notice,   // the plain box, waiting for OK
};

// The box comes up with the program restored; a program that was in the tray
// alone hides its window before the box and returns to the tray after it.
std::vector<NoticeStep> FallbackNoticeSteps(bool windowVisible);

}  // namespace vesko
