#include "app/PlaybackWiring.h"

#include "app/Form1.h"
#include "playback/FrameStepper.h"
#include "sound/NotePlayer.h"
#include "views/PictureBox.h"

namespace cellsonify {

PlaybackWiring::PlaybackWiring(Form1& form, MidiOutput* midi)
    : form_(form), midi_(midi), timer_([this] { tick(); }), transport_(*this) {
    QObject::connect(&form, &Form1::playClicked, &timer_, [this] { transport_.play(); });
    QObject::connect(&form, &Form1::stopClicked, &timer_, [this] { transport_.stop(); });
    QObject::connect(&form, &Form1::backClicked, &timer_, [this] { transport_.back(form_.model()); });
    QObject::connect(&form, &Form1::seekRequested, &timer_,
                     [this](double frame) { transport_.seek(form_.model(), frame); });
    QObject::connect(&form, &Form1::speedEdited, &timer_, [this] { transport_.speedChanged(); });
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
