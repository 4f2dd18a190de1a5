#pragma once

#include "model/CellModel.h"
#include "playback/PacedTimer.h"
#include "playback/PassStepper.h"
#include "playback/PlaybackHost.h"
#include "playback/PlaybackSettings.h"
#include "playback/Transport.h"
#include "playback/VoiceTable.h"

#include <QElapsedTimer>
#include <QTimer>

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>

namespace cellsonify {

class KeyRect;
class MidiOutput;
class PlaybackDisplay;

// Owns playback: the loaded recording (read-only to everyone else) with its
// play position, the settings the window writes, the paced timer and the
// transport. The window forwards user actions here and shows what this asks
// for through PlaybackDisplay; notes go to the MIDI output (none: silent).
// Each cell's note and channel come from a voice table of the recording under
// the chosen pitch mapping; with a fixed note length the note-offs go out when
// due (checked at each tick and by a timer of their own).
class PlaybackController : private PlaybackHost {
public:
    // `display`, `keys` and `midi` (may be null) must outlive this. The timer
    // reads `clock` (empty: the steady clock).
    PlaybackController(PlaybackDisplay& display, const KeyRect& keys, MidiOutput* midi, PacedTimer::Clock clock = {});

    const CellModel& model() const { return model_; }
    const PlaybackSettings& settings() const { return settings_; }

    // --- what the window reports
    // Opens the MIDI output and sends the mapping's setup (the instrument's
    // program on each channel, pans in position mode). Returns why there is
    // no sound (the output's own reason, or "no MIDI output") when it cannot.
    std::optional<std::string> openSound();
    // A new recording, shown from frame 0; the timer keeps running.
    void replaceRecording(CellModel recording);
    // New context, or new choices of how it sounds (the Sound > Context
    // menu, File > Add Events): what it sounded is let go, the setup sent.
    void setContext(RecordingContext context);
    // The speed box text changed (typed, or set through showSpeedText).
    void speedTextChanged(const std::string& text);
    // The program sets the speed (real time, an import's own pace): the box
    // shows `text`, and playback neither starts nor stops.
    void setSpeed(const std::string& text);
    void soundSwitched(bool on) { settings_.soundOn = on; }
    // Instrument option `index` (1..7) was chosen: its program change, then
    // (all but "Brightness") the resting keyboard and views.
    void chooseInstrument(int index);
    void play() { transport_.play(); }
    // Stop and back also send every pending note-off; Stop, and Back while
    // stopped, release every key still down too, so ringing notes end.
    void stop();
    void back();
    // A press on the raster or the frame strip at `frame` (unrounded).
    void seek(double frame) { transport_.seek(model_, frame); }
    // One timer tick, as the timer runs it: the stepper's tick, its notes sent
    // with "Sound ON", shown on the views (showTick).
    void tick();

    // --- sound mappings and outputs (the Sound menu)
    // A new pitch mapping: pending note-offs go out, the voices are rebuilt
    // and the setup is sent (pans back to the centre when leaving position
    // mode). Throws SoundMappingError, changing nothing, for one that cannot sound.
    void setMapping(const PitchMapping& mapping);
    // Notes struck from now on last `length`.
    void setNoteLength(NoteLength length);
    // Notes struck from now on are as loud as `mode` makes them.
    void setVelocityMode(VelocityMode mode);
    // Frames from now on start at most `notes` notes.
    void setNotesPerFrame(int notes);
    // What merging and the note budget have done since the recording was loaded.
    const VoicingReport& voicing() const { return stepper_.report(); }
    // Plays through `next` (already opened; null: silent) from now on. The old
    // output first gets every pending note-off, a note-off for every key still
    // down, "all notes off" and centred pans, so nothing keeps sounding there;
    // the new one gets the setup.
    void switchOutput(MidiOutput* next);
    MidiOutput* output() const { return midi_; }
    // Every cell's voice under the current mapping.
    const VoiceTable& voices() const { return voices_; }
    // --- the cells (the Cells and View menus)
    // The cells picked and which of them sound: the voices follow at once;
    // the pictures do not change.
    void setSelection(const CellSelection& selection);
    // A new row order for the raster and, in rows and scale mappings, the
    // notes. The model's pictures change: the caller redraws the views.
    void setRowOrder(const RowOrder& order);

    // Sends the note-offs whose time has come.
    void sendDueNoteOffs();

    PacedTimer& timer() { return timer_; }
    Transport& transport() { return transport_; }

    // Playback timer interval in ms; 0 while stopped.
    int timerInterval() const override { return timer_.interval(); }

private:
    // PlaybackHost, for the stepper and the transport only: the window
    // hears of all this through PlaybackDisplay.
    Canvas& raster() override;
    Canvas& cellMap() override;
    Canvas& keyboard() override;
    void moveCursors(double frame) override;
    std::string speedText() const override { return settings_.pass.speedText; }
    int trail() const override { return settings_.pass.trail; }
    void setSpeedText(const std::string& text) override;
    void setTimerInterval(int ms) override;
    void redrawViews() override;
    void drawKeyboard() override;
    void setStopButtonVisible(bool visible) override;

    int64_t nowMs() const { return clock_.elapsed(); }
    // Sends `message` to the output, keeping track of the keys held down.
    void send(const MidiMessage& message);
    // Program on every channel of the voices, their pans, centred pans on
    // channels panned before that the voices leave unpanned.
    void sendSetup();
    void sendAllNoteOffs();
    // A note-off for every key struck and not yet released.
    void releaseKeysDown();
    void armNoteOffTimer();

    PlaybackDisplay& display_;
    const KeyRect& keys_;
    MidiOutput* midi_;
    CellModel model_;
    PlaybackSettings settings_;
    PacedTimer timer_;
    Transport transport_;
    VoiceTable voices_;
    PassStepper stepper_{model_, voices_};  // after the model and voices it reads
    QElapsedTimer clock_;
    QTimer offTimer_;                  // single shot at the next note-off's time
    std::bitset<16 * 128> down_;       // channel x 128 + note: struck, not yet released
    std::bitset<16> panned_;           // channels given a pan on the current output
    bool inTick_ = false;
    bool speedFromProgram_ = false;  // the box's text is being set by setSpeed
    bool stoppedInTick_ = false;  // the tick reached the end of the data and stopped the timer
};

}  // namespace cellsonify
