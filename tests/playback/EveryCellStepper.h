#pragma once

namespace cellsonify {
struct CellModel;
class KeyRect;
class PlaybackHost;
}  // namespace cellsonify

namespace playbacktest {

// The frame tick written as the plain walk over cells 1..CellCount, each step
// in the order the tick is defined. Far too slow for playback; it is the
// reference the event-driven StepFrame must match call for call.
void StepFrameEveryCell(cellsonify::CellModel& model, const cellsonify::KeyRect& keys,
                        cellsonify::PlaybackHost& host);

}  // namespace playbacktest
