#include "views/ImageButton.h"

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
    p.fillRect(rect(), Qt::white);
    const QRect client = rect().adjusted(1, 1, -1, -1);
    p.setClipRect(client);
    if (!picture_.isNull()) {
        const QSize size = picture_.deviceIndependentSize().toSize();
        p.drawPixmap(client.x() + (client.width() - size.width()) / 2,
                     client.y() + (client.height() - size.height()) / 2, picture_);
    }
    p.setClipping(false);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
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
