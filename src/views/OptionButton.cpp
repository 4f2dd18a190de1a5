#include "views/OptionButton.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace cellsonify {

void OptionButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const bool focused = option.state & QStyle::State_HasFocus;
    option.state &= ~QStyle::State_HasFocus;
    p.drawControl(QStyle::CE_RadioButton, option);
    if (!focused) return;
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = rect();
    frame.backgroundColor = palette().color(backgroundRole());
    p.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

}  // namespace cellsonify
