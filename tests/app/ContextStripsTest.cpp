// Trials and behaviour seen in the window: the interval and behaviour strips
// (pixels, cursors, the raster's window, tooltips, the room they take and
// leave again) and Loop Trial played on the window's own timer.
#include "AppTestSupport.h"

#include "app/ApplicationWindow.h"
#include "face/FaceStrips.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QHelpEvent>
#include <QSettings>
#include <QStatusBar>
#include <QToolTip>

#include <algorithm>
#include <sstream>

using namespace cellsonify;
using namespace apptest;

namespace {

constexpr QRgb kLineGreen = 0xFF008000;

struct ContextStrips : ::testing::Test {
    testfiles::TempDir dir;
    QSettings settings{QString::fromStdString((dir.path() / "settings.ini").string()), QSettings::IniFormat};
    RecordedMessages messages;
    RecordingOutput midi;
    FakeFiles files;
    TickSchedule::TimePoint now{};
    std::unique_ptr<ApplicationWindow> app;

    void SetUp() override {
        files.models["/data/a.txt"] = viewstest::makeModel(100, {{1, 2, 3}, {2, 4}, {1, 3}});
        ApplicationServices s;
        s.window.messages = &messages;
        s.window.midi = &midi;
        s.window.open = files.opener();
        s.window.clock = [this] { return now; };
        s.settings = &settings;
        app = std::make_unique<ApplicationWindow>(s);
        app->show();
        form().setZoom(1.0);
        ASSERT_TRUE(openNow(form(), "/data/a.txt"));
    }
    MainWindow& form() { return app->form(); }
    CanvasView& strip(std::size_t i) { return *form().controls().strips.at(i); }

