#include "import/ImportError.h"
#include "import/Hdf5File.h"
#include "import/Importer.h"
#include "import/NwbReader.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <optional>

using namespace cellsonify;
using importfixtures::Hdf5Writer;

namespace {

// Frames x ROIs data with a spike of ROI r at each frame of spikes[r].
std::vector<double> frameMajor(std::size_t frames, const std::vector<std::vector<std::size_t>>& spikes) {
    std::vector<double> v(frames * spikes.size(), 0.0);
    for (std::size_t r = 0; r < spikes.size(); ++r)
        for (std::size_t f : spikes[r]) v[f * spikes.size() + r] = 5;
    return v;
}

// How an NWB series states its pace: not at all, starting_time's rate, or timestamps.
struct SeriesPace {
    double rate = 0;
    std::vector<double> timestamps;
};

// An NWB file with Fluorescence (Fluorescence, Neuropil) and DfOverF series
// over a 3-ROI PlaneSegmentation with ids 10, 11, 12.
void writeNwb(const std::filesystem::path& file, bool suite2pExport, const SeriesPace& pace = {}) {
    Hdf5Writer w(file);
    const std::string seg = "/processing/ophys/ImageSegmentation/PlaneSegmentation";
    w.group(seg);
    w.textAttribute(seg, "neurodata_type", "PlaneSegmentation");
    w.textAttribute(seg, "description", suite2pExport ? "suite2p output" : "cells");
    w.numbers(seg + "/id", {3}, {10, 11, 12}, true);
    // ROI 10 at row 1, column 4; ROI 11 spans rows 6 and 8 at column 2 (row 7
    // weighted); ROI 12 at row 0, column 9. Standard NWB: x = column, y = row.
    std::vector<double> xyw = {4, 1, 1, 2, 6, 1, 2, 8, 1, 9, 0, 2};
    if (suite2pExport)
        for (std::size_t i = 0; i < xyw.size(); i += 3) std::swap(xyw[i], xyw[i + 1]);
    w.pixelMask(seg + "/pixel_mask", xyw);
    w.numbers(seg + "/pixel_mask_index", {3}, {1, 3, 4}, true);
    if (suite2pExport) w.numbers(seg + "/iscell", {3, 2}, {1, 0.9, 0, 0.2, 1, 0.7});
    struct S { const char* container; const char* type; const char* name; std::size_t spikeAt; };
    for (const S& s : {S{"Fluorescence", "Fluorescence", "Fluorescence", 1}, S{"Fluorescence", "Fluorescence", "Neuropil", 2},
                       S{"DfOverF", "DfOverF", "DfOverF", 3}}) {
        const std::string c = std::string("/processing/ophys/") + s.container;
        w.group(c + "/" + s.name);
        if (std::string(s.name) != "Neuropil") w.textAttribute(c, "neurodata_type", s.type);
        w.textAttribute(c + "/" + s.name, "neurodata_type", "RoiResponseSeries");
        w.numbers(c + "/" + s.name + "/data", {20, 3}, frameMajor(20, {{s.spikeAt}, {s.spikeAt}, {s.spikeAt}}));
        w.numbers(c + "/" + s.name + "/rois", {3}, {0, 1, 2}, true);
        w.referenceAttribute(c + "/" + s.name + "/rois", "table", seg);
        if (pace.rate > 0) {
            w.numbers(c + "/" + s.name + "/starting_time", {1}, {0.0});
            w.numberAttribute(c + "/" + s.name + "/starting_time", "rate", pace.rate);
        }
        if (!pace.timestamps.empty())
            w.numbers(c + "/" + s.name + "/timestamps", {pace.timestamps.size()}, pace.timestamps);
    }
}

std::string errorOf(const std::string& path, const ImportOptions& o = {}) {
    try {
        importRecording(path, o);
    } catch (const ImportError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(NwbImport, PrefersDfOverFAndReadsMaskCentresAndIds) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "cells.nwb";
    writeNwb(file, false);
    const ImportResult r = importRecording(file.string());
    EXPECT_EQ(r.source.trace, "/processing/ophys/DfOverF/DfOverF");
    EXPECT_EQ(r.model.Caption, " cells.nwb (NWB DfOverF, 3 of 3 ROIs, events at 3 SD)");
    EXPECT_EQ(r.source.cellRoi, (std::vector<long long>{0, 10, 11, 12}));
    EXPECT_EQ(r.model.Activity.framesOf(2)[0], 4);
    EXPECT_EQ(r.source.filePositions[1].X, 5);       // column 4 + 1
    EXPECT_EQ(r.source.filePositions[2].Y, 9 - 7.0); // rows 9 (lowest pixel row 8) - row 7

    ImportOptions neuropil;
    neuropil.trace = "Neuropil";
    EXPECT_EQ(importRecording(file.string(), neuropil).model.Activity.framesOf(1)[0], 3);
    neuropil.trace = "Deconvolved";
    EXPECT_NE(errorOf(file.string(), neuropil).find("no RoiResponseSeries named 'Deconvolved'"), std::string::npos);
}

TEST(NwbImport, Suite2pExportMasksAreRowFirstAndIscellFilters) {
    testfiles::TempDir dir;
    const auto plain = dir.path() / "plain.nwb", exported = dir.path() / "exported.nwb";
    writeNwb(plain, false);
    writeNwb(exported, true);
    const ImportResult a = importRecording(plain.string());
    const ImportResult b = importRecording(exported.string());
    ASSERT_EQ(b.model.CellCount, 2);
    EXPECT_EQ(b.source.cellRoi, (std::vector<long long>{0, 10, 12}));
    EXPECT_EQ(b.source.filePositions[1], a.source.filePositions[1]);
    EXPECT_EQ(b.source.filePositions[2], a.source.filePositions[3]);
}

TEST(NwbImport, RefusesFilesWithoutSeries) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "empty.nwb";
    { Hdf5Writer w(file); w.group("/acquisition"); }
    EXPECT_EQ(errorOf(file.string()), "empty.nwb: no RoiResponseSeries under /processing");
    EXPECT_EQ(errorOf(testfiles::TempDir().write("x.nwb", "not hdf5").string()), "x.nwb: is not an HDF5 file");
}

TEST(CaimanImport, NoneTypePlaceholdersCountAsAbsent) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "result.hdf5";
    {
        Hdf5Writer w(file);
        w.group("/estimates/A");
        w.numbers("/dims", {2}, {10, 8}, true);
        w.text("/estimates/S", "NoneType");
        w.text("/estimates/idx_components", "NoneType");
        // C: 2 components x 30 frames.
        std::vector<double> c(60, 0.0);
        c[7] = 9;
        c[30 + 29] = 9;
        w.numbers("/estimates/C", {2, 30}, c);
        // Component 0: pixels (row 3, col 2) and (row 5, col 2) equally; component 1: (row 0, col 7).
        w.numbers("/estimates/A/data", {3}, {1, 1, 4});
        w.numbers("/estimates/A/indices", {3}, {3 + 2 * 10, 5 + 2 * 10, 0 + 7 * 10}, true);
        w.numbers("/estimates/A/indptr", {3}, {0, 2, 3}, true);
        w.numbers("/estimates/A/shape", {2}, {80, 2}, true);
    }
    const ImportResult r = importRecording(file.string());
    EXPECT_EQ(r.source.trace, "C");
    EXPECT_EQ(r.model.Caption, " result.hdf5 (CaImAn C, 2 of 2 ROIs, events at 3 SD)");
    EXPECT_EQ(r.source.filePositions[1], (CellPosition{3, 6}));
    EXPECT_EQ(r.source.filePositions[2], (CellPosition{8, 10}));
    EXPECT_EQ(r.model.Activity.framesOf(1)[0], 8);
    EXPECT_EQ(r.model.Activity.framesOf(2)[0], 30);
    ImportOptions s;
    s.trace = "S";
    EXPECT_EQ(errorOf(file.string(), s), "result.hdf5: has no /estimates/S");
}

