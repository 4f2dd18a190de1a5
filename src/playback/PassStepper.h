#pragma once

#include "model/CellModel.h"
#include "playback/FrameNotes.h"
#include "playback/ContextSounds.h"
#include "playback/NoteOffSchedule.h"
#include "playback/NoteVelocity.h"
#include "playback/PassTick.h"
#include "playback/RingingNotes.h"
#include "playback/VoiceTable.h"
#include "playback/VoicingReport.h"
#include "sound/MidiMessage.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace cellsonify {

// One pass of playback worked out once: each tick moves the play position a
// frame on and sends, timed, the MIDI messages that tick owes. Live playback
// runs it at the clock's time, MIDI and WAV exports at each tick's exact
// time, movies and pictures silently, so every pass lights the same cells and
// sends the same bytes in the same order. A frame's cells on one key become
// one note, at most a budget of notes start in a frame, and past twice the
// budget of ringing keys the oldest are released (FrameNotes, RingingNotes).
// `model` and `voices` (a table of `model`) must outlive the stepper; a voice
// table replaced later is seen.
class PassStepper {
public:
    PassStepper(const CellModel& model, const VoiceTable& voices, NoteLength length = {},
                VelocityMode velocity = VelocityMode::Fixed, int notesPerFrame = kDefaultNotesPerFrame)
        : model_(model), voices_(voices), offs_(length), velocity_(velocity) {
        setNotesPerFrame(notesPerFrame);
    }

    // Notes struck from now on last `length` / are as loud as `mode` makes them.
    void setNoteLength(NoteLength length) { offs_.setLength(length); }
    void setVelocityMode(VelocityMode mode) { velocity_ = mode; }
    // Frames from now on start at most `notes` notes (clamped to the range).
    void setNotesPerFrame(int notes) {
        budget_ = std::clamp(notes, kLeastNotesPerFrame, kMostNotesPerFrame);
    }
    int notesPerFrame() const { return budget_; }
    // What merging and the budget have done so far.
    const VoicingReport& report() const { return report_; }
    // Forgets what merging and the budget have done (a new recording).
    void resetReport() { report_ = {}; }
    // The last sounding frame alone.
    const VoicingReport& lastFrame() const { return frameReport_; }

    // One tick at `nowMs`: the note-offs due by then go out, `position` moves
    // a frame on with a trail of `trail` frames, and when `sounding` the
    // cells lighting there that have voices strike their keys: one note-on a
    // key, at most the budget of them, in the order of their lowest cells,
    // each preceded by its key's pending note-off; before them the oldest
    // ringing keys are released when too many would ring; then the sounds of
    // the model's context (ContextSounds). Messages go out as
    // send(atMs, message). Returns the tick, for the views.
    template <class Send>
    PassTick step(double& position, int trail, int64_t nowMs, bool sounding, Send&& send) {
        sendDue(nowMs, send);
        const PassTick tick = nextTick(position, model_.FrameCount, trail);
        if (sounding) {
            frame_.clear();
            forEachNoteOn(model_, voices_, tick, velocity_, [&](const MidiMessage& on) { frame_.add(on); });
            const std::vector<MidiMessage>& notes = frame_.choose(budget_);
            const int released = ringing_.makeRoom(notes, kRingingNotesPerBudgetNote * budget_, [&](const MidiMessage& off) {
                offs_.forget(off);
                send(nowMs, off);
            });
            for (const MidiMessage& on : notes) {
                offs_.beforeNoteOn(nowMs, on, [&](const TimedNoteOff& off) { send(off.atMs, off.off); });
                ringing_.observe(on);
                send(nowMs, on);
            }
            count(released);
        }
        context_.step(model_.Context, tick, nowMs, sounding, send);
        return tick;
    }

    // Sends the note-offs due at or before `nowMs`, each at its own time.
    template <class Send>
    void sendDue(int64_t nowMs, Send&& send) {
        offs_.sendDue(nowMs, [&](const TimedNoteOff& off) {
            ringing_.observe(off.off);
            send(off.atMs, off.off);
        });
    }
    // Sends every pending note-off, the context's too (the end of a pass, stop, a change of output).
    template <class Send>
    void sendAll(Send&& send) {
        context_.release(send);  // at the last tick's time, before any note-off due later
        sendDue(INT64_MAX, send);
    }
    // The model's context was replaced or changed: what was worked out from it is worked out again.
    void contextChanged() { context_.forgetContext(); }
    // When the next note-off is due; nothing when none is pending.
    std::optional<int64_t> nextDueMs() const { return offs_.nextDueMs(); }

private:
    void count(int released) {
        frameReport_ = {frame_.cells(), frame_.keys() - frame_.dropped(), frame_.cells() - frame_.keys(),
                         frame_.dropped(), released};
        report_.mostCells = std::max(report_.mostCells, frameReport_.mostCells);
        report_.mostNotes = std::max(report_.mostNotes, frameReport_.mostNotes);
        report_.mergedCells += frameReport_.mergedCells;
        report_.droppedNotes += frameReport_.droppedNotes;
        report_.releasedNotes += released;
    }

    const CellModel& model_;
    const VoiceTable& voices_;
    NoteOffSchedule offs_;
    VelocityMode velocity_;
    int budget_ = kDefaultNotesPerFrame;
    FrameNotes frame_;
    RingingNotes ringing_;
    VoicingReport report_;
    VoicingReport frameReport_;
    ContextSounds context_;
};

}  // namespace cellsonify
