// The experiment around a recording: NWB intervals and behaviour series, and
// events and behaviour side files, read onto the recording's frames.
#include "import/ContextFiles.h"
#include "import/ImportError.h"
#include "import/Importer.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

using namespace cellsonify;

namespace {

bool mentions(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

const IntervalTable& table(const RecordingContext& c, const std::string& name) {
    for (const IntervalTable& t : c.tables)
        if (t.name == name) return t;
    throw std::runtime_error("no table " + name);
}

const BehaviourStream& stream(const RecordingContext& c, const std::string& name) {
    for (const BehaviourStream& s : c.streams)
        if (s.name == name) return s;
    throw std::runtime_error("no stream " + name);
}

std::string errorOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const ImportError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(NwbContext, ReadsTrialsStimuliAndBehaviourOntoTheFrames) {
    const ImportResult r = importRecording(testfiles::data("context/context-session.nwb").string());
    const RecordingContext& c = r.model.Context;
    ASSERT_EQ(r.model.FrameCount, 40);
    const IntervalTable& trials = table(c, "trials");
    EXPECT_EQ(trials.groupColumn, "condition");
    EXPECT_EQ(trials.groups, (std::vector<std::string>{"go", "nogo"}));
    EXPECT_EQ(trials.rows, (std::vector<ContextInterval>{
                               {6, 9, true, 0}, {11, 16, true, 1}, {21, 26, true, 0}, {31, 40, false, 1}}));
    const IntervalTable& gratings = table(c, "gratings");
    EXPECT_EQ(gratings.groupColumn, "orientation");
    EXPECT_EQ(gratings.rows.size(), 1u) << "the presentation at 9 s comes after the last frame";
    EXPECT_TRUE(mentions(r.source.notes, "gratings: 1 interval starts before the first or after the last frame"));

    // 100 Hz speed of 10 x t: frame f (0.1 s from (f - 1) / 10) averages ten samples.
    const BehaviourStream& speed = stream(c, "running_speed");
    EXPECT_NEAR(speed.at(1), 0.45, 1e-9);
    EXPECT_NEAR(speed.at(40), 39.45, 1e-9);
    EXPECT_NEAR(speed.rate, 100.0, 1e-9);
    EXPECT_TRUE(speed.sounds) << "the first stream drives a tone";
    const BehaviourStream& position = stream(c, "position");
    EXPECT_EQ(position.how, "norm of its 2 columns");
    EXPECT_DOUBLE_EQ(position.at(1), 5.0);
    EXPECT_FALSE(position.sounds);
    EXPECT_EQ(c.clock.frameAt(2.05), 21);
}

TEST(NwbContext, BadRowsAndSeriesAreLeftOutWithAWarningAndTheCellsStillOpen) {
    const ImportResult r = importRecording(testfiles::data("context/context-bad.nwb").string());
    EXPECT_EQ(r.model.CellCount, 3);
    const RecordingContext& c = r.model.Context;
    EXPECT_EQ(table(c, "trials").rows, (std::vector<ContextInterval>{{6, 9, true, 0}, {31, 36, true, 0}}));
    EXPECT_EQ(table(c, "epochs").rows.size(), 2u);
    EXPECT_EQ(c.streams.size(), 1u);
    EXPECT_EQ(c.streams.at(0).name, "wheel");
    const std::vector<std::string>& w = r.source.warnings;
    EXPECT_TRUE(mentions(w, "trials: 1 row has a time that is not a finite number; left out"));
    EXPECT_TRUE(mentions(w, "trials: 1 row stops before it starts; left out"));
    EXPECT_TRUE(mentions(w, "epochs: columns of unequal length (start 3, stop 2)"));
    EXPECT_TRUE(mentions(w, "lick_rate: times go backwards at sample 3"));
    EXPECT_TRUE(mentions(w, "pupil_area: times repeat at sample 3"));
    EXPECT_NE(r.caption.find(" - trials: 1 row stops before it starts"), std::string::npos);
}

TEST(ContextFiles, EventsAndBehaviourSideFilesJoinAnImportOrADataFile) {
    testfiles::TempDir dir;
    CellModel model;
    model.FrameCount = 20;
    model.Context.clock = FrameClock::fromRate(0.0, 10.0, 20);
    const auto events = dir.write("cues.csv", "\xEF\xBB\xBFStart_Time,stop_time,\"stimulus, name\"\r\n"
                                              "# a comment\r\n0.15,0.35,\"tone, high\"\r\n1.0,,noise\r\n");
    const auto frames = dir.write("licks.tsv", "frame\tside\n3\tleft\n3\tright\n");
    const auto wheel = dir.write("wheel.csv", "time,speed,pupil\n0.0,1,\n0.05,3,2\n1.0,5,4\n");
    ContextMessages messages;
    addContextFiles(model, {events.string(), frames.string()}, {wheel.string()}, messages);
    const RecordingContext& c = model.Context;
    EXPECT_EQ(table(c, "cues").groups, (std::vector<std::string>{"tone, high", "noise"}));
    EXPECT_EQ(table(c, "cues").rows, (std::vector<ContextInterval>{{2, 4, true, 0}, {11, 11, true, 1}}));
    EXPECT_EQ(table(c, "licks").rows, (std::vector<ContextInterval>{{3, 3, true, 0}, {3, 3, true, 1}}));
    EXPECT_DOUBLE_EQ(stream(c, "speed").at(1), 2.0);
    EXPECT_DOUBLE_EQ(stream(c, "pupil").at(1), 2.0) << "an empty cell is no sample";
    EXPECT_TRUE(stream(c, "speed").sounds);

    const auto npy = dir.path() / "pupil.npy";
    {
        std::ofstream out(npy, std::ios::binary);
        std::string header = "{'descr': '<f8', 'fortran_order': False, 'shape': (3,), }";
        header.append(118 - header.size(), ' ');
        header += '\n';
        out << "\x93NUMPY\x01" << '\0' << char(header.size()) << '\0' << header;
        const double values[3] = {1.5, 2.5, 3.5};
        out.write(reinterpret_cast<const char*>(values), sizeof values);
    }
    addContextFiles(model, {}, {npy.string()}, messages);
    EXPECT_NEAR(stream(c, "pupil").at(3), 2.0 + 2.0 * 0.15 / 0.95, 1e-12)
        << "the CSV's pupil, first, on the line between its samples at 0.05 and 1 s";
    EXPECT_DOUBLE_EQ(c.streams.back().at(3), 3.5);
    EXPECT_TRUE(mentions(messages.notes, "pupil: 3 values for the recording's 20 frames"));
}

TEST(ContextFiles, WhatCannotBeReadIsToldByLineAndColumnAndChangesNothing) {
    testfiles::TempDir dir;
    CellModel model;
    model.FrameCount = 20;
    ContextMessages messages;
    const auto bad = dir.write("trials.csv", "start_time,stop_time\n1,2\n3,x4\n");
    EXPECT_EQ(errorOf([&] { addContextFiles(model, {bad.string()}, {}, messages); }),
              "trials.csv: line 3, column 2 (stop_time): \"x4\" is not a number");
    const auto ragged = dir.write("run.tsv", "time\tspeed\n1\t2\n3\n");
    EXPECT_EQ(errorOf([&] { addContextFiles(model, {}, {ragged.string()}, messages); }),
              "run.tsv: line 3 has 1 columns but the header 2");
    const auto nameless = dir.write("odd.csv", "when,what\n1,2\n");
    EXPECT_EQ(errorOf([&] { addContextFiles(model, {nameless.string()}, {}, messages); }),
              "odd.csv: line 1 names no start column: start_time (seconds) or frame (1-based)");
    EXPECT_TRUE(model.Context.empty());
    // Seconds without a frame rate: the table is left out with a word, not refused.
    const auto seconds = dir.write("stim.csv", "start_time\n1\n");
    addContextFiles(model, {seconds.string()}, {}, messages);
    EXPECT_TRUE(mentions(messages.warnings, "stim: times are in seconds but the recording's frame times are not known"));
}
