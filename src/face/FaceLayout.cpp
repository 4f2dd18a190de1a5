#include "face/FaceLayout.h"

#include "face/Twips.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

namespace {
QFont withFamilies(std::initializer_list<const char*> families, double points) {
    QStringList names;
    for (const char* f : families) names.push_back(QString::fromLatin1(f));
    QFont font;
    font.setFamilies(names);
    font.setPointSizeF(points);
    return font;
}
}  // namespace

QFont layoutFont(LayoutFont which) {
    switch (which) {
    case LayoutFont::Form:
        return withFamilies({"MS Sans Serif", "Liberation Sans"}, 8.25);
    case LayoutFont::Arial825:
        return withFamilies({"Arial", "Liberation Sans"}, 8.25);
    case LayoutFont::Arial9:
        return withFamilies({"Arial", "Liberation Sans"}, 9);
    }
    return QFont();
}

QFont zoomedFont(const QFont& layout, double zoom, int logicalDpiY) {
    const double points = zoom * 96.0 / std::max(1, logicalDpiY);
    QFont f = layout;
    f.setPointSizeF(layout.pointSizeF() * points);
    return f;
}

QRect zoomedTwipsRect(const TwipsRect& t, double zoom) {
    if (zoom == 1.0) return twipsRect(t.left, t.top, t.width, t.height);
    auto z = [zoom](int v) { return int(std::lround(v * zoom)); };
    // Right and bottom edges from the zoomed edges, not the zoomed size, so neighbours stay flush.
    const QRect r = twipsRect(z(t.left), z(t.top), 0, 0);
    return QRect(r.topLeft(), QPoint(twipsToPixels(z(t.left + t.width)) - 1, twipsToPixels(z(t.top + t.height)) - 1));
}

QSize formSize(double zoom, int grownTwips) {
    return {twipsToPixels(int(std::lround(layout::kFormWidthTwips * zoom))),
            twipsToPixels(int(std::lround((layout::kFormHeightTwips + grownTwips) * zoom)))};
}

QRect fittedLabelRect(QRect at, int textWidth, Qt::Alignment align) {
    const int more = textWidth + 1 - at.width();
    if (more <= 0) return at;
    // Grown on the side its text leaves free: right-aligned to the left,
    // centred both ways, left-aligned to the right; never past the window's
    // left edge (the cell count sits at the very edge).
    if (align & Qt::AlignRight) at.setLeft(at.left() - more);
    else if (align & Qt::AlignHCenter) at.adjust(-more / 2, 0, more - more / 2, 0);
    else at.setRight(at.right() + more);
    if (at.left() < 0) at.moveLeft(0);
    return at;
}

}  // namespace cellsonify
