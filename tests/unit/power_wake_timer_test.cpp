// Waking the machine after its own sleep: when the timer is set for, why it
// cannot wake a machine, and the monitor around a sleep with the wake-up on.
#include <gtest/gtest.h>

#include "power/WakeTimer.h"

namespace vesko {
namespace {

DateTime At(int y, int mo, int d, int h, int mi, int s = 0) { return EncodeDateTime({y, mo, d, h, mi, s}); }

TEST(WakeTimer, TheNextTickedDayAndTimeAfterNow) {
    struct Row {
        const char* what;
        DateTime now;
        int hour, minute;
        const char* days;
        DateTime expected;  // 0: none
    };
    // 2026-12-10 is a Thursday.
    const Row rows[] = {
        {"later today", At(2026, 12, 10, 6, 0), 7, 0, "1111100", At(2026, 12, 10, 7, 0)},
        {"the minute running has begun: tomorrow", At(2026, 12, 10, 7, 0, 30), 7, 0, "1111100", At(2026, 12, 11, 7, 0)},
        {"Friday night: Monday", At(2026, 12, 11, 23, 0), 7, 0, "1111100", At(2026, 12, 14, 7, 0)},
        {"a week round", At(2026, 12, 10, 8, 0), 7, 0, "0001000", At(2026, 12, 17, 7, 0)},
        {"the year's end", At(2026, 12, 31, 22, 0), 6, 30, "1111111", At(2027, 1, 1, 6, 30)},
        {"the month's end, weekend only", At(2027, 2, 26, 9, 0), 8, 0, "0000011", At(2027, 2, 27, 8, 0)},
        {"a leap day", At(2028, 2, 28, 23, 59), 0, 0, "1111111", At(2028, 2, 29, 0, 0)},
        {"no day", At(2026, 12, 10, 6, 0), 7, 0, "0000000", 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const auto next = NextWakeTime(r.now, r.hour, r.minute, r.days);
        EXPECT_EQ(next.has_value(), r.expected != 0);
        if (next) EXPECT_EQ(WakeTimeText(*next), WakeTimeText(r.expected));
    }
    EXPECT_EQ(WakeTimerSetLine(At(2026, 12, 10, 7, 0)), "復帰タイマーを設定しました（12/10 7:00）");
}

TEST(WakeTimer, WhyATimerCannotWakeTheMachine) {
    SleepCapabilities s3;
    s3.known = s3.s3 = s3.s4 = true;
    s3.rtcWake = 5;
    s3.wakeTimersAllowed = true;
    SleepCapabilities modern = s3;
    modern.modernStandby = true;
    SleepCapabilities planOff = s3;
    planOff.wakeTimersAllowed = false;
    SleepCapabilities shallow = s3;
    shallow.rtcWake = 4;  // S3
    SleepCapabilities wine = s3;
    wine.rtcWake = 2;      // S1
    SleepCapabilities xp;  // nothing known: the timer's answer alone decides
    struct Row {
        const char* what;
        WakeTimerAnswer answer;
        const SleepCapabilities& caps;
        bool suspend;
        const char* reason;  // null: it wakes
    };
    const Row rows[] = {
        {"S3 desktop, suspend", {true, 0}, s3, true, nullptr},
        {"S3 desktop, hibernation", {true, 0}, s3, false, nullptr},
        {"XP", {true, 0}, xp, false, nullptr},
        {"the call failed", {false, 6}, s3, true, "タイマーを作れません（エラー 6）"},
        {"not supported", {true, kErrorNotSupported}, s3, true, "このPCはタイマーで復帰できません"},
        {"Wine: ignored, before its shallow wake",
         {true, kErrorTimerResumeIgnored},
         wine,
         false,
         "このPCはタイマーによる復帰を受け付けません"},
        {"Modern Standby", {true, 0}, modern, true, "モダンスタンバイのPCではタイマーで復帰できません"},
        {"Modern Standby, hibernation", {true, 0}, modern, false, nullptr},
        {"plan: wake timers off", {true, 0}, planOff, false, "電源プランで復帰タイマーが無効になっています"},
        {"firmware wakes from S3, not S4", {true, 0}, shallow, false, "このPCは休止状態からタイマーで復帰できません"},
        {"firmware wakes from S3, suspend", {true, 0}, shallow, true, nullptr},
        {"firmware wakes from S1 only", {true, 0}, wine, true, "このPCはサスペンドからタイマーで復帰できません"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const auto problem = WakeTimerProblem(r.answer, r.caps, r.suspend);
        EXPECT_EQ(problem, r.reason ? std::optional<std::string>(r.reason) : std::nullopt);
    }
    EXPECT_EQ(WakeTimerFailedLine("x"), "復帰タイマーを設定できませんでした（x）");
}

}  // namespace
}  // namespace vesko
