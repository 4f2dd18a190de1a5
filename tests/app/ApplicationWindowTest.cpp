// The menu bar: its actions do what the buttons do, the recent list and the
// Sound choices survive a restart, and switching the output mid-play leaves
// no note sounding on the old one.
#include "AppTestSupport.h"

#include "app/ApplicationWindow.h"
#include "app/CellChooser.h"
#include "app/ExportAction.h"
#include "model/CellOrdering.h"
#include "soundfiles/PlaybackPass.h"
#include "export/RecordingExport.h"
#include "sound/Instruments.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"
#include "views/ImageButton.h"

#include <QCheckBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QTimer>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSettings>
#include <QApplication>
#include <QKeyEvent>

#include <QMenuBar>
#include <QStatusBar>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

using namespace cellsonify;
using namespace apptest;

namespace {

// A key typed as on a desktop: a shortcut of the active window takes it
// unless the focused control claims it, else `w` gets it.
void keyClick(QWidget& w, Qt::Key key, Qt::KeyboardModifiers mods = {}, const QString& text = {}) {
    if (qt_sendShortcutOverrideEvent(&w, 0, key, mods, text)) return;
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(&w, &up);
}

struct ApplicationWindowTest : ::testing::Test {
    testfiles::TempDir dir;
    std::unique_ptr<QSettings> settings;
    QSize screenRoom{4000, 3000};  // the room the window may take on screen
    ScriptedChooser chooser;
    RecordedMessages messages;
    RecordingOutput midi;
    FakeFiles files;
    std::vector<RecordingOutput*> made;  // outputs the Sound menu made, owned by the window
    std::unique_ptr<ApplicationWindow> app;

    void SetUp() override {
        files.models["/data/a.txt"] = viewstest::makeModel(100, {{1, 2, 3}, {2, 4}, {1, 3}});
        files.models["/data/b.txt"] = viewstest::makeModel(10, {{1}});
        start();
    }

    // A fresh window on the same settings, as after a restart.
    void start() {
        app.reset();
        settings = std::make_unique<QSettings>(QString::fromStdString((dir.path() / "settings.ini").string()),
                                               QSettings::IniFormat);
        ApplicationServices s;
        s.window.chooser = &chooser;
        s.window.messages = &messages;
        s.window.midi = &midi;
        s.window.open = files.opener();
        s.outputs.listPorts = [] { return std::vector<std::string>{"Port A", "Port B"}; };
        s.outputs.make = [this](const std::string&) {
            auto out = std::make_unique<RecordingOutput>();
            made.push_back(out.get());
            return out;
        };
        s.settings = settings.get();
        s.screenRoom = [this] { return screenRoom; };
        app = std::make_unique<ApplicationWindow>(s);
        app->show();
        app->activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), app.get());
        app->setFocus();  // no control that takes keys of its own
    }
    MainWindow& form() { return app->form(); }
    bool playing() { return !form().stopButton().isHidden(); }
};

// Every note-on (velocity > 0) of `out` is later released on its channel and key.
void expectEveryNoteReleased(const RecordingOutput& out) {
    std::set<int> down;
    int struck = 0;
    for (const MidiMessage& m : out.messages()) {
        const int key = m.channel() * 128 + m.data1;
        const bool on = m.kind() == 0x90 && m.data2 > 0;
        if (on) ++struck, down.insert(key);
        else if (m.kind() == 0x80 || m.kind() == 0x90) down.erase(key);
    }
    EXPECT_GT(struck, 0);
    EXPECT_TRUE(down.empty()) << down.size() << " notes left sounding";
}

}  // namespace

TEST_F(ApplicationWindowTest, PlaybackMenuAndKeysDoWhatTheTransportButtonsDo) {
    openNow(form(), "/data/a.txt");
    ASSERT_FALSE(playing());
    keyClick(*app, Qt::Key_Space, {}, QStringLiteral(" "));
    EXPECT_TRUE(playing());
    EXPECT_EQ(form().playback().timerInterval(), 50);
    app->action("playStopAction").trigger();
    EXPECT_FALSE(playing());
    EXPECT_EQ(form().playback().timerInterval(), 0);

    form().playback().seek(40);
    keyClick(*app, Qt::Key_Home);
    EXPECT_EQ(form().model().CurrentFrame, 0);

    // In the speed box Space and Home edit the text instead.
    form().speedBox().setFocus();
    form().speedBox().setText(QStringLiteral("50"));
    keyClick(form().speedBox(), Qt::Key_Space, {}, QStringLiteral(" "));
    EXPECT_EQ(form().speedBox().text(), QStringLiteral("50 "));
    EXPECT_TRUE(playing()) << "a typed speed starts playback, and the Stop button says so";
    keyClick(form().speedBox(), Qt::Key_Home);
    EXPECT_EQ(form().speedBox().cursorPosition(), 0);
}

