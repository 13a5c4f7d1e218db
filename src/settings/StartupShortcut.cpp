#include "settings/StartupShortcut.h"

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

bool StartupShortcutRules::IsOn() {
    return shell_->FileExists(shell_->StartupFolder() + "\\" + kStartupLinkName);
}

void StartupShortcutRules::Save(bool on) {
    const std::string folder = shell_->StartupFolder();
    if (on) {
        const std::string own = shell_->OwnPath();
        shell_->WriteLink(folder + "\\" + StartupLinkNameFor(own), {own, kStartupLinkArguments, WorkingFolderOf(own)});
        return;
    }
    const std::string link = folder + "\\" + kStartupLinkName;
    if (shell_->FileExists(link) && shell_->ReadArguments(link) == kStartupLinkArguments) shell_->RemoveFile(link);
}

}  // namespace vesko
