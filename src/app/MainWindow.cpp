#include "app/MainWindow.h"

#include "face/Artwork.h"
#include "app/ExportAction.h"
#include "app/FileChooser.h"
#include "app/MessageSink.h"
#include "app/RasterNavigator.h"
#include "app/RecordingOpening.h"
#include "app/StripTips.h"
#include "face/RasterWindow.h"
#include "face/Twips.h"
#include "import/RecordingFile.h"
#include "import/RecordingFormats.h"
#include "playback/PlaybackController.h"
#include "playback/PlaybackDisplay.h"
#include "playback/RealTimeSpeed.h"
#include "views/CanvasView.h"
#include "views/ImageButton.h"
#include "face/RedrawViews.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <cstdio>

namespace cellsonify {

namespace {

bool hasEvents(const CellModel& model) {
    for (int cell = 1; cell <= model.CellCount; ++cell)
        if (!model.Activity.framesOf(cell).empty()) return true;
    return false;
}

FileChooser& chooserOf(MainWindowServices& s, std::unique_ptr<FileChooser>& own, QWidget* parent) {
    if (!s.chooser) {
        own = std::make_unique<QtFileChooser>(parent);
        s.chooser = own.get();
    }
    return *s.chooser;
}

}  // namespace

class MainWindow::Display : public PlaybackDisplay {
public:
    explicit Display(MainWindow& window) : w_(window) {}
    Canvas& raster() override { return w_.raster().canvas(); }
    Canvas& cellMap() override { return w_.cellMap().canvas(); }
    Canvas& keyboard() override { return w_.keyboard().canvas(); }
    void moveCursors(double frame) override { w_.moveCursors(frame); }
    void redrawViews() override { w_.redrawViews(); }
    void drawKeyboard() override { w_.drawKeyboard(); }
    void setStopButtonVisible(bool visible) override { w_.setStopButtonVisible(visible); }
    void showSpeedText(const std::string& text) override { w_.setSpeedText(text); }

private:
    MainWindow& w_;
};

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : WindowForm(parent),
      services_(std::move(services)),
      dialog_(chooserOf(services_, ownChooser_, this)) {
    setObjectName(QStringLiteral("form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(appIcon());
    if (!services_.messages) {
        ownMessages_ = std::make_unique<QtMessageSink>(this);
        services_.messages = ownMessages_.get();
    }
    if (!services_.open)
        services_.open = [](const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
            OpenedRecording opened = cellsonify::openRecording(path, options, progress);
            // The caption shows the warnings; a terminal shows them in full.
            if (opened.source)
                for (const std::string& w : opened.source->warnings)
                    std::fprintf(stderr, "cellsonify: %s: warning: %s\n", recordingName(path).c_str(), w.c_str());
            return opened;
        };
    display_ = std::make_unique<Display>(*this);
    playback_ = std::make_unique<PlaybackController>(*display_, keys_, services_.midi, services_.clock);
    connectControls();
    openSound();
    drawKeyboard();
    exportAction_ = new ExportAction(*this, *services_.chooser, *services_.messages);
    opening_ = new RecordingOpening(*this, services_.open, *services_.messages, [this](OpenedRecording fresh) {
        const std::optional<int> realTime = realTimeInterval(fresh.model.FrameRate);
        sourcePixels_.clear();
        if (fresh.source) {
            sourcePixels_.assign(1, CellPosition{});
            for (std::size_t c = 1; c < fresh.source->filePositions.size(); ++c) {
                const CellPosition& file = fresh.source->filePositions[c];
                sourcePixels_.push_back({file.X - 1, fresh.source->imageRows - file.Y});
            }
        }
        // Only traces have a threshold to lower.
        const bool silent = fresh.source && fresh.model.CellCount > 0 && !hasEvents(fresh.model);
        const double threshold = fresh.source ? fresh.source->threshold : 0;
        showRecording(std::move(fresh.model), fresh.caption);
        // A recording plays at the pace it was imaged at when it says what that is.
        if (realTime) playback_->setSpeed(std::to_string(*realTime));
        // An empty raster with no word reads as a fault.
        if (silent) {
            char k[32];
            std::snprintf(k, sizeof k, "%g", threshold);
            services_.messages->show(windowTitle().toStdString(),
                                     "No cell has an event at " + std::string(k) +
                                         " SD, the import's threshold: no trace reaches it. Lower it with "
                                         "File > Import Options... (or --threshold on the command line).");
        }
    });
    connect(opening_, &RecordingOpening::openingEnded, this, &MainWindow::openingEnded);
    navigator_ = new RasterNavigator(*this);
    new StripTips(*this);
}

void MainWindow::openSound() {
    // A window without any output, or whose output will not open, works silently.
    const std::optional<std::string> why = playback_->openSound();
    if (!why) return;
    // The box keeps its one line; the reason goes where a user starting from a
    // terminal will look for it.
    if (!why->empty()) std::fprintf(stderr, "cellsonify: no sound: %s\n", why->c_str());
    services_.messages->show(windowTitle().toStdString(), "Sound mode is not available");
}

const CellModel& MainWindow::model() const { return playback_->model(); }

MainWindow::~MainWindow() = default;

void MainWindow::connectControls() {
    connect(controls_.fileOpen, &QPushButton::clicked, this, [this] { chooseDataFile(); });
    connect(controls_.raster, &CanvasView::filesDropped, this, &MainWindow::dropFiles);
    connect(controls_.cellMap, &CanvasView::filesDropped, this, &MainWindow::dropFiles);
    // On a screen of another resolution the views' images are resized: draw them again.
    connect(controls_.raster, &CanvasView::resolutionChanged, this, &MainWindow::redrawViews);
    connect(controls_.cellMap, &CanvasView::resolutionChanged, this, &MainWindow::redrawViews);
    connect(controls_.keyboard, &CanvasView::resolutionChanged, this, &MainWindow::drawKeyboard);
    connect(controls_.raster, &CanvasView::pressed, this, &MainWindow::seekRequested);
    connect(controls_.frameStrip, &CanvasView::pressed, this, &MainWindow::seekRequested);
    for (CanvasView* strip : controls_.strips) connect(strip, &CanvasView::pressed, this, &MainWindow::seekRequested);
    connect(controls_.play, &ImageButton::clicked, this, &MainWindow::playClicked);
    connect(controls_.stop, &ImageButton::clicked, this, &MainWindow::stopClicked);
    connect(controls_.back, &ImageButton::clicked, this, &MainWindow::backClicked);
    connect(controls_.speed, &QLineEdit::textChanged, this, &MainWindow::speedEdited);
    for (int i = 0; i < 7; ++i)
        connect(controls_.instrument[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) emit instrumentChosen(i + 1);
        });
    connect(controls_.soundOn, &QRadioButton::toggled, this, &MainWindow::soundSwitched);

    // The window reports; playback decides.
    PlaybackController& p = *playback_;
    connect(this, &MainWindow::playClicked, this, [&p] { p.play(); });
    connect(this, &MainWindow::stopClicked, this, [&p] { p.stop(); });
    connect(this, &MainWindow::backClicked, this, [&p] { p.back(); });
    connect(this, &MainWindow::seekRequested, this, [&p](double frame) { p.seek(frame); });
    connect(this, &MainWindow::speedEdited, this, [&p](const QString& text) { p.speedTextChanged(text.toStdString()); });
    connect(this, &MainWindow::instrumentChosen, this, [&p](int index) { p.chooseInstrument(index); });
    connect(this, &MainWindow::soundSwitched, this, [&p](bool on) { p.soundSwitched(on); });
}

bool MainWindow::soundOn() const { return playback_->settings().soundOn; }

std::string MainWindow::speedText() const { return controls_.speed->text().toStdString(); }

void MainWindow::setSpeedText(const std::string& text) { controls_.speed->setText(QString::fromStdString(text)); }

void MainWindow::showRecording(CellModel fresh, const std::string& caption) {
    playback_->replaceRecording(std::move(fresh));
    setWindowTitle(QString::fromStdString(caption));
    showModel();
    emit dataLoaded();
}

bool MainWindow::setImportOptions(const ImportOptions& options) {
    if (opening()) return false;
    importOptions_ = options;
    return true;
}

bool MainWindow::opening() const { return opening_->busy(); }

bool MainWindow::openRecording(const std::string& path) { return opening_->start(path, importOptions_); }

void MainWindow::showModel() {
    const CellModel& m = model();
    showLoadedRecording(m);
    emit positionShown(m.CurrentFrame);
}

void MainWindow::chooseDataFile() {
    const std::string file = dialog_.ask();
    if (!file.empty()) openChosenRecording(file);
}

void MainWindow::dropFiles(const QStringList& paths) {
    if (auto file = dataFileFromDrop(paths)) openChosenRecording(file->toStdString());
}

bool MainWindow::openChosenRecording(const std::string& path) {
    if (askBeforeImport_ && recordingFormatOf(path).readsTraces && !askBeforeImport_(path)) return false;
    return openRecording(path);
}

void MainWindow::redrawViews() { WindowForm::redrawViews(model()); }

void MainWindow::moveCursors(double frame) {
    if (followFrame(model(), frame)) emit rasterWindowChanged();
    WindowForm::moveCursors(frame);
    emit positionShown(frame);
}

void MainWindow::showRasterWindow(const UserScale& window) {
    const CellModel& m = model();
    if (m.CellCount < 1 || m.FrameCount < 1) return;
    const UserScale kept = rasterwindow::scrolled(window, 0, 0, m.FrameCount, m.CellCount);
    if (kept == rasterWindow()) return;
    WindowForm::showRasterWindow(m, kept);
    emit rasterWindowChanged();
}

void MainWindow::showWholeRecording() {
    const CellModel& m = model();
    showRasterWindow(rasterwindow::whole(m.FrameCount, m.CellCount));
}

void MainWindow::setZoom(double zoom) {
    if (!applyZoom(zoom)) return;
    // The views' images have their new sizes: draw them again, the overlays
    // having moved with them.
    redrawViews();
    emit zoomChanged(zoom_);
}

}  // namespace cellsonify