TEST_F(ApplicationWindowTest, FileMenuOpensExportsAndQuits) {
    chooser.answers = {"/data/b.txt"};
    keyClick(*app, Qt::Key_O, Qt::ControlModifier, QStringLiteral("\x0f"));
    waitForOpening(form());
    ASSERT_EQ(chooser.asked.size(), 1u);
    EXPECT_EQ(form().model().DataFile, "/data/b.txt");
    EXPECT_EQ(app->windowTitle(), QString::fromStdString(captionFor("/data/b.txt")));
    EXPECT_EQ(&app->action("exportAction"), &form().exportAction().action());
    app->action("quitAction").trigger();
    EXPECT_FALSE(app->isVisible());
}

TEST_F(ApplicationWindowTest, RecentFilesAndSoundChoicesSurviveARestart) {
    for (int i = 0; i < 10; ++i) files.models["/data/" + std::to_string(i) + ".txt"] = viewstest::makeModel(5, {{1}});
    for (int i = 0; i < 10; ++i) openNow(form(), "/data/" + std::to_string(i) + ".txt");
    openNow(form(), "/data/3.txt");  // again: moves to the top
    PitchMapping scale{PitchMode::Position, ScaleKind::MinorPentatonic, 9, 40, 80};
    ASSERT_TRUE(app->chooseMapping(scale));
    app->chooseNoteLength({250});

    start();
    EXPECT_EQ(app->recentFiles(), (QStringList{"/data/3.txt", "/data/9.txt", "/data/8.txt", "/data/7.txt",
                                               "/data/6.txt", "/data/5.txt", "/data/4.txt", "/data/2.txt"}));
    EXPECT_EQ(form().playback().settings().pass.mapping, scale);
    EXPECT_EQ(form().playback().settings().pass.noteLength, NoteLength{250});
    // The original controls start as always.
    EXPECT_EQ(form().playback().settings().pass.instrument, &kInstruments[0]);
    EXPECT_FALSE(form().soundOn());
    EXPECT_EQ(form().speedText(), "50");

    auto* recent = app->findChild<QMenu*>(QStringLiteral("recentMenu"));
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    app->findChild<QAction*>(QStringLiteral("recent2"))->trigger();
    waitForOpening(form());
    EXPECT_EQ(form().model().DataFile, "/data/9.txt");
}

TEST_F(ApplicationWindowTest, AnImportedRecordingReopensFromTheRecentListOrLeavesIt) {
    const std::string plane = (dir.path() / "plane0").string();
    importfixtures::writeSuite2pPlane(plane, 3, 40, {{5}, {9}, {}});
    settings->setValue(QStringLiteral("import/askOnOpen"), false);
    start();
    ASSERT_TRUE(form().openRecording(plane));
    waitForOpening(form());
    openNow(form(), "/data/a.txt");
    ASSERT_EQ(app->recentFiles(), (QStringList{"/data/a.txt", QString::fromStdString(plane)}));

    app->openRecent(QString::fromStdString(plane));
    waitForOpening(form());
    EXPECT_EQ(form().model().DataFile, plane);
    EXPECT_EQ(form().model().CellCount, 3);
    EXPECT_TRUE(files.loads == std::vector<std::string>{"/data/a.txt"}) << "never through the text loader";

    // Without its traces the plane is refused (a missing stat.npy only warns).
    std::filesystem::remove(dir.path() / "plane0" / "spks.npy");
    std::filesystem::remove(dir.path() / "plane0" / "F.npy");
    app->openRecent(QString::fromStdString(plane));
    waitForOpening(form());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].second.rfind("plane0: ", 0), 0u) << messages.shown[0].second;
    EXPECT_EQ(app->recentFiles(), (QStringList{"/data/a.txt"}));
    EXPECT_EQ(form().model().DataFile, plane);
}

