#include "face/FigureFace.h"

#include "face/FaceLayout.h"
#include "face/Twips.h"
#include "face/ViewBox.h"
#include "face/WindowFace.h"

#include <QPainter>

namespace cellsonify {

namespace {

constexpr int kMargin = 8;
constexpr int kHeaderHeight = 18;
constexpr int kAxisGutter = 44;  // room left of the raster for its row numbers and caption
constexpr int kAxisRow = 16;     // room under the raster for its frame numbers
constexpr int kGap = 8;

QSize viewSize(const TwipsRect& twips) { return zoomedTwipsRect(twips, 1.0).size(); }

bool isShown(const StripsShown& shown, std::size_t index) { return index < shown.size() && shown[index]; }
// A strip the raster moves down for in the window lies above it.
bool liesAboveRaster(const FaceStrip& strip) { return strip.movesFrom <= layout::kRaster.twips.top; }

}  // namespace

FigurePlaces figurePlaces(const StripsShown& shown) {
    FigurePlaces places;
    const int left = kMargin + kAxisGutter;
    const auto strips = faceStrips();
    places.strips.assign(strips.size(), QRect());
    // Each strip takes the room it takes in the window: its height and the
    // gap the window leaves between it and the view next to it.
    int y = kMargin + kHeaderHeight + kGap;
    for (std::size_t i = 0; i < strips.size(); ++i)
        if (isShown(shown, i) && liesAboveRaster(strips[i])) {
            places.strips[i] = QRect(QPoint(left, y), viewSize(strips[i].twips));
            y += twipsToPixels(strips[i].room);
        }
    places.raster = QRect(QPoint(left, y), viewSize(layout::kRaster.twips));
    y = places.raster.bottom() + 1;
    for (std::size_t i = 0; i < strips.size(); ++i)
        if (isShown(shown, i) && !liesAboveRaster(strips[i])) {
            const QSize size = viewSize(strips[i].twips);
            y += twipsToPixels(strips[i].room) - size.height();
            places.strips[i] = QRect(QPoint(left, y), size);
            y += size.height();
        }
    places.frameAxis = QRect(left, y, places.raster.width(), kAxisRow);
    const int centre = places.raster.center().x();
    const QSize map = viewSize(layout::kCellMap.twips);
    places.cellMap = QRect(QPoint(centre - map.width() / 2, places.frameAxis.bottom() + 1 + kGap), map);
    const QSize keys = viewSize(layout::kKeyboard.twips);
    places.keyboard = QRect(QPoint(centre - keys.width() / 2, places.cellMap.bottom() + 1 + kGap), keys);
    const int right = std::max(places.raster.right(), places.keyboard.right());
    const int half = (right - kMargin) / 2;
    places.name = QRect(kMargin, kMargin, half, kHeaderHeight);
    places.counter = QRect(right - half, kMargin, half + 1, kHeaderHeight);
    return places;
}

QSize figureSize(const StripsShown& shown) {
    const FigurePlaces places = figurePlaces(shown);
    return {std::max(places.raster.right(), places.keyboard.right()) + 1 + kMargin,
            places.keyboard.bottom() + 1 + kMargin};
}

void paintFigure(QImage& picture, const FaceViews& views, const StripsShown& shown, const FaceControls& axes,
                 const FigureText& text) {
    const FigurePlaces at = figurePlaces(shown);
    const int dpi = picture.logicalDpiY();
    const QFont header = zoomedFont(layoutFont(LayoutFont::Arial9), 1.0, dpi);
    const QFont small = zoomedFont(layoutFont(LayoutFont::Arial825), 1.0, dpi);
    QPainter p(&picture);
    p.fillRect(picture.rect(), Qt::white);
    p.setPen(Qt::black);
    p.setFont(header);
    p.drawText(at.name, Qt::AlignLeft | Qt::AlignVCenter, text.name);
    p.drawText(at.counter, Qt::AlignRight | Qt::AlignVCenter, text.counter);

    // The raster's axes, numbered as the window numbers them.
    p.setFont(small);
    const QRect& r = at.raster;
    const int numbers = kAxisGutter - 18;  // right of the rotated caption
    p.drawText(QRect(r.left() - numbers - 2, r.top(), numbers, kAxisRow), Qt::AlignRight | Qt::AlignTop, axes.cellCount);
    p.drawText(QRect(r.left() - numbers - 2, r.bottom() - kAxisRow + 1, numbers, kAxisRow),
               Qt::AlignRight | Qt::AlignBottom, axes.bottomRow.trimmed());
    const QRect& below = at.frameAxis;
    p.drawText(below, Qt::AlignLeft | Qt::AlignTop, axes.firstFrame);
    p.drawText(below, Qt::AlignRight | Qt::AlignTop, axes.frameCount);
    p.drawText(below, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Frame #"));
    p.save();
    p.translate(r.left() - numbers - 6, r.center().y());
    p.rotate(-90);
    p.drawText(QRect(-r.height() / 2, -kAxisRow, r.height(), kAxisRow), Qt::AlignCenter | Qt::AlignBottom,
               QStringLiteral("Cell #"));
    p.restore();

    views.raster.paintAt(p, at.raster.topLeft());
    views.cellMap.paintAt(p, at.cellMap.topLeft());
    views.keyboard.paintAt(p, at.keyboard.topLeft());
    for (std::size_t i = 0; i < views.strips.size() && i < at.strips.size(); ++i)
        if (!at.strips[i].isNull()) views.strips[i].box.paintAt(p, at.strips[i].topLeft());
}

QString figureCounter(long long frame, long long frameCount, double seconds) {
    return QStringLiteral("Frame %1 of %2   %3 s").arg(frame).arg(frameCount).arg(seconds, 0, 'f', 2);
}

}  // namespace cellsonify
