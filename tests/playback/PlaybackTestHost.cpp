#include "PlaybackTestHost.h"

#include "drawing/KeyGeometry.h"

#include <sstream>
#include <stdexcept>

namespace playbacktest {

using namespace cellsonify;

void TestHost::moveCursors(double frame) {
    std::ostringstream s;
    s << "cursors " << frame;
    if (watched) s << " at " << watched->CurrentFrame;
    events.push_back(s.str());
}

void TestHost::playNote(int note) {
    notes.push_back(note);
    events.push_back("note " + std::to_string(note));
}

void TestHost::setSpeedText(const std::string& text) {
    events.push_back("text " + text);
    const bool changed = text != speed;
    speed = text;
    if ((changed || signalsEveryWrite) && onSpeedChange) onSpeedChange();
}

void TestHost::setTimerInterval(int ms) {
    interval = ms;
    events.push_back("interval " + std::to_string(ms));
}

void TestHost::forget() {
    rasterCanvas.calls.clear();
    mapCanvas.calls.clear();
    keyCanvas.calls.clear();
    notes.clear();
    events.clear();
}

CellModel makeModel(int cellCount, int frameCount, std::initializer_list<CellFrames> active) {
    std::vector<std::vector<int>> framesOf(static_cast<std::size_t>(cellCount) + 1);
    for (const auto& [cell, frames] : active) {
        if (cell < 1 || cell > cellCount) throw std::invalid_argument("cell outside the model");
        framesOf[cell] = frames;
    }
    ActivityBuilder builder;
    CellModel model;
    for (int c = 1; c <= cellCount; ++c) {
        builder.beginCell(1);
        for (int f : framesOf[c]) builder.addFrame(f);
        model.CellPos.push_back({c / 1000.0, c / 2000.0});
    }
    model.CellCount = static_cast<int32_t>(cellCount);
    model.FrameCount = frameCount;
    model.Activity = builder.finish();
    return model;
}

KeyRect filledKeys() {
    KeyRect keys;
    keys.fill();
    return keys;
}

std::vector<RasterMark> rasterMarks(const RecordingCanvas& raster) {
    std::vector<RasterMark> marks;
    for (const RecordingCanvas::Call& c : raster.calls) {
        if (c.op != RecordingCanvas::Op::Line) throw std::logic_error("raster got a call other than a line");
        if (c.x1 != c.x2 || c.y2 != c.y1 + 1.0f) throw std::logic_error("raster line is not one cell tall");
        marks.push_back({c.x1, c.y1, c.colour});
    }
    return marks;
}

}  // namespace playbacktest