// The dialog, a drop and the recent list open a data file and a plane folder
// alike, each through the window's one opener.
TEST_F(ApplicationWindowTest, EveryWayInOpensEveryFormatThroughTheOneOpener) {
    const std::string plane = (dir.path() / "plane0").string();
    importfixtures::writeSuite2pPlane(plane, 3, 40, {{5}, {9}, {}});
    settings->setValue(QStringLiteral("import/askOnOpen"), false);  // the import options were told not to ask
    start();
    const auto expectShown = [this](const std::string& path, int cells) {
        EXPECT_EQ(form().model().DataFile, path);
        EXPECT_EQ(form().model().CellCount, cells) << path;
        ASSERT_FALSE(files.opened.empty());
        EXPECT_EQ(files.opened.back(), path);
    };
    chooser.answers = {plane, "/data/a.txt"};
    for (const auto& [path, cells] : {std::pair{plane, 3}, std::pair{std::string("/data/a.txt"), 3}}) {
        app->action("openAction").trigger();
        waitForOpening(form());
        expectShown(path, cells);
    }
    uievents::drop(form().raster(), uievents::files({plane.c_str()}));
    waitForOpening(form());
    expectShown(plane, 3);
    uievents::drop(form().cellMap(), uievents::files({"/data/b.txt"}));
    waitForOpening(form());
    expectShown("/data/b.txt", 1);
    for (const std::string& path : {plane, std::string("/data/a.txt")}) {
        app->openRecent(QString::fromStdString(path));
        waitForOpening(form());
        expectShown(path, 3);
    }
    EXPECT_EQ(files.opened.size(), 6u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ApplicationWindowTest, SwitchingTheOutputWhilePlayingLeavesNoNoteSounding) {
    openNow(form(), "/data/a.txt");
    ASSERT_TRUE(app->chooseMapping({PitchMode::Position, ScaleKind::Major, 0, 36, 96}));
    form().instrumentOption(3).click();  // Music Box, program 11
    form().playback().soundSwitched(true);
    form().playback().play();
    form().playback().tick();  // cells 1 and 3 ring
    app->chooseNoteLength({60000});
    form().playback().tick();  // cell 2 with a note-off far ahead

    auto* menu = app->findChild<QMenu*>(QStringLiteral("outputMenu"));
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 3);
    menu->actions()[1]->trigger();  // Port A
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(app->outputPort(), "Port A");
    expectEveryNoteReleased(midi);
    // Its pans are centred again; the new output is set up before any note.
    EXPECT_EQ(midi.messages().back(), panMessage(7, 64));
    const std::vector<MidiMessage>& next = made[0]->messages();
    ASSERT_FALSE(next.empty());
    EXPECT_EQ(next.front(), programChangeMessage(0, 11));  // Music Box on channel 1, then the rest
    EXPECT_NE(std::find(next.begin(), next.end(), panMessage(7, 127)), next.end());

    // Playing on goes to the new output only.
    const std::size_t oldCount = midi.messages().size(), newCount = next.size();
    form().playback().tick();
    EXPECT_EQ(midi.messages().size(), oldCount);
    EXPECT_GT(next.size(), newCount);
}

TEST_F(ApplicationWindowTest, AnImportPlaysAtItsOwnPaceAndTheStatusLineTellsItsTime) {
    const auto position = [this] { return app->findChild<QLabel*>(QStringLiteral("positionLabel"))->text(); };
    openNow(form(), "/data/a.txt");
    EXPECT_EQ(position(), QStringLiteral("Frame 0 of 100")) << "a data file states no frame rate";
    EXPECT_FALSE(app->action("realTimeAction").isEnabled());
    EXPECT_FALSE(app->action("realTimeX8Action").isEnabled());

    const auto plane = dir.path() / "plane0";
    importfixtures::writeSuite2pPlane(plane, 3, 40, {{5}, {9, 20}, {}});
    std::filesystem::copy_file(testfiles::data("import/ops.npy"), plane / "ops.npy");  // fs = 30
    ASSERT_TRUE(form().openRecording(plane.string()));
    waitForOpening(form());
    EXPECT_EQ(form().speedText(), "33") << "opens at round(1000 / 30) ms per frame";
    EXPECT_EQ(form().playback().timerInterval(), 0) << "setting the pace does not start playback";
    EXPECT_FALSE(playing());
    EXPECT_EQ(position(), QStringLiteral("Frame 0 of 40, 0.00 s"));
    ASSERT_TRUE(app->action("realTimeX4Action").isEnabled());
    app->action("realTimeX4Action").trigger();
    EXPECT_EQ(form().speedText(), "8");  // round(1000 / 120)
    EXPECT_EQ(form().playback().timerInterval(), 0);
    uievents::click(form().playButton());
    app->action("realTimeAction").trigger();
    EXPECT_EQ(form().speedText(), "33");
    EXPECT_EQ(form().playback().timerInterval(), 33) << "playing on at the new pace";
    EXPECT_TRUE(playing());
    uievents::click(form().stopButton());

    // Strength mode, live: the velocities the window sends are the export's.
    app->chooseVelocity(VelocityMode::Strength);
    form().playback().soundSwitched(true);
    form().playback().play();
    std::multiset<int> live;
    for (int tick = 0; tick < 3; ++tick) form().playback().tick();
    EXPECT_EQ(position(), QStringLiteral("Frame 3 of 40, 0.10 s"));
    for (int tick = 3; tick < 40; ++tick) form().playback().tick();
    for (const MidiMessage& m : midi.messages())
        if (m.kind() == 0x90) live.insert(m.data2);
    ExportSettings settings;
    settings.pass.setSpeedText("33");
    settings.pass.velocity = VelocityMode::Strength;
    std::multiset<int> exported;
    for (const MidiFileEvent& e : exportPass(form().model(), settings).messages)
        if (e.message.kind() == 0x90) exported.insert(e.message.data2);
    EXPECT_EQ(live, exported);
    EXPECT_EQ(live.count(127), 0u) << "no event here is three times the threshold";
    EXPECT_EQ(std::set<int>(live.begin(), live.end()).size(), 2u) << "ROI 1's two events are weaker than ROI 0's one";

    start();
    EXPECT_EQ(form().playback().settings().pass.velocity, VelocityMode::Strength) << "kept with the other Sound choices";
}

