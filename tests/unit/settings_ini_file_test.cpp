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
