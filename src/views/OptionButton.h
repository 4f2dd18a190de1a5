#pragma once

#include <QRadioButton>

namespace cellsonify {

// An option button whose whole layout rectangle is the button: a click
// anywhere in it selects it, and the focus frame goes round all of it (styles
// draw it round the caption only, which reads as a button the caption's size).
class OptionButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& at) const override { return rect().contains(at); }
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace cellsonify
