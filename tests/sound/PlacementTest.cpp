// Where a channel's sound is heard: placed after synthesis, so every preset
// of the default General MIDI font moves between the loudspeakers alike.
#include "sound/AudioAnalysis.h"

#include "sound/ChannelPlacement.h"
#include "sound/Instruments.h"
#include "sound/OfflineRender.h"
#include "sound/SoundFontLocator.h"
#include "sound/SynthEngine.h"

#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace cellsonify;

namespace {

double decibels(double ratio) { return 20.0 * std::log10(ratio); }

TEST(ChannelPlacement, TheCentrePassesTheBusUnchanged) {
    ChannelPlacement placement;
    const std::vector<float> left{0.5f, -0.25f, 0.0f}, right{0.1f, 0.25f, -0.5f};
    std::vector<float> outLeft(3, 0.0f), outRight(3, 0.0f);
    placement.mixBus(2, left.data(), right.data(), outLeft.data(), outRight.data(), 3);
    EXPECT_EQ(outLeft, left);
    EXPECT_EQ(outRight, right);
}

// Half a second of a bus whose sides share `shared` of their sound (1: the
// same signal both sides, 0: unrelated noise), placed hard left.
struct PlacedBus {
    double inPower = 0, leftPower = 0, rightPower = 0;
};
PlacedBus placeHardLeft(double shared) {
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.1f);
    const int frames = SynthEngine::kSampleRate / 2;
    std::vector<float> left(frames), right(frames);
    for (int k = 0; k < frames; ++k) {
        const float common = noise(random);
        left[k] = static_cast<float>(shared * common + (1 - shared) * noise(random));
        right[k] = static_cast<float>(shared * common + (1 - shared) * noise(random));
    }
    ChannelPlacement placement;
    placement.setPan(5, 0);
    std::vector<float> outLeft(frames, 0.0f), outRight(frames, 0.0f);
    placement.mixBus(5, left.data(), right.data(), outLeft.data(), outRight.data(), frames);
    PlacedBus bus;
    for (int k = frames / 2; k < frames; ++k) {  // past the first measures
        bus.inPower += left[k] * left[k] + right[k] * right[k];
        bus.leftPower += outLeft[k] * outLeft[k];
        bus.rightPower += outRight[k] * outRight[k];
    }
    return bus;
}

TEST(ChannelPlacement, AHardLeftBusIsHeardOnlyLeftAsLoudAsItWasWhateverItsStereo) {
    for (double shared : {1.0, 0.5, 0.0}) {
        const PlacedBus bus = placeHardLeft(shared);
        EXPECT_LT(bus.rightPower, 1e-9 * bus.leftPower) << shared;
        EXPECT_NEAR(10 * std::log10(bus.leftPower / bus.inPower), 0.0, 0.5) << shared;
    }
}

TEST(ChannelPlacement, AMonoSoundKeepsItsPowerAcrossTheWholeRange) {
    for (int pan = 0; pan <= 127; ++pan) {
        const ChannelPlacement::Gains g = ChannelPlacement::monoGains(pan);
        EXPECT_NEAR(g.left * g.left + g.right * g.right, 2.0f, 1e-5f) << pan;
        EXPECT_GE(g.left, -1e-6f);
        EXPECT_GE(g.right, -1e-6f);
        if (pan > 0) {
            EXPECT_LE(g.left, ChannelPlacement::monoGains(pan - 1).left) << pan;
        }
    }
}

// The system's default General MIDI font, whose stereo pianos defeat a pan
// controller applied inside the synthesizer.
class PlacementWithDefaultFont : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* path : {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/default-GM.sf2"})
            if (checkSoundFontFile(path).empty()) font = path;
        if (font.empty()) GTEST_SKIP() << "FluidR3_GM.sf2 is not installed";
    }

    struct Levels {
        double left;
        double right;
        double power() const { return left * left + right * right; }
    };

    // Channel levels of a second of middle C on `program`, channel 3 placed at `pan`.
    Levels render(int program, int pan) const {
        auto engine = SynthEngine::create();
        EXPECT_NE(engine, nullptr);
        if (!engine) return {};
        fluid_settings_setint(engine->settings(), "synth.dynamic-sample-loading", 1);
        EXPECT_TRUE(engine->loadSoundFont(font));
        const std::vector<TimedMessage> messages{{0, programChangeMessage(3, program)},
                                                 {0, panMessage(3, pan)},
                                                 {0, noteOnMessage(3, 60, 127)}};
        const std::vector<float> sound = renderMessages(*engine, messages, framesForSeconds(1.0));
        std::vector<float> left, right;
        for (std::size_t i = 0; i < sound.size(); i += 2) {
            left.push_back(sound[i]);
            right.push_back(sound[i + 1]);
        }
        return {audio::rms(left), audio::rms(right)};
    }

    std::string font;
};

TEST_F(PlacementWithDefaultFont, EveryInstrumentIsHeardAtEitherEndWithoutAJumpInLevel) {
    for (const Instrument& instrument : kInstruments) {
        const Levels left = render(instrument.program, 0);
        const Levels right = render(instrument.program, 127);
        const Levels centre = render(instrument.program, ChannelPlacement::kCentre);
        ASSERT_GT(centre.left, 1e-4) << instrument.caption << " sounds at all";
        EXPECT_GE(decibels(left.left / left.right), 15.0) << instrument.caption;
        EXPECT_GE(decibels(right.right / right.left), 15.0) << instrument.caption;
        EXPECT_LT(std::fabs(10.0 * std::log10(left.power() / centre.power())), 3.0) << instrument.caption;
        EXPECT_LT(std::fabs(10.0 * std::log10(right.power() / centre.power())), 3.0) << instrument.caption;
    }
}

TEST_F(PlacementWithDefaultFont, TheMiddlePanOfPositionModeSoundsNearlyCentred) {
    // Position mode's channel just right of the middle has pan 73.
    for (const Instrument& instrument : kInstruments) {
        const Levels middle = render(instrument.program, 73);
        EXPECT_LE(std::fabs(decibels(middle.left / middle.right)), 2.0) << instrument.caption;
    }
}

}  // namespace
