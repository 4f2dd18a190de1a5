// The window's Export command, driven as a user drives it: right-click on the
// background, Ctrl+E, the save dialog (scripted) and the progress dialog.
#include "AppTestSupport.h"

#include "app/ExportAction.h"
#include "app/FileChooser.h"
#include "soundfiles/ExportTestSupport.h"
#include "cli/RenderCommand.h"
#include "face/FaceLayout.h"
#include "face/FigureFace.h"
#include "views/ImageButton.h"
#include "sound/SoundFontLocator.h"
#include "support/TestFiles.h"
#include "video/MovieDecoder.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace cellsonify;
using namespace apptest;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs the event loop until the export under way (if any) has ended, as the
// window would while the user waits: the export runs on its own thread.
void waitForExport(QWidget& window) {
    auto* action = window.findChild<ExportAction*>();
    ASSERT_NE(action, nullptr);
    if (!action->busy()) return;
    QEventLoop loop;
    QObject::connect(action, &ExportAction::exportEnded, &loop, &QEventLoop::quit);
    loop.exec();
    // The window's activation once the progress dialog has gone comes as an
    // event, which the loop would deliver before the user's next keystroke.
    QApplication::processEvents();
}

// Ctrl+E typed into the window, then the wait for the export it started.
void pressCtrlE(QWidget& window) {
    // A keystroke comes after the events already on their way, the window's
    // activation as the last dialog went included, which may take more than
    // one pass of the loop on a busy machine.
    for (int pass = 0; pass < 100 && QApplication::activeWindow() != &window; ++pass) QApplication::processEvents();
    const QString e = QStringLiteral("\x05");
    if (!qt_sendShortcutOverrideEvent(&window, 0, Qt::Key_E, Qt::ControlModifier, e)) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_E, Qt::ControlModifier, e);
        QApplication::sendEvent(&window, &down);
    }
    waitForExport(window);
}

// A right-click on the window at `at` (a spot of bare background).
void rightClick(QWidget& window, QPoint at) {
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, window.mapToGlobal(at));
    QApplication::sendEvent(&window, &e);
}

}  // namespace

struct MainWindowExport : WindowFixture {
    testfiles::TempDir dir;
    std::string dataPath;

    void SetUp() override {
        MainWindowServices s;
        s.chooser = &chooser;
        s.messages = &messages;
        s.midi = &midi;
        s.open = files.opener();
        window = std::make_unique<MainWindow>(s);
        window->show();
        // Ctrl+E belongs to the active window, as it would on a desktop.
        window->activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), window.get());
        // A real file, so the command line can render the very same recording.
        std::ofstream(dir.path() / "rec.txt") << "512 512 20 1\n6 0 0 0\n0 0 0 0\n0 0 0 0\n"
                                                 "1 10 20 1\n1 3 6\n2 11 20 1\n2 3\n3 12 20 1\n5\n";
        dataPath = (dir.path() / "rec.txt").string();
        files.models[dataPath] = LoadDataFile(dataPath);
    }

    std::string out(const char* name) const { return (dir.path() / name).string(); }
    // What the command line writes for this recording with `extra` arguments.
    std::string commandOutput(const char* name, std::vector<std::string> extra) {
        std::vector<std::string> args{dataPath, "-o", out(name)};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream sink;
        EXPECT_EQ(renderCommand(args, sink, sink, false), 0) << sink.str();
        return readFile(out(name));
    }
    // A point on the window's grey background, away from every control.
    QPoint background() {
        const QPoint at(window->width() - 3, window->height() - 3);
        EXPECT_EQ(window->childAt(at), nullptr) << "the spot must be bare background";
        return at;
    }
};

