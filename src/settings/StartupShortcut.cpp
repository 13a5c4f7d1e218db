#include "settings/StartupShortcut.h"

#include "base/Error.h"

namespace vesko {

std::string StartupLinkNameFor(const std::string& exePath) {
    const std::size_t slash = exePath.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? exePath : exePath.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name + ".lnk";
}

std::string WorkingFolderOf(const std::string& exePath) {
    const std::size_t slash = exePath.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    // "C:\vesko.exe" runs from "C:\", not from the drive's current folder "C:".
    if (slash == 2 && exePath[1] == ':') return exePath.substr(0, 3);
    return exePath.substr(0, slash);
}

namespace {

// Windows paths: letters of either case and either separator are the same.
std::string PathKey(const std::string& path) {
    std::string key = path;
    for (char& c : key) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

}  // namespace

std::optional<ShellLinkFields> StartupShortcutRules::OurLink(const std::string& path, const std::string& own) {
    if (!shell_->FileExists(path)) return std::nullopt;
    // A file that is no link is nobody's link of ours; a link that cannot be
    // read raises, since it may well start this program.
    std::optional<ShellLinkFields> fields = shell_->ReadLink(path);
    if (fields && PathKey(fields->target) == PathKey(own)) return fields;
    return std::nullopt;
}

bool StartupShortcutRules::IsOn() {
    const std::string folder = shell_->StartupFolder() + "\\";
    const std::string own = shell_->OwnPath();
    return OurLink(folder + StartupLinkNameFor(own), own) || OurLink(folder + kStartupLinkName, own);
}

void StartupShortcutRules::Save(bool on) {
    const std::string folder = shell_->StartupFolder() + "\\";
    const std::string own = shell_->OwnPath();
    const std::string ours = folder + StartupLinkNameFor(own);
    const std::string earlier = folder + kStartupLinkName;
    const bool twoNames = PathKey(ours) != PathKey(earlier);
    auto removeIfAutomatic = [&](const std::string& link) {
        const auto fields = OurLink(link, own);
        if (fields && fields->arguments == kStartupLinkArguments) shell_->RemoveFile(link);
    };
    if (on) {
        if (shell_->FileExists(ours) && !OurLink(ours, own))
            throw AppError(shell_->ErrorText(kLinkNameTaken), kLinkNameTaken);
        shell_->WriteLink(ours, {own, kStartupLinkArguments, WorkingFolderOf(own)});
        // One link starts the program once.
        if (twoNames) removeIfAutomatic(earlier);
        return;
    }
    removeIfAutomatic(ours);
    if (twoNames) removeIfAutomatic(earlier);
}

}  // namespace vesko
