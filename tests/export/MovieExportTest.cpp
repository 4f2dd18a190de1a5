// Movies and still pictures of a recording, decoded and checked against where
// the window draws things and when the pass plays its notes.
#include "app/AppTestSupport.h"
#include "soundfiles/ExportTestSupport.h"
#include "export/MovieExport.h"
#include "face/FaceLayout.h"
#include "face/FigureFace.h"
#include "cli/RenderCommand.h"
#include "soundfiles/PlaybackPass.h"
#include "model/DataFileLoader.h"
#include "sound/AudioAnalysis.h"
#include "sound/Instruments.h"
#include "sound/SoundTestSupport.h"
#include "support/TestFiles.h"
#include "video/MovieDecoder.h"
#include "video/MovieTiming.h"
#include "video/VideoError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

using namespace cellsonify;

namespace {

namespace fs = std::filesystem;

constexpr int kScale = 2;
constexpr int kIntervalMs = 40;  // 25 pictures a second, picture k showing tick k
constexpr int kFps = 25;

bool isRed(QRgb c) { return qRed(c) > 170 && qGreen(c) < 90 && qBlue(c) < 90; }

// Cell 1 lights in frame 3 only, cell 2 in frame 6; eight frames.
const std::string kRecording = exporttest::dataFileText(8, {{3}, {6}});

// A window of the test's own with the same recording, asked where things are
// drawn; the movie's pictures must show them there, `kScale` times larger.
struct MovieExport : apptest::WindowFixture {
    void SetUp() override {
        if (font.empty()) GTEST_SKIP() << "no SoundFont installed";
        WindowFixture::SetUp();
        model = LoadDataFile(dir.write("rec.txt", kRecording).string());
        files.models["rec.txt"] = model;
        apptest::openNow(*window, "rec.txt");
        settings.pass.setSpeedText(std::to_string(kIntervalMs));
        settings.tailSeconds = 0.3;
    }

    // Window pixel of the raster's frame cursor at `frame`, halfway down the part inside the box.
    QPoint rasterCursor(double frame) {
        window->moveCursors(frame);
        CanvasView& raster = window->raster();
        const QLineF line = raster.line(kRasterBottomCursor)->pixels();
        const int bottom = std::min(static_cast<int>(std::max(line.y1(), line.y2())), raster.canvas().pixelHeight() - 1);
        const int top = std::max(static_cast<int>(std::min(line.y1(), line.y2())), 0);
        return raster.geometry().topLeft() + QPoint(CanvasView::kBorder, CanvasView::kBorder) +
               QPoint(static_cast<int>(std::floor(line.x1())), (top + bottom) / 2);
    }

    // Window pixel at the centre of cell `cell`'s dot on the cell map.
    QPoint cellDot(int cell) {
        CanvasView& map = window->cellMap();
        const CellPosition at = model.CellPos[static_cast<std::size_t>(cell)];
        return map.geometry().topLeft() + QPoint(CanvasView::kBorder, CanvasView::kBorder) +
               QPoint(static_cast<int>(std::floor(map.toPixelX(at.X))), static_cast<int>(std::floor(map.toPixelY(at.Y))));
    }

    static QRgb at(const QImage& picture, QPoint windowPixel, int scale = kScale) {
        return picture.pixel(windowPixel.x() * scale + scale / 2, windowPixel.y() * scale + scale / 2);
    }

    // `cellsonify render` with `args`: the exit code and what it said.
    static std::pair<int, std::string> render(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int code = renderCommand(args, out, err, false);
        return {code, out.str() + err.str()};
    }

    std::vector<std::string> filesInDir() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
        return names;
    }

    std::string font = soundtest::testSoundFont();
    soundtest::ScopedEnv useFont{"CELLSONIFY_SOUNDFONT", font};
    testfiles::TempDir dir;
    CellModel model;
    ExportSettings settings;
};

