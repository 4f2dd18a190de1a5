#pragma once

#include <QObject>

namespace cellsonify {

class MainWindow;

// The tooltips of the window's strips: what the strip under the pointer has
// at that frame, and its legend (StripView::tip).
class StripTips : public QObject {
    Q_OBJECT
public:
    // Watches every strip of `window`; a child of it.
    explicit StripTips(MainWindow& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindow& window_;
};

}  // namespace cellsonify
