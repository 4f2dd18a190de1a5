#pragma once

#include <cstdint>
#include <string>

namespace cellsonify {

// How a pass's cells became notes: what merging and the note budget did.
struct VoicingReport {
    int mostCells = 0;           // sounding cells lighting in one frame, at most
    int mostNotes = 0;           // notes one frame started, at most
    int64_t mergedCells = 0;     // cells heard through a note another cell of their frame struck too
    int64_t droppedNotes = 0;    // notes the budget left out
    int64_t releasedNotes = 0;   // ringing notes released early to make room

    // Whether any cell went unheard as a note of its own.
    bool merges() const { return mergedCells > 0 || droppedNotes > 0; }
    // Whether every cell was heard as a note of its own and no note was cut short.
    bool oneNotePerCell() const { return !merges() && releasedNotes == 0; }
    bool operator==(const VoicingReport&) const = default;
};

// One line for the status bar and render's summary, e.g. "18000 cells: up to
// 1042 in a frame, heard as at most 64 notes (950 cells merged, 3 notes over
// the budget of 64 left out)"; empty when every cell was heard on its own.
std::string voicingSummary(int cellCount, const VoicingReport& report, int budget);

}  // namespace cellsonify
