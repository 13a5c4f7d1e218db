#include "settings/StartupSwitches.h"

namespace vesko {

StartupSwitches ParseStartupSwitches(const std::vector<std::string>& args) {
    StartupSwitches s;
    for (const std::string& a : args) {
        if (a == "/e" || a == "/h") {
            s.hide = true;
        } else if (a == "/v") {
            s.hide = s.noTrayIcon = true;
        } else if (a == "/c") {
            s.hide = s.noTrayIcon = s.lockWarning = true;
        }
    }
    return s;
}

}  // namespace vesko
