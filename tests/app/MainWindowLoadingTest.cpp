#include "AppTestSupport.h"

#include "app/DroppedFiles.h"
#include "views/MainWindowControls.h"
#include "model/RecordingGenerator.h"
#include "drawing/Palette.h"
#include "support/TestFiles.h"

using namespace cellsonify;
using namespace apptest;
using uievents::drop;

namespace {

// Three cells over ten frames: cell 1 fires in frame 5, cell 3 in frames 5 and 9.
CellModel threeCells() { return viewstest::makeModel(10, {{5}, {}, {5, 9}}, {{0.5, 0.5}, {0.2, 0.2}, {0.8, 0.3}}); }

}  // namespace

struct MainWindowLoading : WindowFixture {
    void SetUp() override {
        WindowFixture::SetUp();
        files.models["/data/cells.txt"] = threeCells();
        files.models["/data/other.txt"] = viewstest::makeModel(400, {{1, 200, 400}, {100}});
        files.models["/data/cellstxt"] = viewstest::makeModel(20, {{2}, {3}, {4}, {5}});
        files.models["/data/cells.TXT"] = threeCells();
        files.models["/data/cells.Txt"] = threeCells();
        files.models["/data/b.csv"] = threeCells();
    }
    // Everything a load may change, to compare before and after.
    struct Snapshot {
        QString caption, cells, frames;
        CellModel model;
        QImage raster, map, indicator;
        UserScale rasterScale, indicatorScale;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() {
        return {window->windowTitle(),
                labelText("Label3"),
                labelText("Label4"),
                window->model(),
                uievents::shown(window->raster()),
                uievents::shown(window->cellMap()),
                uievents::shown(window->frameStrip()),
                window->raster().scale(),
                window->frameStrip().scale()};
    }
};

TEST_F(MainWindowLoading, ALoadShowsTheRecordingRescalesAndRewinds) {
    window->playback().seek(7);
    window->keyboard().canvas().filledBox(0, 0, 3, 3, kLightRed);
    openNow(*window, "/data/cells.txt");
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(captionFor("/data/cells.txt")));
    EXPECT_EQ(labelText("Label3"), "3");
    EXPECT_EQ(labelText("Label4"), "10");
    EXPECT_EQ(window->model().CurrentFrame, 0);
    EXPECT_EQ(window->model().DataFile, "/data/cells.txt");
    EXPECT_EQ(window->raster().scale(), (UserScale{0, 0, 10, 3}));
    EXPECT_EQ(window->frameStrip().scale(), (UserScale{0, 0, 10, 105}));

    const QImage raster = uievents::shownClient(window->raster());
    const int x5 = int(5 * 49.5);
    EXPECT_EQ(raster.pixel(x5, 169), kBlueRgb);   // cell 1: bottom row
    EXPECT_EQ(raster.pixel(x5, 113), kBlueRgb);
    EXPECT_EQ(raster.pixel(x5, 112), kWhiteRgb);  // cell 2 never fires
    EXPECT_EQ(raster.pixel(x5, 0), kBlueRgb);     // cell 3: top row
    EXPECT_EQ(raster.pixel(int(9 * 49.5), 30), kBlueRgb);
    EXPECT_EQ(raster.pixel(int(9 * 49.5), 150), kWhiteRgb);
    // cursors at frame 0: the left edge, red ticks top and bottom only
    EXPECT_EQ(raster.pixel(0, 2), kRedRgb);
    EXPECT_EQ(raster.pixel(0, 166), kRedRgb);
    EXPECT_EQ(raster.pixel(0, 80), kWhiteRgb);
    EXPECT_EQ(uievents::shownClient(window->frameStrip()).pixel(0, 3), kRedRgb);

    const QImage map = uievents::shownClient(window->cellMap());
    EXPECT_EQ(map.pixel(115, 83), kGreyRgb);
    EXPECT_EQ(map.pixel(184, 50), kGreyRgb);  // 0.8 * 231, 0.3 * 167
    // the keyboard is left as it was
    EXPECT_EQ(uievents::shownClient(window->keyboard()).pixel(1, 1), kRedRgb);
}

TEST_F(MainWindowLoading, CursorsMoveInTheirViewsUnitsAndOnlyTheTicksShow) {
    const QImage startStrip = uievents::shownClient(window->frameStrip());
    window->moveCursors(0);  // before any load the strip is in twips: frame 0 is its left edge
    EXPECT_EQ(uievents::shownClient(window->frameStrip()).pixel(0, 3), kRedRgb);
    EXPECT_NE(startStrip.pixel(0, 3), kRedRgb);

    openNow(*window, "/data/other.txt");  // 400 frames on 495 px
    window->moveCursors(123.4);
    const int x = int(123.4 * 495 / 400);
    const QImage raster = uievents::shownClient(window->raster());
    for (int y : {0, 6, 163, 169}) EXPECT_EQ(raster.pixel(x, y), kRedRgb) << y;
    for (int y : {7, 80, 162}) EXPECT_NE(raster.pixel(x, y), kRedRgb) << y;
    EXPECT_NE(raster.pixel(0, 2), kRedRgb);  // moved, not copied
    const QImage strip = uievents::shownClient(window->frameStrip());
    EXPECT_EQ(strip.pixel(x, 6), kRedRgb);
    EXPECT_NE(strip.pixel(x - 1, 6), kRedRgb);
    // the scan line never shows
    int black = 0;
    for (int y = 0; y < 170; ++y)
        for (int i = 0; i < 495; ++i) black += raster.pixel(i, y) == kBlackRgb;
    EXPECT_EQ(black, 0);
}

