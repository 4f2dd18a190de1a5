#pragma once

#include "model/ActivityTable.h"
#include "model/EventStrengths.h"
#include "model/RecordingContext.h"
#include "model/CellSelection.h"
#include "model/RowOrder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cellsonify {

// Normalised position of one cell on the cell map (0..1 both ways, y downwards).
struct CellPosition {
    double X = 0;
    double Y = 0;
    bool operator==(const CellPosition&) const = default;
};

// A number no other state of a recording's contents has had (see CellModel::Revision).
uint64_t newModelRevision();

// One recording's contents (cells, frames, positions, strengths, the row
// order and the cells picked) plus the playback position in it, owned by the
// playback controller. Its caption is not part of it: whatever opened the
// recording hands that over beside the model. A load builds a whole new model
// and replaces the old one only on success.
struct CellModel {
    int32_t CellCount = 0;          // cells 1..CellCount
    int32_t FrameCount = 0;         // frames the file declares
    double CurrentFrame = 0;        // playback position; may hold a fraction after a seek
    ActivityTable Activity;         // level and active frames per cell
    std::vector<CellPosition> CellPos{1};  // index = cell; row 0 belongs to no cell
    std::string DataFile;           // path of the file last loaded
    EventStrengths Strength;        // imports: each event's peak z; data files: none
    double FrameRate = 0;           // frames per second the source was imaged at; 0: not known
    // Per cell (index = cell) the ROI number of the pipeline result it was
    // imported from; empty for a data file. Only shown, never compared.
    std::vector<long long> SourceRoi;
    // Per cell (index = cell) the suite2p plane it came from, for a folder of
    // planes opened as one; empty otherwise. Only shown.
    std::vector<int> SourcePlane;
    // The raster row (and, where pitch follows rows, the note) each cell takes;
    // file order unless the user chose another. Drawn pictures depend on it:
    // changing it calls for touch().
    RowOrder Rows;
    // The cells the user picked and which of them sound. A new recording
    // starts with none picked and every cell sounding.
    CellSelection Selection;
    // Trials, stimuli and behaviour around the recording, and how they are
    // heard; empty for most recordings, which then play and look as ever.
    RecordingContext Context;
    // Names the state of the cells, frames and positions, so pictures drawn
    // from them can be kept: every model starts with a revision of its own
    // and copies share it. Code that changes those contents after the model
    // may have been drawn calls touch(). The play position is not part of it.
    uint64_t Revision = newModelRevision();

    void touch() { Revision = newModelRevision(); }
    // Equal contents and position; the revision does not count.
    bool operator==(const CellModel& other) const;
};

// MIDI note of `cell` among `cellCount` cells: floor((127 - cellCount) / 2 + cell).
// May lie outside 0..127 when there are more than 128 cells.
int noteOfCell(int cellCount, int cell);

}  // namespace cellsonify
