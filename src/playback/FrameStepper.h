#pragma once

namespace cellsonify {

struct CellModel;
class KeyRect;
class PlaybackHost;
class VoiceTable;

// Playback's timer tick: advances one frame, paints what turns on (light red,
// with its note) and what falls off the end of the trail (light blue on the
// raster, grey on the map, the key back to rest), and at the end of the data
// stops and rewinds. Costs the events of two frames, not the number of cells.
// The notes it plays are those forEachSoundingNote (SoundingNotes.h) names.
void StepFrame(CellModel& model, const KeyRect& keys, PlaybackHost& host);

// The same step with each cell's key and channel taken from `voices` (a table
// of `model`): the key a cell lights is the note it plays, sent through
// host.playVoice. With the rows table it paints and sounds what StepFrame does.
void StepFrame(CellModel& model, const KeyRect& keys, PlaybackHost& host, const VoiceTable& voices);

// Back to the start and going again: resting keyboard, views redrawn, frame 0,
// cursors at 0, timer interval from the SPEED text (kept if the text gives none).
void RestartPlayback(CellModel& model, PlaybackHost& host);

}  // namespace cellsonify
