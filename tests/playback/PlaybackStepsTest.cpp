#include "PlaybackTestHost.h"

#include "playback/PlaybackSteps.h"
#include "playback/Transport.h"
#include "drawing/KeyGeometry.h"
#include "drawing/Palette.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace cellsonify;
using namespace playbacktest;
using Op = RecordingCanvas::Op;
using Call = RecordingCanvas::Call;
using Strings = std::vector<std::string>;

namespace {

// With 127 cells each cell's note is its own number: cell 1 -> note 1 (a white
// key), cell 2 -> note 2 (black), cell 3 -> note 3 (white).
constexpr int kCellsWhereNoteIsCell = 127;

Call box(const KeyRectRow& k, int colour) { return {Op::Box, float(k.left), float(k.top), float(k.right), float(k.bottom), colour}; }
Call dot(int cell, int colour) { return {Op::Circle, float(cell / 1000.0), float(cell / 2000.0), 0.01f, 0, colour, colour}; }

std::vector<Call> circles(const RecordingCanvas& canvas) {
    std::vector<Call> out;
    for (const Call& c : canvas.calls)
        if (c.op == Op::Circle) out.push_back(c);
    return out;
}

}  // namespace

TEST(StepFrame, TrailOfSixAtFiftyRestoresFrameFourWhilePaintingFrameTen) {
    CellModel model = makeModel(kCellsWhereNoteIsCell, 100, {{1, {4, 10}}, {2, {4}}, {3, {10}}, {4, {9, 5}}});
    model.CurrentFrame = 9;
    const KeyRect keys = filledKeys();
    TestHost host;
    host.speed = "50";
    host.interval = 50;

    stepRows(model, keys, host);

    EXPECT_EQ(model.CurrentFrame, 10);
    const float row1 = 126, row2 = 125, row3 = 124;
    EXPECT_EQ(rasterMarks(host.rasterCanvas), (std::vector<RasterMark>{
                                                  {4, row1, kLightBlue}, {10, row1, kLightRed},
                                                  {4, row2, kLightBlue}, {10, row3, kLightRed}}));
    EXPECT_EQ(circles(host.mapCanvas),
              (std::vector<Call>{dot(1, kLightGrey), dot(1, kLightRed), dot(2, kLightGrey), dot(3, kLightRed)}));
    EXPECT_EQ(host.mapCanvas.fillColour, kLightRed);
    EXPECT_EQ(host.mapCanvas.foreColour, kLightRed);
    EXPECT_EQ(host.keyCanvas.calls, (std::vector<Call>{box(keys(1), kWhite), box(keys(1), kLightRed),
                                                       box(keys(2), kBlack), box(keys(3), kLightRed)}));
    EXPECT_EQ(host.events, (Strings{"cursors 10", "note 1", "note 3"}));
    EXPECT_EQ(host.interval, 50);
}

TEST(StepFrame, TrailLengthFollowsTheSpeedText) {
    struct Case {
        const char* speed;
        float restoredAt;  // when painting frame 20
    };
    for (const Case c : {Case{"50", 14}, Case{"0.4", 19}, Case{"301", 19}, Case{"10", 5}, Case{"100", 17},
                         Case{"1e10", 19}, Case{"abc", 19}}) {
        std::vector<int> everyFrame(40);
        std::iota(everyFrame.begin(), everyFrame.end(), 1);
        CellModel model = makeModel(1, 100, {{1, everyFrame}});
        model.CurrentFrame = 19;
        TestHost host;
        host.speed = c.speed;
        stepRows(model, filledKeys(), host);
        EXPECT_EQ(rasterMarks(host.rasterCanvas),
                  (std::vector<RasterMark>{{c.restoredAt, 0, kLightBlue}, {20, 0, kLightRed}}))
            << c.speed;
    }
}

