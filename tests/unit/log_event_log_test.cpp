#include <gtest/gtest.h>

#include <map>

#include "base/Trace.h"
#include "log/EventLog.h"
#include "log/LogWriter.h"

namespace vesko {
namespace {

// Files by name, and links by name to the file they point at. Creation
// refuses a name already taken, as CREATE_NEW does; opening a link reaches
// its target.
class FakeLogFs : public LogFileSystem {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> links;
    std::string undeletable;  // a name Remove cannot take away
    bool readFails = false, readOnly = false, writeFails = false, replaceFails = false;

    std::optional<std::string> Read(const std::string& path, bool& ok) override {
        ok = !readFails;
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool IsReadOnly(const std::string&) override { return readOnly; }
    bool WriteNew(const std::string& path, const std::string& bytes) override {
        if (files.count(path) || links.count(path)) return false;
        if (writeFails) {
            files[path] = bytes.substr(0, bytes.size() / 2);  // a torn write
            return false;
        }
        files[path] = bytes;
        return true;
    }
    bool Replace(const std::string& source, const std::string& target) override {
        if (replaceFails) return false;
        files[target] = files[source];
        files.erase(source);
        return true;
    }
    void Remove(const std::string& path) override {
        if (path == undeletable) return;
        files.erase(path);
        links.erase(path);
    }
    std::string ToFileText(const std::string& utf8) override { return utf8; }
};

TEST(EventLog, TimestampDropsTheTimeAtExactMidnight) {
    JapaneseLocaleFormats f;
    EXPECT_EQ(LogLine(EncodeDateTime({2026, 12, 7, 0, 0, 0}), "m", f), "2026/12/07 m");
    EXPECT_EQ(LogLine(EncodeDateTime({2026, 12, 7, 0, 0, 1}), "m", f), "2026/12/07 0:00:01 m");
    EXPECT_EQ(LogLine(EncodeDateTime({2026, 1, 2, 23, 5, 9}), "m", f), "2026/01/02 23:05:09 m");
    // Milliseconds do not make a time part.
    EXPECT_EQ(LogLine(EncodeDateTime({2026, 1, 2, 0, 0, 0, 400}), "m", f), "2026/01/02 m");
}

TEST(EventLog, LinesSplitAtEveryKindOfLineEnd) {
    EXPECT_EQ(SplitLogLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLogLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLogLines("").empty());
}

TEST(EventLog, AppendCreatesNormalisesAndReplacesWhole) {
    FakeLogFs fs;
    AppendLogLine(fs, "Log.txt", "first");
    EXPECT_EQ(fs.files["Log.txt"], "first\r\n");
    fs.files["Log.txt"] = "old1\nold2";  // written by another program
    AppendLogLine(fs, "Log.txt", "new");
    EXPECT_EQ(fs.files["Log.txt"], "old1\r\nold2\r\nnew\r\n");
    EXPECT_EQ(fs.files.count("Log.txt.tmp"), 0u);
}

TEST(EventLog, FailuresRaiseTheirMessagesAndKeepTheOldLog) {
    struct Case {
        const char* name;
        void (*arrange)(FakeLogFs&);
        const char* message;
    };
    const Case cases[] = {
        {"unreadable", [](FakeLogFs& f) { f.readFails = true; }, "ファイル C:\\a\\Log.txt は開けません"},
        {"read-only", [](FakeLogFs& f) { f.readOnly = true; }, "ファイル C:\\a\\Log.txt を作成できません"},
        {"write torn", [](FakeLogFs& f) { f.writeFails = true; }, "ファイル C:\\a\\Log.txt を作成できません"},
        {"replace refused", [](FakeLogFs& f) { f.replaceFails = true; }, "ファイル C:\\a\\Log.txt を作成できません"},
    };
    for (const Case& c : cases) {
        FakeLogFs fs;
        fs.files["C:\\a\\Log.txt"] = "kept\r\n";
        c.arrange(fs);
        try {
            AppendLogLine(fs, "C:\\a\\Log.txt", "line");
            ADD_FAILURE() << c.name << ": no error";
        } catch (const AppError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.name;
        }
        EXPECT_EQ(fs.files["C:\\a\\Log.txt"], "kept\r\n") << c.name;
        EXPECT_EQ(fs.files.count("C:\\a\\Log.txt.tmp"), 0u) << c.name << ": temporary file left behind";
    }
}

// What a crash left, or someone planted, under the temporary file's name is
// taken away first; what cannot be is never written through.
TEST(EventLog, TheTemporaryFileIsCreatedNewNeverThroughALink) {
    struct Case {
        const char* name;
        void (*arrange)(FakeLogFs&);
        bool written;
    };
    const Case cases[] = {
        {"stale file", [](FakeLogFs& f) { f.files["Log.txt.tmp"] = "half"; }, true},
        {"planted link", [](FakeLogFs& f) { f.links["Log.txt.tmp"] = "C:\\victim.ini"; }, true},
        {"undeletable link",
         [](FakeLogFs& f) {
             f.links["Log.txt.tmp"] = "C:\\victim.ini";
             f.undeletable = "Log.txt.tmp";
         },
         false},
    };
    for (const Case& c : cases) {
        FakeLogFs fs;
        fs.files["Log.txt"] = "kept\r\n";
        c.arrange(fs);
        if (c.written) {
            EXPECT_NO_THROW(AppendLogLine(fs, "Log.txt", "line")) << c.name;
            EXPECT_EQ(fs.files["Log.txt"], "kept\r\nline\r\n") << c.name;
            EXPECT_FALSE(fs.files.count("Log.txt.tmp") || fs.links.count("Log.txt.tmp")) << c.name;
        } else {
            EXPECT_THROW(AppendLogLine(fs, "Log.txt", "line"), FileCreateError) << c.name;
            EXPECT_EQ(fs.files["Log.txt"], "kept\r\n") << c.name;
        }
    }
}

// A line the log refuses is dropped with one trace line; a written one leaves none.
TEST(EventLog, ARefusedLineIsDroppedAndTraced) {
    struct Writer : LogWriter {
        std::vector<std::string> lines;
        void WriteLog(const std::string& message, DateTime) override {
            if (message == "refused") throw FileCreateError("Log.txt");
            lines.push_back(message);
        }
    } log;
    static std::vector<std::string> traced;
    SetTraceSink([](const std::string& line) { traced.push_back(line); });
    WriteLogQuietly(log, "kept", DateTime{});
    WriteLogQuietly(log, "refused", DateTime{});
    SetTraceSink(nullptr);
    EXPECT_EQ(log.lines, std::vector<std::string>{"kept"});
    EXPECT_EQ(traced, std::vector<std::string>{"vesko: event log: ファイル Log.txt を作成できません\n"});
}

TEST(EventLog, StartMessageFromTheSwitches) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"vesko.exe"}, "ケルダン!を起動しました"},
        {{"vesko.exe", "/E"}, "ケルダン!を起動しました"},
        {{"vesko.exe", "/h"}, "引数\"/h\"でケルダン!を起動しました"},
        {{"vesko.exe", "/e"}, "Windowsが起動し引数\"/e\"でケルダン!を起動しました"},
        {{"vesko.exe", "/h", "/e"}, "Windowsが起動し引数\"/h\"\"/e\"でケルダン!を起動しました"},
        {{"vesko.exe", "/c", "x", "/c"}, "引数\"/c\"\"/c\"でケルダン!を起動しました"},
    };
    for (const Case& c : cases) EXPECT_EQ(StartLogMessage(c.args), c.message);
}

}  // namespace
}  // namespace vesko
