#pragma once

#include "model/ActivityTable.h"

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

// The loaded recording plus the playback position: the one model the window owns.
// A load builds a whole new model and replaces the old one only on success.
struct CellModel {
    int16_t CellCount = 0;          // cells 1..CellCount
    int32_t FrameCount = 0;         // frames the file declares
    double CurrentFrame = 0;        // playback position; may hold a fraction after a seek
    ActivityTable Activity;         // level and active frames per cell
    std::vector<CellPosition> CellPos{1};  // index = cell; row 0 belongs to no cell
    std::string DataFile;           // path of the file last loaded
    std::string Caption;            // window caption the load produced

    bool operator==(const CellModel&) const = default;
};

// MIDI note of `cell` among `cellCount` cells: floor((127 - cellCount) / 2 + cell).
// May lie outside 0..127 when there are more than 128 cells.
int noteOfCell(int16_t cellCount, int cell);

}  // namespace cellsonify
