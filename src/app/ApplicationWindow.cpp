#include "app/ApplicationWindow.h"

#include "face/Artwork.h"
#include "app/CellChooser.h"
#include "app/ExportAction.h"
#include "app/ImportOptionsDialog.h"
#include "files/PathNames.h"
#include "app/ListeningNotes.h"
#include "app/MessageSink.h"
#include "playback/PositionText.h"
#include "app/UserSettings.h"
#include "import/RecordingFormats.h"
#include "playback/PlaybackController.h"
#include "playback/RealTimeSpeed.h"
#include "sound/FluidSynthOutput.h"
#include "sound/SoundFontLocator.h"
#include "views/ImageButton.h"

#include <QAction>
#include <QLabel>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>

#include <iostream>

namespace cellsonify {

namespace {

QSettings* settingsOf(ApplicationServices& s, std::unique_ptr<QSettings>& own) {
    if (!s.settings) {
        QString warning;
        own = openUserSettings(&warning);
        if (!warning.isEmpty()) std::cerr << "cellsonify: warning: " << warning.toStdString() << '\n';
        s.settings = own.get();
    }
    return s.settings;
}

QAction* menuEntry(QMenu& menu, const char* name, const QString& text, const QKeySequence& keys = {}) {
    QAction* action = menu.addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    return action;
}

const QString kExportTypeKey = QStringLiteral("export/type");
const QString kOpenFolderKey = QStringLiteral("open/folder");
const QString kOpenTypeKey = QStringLiteral("open/type");
const QString kImportThresholdKey = QStringLiteral("import/threshold");
const QString kImportTraceKey = QStringLiteral("import/trace");
const QString kImportFramesKey = QStringLiteral("import/frames");
const QString kImportAskKey = QStringLiteral("import/askOnOpen");

// The Help menu's words on what opens and what exports; the formats opened
// are listed from their table.
std::string dataFormats() {
    return "Open reads a cellsonify data file: plain text of numbers separated by commas, blanks or tabs.\n\n"
    "Four header lines of four values; the sixth value is the frame count (at most 100000).\n"
    "Then for each cell: a line \"identifier X Y level\" and a line of the frames in which it is active, "
    "ended by a value of 0 or less. Cells with a level of 0 or less are left out; an X of 0 ends the data. "
    "At most 1500 cells.\n\n"
    "Open also imports " + listRecordingFormats(true) + " (of a suite2p plane folder, choose any .npy in it)"
    ": each accepted ROI becomes a cell at level 1, with an event where its trace's z-score first "
    "reaches 3 (File > Import Options... sets another threshold, the trace and the frames); every accepted ROI "
    "and every frame is kept (a run folder of planes without combined/ opens every plane as one). A file whose "
    "name ends otherwise is "
    "told by its first bytes: HDF5 with an nwb_version is NWB, HDF5 with /estimates is CaImAn, a NumPy array is "
    "a suite2p plane file, and anything else a data file.\n\n"
    "Export writes one pass of playback at the speed in the box, with the instrument and the Sound menu's "
    "mapping and note length, as a Standard MIDI File (.mid, one tick = one millisecond), as 44.1 kHz 16-bit "
    "stereo WAV audio (.wav) or as an MP4 movie of the playing window with its sound (.mp4); or the window's "
    "views at the current frame as a PNG picture (.png). The name's extension chooses the format.";
}

}  // namespace

ApplicationWindow::ApplicationWindow(ApplicationServices services, QWidget* parent)
    : QMainWindow(parent),
      settings_(*settingsOf(services, ownSettings_)),
      recent_(settings_),
      preferences_(loadSoundPreferences(settings_)),
      outputs_(std::move(services.outputs)) {
    setObjectName(QStringLiteral("applicationWindow"));
    screenRoom_ = std::move(services.screenRoom);
    if (!outputs_.make) outputs_ = systemOutputChoices(SoundOptions::fromEnvironment());
    form_ = new MainWindow(services.window, this);
    messages_ = &form_->messages();
    setCentralWidget(form_);
    setWindowTitle(form_->windowTitle());
    setWindowIcon(appIcon());
    connect(form_, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    connect(form_, &MainWindow::dataLoaded, this, [this] {
        recent_.add(QString::fromStdString(form_->model().DataFile));
        fillRecentMenu(*recentMenu_);
        for (QAction* a : recordingActions_) a->setEnabled(true);
    });

    // The open dialog starts where, and at the type, the last choice was made, this run or an earlier one.
    DataFileDialog& opener = form_->openDialog();
    opener.startAt(settings_.value(kOpenFolderKey).toString().toStdString(),
                   settings_.value(kOpenTypeKey).toString().toStdString());
    opener.chosen = [this, &opener] {
        settings_.setValue(kOpenFolderKey, QFileInfo(QString::fromStdString(opener.fileName())).absolutePath());
        settings_.setValue(kOpenTypeKey, QString::fromStdString(opener.fileType()));
        settings_.sync();
    };

    // The import options chosen last, this run or an earlier one.
    ImportOptions reading;
    reading.threshold = settings_.value(kImportThresholdKey, reading.threshold).toDouble();
    reading.trace = settings_.value(kImportTraceKey).toString().toStdString();
    const QStringList frames = settings_.value(kImportFramesKey).toString().split(QLatin1Char(':'));
    if (frames.size() == 2) reading.firstFrame = frames[0].toLongLong(), reading.lastFrame = frames[1].toLongLong();
    form_->setImportOptions(reading);
    form_->setImportQuestion([this](const std::string& path) { return askImportOptionsOnOpen(path); });

    buildFileMenu();
    buildPlaybackMenu();
    buildSoundMenu();
    buildCellsMenu();
    buildViewMenu();
    buildRowOrderMenu();
    buildHelpMenu();
    statusBar()->setObjectName(QStringLiteral("statusLine"));
    ExportAction& exporter = form_->exportAction();
    connect(&exporter, &ExportAction::exported, this, [this](const QString& path) {
        const QFileInfo file(path);
        statusBar()->showMessage(
            QStringLiteral("Exported %1 to %2").arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())));
    });
    // The export dialog starts at the type chosen last, this run or an earlier one.
    exporter.setLastExtension(settings_.value(kExportTypeKey).toString().toStdString());
    connect(&exporter, &ExportAction::extensionChosen, this, [this](const QString& extension) {
        settings_.setValue(kExportTypeKey, extension);
        settings_.sync();
    });
    listening_ = new QLabel(this);
    listening_->setObjectName(QStringLiteral("listeningLabel"));
    statusBar()->addWidget(listening_, 1);  // the room the position leaves; an export's message covers it a while
    for (auto signal : {&MainWindow::playClicked, &MainWindow::stopClicked, &MainWindow::dataLoaded})
        connect(form_, signal, this, &ApplicationWindow::showListening);
    connect(form_, &MainWindow::speedEdited, this, &ApplicationWindow::showListening);
    connect(form_, &MainWindow::soundSwitched, this, &ApplicationWindow::showListening);
    position_ = new QLabel(this);
    position_->setObjectName(QStringLiteral("positionLabel"));
    statusBar()->addPermanentWidget(position_);  // beside any passing message
    statusBar()->setSizeGripEnabled(false);
    const auto showPosition = [this] {
        position_->setText(QString::fromStdString(positionText(form_->model())));
        showVoicing();
    };
    connect(form_, &MainWindow::positionShown, this, showPosition);
    connect(form_, &MainWindow::dataLoaded, this, showPosition);
    connect(form_, &MainWindow::dataLoaded, this, &ApplicationWindow::enableRealTime);
    connect(form_, &MainWindow::dataLoaded, this, &ApplicationWindow::fitMappingToRecording);
    showPosition();
    enableRealTime();
    fitToForm();
    connect(form_, &MainWindow::stripsShownChanged, this, &ApplicationWindow::fitZoomToScreen);

