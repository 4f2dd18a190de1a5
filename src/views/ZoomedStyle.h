#pragma once

#include <QProxyStyle>

namespace cellsonify {

// The application's style with the option buttons' circles (and their gap to
// the caption) scaled by the window's zoom, which styles size in fixed pixels,
// and the whole layout rectangle as each option button's click area (what a
// screen reader and an accessibility test take for the button).
class ZoomedStyle : public QProxyStyle {
public:
    ZoomedStyle();
    void setZoom(double zoom) { zoom_ = zoom; }
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override;

private:
    // How much the zoomed circle would pass the height of `widget`'s button.
    int circleShortfall(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const;

    double zoom_ = 1.0;
};

}  // namespace cellsonify
