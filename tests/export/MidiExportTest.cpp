// One pass of playback written as a MIDI file, read back and checked event by
// event against what the recording asks for, worked out by hand.
#include "soundfiles/ExportTestSupport.h"

#include "export/RecordingExport.h"
#include "soundfiles/ExportSettings.h"
#include "soundfiles/PlaybackPass.h"
#include "model/DataFileLoader.h"
#include "sound/Instruments.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <map>

using namespace cellsonify;
using namespace exporttest;

namespace {

const SmfEvent kTempo{0, {0xFF, 0x51, 3, 0x0F, 0x42, 0x40}};

SmfEvent at(int64_t ms, std::vector<int> bytes) { return {ms, std::move(bytes)}; }

std::vector<SmfEvent> midiEventsOf(const std::string& dataText, const ExportSettings& settings) {
    testfiles::TempDir dir;
    const CellModel model = LoadDataFile(dir.write("rec.txt", dataText).string());
    const Smf parsed = parseSmf(exportMidiBytes(model, settings));
    EXPECT_EQ(parsed.runningStatusEvents, 0) << "one note per cell is written as files always were";
    EXPECT_EQ(parsed.format, 0);
    EXPECT_EQ(parsed.tracks, 1);
    EXPECT_EQ(parsed.division, 1000);
    return parsed.events;
}

ExportSettings settings(int intervalMs, int32_t program) {
    ExportSettings s;
    s.pass.setSpeedText(std::to_string(intervalMs));
    s.pass.instrument = findInstrument(program);
    return s;
}

}  // namespace

TEST(MidiExport, ThreeCellsFourFramesEventByEvent) {
    // Three cells: notes floor((127 - 3) / 2 + c) = 63, 64, 65. Frame count 4,
    // so the fourth tick passes the last frame (4 > 4 - 1) and sounds its
    // cells at velocity 0. Celesta is program 9; at 60 ms a tick, tick k
    // falls at k x 60 ms = k x 60 ticks.
    const std::string text = dataFileText(4, {{1, 3}, {2}, {1, 4}});
    EXPECT_EQ(midiEventsOf(text, settings(60, 9)),
              (std::vector<SmfEvent>{kTempo,
                                     at(0, {0xC0, 9}),
                                     at(60, {0x90, 63, 127}),
                                     at(60, {0x90, 65, 127}),
                                     at(120, {0x90, 64, 127}),
                                     at(180, {0x90, 63, 127}),
                                     at(240, {0x90, 65, 0}),
                                     at(240, {0xFF, 0x2F, 0})}));
}

TEST(MidiExport, StrengthModeSendsEachEventsStrengthAsItsVelocity) {
    // The recording above with a peak z per event (cell 1: frames 1, 3; cell
    // 2: frame 2; cell 3: frames 1, 4) at K = 3; velocity
    // round(40 + 87 x min(1, (z - 3) / 6)): z 3 -> 40, 6 -> 83.5 -> 84,
    // 9 -> 127, 4.5 -> 61.75 -> 62; frame 4 ends the pass at velocity 0.
    testfiles::TempDir dir;
    CellModel model = LoadDataFile(dir.write("rec.txt", dataFileText(4, {{1, 3}, {2}, {1, 4}})).string());
    const CellModel plain = model;
    model.Strength = {{3.0f, 6.0f, 9.0f, 4.5f, 12.0f}, 3};
    ExportSettings strength = settings(60, 9);
    strength.pass.velocity = VelocityMode::Strength;
    EXPECT_EQ(parseSmf(exportMidiBytes(model, strength)).events,
              (std::vector<SmfEvent>{kTempo,
                                     at(0, {0xC0, 9}),
                                     at(60, {0x90, 63, 40}),
                                     at(60, {0x90, 65, 62}),
                                     at(120, {0x90, 64, 127}),
                                     at(180, {0x90, 63, 84}),
                                     at(240, {0x90, 65, 0}),
                                     at(240, {0xFF, 0x2F, 0})}));
    // Fixed mode ignores the strengths; a data file has none and stays at 127.
    EXPECT_EQ(exportMidiBytes(model, settings(60, 9)), exportMidiBytes(plain, settings(60, 9)));
    EXPECT_EQ(exportMidiBytes(plain, strength), exportMidiBytes(plain, settings(60, 9)));
}

TEST(MidiExport, EdgesOfThePass) {
    // No frames: the one tick passes the end at once, so frame 1 sounds silent.
    EXPECT_EQ(midiEventsOf(dataFileText(0, {{1}, {2}}), settings(50, 0)),
              (std::vector<SmfEvent>{kTempo, at(0, {0xC0, 0}), at(50, {0x90, 63, 0}), at(50, {0xFF, 0x2F, 0})}));
    // Frames past the declared count are never reached, and a frame without
    // cells is a tick without notes: the end still falls at 3 x 100 ms.
    EXPECT_EQ(midiEventsOf(dataFileText(3, {{2, 7}}), settings(100, 112)),
              (std::vector<SmfEvent>{kTempo, at(0, {0xC0, 112}), at(200, {0x90, 64, 127}), at(300, {0xFF, 0x2F, 0})}));
}

