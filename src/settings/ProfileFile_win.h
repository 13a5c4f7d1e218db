#pragma once
// Windows bindings of the profile-file seam.
#include <memory>
#include <string>

#include "settings/IniFile.h"
#include "settings/ProfileFile.h"

namespace vesko {

// The settings file through GetPrivateProfileStringW / WritePrivateProfileStringW.
std::unique_ptr<ProfileFile> OpenSystemProfileFile(const std::string& path);
// File access for the portable IniFile with the file in the ANSI code page.
TextFileAccess AnsiFileAccess();

}  // namespace vesko
