#include "face/WindowFace.h"

#include "face/Artwork.h"
#include "face/ControlGlyphs.h"
#include "face/FaceLayout.h"
#include "face/RasterWindow.h"
#include "model/CellModel.h"

#include <QFontMetrics>
#include <QPainter>

namespace cellsonify {

namespace {

QRect at(const ControlPlace& place) { return zoomedTwipsRect(place.twips, 1.0); }

}  // namespace

WindowFace::WindowFace()
    : back_(backButtonArt()), play_(playButtonArt()), stop_(stopButtonArt()), cellAxis_(cellAxisArt()) {
    raster_.resize(at(layout::kRaster).size());
    frameStrip_.resize(at(layout::kFrameStrip).size());
    cellMap_.resize(at(layout::kCellMap).size());
    keyboard_.resize(at(layout::kKeyboard).size());
    for (std::size_t i = 0; i < faceStrips().size(); ++i) {
        strips_.push_back(std::make_unique<ViewBox>());
        strips_.back()->resize(zoomedTwipsRect(faceStrips()[i].twips, 1.0).size());
    }
    setUpFaceViews(views());
    drawKeyboard();
}

FaceViews WindowFace::views() {
    FaceViews v{raster_, frameStrip_, cellMap_, keyboard_, {}};
    for (std::size_t i = 0; i < strips_.size(); ++i) v.strips.push_back({faceStrips()[i].view, *strips_[i]});
    return v;
}

void WindowFace::showLoadedRecording(const CellModel& model) {
    shown_ = stripsShownFor(model);
    showRecordingOnViews(views(), model);
    showAxisLabels(model);
}

void WindowFace::showAxisLabels(const CellModel& model) {
    const RasterAxisLabels labels = rasterAxisLabels(model, raster_.scale());
    controls_.cellCount = labels.topRow;
    controls_.frameCount = labels.lastFrame;
    controls_.bottomRow = labels.bottomRow;
    controls_.firstFrame = labels.firstFrame;
}

void WindowFace::showRasterWindow(const CellModel& model, const UserScale& window) {
    cellsonify::showRasterWindow(views(), model, window);
    showAxisLabels(model);
}

bool WindowFace::followFrame(const CellModel& model, double frame) {
    if (!cellsonify::followFrame(views(), model, frame)) return false;
    showAxisLabels(model);
    return true;
}

void WindowFace::drawKeyboard() { DrawKeyboard(keys_, keyboard_.canvas()); }

QSize WindowFace::size() const { return formSize(1.0, stripsRoom(shown_)); }

void WindowFace::paint(QImage& picture) const {
    // Every control moved down by the strips shown above it.
    const auto placed = [this](const ControlPlace& place) { return zoomedTwipsRect(placedTwips(place.twips, shown_), 1.0); };
    const int dpi = picture.logicalDpiY();
    auto font = [dpi](LayoutFont which) { return zoomedFont(layoutFont(which), 1.0, dpi); };
    QPainter p(&picture);
    p.fillRect(picture.rect(), QColor::fromRgb(kFormGreyRgb));
    paintFormBackdrop(p, 1.0, rasterDownTwips(shown_));

    // The captions, the lowest first (each lies beneath those listed before it).
    p.drawPixmap(placed(layout::kCellAxis).topLeft(), cellAxis_);
    for (auto l = layout::kLabels.rbegin(); l != layout::kLabels.rend(); ++l) {
        const std::size_t index = static_cast<std::size_t>(layout::kLabels.rend() - l) - 1;
        const QString text = index == layout::kCellCountLabel    ? controls_.cellCount
                             : index == layout::kFrameCountLabel ? controls_.frameCount
                             : index == layout::kBottomRowLabel  ? controls_.bottomRow
                             : index == layout::kFirstFrameLabel ? controls_.firstFrame
                                                                 : QString::fromLatin1(l->text);
        const QFont captionFont = font(l->font);
        const int width = QFontMetrics(captionFont, &picture).horizontalAdvance(text);
        const QRect rect = fittedLabelRect(zoomedTwipsRect(placedTwips(l->twips, shown_), 1.0), width, l->align);
        paintCaption(p, rect, text, l->align | Qt::AlignTop, captionFont);
    }

    raster_.paintAt(p, placed(layout::kRaster).topLeft());
    frameStrip_.paintAt(p, placed(layout::kFrameStrip).topLeft());
    cellMap_.paintAt(p, placed(layout::kCellMap).topLeft());
    keyboard_.paintAt(p, placed(layout::kKeyboard).topLeft());
    for (std::size_t i = 0; i < strips_.size(); ++i)
        if (shown_[i]) strips_[i]->paintAt(p, zoomedTwipsRect(stripTwips(i, shown_), 1.0).topLeft());

    paintRaisedButton(p, placed(layout::kLoadButton), QString::fromLatin1(layout::kLoadButtonText),
                      font(layout::kLoadButtonFont));
    paintPictureButton(p, placed(layout::kBack), back_);
    if (controls_.stopShown) paintPictureButton(p, placed(layout::kStop), stop_);
    else paintPictureButton(p, placed(layout::kPlay), play_);
    paintTextBox(p, placed(layout::kSpeed), controls_.speed, font(LayoutFont::Form));

    const QRect instruments = placed(layout::kInstrumentFrame);
    paintGroupFrame(p, instruments);
    for (std::size_t i = 0; i < layout::kInstrumentOptions.size(); ++i) {
        const OptionPlace& o = layout::kInstrumentOptions[i];
        paintOptionButton(p, zoomedTwipsRect(o.twips, 1.0).translated(instruments.topLeft()), QString::fromLatin1(o.text),
                          controls_.instrument == i, font(layout::kInstrumentFont));
    }
    const QRect sound = placed(layout::kSoundFrame);
    paintGroupFrame(p, sound);
    for (const auto& [o, selected] : {std::pair{layout::kSoundOn, controls_.soundOn},
                                      std::pair{layout::kSoundOff, !controls_.soundOn}})
        paintOptionButton(p, zoomedTwipsRect(o.twips, 1.0).translated(sound.topLeft()), QString::fromLatin1(o.text),
                          selected, font(layout::kSoundFont));
}

}  // namespace cellsonify
