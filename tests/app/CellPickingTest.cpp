// Picking cells on the map and with the Cells menu: what is marked, what is
// heard, what a hover tells, and the rows the View menu's order gives.
#include "AppTestSupport.h"

#include "app/ApplicationWindow.h"
#include "app/CellChooser.h"
#include "app/CellMarks.h"
#include "drawing/Palette.h"
#include "support/TestFiles.h"

#include <QHelpEvent>
#include <QInputDialog>
#include <QTimer>
#include <QRadioButton>
#include <QSettings>
#include <QToolTip>

#include <set>

using namespace cellsonify;
using namespace apptest;

namespace {

void mouse(QWidget& w, QEvent::Type type, QPointF at, Qt::KeyboardModifiers mods = {}) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w.mapToGlobal(at), button, held, mods);
    QApplication::sendEvent(&w, &e);
}

void click(QWidget& w, QPointF at, Qt::KeyboardModifiers mods = {}) {
    mouse(w, QEvent::MouseButtonPress, at, mods);
    mouse(w, QEvent::MouseButtonRelease, at, mods);
}

int countIn(const QImage& image, const QRect& area, QRgb rgb) {
    int n = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) n += (image.pixel(x, y) | 0xFF000000u) == rgb;
    return n;
}

struct CellPicking : ::testing::Test {
    testfiles::TempDir dir;
    std::unique_ptr<QSettings> settings;
    RecordedMessages messages;
    RecordingOutput midi;
    FakeFiles files;
    std::unique_ptr<ApplicationWindow> app;

    // Four cells at the corners of the map; cell c fires alone in frame c,
    // and cell 1 also in frames 5 to 7, so it is the most active.
    void SetUp() override {
        files.models["/data/four.txt"] = viewstest::makeModel(
            9, {{1, 5, 6, 7}, {2}, {3}, {4}}, {{0.2, 0.2}, {0.8, 0.2}, {0.2, 0.8}, {0.8, 0.8}});
        files.models["/data/other.txt"] = viewstest::makeModel(5, {{1}, {2}});
        settings = std::make_unique<QSettings>(QString::fromStdString((dir.path() / "s.ini").string()),
                                               QSettings::IniFormat);
        ApplicationServices s;
        s.window.messages = &messages;
        s.window.midi = &midi;
        // Data files from memory, and an import of the same four cells: ROIs
        // 3, 8, 12 and 20 of a 100-row image, cell c's centre at column 10 c, row 5 c.
        s.window.open = [this](const std::string& path, const ImportOptions&, const ImportProgress&) {
            if (path != "/data/four.nwb") return files.open(path);
            OpenedRecording r{files.load("/data/four.txt"), "four.nwb", ImportSource{}};
            r.model.DataFile = path;
            r.model.SourceRoi = r.source->cellRoi = {0, 3, 8, 12, 20};
            r.source->imageRows = 100;
            for (int c = 1; c <= 4; ++c) r.source->filePositions.push_back({10.0 * c + 1, 100 - 5.0 * c});
            return r;
        };
        s.outputs.listPorts = [] { return std::vector<std::string>{}; };
        s.outputs.make = [](const std::string&) { return std::make_unique<RecordingOutput>(); };
        s.settings = settings.get();
        app = std::make_unique<ApplicationWindow>(s);
        app->show();
        app->activateWindow();
        QApplication::processEvents();
        app->setFocus();
        ASSERT_TRUE(openNow(form(), "/data/four.txt"));
    }
    MainWindow& form() { return app->form(); }
    std::vector<int> picked() { return form().model().Selection.cells(); }
    // Where cell `cell`'s dot is, in map widget pixels.
    QPointF dot(int cell) {
        const CellPosition p = form().model().CellPos[cell];
        return {form().cellMap().toPixelX(p.X) + 1, form().cellMap().toPixelY(p.Y) + 1};
    }
    QRect around(QPointF centre) {
        const int r = MapMarks::kRingRadius + 1;
        return QRect(centre.toPoint() - QPoint(r, r), QSize(2 * r + 1, 2 * r + 1));
    }
    // Rows (form pixels) of the raster row of `cell`, and the strip beside the raster.
    QRect rowStrip(int cell) {
        CanvasView& raster = form().raster();
        const int n = form().model().CellCount, place = form().model().Rows.placeOf(cell);
        const int top = raster.y() + 1 + static_cast<int>(raster.toPixelY(n - place));
        const int bottom = raster.y() + 1 + static_cast<int>(raster.toPixelY(n - place + 1)) - 1;
        return QRect(raster.x() - RowMarks::kWidth - 1, top, RowMarks::kWidth, bottom - top + 1);
    }
    std::vector<int> notesOn() {
        std::vector<int> notes;
        for (std::size_t i = 0; i < midi.messages().size(); ++i)
            if (midi.bytes(i)[0] == 0x90 && midi.bytes(i)[2] > 0) notes.push_back(midi.bytes(i)[1]);
        return notes;
    }
    // Plays frames 1..frames from the start with the sound on.
    std::vector<int> play(int frames) {
        form().playback().back();
        midi.clear();
        for (int f = 0; f < frames; ++f) form().playback().tick();
        return notesOn();
    }
};

}  // namespace

