#include <gtest/gtest.h>

#include <map>
#include <set>

#include "settings/ExcludedPrograms.h"

namespace vesko {
namespace {

// Files on a pretend disk, the processes running on it, and how the
// exclusive open answers: under Program Files it fails for every file, as it
// does for a user without write rights there.
class FakeSystem : public ProgramSystem {
public:
    std::set<std::string> files = {
        "C:\\Program Files\\Editor\\editor.exe",
        "C:\\Program Files\\Player\\player.exe",
        "C:\\Tools\\game.exe",
        "C:\\Tools\\idle.exe",
    };
    std::optional<std::vector<RunningProcess>> processes = std::vector<RunningProcess>{
        {"C:\\Windows\\explorer.exe", "explorer.exe"},
        {"C:\\Program Files\\Editor\\editor.exe", "editor.exe"},
        {"C:\\Tools\\game.exe", "game.exe"},
    };
    std::map<std::string, std::string> longNames = {
        {"C:\\PROGRA~1\\Editor\\editor.exe", "C:\\Program Files\\Editor\\editor.exe"}};
    std::set<std::string> heldOpen = {"C:\\Tools\\game.exe"};  // running, outside Program Files
    int listings = 0;
    std::vector<std::string> exclusiveOpens;
    std::map<std::uint32_t, std::string> imagesById;  // told on request only
    std::vector<std::uint32_t> imageQueries;

