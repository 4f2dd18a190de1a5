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
        for (CanvasView* view : {&window->raster(), &window->frameStrip(), &window->cellMap(), &window->keyboard()})
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

}  // namespace