    PlaybackController& playback = form_->playback();
    try {
        playback.setMapping(preferences_.mapping);
    } catch (const SoundMappingError&) {
        preferences_.mapping = {};
    }
    playback.setNoteLength(preferences_.noteLength);
    playback.setVelocityMode(preferences_.velocity);
    playback.setNotesPerFrame(preferences_.notesPerFrame);
    // A port given on the command line or in the environment wins over the kept one.
    const std::string kept = preferences_.outputPort;
    preferences_.outputPort = services.startPort;
    if (services.startPort.empty() && !kept.empty() && !chooseOutput(kept)) {
        preferences_.outputPort.clear();
        saveSoundPreferences(settings_, preferences_);
    }
    showListening();
}

ApplicationWindow::~ApplicationWindow() {
    // The main window's playback still points at the output this owns.
    delete form_;
}

QAction& ApplicationWindow::action(const char* objectName) {
    QAction* found = findChild<QAction*>(QLatin1String(objectName));
    if (!found) throw std::logic_error(std::string("no action ") + objectName);
    return *found;
}

void ApplicationWindow::showListening() {
    if (!listening_ || !cells_) return;  // while the menus are being built
    ListeningState state;
    state.playing = form_->playback().timerInterval() != 0;
    state.soundOn = form_->soundOn();
    state.mapping = form_->playback().settings().pass.mapping;
    state.rows = rowOrder_;
    state.hear = cells_->selection().hear;
    state.selected = cells_->selection().count();
    listening_->setText(QString::fromStdString(listeningNotes(state)));
}

