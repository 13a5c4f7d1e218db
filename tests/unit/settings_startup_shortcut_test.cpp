#include <gtest/gtest.h>

#include <functional>
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
    // The shell's failures: vesko.lnk cannot be read, no link can be removed,
    // the folder cannot be looked into.
    enum class Fault { None, Read, Remove, Look } fault = Fault::None;
    static constexpr const char* kFailure = "アクセスが拒否されました。";

    std::string StartupFolder() override { return "C:\\Start"; }
    std::string OwnPath() override { return own; }
    bool FileExists(const std::string& path) override {
        if (fault == Fault::Look) throw AppError(kFailure);
        return links.contains(Name(path));
    }
    void WriteLink(const std::string& path, const ShellLinkFields& fields) override {
        if (failing) throw AppError("クラスが登録されていません。");
        ++writes;
        links[Name(path)] = fields;
    }
    std::optional<ShellLinkFields> ReadLink(const std::string& path) override {
        if (Name(path) == unreadable) return std::nullopt;
        if (fault == Fault::Read && Name(path) == "vesko.lnk") throw AppError(kFailure);
        return links.at(Name(path));
    }
    void RemoveFile(const std::string& path) override {
        if (fault == Fault::Remove) throw AppError(kFailure);
        links.erase(Name(path));
    }
    std::string ErrorText(std::uint32_t code) override { return "error " + std::to_string(code); }
    std::string unreadable;

    // File names ignore case; the folder must be the Startup folder.
    static std::string Name(const std::string& path) {
        EXPECT_EQ(path.rfind("C:\\Start\\", 0), 0u) << path;
        std::string name = path.substr(9);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name;
    }
};

TEST(StartupShortcut, LinkNameAndWorkingFolderFromTheOwnPath) {
    struct Case {
        const char* exe;
        const char* link;
        const char* folder;
    };
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

    // A link to this executable with other arguments is the user's own.
    for (const char* arguments : {"", "/E", "/e /h", " /e"}) {
        shell.links["vesko.lnk"] = {"c:/tools/VESKO.exe", arguments, "C:\\"};
        rules.Save(false);
        EXPECT_TRUE(rules.IsOn()) << '"' << arguments << '"';
    }
}

// One name, the running executable's, and only links that start it.
TEST(StartupShortcut, OnlyOurOwnLinkIsReadRewrittenOrRemoved) {
    const ShellLinkFields other{"D:\\Copy\\vesko.exe", "/e", "D:\\Copy"};
    const ShellLinkFields earlier{"C:\\Tools\\saver.exe", "/e", "C:\\Tools"};
    struct Case {
        const char* name;
        const char* own;
        std::map<std::string, ShellLinkFields> before;
        std::string unreadable;
        bool on;        // the switch as the window shows it
        bool writable;  // on writes the own link
        std::map<std::string, ShellLinkFields> afterOff;
    };
    const Case cases[] = {
        {"another copy's link",
         "C:\\Tools\\vesko.exe",
         {{"vesko.lnk", other}},
         "",
         false,
         false,
         {{"vesko.lnk", other}}},
        {"a file that is no link",
         "C:\\Tools\\vesko.exe",
         {{"vesko.lnk", other}},
         "vesko.lnk",
         false,
         false,
         {{"vesko.lnk", other}}},
        {"renamed: its own link", "C:\\Tools\\saver.exe", {{"saver.lnk", earlier}}, "", true, true, {}},
        {"renamed: vesko.lnk of an earlier version",
         "C:\\Tools\\saver.exe",
         {{"vesko.lnk", earlier}},
         "",
         true,
         true,
         {}},
        {"renamed: vesko.lnk of another copy",
         "C:\\Tools\\saver.exe",
         {{"vesko.lnk", other}},
         "",
         false,
         true,
         {{"vesko.lnk", other}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto owned = std::make_unique<FakeShell>();
        FakeShell& shell = *owned;
        shell.own = c.own;
        shell.links = c.before;
        shell.unreadable = c.unreadable;
        StartupShortcutRules rules(std::move(owned));
        EXPECT_EQ(rules.IsOn(), c.on);
        rules.Save(false);
        EXPECT_EQ(shell.links, c.afterOff);
        EXPECT_FALSE(rules.IsOn());

        shell.links = c.before;
        if (!c.writable) {
            EXPECT_THROW(rules.Save(true), AppError);
            EXPECT_EQ(shell.links, c.before) << "another program's link was overwritten";
            continue;
        }
        rules.Save(true);
        EXPECT_TRUE(rules.IsOn());
        const std::string ownLink = StartupLinkNameFor(c.own);
        ASSERT_TRUE(shell.links.contains(ownLink));
        EXPECT_EQ(shell.links.at(ownLink).target, c.own);
        // An earlier version's vesko.lnk to this copy goes: one start, not two.
        const std::size_t expected =
            (c.before.contains("vesko.lnk") && c.before.at("vesko.lnk").target != c.own) ? 2 : 1;
        EXPECT_EQ(shell.links.size(), expected);
    }

    auto owned = std::make_unique<FakeShell>();
    owned->failing = true;
    StartupShortcutRules rules(std::move(owned));
    EXPECT_THROW(rules.Save(true), AppError);
}

// 'x' when the call raised the shell's own message, else '-'.
char Raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const AppError& e) {
        return std::string(e.what()) == FakeShell::kFailure ? 'x' : '?';
    }
    return '-';
}

// A shell that fails is told as the system says it, never read as "no link";
// the folder keeps what it had, and the switch reads on where it could.
TEST(StartupShortcut, ShellFailuresAreRaisedAndLeaveTheFolderAsItWas) {
    using Fault = FakeShell::Fault;
    struct Case {
        const char* name;
        const char* own;  // vesko.lnk starts it with "/e"
        Fault fault;
        const char* raises;  // IsOn, off, on: 'x' where the call raises
        bool writes;         // on writes the own link before failing
    };
    const char* vesko = "C:\\Tools\\vesko.exe";
    const char* saver = "C:\\Tools\\saver.exe";
    const Case cases[] = {
        {"our link cannot be read", vesko, Fault::Read, "xxx", false},
        {"our link cannot be removed", vesko, Fault::Remove, "-x-", true},
        {"the folder cannot be looked into", vesko, Fault::Look, "xxx", false},
        {"renamed: an earlier vesko.lnk cannot be read", saver, Fault::Read, "xxx", true},
        {"renamed: an earlier vesko.lnk cannot be removed", saver, Fault::Remove, "-xx", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto owned = std::make_unique<FakeShell>();
        FakeShell& shell = *owned;
        shell.own = c.own;
        const std::map<std::string, ShellLinkFields> before{{"vesko.lnk", {c.own, "/e", "C:\\Tools"}}};
        shell.links = before;
        shell.fault = c.fault;
        StartupShortcutRules rules(std::move(owned));
        bool on = false;
        std::string raised{Raised([&] { on = rules.IsOn(); })};
        EXPECT_EQ(on, raised == "-");
        raised += Raised([&] { rules.Save(false); });
        EXPECT_EQ(shell.links, before) << "off reported a link it did not remove";
        raised += Raised([&] { rules.Save(true); });
        EXPECT_EQ(raised, c.raises);
        EXPECT_EQ(shell.writes, c.writes ? 1 : 0);
    }
}

}  // namespace
}  // namespace vesko
