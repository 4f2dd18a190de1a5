#include "cli/CommandLine.h"
#include "model/DataFileLoader.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace cellsonify;

namespace {

// The command line as typed after "cellsonify"; the window is never opened.
int run(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    return runCommandLine(std::move(args), out, err, false, [](const WindowRequest&) {
        ADD_FAILURE() << "the window was asked for";
        return 1;
    });
}

}  // namespace

TEST(InspectCommand, PrintsTheModelAsJson) {
    testfiles::TempDir dir;
    auto p = dir.write("a.txt", "512 512 20 1\n100 0 0 0\n0 0 0 0\n0 0 0 0\n1 10 10 2\n9 5 5\n2 30 30 1\n\n");
    std::ostringstream out, err;
    EXPECT_EQ(run({"inspect", p.string()}, out, err), 0);
    EXPECT_EQ(out.str(),
              "{\"caption\": \" a.txt (non-active cells are omitted)\", \"cell_count\": 2, \"frame_count\": 100, "
              "\"cells\": [{\"cell\": 1, \"x\": 0.05, \"y\": 0.95, \"level\": 2, \"note\": 63, \"frames\": [5, 9]}, "
              "{\"cell\": 2, \"x\": 0.9590909090909091, \"y\": 0.04090909090909094, \"level\": 1, \"note\": 64, "
              "\"frames\": []}]}\n");
    EXPECT_TRUE(err.str().empty());
}

TEST(InspectCommand, RefusedFileGivesAnErrorAndExitCodeOne) {
    std::ostringstream out, err;
    EXPECT_EQ(run({"inspect", testfiles::data("level-above-32767.txt").string()}, out, err), 1);
    EXPECT_EQ(err.str(), "error: level-above-32767.txt, line 5: level 40000 is above 32767\n");
    EXPECT_TRUE(out.str().empty());
}

TEST(GenerateCommand, WritesARecordingThatLoadsWithTheAskedSize) {
    testfiles::TempDir dir;
    const auto p = (dir.path() / "gen.txt").string();
    std::ostringstream out, err;
    ASSERT_EQ(run({"generate", p, "--cells", "300", "--frames=5000", "--activity", "0.05", "--seed", "3"}, out, err), 0) << err.str();
    const CellModel m = LoadDataFile(p);
    EXPECT_EQ(m.FrameCount, 5000);
    EXPECT_GT(m.CellCount, 250);  // a few cells are written silent and omitted
    EXPECT_LE(m.CellCount, 300);
    const double share = static_cast<double>(m.Activity.eventCount()) / m.CellCount / m.FrameCount;
    EXPECT_NEAR(share, 0.05, 0.02);
    // Network bursts: some frame recruits far more cells than chance would.
    std::size_t busiest = 0;
    for (int f = 1; f <= m.FrameCount; ++f) busiest = std::max(busiest, m.Activity.cellsIn(f).size());
    EXPECT_GT(busiest, 0.15 * m.CellCount);
    for (int c = 1; c <= m.CellCount; ++c) {
        EXPECT_GE(m.CellPos[c].X, 0.05 - 1e-12);
        EXPECT_LE(m.CellPos[c].X, 0.05 + 1 / 1.1 + 1e-12);
    }
}

TEST(GenerateCommand, BadArgumentsLeaveNoFile) {
    testfiles::TempDir dir;
    const auto p = (dir.path() / "gen.txt").string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {p, "--cells", "0"}, {p, "--frames", "abc"}, {p, "--activity", "2"}, {p, "--bogus"}, {}}) {
        std::vector<std::string> line{"generate"};
        line.insert(line.end(), args.begin(), args.end());
        std::ostringstream out, err;
        EXPECT_EQ(run(line, out, err), 1);
        EXPECT_EQ(err.str().rfind("error: ", 0), 0u) << err.str();
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    std::ostringstream out, err;
    EXPECT_EQ(run({"generate", (dir.path() / "missing-folder" / "x.txt").string()}, out, err), 1);
    EXPECT_NE(err.str().find("cannot be written"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
