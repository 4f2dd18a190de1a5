#pragma once

#include "model/CellSelection.h"
#include "model/RowOrder.h"
#include "playback/PitchMapping.h"

#include <string>

namespace cellsonify {

// What decides whether, and how, a user hears the recording.
struct ListeningState {
    bool playing = false;
    bool soundOn = false;
    PitchMapping mapping;
    RowOrderKind rows = RowOrderKind::File;
    HearMode hear = HearMode::All;
    int selected = 0;  // cells picked
};

// The status line's words for what a user could not otherwise tell: why
// nothing is heard while playing (sound off, nothing picked to hear), and the
// pitch mapping and row order when they are not the start ones (both carry
// over, the mapping even between runs). Empty when there is nothing to say.
std::string listeningNotes(const ListeningState& state);

}  // namespace cellsonify
