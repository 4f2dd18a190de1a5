#pragma once

#include "playback/NoteOffSchedule.h"
#include "playback/PitchMapping.h"
#include "video/PlaybackPictures.h"

#include <QImage>

#include <memory>
#include <string>

namespace cellsonify {

class MainWindow;
struct CellModel;
struct Instrument;

// The window's client area as the window shows it while it plays a recording,
// drawn offscreen by a window of its own (never shown, silent): the recording
// loaded, `instrument` and "Sound ON" selected, `speedText` in the speed
// box, playing with `mapping` and `noteLength` (so the keys lit are the notes
// heard). Ticks are the window's own tick, run here instead of by its timer, so
// the pictures are the window's pixels. The only place a movie touches the
// window's code. Must live on the GUI thread, under a QApplication.
class WindowPictures : public PlaybackPictures {
public:
    WindowPictures(const CellModel& model, const std::string& speedText, const Instrument& instrument,
                   const PitchMapping& mapping = {}, NoteLength noteLength = {});
    ~WindowPictures() override;

    // Presses Play: the views redrawn for playback and the stop button showing.
    // Before this the pictures are the window at rest.
    void play();
    void tick() override;
    const QImage& picture() override;

private:
    struct Quiet;
    std::unique_ptr<Quiet> quiet_;
    std::unique_ptr<MainWindow> window_;
    QImage picture_;
};

}  // namespace cellsonify
