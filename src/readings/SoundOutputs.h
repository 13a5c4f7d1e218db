#pragma once
// Sound another program plays, on any output: the speakers, a headset that
// is the communications default, HDMI, a device a player is bound to. Each
// active render device is asked for its audio sessions, or where it cannot
// list them (Windows Vista has no session list) for its peak meter.
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace vesko {

// One audio session of a device, asked only as far as the answer needs.
class AudioSession {
public:
    virtual ~AudioSession() = default;
    virtual bool Playing() = 0;
    virtual bool OfThisProgram() = 0;
    virtual bool SystemSounds() = 0;
};

// One active render device.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Hands each session to visit until it answers false; false when the
    // device cannot list its sessions.
    virtual bool ForEachSession(const std::function<bool(AudioSession&)>& visit) = 0;
    // The meter's peak now; nothing when it cannot be read.
    virtual std::optional<float> Peak() = 0;
    // The device's lasting name, to follow its meter from tick to tick.
    virtual std::string Id() = 0;
};

// The system's active render devices, listed anew at each call.
class AudioOutputs {
public:
    virtual ~AudioOutputs() = default;
    // Hands each device to visit until it answers false; none when the
    // devices cannot be listed.
    virtual void ForEachActiveOutput(const std::function<bool(AudioOutput&)>& visit) = 0;
};

// A meter has no owner: a short sound such as this program's own warning
// beep must not hold the action back, so a device's meter counts only after
// this many readings in a row above silence.
inline constexpr int kMeterReadings = 3;

class SoundOnOutputs {
public:
    // True when a program other than this one plays on any device: a playing
    // session that is neither this program's nor the system sounds', or a
    // meter above silence for kMeterReadings readings. A device that answers
    // nothing counts as silent; the others are still asked.
    bool Read(AudioOutputs& outputs);
    // Forgets the meters' runs.
    void Reset() { meterRuns_.clear(); }

private:
    std::map<std::string, int> meterRuns_;
};

}  // namespace vesko
