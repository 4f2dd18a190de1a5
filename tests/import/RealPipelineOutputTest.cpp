// Files real pipelines wrote (../shared/data/real, described by its README),
// checked against what that README says they hold, not against our own output.
#include "import/Importer.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace cellsonify;
namespace fs = std::filesystem;

namespace {

fs::path real(const std::string& name) { return testfiles::data("../../../shared/data/real/" + name); }

#define SKIP_WITHOUT_REAL_DATA()                                                                   \
    if (!fs::is_directory(real("")))                                                             \
    GTEST_SKIP() << "no real pipeline output at " << real("").string() << "; these checks need it"

std::vector<std::vector<int32_t>> onsetsOf(const CellModel& m) {
    std::vector<std::vector<int32_t>> all;
    for (int c = 1; c <= m.CellCount; ++c) all.emplace_back(m.Activity.framesOf(c).begin(), m.Activity.framesOf(c).end());
    return all;
}

}  // namespace

// suite2p saved with NumPy before 1.17 (protocol 2, _codecs.encode) and the
// same data exported to NWB by another writer (Accepted column, Deconvolved = spks).
TEST(RealPipelineOutput, Suite2pBeforeNumPy117AndItsNwbExportAgree) {
    SKIP_WITHOUT_REAL_DATA();
    const ImportResult s2p = importRecording(real("suite2p-numpy1.16/plane0").string());
    EXPECT_EQ(s2p.source.rois, 15);
    EXPECT_EQ(s2p.model.CellCount, 7);
    EXPECT_EQ(s2p.model.FrameCount, 250);
    EXPECT_TRUE(s2p.source.warnings.empty());
    for (std::size_t c = 1; c < s2p.source.filePositions.size(); ++c) {
        EXPECT_GT(s2p.source.filePositions[c].Y, 0);  // inside the 128-row image ops.npy declares
        EXPECT_LE(s2p.source.filePositions[c].Y, 128);
    }
    const ImportResult nwb = importRecording(real("nwb/roiextractors-nwb_test.nwb").string());
    EXPECT_EQ(nwb.source.rois, 15);
    EXPECT_NE(nwb.source.trace.find("Deconvolved"), std::string::npos);
    EXPECT_EQ(nwb.source.cellRoi, s2p.source.cellRoi);
    EXPECT_EQ(onsetsOf(nwb.model), onsetsOf(s2p.model));
    EXPECT_EQ(nwb.model.Strength, s2p.model.Strength) << "the same traces, the same peaks";
    // ops['fs'] and the series' starting_time rate, as NumPy and h5py read them: 10 frames a second.
    EXPECT_EQ(s2p.model.FrameRate, 10);
    EXPECT_EQ(nwb.model.FrameRate, 10);
}

TEST(RealPipelineOutput, CaimanWithNoneTypeIdxComponentsKeepsEveryComponent) {
    SKIP_WITHOUT_REAL_DATA();
    const ImportResult r = importRecording(real("caiman/caiman-1.8.5-analysis.hdf5").string());
    EXPECT_EQ(r.source.rois, 72);
    EXPECT_EQ(r.model.CellCount, 72);
    EXPECT_EQ(r.model.FrameCount, 1000);
    EXPECT_EQ(r.model.FrameRate, 30);  // params/data/fr, as h5py reads it
}

// Every era's ops.npy, put into a copy of the plane folder, opens it.
TEST(RealPipelineOutput, OpsFilesOfEveryEraOpenThePlane) {
    SKIP_WITHOUT_REAL_DATA();
    for (const auto& entry : fs::directory_iterator(real("suite2p-ops"))) {
        testfiles::TempDir dir;
        fs::copy(real("suite2p-numpy1.16/plane0"), dir.path());
        for (const auto& f : fs::directory_iterator(dir.path()))
            fs::permissions(f.path(), fs::perms::owner_write, fs::perm_options::add);
        fs::copy_file(entry.path(), dir.path() / "ops.npy", fs::copy_options::overwrite_existing);
        const ImportResult r = importRecording(dir.path().string());
        EXPECT_EQ(r.model.CellCount, 7) << entry.path().filename();
        for (const std::string& w : r.source.warnings)  // a settings file without Ly says so, nothing else
            EXPECT_EQ(w, "ops.npy cannot be used (has no 'Ly'); the image height comes from the ROI masks")
                << entry.path().filename();
        if (entry.path().filename().string().starts_with("2022")) {
            EXPECT_TRUE(r.source.warnings.empty());
            EXPECT_GT(r.source.filePositions[1].Y, 512 - 128);  // Ly = 512: every mask lies in the top 128 rows
        }
    }
}
