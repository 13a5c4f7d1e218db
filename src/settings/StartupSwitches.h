#pragma once
// The command-line switches "/e", "/h", "/v", "/c": exact, case-sensitive
// matches of whole arguments, argument 0 included; their effects add up.
#include <string>
#include <vector>

namespace vesko {

struct StartupSwitches {
    bool hide = false;         // settings window not shown
    bool noTrayIcon = false;   // "/v" or "/c"
    bool lockWarning = false;  // "/c": the warning cannot be aborted
};

StartupSwitches ParseStartupSwitches(const std::vector<std::string>& args);

}  // namespace vesko