TEST_F(ApplicationWindowTest, RecentEntriesAreCanonicalAndTheMenuWakesWithTheFirst) {
    auto* recent = app->findChild<QMenu*>(QStringLiteral("recentMenu"));
    ASSERT_NE(recent, nullptr);
    EXPECT_FALSE(recent->isEnabled()) << "nothing to list yet";
    // The same file by a relative name, through a link and by its own name.
    const fs::path data = fs::canonical(dir.path()) / "rec.txt";
    std::ofstream(data) << "x";
    fs::create_symlink(data, dir.path() / "link.txt");
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    for (const std::string& name : std::vector<std::string>{"rec.txt", "./link.txt", data.string()}) {
        files.models[name] = viewstest::makeModel(5, {{1}});
        openNow(form(), name);
    }
    fs::current_path(before);
    EXPECT_EQ(app->recentFiles(), QStringList{QString::fromStdString(data.string())});
    EXPECT_TRUE(recent->isEnabled()) << "enabled as soon as it has an entry";
    ASSERT_EQ(recent->actions().size(), 1);
}

TEST_F(ApplicationWindowTest, PlaybackAndExportWaitForARecording) {
    for (const char* name : {"playStopAction", "backAction", "exportAction"})
        EXPECT_FALSE(app->action(name).isEnabled()) << name;
    keyClick(*app, Qt::Key_Space, {}, QStringLiteral(" "));
    EXPECT_FALSE(playing());
    openNow(form(), "/data/missing.txt");  // refused: still nothing open
    EXPECT_FALSE(app->action("playStopAction").isEnabled());
    openNow(form(), "/data/a.txt");
    for (const char* name : {"playStopAction", "backAction", "exportAction"})
        EXPECT_TRUE(app->action(name).isEnabled()) << name;
    // The Play button keeps its own behaviour: it answers with or without a recording.
}

TEST_F(ApplicationWindowTest, ExportSaysWhereItWroteAndItsTypeIsKept) {
    openNow(form(), "/data/a.txt");
    const std::string written = (dir.path() / "out.png").string();
    chooser.saveAnswers = {written};
    app->action("exportAction").trigger();
    if (form().exportAction().busy()) {
        QEventLoop loop;
        QObject::connect(&form().exportAction(), &ExportAction::exportEnded, &loop, &QEventLoop::quit);
        loop.exec();
    }
    ASSERT_TRUE(fs::exists(written));
    const QString status = app->statusBar()->currentMessage();
    EXPECT_TRUE(status.contains(QStringLiteral("out.png"))) << status.toStdString();
    EXPECT_TRUE(status.contains(QString::fromStdString(dir.path().string()))) << status.toStdString();

    start();
    openNow(form(), "/data/a.txt");
    app->action("exportAction").trigger();
    ASSERT_EQ(chooser.saveAsked.size(), 2u);
    EXPECT_EQ(chooser.saveAsked[1].startPath, "/data/a.png") << "the type chosen last time";
}

TEST_F(ApplicationWindowTest, ZoomStepsWithTheKeysAndIsKept) {
    ASSERT_EQ(form().zoom(), 1.0) << "the offscreen screen is a 96-dpi one";
    const QSize small = app->size();
    keyClick(*app, Qt::Key_Plus, Qt::ControlModifier, QStringLiteral("+"));
    EXPECT_EQ(form().zoom(), 1.5);
    EXPECT_TRUE(app->action("zoom150Action").isChecked());
    app->action("zoom300Action").trigger();
    keyClick(*app, Qt::Key_Minus, Qt::ControlModifier, QStringLiteral("-"));
    EXPECT_EQ(form().zoom(), 2.0);
    EXPECT_EQ(form().size(), MainWindow::layoutSize(2.0));
    EXPECT_GE(app->width(), form().width());
    EXPECT_GT(app->height(), small.height());

    start();
    EXPECT_EQ(form().zoom(), 2.0);
    EXPECT_TRUE(app->action("zoom200Action").isChecked());
}

