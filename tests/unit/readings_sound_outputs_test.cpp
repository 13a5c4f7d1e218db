#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "readings/SoundOutputs.h"

namespace vesko {
namespace {

struct FakeSession : AudioSession {
    bool playing = false, own = false, system = false;
    FakeSession(bool p, bool o, bool s) : playing(p), own(o), system(s) {}
    bool Playing() override { return playing; }
    bool OfThisProgram() override { return own; }
    bool SystemSounds() override { return system; }
};

// A device: its sessions (none when it cannot list them) and its meter's
// peak at each reading (the last one stays).
struct FakeOutput : AudioOutput {
    std::string id;
    std::optional<std::vector<FakeSession>> sessions;
    std::vector<std::optional<float>> peaks;
    std::size_t reading = 0;
    int asked = 0;

    bool ForEachSession(const std::function<bool(AudioSession&)>& visit) override {
        ++asked;
        if (!sessions) return false;
        for (FakeSession& s : *sessions)
            if (!visit(s)) break;
        return true;
    }
    std::optional<float> Peak() override {
        if (peaks.empty()) return std::nullopt;
        return peaks[std::min(reading, peaks.size() - 1)];
    }
    std::string Id() override { return id; }
};

struct FakeOutputs : AudioOutputs {
    std::vector<FakeOutput> outputs;
    void ForEachActiveOutput(const std::function<bool(AudioOutput&)>& visit) override {
        for (FakeOutput& o : outputs)
            if (!visit(o)) break;
    }
};

FakeOutput Listing(std::string id, std::vector<FakeSession> sessions) {
    FakeOutput o;
    o.id = std::move(id);
    o.sessions = std::move(sessions);
    return o;
}

FakeOutput Meter(std::string id, std::vector<std::optional<float>> peaks) {
    FakeOutput o;
    o.id = std::move(id);
    o.peaks = std::move(peaks);
    return o;
}

TEST(SoundOnOutputs, EveryDeviceIsAskedAndOnlyAnotherProgramsSoundCounts) {
    const FakeSession idle{false, false, false}, other{true, false, false}, own{true, true, false},
        system{true, false, true};
    struct Case {
        const char* name;
        std::vector<FakeOutput> outputs;
        std::vector<bool> readings;  // what each reading in a row answers
    };
    const Case cases[] = {
        {"no devices", {}, {false}},
        {"sound on a second device", {Listing("speakers", {idle}), Listing("hdmi", {idle, other})}, {true}},
        {"this program's own session", {Listing("speakers", {own})}, {false}},
        {"the system sounds", {Listing("speakers", {system, idle})}, {false}},
        {"no session list: the meter, after three readings in a row",
         {Listing("speakers", {idle}), Meter("headset", {0.2f})},
         {false, false, true, true}},
        {"the meter's run starts again after silence",
         {Meter("headset", {0.2f, 0.2f, 0.0f, 0.2f, 0.2f})},
         {false, false, false, false, false}},
        {"each meter has a run of its own",
         {Meter("a", {0.2f, 0.0f, 0.2f, 0.0f}), Meter("b", {0.0f, 0.2f, 0.0f, 0.2f})},
         {false, false, false, false}},
        {"a device that answers nothing", {Meter("broken", {std::nullopt}), Listing("hdmi", {other})}, {true}},
        {"a meter that cannot be read", {Meter("broken", {std::nullopt})}, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOutputs outputs;
        outputs.outputs = c.outputs;
        SoundOnOutputs sound;
        for (std::size_t i = 0; i < c.readings.size(); ++i) {
            for (FakeOutput& o : outputs.outputs) o.reading = i;
            EXPECT_EQ(sound.Read(outputs), c.readings[i]) << "reading " << i + 1;
        }
    }
}

// Asking stops at the first device that plays; a meter's run is kept
// while the devices after it go unasked, and Reset forgets it.
TEST(SoundOnOutputs, AskingStopsAtTheFirstSoundAndMetersKeepTheirRun) {
    FakeOutputs outputs;
    outputs.outputs = {Meter("headset", {0.2f}), Listing("speakers", {{true, false, false}}), Meter("hdmi", {0.2f})};
    SoundOnOutputs sound;
    EXPECT_TRUE(sound.Read(outputs));
    EXPECT_EQ(outputs.outputs[2].asked, 0);
    outputs.outputs[1].sessions->front().playing = false;
    EXPECT_FALSE(sound.Read(outputs));  // headset's second reading, hdmi's first
    EXPECT_TRUE(sound.Read(outputs));   // headset's third
    sound.Reset();
    EXPECT_FALSE(sound.Read(outputs));
}

}  // namespace
}  // namespace vesko