TEST(StepFrame, AfterASeekToAFractionItPaintsAtTheFractionAndReadsTheRoundedFrame) {
    // 13.5 reads frame 14 and the trail end 7.5 reads frame 8 (halves to even);
    // cell 2 sits in the frames a truncating or rounding-up reader would pick.
    CellModel model = makeModel(2, 100, {{1, {8, 14}}, {2, {7, 13}}});
    TestHost host;
    host.speed = "50";
    host.watched = &model;
    Transport transport(host);

    transport.seek(model, 12.5);
    stepRows(model, filledKeys(), host);

    EXPECT_EQ(model.CurrentFrame, 13.5);
    EXPECT_EQ(rasterMarks(host.rasterCanvas), (std::vector<RasterMark>{{7.5f, 1, kLightBlue}, {13.5f, 1, kLightRed}}));
    EXPECT_EQ(host.events, (Strings{"cursors 12.5 at 12.5", "redraw", "cursors 13.5 at 13.5", "note 63"}));
}

TEST(StepFrame, ATrailEndThatRoundsToFrameZeroRestoresEveryCell) {
    // Frame index 0 holds each cell's level, so every cell reads as active there.
    for (const double start : {5.3, 5.5}) {
        CellModel model = makeModel(3, 100, {{2, {6}}});
        model.CurrentFrame = start;
        TestHost host;
        host.speed = "50";
        stepRows(model, filledKeys(), host);
        const float end = static_cast<float>(start + 1 - 6);
        const float now = static_cast<float>(start + 1);
        EXPECT_EQ(rasterMarks(host.rasterCanvas),
                  (std::vector<RasterMark>{{end, 2, kLightBlue}, {end, 1, kLightBlue}, {now, 1, kLightRed}, {end, 0, kLightBlue}}))
            << start;
        EXPECT_EQ(circles(host.mapCanvas).size(), 4u);
        EXPECT_EQ(host.notes, (std::vector<int>{64}));
    }
}

TEST(StepFrame, ATrailEndAtZeroOrBelowRestoresNothing) {
    for (const double start : {5.0, 3.0, -2.0}) {
        CellModel model = makeModel(3, 100, {{2, {6}}});
        model.CurrentFrame = start;
        TestHost host;
        host.speed = "50";
        stepRows(model, filledKeys(), host);
        for (const RasterMark& m : rasterMarks(host.rasterCanvas)) EXPECT_NE(m.colour, kLightBlue) << start;
    }
}

TEST(StepFrame, APositionThatRoundsToFrameZeroLightsEveryCell) {
    CellModel model = makeModel(3, 100, {});
    TestHost host;
    host.speed = "50";
    Transport(host).seek(model, -0.7);
    host.forget();
    stepRows(model, filledKeys(), host);
    EXPECT_EQ(rasterMarks(host.rasterCanvas),
              (std::vector<RasterMark>{{0.3f, 2, kLightRed}, {0.3f, 1, kLightRed}, {0.3f, 0, kLightRed}}));
    EXPECT_EQ(host.notes, (std::vector<int>{63, 64, 65}));
}

TEST(StepFrame, CellsOfOneFrameArePaintedAndSoundedLowestFirst) {
    CellModel model = makeModel(kCellsWhereNoteIsCell, 100, {{5, {3}}, {2, {3}}, {4, {2}}});
    model.CurrentFrame = 2;
    const KeyRect keys = filledKeys();
    TestHost host;
    stepRows(model, keys, host);
    EXPECT_EQ(rasterMarks(host.rasterCanvas), (std::vector<RasterMark>{{3, 125, kLightRed}, {3, 122, kLightRed}}));
    EXPECT_EQ(circles(host.mapCanvas), (std::vector<Call>{dot(2, kLightRed), dot(5, kLightRed)}));
    EXPECT_EQ(host.keyCanvas.calls, (std::vector<Call>{box(keys(2), kLightRed), box(keys(5), kLightRed)}));
    EXPECT_EQ(host.notes, (std::vector<int>{2, 5}));
}

