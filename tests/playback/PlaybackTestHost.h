#pragma once

#include "model/CellModel.h"
#include "playback/PlaybackSteps.h"
#include "playback/PitchMapping.h"
#include "playback/PlaybackHost.h"
#include "playback/VoiceTable.h"
#include "drawing/KeyGeometry.h"
#include "support/RecordingCanvas.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace playbacktest {

// One timer tick as the window runs it under the rows mapping (StepFrame with
// its voice table).
inline cellsonify::PassTick stepRows(cellsonify::CellModel& model, const cellsonify::KeyRect& keys,
                                     cellsonify::PlaybackHost& host) {
    return cellsonify::StepFrame(model, keys, host, cellsonify::voiceTable(model, cellsonify::PitchMapping{}));
}

// A window stand-in: recording canvases, the notes played, and one ordered log
// of every other host call ("cursors 13.5", "note 60", "interval 0", "redraw",
// "keyboard", "text 0", "stop shown", "stop hidden").
class TestHost : public cellsonify::PlaybackHost {
public:
    cellsonify::Canvas& raster() override { return rasterCanvas; }
    cellsonify::Canvas& cellMap() override { return mapCanvas; }
    cellsonify::Canvas& keyboard() override { return keyCanvas; }
    void moveCursors(double frame) override;
    void playNote(int note) override;
    std::string speedText() const override { return speed; }
    // Like a line edit: raises onSpeedChange only when the text changes,
    // unless signalsEveryWrite is set.
    void setSpeedText(const std::string& text) override;
    int timerInterval() const override { return interval; }
    void setTimerInterval(int ms) override;
    void redrawViews() override { events.push_back("redraw"); }
    void drawKeyboard() override { events.push_back("keyboard"); }
    void setStopButtonVisible(bool visible) override { events.push_back(visible ? "stop shown" : "stop hidden"); }

    // Forgets everything recorded so far (state such as the interval stays).
    void forget();

    cellsonify::RecordingCanvas rasterCanvas, mapCanvas, keyCanvas;
    std::vector<int> notes;
    std::vector<std::string> events;
    std::string speed = "50";
    int interval = 0;
    bool signalsEveryWrite = false;
    std::function<void()> onSpeedChange;
    // Model whose CurrentFrame is logged with each cursor move, when set.
    const cellsonify::CellModel* watched = nullptr;
};

// Cell `cell` active in `frames`.
using CellFrames = std::pair<int, std::vector<int>>;

// A model of `cellCount` cells (level 1 each) and `frameCount` frames; cell c
// sits at (c / 1000, c / 2000) on the map.
cellsonify::CellModel makeModel(int cellCount, int frameCount, std::initializer_list<CellFrames> active);

// Key table filled as the keyboard view fills it.
cellsonify::KeyRect filledKeys();

// Raster lines as (x, top row, colour) for compact checks.
struct RasterMark {
    float x;
    float row;
    int colour;
    bool operator==(const RasterMark&) const = default;
};
std::vector<RasterMark> rasterMarks(const cellsonify::RecordingCanvas& raster);

}  // namespace playbacktest
