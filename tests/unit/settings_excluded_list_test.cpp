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
    // The code page of this fake lacks only the accented e.
    bool CanHold(const std::string& text) override { return text.find("é") == std::string::npos; }
};

TEST(ExcludedList, LinesSplitAtEveryKindOfLineEnd) {
    struct Case {
        const char* text;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"C:\\a.exe", {"C:\\a.exe"}},
        {"C:\\a.exe\r\nD:\\b.exe\r\n", {"C:\\a.exe", "D:\\b.exe"}},
        {"a\r\n\r\nb", {"a", "", "b"}},  // an empty line is an entry
        {"\r\n", {""}},
        {"a\rb\nc", {"a", "b", "c"}},    // lone CR and lone LF
        {"a\n\r b", {"a", "", " b"}},    // LF CR is two line ends
        {"  \r\n\t\r\n", {"  ", "\t"}},  // blank lines are kept as they stand
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

TEST(ExcludedList, TheDialogEditsTheLiveList) {
    FakeListFile file;
    Lines live{"C:\\old.exe"};
    ReloadExcludedPrograms(live, file);  // no file: nothing listed
    EXPECT_TRUE(live.empty());

    file.content = "C:\\a.exe\r\nC:\\b.exe\r\n";
    ReloadExcludedPrograms(live, file);
    EXPECT_EQ(live, (Lines{"C:\\a.exe", "C:\\b.exe"}));

    // The same program twice is two entries; a path outside the code page is
    // refused with its name rather than saved as a different path.
    EXPECT_FALSE(AddExcludedProgram(live, "C:\\a.exe", file));
    auto refusal = AddExcludedProgram(live, "C:\\café\\x.exe", file);
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("C:\\café\\x.exe"), std::string::npos);
    EXPECT_EQ(live, (Lines{"C:\\a.exe", "C:\\b.exe", "C:\\a.exe"}));

    EXPECT_TRUE(RemoveExcludedProgram(live, 0));
    EXPECT_FALSE(RemoveExcludedProgram(live, 2));  // nothing selected past the end
    EXPECT_EQ(live, (Lines{"C:\\b.exe", "C:\\a.exe"}));

    // An unreadable file leaves the live list as it was: the listed programs
    // keep holding the function back.
    file.readable = false;
    EXPECT_THROW(ReloadExcludedPrograms(live, file), FileOpenError);
    EXPECT_EQ(live, (Lines{"C:\\b.exe", "C:\\a.exe"}));
}

}  // namespace
}  // namespace vesko
