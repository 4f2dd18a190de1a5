#pragma once

#include "model/CellModel.h"
#include "playback/PassSettings.h"
#include "soundfiles/ExportSettings.h"
#include "playback/PlaybackHost.h"
#include "playback/VoiceTable.h"
#include "video/PlaybackPictures.h"
#include "face/WindowFace.h"

#include <QImage>

#include <string>

namespace cellsonify {

// The window's face playing a recording, drawn offscreen: the recording
// shown, the pass's instrument and "Sound ON" selected, its speed text in the
// speed box. Each tick is the window's own step (StepFrame with the voices of
// the pass's mapping, so the keys lit are the notes heard, and its trail)
// painted on the face's
// views; it is silent, the sound being the pass's. No widget is involved:
// the face is painted from the window's layout table onto the picture, so a
// QGuiApplication is enough. In the figure layout the pictures are the
// views alone, with the recording's name and a time counter (FigureFace.h).
// Lives on the GUI thread.
class PassPictures : public PlaybackPictures, private PlaybackHost {
public:
    PassPictures(const CellModel& model, const PassSettings& pass, PictureLayout layout = PictureLayout::Window);

    // Presses Play: the views redrawn for playback and the stop button showing.
    // Before this the pictures are the window at rest.
    void play();
    void tick() override;
    const QImage& picture() override;
    // Shows the transport button and sound switch as `shown` says, whatever
    // the pass has shown so far.
    void showControls(const ShownControls& shown);
    // Shows `window` of the recording on the raster (see RasterWindow.h), as
    // the window showed it; the whole recording until then.
    void showRasterWindow(const UserScale& window) { face_.showRasterWindow(model_, window); }

private:
    // PlaybackHost: the face's views and controls; notes go nowhere.
    Canvas& raster() override;
    Canvas& cellMap() override;
    Canvas& keyboard() override;
    // The raster's window follows the play position, as the window's does.
    void moveCursors(double frame) override {
        face_.followFrame(model_, frame);
        moveFrameCursors(face_.views(), frame);
    }
    std::string speedText() const override { return pass_.speedText; }
    int trail() const override { return pass_.trail; }
    void setSpeedText(const std::string& text) override;
    int timerInterval() const override { return interval_; }
    void setTimerInterval(int ms) override { interval_ = ms; }
    void redrawViews() override;
    void drawKeyboard() override { face_.drawKeyboard(); }
    void setStopButtonVisible(bool visible) override { face_.controls().stopShown = visible; }

    // The figure's counter: the frame lit and its time, the recording's own
    // when it states its frame rate, else playback's at the pass's speed.
    QString counter() const;

    CellModel model_;
    PassSettings pass_;
    PictureLayout layout_;
    VoiceTable voices_;
    WindowFace face_;
    int interval_ = 0;  // ticks are run by the caller; kept only as the step sets it
    QImage picture_;
};

}  // namespace cellsonify
