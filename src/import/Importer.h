#pragma once

#include "model/CellModel.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cellsonify {

// What the user asked of an import.
struct ImportOptions {
    double threshold = 3;  // K: an event starts where the z-score reaches K
    // Which trace to read: suite2p "spks" (default) or "F"; NWB a series or
    // container name (default: the preferred series); CaImAn "S" (default) or "C".
    std::string trace;
    // Frames to keep, 1-based and inclusive; 0 = not given.
    long long firstFrame = 0;
    long long lastFrame = 0;
    // Of a folder of suite2p planes, only plane<N>; -1: every plane.
    int plane = -1;
};

// Progress of a long import: `report` gets 0..1 now and then (from the calling
// thread); a set `cancel` makes the import throw ImportCancelled soon after.
struct ImportProgress {
    std::function<void(double)> report;
    const std::atomic<bool>* cancel = nullptr;
};

// Where an imported model came from, for captions, `inspect` and `convert`.
struct ImportSource {
    std::string format;        // "suite2p", "nwb" or "caiman"
    std::string trace;         // the trace read: "spks", "F", the NWB series path, "S" or "C"
    double threshold = 3;      // K used
    long long rois = 0;        // ROIs in the source, accepted or not
    long long acceptedRois = 0;
    long long firstFrame = 1;  // source frame shown as frame 1
    long long sourceFrames = 0;
    // Per cell (index = cell; [0] unused): the ROI's number as the source gives
    // it (suite2p and CaImAn: 0-based position; NWB: the id column) ...
    std::vector<long long> cellRoi{0};
    // ... for a folder of planes, the number of its plane (empty otherwise) ...
    std::vector<int> cellPlane;
    // ... and its position in file units (X = centre column + 1, Y = image rows
    // - centre row), which normalise into the model's CellPos.
    std::vector<CellPosition> filePositions{CellPosition{}};
    double imageRows = 0;  // rows of the field of view: column = X - 1, row = imageRows - Y
    // Sentences about what was left out ("kept frames 1..100000 of 120000, renumbered from 1").
    std::vector<std::string> notes;
    // Side files that could not be used and what was done instead ("ops.npy
    // cannot be read (...); the image height comes from the ROI masks"). The
    // recording opened; the caption ends with these and commands print them.
    std::vector<std::string> warnings;
};

struct ImportResult {
    CellModel model;
    ImportSource source;
    // The window's caption for it: " <name> (<what was read>, <kept> of <ROIs>
    // ROIs[, the most active][, frames a-b], events at <K> SD)", then " - " and
    // each warning.
    std::string caption;
};

// A recording as the window and the command line open it: the model, its
// caption (captionFor(path) for a data file, the importer's for an import),
// and where it came from when an importer read it (nullopt for a data file).
struct OpenedRecording {
    CellModel model;
    std::string caption;
    std::optional<ImportSource> source;
};

// Reads the recording at `path`: a suite2p plane folder (or any .npy inside
// one), an NWB 2.x file (.nwb) or a CaImAn result (.hdf5, .h5), or any of
// these under another name, told by its first bytes (recordingFormatOf). The model has
// one cell per kept ROI at level 1, its event onsets, FrameCount = frames kept,
// CurrentFrame 0 and DataFile = path, and a caption saying what was read.
// Throws ImportError for anything it refuses (a data file among them),
// ImportCancelled when cancelled.
ImportResult importRecording(const std::string& path, const ImportOptions& options = {},
                             const ImportProgress& progress = {});

// How the table of formats runs an importer's reader on `path`: refuses
// --plane for a format that does not read folders and a path that is not a
// regular file (a folder format names its own missing files), times frames
// from the source's rate when the reader knows no better, and names the
// recording when memory runs out.
using ImportReader = ImportResult (*)(const std::string& path, const ImportOptions& options,
                                      const ImportProgress& progress);
OpenedRecording importWith(ImportReader read, bool readsFolders, const std::string& path,
                           const ImportOptions& options, const ImportProgress& progress);

}  // namespace cellsonify
