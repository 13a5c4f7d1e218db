#include <gtest/gtest.h>

#include "log/EventLog.h"
#include "settings/ExcludedPrograms.h"

namespace vesko {
namespace {

using Lines = std::vector<std::string>;

class FakeListFile : public ExcludedListFile {
public:
    std::string path = "C:\\app\\ExeNameList.txt";
    std::optional<std::string> content;  // nothing: no file
    bool readable = true;
    bool writable = true;
    int reads = 0;
    const std::string& Path() const override { return path; }
    bool Exists() override { return content.has_value(); }
    std::optional<std::string> Read() override {
        ++reads;
        if (!content || !readable) return std::nullopt;
        return content;
    }
    bool Write(const std::string& text) override {
        if (!writable) return false;
        content = text;
        return true;
    }
};

TEST(ExcludedList, LinesSplitAtEveryKindOfLineEnd) {
    struct Case { const char* text; Lines lines; };
    const Case cases[] = {
        {"", {}},
        {"C:\\a.exe", {"C:\\a.exe"}},
        {"C:\\a.exe\r\nD:\\b.exe\r\n", {"C:\\a.exe", "D:\\b.exe"}},
        {"a\r\n\r\nb", {"a", "", "b"}},     // an empty line is an entry
        {"\r\n", {""}},
        {"a\rb\nc", {"a", "b", "c"}},       // lone CR and lone LF
        {"a\n\r b", {"a", "", " b"}},       // LF CR is two line ends
        {"  \r\n\t\r\n", {"  ", "\t"}},     // blank lines are kept as they stand
        {"C:\\ツール\\ソフト.exe\r\n", {"C:\\ツール\\ソフト.exe"}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseExcludedProgramList(c.text), c.lines) << '"' << c.text << '"';
}

TEST(ExcludedList, SavedWithCrLfAfterEveryEntry) {
    FakeListFile file;
    file.content = "C:\\a.exe\nC:\\b.exe";  // written by hand with LF only
    const Lines loaded = *LoadExcludedProgramList(file);
    SaveExcludedProgramList(file, loaded);  // the dialog closed without changes
    EXPECT_EQ(*file.content, "C:\\a.exe\r\nC:\\b.exe\r\n");

    SaveExcludedProgramList(file, {"C:\\a.exe", "C:\\a.exe", ""});  // the same program twice, an empty line
    EXPECT_EQ(*file.content, "C:\\a.exe\r\nC:\\a.exe\r\n\r\n");
    EXPECT_EQ(*LoadExcludedProgramList(file), (Lines{"C:\\a.exe", "C:\\a.exe", ""}));

    SaveExcludedProgramList(file, {});
    EXPECT_EQ(*file.content, "");
}

TEST(ExcludedList, MissingUnreadableAndUnwritableFiles) {
    FakeListFile file;
    EXPECT_FALSE(LoadExcludedProgramList(file).has_value());

    file.content = "C:\\a.exe\r\n";
    file.readable = false;
    try {
        LoadExcludedProgramList(file);
        FAIL() << "no error for an unreadable file";
    } catch (const FileOpenError& e) {
        EXPECT_STREQ(e.what(), "ファイル C:\\app\\ExeNameList.txt は開けません");
    }

    file.readable = true;
    file.writable = false;
    try {
        SaveExcludedProgramList(file, {"C:\\b.exe"});
        FAIL() << "no error for an unwritable file";
    } catch (const FileCreateError& e) {
        EXPECT_STREQ(e.what(), "ファイル C:\\app\\ExeNameList.txt を作成できません");
    }
    EXPECT_EQ(*file.content, "C:\\a.exe\r\n");  // the old list stays
}

TEST(ExcludedList, FirstTickLoadsOnce) {
    FakeListFile file;
    file.content = "C:\\a.exe\r\n\r\n";
    bool firstTick = true;
    EXPECT_EQ(TakeFirstTickEntries(firstTick, file), (Lines{"C:\\a.exe", ""}));
    EXPECT_FALSE(firstTick);
    EXPECT_TRUE(TakeFirstTickEntries(firstTick, file).empty());
    EXPECT_EQ(file.reads, 1);
}

TEST(ExcludedList, FirstTickWithoutAFileOnlyClearsTheFlag) {
    FakeListFile file;
    bool firstTick = true;
    EXPECT_TRUE(TakeFirstTickEntries(firstTick, file).empty());
    EXPECT_FALSE(firstTick);
    file.content = "C:\\a.exe\r\n";  // appearing later: not looked for again
    EXPECT_TRUE(TakeFirstTickEntries(firstTick, file).empty());
    EXPECT_EQ(file.reads, 0);
}

TEST(ExcludedList, FirstTickRetriesAnUnreadableFile) {
    FakeListFile file;
    file.content = "C:\\a.exe\r\n";
    file.readable = false;
    bool firstTick = true;
    EXPECT_THROW(TakeFirstTickEntries(firstTick, file), FileOpenError);
    EXPECT_TRUE(firstTick);
    EXPECT_THROW(TakeFirstTickEntries(firstTick, file), FileOpenError);
    file.readable = true;
    EXPECT_EQ(TakeFirstTickEntries(firstTick, file), Lines{"C:\\a.exe"});
    EXPECT_FALSE(firstTick);
}

}  // namespace
}  // namespace vesko
