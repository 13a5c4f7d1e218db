#pragma once
// The "start with Windows" switch: its state is the presence of the link
// named after the executable ("vesko.lnk" for vesko.exe) in the user's
// Startup folder, not a key of the settings file.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vesko {

class StartupShortcut {
public:
    virtual ~StartupShortcut() = default;
    // True when the user's Startup folder holds a link to this executable;
    // raises AppError when that cannot be learnt.
    virtual bool IsOn() = 0;
    // Creates (on) or removes (off) the link; raises AppError on failure.
    virtual void Save(bool on) = 0;
};

std::unique_ptr<StartupShortcut> OpenStartupShortcut();

// ---- The rules, apart from the shell ----------------------------------------

// The name every earlier version looked for, and the switch the links carry.
inline constexpr const char* kStartupLinkName = "vesko.lnk";
inline constexpr const char* kStartupLinkArguments = "/e";

// The link the program makes: the executable's file name with its extension
// replaced by ".lnk" (added when it has none).
std::string StartupLinkNameFor(const std::string& exePath);
// The executable's folder without a trailing separator; a drive's root keeps it.
std::string WorkingFolderOf(const std::string& exePath);

struct ShellLinkFields {
    std::string target, arguments, workingFolder;
    bool operator==(const ShellLinkFields&) const = default;
};

// What the rules need of the shell; paths are UTF-8. Each call raises AppError
// with the system's description when the shell fails: a link whose state
// cannot be learnt is never taken for an absent one.
class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    virtual std::string StartupFolder() = 0;  // without a trailing separator
    virtual std::string OwnPath() = 0;        // the running executable
    // False only when the file is not there.
    virtual bool FileExists(const std::string& path) = 0;
    virtual void WriteLink(const std::string& path, const ShellLinkFields& fields) = 0;
    // Nothing when the file is no shell link at all (a folder, another kind
    // of file); raises when a link cannot be opened or read.
    virtual std::optional<ShellLinkFields> ReadLink(const std::string& path) = 0;
    // A file that is gone already counts as removed.
    virtual void RemoveFile(const std::string& path) = 0;
    // The system's description of an error code.
    virtual std::string ErrorText(std::uint32_t code) = 0;
};

// ERROR_FILE_EXISTS: the link's name is taken by another program's link.
inline constexpr std::uint32_t kLinkNameTaken = 80;

// The switch as the rules say. Reading, writing and removing use one name,
// the executable's (StartupLinkNameFor), and touch a link only when it
// starts this executable: a link of that name to another copy or program is
// left alone (on raises kLinkNameTaken's message). Off removes our link only
// when its arguments are exactly "/e", so a link the user made with other
// arguments stays. A "vesko.lnk" to this executable, as earlier versions
// wrote it whatever the executable's name, counts too and goes when ours is
// written or the switch goes off. A link that cannot be read, written or
// removed raises: the switch never claims a state it could not see.
class StartupShortcutRules : public StartupShortcut {
public:
    explicit StartupShortcutRules(std::unique_ptr<ShellLinks> shell) : shell_(std::move(shell)) {}
    bool IsOn() override;
    void Save(bool on) override;

private:
    // The fields of the link at path when it starts this executable.
    std::optional<ShellLinkFields> OurLink(const std::string& path, const std::string& own);
    std::unique_ptr<ShellLinks> shell_;
};

}  // namespace vesko
