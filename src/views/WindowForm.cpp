#include "views/WindowForm.h"

#include "model/CellModel.h"
#include "views/Artwork.h"
#include "views/CanvasView.h"
#include "views/ImageButton.h"
#include "views/RedrawViews.h"

#include <QLabel>
#include <QPainter>

namespace cellsonify {

WindowForm::WindowForm(QWidget* parent) : QWidget(parent), controls_(buildMainWindowControls(*this)) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(8.25);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(527, 431);
}

void WindowForm::showLoadedRecording(const CellModel& m) {
    controls_.cellCount->setText(QString::number(m.CellCount));
    controls_.frameCount->setText(QString::number(m.FrameCount));
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

void WindowForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintFormBackdrop(p);
}

}  // namespace cellsonify