TEST_F(ApplicationWindowTest, OnlyZoomsThatFitTheScreenAndTheStripsShownAreOfferedAndTheBarsGrowWithTheRest) {
    const double menuPoints = app->menuBar()->font().pointSizeF();
    screenRoom = QSize(1920, 1200);  // 300 % needs about 1600 x 1450
    app->action("zoom200Action").trigger();
    keyClick(*app, Qt::Key_Plus, Qt::ControlModifier, QStringLiteral("+"));
    EXPECT_EQ(form().zoom(), 2.0) << "Zoom In stops at the largest zoom that fits";
    EXPECT_FALSE(app->action("zoom300Action").isEnabled());
    EXPECT_TRUE(app->action("zoom200Action").isEnabled());
    EXPECT_LE(app->frameGeometry().height(), 1200);
    EXPECT_DOUBLE_EQ(app->menuBar()->font().pointSizeF(), 2 * menuPoints);
    EXPECT_DOUBLE_EQ(app->statusBar()->font().pointSizeF(), 2 * menuPoints);
    keyClick(*app, Qt::Key_Minus, Qt::ControlModifier, QStringLiteral("-"));
    keyClick(*app, Qt::Key_Minus, Qt::ControlModifier, QStringLiteral("-"));
    EXPECT_DOUBLE_EQ(app->menuBar()->font().pointSizeF(), menuPoints) << "100 % keeps the desktop's font";
    // A zoom kept from a larger screen opens at the largest that fits this one.
    app->action("zoom200Action").trigger();
    screenRoom = QSize(1280, 900);
    start();
    EXPECT_EQ(form().zoom(), 1.5);

    // The fit counts the strips of the recording opened: room at 200 % without them, not for the 92 pixels they add.
    screenRoom = QSize(4000, 3000);
    start();
    openNow(form(), "/data/a.txt");
    screenRoom = QSize(4000, app->frameGeometry().height() + 40);
    CellModel& context = files.models["/data/context.txt"] = viewstest::makeModel(100, {{1, 2, 3}});
    context.Context.tables = {{"trials", "", {"trials"}, {{10, 20, true, 0}}}};
    context.Context.streams = {{"wheel", "", std::vector<double>(100, 1.0), 0, 1, 0, true}};
    ASSERT_TRUE(openNow(form(), "/data/context.txt"));
    EXPECT_EQ(form().zoom(), 1.5) << "the kept zoom shrinks to fit the taller window";
    EXPECT_FALSE(app->action("zoom200Action").isEnabled());
    keyClick(*app, Qt::Key_Plus, Qt::ControlModifier, QStringLiteral("+"));
    EXPECT_EQ(form().zoom(), 1.5) << "Zoom In stops at the largest zoom that fits";
    // Without strips the chosen zoom fits again and comes back; it is still the one kept.
    ASSERT_TRUE(openNow(form(), "/data/a.txt"));
    EXPECT_EQ(form().zoom(), 2.0);
    EXPECT_TRUE(app->action("zoom200Action").isEnabled());
}

TEST_F(ApplicationWindowTest, ShowWholeRecordingHasAShortcutOfItsOwnAndUndoesTheRastersZoom) {
    openNow(form(), "/data/a.txt");
    form().showRasterWindow({10, 1, 20, 1});
    ASSERT_EQ(form().raster().scale().width, 20);
    QAction& whole = app->action("wholeRecordingAction");
    for (QAction* other : app->findChildren<QAction*>())
        if (other != &whole)
            for (const QKeySequence& keys : other->shortcuts())
                EXPECT_NE(keys, whole.shortcut()) << other->objectName().toStdString();
    keyClick(*app, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form().raster().scale(), (UserScale{0, 0, 100, 3}));
    EXPECT_EQ(form().findChild<QLabel*>(QStringLiteral("Label1_4"))->text(), QStringLiteral("0"));
}

TEST_F(ApplicationWindowTest, TheStatusLineSaysWhyNothingIsHeardAndWhatMappingAndOrderAreShown) {
    const auto notes = [this] { return app->findChild<QLabel*>(QStringLiteral("listeningLabel"))->text(); };
    openNow(form(), "/data/a.txt");
    EXPECT_EQ(notes(), QString());
    uievents::click(form().playButton());
    EXPECT_TRUE(notes().contains(QStringLiteral("Sound ON"))) << notes().toStdString();
    uievents::click(*form().findChild<QRadioButton*>(QStringLiteral("Option9")), {5, 5});
    EXPECT_EQ(notes(), QString());
    uievents::click(form().stopButton());

    // Hear Selected Only silences everything until a cell is picked.
    EXPECT_FALSE(app->action("hearSelectedAction").isEnabled());
    app->cells().pick({2});
    ASSERT_TRUE(app->action("hearSelectedAction").isEnabled());
    app->action("hearSelectedAction").trigger();
    EXPECT_EQ(notes(), QString());
    keyClick(*app, Qt::Key_Escape);  // Select None
    EXPECT_TRUE(notes().contains(QStringLiteral("no cell selected"))) << notes().toStdString();
    app->action("hearAllAction").trigger();
    EXPECT_FALSE(app->action("hearSelectedAction").isEnabled());

    PitchMapping scale;
    scale.mode = PitchMode::Scale;
    ASSERT_TRUE(app->chooseMapping(scale));
    app->chooseRowOrder(RowOrderKind::Activity);
    EXPECT_EQ(notes(), QStringLiteral("Pitch: scale, major on C | Rows: by activity"));
    start();  // the mapping carries over to the next run, and is still said
    EXPECT_EQ(notes(), QStringLiteral("Pitch: scale, major on C"));
}

