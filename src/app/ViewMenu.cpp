// The View menu of the application window: the window's zoom and the raster's whole recording.
#include "app/ApplicationWindow.h"

#include "face/WindowZoom.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>

#include <cmath>

namespace cellsonify {

namespace {
const QString kZoomKey = QStringLiteral("view/zoom");
}  // namespace

void ApplicationWindow::buildViewMenu() {
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    QMenu* zoom = view->addMenu(QStringLiteral("&Zoom"));
    zoom->setObjectName(QStringLiteral("zoomMenu"));
    zoomSteps_ = new QActionGroup(zoom);
    for (double step : kZoomSteps) {
        const int percent = int(step * 100);
        QAction* a = zoom->addAction(QStringLiteral("&%1 %").arg(percent));
        a->setObjectName(QStringLiteral("zoom%1Action").arg(percent));
        a->setCheckable(true);
        zoomSteps_->addAction(a);
        connect(a, &QAction::triggered, this, [this, step] { chooseZoom(step); });
    }
    zoom->addSeparator();
    QAction* in = zoom->addAction(QStringLiteral("Zoom &In"));
    in->setObjectName(QStringLiteral("zoomInAction"));
    // Ctrl++ is Ctrl+Shift+= on many keyboards; Ctrl+= is taken as well.
    in->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(in, &QAction::triggered, this, [this] { chooseZoom(nextZoom(form_->zoom(), +1)); });
    QAction* out = zoom->addAction(QStringLiteral("Zoom &Out"));
    out->setObjectName(QStringLiteral("zoomOutAction"));
    out->setShortcut(QKeySequence::ZoomOut);
    connect(out, &QAction::triggered, this, [this] { chooseZoom(nextZoom(form_->zoom(), -1)); });
    connect(form_, &MainWindow::zoomChanged, this, &ApplicationWindow::showZoom);

    // The raster zooms with the wheel; this brings the whole recording back.
    QAction* whole = view->addAction(QStringLiteral("Show &Whole Recording"));
    whole->setObjectName(QStringLiteral("wholeRecordingAction"));
    whole->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    connect(whole, &QAction::triggered, form_, &MainWindow::showWholeRecording);

    // A kept zoom wins; the first time, the one that suits the screen.
    double start = 0;
    if (const QVariant kept = settings_.value(kZoomKey); kept.isValid()) start = nearestZoom(kept.toDouble());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        start = zoomForScreen(screen->logicalDotsPerInchY(), MainWindow::layoutSize(1.0),
                              screen->availableSize() - QSize(0, 80));
    if (start > 0) form_->setZoom(start);
    showZoom(form_->zoom());
}

void ApplicationWindow::showZoom(double zoom) {
    const QString ticked = QStringLiteral("zoom%1Action").arg(int(std::lround(zoom * 100)));
    for (QAction* a : zoomSteps_->actions()) a->setChecked(a->objectName() == ticked);
    fitToForm();
}

void ApplicationWindow::chooseZoom(double zoom) {
    form_->setZoom(zoom);
    settings_.setValue(kZoomKey, form_->zoom());
    settings_.sync();
}

}  // namespace cellsonify
