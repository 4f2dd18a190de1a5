// The View menu of the application window: the window's zoom and the raster's whole recording.
#include "app/ApplicationWindow.h"

#include "face/WindowZoom.h"

#include <QActionGroup>
#include <QFont>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QSettings>

#include <algorithm>
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
        a->setProperty("zoomStep", step);
        zoomSteps_->addAction(a);
        connect(a, &QAction::triggered, this, [this, step] { chooseZoom(step); });
    }
    zoom->addSeparator();
    QAction* in = zoom->addAction(QStringLiteral("Zoom &In"));
    in->setObjectName(QStringLiteral("zoomInAction"));
    // Ctrl++ is Ctrl+Shift+= on many keyboards; Ctrl+= is taken as well.
    in->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    // At the largest zoom that fits it does nothing: the zoom kept stays the one chosen.
    connect(in, &QAction::triggered, this, [this] {
        const double next = std::min(nextZoom(form_->zoom(), +1), largestFittingZoom());
        if (next > form_->zoom()) chooseZoom(next);
    });
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
    if (const QVariant kept = settings_.value(kZoomKey); kept.isValid())
        wantedZoom_ = nearestZoom(kept.toDouble());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        wantedZoom_ = zoomForScreen(screen->logicalDotsPerInchY(), form_->sizeAt(1.0), {});
    else wantedZoom_ = form_->zoom();
    fitZoomToScreen();
}

void ApplicationWindow::fitZoomToScreen() {
    const double zoom = std::min(wantedZoom_, largestFittingZoom());
    if (zoom != form_->zoom()) form_->setZoom(zoom);  // shown through zoomChanged
    else showZoom(zoom);
}

void ApplicationWindow::showZoom(double zoom) {
    // The menu bar, its menus and the status line grow with the rest of the
    // window; at 100 % they keep the desktop's font.
    QList<QWidget*> bars{menuBar(), statusBar()};
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) bars.push_back(menu);
    for (QWidget* bar : bars) {
        bar->setFont(QFont());
        if (zoom == 1.0) continue;
        QFont zoomed = bar->font();
        if (zoomed.pointSizeF() > 0) zoomed.setPointSizeF(zoomed.pointSizeF() * zoom);
        else zoomed.setPixelSize(int(std::lround(zoomed.pixelSize() * zoom)));
        bar->setFont(zoomed);
    }
    const QString ticked = QStringLiteral("zoom%1Action").arg(int(std::lround(zoom * 100)));
    const double fitting = largestFittingZoom();
    for (QAction* a : zoomSteps_->actions()) {
        a->setChecked(a->objectName() == ticked);
        // Only zooms whose window fits the screen are offered.
        a->setEnabled(a->property("zoomStep").toDouble() <= fitting + 1e-9);
    }
    fitToForm();
}

double ApplicationWindow::largestFittingZoom() const {
    QSize room;
    if (screenRoom_) room = screenRoom_();
    else if (const QScreen* screen = QGuiApplication::primaryScreen()) room = screen->availableSize();
    // The bars at 100 %: their height now, over the zoom they are at.
    const double now = form_->zoom();
    const int bars = int(std::lround((menuBar()->sizeHint().height() + statusBar()->sizeHint().height()) / now));
    // The window with the strips it shows now (a recording's trials and behaviour make it taller).
    const QSize whole = form_->sizeAt(1.0) + QSize(0, bars);
    // The title bar and borders the desktop adds (a guess until the window has been shown).
    const QSize frame = frameGeometry().size() - geometry().size();
    return largestZoomThatFits(whole, frame.isEmpty() ? QSize(8, 32) : frame, room);
}

void ApplicationWindow::chooseZoom(double zoom) {
    form_->setZoom(zoom);
    wantedZoom_ = form_->zoom();
    settings_.setValue(kZoomKey, form_->zoom());
    settings_.sync();
}

}  // namespace cellsonify
