// inspect, convert and render on an imported suite2p folder, as a user runs them.
#include "cli/CommandLine.h"
#include "soundfiles/ExportTestSupport.h"
#include "model/CellModel.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

using namespace cellsonify;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int code;
    std::string out, err;
};

struct ImportCommands : ::testing::Test {
    testfiles::TempDir dir;
    fs::path plane = dir.path() / "plane0";
    void SetUp() override {
        // Four ROIs over 60 frames; ROI 1 is rejected, ROI 3 never fires.
        importfixtures::writeSuite2pPlane(plane, 4, 60, {{0, 30}, {10}, {45}, {}}, {1, 0.9, 0, 0.1, 1, 1, 1, 1});
    }
    Outcome run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int code = runCommandLine(std::move(args), out, err, false, [](const WindowRequest&) {
            ADD_FAILURE() << "the window was asked for";
            return 1;
        });
        return {code, out.str(), err.str()};
    }
};

// inspect's JSON without what only an import has: the caption, "source", "roi" and "strengths".
std::string cellsAndFrames(const std::string& json) {
    std::string s = std::regex_replace(json, std::regex(R"("caption": "[^"]*")"), "");
    s = std::regex_replace(s, std::regex(R"(, "source": \{[^}]*\})"), "");
    return std::regex_replace(s, std::regex(R"(, "roi": \d+(, "strengths": \[[^\]]*\])?)"), "");
}

}  // namespace

TEST_F(ImportCommands, InspectAddsTheSourceAndEachCellsRoi) {
    const Outcome r = run({"inspect", plane.string(), "--threshold", "2.5"});
    ASSERT_EQ(r.code, 0) << r.err;
    // The folder has no ops.npy: it opens, and the terminal says what stands in for it.
    EXPECT_EQ(r.err, "warning: plane0: no ops.npy; the image height comes from the ROI masks\n");
    EXPECT_EQ(r.out.rfind(R"({"caption": " plane0 (suite2p spks, 3 of 4 ROIs, events at 2.5 SD) - no ops.npy; )"
                          R"(the image height comes from the ROI masks", "cell_count": 3, )", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(R"("frame_count": 60, "source": {"format": "suite2p", "trace": "spks", "threshold": 2.5, "rois": 4}, "cells": [)"),
              std::string::npos) << r.out;
    // the accepted ROIs 0, 2 and 3 in ROI order
    EXPECT_NE(r.out.find(R"({"cell": 1, "roi": 0, )"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(R"({"cell": 2, "roi": 2, )"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(R"({"cell": 3, "roi": 3, )"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(R"("frames": [1, 31]})"), std::string::npos) << r.out;

    // a text file keeps its JSON and takes no import options
    const Outcome converted = run({"convert", plane.string(), "-o", (dir.path() / "p.txt").string()});
    ASSERT_EQ(converted.code, 0) << converted.err;
    const Outcome text = run({"inspect", (dir.path() / "p.txt").string()});
    EXPECT_EQ(text.out.find("source"), std::string::npos);
    EXPECT_EQ(text.out.find("roi"), std::string::npos);
    const Outcome refused = run({"inspect", (dir.path() / "p.txt").string(), "--trace", "F"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err.rfind("error: p.txt is a data file", 0), 0u) << refused.err;
}

TEST_F(ImportCommands, ConvertWritesTextThatInspectsAsTheImport) {
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, std::vector<std::string>{"--frames", "20:60", "--threshold", "4"}}) {
        const std::string out = (dir.path() / "out.txt").string();
        std::vector<std::string> convert{"convert", (plane / "iscell.npy").string(), "-o", out};
        convert.insert(convert.end(), options.begin(), options.end());
        const Outcome c = run(convert);
        ASSERT_EQ(c.code, 0) << c.err;
        EXPECT_EQ(c.out, "wrote " + out + "\n");

        std::vector<std::string> inspect{"inspect", plane.string()};
        inspect.insert(inspect.end(), options.begin(), options.end());
        const Outcome imported = run(inspect);
        const Outcome text = run({"inspect", out});
        ASSERT_EQ(text.code, 0) << text.err;
        EXPECT_EQ(cellsAndFrames(text.out), cellsAndFrames(imported.out));
        EXPECT_NE(imported.out, text.out);  // the import's caption and source differ
    }
}

TEST_F(ImportCommands, FailuresSayErrorAndExitOne) {
    const std::string out = (dir.path() / "out.txt").string();
    const struct {
        std::vector<std::string> args;
        std::string said;
    } cases[] = {
        {{"convert", plane.string(), "-o", out, "--frames", "10:5"}, "--frames expects FIRST:LAST"},
        {{"convert", plane.string(), "-o", out, "--frames", "0:5"}, "--frames expects FIRST:LAST"},
        {{"convert", plane.string(), "-o", out, "--frames", "50:70"}, "do not lie within the recording's frames 1..60"},
        {{"convert", plane.string(), "-o", out, "--trace", "Fneu"}, "plane0: has no Fneu.npy"},
        {{"convert", testfiles::data("single-cell.txt").string(), "-o", out}, "needs no converting"},
        {{"inspect", (dir.path() / "missing.nwb").string()}, "missing.nwb: does not exist"},
        {{"convert", plane.string(), "-o", out, "--trace", ""}, "--trace needs the name of a trace"},
        // An output onto what is being read would destroy it.
        {{"convert", plane.string(), "-o", (plane / "spks.npy").string()}, "lies inside the input folder"},
        {{"convert", (plane / "iscell.npy").string(), "-o", (plane / "events.txt").string()},
         "lies inside the plane folder"},
    };
    const auto planeFiles = [this] {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::directory_iterator(plane)) {
            std::ifstream in(e.path(), std::ios::binary);
            files[e.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
        }
        return files;
    };
    const auto before = planeFiles();
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.code, 1) << c.said;
        EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out)) << c.said;
    }
    EXPECT_EQ(planeFiles(), before);
}