TEST_F(ApplicationWindowTest, TheOpenDialogStartsWhereAndAtTheTypeTheLastChoiceWasMade) {
    chooser.answers = {"/data/b.txt"};
    chooser.typeChosen = "Data Files (*.txt)";
    app->action("openAction").trigger();
    waitForOpening(form());
    ASSERT_EQ(chooser.asked.size(), 1u);
    EXPECT_EQ(chooser.asked[0].startPath, "");
    chooser.setFileType("");  // only the settings carry it over
    start();
    chooser.answers.push_back(std::nullopt);
    app->action("openAction").trigger();
    waitForOpening(form());
    ASSERT_EQ(chooser.asked.size(), 2u);
    EXPECT_EQ(chooser.asked[1].startPath, "/data");
    EXPECT_EQ(chooser.asked[1].type, "Data Files (*.txt)");
    EXPECT_EQ(files.loads.size(), 1u) << "Cancel after a restart opens nothing";
}

TEST_F(ApplicationWindowTest, ShrinkingTheWindowNeverLetsTheStatusLineCoverTheKeyboard) {
    app->resize(300, 200);
    QApplication::processEvents();
    const QRect keys(form().keyboard().mapTo(app.get(), QPoint(0, 0)), form().keyboard().size());
    EXPECT_GT(app->statusBar()->geometry().top(), keys.bottom());
    EXPECT_GE(app->width(), keys.right());
}

TEST_F(ApplicationWindowTest, AnImportWithNoEventSaysSoAndImportOptionsReadItAgain) {
    const auto plane = dir.path() / "plane0";
    importfixtures::writeSuite2pPlane(plane, 3, 40, {{5}, {9, 20}, {}});  // peaks at z 6.4 and 4.6
    // Answers the options dialog, once it shows, with threshold `k`.
    const auto chooseThreshold = [this](double k) {
        std::function<void()> answer;
        answer = [k, &answer] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return QTimer::singleShot(0, answer);
            dialog->findChild<QDoubleSpinBox*>(QStringLiteral("thresholdBox"))->setValue(k);
            dialog->accept();
        };
        QTimer::singleShot(0, answer);
        app->action("importOptionsAction").trigger();
    };
    const auto events = [this] {
        std::size_t n = 0;
        for (int c = 1; c <= form().model().CellCount; ++c) n += form().model().Activity.framesOf(c).size();
        return n;
    };
    chooseThreshold(7);
    ASSERT_TRUE(form().openRecording(plane.string()));
    waitForOpening(form());
    EXPECT_EQ(events(), 0u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].second.find("event at 7 SD"), std::string::npos) << messages.shown[0].second;

    start();  // kept for the next run
    EXPECT_EQ(form().importOptions().threshold, 7);
    ASSERT_TRUE(form().openRecording(plane.string()));
    waitForOpening(form());
    chooseThreshold(3);  // reads the open recording again
    waitForOpening(form());
    EXPECT_EQ(form().importOptions().threshold, 3);
    EXPECT_EQ(events(), 3u);
}

TEST_F(ApplicationWindowTest, OpeningAPipelineFileAsksForTheImportOptionsUntilToldNotTo) {
    const auto plane = dir.path() / "plane0";
    importfixtures::writeSuite2pPlane(plane, 3, 40, {{5}, {9, 20}, {}});  // peaks at z 6.4 and 4.6
    int asked = 0;
    // Answers the dialog shown as the file opens (by Open..., else from the
    // recent list): threshold `k`, "Ask each time" as `again`, OK or Cancel.
    const auto openAnswering = [&](double k, bool again, bool ok, bool recent = false) {
        std::function<void()> answer;
        answer = [&, k, again, ok] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return QTimer::singleShot(0, answer);
            ++asked;
            EXPECT_EQ(dialog->windowTitle(), "Import plane0");
            dialog->findChild<QDoubleSpinBox*>(QStringLiteral("thresholdBox"))->setValue(k);
            auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("askAgainBox"));
            ASSERT_NE(box, nullptr);
            if (box->isChecked() != again) uievents::click(*box, {5, box->height() / 2});
            ok ? dialog->accept() : dialog->reject();
        };
        QTimer::singleShot(0, answer);
        if (recent) {
            emit app->findChild<QMenu*>(QStringLiteral("recentMenu"))->aboutToShow();
            app->findChild<QAction*>(QStringLiteral("recent1"))->trigger();
        } else {
            chooser.answers.push_back(plane.string());
            app->action("openAction").trigger();
        }
        waitForOpening(form());
    };
    openAnswering(7, true, false);  // Cancel: nothing opens
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(form().model().DataFile.empty());
    openAnswering(5, true, true);
    EXPECT_EQ(form().importOptions().threshold, 5);
    openAnswering(7, false, true, true);  // the recent list asks too
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(form().model().DataFile, plane.string());
    EXPECT_EQ(form().importOptions().threshold, 7) << "read with the options chosen";
    // Told not to ask, the next open (this run or the next) reads with the kept options at once.
    start();
    chooser.answers.push_back(plane.string());
    app->action("openAction").trigger();
    waitForOpening(form());
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(form().model().DataFile, plane.string());
    EXPECT_EQ(form().importOptions().threshold, 7);
}

