#include <gtest/gtest.h>

#include "settings/IniFile.h"
#include "settings/StartupSwitches.h"

namespace vesko {
namespace {

TEST(IniDocument, HandEditedFileReadsLikeTheSystem) {
    IniDocument doc = IniDocument::Parse(
        "; leading comment\r\n\r\n[A]\r\n  key1  =  \"quoted\"  \r\nKey1=second\r\nnoequals\r\n[B]\nk=lf "
        "only\n[A]\nk2=dup section");
    ASSERT_TRUE(doc.Find(" A ", "KEY1"));
    EXPECT_EQ(ProfileValueForRead(*doc.Find(" A ", "KEY1")), "quoted") << "first duplicate wins, quotes removed";
    EXPECT_FALSE(doc.Find("A", "noequals").value_or("").size());
    EXPECT_EQ(*doc.Find("b", "K"), "lf only");
    EXPECT_FALSE(doc.Find("A", "k2")) << "only the first section of a name is searched";
    EXPECT_FALSE(doc.Find("missing", "k"));
}

TEST(IniDocument, WritesUpdateInPlaceAppendKeysAndSections) {
    IniDocument doc = IniDocument::Parse("[S]\r\n a = 1 \r\n\r\n; note\r\n[T]\r\nx=y");
    EXPECT_FALSE(doc.Set("s", "A", "1")) << "an unchanged value changes nothing";
    EXPECT_TRUE(doc.Set("S", "a", "2"));
    EXPECT_TRUE(doc.Set("S", "new", "  v"));
    EXPECT_TRUE(doc.Set("U", "k", "w"));
    EXPECT_EQ(doc.Serialize(), "[S]\r\na=2\r\n; note\r\nnew=v\r\n[T]\r\nx=y\r\n[U]\r\nk=w\r\n");
}

// A set of edits applied to a file's text as the system's profile writes,
// one after another, would leave it.
TEST(EditProfileText, EditsLandAsSuccessiveProfileWritesWouldPutThem) {
    const std::string huge(100000, 'x');
    struct Case {
        const char* name;
        std::string text;
        std::vector<ProfileEdit> edits;
        std::optional<std::string> expected;  // nullopt: the file stays untouched
    };
    const Case cases[] = {
        {"existing key changed", "[S]\r\na=1\r\nb=2\r\n", {{"S", "a", "9"}}, "[S]\r\na=9\r\nb=2\r\n"},
        {"key added at the end of its section",
         "[S]\r\na=1\r\n[T]\r\nb=2\r\n",
         {{"S", "c", "3"}},
         "[S]\r\na=1\r\nc=3\r\n[T]\r\nb=2\r\n"},
        {"new section at the end, no blank line", "[S]\r\na=1\r\n", {{"U", "k", "v"}}, "[S]\r\na=1\r\n[U]\r\nk=v\r\n"},
        {"first of duplicate keys, stored name kept",
         "[S]\r\nk=1\r\nK=2\r\n",
         {{"s", "K", "3"}},
         "[S]\r\nk=3\r\nK=2\r\n"},
        {"first of duplicate sections",
         "[A]\r\na=1\r\n[B]\r\n[a]\r\nc=3\r\n",
         {{"A", "c", "4"}},
         "[A]\r\na=1\r\nc=4\r\n[B]\r\n[a]\r\nc=3\r\n"},
        {"comments and hand-added keys stay in place",
         "; top\r\n[S]\r\n;note\r\nmine=x\r\na=1\r\n[Hand]\r\nh=1\r\n",
         {{"S", "a", "2"}, {"S", "b", "3"}},
         "; top\r\n[S]\r\n;note\r\nmine=x\r\na=2\r\nb=3\r\n[Hand]\r\nh=1\r\n"},
        {"keys differing in case",
         "[Timer]\r\nTIMER_HOUR=5\r\n",
         {{"timer", "Timer_Hour", "6"}},
         "[Timer]\r\nTIMER_HOUR=6\r\n"},
        {"blank lines and blanks around = go with a rewrite",
         "\r\n[S]\r\n\r\n a = 1 \r\n\r\n[T]\r\n",
         {{"S", "b", "2"}},
         "[S]\r\na=1\r\nb=2\r\n[T]\r\n"},
        {"no final CR LF", "[S]\r\na=1", {{"S", "b", "2"}}, "[S]\r\na=1\r\nb=2\r\n"},
        {"empty file", "", {{"S", "a", "1"}, {"T", "b", "2"}, {"S", "c", "3"}}, "[S]\r\na=1\r\nc=3\r\n[T]\r\nb=2\r\n"},
        {"LF only lines", "[S]\na=1\nb=2\n", {{"S", "a", "2"}}, "[S]\r\na=2\r\nb=2\r\n"},
        {"a huge line kept whole",
         "[S]\r\nbig=" + huge + "\r\na=1\r\n",
         {{"S", "a", "2"}},
         "[S]\r\nbig=" + huge + "\r\na=2\r\n"},
        {"the same key twice: the last value", "", {{"S", "a", "1"}, {"S", "A", "2"}}, "[S]\r\na=2\r\n"},
        {"nothing changes", "\r\n[S]\r\n a = 1\r\n", {{"S", "a", "1"}}, std::nullopt},
        {"no edits", "[S]\r\n", {}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(EditProfileText(c.text, c.edits), c.expected) << c.name;
}

TEST(IniFile, ValuesAreCutTo2047Characters) {
    std::string stored;
    TextFileAccess a = TextFileAccess::Plain();
    a.read = [&](const std::string&) -> std::optional<std::string> { return stored; };
    a.write = [&](const std::string&, const std::string& b) {
        stored = b;
        return true;
    };
    IniFile f("x.ini", a);
    ASSERT_TRUE(f.WriteString("S", "k", std::string(3000, 'a')));
    EXPECT_EQ(f.ReadString("S", "k", "").size(), 2047u);
    // Never half a character: 2046 ASCII then a 4-byte character that needs two units.
    ASSERT_TRUE(f.WriteString("S", "k", std::string(2046, 'a') + "𠮷"));
    EXPECT_EQ(f.ReadString("S", "k", "").size(), 2046u);
    EXPECT_EQ(f.ReadString("S", "missing", "def"), "def");
}

TEST(StartupSwitches, ExactMatchesAddUp) {
    struct Case {
        std::vector<std::string> args;
        bool hide, noTray, lock;
    };
    const Case cases[] = {
        {{"vesko.exe"}, false, false, false},           {{"vesko.exe", "/e"}, true, false, false},
        {{"vesko.exe", "/E"}, false, false, false},     {{"vesko.exe", "-e"}, false, false, false},
        {{"vesko.exe", "/h"}, true, false, false},      {{"vesko.exe", "/v"}, true, true, false},
        {{"vesko.exe", "/c"}, true, true, true},        {{"/h"}, true, false, false},  // argument 0 counts too
        {{"vesko.exe", "/e", "/v"}, true, true, false}, {{"vesko.exe", "/h /v"}, false, false, false},
    };
    for (const Case& c : cases) {
        StartupSwitches s = ParseStartupSwitches(c.args);
        EXPECT_EQ(s.hide, c.hide);
        EXPECT_EQ(s.noTrayIcon, c.noTray);
        EXPECT_EQ(s.lockWarning, c.lock);
    }
}

}  // namespace
}  // namespace vesko
