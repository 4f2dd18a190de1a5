#pragma once

#include "model/CellModel.h"
#include "playback/PlaybackHost.h"
#include "drawing/Canvas.h"

#include <string>

namespace playbackbench {

// A recording of `cells` cells x `frames` frames, each cell active in about 5 %
// of the frames, at random map positions; built once per size and kept.
const cellsonify::CellModel& recording(int cells, int frames);

// A canvas that draws nothing, to time the tick's own logic.
class NullCanvas : public cellsonify::Canvas {
public:
    void clear() override {}
    void line(float, float, float, float, int) override {}
    void filledBox(float, float, float, float, int) override {}
    void circle(float, float, float) override {}
    void setFillColour(int) override {}
    void setForeColour(int) override {}
};

// A window stand-in over any three canvases; counts notes, ignores the rest.
class BenchHost : public cellsonify::PlaybackHost {
public:
    BenchHost(cellsonify::Canvas& raster, cellsonify::Canvas& map, cellsonify::Canvas& keys)
        : raster_(raster), map_(map), keys_(keys) {}
    cellsonify::Canvas& raster() override { return raster_; }
    cellsonify::Canvas& cellMap() override { return map_; }
    cellsonify::Canvas& keyboard() override { return keys_; }
    void moveCursors(double) override {}
    void playNote(int) override { ++notes; }
    std::string speedText() const override { return speed; }
    void setSpeedText(const std::string& text) override { speed = text; }
    int timerInterval() const override { return interval; }
    void setTimerInterval(int ms) override { interval = ms; }
    void redrawViews() override {}
    void drawKeyboard() override {}
    void setStopButtonVisible(bool) override {}

    std::string speed = "50";
    int interval = 50;
    long long notes = 0;

private:
    cellsonify::Canvas& raster_;
    cellsonify::Canvas& map_;
    cellsonify::Canvas& keys_;
};

}  // namespace playbackbench
