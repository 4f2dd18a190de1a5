#pragma once

namespace cellsonify {

struct CellModel;
class PlaybackHost;

// The play/stop/back/seek buttons and the SPEED box. Holds no state of its
// own: playing or stopped is the host's timer interval (0 = stopped).
class Transport {
public:
    explicit Transport(PlaybackHost& host) : host_(host) {}

    // PLAY: resting keyboard, views redrawn, interval from the SPEED text
    // (kept if the text gives none), STOP shown.
    void play();
    // STOP: interval 0, views redrawn, resting keyboard, STOP hidden.
    void stop();
    // BACK: frame 0, cursors, views redrawn, resting keyboard; timer untouched.
    void back(CellModel& model);
    // A press on the raster or the frame strip at `frame` (user units, unrounded):
    // position there, cursors, views redrawn; keyboard and timer untouched.
    void seek(CellModel& model, double frame);
    // Any change of the SPEED text, typed or set by this handler. Zero, negative
    // or unreadable text puts "0" in the box (re-entering here once); then the
    // interval follows the text (kept if it gives none), resting keyboard,
    // views redrawn. A non-zero speed while stopped thus starts playback; when
    // the change starts or stops it, STOP is shown or hidden so it tells the state.
    void speedChanged();
    // The program (not the user) put a speed in the box, e.g. real time: as
    // speedChanged, but playing or stopped stays as it was.
    void speedSet();

    // True while the timer runs.
    bool playing() const;

private:
    PlaybackHost& host_;
};

}  // namespace cellsonify
