#include "app/MainWindow.h"

#include "app/Artwork.h"
#include "app/ExportAction.h"
#include "app/FileChooser.h"
#include "app/MessageSink.h"
#include "app/PlaybackWiring.h"
#include "app/SaveFileChooser.h"
#include "model/DataFileLoader.h"
#include "sound/Instruments.h"
#include "sound/MidiOutput.h"
#include "sound/ReportingOutput.h"
#include "views/CanvasView.h"
#include "views/ImageButton.h"
#include "views/RedrawViews.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

namespace cellsonify {

namespace {

FileChooser& chooserOf(MainWindowServices& s, std::unique_ptr<FileChooser>& own, QWidget* parent) {
    if (!s.chooser) {
        own = std::make_unique<QtFileChooser>(parent);
        s.chooser = own.get();
    }
    return *s.chooser;
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      controls_(buildMainWindowControls(*this)),
      dialog_(chooserOf(services_, ownChooser_, this)) {
    setObjectName(QStringLiteral("form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(appIcon());
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(8.25);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(527, 431);
    if (!services_.messages) {
        ownMessages_ = std::make_unique<QtMessageSink>(this);
        services_.messages = ownMessages_.get();
    }
    if (!services_.load) services_.load = [](const std::string& path) { return LoadDataFile(path); };
    connectControls();
    openSound();
    drawKeyboard();
    playback_ = std::make_unique<PlaybackWiring>(*this, services_.midi);
    if (!services_.saveChooser) {
        ownSaveChooser_ = std::make_unique<QtSaveFileChooser>(this);
        services_.saveChooser = ownSaveChooser_.get();
    }
    new ExportAction(*this, *services_.saveChooser, *services_.messages);  // a child of this window
}

void MainWindow::openSound() {
    // A window without any output, or whose output will not open, works silently.
    if (services_.midi && services_.midi->open() == 0) {
        services_.midi->shortMessage(programChangeMessage(0));
        return;
    }
    // The box keeps its one line; the reason goes where a user starting from a
    // terminal will look for it.
    const std::string why = services_.midi ? lastErrorOf(*services_.midi) : "no MIDI output";
    if (!why.empty()) std::fprintf(stderr, "cellsonify: no sound: %s\n", why.c_str());
    services_.messages->show(windowTitle().toStdString(), "Sound mode is not available");
}

void MainWindow::chooseInstrument(int index) {
    const Instrument& instrument = kInstruments.at(static_cast<std::size_t>(index - 1));
    if (services_.midi) sendInstrument(*services_.midi, instrument);
    if (instrument.repaintsViews) {
        drawKeyboard();
        redrawViews();
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::connectControls() {
    connect(controls_.fileOpen, &QPushButton::clicked, this, [this] { chooseDataFile(); });
    connect(controls_.raster, &CanvasView::filesDropped, this, &MainWindow::dropFiles);
    connect(controls_.cellMap, &CanvasView::filesDropped, this, &MainWindow::dropFiles);
    connect(controls_.raster, &CanvasView::pressed, this, &MainWindow::seekRequested);
    connect(controls_.frameStrip, &CanvasView::pressed, this, &MainWindow::seekRequested);
    connect(controls_.play, &ImageButton::clicked, this, &MainWindow::playClicked);
    connect(controls_.stop, &ImageButton::clicked, this, &MainWindow::stopClicked);
    connect(controls_.back, &ImageButton::clicked, this, &MainWindow::backClicked);
    connect(controls_.speed, &QLineEdit::textChanged, this, &MainWindow::speedEdited);
    for (int i = 0; i < 7; ++i)
        connect(controls_.instrument[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            chooseInstrument(i + 1);
            emit instrumentChosen(i + 1);
        });
    connect(controls_.soundOn, &QRadioButton::toggled, this, [this](bool on) { emit soundSwitched(on); });
}

bool MainWindow::soundOn() const { return controls_.soundOn->isChecked(); }

void MainWindow::setStopButtonVisible(bool visible) { controls_.stop->setVisible(visible); }

std::string MainWindow::speedText() const { return controls_.speed->text().toStdString(); }

void MainWindow::setSpeedText(const std::string& text) { controls_.speed->setText(QString::fromStdString(text)); }

void MainWindow::loadDataFile(const std::string& path) {
    if (auto refused = replaceModel(model_, path, services_.load)) {
        services_.messages->show(windowTitle().toStdString(), *refused);
        return;
    }
    showModel();
    emit dataLoaded();
}

void MainWindow::showModel() {
    setWindowTitle(QString::fromStdString(model_.Caption));
    controls_.cellCount->setText(QString::number(model_.CellCount));
    controls_.frameCount->setText(QString::number(model_.FrameCount));
    const UserScale r = controls_.raster->scale();
    controls_.raster->setScale(r.left, r.top, model_.FrameCount, model_.CellCount);
    const UserScale i = controls_.frameStrip->scale();
    controls_.frameStrip->setScale(i.left, i.top, model_.FrameCount, i.height);
    model_.CurrentFrame = 0;
    redrawViews();
    moveCursors(model_.CurrentFrame);
}

void MainWindow::chooseDataFile() {
    const std::string file = dialog_.ask();
    if (!file.empty()) loadDataFile(file);
}

void MainWindow::dropFiles(const QStringList& paths) {
    if (auto file = dataFileFromDrop(paths)) loadDataFile(file->toStdString());
}

void MainWindow::redrawViews() { RedrawViews(model_, controls_.raster->canvas(), controls_.cellMap->canvas()); }

void MainWindow::drawKeyboard() { DrawKeyboard(keys_, controls_.keyboard->canvas()); }

void MainWindow::moveCursors(double frame) {
    for (OverlayLine* cursor : {controls_.frameStrip->line(kFrameStripCursor), controls_.raster->line(kRasterBottomCursor),
                                controls_.raster->line(kRasterTopCursor)}) {
        cursor->setX1(frame);
        cursor->setX2(frame);
    }
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintFormBackdrop(p);
}

}  // namespace cellsonify
