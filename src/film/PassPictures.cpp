#include "film/PassPictures.h"

#include "playback/FrameStepper.h"
#include "playback/Transport.h"
#include "sound/Instruments.h"
#include "views/CanvasView.h"

#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>

namespace cellsonify {

namespace {

// The option button (0-based) of `instrument`; the first for a program not listed.
std::size_t optionOf(const Instrument& instrument) {
    const auto found = std::find_if(kInstruments.begin(), kInstruments.end(),
                                    [&](const Instrument& i) { return i.program == instrument.program; });
    return found == kInstruments.end() ? 0 : static_cast<std::size_t>(found - kInstruments.begin());
}

}  // namespace

PassPictures::PassPictures(const CellModel& model, const std::string& speedText, const Instrument& instrument,
                           const PitchMapping& mapping)
    : model_(model), speedText_(speedText), voices_(voiceTable(model, mapping)) {
    model_.CurrentFrame = 0;
    const MainWindowControls& c = form_.controls();
    form_.drawKeyboard();
    form_.showLoadedRecording(model_);
    c.instrument.at(optionOf(instrument))->setChecked(true);
    c.soundOn->setChecked(true);
    c.speed->setText(QString::fromStdString(speedText_));
    picture_ = QImage(form_.size(), QImage::Format_RGB32);
}

void PassPictures::play() { Transport(*this).play(); }

void PassPictures::tick() { StepFrame(model_, form_.keys(), *this, voices_); }

const QImage& PassPictures::picture() {
    form_.render(&picture_);
    return picture_;
}

Canvas& PassPictures::raster() { return form_.controls().raster->canvas(); }
Canvas& PassPictures::cellMap() { return form_.controls().cellMap->canvas(); }
Canvas& PassPictures::keyboard() { return form_.controls().keyboard->canvas(); }

void PassPictures::setSpeedText(const std::string& text) {
    speedText_ = text;
    form_.controls().speed->setText(QString::fromStdString(text));
}

}  // namespace cellsonify