TEST_F(MainWindowExport, BackgroundMenuExportsWhatTheCommandLineWrites) {
    openNow(*window, dataPath);
    uievents::click(window->instrumentOption(5), {5, 5});  // Ice Rain
    window->setSpeedText("80");
    chooser.saveAnswers = {out("window.mid")};

    rightClick(*window, background());
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "no menu popped up";
    ASSERT_EQ(menu->actions().size(), 1);
    QAction* exportItem = menu->actions().front();
    EXPECT_EQ(exportItem->text(), "Export...");
    EXPECT_EQ(exportItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    const QPoint item = menu->actionGeometry(exportItem).center();
    uievents::press(*menu, item);
    uievents::release(*menu, item);
    waitForExport(*window);

    ASSERT_EQ(chooser.saveAsked.size(), 1u);
    EXPECT_EQ(chooser.saveAsked[0].title, "Export");
    EXPECT_EQ(chooser.saveAsked[0].filter, "MIDI File (*.mid);;WAV Audio (*.wav);;MP4 Movie (*.mp4);;MP4 Figure (*.mp4);;"
                                           "PNG Picture (*.png);;PNG Figure (*.png)");
    EXPECT_EQ(chooser.saveAsked[0].startPath, out("rec.mid"));
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().second;
    const std::string written = readFile(out("window.mid"));
    ASSERT_FALSE(written.empty());
    EXPECT_TRUE(written == commandOutput("command.mid", {"--speed", "80", "--instrument", "Ice Rain"}));
    // And not merely any MIDI file: the default settings give different bytes.
    EXPECT_FALSE(written == commandOutput("defaults.mid", {}));
}

TEST_F(MainWindowExport, CtrlEAsksAndCancelWritesNothing) {
    openNow(*window, dataPath);
    chooser.saveAnswers = {std::nullopt, out("second.mid")};
    pressCtrlE(*window);
    ASSERT_EQ(chooser.saveAsked.size(), 1u) << "Ctrl+E did not open the save dialog";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "only rec.txt";
    EXPECT_TRUE(messages.shown.empty());

    // The dialog starts at the name chosen last time once there is one.
    pressCtrlE(*window);
    pressCtrlE(*window);
    ASSERT_EQ(chooser.saveAsked.size(), 3u);
    EXPECT_EQ(chooser.saveAsked[2].startPath, out("second.mid"));
    EXPECT_TRUE(readFile(out("second.mid")) == commandOutput("command.mid", {}));
}

TEST_F(MainWindowExport, ProblemsAreToldAndNothingIsWritten) {
    // Greyed out until a recording is open: Ctrl+E does nothing at all.
    EXPECT_FALSE(window->exportAction().action().isEnabled());
    pressCtrlE(*window);
    EXPECT_TRUE(messages.shown.empty());
    window->exportAction().run();  // reached some other way, it says why not
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].second, "There is no recording to export: load a data file first.");
    EXPECT_TRUE(chooser.saveAsked.empty());

    openNow(*window, dataPath);
    window->setSpeedText("0");
    pressCtrlE(*window);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].second.find("speed \"0\" does not play"), std::string::npos) << messages.shown[1].second;
    EXPECT_TRUE(chooser.saveAsked.empty());

    window->setSpeedText("50");
    chooser.saveAnswers = {out("no-such-folder/out.mid"), out("song.mp3")};
    pressCtrlE(*window);
    pressCtrlE(*window);
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_NE(messages.shown[2].second.find("cannot be written"), std::string::npos) << messages.shown[2].second;
    EXPECT_NE(messages.shown[3].second.find("must end in .mid"), std::string::npos) << messages.shown[3].second;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "only rec.txt";
}

TEST_F(MainWindowExport, AudioExportShowsProgressAndItsCancelLeavesNoFile) {
    // The window's own SoundFont search; only the piano's samples get loaded.
    if (chooseSoundFont().path.empty()) GTEST_SKIP() << "no SoundFont installed";
    openNow(*window, dataPath);
    chooser.saveAnswers = {out("cancelled.wav"), out("kept.wav")};

    // The user presses Cancel as soon as the progress dialog is up.
    bool pressed = false;
    QTimer::singleShot(0, window.get(), [&] {
        auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("exportProgress"));
        if (!progress) return;
        auto* cancel = progress->findChild<QPushButton*>();
        if (!cancel) return;
        uievents::click(*cancel, cancel->rect().center());
        pressed = true;
    });
    pressCtrlE(*window);
    EXPECT_TRUE(pressed) << "the progress dialog never showed";
    EXPECT_FALSE(fs::exists(out("cancelled.wav")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "only rec.txt";
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(window->findChild<QProgressDialog*>(QStringLiteral("exportProgress")), nullptr);

    // Left alone, the same export finishes: six ticks of 50 ms, then the tail
    // until the sound has died away (at most 10 s).
    pressCtrlE(*window);
    const std::string wav = readFile(out("kept.wav"));
    EXPECT_GT(wav.size(), 44u + 4u * (44100u * 3u / 10u));
    EXPECT_LE(wav.size(), 44u + 4u * (44100u * 103u / 10u));
    EXPECT_TRUE(wav == commandOutput("command.wav", {})) << "the window and the command line differ";
}

TEST_F(MainWindowExport, MovieAndPictureExportsLeaveTheWindowAsItWas) {
    if (chooseSoundFont().path.empty()) GTEST_SKIP() << "no SoundFont installed";
    openNow(*window, dataPath);
    const QImage before = window->grab().toImage();
    chooser.saveAnswers = {out("cancelled.mp4"), out("kept.mp4"), out("still.png"), out("no-such-folder/x.mp4")};

    // Cancel pressed once the movie is being written (its temporary file is there).
    bool pressed = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("exportProgress"));
        auto* cancel = progress ? progress->findChild<QPushButton*>() : nullptr;
        if (!cancel || std::distance(fs::directory_iterator(dir.path()), {}) < 2) return;
        uievents::click(*cancel, cancel->rect().center());
        pressed = true;
        watch.stop();
    });
    watch.start();
    pressCtrlE(*window);
    watch.stop();
    EXPECT_TRUE(pressed) << "the movie was never being written with the dialog up";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "only rec.txt";

    // Left alone: the window's picture doubled, lasting as long as the WAV
    // of the same pass (six ticks of 50 ms and the tail until the sound dies away).
    pressCtrlE(*window);
    const videotest::DecodedMovie movie = videotest::decodeMovie(out("kept.mp4"));
    EXPECT_EQ(movie.videoCodec, "h264");
    EXPECT_EQ(movie.audioCodec, "aac");
    EXPECT_EQ(movie.width, window->width() * 2);
    const double wavSeconds =
        static_cast<double>(exporttest::parseWav(commandOutput("command.wav", {})).samples.size()) / 2 / 44100;
    EXPECT_GT(wavSeconds, 0.3);
    EXPECT_NEAR(movie.seconds, wavSeconds, 1.0 / 20);
    EXPECT_EQ(static_cast<double>(movie.pictures.size()), std::ceil(wavSeconds * 20));
    fs::remove(out("command.wav"));

    pressCtrlE(*window);
    EXPECT_EQ(QImage(QString::fromStdString(out("still.png"))).size(), window->size() * 2);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().second;

    // A movie that cannot be written is told, and nothing else changes.
    pressCtrlE(*window);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].second.find(out("no-such-folder/x.mp4")), std::string::npos) << messages.shown[0].second;
    EXPECT_EQ(window->grab().toImage(), before) << "an export changed what the window shows";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3) << "rec.txt, kept.mp4, still.png";
}

