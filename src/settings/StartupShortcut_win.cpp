#include "settings/StartupShortcut.h"

namespace vesko {
namespace {

// Placeholder until the shell-link binding lands: the switch reads off and
// saving changes nothing.
class NoStartupShortcut : public StartupShortcut {
public:
    bool IsOn() override { return false; }
    void Save(bool) override {}
};

}  // namespace

std::unique_ptr<StartupShortcut> OpenStartupShortcut() { return std::make_unique<NoStartupShortcut>(); }

}  // namespace vesko
