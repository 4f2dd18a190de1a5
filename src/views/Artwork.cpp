#include "views/Artwork.h"

#include "views/Twips.h"

#include <QPainter>
#include <QPainterPath>

// Resources in a static library must be registered by hand, outside any namespace.
static void registerIconResource() { Q_INIT_RESOURCE(icon); }

namespace cellsonify {

namespace {

QPixmap blank(int w, int h) {
    QPixmap pm(w, h);
    pm.fill(Qt::white);
    return pm;
}

void antialiased(QPainter& p) { p.setRenderHint(QPainter::Antialiasing); }

}  // namespace

QPixmap backButtonArt() {
    QPixmap pm = blank(33, 33);
    QPainter p(&pm);
    antialiased(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(64, 64, 64));
    p.drawRect(QRectF(8, 9, 3, 15));
    QPainterPath tri;
    tri.moveTo(11.5, 16.5);
    tri.lineTo(25, 8.5);
    tri.lineTo(25, 24.5);
    tri.closeSubpath();
    p.setBrush(QColor(128, 128, 128));
    p.drawPath(tri);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tri);
    return pm;
}

QPixmap playButtonArt() {
    QPixmap pm = blank(33, 33);
    QPainter p(&pm);
    antialiased(p);
    QPainterPath tri;
    tri.moveTo(10, 7.5);
    tri.lineTo(26, 16.5);
    tri.lineTo(10, 25.5);
    tri.closeSubpath();
    p.setPen(QPen(QColor(0, 96, 96), 1));
    p.setBrush(QColor(0, 128, 128));
    p.drawPath(tri);
    return pm;
}

QPixmap stopButtonArt() {
    QPixmap pm = blank(33, 33);
    QPainter p(&pm);
    p.setPen(QPen(QColor(160, 0, 0), 1));
    p.setBrush(QColor(220, 0, 0));
    p.drawRect(9, 9, 14, 14);
    return pm;
}

QPixmap cellAxisArt() {
    QPixmap pm(14, 32);
    pm.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawLine(3, 1, 3, 30);
    p.drawLine(3, 1, 1, 4);
    p.drawLine(3, 1, 5, 4);
    QFont font("Liberation Sans");
    font.setPixelSize(7);
    p.setFont(font);
    p.translate(13, 31);
    p.rotate(-90);
    p.drawText(QRect(0, -8, 30, 8), Qt::AlignCenter, QStringLiteral("Cell #"));
    return pm;
}

QImage windowPicture() {
    QImage img(41, 23, QImage::Format_RGB32);
    img.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&img);
    p.fillRect(2, 2, 37, 19, Qt::white);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(1, 1, 38, 20);
    // a little raster: a few cells firing together now and then
    static constexpr int kMarks[][2] = {{5, 4},  {9, 4},  {9, 8},  {9, 12}, {10, 16}, {16, 6},
                                        {21, 4}, {22, 8}, {22, 12}, {22, 17}, {28, 10}, {33, 4},
                                        {34, 8}, {34, 13}, {34, 17}, {14, 14}, {27, 15}};
    p.setPen(QColor(0, 0, 255));
    for (const auto& m : kMarks) p.drawLine(m[0], m[1], m[0], m[1] + 2);
    p.setPen(QColor(255, 0, 0));
    p.drawLine(24, 3, 24, 19);
    return img;
}

static QPixmap drawnIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    antialiased(p);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 255));
    static constexpr double kDots[][2] = {{7, 6}, {12, 9}, {18, 5}, {24, 8}, {9, 13}, {15, 12}, {22, 14}};
    for (const auto& d : kDots) p.drawEllipse(QPointF(d[0], d[1]), 1.8, 1.8);
    p.setBrush(QColor(255, 0, 0));
    p.drawEllipse(QPointF(15, 12), 2.2, 2.2);
    // keys
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 19.5, 23, 9));
    p.setBrush(QColor(20, 20, 20));
    for (int k : {7, 11, 19, 23}) p.drawRect(QRectF(k, 19.5, 2, 5));
    return pm;
}

QIcon appIcon() {
    // The same picture the desktop menu shows (installed in the hicolor theme);
    // where Qt's SVG plugin is missing, a pixmap drawn to match.
    registerIconResource();
    QIcon svg(QStringLiteral(":/cellsonify.svg"));
    if (!svg.availableSizes().isEmpty() || !svg.pixmap(32, 32).isNull()) return svg;
    return QIcon(drawnIcon());
}

void paintFormBackdrop(QPainter& painter) {
    painter.drawImage(0, 0, windowPicture());
    painter.setPen(Qt::black);
    auto tick = [&](int x1, int y1, int x2, int y2) {
        painter.drawLine(twipsToPixels(x1), twipsToPixels(y1), twipsToPixels(x2), twipsToPixels(y2));
    };
    tick(7800, 2760, 7800, 2520);  // Line1: right end of the frame axis
    tick(360, 2760, 360, 2640);    // Line2: left end of the frame axis
    tick(285, 2685, 360, 2685);    // Line4: bottom of the cell axis
    tick(285, 120, 480, 120);      // Line5: top of the cell axis
}

}  // namespace cellsonify
