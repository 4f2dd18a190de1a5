#include "views/WindowForm.h"

#include "face/Artwork.h"
#include "face/FaceLayout.h"
#include "face/FaceViews.h"
#include "face/RasterWindow.h"
#include "face/RedrawViews.h"
#include "model/CellModel.h"
#include "views/CanvasView.h"
#include "views/ImageButton.h"

#include <QLabel>
#include <QPainter>

namespace cellsonify {

WindowForm::WindowForm(QWidget* parent) : QWidget(parent), controls_(buildMainWindowControls(*this)) {
    setFormLayoutFont(*this, layoutFont(LayoutFont::Form));
    zoomMainWindowControls(controls_, *this, zoom_);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(kFormGreyRgb));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(layoutSize(zoom_));
}

void WindowForm::showLoadedRecording(const CellModel& m) {
    showStripsOf(m);
    showRecordingOnViews(controls_.views(), m);
    showAxisLabels(m);
}

void WindowForm::showAxisLabels(const CellModel& m) {
    const RasterAxisLabels labels = rasterAxisLabels(m, rasterWindow());
    const std::pair<QLabel*, QString> texts[] = {{controls_.cellCount, labels.topRow},
                                                 {controls_.frameCount, labels.lastFrame},
                                                 {controls_.bottomRow, labels.bottomRow},
                                                 {controls_.firstFrame, labels.firstFrame}};
    for (const auto& [label, text] : texts) {
        if (label->text() == text) continue;
        label->setText(text);
        fitLabel(*label, zoom_);
    }
}

void WindowForm::showRasterWindow(const CellModel& m, const UserScale& window) {
    cellsonify::showRasterWindow(controls_.views(), m, window);
    showAxisLabels(m);
}

UserScale WindowForm::rasterWindow() const { return controls_.raster->scale(); }

bool WindowForm::followFrame(const CellModel& m, double frame) {
    if (!cellsonify::followFrame(controls_.views(), m, frame)) return false;
    showAxisLabels(m);
    return true;
}

void WindowForm::redrawViews(const CellModel& model) {
    showStripsOf(model);
    RedrawViews(model, controls_.raster->canvas(), controls_.cellMap->canvas());
    paintStrips(controls_.views(), model);
}

bool WindowForm::showStripsOf(const CellModel& model) {
    if (!showStrips(controls_, *this, stripsShownFor(model), zoom_)) return false;
    resize(sizeAt(zoom_));
    update();
    stripsResized();
    return true;
}

void WindowForm::drawKeyboard() { DrawKeyboard(keys_, controls_.keyboard->canvas()); }

void WindowForm::moveCursors(double frame) { moveFrameCursors(controls_.views(), frame); }

void WindowForm::setStopButtonVisible(bool visible) { controls_.stop->setVisible(visible); }

QSize WindowForm::layoutSize(double zoom) { return formSize(zoom); }

QSize WindowForm::sizeAt(double zoom) const { return formSize(zoom, stripsRoom(controls_.stripsShown)); }

bool WindowForm::applyZoom(double zoom) {
    if (!(zoom > 0) || zoom == zoom_) return false;
    zoom_ = zoom;
    zoomMainWindowControls(controls_, *this, zoom_);
    resize(sizeAt(zoom_));
    drawKeyboard();
    update();
    return true;
}

void WindowForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintFormBackdrop(p, zoom_, rasterDownTwips(controls_.stripsShown));
}

}  // namespace cellsonify
