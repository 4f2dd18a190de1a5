#include "AppTestSupport.h"

#include "views/MainWindowControls.h"
#include "drawing/Palette.h"
#include "views/ImageButton.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace cellsonify;
using namespace apptest;

using MainWindowStartup = WindowFixture;

TEST_F(MainWindowStartup, StartsWithPianoSoundOffSpeed50AndStopHidden) {
    EXPECT_EQ(window->windowTitle(), "Form1");
    EXPECT_EQ(window->objectName(), "form1");
    EXPECT_TRUE(control<QRadioButton>("Option1").isChecked());
    for (const char* other : {"Option2", "Option3", "Option4", "Option5", "Option6", "Option7"})
        EXPECT_FALSE(control<QRadioButton>(other).isChecked()) << other;
    EXPECT_TRUE(control<QRadioButton>("Option8").isChecked());
    EXPECT_FALSE(control<QRadioButton>("Option9").isChecked());
    EXPECT_FALSE(window->soundOn());
    EXPECT_EQ(control<QLineEdit>("SPEED").text(), "50");
    EXPECT_EQ(window->speedText(), "50");
    EXPECT_TRUE(control("STOPK").isHidden());
    EXPECT_FALSE(control("PLAYK").isHidden());
    EXPECT_EQ(control<QPushButton>("fileopen").text(), "Load Data File");
    EXPECT_EQ(labelText("Label3"), "1");
    EXPECT_EQ(labelText("Label4"), "1");
    EXPECT_EQ(labelText("Label1_5"), "Frame #");
    EXPECT_EQ(labelText("Label5"), "msec/frame");
    EXPECT_EQ(control<QRadioButton>("Option5").text(), "Ice Rain");
    // Start-up opens the output once and selects program 0; no note yet.
    EXPECT_EQ(midi.openCount(), 1);
    EXPECT_EQ(midi.allBytes(), (std::vector<uint8_t>{0xC0, 0, 0}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(window->model().CellCount, 0);
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(MainWindowStartup, ControlsSitAtTheirTwipsPositions) {
    EXPECT_EQ(window->size(), QSize(527, 431));
    EXPECT_EQ(control("Raster").geometry(), QRect(24, 8, 497, 172));
    EXPECT_EQ(control("Indicator").geometry(), QRect(24, 200, 497, 9));
    EXPECT_EQ(control("XYLoc").geometry(), QRect(152, 232, 233, 169));
    EXPECT_EQ(control("KeyB").geometry(), QRect(16, 408, 509, 17));
    EXPECT_EQ(control("fileopen").geometry(), QRect(24, 224, 97, 33));
    EXPECT_EQ(control("PLAYK").geometry(), control("STOPK").geometry());
    EXPECT_EQ(control("BBK").geometry(), QRect(24, 280, 33, 33));
    EXPECT_EQ(control("Frame1").geometry(), QRect(416, 224, 105, 177));
    EXPECT_EQ(control("Option2").geometry(), QRect(8, 40, 81, 17));  // inside Frame1
    EXPECT_EQ(control("Option2").parentWidget(), &control("Frame1"));
    EXPECT_EQ(control("Option9").parentWidget(), &control("Frame2"));
    EXPECT_EQ(control("Label3").geometry(), QRect(-4, 1, 21, 17));
    EXPECT_EQ(window->raster().canvas().pixelWidth(), 495);
    EXPECT_EQ(window->raster().canvas().pixelHeight(), 170);
    EXPECT_EQ(window->cellMap().canvas().pixelWidth(), 231);
    EXPECT_DOUBLE_EQ(window->raster().scale().width, 7425.0 / 13775.5107);
    EXPECT_DOUBLE_EQ(window->raster().scale().height, 2550.0 / 9107.1426);
    EXPECT_DOUBLE_EQ(window->frameStrip().scale().width, 7425.0);
    EXPECT_DOUBLE_EQ(window->keyboard().scale().height, 6.0);
}

TEST_F(MainWindowStartup, ResizingShowsMoreOrLessBackgroundAndMovesNothing) {
    std::vector<std::pair<QWidget*, QRect>> before;
    for (QWidget* w : window->findChildren<QWidget*>()) before.emplace_back(w, w->geometry());
    window->show();
    for (QSize size : {QSize(900, 700), QSize(300, 200), QSize(527, 431)}) {
        window->resize(size);
        QApplication::processEvents();
        for (auto& [w, rect] : before) EXPECT_EQ(w->geometry(), rect) << w->objectName().toStdString();
    }
    EXPECT_EQ(window->raster().canvas().pixelWidth(), 495);
    window->resize(900, 700);
    const QImage img = uievents::shown(*window);
    EXPECT_EQ(img.pixel(800, 600), kGreyRgb);  // background beyond the controls
}

TEST_F(MainWindowStartup, TabGoesThroughTheViewsThenTheButtonsThenTheOptions) {
    const std::vector<QString> expected = {"Raster", "XYLoc",    "KeyB",    "Indicator", "PLAYK",   "STOPK",
                                           "BBK",    "SPEED",    "fileopen", "Option1",  "Option2", "Option3",
                                           "Option4", "Option5", "Option6", "Option7",  "Option8", "Option9"};
    std::vector<QString> chain;
    QWidget* w = &control("Raster");
    for (int step = 0; step < 500 && chain.size() < expected.size(); ++step, w = w->nextInFocusChain())
        if (std::count(expected.begin(), expected.end(), w->objectName())) chain.push_back(w->objectName());
    EXPECT_EQ(chain, expected);
}

TEST_F(MainWindowStartup, TheKeyboardShowsFiftyThreeBlackKeysUnderSeventyFourSeparators) {
    const QImage keys = uievents::shownClient(window->keyboard());  // 507 x 15
    ASSERT_EQ(keys.size(), QSize(507, 15));
    auto blackRuns = [&](int y, int minWidth) {
        int runs = 0;
        for (int x = 0; x < keys.width();) {
            int end = x;
            while (end < keys.width() && keys.pixel(end, y) == kBlackRgb) ++end;
            runs += end - x >= minWidth;
            x = std::max(end, x + 1);
        }
        return runs;
    };
    EXPECT_EQ(blackRuns(3, 3), 53);  // key row 1..3 units = pixels 2..7
    EXPECT_EQ(blackRuns(12, 1), 74);  // below the black keys: only separators
    EXPECT_EQ(blackRuns(12, 2), 0);
    // the first separator, 3 units in, lies at pixel 6 and reaches the bottom
    EXPECT_EQ(keys.pixel(6, 14), kBlackRgb);
    EXPECT_EQ(keys.pixel(5, 14), kWhiteRgb);
    EXPECT_EQ(keys.pixel(7, 14), kWhiteRgb);
}

TEST_F(MainWindowStartup, AKeyHighlightCoversTheKeyAndSeparatorsStayOnTop) {
    // first white key: 0..3 units across, highlighted in its top half
    window->keyboard().canvas().filledBox(0, 0, 3, 3, kLightRed);
    const QImage keys = uievents::shownClient(window->keyboard());
    for (int y = 0; y <= 7; ++y)
        for (int x = 0; x <= 5; ++x) EXPECT_EQ(keys.pixel(x, y), kRedRgb) << x << "," << y;
    EXPECT_EQ(keys.pixel(6, 3), kBlackRgb);  // separator over the box's last column
    EXPECT_EQ(keys.pixel(2, 8), kWhiteRgb);  // bottom half untouched
    EXPECT_EQ(keys.pixel(7, 10), kWhiteRgb);
}

TEST_F(MainWindowStartup, ButtonsAndOptionsReportWhatTheUserDid) {
    std::vector<std::string> log;
    QObject::connect(window.get(), &MainWindow::playClicked, [&] { log.push_back("play"); });
    QObject::connect(window.get(), &MainWindow::backClicked, [&] { log.push_back("back"); });
    QObject::connect(window.get(), &MainWindow::stopClicked, [&] { log.push_back("stop"); });
    QObject::connect(window.get(), &MainWindow::instrumentChosen, [&](int i) { log.push_back("instrument " + std::to_string(i)); });
    QObject::connect(window.get(), &MainWindow::soundSwitched, [&](bool on) { log.push_back(on ? "sound on" : "sound off"); });
    QObject::connect(window.get(), &MainWindow::speedEdited, [&](const QString& t) { log.push_back("speed " + t.toStdString()); });
    window->show();
    uievents::click(window->playButton());
    window->setStopButtonVisible(true);
    EXPECT_FALSE(control("STOPK").isHidden());
    uievents::click(window->stopButton());
    uievents::click(window->backButton());
    uievents::click(control("Option3"));
    uievents::click(control("Option9"));
    control<QLineEdit>("SPEED").selectAll();
    uievents::type(control("SPEED"), "7");
    EXPECT_EQ(log, (std::vector<std::string>{"play", "stop", "back", "instrument 3", "sound on", "speed 7"}));
    EXPECT_TRUE(window->soundOn());
    EXPECT_EQ(window->speedText(), "7");
    // the art tells the three buttons apart: grey back, teal play, red stop
    const QImage stop = uievents::shown(window->stopButton());
    EXPECT_GT(qRed(stop.pixel(16, 16)), 150);
    EXPECT_LT(qGreen(stop.pixel(16, 16)), 60);
    const QImage play = uievents::shown(window->playButton());
    EXPECT_EQ(qRed(play.pixel(16, 16)), 0);
    EXPECT_GT(qGreen(play.pixel(16, 16)), 90);
    const QImage back = uievents::shown(window->backButton());
    EXPECT_EQ(qRed(back.pixel(10, 16)), qBlue(back.pixel(10, 16)));
    EXPECT_LT(qRed(back.pixel(10, 16)), 128);
}

TEST_F(MainWindowStartup, WindowIconIsTheDesktopIconWithItsFiringCell) {
    // The installed SVG, drawn at the size a task bar asks for: its firing
    // cell (red) sits left of centre above the keys (white).
    const QImage icon = window->windowIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(QColor(icon.pixel(15, 12)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(icon.pixel(16, 26)), QColor(255, 255, 255));
}
