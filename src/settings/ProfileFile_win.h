#pragma once
// Windows bindings of the profile-file seam.
#include <memory>
#include <string>

#include "settings/IniFile.h"
#include "settings/ProfileFile.h"

namespace vesko {

// A profile file through GetPrivateProfileStringW / WritePrivateProfileStringW,
// key by key: the behaviour the settings file's own writes follow.
std::unique_ptr<ProfileFile> OpenSystemProfileFile(const std::string& path);
// "vesko.ini": read through the system's functions, each set of writes put in
// place whole through a temporary file (or, on failure, not at all).
std::unique_ptr<ProfileFile> OpenSettingsFile(const std::string& path);
// File access for the portable IniFile with the file in the ANSI code page.
TextFileAccess AnsiFileAccess();

}  // namespace vesko