TEST_F(MovieExport, FilmsThePassInStepWithItsSound) {
    const std::string out = (dir.path() / "movie.mp4").string();
    ASSERT_TRUE(exportMovie(model, out, settings));
    const videotest::DecodedMovie movie = videotest::decodeMovie(out);

    EXPECT_EQ(movie.videoCodec, "h264");
    EXPECT_EQ(movie.pixelFormat, "yuv420p");
    EXPECT_EQ(movie.width, window->width() * kScale);
    EXPECT_EQ(movie.height, window->height() * kScale);
    EXPECT_EQ(movie.audioCodec, "aac");
    EXPECT_EQ(movie.sampleRate, 44100);
    EXPECT_EQ(movie.channels, 2);
    EXPECT_TRUE(videotest::indexBeforeData(out)) << "not indexed at the front";

    // The pass plus the tail, in whole pictures.
    const PlaybackPass pass = playbackPass(model, settings.pass);
    const double seconds = static_cast<double>(pass.lengthMs()) / 1000.0 + *settings.tailSeconds;
    EXPECT_DOUBLE_EQ(movie.frameRate, kFps);
    EXPECT_EQ(static_cast<double>(movie.pictures.size()), std::ceil(seconds * kFps));
    EXPECT_NEAR(movie.seconds, seconds, 1.0 / kFps);
    EXPECT_NEAR(static_cast<double>(movie.sound.size()) / 2 / 44100, seconds, 1.0 / kFps);

    // Picture k shows the window after tick k: the red cursor at frame k.
    for (int k : {2, 5}) {
        ASSERT_LT(k, static_cast<int>(movie.pictures.size()));
        const QPoint cursor = rasterCursor(k);
        EXPECT_TRUE(isRed(at(movie.pictures[k], cursor))) << "no cursor at frame " << k;
        EXPECT_FALSE(isRed(at(movie.pictures[k], rasterCursor(k + 1)))) << "cursor ahead at frame " << k;
        EXPECT_FALSE(isRed(at(movie.pictures[k], rasterCursor(k - 1)))) << "cursor behind at frame " << k;
    }

    // Cell 1's dot lights in the picture of the tick that sounds its note.
    ASSERT_GE(pass.messages.size(), 2u);
    const int64_t noteTick = pass.messages[1].timeMs / kIntervalMs;
    const QPoint dot = cellDot(1);
    EXPECT_FALSE(isRed(at(movie.pictures[noteTick - 1], dot)));
    EXPECT_TRUE(isRed(at(movie.pictures[noteTick], dot)));

    // And the note is heard within a picture of it.
    const std::vector<float> mono = audio::monoMix(movie.sound);
    const double loudest = audio::peak(mono);
    ASSERT_GT(loudest, 0.001);
    const auto onset = std::find_if(mono.begin(), mono.end(), [&](float s) { return std::abs(s) > loudest / 20; });
    const double heardAt = static_cast<double>(onset - mono.begin()) / 44100;
    EXPECT_NEAR(heardAt, static_cast<double>(noteTick) / kFps, 1.0 / kFps);
}

TEST_F(MovieExport, StillPictureAtRestOrAtAFrame) {
    const std::string rest = (dir.path() / "rest.png").string();
    const std::string third = (dir.path() / "third.png").string();
    exportPicture(model, rest, settings);
    settings.frame = 3;
    exportPicture(model, third, settings);
    const QImage atRest(QString::fromStdString(rest));
    const QImage atThird(QString::fromStdString(third));
    ASSERT_EQ(atRest.size(), window->size() * kScale);
    ASSERT_EQ(atThird.size(), window->size() * kScale);
    // Nearest neighbour: each window pixel is a kScale x kScale block.
    const QPoint cursor = rasterCursor(3);
    EXPECT_EQ(atThird.pixel(cursor * kScale), atThird.pixel(cursor * kScale + QPoint(kScale - 1, kScale - 1)));
    EXPECT_EQ(atThird.pixel(cursor * kScale), 0xFFFF0000u);
    EXPECT_EQ(atThird.pixel(cellDot(1) * kScale), 0xFFFF0000u) << "cell 1 lights at frame 3";
    EXPECT_NE(atRest.pixel(cellDot(1) * kScale), 0xFFFF0000u);
    EXPECT_NE(atRest.pixel(cursor * kScale), 0xFFFF0000u);

    settings.frame = 8;
    EXPECT_THROW(exportPicture(model, (dir.path() / "late.png").string(), settings), ExportError);
    EXPECT_FALSE(fs::exists(dir.path() / "late.png"));
}

