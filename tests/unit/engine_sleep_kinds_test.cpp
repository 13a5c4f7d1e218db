// The words under the method choices for a table of machines, through the
// engine's reading: the capabilities as the system reports them, suspend and
// hibernation called usable exactly when the availability check says so.
#include <gtest/gtest.h>

#include "engine/PowerAvailability.h"
#include "power_fake_system.h"

namespace vesko {
namespace {

constexpr OsVersionRecord kWin10{kPlatformWin32NT, 10, 0};
const std::string kHibernates = "休止状態：使えます";

// S1, S3, S4, the hibernation file, AoAc, the plan's hybrid sleep.
SleepCapabilities Caps(bool s1, bool s3, bool s4, bool file, bool aoac, std::optional<bool> hybrid) {
    return {true, s1, false, s3, s4, file, aoac, hybrid};
}

TEST(SleepKinds, EachMachineIsToldWhatItsMethodsDo) {
    struct Machine {
        const char* name;
        OsVersionRecord version;
        SleepCapabilities caps;
        bool suspendAllowed, hibernateAllowed;
        std::string said;  // the lines after the shutdown's, each ended by "/"
    };
    const Machine machines[] = {
        {"S3 desktop", kWin10, Caps(1, 1, 1, 1, 0, false), 1, 1, "サスペンド：S3スタンバイ/" + kHibernates},
        {"Modern Standby laptop", kWin10, Caps(0, 0, 1, 1, 1, false), 0, 1,
         "サスペンド：使えません（モダンスタンバイ）/" + kHibernates},
        {"Modern Standby that suspend reaches", kWin10, Caps(0, 0, 1, 1, 1, true), 1, 1,
         "サスペンド：モダンスタンバイ/（画面は消えても通信は続くことがあります）/" + kHibernates},
        // Hybrid sleep in the plan needs the file it writes.
        {"hibernation off", kWin10, Caps(1, 1, 1, 0, 0, true), 1, 0,
         "サスペンド：S3スタンバイ/休止状態：オフ（powercfg /h on で有効）"},
        {"hybrid sleep", kWin10, Caps(1, 1, 1, 1, 0, true), 1, 1,
         "サスペンド：ハイブリッドスリープ/（休止状態のファイルも書き込みます）/" + kHibernates},
        {"XP, no plan", testing::kXP, Caps(1, 1, 1, 1, 0, std::nullopt), 1, 1,
         "サスペンド：S3スタンバイ/" + kHibernates},
        {"S1 only", testing::kXP, Caps(1, 0, 0, 0, 0, std::nullopt), 1, 0,
         "サスペンド：S1スタンバイ/休止状態：このPCでは使えません"},
        // Wine reports S1 but refuses suspend; the words follow the refusal.
        {"Wine", kWin10, Caps(1, 0, 1, 1, 0, std::nullopt), 0, 1, "サスペンド：このPCでは使えません/" + kHibernates},
        // Windows 95: nothing to read, suspend never asked and left usable.
        {"Windows 95", testing::kWin95, {}, 0, 0, "サスペンド：スタンバイ/休止状態：このPCでは使えません"},
    };
    for (const Machine& m : machines) {
        testing::FakePowerSystem system;
        system.version = m.version;
        system.sleep = m.caps;
        system.exports["IsPwrSuspendAllowed"] = m.suspendAllowed;
        system.exports["IsPwrHibernateAllowed"] = m.hibernateAllowed;
        std::string said;
        for (const std::string& line : SleepKindsOfMachine(system)) said += line + "/";
        EXPECT_EQ(said, "電源を切る：完全シャットダウン/（高速スタートアップは使いません）/" + m.said + "/") << m.name;
    }
}

}  // namespace
}  // namespace vesko