TEST_F(CellPicking, ClicksShiftClicksAndADragPickDotsWhichAreRingedAndMarkedBesideTheirRows) {
    CanvasView& map = form().cellMap();
    click(map, dot(1));
    EXPECT_EQ(picked(), (std::vector<int>{1}));
    click(map, dot(2), Qt::ShiftModifier);
    click(map, dot(1), Qt::ShiftModifier);
    EXPECT_EQ(picked(), (std::vector<int>{2}));

    // A drag over the lower half of the map picks the two dots there.
    mouse(map, QEvent::MouseButtonPress, {map.width() * 0.1, map.height() * 0.6});
    mouse(map, QEvent::MouseMove, {map.width() * 0.5, map.height() * 0.8});
    mouse(map, QEvent::MouseMove, {map.width() * 0.95, map.height() * 0.95});
    mouse(map, QEvent::MouseButtonRelease, {map.width() * 0.95, map.height() * 0.95});
    EXPECT_EQ(picked(), (std::vector<int>{3, 4}));

    const QImage shownMap = uievents::shown(map);
    for (int cell : {3, 4}) EXPECT_GT(countIn(shownMap, around(dot(cell)), kPickedCellRgb), 10) << cell;
    for (int cell : {1, 2}) EXPECT_EQ(countIn(shownMap, around(dot(cell)), kPickedCellRgb), 0) << cell;
    const QImage shownForm = uievents::shown(form());
    for (int cell : {3, 4})
        EXPECT_EQ(countIn(shownForm, rowStrip(cell), kPickedCellRgb), rowStrip(cell).width() * rowStrip(cell).height());
    for (int cell : {1, 2}) EXPECT_EQ(countIn(shownForm, rowStrip(cell), kPickedCellRgb), 0);

    // Escape picks none; no mark is left.
    ASSERT_TRUE(qt_sendShortcutOverrideEvent(app.get(), 0, Qt::Key_Escape, Qt::NoModifier));
    EXPECT_TRUE(picked().empty());
    EXPECT_EQ(viewstest::countColour(uievents::shown(map), kPickedCellRgb), 0);
    EXPECT_EQ(viewstest::countColour(uievents::shown(form()), kPickedCellRgb), 0);

    // A press on the raster, Shift held or not, still seeks.
    CanvasView& raster = form().raster();
    click(raster, {raster.width() / 2.0, 10}, Qt::ShiftModifier);
    EXPECT_NEAR(form().model().CurrentFrame, 4.5, 0.2);
    EXPECT_TRUE(picked().empty());

    // A new recording starts with nothing picked.
    app->cells().pickNumbers("1-2");
    ASSERT_TRUE(openNow(form(), "/data/other.txt"));
    EXPECT_TRUE(picked().empty());
}

TEST_F(CellPicking, TheHearModeDecidesWhichPickedCellsSoundWhileAllStillLight) {
    form().findChild<QRadioButton*>(QStringLiteral("Option9"))->setChecked(true);  // Sound ON
    // Rows: four cells, cell c plays note 61 + c.
    EXPECT_EQ(play(4), (std::vector<int>{62, 63, 64, 65}));
    ASSERT_EQ(app->cells().pickNumbers("2-3"), std::nullopt);
    EXPECT_EQ(play(4), (std::vector<int>{62, 63, 64, 65}));  // Hear All
    app->action("hearSelectedAction").trigger();
    EXPECT_EQ(play(4), (std::vector<int>{63, 64}));
    app->action("muteSelectedAction").trigger();
    EXPECT_EQ(play(4), (std::vector<int>{62, 65}));

    // Muted cell 2 still lights red on the map in its frame.
    play(2);
    EXPECT_GT(countIn(uievents::shown(form().cellMap()), around(dot(2)), kRedRgb), 0);

    app->cells().pickMostActive(1);
    EXPECT_EQ(picked(), (std::vector<int>{1}));
    app->action("hearSelectedAction").trigger();
    EXPECT_EQ(play(7), (std::vector<int>{62, 62, 62, 62}));
    EXPECT_NE(app->cells().pickNumbers("3-1"), std::nullopt);
    EXPECT_EQ(picked(), (std::vector<int>{1}));  // a mistake changes nothing
}