    // Trials 10-20 (go) and 30-40 (nogo); a speed rising 1 .. 100 over the frames.
    void addContext() {
        std::ostringstream speed;
        speed << "frame,speed\n";
        for (int f = 1; f <= 100; ++f) speed << f << ',' << f << '\n';
        ASSERT_TRUE(app->addContextFiles({dir.write("trials.csv", "frame,stop_frame,cond\n10,20,go\n30,40,nogo\n").string()},
                                         {dir.write("wheel.csv", speed.str()).string()}));
    }
    // The row of the line's pixel in client column `x`, or -1.
    static int lineRow(const QImage& client, int x) {
        for (int y = 0; y < client.height(); ++y)
            if (client.pixel(x, y) == kLineGreen) return y;
        return -1;
    }
    QString tipAt(CanvasView& view, QPoint at) {
        QHelpEvent hover(QEvent::ToolTip, at, view.mapToGlobal(at));
        QApplication::sendEvent(&view, &hover);
        return QToolTip::text();
    }
};

TEST_F(ContextStrips, TrialsAndBehaviourShowAsStripsThatFollowTheRasterAndTheCursor) {
    const QImage without = form().grab().toImage();
    ASSERT_FALSE(strip(0).isVisibleTo(&form()));
    addContext();
    ASSERT_TRUE(strip(0).isVisibleTo(&form()) && strip(1).isVisibleTo(&form()));
    // 255 + 435 twips more: 46 pixels, and the status line still under the keyboard.
    EXPECT_EQ(form().height(), without.height() + 46);
    QApplication::processEvents();
    EXPECT_GT(app->statusBar()->geometry().top(), form().keyboard().mapTo(app.get(), QPoint(0, form().keyboard().height())).y());
    // The strip just above the raster, the line under the frame strip.
    EXPECT_LT(strip(0).geometry().bottom(), form().raster().geometry().top());
    EXPECT_GT(strip(1).geometry().top(), form().frameStrip().geometry().bottom());
    EXPECT_LT(strip(1).geometry().bottom(), form().cellMap().geometry().top());

    // 495 client pixels for 100 frames: frame f at column floor(4.95 f).
    QImage bands = uievents::shownClient(strip(0));
    EXPECT_EQ(bands.pixel(74, 5), kBlueRgb) << "frame 15: a go trial";
    EXPECT_EQ(bands.pixel(173, 5), kRedRgb) << "frame 35: a nogo trial";
    EXPECT_EQ(bands.pixel(123, 5), kWhiteRgb) << "frame 25: between trials";
    EXPECT_EQ(bands.pixel(49, 5), kBlueRgb) << "the band starts at its first frame";
    EXPECT_EQ(bands.pixel(48, 5), kWhiteRgb);
    const QImage line = uievents::shownClient(strip(1));
    const int low = lineRow(line, 49), middle = lineRow(line, 247), high = lineRow(line, 445);
    // Frames 10, 50 and 90 of a 1..100 range: near the foot, halfway, near the top.
    EXPECT_GE(low, line.height() - 4);
    EXPECT_NEAR(middle, line.height() / 2, 1);
    EXPECT_LE(high, 3);

    // The cursor crosses both strips where it crosses the raster.
    emit form().seekRequested(25);
    bands = uievents::shownClient(strip(0));
    EXPECT_EQ(bands.pixel(123, 5), kRedRgb);
    EXPECT_EQ(uievents::shownClient(strip(1)).pixel(123, 0), kRedRgb);

    // Half the recording in the raster: the strips show the same frames.
    form().showRasterWindow({0, 0, 50, 3});
    bands = uievents::shownClient(strip(0));
    EXPECT_EQ(bands.pixel(148, 5), kBlueRgb) << "frame 15 at 9.9 pixels a frame";
    EXPECT_EQ(bands.pixel(74, 5), kWhiteRgb) << "frame 7.5";
    EXPECT_EQ(bands.pixel(247, 5), kRedRgb) << "the cursor at frame 25";
    EXPECT_LT(lineRow(uievents::shownClient(strip(1)), 490), line.height() / 2 + 1) << "frame 50, halfway up";
    form().showWholeRecording();

    // The tooltips: the trial under the pointer with the legend; the stream's name and range.
    EXPECT_EQ(tipAt(strip(0), {1 + 74, 5}),
              QStringLiteral("trials: trial 1 of 2 (go), frames 10-20\n  colours: blue go, red nogo"));
    EXPECT_EQ(tipAt(strip(0), {1 + 123, 5}), QStringLiteral("trials: none here\n  colours: blue go, red nogo"));
    EXPECT_EQ(tipAt(strip(1), {1 + 247, 5}), QStringLiteral("speed: 1 to 100\nframe 50: 50"));

    // A press on a strip goes to its frame, as on the raster.
    uievents::click(strip(0), {1 + 173, 5});
    EXPECT_NEAR(form().model().CurrentFrame, 35, 0.5);

    // A recording without context takes the strips and their room away again.
    emit form().seekRequested(0);
    files.models["/data/b.txt"] = viewstest::makeModel(10, {{1}});
    ASSERT_TRUE(openNow(form(), "/data/b.txt"));
    ASSERT_TRUE(openNow(form(), "/data/a.txt"));
    EXPECT_FALSE(strip(0).isVisibleTo(&form()));
    EXPECT_EQ(form().grab().toImage(), without) << "the window exactly as it was";
}

TEST_F(ContextStrips, LoopTrialPlaysTheTrialOverOnTheWindowsTimer) {
    addContext();
    app->action("loopTrialAction").trigger();
    ASSERT_TRUE(app->stepTrial(1));
    form().playback().soundSwitched(true);
    emit form().playClicked();
    std::vector<double> frames;
    QObject::connect(&form(), &MainWindow::positionShown, [&frames](double frame) { frames.push_back(frame); });
    for (int tick = 0; tick < 25; ++tick) {
        now += std::chrono::milliseconds(50);
        form().playback().timer().runDueTicks();
        QApplication::processEvents();  // the loop's seek back
    }
    // Frames 10..20, then back to just before 10 and on again: never past the trial.
    EXPECT_EQ(*std::max_element(frames.begin(), frames.end()), 20);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), 20.0), 2);
    EXPECT_EQ(std::count(midi.messages().begin(), midi.messages().end(), MidiMessage{0x99, 36, 112}), 3)
        << "the trial's drum at each start";
}

}  // namespace
