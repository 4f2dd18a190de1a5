// The experiment heard through the pass stepper: percussion at interval
// starts and ends, a tone following a behaviour stream, all let go at the end.
#include "PlaybackTestHost.h"

#include "playback/PassStepper.h"
#include "playback/PitchMapping.h"
#include "playback/VoiceTable.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cellsonify;
using namespace playbacktest;

namespace {

struct Sent {
    int64_t atMs;
    MidiMessage message;
    bool operator==(const Sent&) const = default;
};

// A stepper of `model` ticked by hand, keeping every message it sends.
struct HandStepper {
    explicit HandStepper(const CellModel& model) : voices(voiceTable(model, PitchMapping{})), stepper(model, voices) {}
    PassTick step(int64_t atMs, bool sounding = true) {
        return stepper.step(position, 1, atMs, sounding, [this](int64_t at, const MidiMessage& m) { sent.push_back({at, m}); });
    }
    VoiceTable voices;
    PassStepper stepper;
    std::vector<Sent> sent;
    double position = 0;
};

// Every message of a whole pass of `model` at 10 ms a tick, then sendAll.
std::vector<Sent> pass(const CellModel& model) {
    HandStepper hand(model);
    for (int64_t tick = 1;; ++tick)
        if (hand.step(tick * 10).passedEnd) break;
    hand.stepper.sendAll([&](int64_t at, const MidiMessage& m) { hand.sent.push_back({at, m}); });
    return hand.sent;
}

IntervalTable trials() {
    // Two groups: "left" starts at frames 2 and 5 (ending 3 and 5), "right" at 3 running past the end.
    IntervalTable t{"trials", "side", {"left", "right"}, {{2, 3, true, 0}, {3, 6, false, 1}, {5, 5, true, 0}}};
    return t;
}

}  // namespace

TEST(ContextSounds, IntervalsStrikeTheirGroupsDrumAndEndsStrikeItSofter) {
    CellModel model = makeModel(1, 6, {});
    model.Context.tables.push_back(trials());
    const MidiMessage on36{0x99, 36, kStartVelocity}, off36{0x89, 36, 0}, on38{0x99, 38, kStartVelocity},
        end36{0x99, 36, kEndVelocity}, off38{0x89, 38, 0};
    // Frame 3: the end of the first "left" one (released, struck softly), then the start of "right".
    // Frame 5: a one-frame interval starts only; frame 6 passes the end: all released.
    EXPECT_EQ(pass(model), (std::vector<Sent>{{20, on36}, {30, off36}, {30, end36}, {30, on38}, {50, off36},
                                              {50, on36}, {60, off36}, {60, off38}}));

    model.Context.endsSound = false;
    EXPECT_EQ(pass(model), (std::vector<Sent>{{20, on36}, {30, on38}, {50, off36}, {50, on36}, {60, off36}, {60, off38}}));
    model.Context.intervalsSound = false;
    EXPECT_TRUE(pass(model).empty());
}

TEST(ContextSounds, EndsAreHeardWhateverOrderTheyComeInAndAfterTheContextChanges) {
    // A long "left" interval holds a short "right" one: the ends come in the other order.
    CellModel model = makeModel(1, 7, {});
    model.Context.tables.push_back({"trials", "side", {"left", "right"}, {{2, 6, true, 0}, {3, 4, true, 1}}});
    const MidiMessage on36{0x99, 36, kStartVelocity}, off36{0x89, 36, 0}, on38{0x99, 38, kStartVelocity},
        off38{0x89, 38, 0}, end36{0x99, 36, kEndVelocity}, end38{0x99, 38, kEndVelocity};
    EXPECT_EQ(pass(model), (std::vector<Sent>{{20, on36}, {30, on38}, {40, off38}, {40, end38}, {60, off36},
                                              {60, end36}, {70, off36}, {70, off38}}));

    // The same stepper after its context is replaced by as many intervals, the first ending at frame 5.
    HandStepper hand(model);
    hand.step(10);
    model.Context.tables[0].rows = {{2, 5, true, 0}, {6, 7, true, 0}};
    hand.stepper.contextChanged();
    for (int64_t tick = 2; tick <= 5; ++tick) hand.step(tick * 10);
    EXPECT_EQ(hand.sent, (std::vector<Sent>{{20, on36}, {50, off36}, {50, end36}}));
}