TEST_F(CellPicking, ActivityOrderMovesRowsAndPitchesAndAHoverNamesTheCellOfTheRow) {
    app->action("activityOrderAction").trigger();
    // Cell 1 fires most and takes the top row; the others tie and keep their
    // order, each one row lower.
    const RowOrder& rows = form().model().Rows;
    EXPECT_EQ(rows.placeOf(1), 4);
    EXPECT_EQ(rows.placeOf(4), 3);
    EXPECT_EQ(rows.placeOf(2), 1);
    // The top row of the raster shows cell 1's four marks: light blue in frames 1, 5, 6, 7.
    CanvasView& raster = form().raster();
    const QImage shown = uievents::shownClient(raster);
    const int topRowY = static_cast<int>(raster.toPixelY(0.5));
    std::set<int> columns;
    for (int x = 0; x < shown.width(); ++x)
        if ((shown.pixel(x, topRowY) | 0xFF000000u) == kBlueRgb) columns.insert(static_cast<int>(x / raster.toPixelX(1)));
    EXPECT_EQ(columns, (std::set<int>{1, 5, 6, 7}));

    form().findChild<QRadioButton*>(QStringLiteral("Option9"))->setChecked(true);
    // Rows pitches follow the places (61 + place): cell 1 the highest, the others one lower than before.
    EXPECT_EQ(play(4), (std::vector<int>{65, 62, 63, 64}));
    // Playing frame 1 lights cell 1's mark red in the top row, not in file order's bottom row.
    play(1);
    const QImage lit = uievents::shownClient(raster);
    const int frame1 = static_cast<int>(raster.toPixelX(1));
    EXPECT_EQ(lit.pixel(frame1, topRowY) | 0xFF000000u, kRedRgb);
    EXPECT_NE(lit.pixel(frame1, static_cast<int>(raster.toPixelY(3.5))) | 0xFF000000u, kRedRgb);
    app->action("similarityOrderAction").trigger();
    app->action("fileOrderAction").trigger();
    EXPECT_TRUE(form().model().Rows.isFileOrder());
    app->action("activityOrderAction").trigger();

    // Hovering the top row tells about cell 1.
    const QPoint topRow(raster.width() / 2, 1 + topRowY);
    QHelpEvent hover(QEvent::ToolTip, topRow, raster.mapToGlobal(topRow));
    QApplication::sendEvent(&raster, &hover);
    const QString tip = QToolTip::text();
    EXPECT_TRUE(tip.startsWith(QStringLiteral("Cell 1\n"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("4 events"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("(note 65)"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("x 0.200, y 0.200"))) << tip.toStdString();
}

TEST_F(CellPicking, TwentyThousandDotsStayApartAndClicksAndDragsFindTheirCells) {
    files.models["/data/crowd.txt"] = viewstest::randomModel(20000, 50, 0.02, 9);
    ASSERT_TRUE(openNow(form(), "/data/crowd.txt"));
    CanvasView& map = form().cellMap();
    // Smaller dots: most of the map is still its background.
    const QImage shown = uievents::shown(map);
    EXPECT_GT(viewstest::countColour(shown, kWhiteRgb), shown.width() * shown.height() / 2);

    // The dot a click finds is the nearest within reach, the highest numbered of equals.
    const auto nearestByScan = [&](QPointF p) {
        int best = 0;
        double bestDistance = 36;
        for (int c = 1; c <= 20000; ++c) {
            const QPointF d = dot(c) - p;
            const double distance = d.x() * d.x() + d.y() * d.y();
            if (distance <= bestDistance) bestDistance = distance, best = c;
        }
        return best;
    };
    for (const QPoint at : {QPoint(40, 40), QPoint(120, 90), QPoint(3, 160), dot(777).toPoint()}) {
        click(map, at);
        const int expected = nearestByScan(QPointF(at) + QPointF(0.5, 0.5));
        EXPECT_EQ(picked(), expected ? std::vector<int>{expected} : std::vector<int>{}) << at.x() << "," << at.y();
    }
    EXPECT_EQ(picked().size(), 1u);

    // A drag picks exactly the dots inside its rectangle.
    const QPoint from(30, 20), to(90, 70);
    mouse(map, QEvent::MouseButtonPress, from);
    mouse(map, QEvent::MouseMove, to);
    mouse(map, QEvent::MouseButtonRelease, to);
    std::vector<int> inside;
    const QRectF area(QRect(from, to).normalized());
    for (int c = 1; c <= 20000; ++c)
        if (area.contains(dot(c))) inside.push_back(c);
    EXPECT_GT(inside.size(), 1000u);
    EXPECT_EQ(picked(), inside);
}

TEST_F(CellPicking, AnImportsCellsArePickedByRoiNumberAndTheirTipsGiveSourcePixels) {
    EXPECT_NE(app->cells().pickNumbers("roi 3"), std::nullopt) << "a data file has no ROIs";
    ASSERT_TRUE(form().openRecording("/data/four.nwb"));
    waitForOpening(form());
    EXPECT_EQ(app->cells().pickNumbers("roi 8, 12-25"), std::nullopt);
    EXPECT_EQ(picked(), (std::vector<int>{2, 3, 4}));
    for (const char* refused : {"roi 9", "roi 4-7", "roi x", "roi 12-8"}) {
        EXPECT_NE(app->cells().pickNumbers(refused), std::nullopt) << refused;
        EXPECT_EQ(picked(), (std::vector<int>{2, 3, 4})) << refused;
    }
    EXPECT_EQ(app->cells().pickNumbers("1"), std::nullopt);  // cell numbers as before
    EXPECT_EQ(picked(), (std::vector<int>{1}));

    // The dialog comes back with a refused entry in its box.
    QStringList seen;
    std::function<void()> answer = [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!dialog) return QTimer::singleShot(0, answer);
        seen << dialog->textValue();
        if (seen.size() == 1) {
            dialog->setTextValue(QStringLiteral("roi 9"));
            dialog->accept();
            QTimer::singleShot(0, answer);
        } else {
            dialog->reject();
        }
    };
    QTimer::singleShot(0, answer);
    app->action("pickNumbersAction").trigger();
    EXPECT_EQ(seen, (QStringList{QString(), QStringLiteral("roi 9")}));
    ASSERT_FALSE(messages.shown.empty());

    // Hovering cell 3's dot gives its place in the source image.
    const QPoint at = dot(3).toPoint();
    QHelpEvent hover(QEvent::ToolTip, at, form().cellMap().mapToGlobal(at));
    QApplication::sendEvent(&form().cellMap(), &hover);
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("column 30.0, row 15.0 in the source image")))
        << QToolTip::text().toStdString();
}

