#include "face/Artwork.h"

#include "face/Twips.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

// Resources in a static library must be registered by hand, outside any namespace.
static void registerIconResource() { Q_INIT_RESOURCE(icon); }

namespace cellsonify {

namespace {

// A white picture of w x h layout pixels at `scale` device pixels each; its
// painter is then scaled to draw in layout pixels.
QPixmap blank(int w, int h, double scale, const QColor& ground = Qt::white) {
    QPixmap pm(int(std::lround(w * scale)), int(std::lround(h * scale)));
    pm.fill(ground);
    return pm;
}

void antialiased(QPainter& p) { p.setRenderHint(QPainter::Antialiasing); }

}  // namespace

QPixmap backButtonArt(double scale) {
    QPixmap pm = blank(33, 33, scale);
    QPainter p(&pm);
    p.scale(scale, scale);
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

QPixmap playButtonArt(double scale) {
    QPixmap pm = blank(33, 33, scale);
    QPainter p(&pm);
    p.scale(scale, scale);
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

QPixmap stopButtonArt(double scale) {
    QPixmap pm = blank(33, 33, scale);
    QPainter p(&pm);
    p.scale(scale, scale);
    p.setPen(QPen(QColor(160, 0, 0), 1));
    p.setBrush(QColor(220, 0, 0));
    p.drawRect(9, 9, 14, 14);
    return pm;
}

QPixmap cellAxisArt(double scale) {
    QPixmap pm = blank(14, 32, scale, QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&pm);
    p.scale(scale, scale);
    // The arrow in the left column, the caption reading upwards in the rest:
    // the caption fills the picture's width so it reads at the window's text size.
    p.setPen(Qt::black);
    p.drawLine(QLineF(2.5, 1.5, 2.5, 30.5));
    p.drawLine(QLineF(2.5, 1.5, 0.5, 4.5));
    p.drawLine(QLineF(2.5, 1.5, 4.5, 4.5));
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(10);
    font.setHintingPreference(QFont::PreferFullHinting);
    p.setFont(font);
    p.translate(4, 32);
    p.rotate(-90);
    p.drawText(QRectF(0, 0, 32, 9), Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Cell #"));
    return pm;
}

QImage windowPicture() {
    // It lies under the cell-count label and the top of the cell axis, so a
    // picture with anything in it shows as a stray box beside the plot.
    QImage img(41, 23, QImage::Format_RGB32);
    img.fill(QColor(0xC0, 0xC0, 0xC0));
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

void paintFormBackdrop(QPainter& painter, double zoom, int axisDownTwips) {
    const QImage picture = windowPicture();
    painter.drawImage(QRectF(0, 0, picture.width() * zoom, picture.height() * zoom), picture);
    painter.setPen(QPen(Qt::black, std::max(1.0, std::floor(zoom))));
    auto at = [zoom](int twips) { return twipsToPixels(int(std::lround(twips * zoom))); };
    auto tick = [&](int x1, int y1, int x2, int y2) {
        painter.drawLine(at(x1), at(y1 + axisDownTwips), at(x2), at(y2 + axisDownTwips));
    };
    tick(7800, 2760, 7800, 2520);  // Line1: right end of the frame axis
    tick(360, 2760, 360, 2640);    // Line2: left end of the frame axis
    tick(285, 2685, 360, 2685);    // Line4: bottom of the cell axis
    tick(285, 120, 480, 120);      // Line5: top of the cell axis
}

}  // namespace cellsonify
