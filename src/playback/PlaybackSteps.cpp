#include "playback/PlaybackSteps.h"

#include "model/CellModel.h"
#include "playback/PassStepper.h"
#include "playback/PitchMapping.h"
#include "playback/PlaybackHost.h"
#include "playback/SoundingNotes.h"
#include "drawing/Canvas.h"
#include "drawing/CellDots.h"
#include "drawing/KeyGeometry.h"
#include "drawing/Palette.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <optional>
#include <vector>

namespace cellsonify {

namespace {

// Paints one frame's changes. The map's fill and fore colours are set only
// where a dot follows or at the end, yet every dot and the final state see
// the colours a walk over all cells would leave: grey before a trailing dot,
// red before a current one, red at the end.
class FramePainter {
public:
    FramePainter(const CellModel& model, const KeyRect& keys, PlaybackHost& host, const VoiceTable* voices)
        : model_(model), keys_(keys), host_(host), map_(host.cellMap()), voices_(voices) {
        litBefore_.fill(kNoCell);
    }

    // With a voice table several cells may share a key: notes the cells lit
    // at `position` (a frame still inside the trail) play, so that a cell
    // fading does not reset a key another cell still lights.
    void stillLit(double position) {
        for (FrameCells cells = cellsLightingAt(model_, position); cells.cell() != FrameCells::kDone; cells.next()) {
            const std::optional<int> note = keyOf(cells.cell());
            if (!note) continue;
            int& first = litBefore_[static_cast<std::size_t>(*note)];
            if (first == kNoCell) first = cells.cell();
            else if (first != cells.cell()) first = kSeveralCells;
        }
    }

    void trailing(int cell, double position) {
        useMapColour(kLightGrey);
        dot(cell);
        rasterMark(cell, position, kLightBlue, true);
        const std::optional<int> note = keyOf(cell);
        // Cells sharing a note: one lit this frame, or another one lit since
        // this cell was, keeps its key red.
        if (!note || litNow_.test(static_cast<std::size_t>(*note))) return;
        const int before = litBefore_[static_cast<std::size_t>(*note)];
        if (before == kSeveralCells || (before != kNoCell && before != cell)) return;
        const KeyRectRow& key = keys_(*note);
        keyBox(key, KeyRect::isBlack(key) ? kBlack : kWhite);
    }

    void current(int cell, double position) {
        useMapColour(kLightRed);
        rasterMark(cell, position, kLightRed);
        dot(cell);
        const std::optional<int> note = keyOf(cell);
        if (!note) return;
        keyBox(keys_(*note), kLightRed);
        litNow_.set(static_cast<std::size_t>(*note));
    }

    void finish() {
        if (model_.CellCount >= 1) useMapColour(kLightRed);
    }

private:
    std::optional<int> keyOf(int cell) const {
        if (!voices_) return keyOfCell(model_.CellCount, cell);
        const CellVoice voice = voices_->voiceOf(cell);
        return voice.sounds() ? std::optional<int>(voice.note) : std::nullopt;
    }

    void useMapColour(int colour) {
        if (mapColour_ == colour) return;
        map_.setFillColour(colour);
        map_.setForeColour(colour);
        mapColour_ = colour;
    }

    void dot(int cell) {
        const CellPosition at = cell < static_cast<int>(model_.CellPos.size()) ? model_.CellPos[cell] : CellPosition{};
        map_.circle(static_cast<float>(at.X), static_cast<float>(at.Y), cellDotRadius(model_.CellCount));
    }

    // A trailing mark goes back to what the resting raster shows there (its
    // blue, or its shade where cells or frames share pixels).
    void rasterMark(int cell, double position, int colour, bool resting = false) {
        const float x = static_cast<float>(position);
        const float row = static_cast<float>(model_.CellCount - model_.Rows.placeOf(cell));
        if (resting) host_.raster().restLine(x, row, x, row + 1.0f, colour);
        else host_.raster().line(x, row, x, row + 1.0f, colour);
    }

    void keyBox(const KeyRectRow& key, int colour) {
        host_.keyboard().filledBox(key.left, key.top, key.right, key.bottom, colour);
    }

    const CellModel& model_;
    const KeyRect& keys_;
    PlaybackHost& host_;
    Canvas& map_;
    const VoiceTable* voices_;  // null: the rows rule, one channel
    int mapColour_ = -1;  // unknown until this frame sets it
    std::bitset<128> litNow_;  // keys lit red by this frame's cells
    static constexpr int kNoCell = 0, kSeveralCells = -1;
    std::array<int, 128> litBefore_{};  // per key: the one cell lighting it inside the trail, or none or several
};

void paintFrame(const CellModel& model, const KeyRect& keys, PlaybackHost& host, const PassTick& tick,
                const VoiceTable* voices) {
    FramePainter painter(model, keys, host, voices);
    // Only a voice table lets cells share a key (the rows rule gives each its own).
    if (voices && voices->sharesKeys() && tick.behind > 0)
        for (int k = 1; k < tick.trail; ++k) painter.stillLit(tick.behind + k);
    forEachChange(
        model, tick, [&](int cell) { painter.trailing(cell, tick.behind); },
        [&](int cell) { painter.current(cell, tick.position); });
    painter.finish();
}

}  // namespace

namespace {

// Notes the host hears after the views are painted: the host's own log then
// reads as the window runs a tick (cursors, pictures, notes, rewind).
void playNotes(PlaybackHost& host, const std::vector<int>& notes) {
    for (int note : notes) host.playNote(note);
}

}  // namespace

void showTick(CellModel& model, const KeyRect& keys, PlaybackHost& host, const PassTick& tick, const VoiceTable* voices,
              const std::function<void()>& afterPainting) {
    host.moveCursors(static_cast<float>(tick.position));
    paintFrame(model, keys, host, tick, voices);
    if (afterPainting) afterPainting();
    if (tick.passedEnd) {
        host.setTimerInterval(0);
        RestartPlayback(model, host);
    }
}

PassTick StepFrame(CellModel& model, const KeyRect& keys, PlaybackHost& host, const VoiceTable& voices) {
    // The host is told every key the frame strikes: no budget here, as these
    // notes are only shown or counted (the window's sound goes through its
    // controller's stepper, which keeps the budget).
    PassStepper stepper(model, voices, {}, VelocityMode::Fixed, kMostNotesPerFrame);
    std::vector<int> notes;
    const PassTick tick = stepper.step(model.CurrentFrame, host.trail(), 0, true,
                                       [&](int64_t, const MidiMessage& on) { notes.push_back(on.data1); });
    showTick(model, keys, host, tick, &voices, [&] { playNotes(host, notes); });
    return tick;
}

void RestartPlayback(CellModel& model, PlaybackHost& host) {
    host.drawKeyboard();
    host.redrawViews();
    model.CurrentFrame = 0;
    host.moveCursors(0.0f);
    applySpeedToTimer(host);
}

}  // namespace cellsonify
