#include "views/ZoomedStyle.h"

#include <QStyleOption>

#include <cmath>

namespace cellsonify {

ZoomedStyle::ZoomedStyle() : QProxyStyle(nullptr) {}

int ZoomedStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_RadioButtonLabelSpacing:
        return int(std::lround(base * zoom_));
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
