#pragma once

#include <QRadioButton>

namespace cellsonify {

// An option button that answers a click anywhere in its rectangle, as the
// layout draws it, not only on its circle and caption.
class OptionButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& at) const override { return rect().contains(at); }
};

}  // namespace cellsonify
