#pragma once
// The "start with Windows" switch: its state is the presence of "vesko.lnk" in
// the user's Startup folder, not a key of the settings file.
#include <memory>
#include <optional>
#include <string>

namespace vesko {

class StartupShortcut {
public:
    virtual ~StartupShortcut() = default;
    // True when the user's Startup folder holds "vesko.lnk".
    virtual bool IsOn() = 0;
    // Creates (on) or removes (off) the link; raises AppError on failure.
    virtual void Save(bool on) = 0;
};

std::unique_ptr<StartupShortcut> OpenStartupShortcut();

// ---- The rules, apart from the shell ----------------------------------------

// The link looked for and removed, and the switch the links carry.
inline constexpr const char* kStartupLinkName = "vesko.lnk";
inline constexpr const char* kStartupLinkArguments = "/e";

// The link the program makes: the executable's file name with its extension
// replaced by ".lnk" (added when it has none).
std::string StartupLinkNameFor(const std::string& exePath);
// The executable's folder without a trailing separator; a drive's root keeps it.
std::string WorkingFolderOf(const std::string& exePath);

struct ShellLinkFields {
    std::string target, arguments, workingFolder;
};

// What the rules need of the shell; paths are UTF-8. Each call raises AppError
// with the system's description when the shell fails.
class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    virtual std::string StartupFolder() = 0;  // without a trailing separator
    virtual std::string OwnPath() = 0;        // the running executable
    virtual bool FileExists(const std::string& path) = 0;
    virtual void WriteLink(const std::string& path, const ShellLinkFields& fields) = 0;
    virtual std::string ReadArguments(const std::string& path) = 0;
    virtual void RemoveFile(const std::string& path) = 0;  // a failure is not reported
};

// The switch as the rules say: on writes (or rewrites) the link named after
// the executable; off removes "vesko.lnk" only when its arguments are
// exactly "/e", so a link the user made with other arguments stays.
class StartupShortcutRules : public StartupShortcut {
public:
    explicit StartupShortcutRules(std::unique_ptr<ShellLinks> shell) : shell_(std::move(shell)) {}
    bool IsOn() override;
    void Save(bool on) override;

private:
    std::unique_ptr<ShellLinks> shell_;
};

}  // namespace vesko
