#include "app/MainWindow.h"
#include "playback/PlaybackController.h"
#include "model/DataFileLoader.h"
#include "model/RecordingGenerator.h"
#include "support/RecordingOutput.h"
#include "support/TestFiles.h"
#include "views/CanvasView.h"
#include "views/ImageButton.h"

#include "app/AppTestSupport.h"

#include <QLineEdit>
#include <QRadioButton>

#include <fstream>
#include <random>

using namespace cellsonify;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::string writeRecording(const testfiles::TempDir& dir, const std::string& name, int cells, int frames,
                           uint32_t seed) {
    GeneratorSettings s;
    s.cells = cells;
    s.frames = frames;
    s.activity = 0.05;
    s.silentShare = 0;
    s.seed = seed;
    return dir.write(name, generateRecording(s)).string();
}

// A user who keeps doing things while a 1500-cell recording plays at 1 ms a frame.
class ScriptedUser {
public:
    ScriptedUser(MainWindow& window, std::vector<std::string> good, std::vector<std::string> refused)
        : w_(window), good_(std::move(good)), refused_(std::move(refused)) {}

    int refusedLoads = 0;
    int modelChangedOnRefusal = 0;

    void act() {
        switch (rng_() % 9) {
            case 0: {
                const int px = static_cast<int>(rng_() % static_cast<unsigned>(w_.raster().width() - 2));
                uievents::press(w_.raster(), {px + 1.0, 20.0}, rng_() % 2 ? Qt::LeftButton : Qt::RightButton);
                break;
            }
            case 1: {
                const int px = static_cast<int>(rng_() % static_cast<unsigned>(w_.frameStrip().width() - 2));
                uievents::press(w_.frameStrip(), {px + 1.0, 3.0});
                break;
            }
            case 2: uievents::click(w_.backButton()); break;
            case 3: {
                static const char* kTexts[] = {"", "0", "0.4", "-3", "1e10", "abc", "1", "2.5", "1", "7"};
                w_.speedBox().selectAll();
                const QString text = QString::fromLatin1(kTexts[rng_() % 10]);
                QKeyEvent key(QEvent::KeyPress, text.isEmpty() ? Qt::Key_Delete : 0, Qt::NoModifier, text);
                QApplication::sendEvent(&w_.speedBox(), &key);
                break;
            }
            case 4: uievents::click(w_.instrumentOption(1 + static_cast<int>(rng_() % 7)), {5, 5}); break;
            case 5: {
                auto* on = w_.findChild<QRadioButton*>(QStringLiteral("Option9"));
                auto* off = w_.findChild<QRadioButton*>(QStringLiteral("Option8"));
                uievents::click(rng_() % 2 ? *on : *off, {5, 5});
                break;
            }
            case 6: {
                if (rng_() % 3 == 0) {
                    w_.dropFiles({QString::fromStdString(good_[rng_() % good_.size()])});
                    apptest::waitForOpening(w_);
                } else {
                    CellModel before = w_.model();
                    w_.dropFiles({QString::fromStdString(refused_[rng_() % refused_.size()])});
                    apptest::waitForOpening(w_);
                    ++refusedLoads;
                    // Playback went on while the file was read: only the position may have moved.
                    before.CurrentFrame = w_.model().CurrentFrame;
                    if (!(w_.model() == before)) ++modelChangedOnRefusal;
                }
                break;
            }
            case 7: uievents::click(w_.playButton()); break;
            default: uievents::click(w_.stopButton().isHidden() ? w_.playButton() : w_.stopButton()); break;
        }
    }

    // Back to playing at 1 ms per frame.
    void playFast() {
        w_.speedBox().selectAll();
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("1"));
        QApplication::sendEvent(&w_.speedBox(), &key);
    }

private:
    MainWindow& w_;
    std::vector<std::string> good_, refused_;
    std::mt19937 rng_{20261208};
};

}  // namespace

TEST(PlaybackSoak, AHundredThousandTicksWithAUserAtWork) {
    testfiles::TempDir dir;
    const std::string big = writeRecording(dir, "big.txt", 1500, 2000, 1);
    const std::vector<std::string> good{big, writeRecording(dir, "small.txt", 40, 500, 2),
                                        writeRecording(dir, "wide.txt", 300, 20000, 3)};
    const std::vector<std::string> refused{
        testfiles::data("level-above-32767.txt").string(), testfiles::data("header-cut-short.txt").string(),
        testfiles::data("frame-above-100000.txt").string(), (dir.path() / "vanished.txt").string()};

    apptest::RecordedMessages messages;
    apptest::ScriptedChooser chooser;
    RecordingOutput midi;
    MainWindowServices services;
    services.midi = &midi;
    services.messages = &messages;
    services.chooser = &chooser;
    MainWindow window(services);
    window.show();
    window.dropFiles({QString::fromStdString(big)});
    apptest::waitForOpening(window);
    ASSERT_EQ(window.model().CellCount, 1500);

    ScriptedUser user(window, good, refused);
    user.playFast();
    constexpr int kTicks = 100000;
    constexpr int kLoop = 10000;
    long afterFirstLoop = 0, peak = 0;
    for (int t = 1; t <= kTicks; ++t) {
        window.playback().tick();
        if (t % 97 == 0) user.act();
        if (t % 500 == 0) user.playFast();
        if (t % 50 == 0) QApplication::processEvents();  // repaints and the real timer's own ticks
        if (t % 1000 == 0) midi.clear();                 // the recording output keeps all it gets
        if (t == kLoop) afterFirstLoop = residentKb();
        if (t > kLoop && t % 1000 == 0) peak = std::max(peak, residentKb());
    }
    EXPECT_GT(user.refusedLoads, 50);
    EXPECT_EQ(user.modelChangedOnRefusal, 0);
    EXPECT_EQ(messages.shown.size(), static_cast<std::size_t>(user.refusedLoads));
    if (!kSanitized) {
        // The sanitizers hold freed memory back on purpose, so only a plain build measures this.
        EXPECT_LT(peak - afterFirstLoop, 5 * 1024) << "resident memory grew by " << peak - afterFirstLoop << " kB";
    }
}