void ApplicationWindow::tell(const std::string& text) { messages_->show(windowTitle().toStdString(), text); }

void ApplicationWindow::buildFileMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(menuEntry(*file, "openAction", QStringLiteral("&Open..."), QKeySequence::Open), &QAction::triggered, this,
            [this] { form_->chooseDataFile(); });
    recentMenu_ = file->addMenu(QStringLiteral("Open &Recent"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { fillRecentMenu(*recentMenu_); });
    fillRecentMenu(*recentMenu_);
    connect(menuEntry(*file, "importOptionsAction", QStringLiteral("&Import Options...")), &QAction::triggered, this,
            &ApplicationWindow::askImportOptions);
    file->addAction(&form_->exportAction().action());
    buildContextFileEntries(*file);
    file->addSeparator();
    QAction* quit = menuEntry(*file, "quitAction", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

bool ApplicationWindow::keepImportOptions(const ImportOptions& chosen) {
    if (!form_->setImportOptions(chosen)) return false;  // an import is under way
    settings_.setValue(kImportThresholdKey, chosen.threshold);
    settings_.setValue(kImportTraceKey, QString::fromStdString(chosen.trace));
    settings_.setValue(kImportFramesKey, QStringLiteral("%1:%2").arg(chosen.firstFrame).arg(chosen.lastFrame));
    settings_.sync();
    return true;
}

bool ApplicationWindow::askImportOptionsOnOpen(const std::string& path) {
    if (!settings_.value(kImportAskKey, true).toBool()) return true;
    ImportOptionsDialog dialog(form_->importOptions(), QString::fromStdString(recordingNameOf(path)), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    settings_.setValue(kImportAskKey, dialog.askAgain());
    return keepImportOptions(dialog.options());
}

void ApplicationWindow::askImportOptions() {
    ImportOptionsDialog dialog(form_->importOptions(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!keepImportOptions(dialog.options())) return;
    // The recording open, if it holds traces, is read again with them.
    const std::string& open = form_->model().DataFile;
    if (!open.empty() && recordingFormatOf(open).readsTraces) form_->openRecording(open);
}

void ApplicationWindow::fillRecentMenu(QMenu& menu) {
    menu.clear();
    const QStringList paths = recent_.paths();
    for (int i = 0; i < paths.size(); ++i) {
        QAction* entry = menu.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(paths[i]));
        entry->setObjectName(QStringLiteral("recent%1").arg(i + 1));
        connect(entry, &QAction::triggered, this, [this, path = paths[i]] { openRecent(path); });
    }
    menu.setEnabled(!paths.isEmpty());
}

void ApplicationWindow::openRecent(const QString& path) {
    const std::string file = path.toStdString();
    if (!form_->openChosenRecording(file)) return;
    // The opening ends later; a refused recording leaves the list, a cancelled one stays.
    connect(
        form_, &MainWindow::openingEnded, this,
        [this, path](bool opened, const QString& error) {
            if (!opened && !error.isEmpty()) forgetRecent(path);
        },
        Qt::SingleShotConnection);
}

void ApplicationWindow::forgetRecent(const QString& path) {
    recent_.remove(path);
    fillRecentMenu(*recentMenu_);
}

void ApplicationWindow::buildPlaybackMenu() {
    QMenu* playback = menuBar()->addMenu(QStringLiteral("&Playback"));
    // Space and Home belong to the window, so the speed box (which claims the
    // keys it types or moves with) still gets them while it has the focus.
    QAction* playStop = menuEntry(*playback, "playStopAction", QStringLiteral("&Play/Stop"), Qt::Key_Space);
    connect(playStop, &QAction::triggered, this, &ApplicationWindow::playOrStop);
    QAction* back = menuEntry(*playback, "backAction", QStringLiteral("&Back to Start"), Qt::Key_Home);
    connect(back, &QAction::triggered, form_, &MainWindow::backClicked);
    // Hovering a control says what it does and which key does it too.
    form_->playButton().setToolTip(QStringLiteral("Play from the current frame (Space)"));
    form_->stopButton().setToolTip(QStringLiteral("Stop where playback is (Space)"));
    form_->backButton().setToolTip(QStringLiteral("Back to the start (Home)"));
    form_->speedBox().setToolTip(QStringLiteral("Speed: milliseconds per frame; 0 stops"));
    needsRecording({playStop, back});
    playback->addSeparator();
    // The speed box keeps milliseconds per frame: these fill it in from the
    // recording's frame rate, at its own pace or faster.
    for (const int times : {1, 2, 4, 8}) {
        const QString name = times == 1 ? QStringLiteral("realTimeAction") : QStringLiteral("realTimeX%1Action").arg(times);
        const QString text = times == 1 ? QStringLiteral("&Real Time") : QStringLiteral("Real Time x&%1").arg(times);
        QAction* entry = playback->addAction(text);
        entry->setObjectName(name);
        connect(entry, &QAction::triggered, this, [this, times] {
            if (const std::optional<int> ms = realTimeInterval(form_->model().FrameRate, times))
                form_->playback().setSpeed(std::to_string(*ms));
        });
    }
    buildTrialEntries(*playback);
}

void ApplicationWindow::enableRealTime() {
    const bool known = realTimeInterval(form_->model().FrameRate).has_value();
    for (const char* name : {"realTimeAction", "realTimeX2Action", "realTimeX4Action", "realTimeX8Action"})
        action(name).setEnabled(known);
}

void ApplicationWindow::needsRecording(std::initializer_list<QAction*> actions) {
    // A recording, once open, stays open (a refused file keeps the one shown).
    const bool open = !form_->model().DataFile.empty();
    for (QAction* a : actions) {
        a->setEnabled(open);
        recordingActions_.push_back(a);
    }
}

void ApplicationWindow::fitToForm() {
    const QSize whole(form_->width(),
                      form_->height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    // Smaller, the status line would cover the keyboard: the controls never move with the window.
    setMinimumSize(whole);
    resize(whole);
}

void ApplicationWindow::playOrStop() {
    if (form_->stopButton().isVisibleTo(form_))
        emit form_->stopClicked();
    else
        emit form_->playClicked();
}

void ApplicationWindow::buildHelpMenu() {
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(menuEntry(*help, "aboutAction", QStringLiteral("&About cellsonify")), &QAction::triggered, this,
            [this] { messages_->show("About cellsonify", aboutText()); });
    connect(menuEntry(*help, "formatsAction", QStringLiteral("&Data Formats")), &QAction::triggered, this,
            [this] { messages_->show("Data formats", dataFormats()); });
}

std::string ApplicationWindow::aboutText() const {
    std::string font;
    if (auto* synth = dynamic_cast<FluidSynthOutput*>(form_->playback().output()); synth && !synth->soundFontPath().empty())
        font = synth->soundFontPath();
    else if (const SoundFontChoice choice = chooseSoundFont(); !choice.path.empty())
        font = choice.path.string() + " (for audio export)";
    else
        font = "none (" + choice.error + ")";
    return "cellsonify " CELLSONIFY_VERSION "\nHear and see a calcium-imaging recording.\n\nOutput: " +
           outputLabel(preferences_.outputPort) + "\nSoundFont: " + font +
           "\n\nFree software under the GNU General Public License, version 3 or later (GPL-3.0-or-later), "
           "with no warranty.";
}

void ApplicationWindow::showVoicing() {
    const PlaybackController& playback = form_->playback();
    const std::string said =
        voicingSummary(form_->model().CellCount, playback.voicing(), playback.settings().pass.notesPerFrame);
    if (said.empty() || said == shownVoicing_) return;
    shownVoicing_ = said;
    statusBar()->showMessage(QString::fromStdString(said));
}

}  // namespace cellsonify
