// The window's face painted without widgets against the real window's own
// picture of the same recording in the same state.
#include "app/AppTestSupport.h"
#include "export/MovieExport.h"
#include "export/PassPictures.h"
#include "model/DataFileLoader.h"
#include "sound/Instruments.h"
#include "support/TestFiles.h"
#include "views/ImageButton.h"

#include <QRadioButton>

#include <gtest/gtest.h>

using namespace cellsonify;

namespace {

struct WindowFace : apptest::WindowFixture {
    void SetUp() override {
        WindowFixture::SetUp();
        model = LoadDataFile(CELLSONIFY_EXAMPLES "/cortex-100-cells.txt");
        files.models["rec.txt"] = model;
        ASSERT_TRUE(apptest::openNow(*window, "rec.txt"));
        // The state a movie shows: its instrument and "Sound ON" selected, its speed typed.
        window->instrumentOption(2).setChecked(true);
        control<QRadioButton>("Option9").setChecked(true);
        window->setSpeedText("40");
    }

    // Pixels of `face` equal to the window's own in `rect` (all of them when empty).
    static double sameShare(const QImage& face, const QImage& window, QRect rect = {}) {
        if (rect.isEmpty()) rect = window.rect();
        long same = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x) same += face.pixel(x, y) == window.pixel(x, y);
        return double(same) / double(rect.width() * rect.height());
    }

    void expectSameFace(const QImage& picture, const char* when) {
        const QImage painted = picture.convertToFormat(QImage::Format_RGB32);
        const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(painted.size(), shown.size()) << when;
        std::vector<CanvasView*> views{&window->raster(), &window->frameStrip(), &window->cellMap(), &window->keyboard()};
        for (CanvasView* strip : window->controls().strips)
            if (strip->isVisibleTo(window.get())) views.push_back(strip);
        for (CanvasView* view : views)
            EXPECT_EQ(sameShare(painted, shown, view->geometry()), 1.0) << when << ": " << view->objectName().toStdString();
        // Only the standard glyphs (option circles, frames) are drawn by our
        // own hand: 99.97 % of the pixels match here.
        EXPECT_GE(sameShare(painted, shown), 0.99) << when;
    }

    CellModel model;
};

TEST_F(WindowFace, PaintsWhatTheWindowShowsAtRestAndPlaying) {
    PassPictures face(model, window->playback().settings().pass);
    expectSameFace(face.picture(), "at rest");

    face.play();
    window->playback().play();
    for (int tick = 0; tick < 37; ++tick) {
        face.tick();
        window->playback().tick();
    }
    ASSERT_TRUE(window->stopButton().isVisibleTo(window.get()));
    expectSameFace(face.picture(), "after 37 ticks");
}

TEST_F(WindowFace, PicturesAtFractionalSpeedsShowTheWindowsTrail) {
    // The trail divides the speed as typed: 4 frames at "60.4" and 8 at
    // "37.5", where the rounded intervals (60, 38) would give 5 and 7.
    testfiles::TempDir dir;
    const std::string still = (dir.path() / "still.png").string();
    for (const char* speed : {"60.4", "37.5"}) {
        window->setSpeedText(speed);
        window->playback().play();
        for (int tick = 0; tick < 20; ++tick) window->playback().tick();
        ExportSettings settings;
        settings.pass = window->playback().settings().pass;
        settings.scale = 1;
        settings.frame = 20;
        exportPicture(window->model(), still, settings);
        expectSameFace(QImage(QString::fromStdString(still)), speed);
        window->playback().stop();
        window->playback().back();
    }
}

TEST_F(WindowFace, PaintsTheRastersZoomAndItsPagesTurningAsTheWindowDoes) {
    const UserScale zoomed{0, 10, 120, 50};
    window->showRasterWindow(zoomed);
    PassPictures face(model, window->playback().settings().pass);
    face.showRasterWindow(zoomed);
    expectSameFace(face.picture(), "zoomed at rest");
    EXPECT_EQ(labelText("Label4"), QStringLiteral("120"));

    face.play();
    window->playback().play();
    for (int tick = 0; tick < 130; ++tick) {
        face.tick();
        window->playback().tick();
    }
    EXPECT_GT(window->raster().scale().left, 0);  // the page turned
    expectSameFace(face.picture(), "zoomed after 130 ticks");
}

TEST_F(WindowFace, PicturesShowTheStripsOfTrialsAndBehaviourAsTheWindowDoes) {
    IntervalTable trials{"trials", "cond", {"go", "nogo"}, {{20, 40, true, 0}, {60, 80, true, 1}}};
    BehaviourStream wheel{"wheel", "", std::vector<double>(model.FrameCount), 0, 0, 0, true};
    for (std::size_t f = 0; f < wheel.values.size(); ++f) wheel.values[f] = double(f % 50);
    wheel.high = 49;
    model.Context.tables = {trials};
    model.Context.streams = {wheel};
    files.models["ctx.txt"] = model;
    ASSERT_TRUE(apptest::openNow(*window, "ctx.txt"));
    window->setSpeedText("40");
    window->playback().play();
    for (int tick = 0; tick < 30; ++tick) window->playback().tick();

    testfiles::TempDir dir;
    const std::string still = (dir.path() / "still.png").string();
    ExportSettings settings;
    settings.pass = window->playback().settings().pass;
    settings.scale = 1;
    settings.frame = 30;
    exportPicture(window->model(), still, settings);
    const QImage picture(QString::fromStdString(still));
    expectSameFace(picture, "with trials and a wheel");
    // The go trial's band and the cursor in the picture's interval strip, the
    // wheel's line in its behaviour strip.
    const QRect bands = window->controls().strips[0]->geometry(), line = window->controls().strips[1]->geometry();
    const auto column = [&](const QRect& box, double frame) {
        return box.left() + 1 + int(frame * (box.width() - 2) / model.FrameCount);
    };
    EXPECT_EQ(picture.pixel(column(bands, 25), bands.top() + 4), 0xFF0000FFu);
    EXPECT_EQ(picture.pixel(column(bands, 30), bands.top() + 4), 0xFFFF0000u) << "the cursor";
    int green = 0;
    for (int y = line.top() + 1; y < line.bottom(); ++y) green += picture.pixel(column(line, 10), y) == 0xFF008000u;
    EXPECT_GT(green, 0);
    EXPECT_EQ(picture.height(), MainWindow::layoutSize(1.0).height() + 46);
}

}  // namespace
