#include "views/WindowForm.h"

#include "model/CellModel.h"
#include "views/Artwork.h"
#include "views/CanvasView.h"
#include "views/ImageButton.h"
#include "views/RedrawViews.h"
#include "views/Twips.h"

#include <QLabel>
#include <QPainter>

#include <cmath>

namespace cellsonify {

WindowForm::WindowForm(QWidget* parent) : QWidget(parent), controls_(buildMainWindowControls(*this)) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(8.25);
    setFormLayoutFont(*this, font);
    zoomMainWindowControls(controls_, *this, zoom_);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(layoutSize(zoom_));
}

void WindowForm::showLoadedRecording(const CellModel& m) {
    controls_.cellCount->setText(QString::number(m.CellCount));
    controls_.frameCount->setText(QString::number(m.FrameCount));
    fitLabel(*controls_.cellCount, zoom_);
    fitLabel(*controls_.frameCount, zoom_);
    const UserScale r = controls_.raster->scale();
    controls_.raster->setScale(r.left, r.top, m.FrameCount, m.CellCount);
    const UserScale i = controls_.frameStrip->scale();
    controls_.frameStrip->setScale(i.left, i.top, m.FrameCount, i.height);
    redrawViews(m);
    moveCursors(m.CurrentFrame);
}

void WindowForm::redrawViews(const CellModel& model) {
    RedrawViews(model, controls_.raster->canvas(), controls_.cellMap->canvas());
}

void WindowForm::drawKeyboard() { DrawKeyboard(keys_, controls_.keyboard->canvas()); }

void WindowForm::moveCursors(double frame) {
    for (OverlayLine* cursor : {controls_.frameStrip->line(kFrameStripCursor), controls_.raster->line(kRasterBottomCursor),
                                controls_.raster->line(kRasterTopCursor)}) {
        cursor->setX1(frame);
        cursor->setX2(frame);
    }
}

void WindowForm::setStopButtonVisible(bool visible) { controls_.stop->setVisible(visible); }

QSize WindowForm::layoutSize(double zoom) {
    // The client area of the layout: 7905 x 6465 twips.
    return {twipsToPixels(int(std::lround(7905 * zoom))), twipsToPixels(int(std::lround(6465 * zoom)))};
}

bool WindowForm::applyZoom(double zoom) {
    if (!(zoom > 0) || zoom == zoom_) return false;
    zoom_ = zoom;
    zoomMainWindowControls(controls_, *this, zoom_);
    resize(layoutSize(zoom_));
    drawKeyboard();
    update();
    return true;
}

void WindowForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintFormBackdrop(p, zoom_);
}

}  // namespace cellsonify
