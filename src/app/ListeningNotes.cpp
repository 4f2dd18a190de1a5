#include "app/ListeningNotes.h"

#include "playback/PitchMappingText.h"

namespace cellsonify {

std::string listeningNotes(const ListeningState& state) {
    std::string notes;
    // Short: the status line shares the window's width with the position.
    const auto add = [&notes](const std::string& note) { notes += (notes.empty() ? "" : " | ") + note; };
    if (state.playing && !state.soundOn) add("Sound is off: choose \"Sound ON\"");
    else if (state.hear == HearMode::SelectedOnly && state.selected == 0) add("Nothing heard: no cell selected");
    if (state.mapping.mode != PitchMode::Rows)
        add("Pitch: " + std::string(pitchModeName(state.mapping.mode)) + ", " + std::string(scaleName(state.mapping.scale)) +
            " on " + std::string(rootName(state.mapping.root)));
    if (state.rows != RowOrderKind::File) add("Rows: by " + std::string(rowOrderName(state.rows)));
    return notes;
}

}  // namespace cellsonify