TEST_F(MovieExport, FractionalSpeedsKeepTheWindowsTrail) {
    // Cell 1 lights in frame 3 of 16 and its dot stays red while it is in the
    // trail: floor(300 / speed) frames of the text as typed, 4 at "60.4" and
    // 8 at "37.5" (the rounded intervals, 60 and 38 ms, would give 5 and 7).
    model = LoadDataFile(dir.write("long.txt", exporttest::dataFileText(16, {{3}, {9}})).string());
    files.models["long.txt"] = model;
    apptest::openNow(*window, "long.txt");
    const QPoint dot = cellDot(1);
    const std::string out = (dir.path() / "movie.mp4").string();
    for (const auto& [speed, trail] : {std::pair{"60.4", 4}, std::pair{"37.5", 8}}) {
        window->setSpeedText(speed);
        window->playback().play();
        int windowTurn = 0;  // the first tick after frame 3 whose picture shows the dot no longer red
        for (int tick = 1; tick <= 14 && windowTurn == 0; ++tick) {
            window->playback().tick();
            if (tick > 3 && !isRed(window->grab().toImage().pixel(dot))) windowTurn = tick;
        }
        window->playback().stop();
        window->playback().back();
        EXPECT_EQ(windowTurn, 3 + trail) << speed;

        ExportSettings movieSettings = settings;
        movieSettings.pass = window->playback().settings().pass;
        ASSERT_TRUE(exportMovie(model, out, movieSettings)) << speed;
        const videotest::DecodedMovie movie = videotest::decodeMovie(out);
        const MovieTiming timing(movieSettings.pass.intervalMs, playbackPass(model, movieSettings.pass).ticks);
        int movieTurn = 0;
        for (int tick = 4; tick <= 14 && movieTurn == 0; ++tick) {
            const auto picture = static_cast<std::size_t>(timing.firstFrameShowing(tick));
            ASSERT_LT(picture, movie.pictures.size());
            if (!isRed(at(movie.pictures[picture], dot))) movieTurn = tick;
        }
        EXPECT_EQ(movieTurn, windowTurn) << speed;
    }
}

TEST_F(MovieExport, CancelAndUnwritableNamesLeaveNoFile) {
    const std::string out = (dir.path() / "movie.mp4").string();
    int calls = 0;
    std::size_t filesWhenCancelled = 0;
    const bool made = exportMovie(model, out, settings, [&](double) {
        if (++calls < 2) return true;
        filesWhenCancelled = filesInDir().size();
        return false;
    });
    EXPECT_FALSE(made);
    EXPECT_EQ(filesWhenCancelled, 2u) << "cancelled before the movie was being written";
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"rec.txt"});

    const std::string nowhere = (dir.path() / "missing" / "movie.mp4").string();
    try {
        exportMovie(model, nowhere, settings);
        ADD_FAILURE() << "wrote into a folder that does not exist";
    } catch (const VideoError& e) {
        EXPECT_NE(std::string(e.what()).find(nowhere), std::string::npos) << e.what();
    }
    EXPECT_THROW(exportPicture(model, nowhere, settings), VideoError);
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"rec.txt"});
}

