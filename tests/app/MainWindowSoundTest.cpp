#include "AppTestSupport.h"

#include "playback/PlaybackController.h"
#include "drawing/Palette.h"

#include <QRadioButton>

using namespace cellsonify;
using namespace apptest;

namespace {

std::vector<std::array<uint8_t, 3>> allMessages(const RecordingOutput& midi) {
    std::vector<std::array<uint8_t, 3>> out;
    for (std::size_t i = 0; i < midi.messages().size(); ++i) out.push_back(midi.bytes(i));
    return out;
}

void choose(MainWindow& window, const char* option) {
    auto* button = window.findChild<QRadioButton*>(QString::fromLatin1(option));
    ASSERT_NE(button, nullptr) << option;
    uievents::click(*button, {5, 5});
}

}  // namespace

struct MainWindowSound : WindowFixture {
    void SetUp() override {
        WindowFixture::SetUp();
        // Cell 1 fires in frames 1 and 3, cell 2 in frame 1; three frames in all.
        files.models["/data/two.txt"] = viewstest::makeModel(3, {{1, 3}, {1}});
        openNow(*window, "/data/two.txt");
        midi.clear();
    }
    void tick() { window->playback().tick(); }
};

TEST_F(MainWindowSound, InstrumentsSendTheirProgramAndAllButBrightnessRepaint) {
    // The frame cursors are red overlays of their own; count what is drawn on top.
    const int cursors = viewstest::countColour(uievents::shownClient(window->raster()), kRedRgb);
    window->raster().canvas().line(1, 0, 1, 2, kLightRed);
    const int redBefore = viewstest::countColour(uievents::shownClient(window->raster()), kRedRgb);
    ASSERT_GT(redBefore, cursors);

    choose(*window, "Option6");  // Brightness: program 100, the red mark stays
    EXPECT_EQ(allMessages(midi), (std::vector<std::array<uint8_t, 3>>{{0xC0, 0x64, 0x00}}));
    EXPECT_EQ(viewstest::countColour(uievents::shownClient(window->raster()), kRedRgb), redBefore);

    choose(*window, "Option7");  // Tinkle Bell: program 112, then a full repaint
    EXPECT_EQ(midi.bytes(1), (std::array<uint8_t, 3>{0xC0, 0x70, 0x00}));
    EXPECT_EQ(viewstest::countColour(uievents::shownClient(window->raster()), kRedRgb), cursors);

    choose(*window, "Option2");
    choose(*window, "Option3");
    EXPECT_EQ(midi.bytes(2)[1], 9);   // Celesta
    EXPECT_EQ(midi.bytes(3)[1], 11);  // Music Box
    // All of it with "Sound OFF" selected.
    EXPECT_FALSE(window->soundOn());
}

TEST_F(MainWindowSound, NotesFollowTheSoundSwitchAndGoSilentPastTheLastFrame) {
    tick();  // frame 1 with sound off: painted, not sounded
    EXPECT_TRUE(midi.messages().empty());
    EXPECT_GT(viewstest::countColour(uievents::shownClient(window->raster()), kRedRgb), 20);

    choose(*window, "Option9");  // Sound ON
    ASSERT_TRUE(window->soundOn());
    EXPECT_TRUE(midi.messages().empty());  // switching sends nothing
    window->playback().back();
    tick();  // frame 1: cells 1 and 2, lowest first; notes 63 and 64 of two cells
    EXPECT_EQ(allMessages(midi),
              (std::vector<std::array<uint8_t, 3>>{{0x90, 63, 0x7F}, {0x90, 64, 0x7F}}));
    midi.clear();
    tick();  // frame 2: nobody
    tick();  // frame 3 = the last: past FrameCount - 1, so velocity 0, then the restart
    EXPECT_EQ(allMessages(midi), (std::vector<std::array<uint8_t, 3>>{{0x90, 63, 0x00}}));
    EXPECT_EQ(window->model().CurrentFrame, 0);

    midi.clear();
    choose(*window, "Option8");  // Sound OFF again
    tick();
    EXPECT_TRUE(midi.messages().empty());
}

TEST(MainWindowSoundStartup, WithoutAnOutputItSaysSoOnceAndWorksSilently) {
    RecordedMessages messages;
    RecordingOutput broken(1);  // the device will not open
    ScriptedChooser chooser;
    MainWindowServices s;
    s.midi = &broken;
    s.messages = &messages;
    s.chooser = &chooser;
    MainWindow window(s);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], (std::pair<std::string, std::string>{"Form1", "Sound mode is not available"}));
    EXPECT_EQ(broken.openCount(), 1);
    EXPECT_TRUE(broken.messages().empty());  // no program change after a failed open
    // The keyboard is drawn all the same.
    EXPECT_GT(viewstest::countColour(uievents::shownClient(window.keyboard()), kBlackRgb), 100);

    // Later sends are harmless: an instrument and a sounding tick.
    choose(window, "Option5");
    choose(window, "Option9");
    window.playback().replaceRecording(viewstest::makeModel(2, {{1}}));
    window.playback().tick();
    EXPECT_TRUE(broken.messages().empty());
    EXPECT_EQ(broken.ignoredCount(), 2);
    EXPECT_EQ(messages.shown.size(), 1u);
}
