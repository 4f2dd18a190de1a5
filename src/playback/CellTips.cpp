#include "playback/CellTips.h"

#include "model/CellModel.h"
#include "model/CellOrdering.h"
#include "playback/PitchMappingText.h"
#include "playback/VoiceTable.h"

#include <algorithm>
#include <cstdio>

namespace cellsonify {

std::string cellTipText(const CellModel& model, const VoiceTable& voices, int cell,
                        const std::vector<CellPosition>& sourcePixels) {
    std::string text = "Cell " + std::to_string(cell);
    if (cell < static_cast<int>(model.SourceRoi.size()))
        text += "\nROI " + std::to_string(model.SourceRoi[cell]) + " in the source";
    if (cell < static_cast<int>(model.SourcePlane.size())) text += ", plane" + std::to_string(model.SourcePlane[cell]);
    const CellPosition at = cell < static_cast<int>(model.CellPos.size()) ? model.CellPos[cell] : CellPosition{};
    char where[96];
    if (cell < static_cast<int>(sourcePixels.size()))
        std::snprintf(where, sizeof where, "\ncolumn %.1f, row %.1f in the source image", sourcePixels[cell].X,
                      sourcePixels[cell].Y);
    else
        std::snprintf(where, sizeof where, "\nx %.3f, y %.3f on the map", at.X, at.Y);
    text += where;
    const std::span<const int32_t> frames = model.Activity.framesOf(cell);
    const auto events = std::upper_bound(frames.begin(), frames.end(), model.FrameCount) - frames.begin();
    text += "\n" + std::to_string(events) + (events == 1 ? " event" : " events");
    if (const CellVoice voice = voices.voiceOf(cell); voice.sounds())
        text += "\nPlays " + noteName(voice.note) + " (note " + std::to_string(voice.note) + ")";
    else if (!model.Selection.heard(cell))
        text += "\nSilent: not among the cells heard";
    else
        text += "\nSilent: no key for it under this mapping";
    return text;
}

}  // namespace cellsonify