TEST(StepFrame, CellsWhoseNoteIsOutsideTheMidiRangeAreDrawnButNotKeyedOrSounded) {
    // 200 cells: note = cell - 37, so cells 37..164 sound notes 0..127.
    CellModel model = makeModel(200, 100, {});
    {
        ActivityBuilder b;
        for (int c = 1; c <= 200; ++c) {
            b.beginCell(1);
            b.addFrame(1);
        }
        model.Activity = b.finish();
    }
    const KeyRect keys = filledKeys();
    TestHost host;
    stepRows(model, keys, host);

    EXPECT_EQ(rasterMarks(host.rasterCanvas).size(), 200u);
    EXPECT_EQ(circles(host.mapCanvas).size(), 200u);
    std::vector<int> expectedNotes(128);
    std::iota(expectedNotes.begin(), expectedNotes.end(), 0);
    EXPECT_EQ(host.notes, expectedNotes);
    std::vector<Call> expectedBoxes;
    for (int q = 0; q <= 127; ++q) expectedBoxes.push_back(box(keys(q), kLightRed));
    EXPECT_EQ(host.keyCanvas.calls, expectedBoxes);
}

TEST(StepFrame, TheMapEndsInLightRedEvenWhenNothingIsPainted) {
    CellModel model = makeModel(4, 100, {{1, {50}}});
    model.CurrentFrame = 20;
    TestHost host;
    host.mapCanvas.setFillColour(3);
    host.mapCanvas.setForeColour(5);
    stepRows(model, filledKeys(), host);
    EXPECT_TRUE(host.mapCanvas.drawings().empty());
    EXPECT_EQ(host.mapCanvas.fillColour, kLightRed);
    EXPECT_EQ(host.mapCanvas.foreColour, kLightRed);
    EXPECT_TRUE(host.rasterCanvas.calls.empty());
    EXPECT_TRUE(host.keyCanvas.calls.empty());
}

TEST(StepFrame, TheTickThatReachesTheFrameCountStopsAndRestarts) {
    CellModel model = makeModel(1, 5, {{1, {4, 5}}});
    model.CurrentFrame = 3;
    TestHost host;
    host.speed = "20";
    host.interval = 20;
    host.watched = &model;
    const KeyRect keys = filledKeys();

    stepRows(model, keys, host);  // frame 4 = FrameCount - 1: still playing
    EXPECT_EQ(host.events, (Strings{"cursors 4 at 4", "note 64"}));
    host.forget();

    stepRows(model, keys, host);  // frame 5 is painted, then the run ends
    EXPECT_EQ(rasterMarks(host.rasterCanvas), (std::vector<RasterMark>{{5, 0, kLightRed}}));
    EXPECT_EQ(host.events, (Strings{"cursors 5 at 5", "note 64", "interval 0", "keyboard", "redraw", "cursors 0 at 0",
                                    "interval 20"}));
    EXPECT_EQ(model.CurrentFrame, 0);
    EXPECT_EQ(host.interval, 20);
}

TEST(StepFrame, ARestartWithASpeedTheTimerRefusesStaysStopped) {
    CellModel model = makeModel(1, 5, {});
    model.CurrentFrame = 4;
    TestHost host;
    host.speed = "1e10";
    host.interval = 7;
    stepRows(model, filledKeys(), host);
    EXPECT_EQ(host.events, (Strings{"cursors 5", "interval 0", "keyboard", "redraw", "cursors 0"}));
    EXPECT_EQ(host.interval, 0);
}

TEST(StepFrame, WithNoRecordingTheTickMovesTheCursorsDrawsNothingAndRestarts) {
    CellModel model;
    TestHost host;
    host.speed = "50";
    host.interval = 50;
    stepRows(model, filledKeys(), host);
    EXPECT_EQ(host.events, (Strings{"cursors 1", "interval 0", "keyboard", "redraw", "cursors 0", "interval 50"}));
    EXPECT_TRUE(host.rasterCanvas.calls.empty());
    EXPECT_TRUE(host.mapCanvas.calls.empty());
    EXPECT_TRUE(host.keyCanvas.calls.empty());
    EXPECT_EQ(model.CurrentFrame, 0);
}

TEST(RestartPlayback, RedrawsRewindsAndTakesTheIntervalFromTheText) {
    CellModel model = makeModel(2, 10, {});
    model.CurrentFrame = 7.25;
    TestHost host;
    host.watched = &model;
    host.speed = "3.5";
    RestartPlayback(model, host);
    EXPECT_EQ(host.events, (Strings{"keyboard", "redraw", "cursors 0 at 0", "interval 4"}));
}