TEST(CaimanImport, AShapeBeyondMemoryIsRefusedBeforeAnyAllocation) {
    // A few kilobytes that declare 10^14 numbers, as a damaged file may.
    testfiles::TempDir dir;
    const auto file = dir.path() / "huge.hdf5";
    {
        Hdf5Writer w(file);
        w.numbers("/dims", {2}, {10, 8}, true);
        w.declaredOnly("/estimates/C", {1, 100000000000000});
        w.numbers("/estimates/A/data", {1}, {1});
        w.numbers("/estimates/A/indices", {1}, {0}, true);
        w.numbers("/estimates/A/indptr", {2}, {0, 1}, true);
        w.numbers("/estimates/A/shape", {2}, {80, 1}, true);
    }
    ImportOptions c;
    c.trace = "C";
    EXPECT_EQ(errorOf(file.string(), c),
              "huge.hdf5: /estimates/C declares 100000000000000 numbers, more than this machine's memory holds");
}

TEST(NwbImport, AFileImageInMemoryReadsAsTheFile) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "cells.nwb";
    writeNwb(file, true);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const ImportResult fromDisk = importRecording(file.string());
    const ImportResult fromImage = importNwb(Hdf5File::fromImage(bytes, "cells.nwb"), file.string(), {}, {});
    EXPECT_TRUE(fromImage.model == fromDisk.model);
    EXPECT_EQ(fromImage.source.cellRoi, fromDisk.source.cellRoi);
    EXPECT_EQ(fromImage.source.trace, fromDisk.source.trace);
    EXPECT_THROW(Hdf5File::fromImage(bytes.substr(0, bytes.size() / 2), "cut.nwb"), ImportError);
    EXPECT_THROW(Hdf5File::fromImage("", "empty.nwb"), ImportError);
}