TEST_F(ApplicationWindowTest, AboutTellsTheVersionTheLicenceAndTheSoundFont) {
    const std::string about = app->aboutText();
    ASSERT_GT(about.size(), 12u);
    EXPECT_EQ(about.rfind("cellsonify ", 0), 0u);
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(about[11]))) << about;  // the version
    EXPECT_NE(about.find("GPL-3.0-or-later"), std::string::npos);
    EXPECT_NE(about.find("\nSoundFont: "), std::string::npos);
}

// An import with more cells than keys opens with every cell sounding; the
// user can go back to rows, and a data file keeps the kept mapping.
TEST_F(ApplicationWindowTest, AnImportWithMoreCellsThanKeysOpensWithEveryCellSounding) {
    const std::string plane = (dir.path() / "plane0").string();
    importfixtures::writeSuite2pPlane(plane, 200, 20, std::vector<std::vector<std::size_t>>(200, {3}));
    const auto silent = [this] {
        int n = 0;
        for (int cell = 1; cell <= form().model().CellCount; ++cell) n += form().playback().voices().voiceOf(cell).note < 0;
        return n;
    };
    ASSERT_TRUE(form().openRecording(plane));
    waitForOpening(form());
    ASSERT_EQ(form().model().CellCount, 200);
    EXPECT_EQ(form().playback().settings().pass.mapping.mode, PitchMode::Scale);
    EXPECT_EQ(silent(), 0);
    EXPECT_TRUE(app->statusBar()->currentMessage().startsWith(QStringLiteral("All 200 cells sound"))) << app->statusBar()->currentMessage().toStdString();

    auto* pitch = app->findChild<QMenu*>(QStringLiteral("pitchMenu"));
    ASSERT_NE(pitch, nullptr);
    emit pitch->aboutToShow();
    QAction* rows = nullptr;
    for (QAction* a : pitch->actions())
        if (a->text().startsWith(QStringLiteral("&Rows"))) rows = a;
    ASSERT_NE(rows, nullptr);
    EXPECT_FALSE(rows->isChecked()) << "the menu shows the mapping in force";
    rows->trigger();
    EXPECT_EQ(form().playback().settings().pass.mapping.mode, PitchMode::Rows);
    EXPECT_EQ(silent(), 200 - 128);

    // A data file plays rows as ever; the next import opens with every cell sounding again.
    start();
    files.models["/data/wide.txt"] = viewstest::makeModel(10, std::vector<std::vector<int>>(200, {1}));
    openNow(form(), "/data/wide.txt");
    EXPECT_EQ(form().playback().settings().pass.mapping.mode, PitchMode::Rows) << "a data file keeps the original rule";
    ASSERT_TRUE(form().openRecording(plane));
    waitForOpening(form());
    EXPECT_EQ(form().playback().settings().pass.mapping.mode, PitchMode::Scale);
    openNow(form(), "/data/wide.txt");
    EXPECT_EQ(form().playback().settings().pass.mapping.mode, PitchMode::Rows);
}

TEST_F(ApplicationWindowTest, TheStatusLineSaysWhatMergingAndTheNoteBudgetDidAndTheBudgetIsKept) {
    openNow(form(), "/data/a.txt");  // cells 1 and 3 in frame 1, cells 1 and 2 in frame 2
    // Chromatic 60..61: cells 1 and 2 play 60, cell 3 plays 61.
    ASSERT_TRUE(app->chooseMapping({PitchMode::Scale, ScaleKind::Chromatic, 0, 60, 61}));
    auto* menu = app->findChild<QMenu*>(QStringLiteral("notesPerFrameMenu"));
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    auto* sixteen = app->findChild<QAction*>(QStringLiteral("notesPerFrame16Action"));
    ASSERT_NE(sixteen, nullptr);
    sixteen->trigger();
    EXPECT_EQ(form().playback().settings().pass.notesPerFrame, 16);
    app->chooseNotesPerFrame(1);
    form().playback().soundSwitched(true);
    form().playback().play();
    form().playback().tick();  // 60 and 61 asked for, one note allowed
    form().playback().tick();  // cells 1 and 2 merge on 60
    EXPECT_EQ(app->statusBar()->currentMessage(),
              QStringLiteral("3 cells: up to 2 in a frame, heard as at most 1 notes (1 cells merged, 1 notes over "
                             "the budget of 1 left out)"));

    start();
    EXPECT_EQ(form().playback().settings().pass.notesPerFrame, 1) << "kept with the other Sound choices";
}

