#include "playback/PlaybackController.h"

#include "drawing/KeyGeometry.h"
#include "playback/PlaybackSteps.h"
#include "playback/PlaybackDisplay.h"
#include "sound/Instruments.h"
#include "sound/ReportingOutput.h"

#include <algorithm>

namespace cellsonify {

namespace {

constexpr int kCentrePan = 64;
constexpr uint8_t kAllNotesOff = 123;

int keyIndex(const MidiMessage& m) { return m.channel() * 128 + (m.data1 & 0x7F); }

}  // namespace

PlaybackController::PlaybackController(PlaybackDisplay& display, const KeyRect& keys, MidiOutput* midi,
                                       PacedTimer::Clock clock)
    : display_(display), keys_(keys), midi_(midi), timer_([this] { tick(); }, std::move(clock)), transport_(*this) {
    voices_ = voiceTable(model_, settings_.pass.mapping);
    clock_.start();
    offTimer_.setSingleShot(true);
    offTimer_.callOnTimeout([this] { sendDueNoteOffs(); });
}

std::optional<std::string> PlaybackController::openSound() {
    if (midi_ && midi_->open() == 0) {
        sendSetup();
        return std::nullopt;
    }
    return midi_ ? lastErrorOf(*midi_) : std::string("no MIDI output");
}

void PlaybackController::replaceRecording(CellModel recording) {
    if (!model_.Context.empty()) sendAllNoteOffs();  // the old context's tones stop with it
    model_ = std::move(recording);
    stepper_.contextChanged();
    model_.CurrentFrame = 0;
    voices_ = voiceTable(model_, settings_.pass.mapping);
    stepper_.resetReport();
    if (!model_.Context.empty()) sendSetup();  // the new one's tones need their channels set up
}

void PlaybackController::setContext(RecordingContext context) {
    sendAllNoteOffs();
    model_.Context = std::move(context);
    stepper_.contextChanged();
    sendSetup();
}

void PlaybackController::stop() {
    transport_.stop();
    sendAllNoteOffs();
    releaseKeysDown();
}

void PlaybackController::back() {
    transport_.back(model_);
    sendAllNoteOffs();
    // Playing on, the notes ring into the restart as they would at a loop;
    // stopped, nothing should go on sounding.
    if (!transport_.playing()) releaseKeysDown();
}

void PlaybackController::releaseKeysDown() {
    for (int key = 0; key < 16 * 128; ++key)
        if (down_.test(static_cast<std::size_t>(key))) send(noteOffMessage(key / 128, key % 128));
}

void PlaybackController::setMapping(const PitchMapping& mapping) {
    VoiceTable fresh = voiceTable(model_, mapping);  // throws before anything changes
    sendAllNoteOffs();
    settings_.pass.mapping = mapping;
    voices_ = std::move(fresh);
    sendSetup();
}

void PlaybackController::setSelection(const CellSelection& selection) {
    model_.Selection = selection;
    voices_ = voiceTable(model_, settings_.pass.mapping);
}

void PlaybackController::setRowOrder(const RowOrder& order) {
    model_.Rows = order;
    model_.touch();
    voices_ = voiceTable(model_, settings_.pass.mapping);
}

void PlaybackController::setNoteLength(NoteLength length) {
    settings_.pass.noteLength = length;
    stepper_.setNoteLength(length);
}

void PlaybackController::setVelocityMode(VelocityMode mode) {
    settings_.pass.velocity = mode;
    stepper_.setVelocityMode(mode);
}

void PlaybackController::setNotesPerFrame(int notes) {
    stepper_.setNotesPerFrame(notes);
    settings_.pass.notesPerFrame = stepper_.notesPerFrame();
}

void PlaybackController::switchOutput(MidiOutput* next) {
    sendAllNoteOffs();
    releaseKeysDown();
    if (midi_) {
        for (const VoiceChannel& c : voices_.channels())
            midi_->shortMessage({static_cast<uint8_t>(0xB0 | c.channel), kAllNotesOff, 0});
        for (int channel = 0; channel < 16; ++channel)
            if (panned_.test(static_cast<std::size_t>(channel))) midi_->shortMessage(panMessage(channel, kCentrePan));
    }
    down_.reset();
    panned_.reset();
    midi_ = next;
    sendSetup();
}

void PlaybackController::sendDueNoteOffs() {
    stepper_.sendDue(nowMs(), [this](int64_t, const MidiMessage& off) { send(off); });
    armNoteOffTimer();
}

void PlaybackController::sendAllNoteOffs() {
    stepper_.sendAll([this](int64_t, const MidiMessage& off) { send(off); });
    offTimer_.stop();
}

void PlaybackController::armNoteOffTimer() {
    const std::optional<int64_t> due = stepper_.nextDueMs();
    if (!due) {
        offTimer_.stop();
        return;
    }
    offTimer_.start(static_cast<int>(std::max<int64_t>(0, *due - nowMs())));
}

void PlaybackController::send(const MidiMessage& message) {
    if (!midi_) return;
    const int kind = message.kind();
    if (kind == 0x90 && message.data2 > 0)
        down_.set(static_cast<std::size_t>(keyIndex(message)));
    else if (kind == 0x80 || kind == 0x90)
        down_.reset(static_cast<std::size_t>(keyIndex(message)));
    midi_->shortMessage(message);
}

void PlaybackController::sendSetup() {
    if (!midi_) return;
    const Instrument& instrument = *settings_.pass.instrument;
    std::bitset<16> pannedNow;
    for (const VoiceChannel& c : voices_.channels())
        if (c.pan) pannedNow.set(c.channel);
    for (int channel = 0; channel < 16; ++channel)
        if (panned_.test(static_cast<std::size_t>(channel)) && !pannedNow.test(static_cast<std::size_t>(channel)))
            midi_->shortMessage(panMessage(channel, kCentrePan));
    for (const MidiMessage& m : voiceSetupMessages(voices_, instrument.program)) midi_->shortMessage(m);
    for (const MidiMessage& m : contextSetupMessages(model_.Context)) midi_->shortMessage(m);
    panned_ = pannedNow;
}

void PlaybackController::speedTextChanged(const std::string& text) {
    settings_.pass.setSpeedText(text);
    if (speedFromProgram_) transport_.speedSet();
    else transport_.speedChanged();
}

void PlaybackController::setSpeed(const std::string& text) {
    speedFromProgram_ = true;
    display_.showSpeedText(text);  // the box reports the change back through speedTextChanged
    speedFromProgram_ = false;
}

void PlaybackController::chooseInstrument(int index) {
    const Instrument& instrument = kInstruments.at(static_cast<std::size_t>(index - 1));
    settings_.pass.instrument = &instrument;
    sendSetup();
    if (instrument.repaintsViews) {
        display_.drawKeyboard();
        display_.redrawViews();
    }
}

void PlaybackController::tick() {
    const int before = timer_.interval();
    const bool sounding = midi_ && settings_.soundOn;
    const PassTick step =
        stepper_.step(model_.CurrentFrame, settings_.pass.trail, nowMs(), sounding, [this](int64_t, const MidiMessage& m) { send(m); });
    inTick_ = true;
    stoppedInTick_ = false;
    showTick(model_, keys_, *this, step, &voices_);
    inTick_ = false;
    // Once per tick rather than per note: a dense frame strikes hundreds.
    armNoteOffTimer();
    // At the end of the data the tick stops the timer and restarts it from the
    // speed text. A text that gives no interval ("1e10") would leave it
    // stopped for good with the stop button still showing: keep the loop going
    // at the interval it ran at.
    if (stoppedInTick_ && timer_.interval() == 0) timer_.setInterval(before);
}

Canvas& PlaybackController::raster() { return display_.raster(); }
Canvas& PlaybackController::cellMap() { return display_.cellMap(); }
Canvas& PlaybackController::keyboard() { return display_.keyboard(); }
void PlaybackController::moveCursors(double frame) { display_.moveCursors(frame); }

void PlaybackController::setSpeedText(const std::string& text) { display_.showSpeedText(text); }

void PlaybackController::setTimerInterval(int ms) {
    if (inTick_ && ms == 0) stoppedInTick_ = true;
    timer_.setInterval(ms);
}

void PlaybackController::redrawViews() { display_.redrawViews(); }
void PlaybackController::drawKeyboard() { display_.drawKeyboard(); }
void PlaybackController::setStopButtonVisible(bool visible) { display_.setStopButtonVisible(visible); }

}  // namespace cellsonify
