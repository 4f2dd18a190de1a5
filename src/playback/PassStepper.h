#pragma once

#include "model/CellModel.h"
#include "playback/ContextSounds.h"
#include "playback/NoteOffSchedule.h"
#include "playback/NoteVelocity.h"
#include "playback/PassTick.h"
#include "playback/VoiceTable.h"
#include "sound/MidiMessage.h"

#include <cstdint>
#include <optional>

namespace cellsonify {

// One pass of playback worked out once: each tick moves the play position a
// frame on and sends, timed, the MIDI messages that tick owes. Live playback
// runs it at the clock's time, MIDI and WAV exports at each tick's exact
// time, movies and pictures silently, so every pass lights the same cells and
// sends the same bytes in the same order. `model` and `voices` (a table of
// `model`) must outlive the stepper; a voice table replaced later is seen.
class PassStepper {
public:
    PassStepper(const CellModel& model, const VoiceTable& voices, NoteLength length = {},
                VelocityMode velocity = VelocityMode::Fixed)
        : model_(model), voices_(voices), offs_(length), velocity_(velocity) {}

    // Notes struck from now on last `length` / are as loud as `mode` makes them.
    void setNoteLength(NoteLength length) { offs_.setLength(length); }
    void setVelocityMode(VelocityMode mode) { velocity_ = mode; }

    // One tick at `nowMs`: the note-offs due by then go out, `position` moves
    // a frame on with a trail of `trail` frames, and when `sounding` each cell
    // lighting there that has a voice sends its note-on, lowest cell first,
    // preceded by its key's pending note-off, and then the sounds of the
    // model's context (ContextSounds). Messages go out as
    // send(atMs, message). Returns the tick, for the views.
    template <class Send>
    PassTick step(double& position, int trail, int64_t nowMs, bool sounding, Send&& send) {
        sendDue(nowMs, send);
        const PassTick tick = nextTick(position, model_.FrameCount, trail);
        if (sounding)
            forEachNoteOn(model_, voices_, tick, velocity_, [&](const MidiMessage& on) {
                offs_.beforeNoteOn(nowMs, on, [&](const TimedNoteOff& off) { send(off.atMs, off.off); });
                send(nowMs, on);
            });
        context_.step(model_.Context, tick, nowMs, sounding, send);
        return tick;
    }

    // Sends the note-offs due at or before `nowMs`, each at its own time.
    template <class Send>
    void sendDue(int64_t nowMs, Send&& send) {
        offs_.sendDue(nowMs, [&](const TimedNoteOff& off) { send(off.atMs, off.off); });
    }
    // Sends every pending note-off, the context's too (the end of a pass, stop, a change of output).
    template <class Send>
    void sendAll(Send&& send) {
        context_.release(send);  // at the last tick's time, before any note-off due later
        sendDue(INT64_MAX, send);
    }
    // When the next note-off is due; nothing when none is pending.
    std::optional<int64_t> nextDueMs() const { return offs_.nextDueMs(); }

private:
    const CellModel& model_;
    const VoiceTable& voices_;
    NoteOffSchedule offs_;
    VelocityMode velocity_;
    ContextSounds context_;
};

}  // namespace cellsonify