TEST_F(ImportCommands, RenderPlaysTheImportedOnsets) {
    const std::string mid = (dir.path() / "plane.mid").string();
    const Outcome r = run({"render", plane.string(), "-o", mid, "--frames", "20:60"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::ifstream in(mid, std::ios::binary);
    const exporttest::Smf smf = exporttest::parseSmf({std::istreambuf_iterator<char>(in), {}});
    // frames 20..60 hold ROI 0's spike at source frame 31 and ROI 2's at 46
    std::multiset<int> notesOn;
    for (const auto& e : smf.events)
        if (e.bytes.size() == 3 && (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0) notesOn.insert(e.bytes[1]);
    EXPECT_EQ(notesOn, (std::multiset<int>{noteOfCell(3, 1), noteOfCell(3, 2)}));
}

TEST_F(ImportCommands, AnImportsFrameRateAndStrengthsSetPaceAndLoudness) {
    fs::copy_file(testfiles::data("import/ops.npy"), plane / "ops.npy");  // fs = 30
    const Outcome inspected = run({"inspect", plane.string()});
    ASSERT_EQ(inspected.code, 0) << inspected.err;
    EXPECT_NE(inspected.out.find(R"("rois": 4, "frame_rate": 30})"), std::string::npos) << inspected.out;
    // ROI 0: 100 at two of 60 frames, else 0: median 0, std sqrt(2 x 100^2 / 60 - (200 / 60)^2).
    std::smatch strengths;
    ASSERT_TRUE(std::regex_search(inspected.out, strengths,
                                  std::regex(R"(\{"cell": 1, "roi": 0, "strengths": \[([^,\]]+), ([^\]]+)\])")))
        << inspected.out;
    const double sd = std::sqrt(2 * 100.0 * 100 / 60 - (200.0 / 60) * (200.0 / 60));
    EXPECT_FLOAT_EQ(std::stof(strengths[1].str()), static_cast<float>(100 / sd));
    EXPECT_FLOAT_EQ(std::stof(strengths[2].str()), static_cast<float>(100 / sd));

    // realtime is round(1000 / 30) = 33 ms per frame; x4 is round(1000 / 120) = 8.
    const auto midi = [&](const std::string& speed, const std::string& velocity) {
        const std::string out = (dir.path() / "pass.mid").string();
        const Outcome r = run({"render", plane.string(), "-o", out, "--speed", speed, "--velocity", velocity});
        EXPECT_EQ(r.code, 0) << speed << ": " << r.err;
        std::ifstream in(out, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(midi("realtime", "fixed"), midi("33", "fixed"));
    EXPECT_EQ(midi("x4", "fixed"), midi("8", "fixed"));
    {  // without --speed it plays at real time, as the window opens it
        const std::string out = (dir.path() / "default.mid").string();
        ASSERT_EQ(run({"render", plane.string(), "-o", out}).code, 0);
        std::ifstream in(out, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), midi("33", "fixed"));
    }
    // ROI 0's two events peak at 100 / sd, ROI 2's one (100 at one frame) at
    // 100 / sd2: each plays at round(40 + 87 x min(1, (z - 3) / 6)).
    const double sd2 = std::sqrt(100.0 * 100 / 60 - (100.0 / 60) * (100.0 / 60));
    const auto velocity = [](double z) { return static_cast<int>(std::lround(40 + 87 * std::min(1.0, (z - 3) / 6))); };
    std::multiset<int> heard;
    for (const exporttest::SmfEvent& e : exporttest::parseSmf(midi("33", "strength")).events)
        if (e.bytes.size() == 3 && e.bytes[0] == 0x90) heard.insert(e.bytes[2]);
    EXPECT_EQ(heard, (std::multiset<int>{velocity(100 / sd), velocity(100 / sd), velocity(100 / sd2)}));
    EXPECT_NE(velocity(100 / sd), velocity(100 / sd2)) << "the two ROIs differ in strength";

    const struct {
        std::vector<std::string> args;
        std::string said;
    } refused[] = {
        {{"render", testfiles::data("single-cell.txt").string(), "-o", "x.mid", "--speed", "realtime"},
         "needs the recording's frame rate"},
        {{"render", plane.string(), "-o", "x.mid", "--speed", "xfast"}, "x must be followed by a positive number"},
        {{"render", plane.string(), "-o", "x.mid", "--velocity", "loud"}, "--velocity expects fixed or strength"},
    };
    for (const auto& c : refused) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.code, 1) << c.said;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
}

// A recording beyond a data file's 1500 cells is refused, writing nothing,
// until a part is chosen: the most active cells, or cells by number.
TEST_F(ImportCommands, ConvertOfMoreCellsThanADataFileHoldsAsksForAPart) {
    const fs::path big = dir.path() / "big" / "plane0";
    std::vector<std::vector<std::size_t>> spikes(1600, {4});
    spikes[1550] = {2, 6, 9};  // the most active, beyond 1500
    spikes[7] = {3, 8};
    importfixtures::writeSuite2pPlane(big, 1600, 12, spikes);
    const std::string out = (dir.path() / "big.txt").string();
    const Outcome refused = run({"convert", big.string(), "-o", out, "--threshold", "1"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("1600 cells and 12 frames, but a data file holds at most 1500 cells"), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("--most-active N"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(out));

    const Outcome most = run({"convert", big.string(), "-o", out, "--threshold", "1", "--most-active", "2"});
    ASSERT_EQ(most.code, 0) << most.err;
    const Outcome text = run({"inspect", out});
    EXPECT_NE(text.out.find(R"("cell_count": 2)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find(R"("frames": [4, 9]})"), std::string::npos) << text.out;      // ROI 7
    EXPECT_NE(text.out.find(R"("frames": [3, 7, 10]})"), std::string::npos) << text.out;  // ROI 1550

    const Outcome some = run({"convert", big.string(), "-o", out, "--threshold", "1", "--cells", "1-3,1600"});
    ASSERT_EQ(some.code, 0) << some.err;
    EXPECT_NE(run({"inspect", out}).out.find(R"("cell_count": 4)"), std::string::npos);
}

TEST_F(ImportCommands, InspectGivesEachCellsPlaneOfAFolderOfPlanes) {
    const fs::path planes = dir.path() / "run";
    importfixtures::writeSuite2pPlane(planes / "plane0", 1, 20, {{3}});
    importfixtures::writeSuite2pPlane(planes / "plane1", 2, 20, {{4}, {5}});
    const Outcome all = run({"inspect", planes.string()});
    ASSERT_EQ(all.code, 0) << all.err;
    EXPECT_NE(all.out.find(R"({"cell": 1, "roi": 0, "plane": 0, )"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find(R"({"cell": 3, "roi": 1, "plane": 1, )"), std::string::npos) << all.out;
    const Outcome one = run({"inspect", planes.string(), "--plane", "1"});
    ASSERT_EQ(one.code, 0) << one.err;
    EXPECT_NE(one.out.find(R"("cell_count": 2)"), std::string::npos) << one.out;
    EXPECT_EQ(one.out.find("\"plane\""), std::string::npos);
}
