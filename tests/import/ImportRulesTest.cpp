#include "import/ImportError.h"
#include "import/Importer.h"
#include "support/ImportFixtures.h"
#include "model/DataFileLoader.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sys/stat.h>

using namespace std::string_literals;

using namespace cellsonify;
using importfixtures::writeNpy;
namespace fs = std::filesystem;

namespace {

// A suite2p plane folder: `rois` x `frames` traces where ROI r has a spike at
// each frame listed in spikes[r]; ROI r's med is (2 r, 3 r + 1).
struct Plane {
    testfiles::TempDir dir;
    fs::path folder = dir.path() / "plane0";
    Plane(std::size_t rois, std::size_t frames, const std::vector<std::vector<std::size_t>>& spikes,
          const std::vector<double>& iscell = {}) {
        importfixtures::writeSuite2pPlane(folder, rois, frames, spikes, iscell);
    }
    void writeStat(std::size_t rois) const { importfixtures::writeSuite2pStat(folder, rois); }
};

std::string errorOf(const std::string& path, const ImportOptions& o = {}) {
    try {
        importRecording(path, o);
    } catch (const ImportError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(Suite2pImport, AcceptedRoisBecomeCellsWithOnsetsPositionsAndCaption) {
    Plane plane(3, 50, {{0, 49}, {10}, {20, 21, 30}}, {1, 0.9, 0, 0.1, 1, 0.8});
    const ImportResult r = importRecording((plane.folder / "stat.npy").string());
    const CellModel& m = r.model;
    EXPECT_EQ(r.caption, " plane0 (suite2p spks, 2 of 3 ROIs, events at 3 SD) - no ops.npy; the image height comes "
                         "from the ROI masks");
    ASSERT_EQ(m.CellCount, 2);
    EXPECT_EQ(m.FrameCount, 50);
    EXPECT_EQ(r.source.cellRoi, (std::vector<long long>{0, 0, 2}));
    EXPECT_EQ(std::vector<int32_t>(m.Activity.framesOf(1).begin(), m.Activity.framesOf(1).end()),
              (std::vector<int32_t>{1, 50}));
    EXPECT_EQ(std::vector<int32_t>(m.Activity.framesOf(2).begin(), m.Activity.framesOf(2).end()),
              (std::vector<int32_t>{21, 31}));
    EXPECT_EQ(m.Activity.level(1), 1);
    // ROI 0 sits at the image's top left, ROI 2 further down and right: as in an image viewer.
    EXPECT_LT(m.CellPos[1].X, m.CellPos[2].X);
    EXPECT_LT(m.CellPos[1].Y, m.CellPos[2].Y);
    EXPECT_EQ(r.source.filePositions[1].X, 2);  // column 1 + 1
}

TEST(Suite2pImport, KeepsEveryAcceptedRoiBeyond1500InRoiOrder) {
    std::vector<std::vector<std::size_t>> spikes(1503, {5});
    spikes[0] = {};        // no events: kept all the same
    spikes[1] = {2, 7};
    spikes[1502] = {9};
    std::vector<double> iscell(2 * 1503, 0.5);
    for (std::size_t r = 0; r < 1503; ++r) iscell[2 * r] = r == 7 ? 0 : 1;  // ROI 7 rejected
    Plane plane(1503, 30, spikes, iscell);
    const ImportResult r = importRecording(plane.folder.string());
    ASSERT_EQ(r.model.CellCount, 1502);
    EXPECT_EQ(r.source.cellRoi[1], 0);
    EXPECT_EQ(r.source.cellRoi[8], 8);
    EXPECT_EQ(r.source.cellRoi[1502], 1502);
    EXPECT_TRUE(r.model.Activity.framesOf(1).empty());
    EXPECT_EQ(r.model.Activity.framesOf(2).size(), 2u);
    EXPECT_EQ(r.model.Activity.framesOf(1502)[0], 10);
    EXPECT_NE(r.caption.find("1502 of 1503 ROIs, events"), std::string::npos) << r.caption;
    EXPECT_TRUE(r.source.notes.empty());
}

TEST(Suite2pImport, FrameWindow) {
    Plane plane(1, 100005, {{0, 100002}});
    const ImportResult whole = importRecording(plane.folder.string());
    EXPECT_EQ(whole.model.FrameCount, 100005);
    EXPECT_EQ(std::vector<int32_t>(whole.model.Activity.framesOf(1).begin(), whole.model.Activity.framesOf(1).end()),
              (std::vector<int32_t>{1, 100003}));
    EXPECT_EQ(whole.caption.find("frames"), std::string::npos);

    ImportOptions o;
    o.firstFrame = 100001;
    o.lastFrame = 100005;
    o.threshold = 2;  // five samples, one spike: z = 2.5
    const ImportResult tail = importRecording(plane.folder.string(), o);
    EXPECT_EQ(tail.model.FrameCount, 5);
    ASSERT_EQ(tail.model.Activity.framesOf(1).size(), 1u);
    EXPECT_EQ(tail.model.Activity.framesOf(1)[0], 3);
    o.lastFrame = 100006;
    EXPECT_EQ(errorOf(plane.folder.string(), o),
              "plane0: frames 100001:100006 do not lie within the recording's frames 1..100005");
}

TEST(Suite2pImport, RefusesInconsistentTraces) {
    Plane plane(3, 20, {{1}});
    writeNpy(plane.folder / "F.npy", "<f4", {3, 18}, std::vector<double>(54, 0.0));
    EXPECT_EQ(errorOf(plane.folder.string()), "plane0: spks.npy has 20 frames but F.npy 18; are they from the same run?");
    fs::remove(plane.folder / "F.npy");
    writeNpy(plane.folder / "spks.npy", "<f4", {2}, {1, 2});
    EXPECT_NE(errorOf(plane.folder.string()).find("plane0: spks.npy is not a 2-D array"), std::string::npos);
    fs::remove(plane.folder / "spks.npy");
    EXPECT_EQ(errorOf(plane.folder.string()),
              "plane0: has no spks.npy and no plane folders; open a suite2p plane folder (such as suite2p/plane0) or "
              "the run folder that holds them");
}

// A side file that cannot be used never blocks the traces: the recording
// opens, the caption and source say what was done instead.
TEST(Suite2pImport, SideFilesThatCannotBeUsedLeaveTheRecordingOpenWithAWarning) {
    Plane plane(3, 20, {{1}, {2}, {3}});
    writeNpy(plane.folder / "iscell.npy", "<f8", {2, 2}, {0, 1, 0, 1});
    fs::copy_file(testfiles::data("import/stat-no-med.npy"), plane.folder / "stat.npy",
                  fs::copy_options::overwrite_existing);
    ASSERT_EQ(::mkfifo((plane.folder / "ops.npy").c_str(), 0600), 0);  // never opened, so it cannot block
    ASSERT_EQ(::mkfifo((plane.folder / "F.npy").c_str(), 0600), 0);    // not the trace read: passed over
    const ImportResult r = importRecording(plane.folder.string());
    EXPECT_EQ(r.model.CellCount, 3);  // all accepted, despite the two rejections of the wrong-sized iscell.npy
    EXPECT_EQ(r.source.warnings,
              (std::vector<std::string>{
                  "iscell.npy cannot be used (has 2 ROIs but spks.npy 3); every ROI counts as a cell",
                  "stat.npy cannot be used (has 2 ROIs but spks.npy 3); cells are placed in a column in ROI order",
                  "ops.npy cannot be used (is a pipe (FIFO), not a regular file); the image height comes from the ROI "
                  "masks"}));
    // A column in ROI order: one X, ROI 0 at the top.
    EXPECT_EQ(r.source.filePositions[1].X, r.source.filePositions[3].X);
    EXPECT_GT(r.source.filePositions[1].Y, r.source.filePositions[3].Y);
    EXPECT_NE(r.caption.find(" - iscell.npy cannot be used"), std::string::npos);

    // A ROI without 'med' takes the medians of its pixels; one with neither names ROI and file.
    Plane two(2, 20, {{1}, {2}});
    fs::copy_file(testfiles::data("import/stat-no-med.npy"), two.folder / "stat.npy",
                  fs::copy_options::overwrite_existing);
    EXPECT_EQ(importRecording(two.folder.string()).source.warnings.at(1),
              "stat.npy cannot be used (ROI 1 has no 'med' or 'ypix'; suite2p writes both; was the folder copied "
              "whole?); cells are placed in a column in ROI order");
}

// A run folder (plane0/, plane1/, ... directly or under suite2p/) opens
// suite2p's combined view when there is one, else every plane; --plane 0 plane0.
TEST(Suite2pImport, RunFoldersOpenTheCombinedViewElseEveryPlane) {
    const ImportResult combined = importRecording(testfiles::data("import/run-planes").string());
    EXPECT_EQ(combined.source.rois, 5);
    EXPECT_NE(combined.caption.find("run-planes (suite2p spks, combined view of 2 planes, 4 of 5 ROIs"),
              std::string::npos);
    testfiles::TempDir dir;
    fs::copy(testfiles::data("import/run-planes/suite2p"), dir.path(), fs::copy_options::recursive);
    fs::remove_all(dir.path() / "combined");
    const ImportResult every = importRecording(dir.path().string());
    EXPECT_EQ(every.source.rois, 5);
    EXPECT_NE(every.caption.find("(suite2p spks, planes plane0, plane1, "), std::string::npos) << every.caption;
    ImportOptions plane0;
    plane0.plane = 0;
    const ImportResult first = importRecording(dir.path().string(), plane0);
    EXPECT_EQ(first.source.rois, 3);
    EXPECT_NE(first.caption.find("(suite2p spks, plane0 of 2 planes, 2 of 3 ROIs"), std::string::npos);
    // A current run: ops.npy holds a datetime and paths, read around.
    const ImportResult current = importRecording(testfiles::data("import/run-current").string());
    EXPECT_TRUE(current.source.warnings.empty());
    EXPECT_EQ(current.source.cellRoi, (std::vector<long long>{0, 0, 2, 3}));
    EXPECT_EQ(current.source.filePositions[1].Y, 30 - 0);  // Ly = 30 from ops.npy; ROI 0's med row 0
}

TEST(Suite2pImport, ZeroRoisAndZeroFramesGiveAnEmptyRecording) {
    Plane none(0, 10, {});
    EXPECT_EQ(importRecording(none.folder.string()).model.CellCount, 0);
    Plane still(2, 0, {});
    const ImportResult r = importRecording(still.folder.string());
    EXPECT_EQ(r.model.CellCount, 2);
    EXPECT_EQ(r.model.FrameCount, 0);
}

TEST(DataFileWriter, TextLoadsBackIntoTheSameModel) {
    Plane plane(4, 60, {{0, 59}, {}, {3, 4, 30}, {10}});
    const ImportResult r = importRecording(plane.folder.string());
    testfiles::TempDir out;
    const std::string path = (out.path() / "out.txt").string();
    writeDataFile(r.model, r.source.filePositions, path);
    const CellModel back = LoadDataFile(path);
    EXPECT_EQ(back.CellCount, r.model.CellCount);
    EXPECT_EQ(back.FrameCount, r.model.FrameCount);
    EXPECT_EQ(back.CellPos, r.model.CellPos);
    EXPECT_EQ(back.Activity, r.model.Activity);
    EXPECT_EQ(fs::directory_iterator(out.path())->path().filename(), "out.txt");  // no temporary left
}

// A trace file whose header declares more than the file holds is refused by
// its size alone, before anything is allocated for it.
TEST(Suite2pImport, ATraceDeclaringMoreThanItsFileHoldsIsRefusedByItsSize) {
    Plane plane(2, 10, {{1}, {2}});
    std::string header = "{'descr': '<f4', 'fortran_order': False, 'shape': (50000, 2000000), }";
    while ((10 + header.size() + 1) % 64 != 0) header += ' ';
    header += '\n';
    std::ofstream out(plane.folder / "spks.npy", std::ios::binary | std::ios::trunc);
    out << "\x93NUMPY\x01\x00"s << static_cast<char>(header.size()) << '\0' << header << std::string(400, '\0');
    out.close();
    EXPECT_EQ(errorOf(plane.folder.string()),
              "plane0: spks.npy: the file ends early: the shape needs 100000000000 values; was the folder copied whole?");
}

// A run folder of planes without combined/ opens every plane as one
// recording, cut to the shortest plane; --plane N opens one.
TEST(Suite2pImport, AFolderOfPlanesOpensAsOneRecordingOrOnePlane) {
    testfiles::TempDir dir;
    const fs::path run = dir.path() / "run";
    importfixtures::writeSuite2pPlane(run / "suite2p" / "plane0", 3, 30, {{2}, {5, 28}, {7}});
    importfixtures::writeSuite2pPlane(run / "suite2p" / "plane1", 2, 25, {{4}, {9}});
    const ImportResult all = importRecording(run.string());
    ASSERT_EQ(all.model.CellCount, 5);
    EXPECT_EQ(all.model.FrameCount, 25);
    EXPECT_NE(all.caption.find("suite2p spks, planes plane0, plane1, 5 of 5 ROIs"), std::string::npos) << all.caption;
    EXPECT_EQ(all.source.cellPlane, (std::vector<int>{-1, 0, 0, 0, 1, 1}));
    EXPECT_EQ(all.model.SourcePlane, all.source.cellPlane);
    EXPECT_EQ(all.source.cellRoi, (std::vector<long long>{0, 0, 1, 2, 0, 1}));
    EXPECT_EQ(std::vector<int32_t>(all.model.Activity.framesOf(2).begin(), all.model.Activity.framesOf(2).end()),
              (std::vector<int32_t>{6}));  // its frame 29 lies beyond the shorter plane
    EXPECT_EQ(all.model.Activity.framesOf(5)[0], 10);
    ASSERT_EQ(all.source.notes.size(), 1u);
    EXPECT_EQ(all.source.notes[0], "the planes have 25 to 30 frames; each is cut to the shortest, 25");
    // plane1's field of view lies right of plane0's: its ROI 0 (column 1) right of plane0's ROI 2 (column 7).
    EXPECT_GT(all.source.filePositions[4].X, all.source.filePositions[3].X);

    ImportOptions one;
    one.plane = 1;
    const ImportResult second = importRecording(run.string(), one);
    EXPECT_EQ(second.model.CellCount, 2);
    EXPECT_EQ(second.model.FrameCount, 25);
    EXPECT_NE(second.caption.find("suite2p spks, plane1 of 2 planes"), std::string::npos) << second.caption;
    EXPECT_TRUE(second.source.cellPlane.empty());
    one.plane = 5;
    EXPECT_EQ(errorOf(run.string(), one), "run: has no plane5 (it has plane0, plane1)");
}
