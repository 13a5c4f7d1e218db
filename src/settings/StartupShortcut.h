#pragma once
// The "start with Windows" switch: its state is the presence of "vesko.lnk" in
// the user's Startup folder, not a key of the settings file.
#include <memory>

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

}  // namespace vesko
