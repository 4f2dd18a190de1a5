#include "views/ZoomedStyle.h"

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

}  // namespace cellsonify