TEST(MidiExport, CellsBeyondTheKeyboardAreLeftOut) {
    // 130 cells: notes floor(-1.5 + c), so cell 1 would be -1 and cell 130
    // would be 128; cells 2..129 give 0..127 in that order.
    std::vector<std::vector<int>> everyCellInFrameOne(130, std::vector<int>{1});
    // Every key at once: a note budget that holds them all.
    ExportSettings everyKey = settings(50, 0);
    everyKey.pass.notesPerFrame = 128;
    const std::vector<SmfEvent> events = midiEventsOf(dataFileText(5, everyCellInFrameOne), everyKey);
    std::vector<SmfEvent> expected{kTempo, at(0, {0xC0, 0})};
    for (int note = 0; note <= 127; ++note) expected.push_back(at(50, {0x90, note, 127}));
    expected.push_back(at(250, {0xFF, 0x2F, 0}));
    EXPECT_EQ(events, expected);
}

TEST(MidiExport, SpeedInstrumentAndNameAreReadAsTheWindowReadsThem) {
    // Play rounds the speed half to even: "60.5" ticks every 60 ms, "61.5" every 62.
    // The trail divides the exact text: floor(300 / 60.5) = 4, not 300 / 60 = 5.
    const auto pass = [](const char* speed) {
        PassSettings p;
        p.setSpeedText(speed);
        EXPECT_EQ(p.speedText, speed);
        return p;
    };
    EXPECT_EQ(pass("60.5").intervalMs, 60);
    EXPECT_EQ(pass("60.5").trail, 4);
    EXPECT_EQ(pass(" 61.5 ").intervalMs, 62);
    EXPECT_EQ(pass("2147483647").intervalMs, 2147483647);
    EXPECT_NO_THROW(refuseSpeedThatNeverPlays(pass("1")));
    EXPECT_EQ(pass("50"), PassSettings{}) << "the defaults are what the default speed gives";
    for (const char* never : {"0", "0.4", "-3", "abc", "", "1e10", "2147483648", "5,5"}) {
        EXPECT_EQ(pass(never).intervalMs, 0) << never;
        EXPECT_THROW(refuseSpeedThatNeverPlays(pass(never)), ExportError) << never;
    }

    EXPECT_EQ(exportInstrumentOf("celesta").program, 9);
    EXPECT_EQ(exportInstrumentOf("MUSIC BOX").program, 11);
    EXPECT_EQ(exportInstrumentOf("96").program, 96);
    for (const char* unknown : {"Banjo", "5", ""}) EXPECT_THROW(exportInstrumentOf(unknown), ExportError) << unknown;
}

TEST(MidiExport, GapsTooLongForADeltaTimeAreRefused) {
    // Four empty frames at the longest interval put about 8.6e9 ms between the
    // program change and the last tick, beyond the 28-bit delta of a MIDI file.
    testfiles::TempDir dir;
    const CellModel model = LoadDataFile(dir.write("rec.txt", dataFileText(4, {{}})).string());
    ExportSettings slow;
    slow.pass.setSpeedText("2147483647");
    EXPECT_THROW(exportMidiBytes(model, slow), ExportError);
}

TEST(MidiExport, MergedNotesAreWrittenCompactlyAndReadBackAsSent) {
    // 60 cells in pairs at 15 heights, each pair at the left and at the
    // right edge: the position mapping plays each side on a channel of its
    // own, the two cells of a pair on one key, so frames merge. Notes last
    // 30 ms, so note-offs fall between the frames' note-ons.
    std::string text = "512 512 20 1\n5 0 0 0\n0 0 0 0\n0 0 0 0\n";
    for (int c = 0; c < 60; ++c) {
        text += std::to_string(c + 1) + " " + std::to_string(c % 2 ? 500 : 10) + " " + std::to_string(10 + 30 * (c / 4)) + " 1\n";
        text += c % 3 == 0 ? "1 2 4\n" : "2 3\n";
    }
    testfiles::TempDir dir;
    const CellModel model = LoadDataFile(dir.write("rec.txt", text).string());
    ExportSettings merged = settings(50, 0);
    merged.pass.mapping.mode = PitchMode::Position;
    merged.pass.noteLength = NoteLength{30};
    const PlaybackPass pass = exportPass(model, merged);
    ASSERT_GT(pass.voicing.mergedCells, 0);
    const std::string file = exportMidiBytes(model, merged);
    const Smf parsed = parseSmf(file);
    EXPECT_GT(parsed.runningStatusEvents, static_cast<int>(pass.messages.size()) / 2);
    EXPECT_LT(file.size(), midiFileBytes(pass.messages, pass.lengthMs()).size() * 4 / 5);
    // Each channel's messages, in order and at their times, are those sent,
    // a note-off read as a note-on of velocity 0.
    std::map<int, std::vector<SmfEvent>> sent, read;
    for (const MidiFileEvent& e : pass.messages) {
        const MidiMessage m = e.message;
        const int status = m.kind() == 0x80 ? 0x90 | m.channel() : m.status;
        std::vector<int> bytes{status, m.data1};
        if (m.kind() != 0xC0) bytes.push_back(m.data2);
        sent[m.channel()].push_back(at(e.timeMs, bytes));
    }
    for (const SmfEvent& e : parsed.events)
        if (e.bytes[0] != 0xFF) read[e.bytes[0] & 0x0F].push_back(e);
    EXPECT_EQ(read, sent);
    EXPECT_EQ(read.size(), 8u);  // the setup of every pan channel, the notes on the two sides
}
