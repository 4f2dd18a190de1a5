// Render with the pitch mappings and a fixed note length, read back: every
// cell of a large recording sounds, note-offs fall at their times, and
// position mode pans by X in the rendered audio.
#include "soundfiles/ExportTestSupport.h"

#include "cli/CommandLine.h"
#include "cli/RenderCommand.h"
#include "sound/AudioAnalysis.h"
#include "sound/SoundTestSupport.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

using namespace cellsonify;
using namespace exporttest;

namespace {

struct RenderMapping : ::testing::Test {
    testfiles::TempDir dir;

    std::string render(const std::string& data, const std::string& name, std::vector<std::string> options) {
        const std::string out = (dir.path() / name).string();
        std::vector<std::string> args{data, "-o", out};
        args.insert(args.end(), options.begin(), options.end());
        std::ostringstream said, err;
        EXPECT_EQ(renderCommand(args, said, err, false), 0) << err.str();
        std::ifstream in(out, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

std::vector<SmfEvent> noteEvents(const Smf& smf) {
    std::vector<SmfEvent> notes;
    for (const SmfEvent& e : smf.events)
        if ((e.bytes[0] & 0xE0) == 0x80) notes.push_back(e);  // 0x8n and 0x9n
    return notes;
}

}  // namespace

TEST_F(RenderMapping, ScaleModeSoundsEveryCellOfFiveHundredInRowOrder) {
    std::vector<std::vector<int>> frames;
    for (int cell = 1; cell <= 500; ++cell) frames.push_back({cell});  // cell c alone in frame c
    const std::string data = dir.write("many.txt", dataFileText(502, frames)).string();
    const Smf smf = parseSmf(render(data, "many.mid", {"--pitch", "scale", "--scale", "minor", "--root", "A",
                                                       "--range", "A2:A5"}));
    const std::vector<SmfEvent> notes = noteEvents(smf);
    ASSERT_EQ(notes.size(), 500u);
    std::set<int> used;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(notes[i].tick, 50 * static_cast<int64_t>(i + 1));
        EXPECT_EQ(notes[i].bytes[0], 0x90);
        EXPECT_EQ(notes[i].bytes[2], 127);
        if (i > 0) EXPECT_GE(notes[i].bytes[1], notes[i - 1].bytes[1]) << "cell " << i + 1 << " below the row before";
        used.insert(notes[i].bytes[1]);
    }
    // A natural minor from A2 (45) to A5 (81): three octaves of 7 notes and the top A, all of them used.
    EXPECT_EQ(used.size(), 22u);
    EXPECT_EQ(*used.begin(), 45);
    EXPECT_EQ(*used.rbegin(), 81);
    for (const int note : used) EXPECT_EQ(std::set<int>({1, 4, 6, 9, 11}).count((note - 45) % 12), 0u) << note;
}

TEST_F(RenderMapping, FixedNoteLengthEndsEachNoteOnTimeAndARestruckKeyFirst) {
    // Rows with two cells: cell 1 -> 63, cell 2 -> 64. Cell 1 is struck again
    // at 100 ms, before its note's end at 170.
    const std::string data = dir.write("two.txt", dataFileText(6, {{1, 2}, {1}})).string();
    const Smf smf = parseSmf(render(data, "two.mid", {"--note-length", "120"}));
    EXPECT_EQ(noteEvents(smf), (std::vector<SmfEvent>{{50, {0x90, 63, 127}},
                                                      {50, {0x90, 64, 127}},
                                                      {100, {0x80, 63, 0}},
                                                      {100, {0x90, 63, 127}},
                                                      {170, {0x80, 64, 0}},
                                                      {220, {0x80, 63, 0}}}));
    EXPECT_EQ(smf.events.back(), (SmfEvent{300, {0xFF, 0x2F, 0}}));
}

TEST_F(RenderMapping, PositionModePansTheLeftCellLeftAndTheRightCellRight) {
    const std::string font = soundtest::testSoundFont();
    if (font.empty()) GTEST_SKIP() << "no SoundFont installed";
    soundtest::ScopedEnv useFont("CELLSONIFY_SOUNDFONT", font);
    // Cell 1 sits left of cell 2 (X 10 and 11); it sounds at 0.1 s, cell 2 at 1.1 s.
    const std::string data = dir.write("pan.txt", dataFileText(30, {{1}, {11}})).string();
    const Wav wav = parseWav(render(data, "pan.wav", {"--pitch", "position", "--speed", "100", "--note-length",
                                                      "600", "--tail", "0"}));
    ASSERT_EQ(wav.channels, 2);
    const auto levels = [&](double fromSeconds) {
        std::vector<float> left, right;
        const auto first = static_cast<std::size_t>(fromSeconds * 44100) * 2;
        for (std::size_t i = first; i < first + 2 * 44100 * 8 / 10 && i + 1 < wav.samples.size(); i += 2) {
            left.push_back(wav.samples[i]);
            right.push_back(wav.samples[i + 1]);
        }
        return std::pair{audio::rms(left), audio::rms(right)};
    };
    const auto [firstLeft, firstRight] = levels(0.1);
    const auto [secondLeft, secondRight] = levels(1.1);
    EXPECT_GT(firstLeft, 0.0005);  // it sounds at all
    EXPECT_GT(firstLeft, 4 * firstRight);
    EXPECT_GT(secondRight, 0.0005);
    EXPECT_GT(secondRight, 4 * secondLeft);
}

TEST_F(RenderMapping, OnlyTheCellsListedSoundAndTheRowOrderMovesTheirNotes) {
    // Five cells, cell c alone in frame c; rows gives cell c note 61 + c.
    const std::string five = dir.write("five.txt", dataFileText(7, {{1}, {2}, {3}, {4}, {5}})).string();
    std::vector<std::pair<int64_t, int>> heard;
    for (const SmfEvent& e : noteEvents(parseSmf(render(five, "some.mid", {"--cells", "2,4-5"}))))
        if (e.bytes[0] == 0x90 && e.bytes[2] > 0) heard.emplace_back(e.tick, e.bytes[1]);
    EXPECT_EQ(heard, (std::vector<std::pair<int64_t, int>>{{100, 63}, {200, 65}, {250, 66}}));

    // Cell 2 fires most, then cell 1, then cell 3: by activity cell 2 takes
    // the top row, whose rows note is the highest (62 + 3), and cell 3 the
    // bottom one (62 + 1).
    const std::string three = dir.write("three.txt", dataFileText(8, {{1, 2}, {3, 4, 5}, {6}})).string();
    std::vector<int> notes;
    for (const SmfEvent& e : noteEvents(parseSmf(render(three, "order.mid", {"--order", "activity"}))))
        if (e.bytes[0] == 0x90 && e.bytes[2] > 0) notes.push_back(e.bytes[1]);
    EXPECT_EQ(notes, (std::vector<int>{64, 64, 65, 65, 65, 63}));
    // inspect lists the rows in the same order, from the top, with the same notes.
    std::ostringstream json, jsonErr;
    ASSERT_EQ(runCommandLine({"inspect", three, "--order", "activity"}, json, jsonErr, false, {}), 0) << jsonErr.str();
    EXPECT_NE(json.str().find("\"order\": \"activity\", \"rows\": [2, 1, 3]"), std::string::npos) << json.str();
    EXPECT_NE(json.str().find("\"cell\": 3, \"x\""), std::string::npos);
    EXPECT_NE(json.str().find("\"note\": 63, \"frames\": [6]"), std::string::npos) << json.str();

    std::ostringstream said, err;
    EXPECT_EQ(renderCommand({five, "-o", (dir.path() / "x.mid").string(), "--cells", "2,9"}, said, err, false), 1);
    EXPECT_NE(err.str().find("cell 9 does not exist"), std::string::npos) << err.str();
    EXPECT_EQ(renderCommand({five, "-o", (dir.path() / "y.mid").string(), "--order", "random"}, said, err, false), 1);
    EXPECT_NE(err.str().find("--order must be"), std::string::npos) << err.str();
}

// An import of more cells than the keyboard's keys renders as the window opens
// it: with a scale, every cell sounding, unless --pitch asks for rows.
TEST_F(RenderMapping, AnImportOfMoreCellsThanKeysSoundsEveryCellUnlessRowsAreAsked) {
    const std::filesystem::path plane = dir.path() / "plane0";
    std::vector<std::vector<std::size_t>> spikes;
    for (std::size_t roi = 0; roi < 300; ++roi) spikes.push_back({roi + 1});  // ROI r alone in frame r + 1
    importfixtures::writeSuite2pPlane(plane, 300, 302, spikes);
    const auto noteOns = [](const Smf& smf) {
        std::size_t count = 0;
        for (const SmfEvent& e : noteEvents(smf)) count += (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0;
        return count;
    };
    EXPECT_EQ(noteOns(parseSmf(render(plane.string(), "every.mid", {"--speed", "10"}))), 300u);
    EXPECT_EQ(noteOns(parseSmf(render(plane.string(), "rows.mid", {"--speed", "10", "--pitch", "rows"}))), 128u);
}
