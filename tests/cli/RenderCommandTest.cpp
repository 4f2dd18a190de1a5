// The render command as a user runs it: arguments, messages, exit codes, files.
#include "CliTestSupport.h"
#include "soundfiles/ExportTestSupport.h"

#include "export/RecordingExport.h"
#include "cli/RenderCommand.h"
#include "model/DataFileLoader.h"
#include "sound/SoundTestSupport.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace cellsonify;
using namespace exporttest;
namespace fs = std::filesystem;

namespace {

using clitest::Outcome;
using clitest::readFile;

struct RenderCommand : ::testing::Test {
    testfiles::TempDir dir;
    // Two cells, cell 1 in frames 1 and 2, cell 2 in frame 2; four frames.
    const std::string data = dir.write("rec.txt", dataFileText(4, {{1, 2}, {2}})).string();

    static Outcome run(const std::vector<std::string>& args) { return clitest::render(args); }
    std::vector<std::string> filesInDir() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace

TEST_F(RenderCommand, WritesTheMidiFileOfOnePass) {
    const std::string out = (dir.path() / "out.mid").string();
    const Outcome r = run({data, "-o", out, "--speed", "80", "--instrument", "tinkle bell"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + out + "\n");
    EXPECT_EQ(r.err, "");
    // Notes floor(125 / 2 + c) = 63 and 64; ticks at 80, 160, 240 and 320 ms,
    // the last past frame 3.
    const Smf smf = parseSmf(readFile(out));
    EXPECT_EQ(smf.events, (std::vector<SmfEvent>{{0, {0xFF, 0x51, 3, 0x0F, 0x42, 0x40}},
                                                 {0, {0xC0, 112}},
                                                 {80, {0x90, 63, 127}},
                                                 {160, {0x90, 63, 127}},
                                                 {160, {0x90, 64, 127}},
                                                 {320, {0xFF, 0x2F, 0}}}));
}

TEST_F(RenderCommand, DefaultsArePianoAtFiftyMilliseconds) {
    const std::string out = (dir.path() / "OUT.MID").string();
    ASSERT_EQ(run({"-o", out, data}).code, 0);
    const Smf smf = parseSmf(readFile(out));
    ASSERT_GE(smf.events.size(), 3u);
    EXPECT_EQ(smf.events[1], (SmfEvent{0, {0xC0, 0}}));
    EXPECT_EQ(smf.events[2], (SmfEvent{50, {0x90, 63, 127}}));
    EXPECT_EQ(smf.events.back().tick, 200);
}

TEST_F(RenderCommand, WritesAWavFileWithTheTailAsked) {
    const std::string font = soundtest::testSoundFont();
    if (font.empty()) GTEST_SKIP() << "no SoundFont installed";
    soundtest::ScopedEnv useFont("CELLSONIFY_SOUNDFONT", font);
    const std::string out = (dir.path() / "out.wav").string();
    const Outcome r = run({data, "-o", out, "--tail", "0.5", "--speed", "100"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Wav wav = parseWav(readFile(out));
    // Four ticks of 100 ms and half a second of tail, in stereo.
    EXPECT_EQ(wav.samples.size(), 2u * 44100 * 9 / 10);
}

TEST_F(RenderCommand, EveryBadArgumentIsRefusedAndLeavesNoFile) {
    const std::string out = (dir.path() / "out.mid").string();
    const std::string refused = dir.write("refused.txt", dataFileText(4, {{1}}) + "7 1 1 40000\n1\n").string();
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases{
        {{data}, "--output is required"},
        {{"-o", out}, "FILE is required"},
        {{data, "-o"}, "--output: 1 required TEXT missing"},
        {{data, "-o", out, "--loud"}, "not expected: --loud"},
        {{data, data, "-o", out}, "not expected"},
        {{data, "-o", (dir.path() / "out.mp3").string()}, "must end in .mid (MIDI file), .wav (audio), .mp4 (movie) or .png (picture)"},
        {{data, "-o", out, "--instrument", "banjo"}, "unknown instrument \"banjo\": choose one of Piano (0)"},
        {{data, "-o", out, "--speed", "0"}, "speed \"0\" does not play"},
        {{data, "-o", out, "--speed", "-3"}, "speed \"-3\" does not play"},
        {{data, "-o", out, "--speed", "fast"}, "speed \"fast\" does not play"},
        {{data, "-o", out, "--speed", "1e10"}, "speed \"1e10\" does not play"},
        {{data, "-o", out, "--tail", "-1"}, "--tail expects a number from 0 to 600, not \"-1\""},
        {{data, "-o", out, "--tail", "soon"}, "--tail expects a number"},
        {{data, "-o", out, "--pitch", "loud"}, "\"loud\""},
        {{data, "-o", out, "--scale", "blues"}, "\"blues\""},
        {{data, "-o", out, "--root", "H"}, "\"H\""},
        {{data, "-o", out, "--range", "C7:C2"}, "\"C7:C2\""},
        {{data, "-o", out, "--note-length", "0"}, "\"0\""},
        {{data, "-o", (dir.path() / "out.mp4").string(), "--zoom", "9"}, "--zoom expects a whole number from 1 to 8"},
        {{data, "-o", (dir.path() / "out.png").string(), "--zoom", "0"}, "--zoom expects a whole number from 1 to 8"},
        {{data, "-o", (dir.path() / "out.png").string(), "--scale", "9"}, "picture zoom, from 1 to 8, not \"9\""},
        {{data, "-o", (dir.path() / "out.mp4").string(), "--frame", "2"}, "--frame chooses the frame of a still"},
        {{data, "-o", (dir.path() / "out.png").string(), "--frame", "-1"}, "--frame expects a whole number"},
        {{(dir.path() / "missing.txt").string(), "-o", out}, "missing.txt"},
        {{refused, "-o", out}, "refused.txt"},
        {{data, "-o", (dir.path() / "no-such-folder" / "out.mid").string()}, "cannot be written"},
        {{data, "-o", (dir.path() / "out.png").string(), "--tail", "2"}, "--tail is the sound after the last frame"},
        {{data, "-o", out, "--tail", "2"}, "it applies to .wav and .mp4 outputs"},
        {{data, "-o", (dir.path() / "out.wav").string(), "--zoom", "3"}, "--zoom (or --scale N) enlarges"},
        {{data, "-o", (dir.path() / "out.wav").string(), "--scale", "3"}, "applies to .mp4 and .png outputs"},
        {{data, "-o", out, "--layout", "figure"}, "--layout lays out the window's pictures: it applies to .mp4 and"},
        {{data, "-o", (dir.path() / "out.png").string(), "--layout", "poster"}, "poster"},
    };
    for (const Case& c : cases) {
        const Outcome r = run(c.args);
        std::string shown;
        for (const std::string& a : c.args) shown += a + " ";
        EXPECT_EQ(r.code, 1) << shown;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << shown << "\n" << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << shown << "\n" << r.err;
        EXPECT_EQ(filesInDir(), (std::vector<std::string>{"rec.txt", "refused.txt"})) << shown;
    }
}

TEST_F(RenderCommand, AnOutputOntoItsOwnInputIsRefusedUnderAnyName) {
    // A data file may have any name, .wav included; another name for the same
    // file (a hard link, a detour through "sub/..") is still the input.
    const fs::path input = dir.write("take.wav", readFile(data));
    fs::create_directory(dir.path() / "sub");
    fs::create_hard_link(input, dir.path() / "alias.wav");
    for (const fs::path& out : {input, dir.path() / "sub" / ".." / "take.wav", dir.path() / "alias.wav"}) {
        const Outcome r = run({input.string(), "-o", out.string()});
        EXPECT_EQ(r.code, 1) << out;
        EXPECT_NE(r.err.find("is the input"), std::string::npos) << r.err;
        EXPECT_EQ(readFile(input), readFile(data)) << out;
    }
}

TEST_F(RenderCommand, AnOutThatCannotBeReplacedIsLeftAsItWas) {
    // A folder in OUT's place: the render happens, the final rename fails,
    // and neither the folder nor a temporary file is left changed.
    fs::create_directory(dir.path() / "taken.mid");
    fs::create_directory(dir.path() / "taken.mid" / "inside");
    const Outcome r = run({data, "-o", (dir.path() / "taken.mid").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("cannot be written"), std::string::npos) << r.err;
    EXPECT_EQ(filesInDir(), (std::vector<std::string>{"rec.txt", "taken.mid"}));
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken.mid" / "inside"));
}

TEST_F(RenderCommand, SaysWhatMergingAndTheNoteBudgetDid) {
    // Three cells on two notes (chromatic 60..61: cells 1 and 2 on 60, cell 3
    // on 61), all in frame 1; a budget of one note keeps 60, which carries two.
    const std::string shared = dir.write("shared.txt", dataFileText(4, {{1}, {1}, {1}})).string();
    const std::string out = (dir.path() / "budget.mid").string();
    const Outcome r = run({shared, "-o", out, "--pitch", "scale", "--scale", "chromatic", "--range", "60:61",
                           "--notes-per-frame", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + out +
                         "\n3 cells: up to 3 in a frame, heard as at most 1 notes (1 cells merged, 1 notes over the "
                         "budget of 1 left out)\n");
    std::vector<SmfEvent> noteOns;
    for (const SmfEvent& e : parseSmf(readFile(out)).events)
        if (!e.bytes.empty() && e.bytes[0] == 0x90) noteOns.push_back(e);
    EXPECT_EQ(noteOns, (std::vector<SmfEvent>{{50, {0x90, 60, 127}}}));
    EXPECT_NE(run({shared, "-o", out, "--notes-per-frame", "0"}).code, 0);
}