TEST_F(MainWindowExport, AStillShowsTheControlsAsLeftAndTheFigureTypeLeavesThemOut) {
    if (chooseSoundFont().path.empty()) GTEST_SKIP() << "no SoundFont installed";
    openNow(*window, dataPath);
    chooser.saveAnswers = {out("stopped.png"), out("playing.png"), out("figure.png")};
    // Stopped at frame 3 with "Sound OFF" (as the window starts), then playing with "Sound ON".
    uievents::click(window->playButton(), {5, 5});
    for (int tick = 0; tick < 3; ++tick) window->playback().tick();
    uievents::click(window->stopButton(), {5, 5});
    pressCtrlE(*window);
    uievents::click(*window->findChild<QRadioButton*>(QStringLiteral("Option9")), {5, 5});
    uievents::click(window->playButton(), {5, 5});
    pressCtrlE(*window);
    uievents::click(window->stopButton(), {5, 5});
    const QImage stopped(QString::fromStdString(out("stopped.png")));
    const QImage playing(QString::fromStdString(out("playing.png")));
    commandOutput("rest.png", {});
    const QImage atRest(QString::fromStdString(out("rest.png")));
    ASSERT_EQ(stopped.size(), window->size() * 2);
    ASSERT_EQ(atRest.size(), stopped.size());
    auto part = [](const QImage& still, const ControlPlace& place) {
        const QRect at = zoomedTwipsRect(place.twips, 1.0);
        return still.copy(QRect(at.topLeft() * 2, at.size() * 2));
    };
    // The command line's still at rest shows Play and "Sound ON".
    EXPECT_EQ(part(stopped, layout::kPlay), part(atRest, layout::kPlay)) << "stopped, the still shows Play";
    EXPECT_NE(part(playing, layout::kPlay), part(atRest, layout::kPlay)) << "playing, it shows Stop";
    EXPECT_EQ(part(playing, layout::kSoundFrame), part(atRest, layout::kSoundFrame));
    EXPECT_NE(part(stopped, layout::kSoundFrame), part(atRest, layout::kSoundFrame)) << "Sound OFF was chosen";

    // The figure type of the dialog writes the figure, and is offered again next time.
    chooser.saveTypeChosen = "PNG Figure (*.png)";
    pressCtrlE(*window);
    EXPECT_EQ(QImage(QString::fromStdString(out("figure.png"))).size(), figureSize(noStrips()) * 2);
    EXPECT_NE(chooser.saveAsked.back().filter.find("PNG Figure (*.png)"), std::string::npos);
    pressCtrlE(*window);
    EXPECT_EQ(chooser.saveAsked.back().type, "PNG Figure (*.png)");
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().second;
}