TEST(ContextSounds, GroupsAreCountedAcrossTablesAndBeyondEightShare) {
    RecordingContext context;
    context.tables.push_back(trials());
    IntervalTable stimuli{"stimuli", "", {}, {}};
    for (int g = 0; g < 8; ++g) stimuli.groups.push_back(std::to_string(g));
    context.tables.push_back(stimuli);
    EXPECT_EQ(groupDrum(context, 0, 1), kGroupDrums[1]);
    EXPECT_EQ(groupDrum(context, 1, 0), kGroupDrums[2]);
    EXPECT_EQ(groupDrum(context, 1, 6), kGroupDrums[0]) << "the ninth group overall shares the first drum";
}

TEST(ContextSounds, AStreamBendsItsTonesPitchOrSetsItsExpressionWhereItChanges) {
    CellModel model = makeModel(1, 5, {{1, {2}}});
    BehaviourStream speed;
    speed.name = "speed";
    speed.values = {NAN, 0.0, 4.0, 4.0, 1.0};
    speed.low = 0;
    speed.high = 4;
    speed.sounds = true;
    model.Context.streams.push_back(speed);

    EXPECT_EQ(contextSetupMessages(model.Context),
              (std::vector<MidiMessage>{{0xC8, kToneProgram, 0}, {0xB8, 101, 0}, {0xB8, 100, 0}, {0xB8, 6, 12},
                                        {0xB8, 38, 0}, {0xB8, 101, 127}, {0xB8, 100, 127}, {0xE8, 0, 64},
                                        {0xB8, 11, 127}}));
    // Frame 1 has no value, so the tone starts at frame 2, after the cell's
    // note, bent fully down; frame 3 fully up; frame 4 unchanged; the tick
    // reaching frame 5 passes the end and lets the tone go.
    const MidiMessage cell{0x90, static_cast<uint8_t>(noteOfCell(1, 1)), 127};
    EXPECT_EQ(pass(model), (std::vector<Sent>{{20, cell}, {20, {0xE8, 0, 0}}, {20, {0x98, kToneNote, kToneVelocity}},
                                              {30, {0xE8, 0x7F, 0x7F}}, {50, {0x88, kToneNote, 0}}}));

    model.Context.streams[0].control = ToneControl::Loudness;
    EXPECT_EQ(pass(model), (std::vector<Sent>{{20, cell}, {20, {0xB8, 11, 0}}, {20, {0x98, kToneNote, kToneVelocity}},
                                              {30, {0xB8, 11, 127}}, {50, {0x88, kToneNote, 0}}}));
}

TEST(ContextSounds, SoundTurnedOffMidPassLetsTheToneGoAndAnEmptyContextSendsNothing) {
    CellModel model = makeModel(1, 10, {});
    BehaviourStream level{"level", "", std::vector<double>(10, 1.0), 1.0, 1.0, 0, true, ToneControl::Loudness};
    model.Context.streams.push_back(level);
    HandStepper hand(model);
    hand.step(10);
    hand.step(20, false);
    EXPECT_EQ(hand.sent, (std::vector<Sent>{{10, {0xB8, 11, 64}}, {10, {0x98, kToneNote, kToneVelocity}},
                                       {20, {0x88, kToneNote, 0}}}));
    EXPECT_EQ(pass(makeModel(1, 3, {{1, {1}}})).size(), 1u) << "only the cell's note";
    EXPECT_TRUE(contextSetupMessages(RecordingContext{}).empty());
}
