#include "views/ZoomedStyle.h"

#include <QStyleOption>
#include <QWidget>

#include <algorithm>

#include <cmath>

namespace cellsonify {

ZoomedStyle::ZoomedStyle() : QProxyStyle(nullptr) {}

int ZoomedStyle::zoomedMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    // Styles grow these with the font resolution as well; the layout is in
    // its own pixels, which only the zoom scales, so that part is undone.
    const int dpi = widget ? widget->logicalDpiY() : 96;
    const double fontScale = dpi > 0 ? 96.0 / dpi : 1.0;
    return int(std::lround(QProxyStyle::pixelMetric(metric, option, widget) * fontScale * zoom_));
}

int ZoomedStyle::circleShortfall(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    const int zoomed = zoomedMetric(metric, option, widget);
    return widget && widget->height() > 0 ? std::max(0, zoomed - widget->height()) : 0;
}

int ZoomedStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        // Never taller than the button, so a short one (12 pixels at 100 %)
        // shows its whole circle, neither clipped nor squashed.
        return zoomedMetric(metric, option, widget) - circleShortfall(metric, option, widget);
    case PM_RadioButtonLabelSpacing:
        // What a smaller circle gives up goes to the gap, so every caption
        // starts where the others do.
        return zoomedMetric(metric, option, widget) + circleShortfall(PM_ExclusiveIndicatorHeight, option, widget);
    default:
        return base;
    }
}

QRect ZoomedStyle::subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const {
    // Styles make it the circle and the caption only; a click anywhere in the
    // rectangle selects the button (OptionButton::hitButton).
    if (element == SE_RadioButtonClickRect && option) return option->rect;
    return QProxyStyle::subElementRect(element, option, widget);
}

}  // namespace cellsonify
