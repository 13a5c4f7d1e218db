#pragma once
// Other programs asking the machine to stay awake: a film or sound playing, a
// full-screen program or presentation, a program that told Windows it needs
// the system or the display. Windows' own idle sleep obeys these requests;
// a program that forces a sleep itself has to ask for them.
#include <memory>

namespace vesko {

// Which request stands, the most telling first when several do.
enum class KeepAwakeSignal { None, FullScreen, Sound, SystemRequired };

struct KeepAwakeReading {
    bool FullScreen = false;      // a full-screen program, a Direct3D game, presentation mode
    bool Sound = false;           // another program's sound on any output
    bool SystemRequired = false;  // the system, display or away-mode flag of the execution state

    KeepAwakeSignal Standing() const {
        if (FullScreen) return KeepAwakeSignal::FullScreen;
        if (Sound) return KeepAwakeSignal::Sound;
        if (SystemRequired) return KeepAwakeSignal::SystemRequired;
        return KeepAwakeSignal::None;
    }
};

class KeepAwakeProbe {
public:
    virtual ~KeepAwakeProbe() = default;
    // Asks the system now, without waiting; whatever it cannot answer counts
    // as no request. Libraries and objects it needs are made on first use.
    virtual KeepAwakeReading Read() = 0;
    // Gives back every library and object Read made, until it is asked again.
    virtual void Close() = 0;
};

// The system's probe (KeepAwake_win.cpp).
std::unique_ptr<KeepAwakeProbe> CreateKeepAwakeProbe();

}  // namespace vesko
