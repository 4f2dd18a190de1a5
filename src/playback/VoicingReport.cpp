#include "playback/VoicingReport.h"

namespace cellsonify {

std::string voicingSummary(int cellCount, const VoicingReport& report, int budget) {
    if (!report.merges()) return {};
    std::string text = std::to_string(cellCount) + " cells: up to " + std::to_string(report.mostCells) +
                       " in a frame, heard as at most " + std::to_string(report.mostNotes) + " notes (" +
                       std::to_string(report.mergedCells) + " cells merged";
    if (report.droppedNotes > 0)
        text += ", " + std::to_string(report.droppedNotes) + " notes over the budget of " + std::to_string(budget) +
                " left out";
    return text + ")";
}

}  // namespace cellsonify
