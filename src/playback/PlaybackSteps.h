#pragma once

#include "playback/PassTick.h"

#include <functional>

namespace cellsonify {

struct CellModel;
class KeyRect;
class PlaybackHost;
class VoiceTable;

// Shows `tick` on the host: the cursors at its position, what turns on (light
// red on the raster and map, its key red) and what falls off the end of the
// trail (light blue on the raster, grey on the map, the key back to rest);
// then `afterPainting`; then, once the tick has passed the last frame, stops
// and rewinds. Costs the events of two frames, not the number of cells. Each
// cell's key comes from `voices` (a table of `model`; several cells may share
// a key) or, when null, the rows rule (keyOfCell).
void showTick(CellModel& model, const KeyRect& keys, PlaybackHost& host, const PassTick& tick,
              const VoiceTable* voices, const std::function<void()>& afterPainting = {});

// Playback's timer tick run whole through a PassStepper: the position moves a
// frame on, showTick paints it, and the notes the tick strikes are told to
// host.playNote after the painting. Each cell's key and note come from
// `voices` (a table of `model`): the key a cell lights is the note it plays.
PassTick StepFrame(CellModel& model, const KeyRect& keys, PlaybackHost& host, const VoiceTable& voices);

// Back to the start and going again: resting keyboard, views redrawn, frame 0,
// cursors at 0, timer interval from the SPEED text (kept if the text gives none).
void RestartPlayback(CellModel& model, PlaybackHost& host);

}  // namespace cellsonify
