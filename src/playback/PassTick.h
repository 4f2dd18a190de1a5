#pragma once

#include "model/CellModel.h"
#include "playback/FrameCells.h"
#include "playback/NoteVelocity.h"
#include "playback/SoundingNotes.h"
#include "playback/VoiceTable.h"
#include "sound/MidiMessage.h"
#include "sound/NotePlayer.h"

#include <algorithm>
#include <cstdint>

namespace cellsonify {

// One timer tick of playback: where it stands and which frames it changes.
// PassStepper (PassStepper.h) is the one caller of nextTick, so the window,
// exports, movies and pictures agree on every frame, cell and note.
struct PassTick {
    double position = 0;     // the play position reached: where the cursors go, whose cells light
    double behind = 0;       // the trail's far end, whose cells return to rest (none when <= 0)
    int trail = 1;           // frames from `behind` to `position`
    bool passedEnd = false;  // beyond the last frame: playback rewinds, a pass ends
};

// Moves `position` one frame on, as the timer's tick does, with a trail of
// `trail` frames behind it, in a recording of `frameCount` frames. A double
// advanced by one, so every consumer stops exactly where the window rewinds.
PassTick nextTick(double& position, int64_t frameCount, int trail);

// The cells `tick` changes, lowest first: leaving(cell) for a cell returning
// to rest, before arriving(cell) for the same cell lighting now.
template <class Leaving, class Arriving>
void forEachChange(const CellModel& model, const PassTick& tick, Leaving&& leaving, Arriving&& arriving) {
    // Nothing trails off before the start; a frame index 0 would read levels.
    FrameCells off = tick.behind > 0 ? cellsLightingAt(model, tick.behind) : FrameCells();
    FrameCells on = cellsLightingAt(model, tick.position);
    // Merging the two ascending lists visits cells lowest first, as a walk
    // over every cell would.
    while (true) {
        const int cell = std::min(off.cell(), on.cell());
        if (cell == FrameCells::kDone) break;
        if (off.cell() == cell) {
            leaving(cell);
            off.next();
        }
        if (on.cell() == cell) {
            arriving(cell);
            on.next();
        }
    }
}

// The note-ons `tick` sends under `voices`: send(message) for each lighting
// cell that sounds, lowest first, at cellNoteVelocity under `mode` (0 once
// past the last frame).
template <class Send>
void forEachNoteOn(const CellModel& model, const VoiceTable& voices, const PassTick& tick, VelocityMode mode,
                   Send&& send) {
    for (FrameCells cells = cellsLightingAt(model, tick.position); cells.cell() != FrameCells::kDone; cells.next())
        if (const CellVoice voice = voices.voiceOf(cells.cell()); voice.sounds())
            send(noteOnMessage(voice.channel, voice.note, cellNoteVelocity(model, cells.cell(), tick.position, mode)));
}

}  // namespace cellsonify