// Run by ctest with QT_SCALE_FACTOR=2 (app.TwiceTheScreensResolution); skipped at other ratios.
TEST_F(CellPicking, AtTwiceTheResolutionMarksAreSharpDevicePixelsAndClicksStillPick) {
    CanvasView& raster = form().raster();
    if (raster.devicePixelRatioF() != 2.0) GTEST_SKIP() << "needs a device pixel ratio of 2 (QT_SCALE_FACTOR=2)";
    ASSERT_EQ(raster.canvas().pixelWidth(), 2 * raster.clientSize().width());
    ASSERT_EQ(raster.canvas().pixelHeight(), 2 * raster.clientSize().height());

    // Cell 2's one mark (frame 2) is one window pixel wide: two device pixels
    // of pure blue between white ones, on every device row of its middle.
    const QImage shown = uievents::shown(raster);
    ASSERT_EQ(shown.width(), 2 * raster.width());
    const int n = form().model().CellCount, place = form().model().Rows.placeOf(2);
    const int markX = 2 + static_cast<int>(2 * raster.toPixelX(2));
    const int midY = 2 * (1 + static_cast<int>(raster.toPixelY(n - place + 0.5)));
    for (int y : {midY, midY + 1}) {
        EXPECT_EQ(shown.pixel(markX - 1, y) | 0xFF000000u, 0xFFFFFFFFu) << y;
        EXPECT_EQ(shown.pixel(markX, y) | 0xFF000000u, kBlueRgb) << y;
        EXPECT_EQ(shown.pixel(markX + 1, y) | 0xFF000000u, kBlueRgb) << y;
        EXPECT_EQ(shown.pixel(markX + 2, y) | 0xFF000000u, 0xFFFFFFFFu) << y;
    }
    // Nothing in the raster is blended: its pixels are white, blue, or the
    // cursors' red and the black border.
    int blended = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb c = shown.pixel(x, y) | 0xFF000000u;
            blended += c != 0xFFFFFFFFu && c != kBlueRgb && c != kRedRgb && c != 0xFF000000u;
        }
    EXPECT_EQ(blended, 0);

    // Clicks and a drag at window points pick the dots there, as at one device pixel per window pixel.
    CanvasView& map = form().cellMap();
    click(map, dot(3));
    EXPECT_EQ(picked(), (std::vector<int>{3}));
    click(map, dot(2), Qt::ShiftModifier);
    EXPECT_EQ(picked(), (std::vector<int>{2, 3}));
    click(raster, {1 + raster.toPixelX(6.5), 10});
    EXPECT_NEAR(form().model().CurrentFrame, 6.5, 0.1);
}
