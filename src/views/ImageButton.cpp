#include "views/ImageButton.h"

#include "face/ControlGlyphs.h"

#include <QMouseEvent>
#include <QPainter>

namespace cellsonify {

ImageButton::ImageButton(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void ImageButton::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintPictureButton(p, rect(), picture_);
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    armed_ = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = armed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    armed_ = false;
    if (click) emit clicked();
    QWidget::mouseReleaseEvent(event);
}

}  // namespace cellsonify