TEST_F(ApplicationWindowTest, TrialKeysStepTrialByTrialTheStatusNamesItAndItsDrumSounds) {
    openNow(form(), "/data/a.txt");  // 100 frames, no frame rate
    const auto events = dir.write("trials.csv", "frame,stop_frame,cond\n10,20,go\n30,40,nogo\n");
    ASSERT_TRUE(app->addContextFiles({events.string()}, {}));
    keyClick(*app, Qt::Key_BracketRight);
    EXPECT_EQ(form().model().CurrentFrame, 9) << "just before the first trial";
    keyClick(*app, Qt::Key_BracketRight);
    EXPECT_EQ(form().model().CurrentFrame, 29);
    keyClick(*app, Qt::Key_BracketLeft);
    EXPECT_EQ(form().model().CurrentFrame, 9);
    EXPECT_FALSE(app->stepTrial(-1)) << "nothing before the first";
    EXPECT_FALSE(app->goToTime(1.0)) << "a recording without a rate has no seconds";

    // Playing on strikes the first group's drum at frame 10, and the status line names the trial.
    form().playback().soundSwitched(true);
    const std::size_t before = midi.messages().size();
    form().playback().tick();
    const std::vector<MidiMessage> sent(midi.messages().begin() + static_cast<std::ptrdiff_t>(before), midi.messages().end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), MidiMessage{0x99, 36, 112}), sent.end());
    EXPECT_EQ(app->findChild<QLabel*>(QStringLiteral("positionLabel"))->text(), QStringLiteral("Frame 10 of 100, trial 1 of 2 (go)"));

    // Sound > Context > Interval Sounds off: the next trial is silent.
    app->findChild<QMenu*>(QStringLiteral("contextMenu"))->findChild<QAction*>(QStringLiteral("intervalSoundsAction"))->trigger();
    EXPECT_FALSE(form().model().Context.intervalsSound);
    keyClick(*app, Qt::Key_BracketRight);
    const std::size_t later = midi.messages().size();
    form().playback().tick();
    for (std::size_t i = later; i < midi.messages().size(); ++i) EXPECT_NE(midi.messages()[i].channel(), 9);

    const auto broken = dir.write("broken.csv", "frame\nsoon\n");
    EXPECT_FALSE(app->addContextFiles({broken.string()}, {}));
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().second, "broken.csv: line 2, column 1 (frame): \"soon\" is not a number");
}

// A similarity order of many events is worked out behind a progress dialog:
// finished, it is the order itself; cancelled, the rows and the menu stay as they were.
TEST_F(ApplicationWindowTest, ALargeSimilarityOrderRunsBehindProgressAndCancelKeepsTheRows) {
    files.models["/data/busy.txt"] = viewstest::randomModel(1000, 1000, 0.8, 5);  // over 500000 events
    ASSERT_TRUE(openNow(form(), "/data/busy.txt"));
    ASSERT_GE(form().model().Activity.eventCount(), 500000u);
    QAction& similarity = app->action("similarityOrderAction");
    QAction& activity = app->action("activityOrderAction");
    activity.trigger();
    const RowOrder byActivity = form().model().Rows;
    ASSERT_FALSE(byActivity.isFileOrder());

    // Whatever the dialog does, it runs while the order is worked out.
    QString seen;
    const auto answerWith = [&](bool cancel) {
        QTimer::singleShot(0, [this, &seen, cancel] {
            auto* dialog = app->findChild<QProgressDialog*>(QStringLiteral("rowOrderProgress"));
            seen = dialog ? dialog->objectName() : QStringLiteral("no dialog");
            if (dialog && cancel) dialog->cancel();
        });
    };
    answerWith(true);
    similarity.trigger();
    EXPECT_EQ(seen, QStringLiteral("rowOrderProgress"));
    EXPECT_EQ(form().model().Rows, byActivity);
    EXPECT_TRUE(activity.isChecked());
    EXPECT_FALSE(similarity.isChecked());

    answerWith(false);
    similarity.trigger();
    EXPECT_EQ(seen, QStringLiteral("rowOrderProgress"));
    EXPECT_EQ(form().model().Rows, orderRows(form().model(), RowOrderKind::Similarity));
    EXPECT_TRUE(similarity.isChecked());
}