    std::optional<std::vector<RunningProcess>> ListProcesses() override {
        ++listings;
        return processes;
    }
    std::string ImagePathOf(std::uint32_t id) override {
        imageQueries.push_back(id);
        auto it = imagesById.find(id);
        return it == imagesById.end() ? std::string() : it->second;
    }
    std::string FullPathName(const std::string& path) override {
        auto it = longNames.find(path);
        return it == longNames.end() ? path : it->second;
    }
    bool FileExists(const std::string& path) override { return files.contains(path); }
    bool ExclusiveOpenFails(const std::string& path) override {
        exclusiveOpens.push_back(path);
        return path.starts_with("C:\\Program Files\\") || heldOpen.contains(path) || !files.contains(path);
    }
};

TEST(PathMatchKey, SameFileSameKey) {
    struct Case {
        const char* path;
        const char* key;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Editor\\editor.exe", "C:\\PROGRAM FILES\\EDITOR\\EDITOR.EXE"},
        {"c:/program files/editor/EDITOR.exe", "C:\\PROGRAM FILES\\EDITOR\\EDITOR.EXE"},
        {"  C:\\Tools\\\\.\\sub\\..\\game.exe \t", "C:\\TOOLS\\GAME.EXE"},
        {"C:\\Tools\\game.exe. .", "C:\\TOOLS\\GAME.EXE"},  // trailing dots and blanks of the name
        {"C:\\..\\..\\x.exe", "C:\\X.EXE"},                 // no climbing above the root
        {"\\\\?\\C:\\Tools\\game.exe", "C:\\TOOLS\\GAME.EXE"},
        {"\\\\?\\UNC\\server\\share\\a.exe", "\\\\SERVER\\SHARE\\A.EXE"},
        {"//server/share/a.exe", "\\\\SERVER\\SHARE\\A.EXE"},
        {"C:\\ツール\\ｇａｍｅ.exe", "C:\\ツール\\ＧＡＭＥ.EXE"},  // full-width letters fold, kana stay
        {"C:\\Spiele\\spaß-ö.exe", "C:\\SPIELE\\SPAß-Ö.EXE"},      // ß has no one-letter capital
        {"C:\\Игры\\игра.exe", "C:\\ИГРЫ\\ИГРА.EXE"},
        {"", ""},
        {"   ", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(PathMatchKey(c.path), c.key) << '"' << c.path << '"';
}

// Keys are compared with keys made from other spellings, so making a key of a
// key must change nothing. Generated from the characters that the rules treat
// specially: separators, dots, blanks, control characters, drive colons and
// the long-path prefix.
TEST(PathMatchKey, AKeyOfAKeyIsTheSameKey) {
    const std::string alphabet[] = {"a", "B", ".",  "..",      " ",     "\t", "\x01", "\x1f", "\\",
                                    "/", ":", "C:", "\\\\?\\", "UNC\\", "?",  "ｇ",   "\xff"};
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFF; };
    for (int n = 0; n < 20000; ++n) {
        std::string path;
        const int parts = static_cast<int>(next() % 9);
        for (int i = 0; i < parts; ++i) path += alphabet[next() % std::size(alphabet)];
        const std::string key = PathMatchKey(path);
        ASSERT_EQ(PathMatchKey(key), key) << testing::PrintToString(path);
    }
}

TEST(PathMatchKey, IllFormedBytesPassThrough) {
    const std::string bytes = "C:\\a\xff\xc3.exe";
    EXPECT_EQ(PathMatchKey(bytes), "C:\\A\xff\xc3.EXE");
}

TEST(ProgramsInUse, RunningMeansARunningProcessHasThatImage) {
    FakeSystem sys;
    ProgramsInUse inUse(sys);
    struct Case {
        const char* entry;
        bool running;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Editor\\editor.exe", true},
        {"c:\\program files\\editor\\EDITOR.EXE", true},
        {"C:\\PROGRA~1\\Editor\\editor.exe", true},  // short name resolved by the system
        {"C:\\Tools\\game.exe", true},
        // Installed but not running: the exclusive open fails for it as well,
        // yet it is not in use.
        {"C:\\Program Files\\Player\\player.exe", false},
        {"C:\\Tools\\idle.exe", false},
        {"C:\\Gone\\deleted.exe", false},  // no longer exists
        {"", false},                       // empty line
        {"   ", false},                    // blank line
        {"editor.exe", false},             // a bare name is no path of a running image
    };
    for (const Case& c : cases) EXPECT_EQ(inUse.IsFileInUse(c.entry), c.running) << '"' << c.entry << '"';
    EXPECT_EQ(sys.listings, 1);  // one process list for all entries
    EXPECT_TRUE(sys.exclusiveOpens.empty());
}

TEST(ProgramsInUse, NothingTestedNothingListed) {
    FakeSystem sys;
    { ProgramsInUse inUse(sys); }
    EXPECT_EQ(sys.listings, 0);
    ProgramsInUse inUse(sys);
    EXPECT_FALSE(inUse.IsFileInUse(""));
    EXPECT_EQ(sys.listings, 0);  // an empty entry needs no list
}

TEST(ProgramsInUse, EachTickSeesTheProcessesOfThatTick) {
    FakeSystem sys;
    const std::string game = "C:\\Tools\\game.exe";
    EXPECT_TRUE(ProgramsInUse(sys).IsFileInUse(game));
    sys.processes->pop_back();  // the game ends
    EXPECT_FALSE(ProgramsInUse(sys).IsFileInUse(game));
    EXPECT_EQ(sys.listings, 2);
}

TEST(ProgramsInUse, WithoutAProcessListTheExclusiveOpenDecides) {
    FakeSystem sys;
    sys.processes = std::nullopt;
    ProgramsInUse inUse(sys);
    EXPECT_TRUE(inUse.IsFileInUse("C:\\Tools\\game.exe"));     // held open by its process
    EXPECT_FALSE(inUse.IsFileInUse("C:\\Tools\\idle.exe"));    // opens: not running
    EXPECT_FALSE(inUse.IsFileInUse("C:\\Gone\\deleted.exe"));  // missing: not running, not opened
    EXPECT_FALSE(inUse.IsFileInUse(""));
    EXPECT_EQ(sys.exclusiveOpens, (std::vector<std::string>{"C:\\Tools\\game.exe", "C:\\Tools\\idle.exe"}));
    EXPECT_EQ(sys.listings, 1);  // not retried within the tick
}

TEST(ProgramsInUse, AProcessWhoseImageIsNotToldIsCheckedByItsFile) {
    FakeSystem sys;
    sys.processes = std::vector<RunningProcess>{{"", "game.exe"}, {"", "player.exe"}};
    ProgramsInUse inUse(sys);
    EXPECT_TRUE(inUse.IsFileInUse("C:\\Tools\\game.exe"));
    EXPECT_FALSE(inUse.IsFileInUse("C:\\Tools\\idle.exe"));  // no process of that name: not even opened
    EXPECT_EQ(sys.exclusiveOpens, std::vector<std::string>{"C:\\Tools\\game.exe"});
}

// The system's way: names listed, image paths asked for only where the name
// matches an entry, each process at most once per tick.
TEST(ProgramsInUse, ImagePathsAreAskedOnlyForProcessesOfAnEntrysName) {
    FakeSystem sys;
    sys.processes = std::vector<RunningProcess>{
        {"", "explorer.exe", 10}, {"", "EDITOR.EXE", 20}, {"", "editor.exe", 30}, {"", "game.exe", 40}};
    sys.imagesById = {{10, "C:\\Windows\\explorer.exe"},
                      {20, "C:\\Old\\editor.exe"},
                      {30, "C:\\Program Files\\Editor\\editor.exe"},
                      {40, "C:\\Other\\game.exe"}};
    ProgramsInUse inUse(sys);
    EXPECT_TRUE(inUse.IsFileInUse("C:\\PROGRA~1\\Editor\\editor.exe"));
    EXPECT_TRUE(inUse.IsFileInUse("C:\\Program Files\\Editor\\editor.exe"));
    EXPECT_FALSE(inUse.IsFileInUse("C:\\Tools\\game.exe"));  // another file of that name runs
    EXPECT_FALSE(inUse.IsFileInUse("C:\\Tools\\idle.exe"));
    EXPECT_EQ(sys.imageQueries, (std::vector<std::uint32_t>{20, 30, 40}));
    EXPECT_EQ(sys.listings, 1);
    EXPECT_TRUE(sys.exclusiveOpens.empty());
}

}  // namespace
}  // namespace vesko