TEST_F(MainWindowLoading, PressingOnTheRasterOrTheStripAsksToSeekToThatFrame) {
    openNow(*window, "/data/other.txt");
    std::vector<double> seeks;
    QObject::connect(window.get(), &MainWindow::seekRequested, [&](double f) { seeks.push_back(f); });
    uievents::press(window->frameStrip(), {1 + 99, 4});
    uievents::press(window->raster(), {1 + 198, 50}, Qt::RightButton);
    ASSERT_EQ(seeks.size(), 2u);
    EXPECT_DOUBLE_EQ(seeks[0], 99.0 * 400 / 495);
    EXPECT_DOUBLE_EQ(seeks[1], 198.0 * 400 / 495);
}

TEST_F(MainWindowLoading, DropsLoadTheFirstFileOnlyWhenItEndsInLowerCaseTxt) {
    window->show();
    drop(window->raster(), uievents::files({"/data/other.txt", "/data/cells.txt"}));
    waitForOpening(*window);
    EXPECT_EQ(files.loads, (std::vector<std::string>{"/data/other.txt"}));
    EXPECT_EQ(window->model().FrameCount, 400);

    drop(window->cellMap(), uievents::files({"/data/b.csv", "/data/cells.txt"}));  // first one decides
    waitForOpening(*window);
    drop(window->raster(), uievents::files({"/data/cells.TXT"}));
    waitForOpening(*window);
    drop(window->cellMap(), uievents::files({"/data/cells.Txt"}));
    waitForOpening(*window);
    drop(window->raster(), {}, "/data/cells.txt");  // text, no file names
    waitForOpening(*window);
    EXPECT_EQ(files.loads.size(), 1u);
    EXPECT_EQ(window->model().FrameCount, 400);

    drop(window->cellMap(), uievents::files({"/data/cellstxt"}));
    waitForOpening(*window);
    EXPECT_EQ(files.loads.back(), "/data/cellstxt");
    EXPECT_EQ(window->model().CellCount, 4);
    EXPECT_TRUE(chooser.asked.empty());
    EXPECT_EQ(window->dialogFileName(), "");  // drops never reach the dialog
}

TEST_F(MainWindowLoading, DropsAnywhereButTheRasterAndTheMapDoNothing) {
    window->show();
    for (QWidget* target : {static_cast<QWidget*>(&window->keyboard()), static_cast<QWidget*>(&window->frameStrip()),
                            &control("PLAYK"), &control("fileopen"), &control("SPEED"),
                            static_cast<QWidget*>(window.get())})
        drop(*target, uievents::files({"/data/cells.txt"}));
        waitForOpening(*window);
    EXPECT_TRUE(files.loads.empty());
    EXPECT_EQ(window->windowTitle(), "Form1");
}

TEST_F(MainWindowLoading, TheNameRuleLooksAtTheLastThreeCharactersExactly) {
    EXPECT_EQ(dataFileFromDrop({"data.txt"}), QString("data.txt"));
    EXPECT_EQ(dataFileFromDrop({"datatxt"}), QString("datatxt"));
    EXPECT_EQ(dataFileFromDrop({"txt"}), QString("txt"));
    EXPECT_EQ(dataFileFromDrop({"DATA.TXT"}), std::nullopt);
    EXPECT_EQ(dataFileFromDrop({"data.Txt"}), std::nullopt);
    EXPECT_EQ(dataFileFromDrop({"xt"}), std::nullopt);
    EXPECT_EQ(dataFileFromDrop({}), std::nullopt);
    EXPECT_EQ(dataFileFromDrop({"a.csv", "b.txt"}), std::nullopt);
    EXPECT_EQ(dataFileFromDrop({"a.txt", "b.csv"}), QString("a.txt"));
    // recordings an importer reads, by extension in any case
    for (const char* name : {"/p/plane0/stat.npy", "s.NWB", "r.hdf5", "r.H5"})
        EXPECT_EQ(dataFileFromDrop({name}), QString(name));
    for (const char* name : {"plane0", "stat.npz", "r.hdf", "anh5", "a.nwb.bak"})
        EXPECT_EQ(dataFileFromDrop({name}), std::nullopt) << name;
}

