// The messages the window sends, checked byte for byte through a recording output.
#include "sound/Instruments.h"
#include "sound/MidiMessage.h"
#include "sound/NotePlayer.h"
#include "support/RecordingOutput.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>

using namespace cellsonify;

namespace {

using Bytes = std::array<uint8_t, 3>;

RecordingOutput openedRecorder() {
    RecordingOutput out;
    EXPECT_EQ(out.open(), 0);
    return out;
}

}  // namespace

TEST(PlayNote, SendsNoteOnWithFullVelocityUpToTheLastFrame) {
    RecordingOutput out = openedRecorder();
    playNote(out, true, 10.0, 100, 60);
    playNote(out, true, 99.0, 100, 60);  // the last frame itself still plays loud
    playNote(out, true, 98.5, 100, 127);
    playNote(out, true, 0.0, 100, 0);
    ASSERT_EQ(out.messages().size(), 4u);
    EXPECT_EQ(out.bytes(0), (Bytes{0x90, 0x3C, 0x7F}));
    EXPECT_EQ(out.bytes(1), (Bytes{0x90, 0x3C, 0x7F}));
    EXPECT_EQ(out.bytes(2), (Bytes{0x90, 0x7F, 0x7F}));
    EXPECT_EQ(out.bytes(3), (Bytes{0x90, 0x00, 0x7F}));
}

TEST(PlayNote, PastTheLastFrameSendsVelocityZero) {
    RecordingOutput out = openedRecorder();
    playNote(out, true, 100.0, 100, 60);
    playNote(out, true, 99.0001, 100, 72);
    playNote(out, true, 1.0, 1, 60);  // a one-frame recording: frame 0 is the last
    ASSERT_EQ(out.messages().size(), 3u);
    EXPECT_EQ(out.bytes(0), (Bytes{0x90, 0x3C, 0x00}));
    EXPECT_EQ(out.bytes(1), (Bytes{0x90, 0x48, 0x00}));
    EXPECT_EQ(out.bytes(2), (Bytes{0x90, 0x3C, 0x00}));
}

TEST(PlayNote, SoundOffSendsNothing) {
    RecordingOutput out = openedRecorder();
    playNote(out, false, 10.0, 100, 60);
    playNote(out, false, 200.0, 100, 60);
    EXPECT_TRUE(out.messages().empty());
    EXPECT_EQ(out.ignoredCount(), 0) << "nothing should even reach the output";
}

TEST(PlayNote, VelocityRuleAtTheEdges) {
    EXPECT_EQ(noteVelocity(99.0, 100), 127);
    EXPECT_EQ(noteVelocity(99.5, 100), 0);
    EXPECT_EQ(noteVelocity(-1.0, 0), 127) << "an empty recording: last frame is -1";
    EXPECT_EQ(noteVelocity(-0.5, 0), 0);
    // The last frame wraps to INT32_MAX in 32-bit arithmetic.
    EXPECT_EQ(noteVelocity(1e9, std::numeric_limits<int32_t>::min()), 127);
    EXPECT_EQ(noteVelocity(3e9, std::numeric_limits<int32_t>::min()), 0);
}

TEST(Instruments, TableHasTheSevenOptionsAndTheirPrograms) {
    ASSERT_EQ(kInstruments.size(), 7u);
    const std::array<std::pair<const char*, int>, 7> expected{{{"Piano", 0},
                                                               {"Celesta", 9},
                                                               {"Music Box", 11},
                                                               {"Synth Bass", 38},
                                                               {"Ice Rain", 96},
                                                               {"Brightness", 100},
                                                               {"Tinkle Bell", 112}}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(kInstruments[i].caption, expected[i].first);
        EXPECT_EQ(kInstruments[i].program, expected[i].second);
        EXPECT_EQ(kInstruments[i].repaintsViews, std::string(expected[i].first) != "Brightness")
            << expected[i].first;
    }
    EXPECT_EQ(kDefaultInstrument.program, 0);
}

