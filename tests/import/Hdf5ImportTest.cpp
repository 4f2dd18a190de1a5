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
#include <sys/stat.h>

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
    EXPECT_EQ(r.caption, " cells.nwb (NWB DfOverF, 3 of 3 ROIs, events at 3 SD)");
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

TEST(NwbImport, BooleanColumnsStoredAsEnumsReadAsZeroAndOne) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "bools.nwb";
    const std::string seg = "/processing/ophys/ImageSegmentation/PlaneSegmentation";
    for (const char* column : {"iscell", "Accepted"}) {
        writeNwb(file, false);
        Hdf5Writer(file, true).booleans(seg + "/" + column, {true, false, true});
        const ImportResult r = importRecording(file.string());
        ASSERT_EQ(r.model.CellCount, 2) << column;
        EXPECT_EQ(r.source.cellRoi, (std::vector<long long>{0, 10, 12})) << column;
    }
}

TEST(NwbImport, RefusesFilesWithoutSeries) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "empty.nwb";
    { Hdf5Writer w(file); w.group("/acquisition"); }
    EXPECT_EQ(errorOf(file.string()), "empty.nwb: has no RoiResponseSeries under /processing; cellsonify reads the ROI "
                                      "traces of an NWB file's processing module (ophys)");
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
    EXPECT_EQ(r.caption, " result.hdf5 (CaImAn C, 2 of 2 ROIs, events at 3 SD)");
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
              "huge.hdf5: C declares 100000000000000 frames per ROI, more than this machine's memory holds for one ROI; "
              "choose a part with --frames FIRST:LAST");
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
    // A rate of 0, or none, takes the imaging plane's imaging_rate.
    const std::string seg = "/processing/ophys/ImageSegmentation/PlaneSegmentation";
    for (const bool zeroRate : {false, true}) {
        const auto planed = dir.path() / "planed.nwb";
        writeNwb(planed, false);
        {
            Hdf5Writer w(planed, true);
            w.numbers("/general/optophysiology/ImagingPlane/imaging_rate", {1}, {30});
            w.softLink(seg + "/imaging_plane", "/general/optophysiology/ImagingPlane");
            if (zeroRate) {
                w.numbers("/processing/ophys/DfOverF/DfOverF/starting_time", {1}, {0.0});
                w.numberAttribute("/processing/ophys/DfOverF/DfOverF/starting_time", "rate", 0);
            }
        }
        EXPECT_EQ(importRecording(planed.string()).model.FrameRate, 30) << zeroRate;
    }

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

// NWB as real writers lay it out: acceptance in an `Accepted` column, a
// background series of only rejected ROIs passed over, data stored ROIs x frames.
TEST(NwbImport, ReadsWhatRealWritersWrite) {
    const ImportResult background = importRecording(testfiles::data("import/nwb-background-series.nwb").string());
    EXPECT_EQ(background.source.trace, "/processing/ophys/Fluorescence/RoiResponseSeries");
    EXPECT_EQ(background.source.cellRoi, (std::vector<long long>{0, 10, 12}));  // Accepted = 1, 0, 1
    ImportOptions asked;
    asked.trace = "BackgroundFluorescence";  // still there when asked for by name
    EXPECT_EQ(importRecording(testfiles::data("import/nwb-background-series.nwb").string(), asked).model.CellCount, 0);

    const ImportResult transposed = importRecording(testfiles::data("import/nwb-rois-by-frames.nwb").string());
    EXPECT_EQ(transposed.model.FrameCount, 40);
    EXPECT_EQ(transposed.source.cellRoi, (std::vector<long long>{0, 10, 11}));  // iscell's first column
    EXPECT_EQ(transposed.model.Activity.framesOf(2)[0], 9);  // ROI 1's spike at 0-based frame 8
    ASSERT_EQ(transposed.source.notes.size(), 1u);
    EXPECT_NE(transposed.source.notes[0].find("stored ROIs x frames (3 x 40)"), std::string::npos);

    EXPECT_EQ(errorOf(testfiles::data("import/nwb-version-1.nwb").string()),
              "nwb-version-1.nwb: is an NWB 1 file (nwb_version 1.0.6), which is not supported; NWB 2 files are read "
              "(pynwb and MatNWB write them)");
}

// Nothing outside the file is read: no FIFO or device is opened, and links,
// external storage and virtual datasets pointing elsewhere are refused.
TEST(Hdf5Import, RefusesWhatLiesOutsideTheFile) {
    EXPECT_EQ(errorOf(testfiles::data("hostile-caiman-external-link.hdf5").string()),
              "hostile-caiman-external-link.hdf5: /estimates/S is a link to another file; only what is inside the "
              "file itself is read");
    for (const char* f : {"hostile-caiman-external-storage.hdf5", "hostile-caiman-virtual.hdf5"})
        EXPECT_EQ(errorOf(testfiles::data(f).string()),
                  std::string(f) + ": /estimates/S keeps its data in other files; only data inside the file itself is read");
    testfiles::TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() / "in.nwb").c_str(), 0600), 0);
    EXPECT_EQ(errorOf((dir.path() / "in.nwb").string()), "in.nwb: is a pipe (FIFO), not a regular file");
    std::filesystem::create_symlink("loop.h5", dir.path() / "loop.h5");
    EXPECT_EQ(errorOf((dir.path() / "loop.h5").string()), "loop.h5: is a loop of symbolic links");
    EXPECT_EQ(errorOf("/dev/null.nwb"), "null.nwb: does not exist");
}

