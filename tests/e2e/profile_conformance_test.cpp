// The portable profile codec against the system's profile functions: the same
// reads and writes on the same starting file must leave the same bytes.
#include <gtest/gtest.h>

#include "Harness.h"
#include "settings/ProfileFile_win.h"
#include "base/WinText_win.h"

using namespace e2e;

namespace {

struct Step {
    const char* section;
    const char* key;
    const char* value;  // nullptr: a read of the key instead
};

void Compare(const char* name, const std::string& start, const std::vector<Step>& steps) {
    SCOPED_TRACE(name);
    Sandbox box;
    const std::wstring sysName = L"system.ini", ownName = L"portable.ini";
    if (!start.empty()) {
        box.WriteText(sysName, start);
        box.WriteText(ownName, start);
    }
    auto sys = vesko::OpenSystemProfileFile(Utf8(box.PathOf(sysName)));
    vesko::IniFile own(Utf8(box.PathOf(ownName)), vesko::AnsiFileAccess());
    for (const Step& s : steps) {
        if (s.value) {
            EXPECT_EQ(sys->WriteString(s.section, s.key, s.value), own.WriteString(s.section, s.key, s.value));
        } else {
            EXPECT_EQ(sys->ReadString(s.section, s.key, "DEF"), own.ReadString(s.section, s.key, "DEF"))
                << s.section << "/" << s.key;
        }
    }
    EXPECT_EQ(box.ReadBytes(sysName), box.ReadBytes(ownName));
}

}  // namespace

TEST(ProfileConformance, SameBytesAsTheSystemFunctions) {
    Compare("new file", "",
            {{"Timer", "Timer_SetTime", "9:05"},
             {"Omake", "Title", "ケルダン！"},
             {"timer", "TIMER_SETTIME", "10:00"},
             {"Timer", "Timer_SetTime", nullptr}});
    Compare("blanks around =", "[CPU]\r\n  CPU_Percent  =  30  \r\n",
            {{"CPU", "CPU_Percent", nullptr}, {"CPU", "CPU_Time", "5"}});
    Compare("comments and blank lines", "; mine\r\n\r\n[A]\r\n;note\r\nk=1\r\n\r\n[B]\r\nx=y\r\n",
            {{"A", "k", "1"}, {"A", "k", "2"}, {"B", "new", "v"}});
    Compare("duplicate keys", "[A]\r\nk=first\r\nK=second\r\n", {{"A", "k", nullptr}, {"A", "K", "third"}});
    Compare("duplicate sections", "[A]\r\na=1\r\n[B]\r\nb=2\r\n[a]\r\nc=3\r\n",
            {{"A", "c", nullptr}, {"A", "c", "4"}, {"A", "a", nullptr}});
    Compare("quoted values", "[Q]\r\nd=\"double\"\r\ns='single'\r\nhalf=\"open\r\n",
            {{"Q", "d", nullptr}, {"Q", "s", nullptr}, {"Q", "half", nullptr}, {"Q", "w", "\"x\""}});
    Compare("no final newline", "[A]\r\nk=1", {{"A", "k", nullptr}, {"A", "j", "2"}});
    Compare("LF only and no equals sign", "[A]\nflag\nk = v\n", {{"A", "flag", nullptr}, {"A", "k", "w"}});
    Compare("leading blanks of a written value", "", {{"S", "k", "   padded"}, {"S", "k", nullptr}});
    Compare("Japanese values", "[Omake]\r\nTitle=節電\r\n",
            {{"Omake", "Title", nullptr}, {"Omake", "Title", "ケルダン！"}});
}

// The settings file's one-step save against the system writing the same keys
// one by one: the same bytes, written once; a read-only file refuses whole.
TEST(ProfileConformance, SettingsFileSavesInOneStepWhatTheSystemWritesKeyByKey) {
    struct Case {
        const char* name;
        std::string start;  // empty: no file
        std::vector<vesko::ProfileEdit> edits;
    };
    const std::string huge(20000, 'x');
    const Case cases[] = {
        {"new file", "", {{"Omake", "Title", "ケルダン！"}, {"Timer", "Timer_Hour", "0"}, {"omake", "TITLE", "節電"}}},
        {"changed, added, new section",
         "[Timer]\r\nTimer_Hour=5\r\n[CPU]\r\nCPU_Time=1\r\n",
         {{"Timer", "Timer_Hour", "6"}, {"Timer", "Timer_Minute", "7"}, {"Window", "WindowPosX", "-3"}}},
        {"comments, blank lines, hand-added keys and sections",
         "; mine\r\n\r\n[A]\r\n;note\r\nhand = made \r\nk=1\r\n\r\n[Hand]\r\nx=y\r\n\r\n",
         {{"A", "k", "2"}, {"A", "new", "v"}, {"B", "b", "1"}}},
        {"duplicate keys and sections",
         "[A]\r\nk=first\r\nK=second\r\n[B]\r\n[a]\r\nc=3\r\n",
         {{"a", "K", "third"}, {"A", "c", "4"}}},
        {"no final newline, LF only", "[A]\nflag\nk = v", {{"A", "k", "w"}, {"A", "j", "2"}}},
        {"a huge line", "[A]\r\nbig=" + huge + "\r\nk=1\r\n", {{"A", "k", "2"}}},
        {"an empty file", "\r\n", {{"A", "k", "2"}}},
        {"nothing changes", "[A]\r\n k = 1\r\n\r\n", {{"A", "k", "1"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox box;
        if (!c.start.empty()) {
            box.WriteText(L"system.ini", c.start);
            box.WriteText(L"vesko.ini", c.start);
        }
        auto sys = vesko::OpenSystemProfileFile(Utf8(box.PathOf(L"system.ini")));
        auto own = vesko::OpenSettingsFile(Utf8(box.PathOf(L"vesko.ini")));
        EXPECT_TRUE(sys->WriteStrings(c.edits));
        EXPECT_TRUE(own->WriteStrings(c.edits));
        EXPECT_EQ(box.ReadBytes(L"system.ini"), box.ReadBytes(L"vesko.ini"));
        EXPECT_FALSE(box.Exists(L"vesko.ini.tmp"));
        // Read back through the system, what was written is there.
        for (const vesko::ProfileEdit& e : c.edits)
            EXPECT_EQ(own->ReadString(e.section, e.key, "DEF"), sys->ReadString(e.section, e.key, "DEF"));
    }
    Sandbox box;
    const std::string start = "[Omake]\r\nTitle=x\r\n";
    box.WriteText(L"vesko.ini", start);
    box.SetReadOnly(L"vesko.ini", true);
    auto own = vesko::OpenSettingsFile(Utf8(box.PathOf(L"vesko.ini")));
    const vesko::ProfileEdit edits[] = {{"Omake", "Title", "y"}, {"Timer", "Timer_Hour", "1"}};
    EXPECT_FALSE(own->WriteStrings(edits));
    EXPECT_EQ(box.ReadText(L"vesko.ini"), start);
    EXPECT_FALSE(box.Exists(L"vesko.ini.tmp"));
    // A file the user hid stays hidden.
    Sandbox other;
    const std::wstring hidden = other.PathOf(L"vesko.ini");
    other.WriteText(L"vesko.ini", start);
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(vesko::OpenSettingsFile(Utf8(hidden))->WriteStrings(edits));
    EXPECT_TRUE(GetFileAttributesW(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}