TEST(Instruments, ProgramChangeBytes) {
    RecordingOutput out = openedRecorder();
    for (const char* name : {"Brightness", "Tinkle Bell", "Celesta", "Music Box", "Piano"}) {
        const Instrument* instrument = findInstrument(name);
        ASSERT_NE(instrument, nullptr) << name;
        sendInstrument(out, *instrument);
    }
    ASSERT_EQ(out.messages().size(), 5u);
    EXPECT_EQ(out.bytes(0), (Bytes{0xC0, 0x64, 0x00}));
    EXPECT_EQ(out.bytes(1), (Bytes{0xC0, 0x70, 0x00}));
    EXPECT_EQ(out.bytes(2), (Bytes{0xC0, 0x09, 0x00}));
    EXPECT_EQ(out.bytes(3), (Bytes{0xC0, 0x0B, 0x00}));
    EXPECT_EQ(out.bytes(4), (Bytes{0xC0, 0x00, 0x00}));
    EXPECT_EQ(programChangeMessage(0), (MidiMessage{0xC0, 0, 0})) << "the start-up message";
}

TEST(Instruments, ProgramChangeGoesOutWithSoundOff) {
    RecordingOutput out = openedRecorder();
    const bool soundOn = false;
    playNote(out, soundOn, 1.0, 10, 60);
    sendInstrument(out, *findInstrument("Ice Rain"));
    playNote(out, soundOn, 2.0, 10, 64);
    EXPECT_EQ(out.allBytes(), (std::vector<uint8_t>{0xC0, 96, 0x00}));
}

TEST(Instruments, LookupByCaptionOrProgram) {
    EXPECT_EQ(findInstrument("ice rain"), &kInstruments[4]);
    EXPECT_EQ(findInstrument("TINKLE BELL"), &kInstruments[6]);
    EXPECT_EQ(findInstrument("music-box"), &kInstruments[2]);
    EXPECT_EQ(findInstrument("synth_bass"), &kInstruments[3]);
    EXPECT_EQ(findInstrument("100"), &kInstruments[5]);
    EXPECT_EQ(findInstrument(int32_t{38}), &kInstruments[3]);
    EXPECT_EQ(findInstrument(int32_t{1}), nullptr);
    EXPECT_EQ(findInstrument("1"), nullptr);
    EXPECT_EQ(findInstrument("organ"), nullptr);
    EXPECT_EQ(findInstrument(""), nullptr);
    EXPECT_EQ(findInstrument("96x"), nullptr);
}

TEST(RecordingOutput, DeliversOnlyAfterASuccessfulOpen) {
    RecordingOutput unopened;
    unopened.shortMessage(programChangeMessage(0));
    EXPECT_TRUE(unopened.messages().empty());
    EXPECT_EQ(unopened.ignoredCount(), 1);

    RecordingOutput failing(2);
    EXPECT_EQ(failing.open(), 2);
    EXPECT_EQ(failing.openCount(), 1);
    failing.shortMessage(programChangeMessage(0));
    playNote(failing, true, 0.0, 10, 60);
    EXPECT_TRUE(failing.messages().empty());
    EXPECT_EQ(failing.ignoredCount(), 2);
    EXPECT_NE(failing.lastError().find('2'), std::string::npos);

    RecordingOutput working = openedRecorder();
    EXPECT_TRUE(working.lastError().empty());
    working.shortMessage({0x56, 0x34, 0x12});
    EXPECT_EQ(working.allBytes(), (std::vector<uint8_t>{0x56, 0x34, 0x12}));
    working.clear();
    EXPECT_TRUE(working.messages().empty());
}

TEST(MidiMessage, BytesAndSizeByStatus) {
    const MidiMessage program = programChangeMessage(100);
    EXPECT_EQ(program.bytes(), (Bytes{0xC0, 100, 0}));
    EXPECT_EQ(program.size(), 2u) << "a program change has one data byte";
    const MidiMessage note = noteOnMessage(60, 0);
    EXPECT_EQ(note.bytes(), (Bytes{0x90, 60, 0}));
    EXPECT_EQ(note.size(), 3u);
    EXPECT_EQ((MidiMessage{0x93, 1, 2}.channel()), 3);
    EXPECT_EQ((MidiMessage{0x93, 1, 2}.kind()), 0x90);
    EXPECT_EQ(shortMessageLength(0xD3), 2u);
    EXPECT_EQ(shortMessageLength(0xB0), 3u);
    EXPECT_EQ(shortMessageLength(0xE5), 3u);
    EXPECT_EQ(shortMessageLength(0xF8), 1u);
    EXPECT_EQ(shortMessageLength(0xF2), 3u);
}