TEST_F(MovieExport, TheCommandLineFilmsAndPicturesThePass) {
    constexpr int kZoom = 3;
    const std::string data = model.DataFile;
    const std::string movieFile = (dir.path() / "movie.mp4").string();
    const auto [code, said] = render({data, "-o", movieFile, "--speed", std::to_string(kIntervalMs), "--tail", "0.3",
                                      "--zoom", std::to_string(kZoom), "--instrument", "celesta"});
    ASSERT_EQ(code, 0) << said;
    EXPECT_EQ(said, "wrote " + movieFile + "\n");
    const videotest::DecodedMovie movie = videotest::decodeMovie(movieFile);
    EXPECT_EQ(movie.videoCodec, "h264");
    EXPECT_EQ(movie.audioCodec, "aac");
    // yuv420p needs even sides: an odd one gains a column or row.
    EXPECT_EQ(movie.width, (window->width() * kZoom + 1) / 2 * 2);
    EXPECT_EQ(movie.height, (window->height() * kZoom + 1) / 2 * 2);
    EXPECT_DOUBLE_EQ(movie.frameRate, kFps);
    const PlaybackPass pass = playbackPass(model, settings.pass);
    EXPECT_NEAR(movie.seconds, static_cast<double>(pass.lengthMs()) / 1000.0 + 0.3, 1.0 / kFps);
    ASSERT_GT(movie.pictures.size(), 5u);
    EXPECT_TRUE(isRed(at(movie.pictures[5], rasterCursor(5), kZoom)));

    // A still at --frame 5 has the cursor where the window draws it at frame 5;
    // a whole number given to --scale is the zoom, beside a scale's name.
    const std::string still = (dir.path() / "still.png").string();
    ASSERT_EQ(render({data, "-o", still, "--frame", "5", "--scale", std::to_string(kZoom), "--scale", "minor"}).first,
              0);
    const QImage picture(QString::fromStdString(still));
    ASSERT_EQ(picture.size(), window->size() * kZoom);
    EXPECT_TRUE(isRed(at(picture, rasterCursor(5), kZoom)));
    EXPECT_FALSE(isRed(at(picture, rasterCursor(4), kZoom)));
    EXPECT_FALSE(isRed(at(picture, rasterCursor(6), kZoom)));

    // Refused: error, exit 1, and nothing new in the folder.
    const std::vector<std::vector<std::string>> refused{
        {data, "-o", (dir.path() / "missing" / "movie.mp4").string()},
        {data, "-o", (dir.path() / "late.png").string(), "--frame", "8"},
    };
    for (const auto& args : refused) {
        const auto [failed, message] = render(args);
        EXPECT_EQ(failed, 1) << args[2];
        EXPECT_EQ(message.rfind("error: ", 0), 0u) << message;
    }
    auto names = filesInDir();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"movie.mp4", "rec.txt", "still.png"}));
}

}  // namespace

