#include "EveryCellStepper.h"
#include "PlaybackTestHost.h"

#include "playback/PlaybackSteps.h"
#include "drawing/KeyGeometry.h"

#include <gtest/gtest.h>

#include <random>

using namespace cellsonify;
using namespace playbacktest;
using Op = RecordingCanvas::Op;
using Call = RecordingCanvas::Call;

namespace {

// A random recording: up to 300 cells (so notes fall outside 0..127), random
// density, sometimes a table with more cells than the model plays.
CellModel randomModel(std::mt19937& rng) {
    std::uniform_int_distribution<int> cellsDist(0, 300);
    const int tableCells = cellsDist(rng);
    const int frames = std::uniform_int_distribution<int>(0, 60)(rng);
    const double density = std::uniform_real_distribution<double>(0.0, 0.5)(rng);
    std::bernoulli_distribution on(density);
    std::uniform_real_distribution<double> unit(0.0, 1.0);

    CellModel model;
    ActivityBuilder builder;
    for (int c = 1; c <= tableCells; ++c) {
        builder.beginCell(static_cast<int16_t>(1 + c % 7));
        for (int f = 1; f <= frames + 3; ++f)  // a few frames past the declared count too
            if (on(rng)) builder.addFrame(f);
        model.CellPos.push_back({unit(rng), unit(rng)});
    }
    model.Activity = builder.finish();
    const bool fewerPlayed = tableCells > 0 && std::bernoulli_distribution(0.2)(rng);
    model.CellCount = static_cast<int32_t>(fewerPlayed ? tableCells / 2 : tableCells);
    model.FrameCount = frames;
    return model;
}

// Start positions: whole frames, seeks to fractions and halves, near zero and
// below (so the trail end or the current position rounds to frame 0).
double randomStart(std::mt19937& rng, int frameCount) {
    switch (std::uniform_int_distribution<int>(0, 4)(rng)) {
    case 0: return std::uniform_int_distribution<int>(0, frameCount + 2)(rng);
    case 1: return std::uniform_int_distribution<int>(0, frameCount + 2)(rng) + 0.5;
    case 2: return std::uniform_real_distribution<double>(-1.5, frameCount + 2.0)(rng);
    case 3: return std::uniform_real_distribution<double>(-1.0, 16.0)(rng);
    default: return std::uniform_int_distribution<int>(-2, 16)(rng) - 0.5;
    }
}

// The map's calls reduced to what shows: each dot with the colours it was drawn
// in, then the colours left set. Colour writes between dots are invisible.
struct MapResult {
    std::vector<Call> dots;
    int fill, fore;
    bool operator==(const MapResult&) const = default;
};
MapResult visible(const RecordingCanvas& map) {
    MapResult r{{}, map.fillColour, map.foreColour};
    for (const Call& c : map.calls)
        if (c.op == Op::Circle) r.dots.push_back(c);
        else if (c.op != Op::FillColour && c.op != Op::ForeColour) ADD_FAILURE() << "unexpected call on the map";
    return r;
}

void expectSameTick(const TestHost& fast, const TestHost& reference, const std::string& where) {
    EXPECT_EQ(fast.rasterCanvas.calls, reference.rasterCanvas.calls) << where;
    EXPECT_EQ(fast.keyCanvas.calls, reference.keyCanvas.calls) << where;
    EXPECT_EQ(visible(fast.mapCanvas), visible(reference.mapCanvas)) << where;
    EXPECT_EQ(fast.notes, reference.notes) << where;
    EXPECT_EQ(fast.events, reference.events) << where;
}

}  // namespace

TEST(StepFrameEquivalence, MatchesTheWalkOverEveryCellOnRandomRecordings) {
    const char* speeds[] = {"50", "1", "10", "20", "25", "60.4", "100", "301", "0.4", "1.5", "-3", "abc", "1e10"};
    std::mt19937 rng(20240611);
    const KeyRect keys = filledKeys();
    long long paintedTicks = 0;
    for (int round = 0; round < 300; ++round) {
        CellModel fastModel = randomModel(rng);
        CellModel referenceModel = fastModel;
        const double start = randomStart(rng, fastModel.FrameCount);
        fastModel.CurrentFrame = referenceModel.CurrentFrame = start;
        TestHost fast, reference;
        fast.speed = reference.speed = speeds[std::uniform_int_distribution<std::size_t>(0, std::size(speeds) - 1)(rng)];
        fast.interval = reference.interval = 9;

        // Run on past the end so the restart and the frames after it are covered.
        for (int tick = 0; tick < 25; ++tick) {
            fast.forget();
            reference.forget();
            stepRows(fastModel, keys, fast);
            StepFrameEveryCell(referenceModel, keys, reference);
            const std::string where = "round " + std::to_string(round) + " tick " + std::to_string(tick) +
                                      " speed " + fast.speed + " start " + std::to_string(start);
            expectSameTick(fast, reference, where);
            ASSERT_EQ(fastModel.CurrentFrame, referenceModel.CurrentFrame) << where;
            ASSERT_EQ(fast.interval, reference.interval) << where;
            if (!reference.rasterCanvas.calls.empty()) ++paintedTicks;
            if (::testing::Test::HasFailure()) return;
        }
    }
    // The comparison means something only if the ticks actually painted.
    EXPECT_GT(paintedTicks, 2000);
}

TEST(StepFrameEquivalence, WritesFewerMapColoursThanTheWalkButLeavesTheSameDots) {
    // The fast tick writes map colours only where a dot needs them; it must
    // never write more of them than the walk does.
    CellModel model = makeModel(50, 40, {{3, {10, 4}}, {4, {4}}, {7, {10}}, {50, {4, 10}}});
    model.CurrentFrame = 9;
    CellModel same = model;
    TestHost fast, reference;
    stepRows(model, filledKeys(), fast);
    StepFrameEveryCell(same, filledKeys(), reference);
    EXPECT_LT(fast.mapCanvas.calls.size(), reference.mapCanvas.calls.size());
    EXPECT_EQ(visible(fast.mapCanvas), visible(reference.mapCanvas));
}
