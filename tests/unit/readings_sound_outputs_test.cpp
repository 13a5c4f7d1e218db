#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "readings/SoundOutputs.h"

namespace vesko {
namespace {

struct FakeSession : AudioSession {
    bool playing, own, system;
    FakeSession(bool p, bool o = false, bool s = false) : playing(p), own(o), system(s) {}
    bool Playing() override { return playing; }
    bool OfThisProgram() override { return own; }
    bool SystemSounds() override { return system; }
};

// A device with its sessions, or without a list and with its meter's peak at
// each reading (the last one stays; none: the meter cannot be read).
struct FakeOutput : AudioOutput {
    std::string id;
    std::optional<std::vector<FakeSession>> sessions;
    std::vector<std::optional<float>> peaks;
    std::size_t reading = 0;
    FakeOutput(std::string i, std::vector<FakeSession> s) : id(std::move(i)), sessions(std::move(s)) {}
    FakeOutput(std::string i, std::vector<std::optional<float>> p) : id(std::move(i)), peaks(std::move(p)) {}

    bool ForEachSession(const std::function<bool(AudioSession&)>& visit) override {
        if (sessions)
            for (FakeSession& s : *sessions)
                if (!visit(s)) break;
        return sessions.has_value();
    }
    std::optional<float> Peak() override { return peaks[std::min(reading, peaks.size() - 1)]; }
    std::string Id() override { return id; }
};

struct FakeOutputs : AudioOutputs {
    std::vector<FakeOutput> outputs;
    void ForEachActiveOutput(const std::function<bool(AudioOutput&)>& visit) override {
        for (FakeOutput& o : outputs)
            if (!visit(o)) break;
    }
};

using Peaks = std::vector<std::optional<float>>;

TEST(SoundOnOutputs, EveryDeviceIsAskedAndOnlyAnotherProgramsSoundCounts) {
    const FakeSession idle{false}, other{true}, own{true, true}, system{true, false, true};
    struct Case {
        const char* name;
        std::vector<FakeOutput> outputs;
        std::vector<bool> readings;  // what each reading in a row answers
    };
    const Case cases[] = {
        {"no devices", {}, {false}},
        {"sound on a second device", {{"speakers", {idle}}, {"hdmi", {idle, other}}}, {true}},
        {"this program's own session", {{"speakers", {own}}}, {false}},
        {"the system sounds", {{"speakers", {system, idle}}}, {false}},
        {"no session list: the meter, three readings in a row",
         {{"speakers", {idle}}, {"headset", Peaks{0.2f}}},
         {false, false, true, true}},
        {"the meter's run starts again after silence",
         {{"headset", Peaks{0.2f, 0.2f, 0.0f, 0.2f, 0.2f}}},
         {false, false, false, false, false}},
        {"each meter has a run of its own",
         {{"a", Peaks{0.2f, 0.0f, 0.2f, 0.0f}}, {"b", Peaks{0.0f, 0.2f, 0.0f, 0.2f}}},
         {false, false, false, false}},
        {"a device that answers nothing", {{"broken", Peaks{std::nullopt}}, {"hdmi", {other}}}, {true}},
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

}  // namespace
}  // namespace vesko
