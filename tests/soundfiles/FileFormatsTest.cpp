#include "soundfiles/MidiFile.h"
#include "soundfiles/WavFile.h"
#include "sound/MidiOutput.h"

#include <gtest/gtest.h>

using namespace cellsonify;

namespace {
std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}
int16_t sampleAt(const std::string& wav, std::size_t i) {
    return static_cast<int16_t>(static_cast<uint8_t>(wav[44 + 2 * i]) | (static_cast<uint8_t>(wav[45 + 2 * i]) << 8));
}
}  // namespace

TEST(MidiFile, HeaderTempoMessagesAndEndOfTrack) {
    const std::string smf = midiFileBytes({{0, MidiMessage{0xC0, 96, 0}},
                                           {50, MidiMessage{0x90, 60, 127}},
                                           {50, MidiMessage{0x90, 64, 127}},
                                           {300, MidiMessage{0x90, 60, 0}}});
    const std::string track = bytes({0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // tempo
                                     0x00, 0xC0, 96,                             // program, one data byte
                                     0x32, 0x90, 60, 127,                        // +50 ms
                                     0x00, 0x90, 64, 127,                        // same time
                                     0x81, 0x7A, 0x90, 60, 0,                    // +250 ms as two bytes
                                     0x00, 0xFF, 0x2F, 0x00});
    const std::string expected = std::string("MThd") + bytes({0, 0, 0, 6, 0, 0, 0, 1, 0x03, 0xE8}) + "MTrk" +
                                 bytes({0, 0, 0, static_cast<int>(track.size())}) + track;
    EXPECT_EQ(smf, expected);
}

TEST(MidiFile, CompactFilesGroupAnInstantByChannelAndDropRepeatedStatus) {
    const std::string smf = midiFileBytes({{0, MidiMessage{0xC1, 5, 0}},
                                           {0, MidiMessage{0xC0, 5, 0}},
                                           {50, MidiMessage{0x91, 60, 90}},
                                           {50, MidiMessage{0x80, 62, 0}},   // off, velocity 0: a note-on of 0
                                           {50, MidiMessage{0x91, 61, 80}},
                                           {50, MidiMessage{0x90, 64, 100}},
                                           {60, MidiMessage{0x80, 64, 30}},  // a release velocity is kept
                                           {60, MidiMessage{0x81, 60, 0}}},
                                          70, MidiEncoding::Compact);
    const std::string track = bytes({0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,
                                     0x00, 0xC0, 5,              // channel 1 before channel 2 at 0 ms
                                     0x00, 0xC1, 5,
                                     0x32, 0x90, 62, 0,          // channel 1 at 50 ms: the off, then ...
                                     0x00, 64, 100,              // ... a note-on without its status
                                     0x00, 0x91, 60, 90,         // channel 2 in its own order
                                     0x00, 61, 80,
                                     0x0A, 0x80, 64, 30,
                                     0x00, 0x91, 60, 0,
                                     0x0A, 0xFF, 0x2F, 0x00});
    EXPECT_EQ(smf, std::string("MThd") + bytes({0, 0, 0, 6, 0, 0, 0, 1, 0x03, 0xE8}) + "MTrk" +
                       bytes({0, 0, 0, static_cast<int>(track.size())}) + track);
}

TEST(MidiFile, LongGapsUseFourByteDeltasAndTimeMustNotGoBack) {
    const std::string smf = midiFileBytes({{0x0FFFFFFF, MidiMessage{0x90, 1, 1}}});
    EXPECT_NE(smf.find(bytes({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 1, 1})), std::string::npos);
    EXPECT_THROW(midiFileBytes({{10, 0x90}, {5, 0x90}}), std::invalid_argument);
}

TEST(WavFile, SixteenBitPcmClippedNotWrapped) {
    const std::string wav = wavFileBytes({0.0f, 0.5f, -0.5f, 1.7f, -3.0f, 1.0f}, 2, 44100);
    ASSERT_EQ(wav.size(), 44u + 12u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(sampleAt(wav, 0), 0);
    EXPECT_EQ(sampleAt(wav, 1), 16384);
    EXPECT_EQ(sampleAt(wav, 2), -16384);
    EXPECT_EQ(sampleAt(wav, 3), 32767);
    EXPECT_EQ(sampleAt(wav, 4), -32767);
    EXPECT_EQ(sampleAt(wav, 5), 32767);
    // Byte rate = 44100 x 2 channels x 2 bytes.
    EXPECT_EQ(static_cast<uint8_t>(wav[28]) | (static_cast<uint8_t>(wav[29]) << 8) |
                  (static_cast<uint8_t>(wav[30]) << 16),
              176400);
}