// Indices are whole numbers inside what they index.
TEST(CaimanImport, RefusesPixelsOutsideTheImageAndFractionalIndices) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "result.hdf5";
    const auto write = [&](std::vector<double> indices, std::vector<double> idx) {
        Hdf5Writer w(file);
        w.group("/estimates/A");
        w.numbers("/dims", {2}, {10, 8}, true);
        w.numbers("/estimates/S", {2, 30}, std::vector<double>(60, 0.0));
        w.numbers("/estimates/A/data", {indices.size()}, std::vector<double>(indices.size(), 1.0));
        w.numbers("/estimates/A/indices", {indices.size()}, indices);
        w.numbers("/estimates/A/indptr", {3}, {0, 1, static_cast<double>(indices.size())}, true);
        if (!idx.empty()) w.numbers("/estimates/idx_components", {idx.size()}, idx);
    };
    write({3, 1e9}, {});
    EXPECT_EQ(errorOf(file.string()), "result.hdf5: /estimates/A/indices entry 1 (1000000000) is not a pixel of the "
                                      "10 x 8 image in /dims; the file is damaged");
    write({-1, 3}, {});
    EXPECT_NE(errorOf(file.string()).find("entry 0 (-1) is not a pixel"), std::string::npos);
    write({3, NAN}, {});
    EXPECT_NE(errorOf(file.string()).find("entry 1 (nan) is not a pixel"), std::string::npos);
    write({3, 4}, {0.5});
    EXPECT_EQ(errorOf(file.string()), "result.hdf5: /estimates/idx_components names component 0.5, which is not one "
                                      "of the 2 (0 to 2 - 1)");
    write({3, 4}, {99});
    EXPECT_NE(errorOf(file.string()).find("names component 99, which"), std::string::npos);
    {
        Hdf5Writer w(file);
        w.group("/estimates/A");
        w.numbers("/dims", {2}, {10, 8}, true);
        w.numbers("/estimates/S", {2, 30}, std::vector<double>(60, 0.0));
        w.numbers("/estimates/A/data", {3}, {1, 1, 1});
        w.numbers("/estimates/A/indices", {2}, {3, 4});
        w.numbers("/estimates/A/indptr", {3}, {0, 1, 3}, true);
    }
    EXPECT_EQ(errorOf(file.string()),
              "result.hdf5: /estimates/A has 3 values in data but 2 in indices; the file is damaged");
}

TEST(NwbImport, RefusesFractionalRoisAndATableThatIsNotOne) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "s.nwb";
    const auto rewrite = [&](const std::vector<double>& rois, const std::string& table) {
        writeNwb(file, false);
        Hdf5Writer w(file, true);
        const std::string s = "/processing/ophys/DfOverF/DfOverF/rois";
        w.remove(s);
        w.numbers(s, {3}, rois);
        w.referenceAttribute(s, "table", table);
    };
    rewrite({0, 1.5, 2}, "/processing/ophys/ImageSegmentation/PlaneSegmentation");
    EXPECT_EQ(errorOf(file.string()), "s.nwb: /processing/ophys/DfOverF/DfOverF/rois entry 1 (1.5) is not a row of "
                                      "/processing/ophys/ImageSegmentation/PlaneSegmentation (0 to 3 - 1)");
    rewrite({0, 1, 2}, "/");
    EXPECT_EQ(errorOf(file.string()), "s.nwb: /processing/ophys/DfOverF/DfOverF/rois points at /, which is not a table "
                                      "of ROIs (a PlaneSegmentation); the file is damaged or was not written by an NWB "
                                      "writer");
}

// ids are shown as whole numbers: NaN, 1e300 or 2^64 - 1 have no such number
// and are refused by name rather than converted to a wrong one.
TEST(NwbImport, RefusesIdsThatAreNotWholeNumbersInRange) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "ids.nwb";
    const std::string id = "/processing/ophys/ImageSegmentation/PlaneSegmentation/id";
    for (const double bad : {std::nan(""), 1e300, 18446744073709551615.0, 2.5}) {
        writeNwb(file, false);
        {
            Hdf5Writer w(file, true);
            w.remove(id);
            w.numbers(id, {3}, {10, bad, 12});
        }
        const std::string error = errorOf(file.string());
        EXPECT_EQ(error.rfind("ids.nwb: " + id + " holds ", 0), 0u) << bad << ": " << error;
        EXPECT_NE(error.find("not a whole number"), std::string::npos) << error;
    }
}

// An unwritten dataset of 300 million numbers (a tiny file) read for ten
// frames: only those frames are read, as the fill value, without events.
TEST(CaimanImport, AFrameWindowOfAnUnwrittenTraceReadsOnlyThoseFrames) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "sparse.hdf5";
    {
        Hdf5Writer w(file);
        w.numbers("/dims", {2}, {10, 8}, true);
        w.declaredOnly("/estimates/C", {3, 100000000});
        w.numbers("/estimates/A/data", {3}, {1, 1, 1});
        w.numbers("/estimates/A/indices", {3}, {0, 5, 9}, true);
        w.numbers("/estimates/A/indptr", {4}, {0, 1, 2, 3}, true);
        w.numbers("/estimates/A/shape", {2}, {80, 3}, true);
    }
    ImportOptions c;
    c.trace = "C";
    c.firstFrame = 99999991;
    c.lastFrame = 100000000;
    const ImportResult r = importRecording(file.string(), c);
    EXPECT_EQ(r.model.CellCount, 3);
    EXPECT_EQ(r.model.FrameCount, 10);
    EXPECT_EQ(r.model.Activity.eventCount(), 0u);
    EXPECT_EQ(r.source.sourceFrames, 100000000);
}