TEST_F(MainWindowLoading, TheDialogRemembersItsChoiceAndCancelReloadsIt) {
    chooser.answers = {std::nullopt, "/data/cells.txt", std::nullopt, "/data/missing.dat"};
    window->show();
    uievents::click(control("fileopen"));  // cancelled before any choice: nothing
    waitForOpening(*window);
    EXPECT_TRUE(files.loads.empty());
    uievents::click(control("fileopen"));
    waitForOpening(*window);
    uievents::click(control("fileopen"));  // cancelled after a choice: that file again
    waitForOpening(*window);
    EXPECT_EQ(files.loads, (std::vector<std::string>{"/data/cells.txt", "/data/cells.txt"}));
    ASSERT_EQ(chooser.asked.size(), 3u);
    for (const auto& a : chooser.asked) {
        EXPECT_EQ(a.title, "Select a File");
        EXPECT_EQ(a.filter, "All recordings (*txt *.npy *.nwb *.hdf5 *.h5);;Data Files (*.txt) (*txt);;suite2p Plane Folder (any .npy in it) (*.npy);;"
                            "NWB File (*.nwb) (*.nwb);;CaImAn Result (*.hdf5, *.h5) (*.hdf5 *.h5);;All files (*) (*)");
    }
    EXPECT_EQ(chooser.asked[0].startPath, "");
    EXPECT_EQ(chooser.asked[1].startPath, "");
    EXPECT_EQ(chooser.asked[2].startPath, "/data/cells.txt");
    // whatever the dialog returns is tried, suffix or not
    uievents::click(control("fileopen"));
    waitForOpening(*window);
    EXPECT_EQ(files.loads.back(), "/data/missing.dat");
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(window->dialogFileName(), "/data/missing.dat");
}

TEST_F(MainWindowLoading, ARefusedFileShowsTheReasonAndChangesNothing) {
    openNow(*window, "/data/cells.txt");
    window->moveCursors(4);
    const Snapshot before = snapshot();
    const QString title = window->windowTitle();
    openNow(*window, "/data/broken.txt");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first, title.toStdString());
    EXPECT_EQ(messages.shown[0].second, "broken.txt, line 3: not a data file");
    EXPECT_TRUE(snapshot() == before);
    // also when dropped, and also for an error that is not a data-file error
    files.models.erase("/data/other.txt");
    drop(window->raster(), uievents::files({"/data/other.txt"}));
    waitForOpening(*window);
    MainWindowServices s;
    RecordingOutput quiet;
    s.midi = &quiet;
    s.messages = &messages;
    s.chooser = &chooser;
    s.open = [](const std::string&, const ImportOptions&, const ImportProgress&) -> OpenedRecording { throw std::bad_alloc(); };
    MainWindow second(s);
    openNow(second, "/data/cells.txt");
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(second.windowTitle(), "Form1");
    EXPECT_TRUE(snapshot() == before);
}

TEST(MainWindowRealFiles, ADroppedRecordingIsReadByTheLoader) {
    testfiles::TempDir dir;
    GeneratorSettings settings;
    settings.cells = 40;
    settings.frames = 300;
    const auto path = dir.write("recording.txt", generateRecording(settings));
    RecordedMessages messages;
    RecordingOutput midi;
    MainWindowServices s;
    s.messages = &messages;
    s.midi = &midi;
    MainWindow window(s);
    window.dropFiles({QString::fromStdString(path.string())});
    waitForOpening(window);
    ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].second;
    EXPECT_EQ(window.windowTitle(), QString::fromStdString(captionFor(path.string())));
    EXPECT_EQ(window.model().FrameCount, 300);
    EXPECT_GT(window.model().CellCount, 0);
    EXPECT_GT(viewstest::countColour(uievents::shownClient(window.raster()), kBlueRgb), 0);

    const auto junk = dir.write("junk.txt", "this is not a recording\n");
    window.dropFiles({QString::fromStdString(junk.string())});
    waitForOpening(window);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].second.find("junk.txt"), std::string::npos);
    EXPECT_EQ(window.model().FrameCount, 300);
}

// Loads the bundled example and checks the whole window; with
// CELLSONIFY_WINDOW_SHOT set, also saves the picture there (the docs screenshot).
TEST(MainWindowRealFiles, TheExampleRecordingFillsTheWindow) {
    const std::string example = std::string(CELLSONIFY_EXAMPLES) + "/cortex-100-cells.txt";
    if (!std::filesystem::exists(example)) GTEST_SKIP() << "no example recording";
    RecordedMessages messages;
    RecordingOutput midi;
    MainWindowServices s;
    s.messages = &messages;
    s.midi = &midi;
    MainWindow window(s);
    window.show();
    window.dropFiles({QString::fromStdString(example)});
    waitForOpening(window);
    ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].second;
    window.moveCursors(window.model().FrameCount / 3.0);
    const QImage picture = uievents::shown(window);
    EXPECT_EQ(picture.size(), QSize(527, 431));
    EXPECT_GT(viewstest::countColour(picture, kBlueRgb), 500);
    EXPECT_EQ(picture.pixel(130, 290), kGreyRgb);  // window background between the controls
    if (const char* out = std::getenv("CELLSONIFY_WINDOW_SHOT")) {
        EXPECT_TRUE(picture.save(QString::fromUtf8(out)));
    }
}