TEST(ImportedFrameRate, EachFormatKeepsTheRateItStates) {
    testfiles::TempDir dir;
    // suite2p: ops['fs'] (30 in the NumPy-written ops.npy); none without ops.npy.
    const auto plane = dir.path() / "plane0";
    importfixtures::writeSuite2pPlane(plane, 2, 20, {{3}, {5}});
    EXPECT_EQ(importRecording(plane.string()).model.FrameRate, 0);
    std::filesystem::copy_file(testfiles::data("import/ops.npy"), plane / "ops.npy");
    EXPECT_EQ(importRecording(plane.string()).model.FrameRate, 30);

    // NWB: starting_time's rate, else the mean step of the timestamps.
    const auto rated = dir.path() / "rated.nwb", stamped = dir.path() / "stamped.nwb", bare = dir.path() / "bare.nwb";
    writeNwb(rated, false, {7.5, {}});
    std::vector<double> stamps(20);
    for (std::size_t i = 0; i < stamps.size(); ++i) stamps[i] = 100 + 0.04 * static_cast<double>(i) + (i % 2 ? 0.01 : 0);
    stamps.back() = 100 + 0.04 * 19;  // uneven steps, 19 of them spanning 0.76 s: 25 frames a second
    writeNwb(stamped, false, {0, stamps});
    writeNwb(bare, false);
    EXPECT_EQ(importRecording(rated.string()).model.FrameRate, 7.5);
    EXPECT_NEAR(importRecording(stamped.string()).model.FrameRate, 25, 1e-9);
    EXPECT_EQ(importRecording(bare.string()).model.FrameRate, 0);

    // CaImAn: params/data/fr; a NoneType placeholder or none at all leaves it unknown.
    const auto writeCaiman = [&](const std::string& name, std::optional<double> fr) {
        const auto file = dir.path() / name;
        Hdf5Writer w(file);
        w.numbers("/dims", {2}, {4, 4}, true);
        w.numbers("/estimates/S", {1, 10}, {0, 0, 9, 0, 0, 0, 0, 0, 0, 0});
        w.numbers("/estimates/A/data", {1}, {1});
        w.numbers("/estimates/A/indices", {1}, {5}, true);
        w.numbers("/estimates/A/indptr", {2}, {0, 1}, true);
        if (fr) w.numbers("/params/data/fr", {1}, {*fr});
        else w.text("/params/data/fr", "NoneType");
        return file.string();
    };
    EXPECT_EQ(importRecording(writeCaiman("fr.hdf5", 15.5)).model.FrameRate, 15.5);
    EXPECT_EQ(importRecording(writeCaiman("none.hdf5", std::nullopt)).model.FrameRate, 0);
}

TEST(ImportedStrength, EveryEventKeepsItsPeakZInTheTablesOrder) {
    // One ROI whose rises are mirrored by dips (mean and median 0):
    // std = sqrt(2 x (10^2 + 20^2 + 12^2) / 20).
    testfiles::TempDir dir;
    const auto plane = dir.path() / "plane0";
    std::filesystem::create_directories(plane);
    std::vector<double> spks(40, 0.0);
    for (const auto& [at, value] : {std::pair{3, 10.0}, {4, 20.0}, {15, 12.0}}) {
        spks[at] = value;       // ROI 0
        spks[at + 4] = -value;  // its dips
        spks[20 + at] = value;  // ROI 1: the same trace
        spks[20 + at + 4] = -value;
    }
    importfixtures::writeNpy(plane / "spks.npy", "<f4", {2, 20}, spks);
    importfixtures::writeSuite2pStat(plane, 2);
    ImportOptions options;
    options.threshold = 1;
    const CellModel m = importRecording(plane.string(), options).model;
    const double sd = std::sqrt(2 * (100.0 + 400 + 144) / 20);
    ASSERT_EQ(m.Activity.framesOf(1).size(), 2u);
    EXPECT_EQ(m.Activity.framesOf(1)[0], 4);
    EXPECT_EQ(m.Activity.framesOf(1)[1], 16);
    EXPECT_EQ(m.Strength.threshold, 1);
    EXPECT_EQ(m.Strength.peakZ.size(), 4u);
    for (int cell : {1, 2}) {
        EXPECT_FLOAT_EQ(static_cast<float>(m.Strength.of(m.Activity, cell, 4)), static_cast<float>(20 / sd));
        EXPECT_FLOAT_EQ(static_cast<float>(m.Strength.of(m.Activity, cell, 16)), static_cast<float>(12 / sd));
    }
}
