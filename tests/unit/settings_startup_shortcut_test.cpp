#include <gtest/gtest.h>

#include <map>

#include "base/Error.h"
#include "settings/StartupShortcut.h"

namespace vesko {
namespace {

// A Startup folder in memory: link file name to its fields.
struct FakeShell : ShellLinks {
    std::string own = "C:\\Tools\\vesko.exe";
    std::map<std::string, ShellLinkFields> links;
    int writes = 0;
    bool failing = false;

    std::string StartupFolder() override { return "C:\\Start"; }
    std::string OwnPath() override { return own; }
    bool FileExists(const std::string& path) override { return links.contains(Name(path)); }
    void WriteLink(const std::string& path, const ShellLinkFields& fields) override {
        if (failing) throw AppError("クラスが登録されていません。");
        ++writes;
        links[Name(path)] = fields;
    }
    std::string ReadArguments(const std::string& path) override { return links.at(Name(path)).arguments; }
    void RemoveFile(const std::string& path) override { links.erase(Name(path)); }

    // File names ignore case; the folder must be the Startup folder.
    static std::string Name(const std::string& path) {
        EXPECT_EQ(path.rfind("C:\\Start\\", 0), 0u) << path;
        std::string name = path.substr(9);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name;
    }
};

TEST(StartupShortcut, LinkNameAndWorkingFolderFromTheOwnPath) {
    struct Case { const char* exe; const char* link; const char* folder; };
    const Case cases[] = {
        {"C:\\Tools\\vesko.exe", "vesko.lnk", "C:\\Tools"},
        {"C:\\Tools\\VESKO.EXE", "VESKO.lnk", "C:\\Tools"},
        {"C:\\vesko.exe", "vesko.lnk", "C:\\"},  // a drive's root keeps its separator
        {"D:\\a.b\\my.tool.exe", "my.tool.lnk", "D:\\a.b"},
        {"D:\\a.b\\noext", "noext.lnk", "D:\\a.b"},
        {"\\\\server\\share\\ツール.exe", "ツール.lnk", "\\\\server\\share"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StartupLinkNameFor(c.exe), c.link) << c.exe;
        EXPECT_EQ(WorkingFolderOf(c.exe), c.folder) << c.exe;
    }
}

TEST(StartupShortcut, OnRewritesTheLinkOffRemovesOnlyOurs) {
    auto owned = std::make_unique<FakeShell>();
    FakeShell& shell = *owned;
    StartupShortcutRules rules(std::move(owned));
    EXPECT_FALSE(rules.IsOn());

    rules.Save(true);
    rules.Save(true);  // every save with the switch on writes again
    EXPECT_EQ(shell.writes, 2);
    ASSERT_TRUE(rules.IsOn());
    const ShellLinkFields& made = shell.links.at("vesko.lnk");
    EXPECT_EQ(made.target, "C:\\Tools\\vesko.exe");
    EXPECT_EQ(made.arguments, "/e");
    EXPECT_EQ(made.workingFolder, "C:\\Tools");

    rules.Save(false);
    EXPECT_FALSE(rules.IsOn());

    // A link of that name with other arguments is the user's own.
    for (const char* arguments : {"", "/E", "/e /h", " /e"}) {
        shell.links["vesko.lnk"] = {"C:\\x.exe", arguments, "C:\\"};
        rules.Save(false);
        EXPECT_TRUE(rules.IsOn()) << '"' << arguments << '"';
    }
}

TEST(StartupShortcut, AnotherExecutableNameMakesALinkTheSwitchDoesNotSee) {
    auto owned = std::make_unique<FakeShell>();
    FakeShell& shell = *owned;
    shell.own = "C:\\Tools\\saver.exe";
    StartupShortcutRules rules(std::move(owned));
    rules.Save(true);
    EXPECT_TRUE(shell.links.contains("saver.lnk"));
    EXPECT_FALSE(rules.IsOn());
    rules.Save(false);  // and switching off leaves it
    EXPECT_TRUE(shell.links.contains("saver.lnk"));

    shell.failing = true;
    EXPECT_THROW(rules.Save(true), AppError);
}

}  // namespace
}  // namespace vesko
