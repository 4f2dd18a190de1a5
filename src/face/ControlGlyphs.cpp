#include "face/ControlGlyphs.h"

#include "face/FaceLayout.h"

#include <QFontMetrics>
#include <QPainter>

namespace cellsonify {

namespace {

const QColor kShadow(0x80, 0x80, 0x80);
const QColor kDarkShadow(0x40, 0x40, 0x40);
const QColor kFrameLine(0x89, 0x89, 0x89);

// Size of an option's circle and its gap to the caption, as the window's style has them.
constexpr int kOptionCircle = 14;
constexpr int kOptionGap = 6;

}  // namespace

void paintPictureButton(QPainter& p, const QRect& rect, const QPixmap& picture) {
    p.save();
    p.fillRect(rect, Qt::white);
    const QRect client = rect.adjusted(1, 1, -1, -1);
    p.setClipRect(client);
    if (!picture.isNull()) {
        const QSize size = picture.deviceIndependentSize().toSize();
        p.drawPixmap(client.x() + (client.width() - size.width()) / 2,
                     client.y() + (client.height() - size.height()) / 2, picture);
    }
    p.setClipping(false);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(0, 0, -1, -1));
    p.restore();
}

void paintCaption(QPainter& p, const QRect& rect, const QString& text, Qt::Alignment align, const QFont& font) {
    p.save();
    p.fillRect(rect, QColor::fromRgb(kFormGreyRgb));
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(rect, int(align), text);
    p.restore();
}

void paintRaisedButton(QPainter& p, const QRect& rect, const QString& text, const QFont& font) {
    constexpr int kEdge = 2;
    p.save();
    p.fillRect(rect, QColor::fromRgb(kFormGreyRgb));
    for (int i = 0; i < kEdge; ++i) {
        const QRect r = rect.adjusted(i, i, -i, -i);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), Qt::white);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), Qt::white);
        p.fillRect(QRect(r.left() + 1, r.bottom(), r.width() - 1, 1), kDarkShadow);
        p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 1), kDarkShadow);
    }
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(rect.adjusted(kEdge, kEdge, -kEdge, -kEdge), Qt::AlignCenter, text);
    p.restore();
}

void paintTextBox(QPainter& p, const QRect& rect, const QString& text, const QFont& font) {
    p.save();
    p.fillRect(rect.adjusted(1, 1, -1, -1), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(0.5, 0.5);
    p.setPen(kFrameLine);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect.adjusted(0, 0, -1, -1)), 2, 2);
    p.setPen(QColor(0, 0, 0, 18));  // a faint shadow under the top edge: the field reads as sunken
    p.drawLine(QPoint(rect.left() + 2, rect.top() + 1), QPoint(rect.right() - 2, rect.top() + 1));
    p.translate(-0.5, -0.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetrics metrics(font, p.device());
    const QRect inside = rect.adjusted(3, 1, -3, -1);
    const int top = inside.y() + (inside.height() - metrics.height() + 1) / 2;
    p.drawText(QPoint(inside.x(), top + metrics.ascent()), text);
    p.restore();
}

void paintGroupFrame(QPainter& p, const QRect& rect) {
    // A soft rounded frame a little darker than the window, its top set down
    // where a title would sit: rings of kRing from the outside in, and each
    // corner from kCorner (top-left; the others mirrored).
    static constexpr int kRing[] = {0xB1, 0xBB};
    static constexpr int kInside = 0xBE;
    static constexpr int kCorner[4][4] = {
        {0xB8, 0xAC, 0xAF, 0xB1}, {0xAB, 0xB4, 0xB8, 0xBA}, {0xAF, 0xB9, 0xBE, 0xBE}, {0xB1, 0xBA, 0xBE, 0xBE}};
    const QRect frame = rect.adjusted(1, 4, 0, 0);
    auto grey = [](int v) { return QColor(v, v, v); };
    p.save();
    p.fillRect(frame, grey(kInside));
    for (int i = 0; i < 2; ++i) {
        const QRect r = frame.adjusted(i, i, -i, -i);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), grey(kRing[i]));
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), grey(kRing[i]));
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), grey(kRing[i]));
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), grey(kRing[i]));
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const QColor c = grey(kCorner[y][x]);
            p.fillRect(frame.left() + x, frame.top() + y, 1, 1, c);
            p.fillRect(frame.right() - x, frame.top() + y, 1, 1, c);
            p.fillRect(frame.left() + x, frame.bottom() - y, 1, 1, c);
            p.fillRect(frame.right() - x, frame.bottom() - y, 1, 1, c);
        }
    p.restore();
}

void paintOptionButton(QPainter& p, const QRect& rect, const QString& text, bool selected, const QFont& font) {
    p.save();
    const QRect box(rect.x(), rect.y() + (rect.height() - kOptionCircle) / 2, kOptionCircle, kOptionCircle);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QPointF(box.center()) + QPointF(1, 1);
    const double radius = (box.width() + (box.width() + 1) % 2) / 2.0 - 1;
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius, radius);
    if (selected) {
        const double dot = radius / 2.32;
        p.setPen(QColor(0, 0, 0, 200));
        p.setBrush(QColor(0, 0, 0, 180));
        p.drawEllipse(centre, dot, dot);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(rect.adjusted(kOptionCircle + kOptionGap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    p.restore();
}

}  // namespace cellsonify
