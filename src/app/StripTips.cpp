#include "app/StripTips.h"

#include "app/MainWindow.h"
#include "drawing/StripView.h"
#include "views/CanvasView.h"

#include <QHelpEvent>
#include <QToolTip>

namespace cellsonify {

StripTips::StripTips(MainWindow& window) : QObject(&window), window_(window) {
    for (CanvasView* strip : window.controls().strips) strip->installEventFilter(this);
}

bool StripTips::eventFilter(QObject* watched, QEvent* event) {
    // Only tooltips ask the window anything: the strips also see events while it is taken down.
    if (event->type() != QEvent::ToolTip) return false;
    const auto& strips = window_.controls().strips;
    for (std::size_t i = 0; i < strips.size(); ++i) {
        if (strips[i] != watched) continue;
        const auto* help = static_cast<QHelpEvent*>(event);
        const ImageCanvas& canvas = strips[i]->canvas();
        const double frame = canvas.userX(help->pos().x() - CanvasView::kBorder + 0.5);
        const double y = canvas.userY(help->pos().y() - CanvasView::kBorder + 0.5);
        const std::string tip = faceStrips()[i].view.tip(window_.model(), frame, y);
        if (tip.empty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), QString::fromStdString(tip), strips[i]);
        return true;
    }
    return false;
}

}  // namespace cellsonify
