#pragma once

#include <QLineF>
#include <QString>

#include <cstdint>

namespace cellsonify {

class ViewBox;

// A line drawn over a picture box's image (a frame cursor, a key separator).
// It is not part of the image: clear() leaves it, and it keeps its pixel place
// when the box's scale changes. Its x ends may be set in user units, converted
// with the scale in force at that moment; the y ends stay where they were placed.
class OverlayLine {
public:
    // A line from `pixels`.p1() to .p2() in client pixels, 1 pixel wide.
    OverlayLine(ViewBox& box, QString name, const QLineF& pixels, uint32_t rgb);

    const QString& name() const { return name_; }
    // The ends in client pixels (fractions are floored when drawn).
    const QLineF& pixels() const { return pixels_; }
    uint32_t colour() const { return rgb_; }
    bool visible() const { return visible_; }

    // Moves the first / second end to user x `x` under the box's current scale.
    void setX1(double x);
    void setX2(double x);
    void setVisible(bool visible);
    // Moves both ends to `pixels` (client pixels), e.g. when the box is resized.
    void place(const QLineF& pixels) { moveTo(pixels); }

private:
    void moveTo(const QLineF& pixels);

    ViewBox& box_;
    QString name_;
    QLineF pixels_;
    uint32_t rgb_;
    bool visible_ = true;
};

}  // namespace cellsonify
