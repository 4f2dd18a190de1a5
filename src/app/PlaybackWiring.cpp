#include "app/PlaybackWiring.h"

#include "app/MainWindow.h"
#include "playback/FrameStepper.h"
#include "sound/NotePlayer.h"
#include "views/CanvasView.h"

namespace cellsonify {

PlaybackWiring::PlaybackWiring(MainWindow& form, MidiOutput* midi)
    : form_(form), midi_(midi), timer_([this] { tick(); }), transport_(*this) {
    QObject::connect(&form, &MainWindow::playClicked, &timer_, [this] { transport_.play(); });
    QObject::connect(&form, &MainWindow::stopClicked, &timer_, [this] { transport_.stop(); });
    QObject::connect(&form, &MainWindow::backClicked, &timer_, [this] { transport_.back(form_.model()); });
    QObject::connect(&form, &MainWindow::seekRequested, &timer_,
                     [this](double frame) { transport_.seek(form_.model(), frame); });
    QObject::connect(&form, &MainWindow::speedEdited, &timer_, [this] { transport_.speedChanged(); });
}

void PlaybackWiring::tick() { StepFrame(form_.model(), form_.keys(), *this); }

Canvas& PlaybackWiring::raster() { return form_.raster().canvas(); }
Canvas& PlaybackWiring::cellMap() { return form_.cellMap().canvas(); }
Canvas& PlaybackWiring::keyboard() { return form_.keyboard().canvas(); }

void PlaybackWiring::moveCursors(float frame) { form_.moveCursors(frame); }

void PlaybackWiring::playNote(int note) {
    if (!midi_) return;
    const CellModel& m = form_.model();
    cellsonify::playNote(*midi_, form_.soundOn(), m.CurrentFrame, m.FrameCount, note);
}

std::string PlaybackWiring::speedText() const { return form_.speedText(); }
void PlaybackWiring::setSpeedText(const std::string& text) { form_.setSpeedText(text); }
void PlaybackWiring::redrawViews() { form_.redrawViews(); }
void PlaybackWiring::drawKeyboard() { form_.drawKeyboard(); }
void PlaybackWiring::setStopButtonVisible(bool visible) { form_.setStopButtonVisible(visible); }

}  // namespace cellsonify
