#include "readings/SoundOutputs.h"

namespace vesko {
namespace {

// Owner and kind are asked of playing sessions only: most are silent.
bool AnotherProgramPlays(AudioOutput& output, bool& listed) {
    bool playing = false;
    listed = output.ForEachSession([&](AudioSession& session) {
        playing = session.Playing() && !session.OfThisProgram() && !session.SystemSounds();
        return !playing;
    });
    return playing;
}

}  // namespace

bool SoundOnOutputs::Read(AudioOutputs& outputs) {
    bool playing = false;
    std::map<std::string, int> runs;
    outputs.ForEachActiveOutput([&](AudioOutput& output) {
        bool listed = false;
        playing = AnotherProgramPlays(output, listed);
        if (!listed) {
            const std::string id = output.Id();
            const std::optional<float> peak = output.Peak();
            const auto before = meterRuns_.find(id);
            const int run = peak && *peak > 0.0f ? (before == meterRuns_.end() ? 0 : before->second) + 1 : 0;
            runs[id] = run;
            playing = run >= kMeterReadings;
        }
        return !playing;
    });
    if (playing) {
        // The devices after the one that plays were not asked: their runs stand.
        for (const auto& [id, run] : runs) meterRuns_[id] = run;
    } else {
        // Every device was asked: the meters of devices gone go too.
        meterRuns_ = std::move(runs);
    }
    return playing;
}

}  // namespace vesko