namespace {

// The window's pixels of `place` in a still at `scale`.
QImage windowPart(const QImage& still, const QRect& at, int scale) {
    return still.copy(QRect(at.topLeft() * scale, at.size() * scale)).convertToFormat(QImage::Format_RGB32);
}

TEST_F(MovieExport, AFigureShowsTheViewsNameAndCounterAndNoControls) {
    const std::string data = model.DataFile;
    auto still = [&](const char* name, std::vector<std::string> extra) {
        std::vector<std::string> args{data, "-o", (dir.path() / name).string(), "--speed", std::to_string(kIntervalMs)};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto [code, said] = render(args);
        EXPECT_EQ(code, 0) << said;
        return QImage(QString::fromStdString((dir.path() / name).string()));
    };
    const QImage window3 = still("window3.png", {"--frame", "3"});
    const QImage figure3 = still("figure3.png", {"--frame", "3", "--layout", "figure"});
    const QImage figure5 = still("figure5.png", {"--frame", "5", "--layout", "figure"});
    ASSERT_EQ(figure3.size(), figureSize(noStrips()) * kScale);

    // The views are the window's own pixels, moved.
    const FigurePlaces places = figurePlaces(noStrips());
    const std::pair<QRect, const ControlPlace*> views[] = {
        {places.raster, &layout::kRaster}, {places.cellMap, &layout::kCellMap}, {places.keyboard, &layout::kKeyboard}};
    for (const auto& [inFigure, place] : views)
        EXPECT_EQ(windowPart(figure3, inFigure, kScale),
                  windowPart(window3, zoomedTwipsRect(place->twips, 1.0), kScale))
            << place->name;

    // Beyond the views, the captions and the raster's axis numbers, nothing is drawn: no control.
    const QRect axes(QPoint(0, places.raster.top()), QPoint(places.raster.right() + 1, places.cellMap.top() - 1));
    int drawn = 0;
    for (int y = 0; y < figure3.height(); ++y)
        for (int x = 0; x < figure3.width(); ++x) {
            const QPoint p(x / kScale, y / kScale);
            if (axes.contains(p) || places.cellMap.contains(p) || places.keyboard.contains(p) ||
                places.name.contains(p) || places.counter.contains(p))
                continue;
            drawn += figure3.pixel(x, y) != 0xFFFFFFFFu;
        }
    EXPECT_EQ(drawn, 0);

    // The counter is written, and moves on with playback; the name is written.
    auto inkIn = [](const QImage& image, const QRect& at) {
        const QImage part = windowPart(image, at, kScale);
        int ink = 0;
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x) ink += part.pixel(x, y) != 0xFFFFFFFFu;
        return ink;
    };
    EXPECT_GT(inkIn(figure3, places.counter), 0);
    EXPECT_GT(inkIn(figure3, places.name), 0);
    EXPECT_NE(windowPart(figure3, places.counter, kScale), windowPart(figure5, places.counter, kScale));

    // A movie in the figure layout films the same picture.
    const std::string movieFile = (dir.path() / "figure.mp4").string();
    ASSERT_EQ(render({data, "-o", movieFile, "--speed", std::to_string(kIntervalMs), "--layout", "figure"}).first, 0);
    const videotest::DecodedMovie movie = videotest::decodeMovie(movieFile);
    EXPECT_EQ(movie.width, (figureSize(noStrips()).width() * kScale + 1) / 2 * 2);
    EXPECT_EQ(movie.height, (figureSize(noStrips()).height() * kScale + 1) / 2 * 2);

    // With trials and a running speed the figure is 46 pixels taller, the
    // cursor crossing the bands and the line in the raster's column of its frame.
    const std::string events = dir.write("trials.csv", "frame,stop_frame,cond\n2,4,go\n6,7,nogo\n").string();
    const std::string speed = dir.write("speed.csv", "frame,speed\n1,1\n2,2\n3,3\n4,4\n5,5\n6,6\n7,7\n8,8\n").string();
    const QImage context3 = still("c3.png", {"--frame", "3", "--layout", "figure", "--events", events, "--behavior", speed}),
                 context5 = still("c5.png", {"--frame", "5", "--layout", "figure", "--events", events, "--behavior", speed});
    ASSERT_EQ(context3.size(), (figureSize(noStrips()) + QSize(0, 46)) * kScale);
    const FigurePlaces both = figurePlaces({true, true});
    const int bandsY = both.strips.at(0).center().y(), lineTop = both.strips.at(1).top();
    const auto cursorAt = [&](double frame, int y) {
        return QPoint(both.raster.left() + rasterCursor(frame).x() - window->raster().geometry().left(), y);
    };
    for (const auto& [picture, frame] : {std::pair{&context3, 3}, std::pair{&context5, 5}})
        for (int y : {bandsY, lineTop + 2}) EXPECT_TRUE(isRed(at(*picture, cursorAt(frame, y)))) << frame << " " << y;
    // Where the cursor was, the go trial's blue band again.
    EXPECT_EQ(at(context5, cursorAt(3, bandsY)), 0xFF0000FFu);
    EXPECT_EQ(at(context3, cursorAt(5, bandsY)), 0xFFFFFFFFu) << "between the trials";
}

}  // namespace
