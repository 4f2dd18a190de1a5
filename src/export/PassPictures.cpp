#include "export/PassPictures.h"

#include "playback/PlaybackSteps.h"
#include "playback/Transport.h"
#include "sound/Instruments.h"
#include "face/FigureFace.h"
#include "face/RedrawViews.h"
#include "files/PathNames.h"

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

PassPictures::PassPictures(const CellModel& model, const PassSettings& pass, PictureLayout layout)
    : model_(model), pass_(pass), layout_(layout), voices_(voiceTable(model, pass.mapping)) {
    model_.CurrentFrame = 0;
    face_.showLoadedRecording(model_);
    FaceControls& c = face_.controls();
    c.instrument = optionOf(*pass_.instrument);
    c.soundOn = true;
    c.speed = QString::fromStdString(pass_.speedText);
    picture_ = QImage(layout_ == PictureLayout::Figure ? figureSize(face_.stripsShown()) : face_.size(), QImage::Format_RGB32);
}

void PassPictures::showControls(const ShownControls& shown) {
    face_.controls().stopShown = shown.playing;
    face_.controls().soundOn = shown.soundOn;
}

QString PassPictures::counter() const {
    const auto frame = static_cast<long long>(model_.CurrentFrame);
    const double seconds = model_.FrameRate > 0 ? static_cast<double>(frame) / model_.FrameRate
                                                : static_cast<double>(frame) * pass_.intervalMs / 1000.0;
    return figureCounter(frame, model_.FrameCount, seconds);
}

void PassPictures::play() { Transport(*this).play(); }

void PassPictures::tick() { StepFrame(model_, face_.keys(), *this, voices_); }

const QImage& PassPictures::picture() {
    if (layout_ == PictureLayout::Figure)
        paintFigure(picture_, face_.views(), face_.stripsShown(), face_.controls(),
                    {QString::fromStdString(recordingNameOf(model_.DataFile)), counter()});
    else face_.paint(picture_);
    return picture_;
}

Canvas& PassPictures::raster() { return face_.raster().canvas(); }
Canvas& PassPictures::cellMap() { return face_.cellMap().canvas(); }
Canvas& PassPictures::keyboard() { return face_.keyboard().canvas(); }

void PassPictures::redrawViews() { RedrawViews(model_, face_.raster().canvas(), face_.cellMap().canvas()); }

void PassPictures::setSpeedText(const std::string& text) {
    pass_.setSpeedText(text);
    face_.controls().speed = QString::fromStdString(text);
}

}  // namespace cellsonify
