#pragma once

#include <QProxyStyle>

namespace cellsonify {

// The application's style with the option buttons' circles (and their gap to
// the caption) scaled by the window's zoom alone (styles size them in pixels
// grown with the font resolution, never with the zoom),
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
    // `metric` at the window's zoom, whatever the font resolution.
    int zoomedMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const;
    // How much the zoomed circle would pass the height of `widget`'s button.
    int circleShortfall(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const;

    double zoom_ = 1.0;
};

}  // namespace cellsonify
