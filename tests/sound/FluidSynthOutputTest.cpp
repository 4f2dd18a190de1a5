// The default output: failing cleanly, and loading its SoundFont in the background.
#include "sound/AudioAnalysis.h"
#include "sound/ConsoleCapture.h"
#include "sound/SoundTestSupport.h"

#include "sound/FluidSynthOutput.h"
#include "sound/SoundFontLoadGate.h"
#include "sound/Instruments.h"
#include "sound/NotePlayer.h"
#include "sound/OfflineRender.h"
#include "sound/SoundFontLocator.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>

#include <cstdio>
#include <filesystem>
#include <future>
#include <optional>
#include <string>

using namespace cellsonify;
using soundtest::ScopedEnv;

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Sends what the window would send after a failed open: must change nothing.
void sendTheUsualMessages(FluidSynthOutput& output) {
    output.shortMessage(programChangeMessage(0));
    playNote(output, true, 1.0, 10, 60);
    sendInstrument(output, *findInstrument("Ice Rain"));
}

// A file with a consistent SoundFont header and nothing valid after it.
std::string writeHollowSoundFont(const testfiles::TempDir& dir) {
    std::string bytes("RIFF\x28\x00\x00\x00sfbkLIST", 16);
    bytes += std::string(32, '\x01');
    return dir.write("hollow.sf2", bytes).string();
}

}  // namespace

TEST(SoundFontLocator, ExplicitPathsAndTheSystemSearch) {
    testfiles::TempDir dir;
    EXPECT_EQ(checkSoundFontFile(dir.path() / "missing.sf2"), "not found");
    EXPECT_EQ(checkSoundFontFile(dir.write("junk.sf2", "this is not a SoundFont at all")),
              "not a SoundFont");
    EXPECT_EQ(checkSoundFontFile(dir.write("wave.sf2", std::string("RIFF\0\0\0\0WAVEfmt ", 16))),
              "not a SoundFont");
    EXPECT_EQ(checkSoundFontFile(dir.write("short.sf2", "RIFF")), "not a SoundFont");
    EXPECT_EQ(checkSoundFontFile(dir.path()), "is a folder");
    EXPECT_EQ(checkSoundFontFile(dir.write("cut.sf2", std::string("RIFF\x10\x27\x00\x00sfbkLIST", 16))),
              "truncated SoundFont (16 of 10008 bytes)");
    EXPECT_TRUE(checkSoundFontFile(writeHollowSoundFont(dir)).empty());

    const auto candidates = systemSoundFontCandidates();
    ASSERT_EQ(candidates.size(), 4u);
    EXPECT_EQ(candidates[0], "/usr/share/sounds/sf2/default-GM.sf2");
    EXPECT_EQ(candidates[1], "/usr/share/sounds/sf2/default-GM.sf3");
    EXPECT_EQ(candidates[2], "/usr/share/sounds/sf2/FluidR3_GM.sf2");
    EXPECT_EQ(candidates[3], "/usr/share/sounds/sf2/TimGM6mb.sf2");

    {
        ScopedEnv unset("CELLSONIFY_SOUNDFONT", std::nullopt);
        const SoundFontChoice found = chooseSoundFont();
        std::optional<std::filesystem::path> firstUsable;
        for (const auto& candidate : candidates) {
            if (checkSoundFontFile(candidate).empty()) {
                firstUsable = candidate;
                break;
            }
        }
        if (firstUsable) {
            EXPECT_EQ(found.path, *firstUsable);
            EXPECT_TRUE(found.error.empty());
        } else {
            EXPECT_TRUE(found.path.empty());
            EXPECT_TRUE(contains(found.error, "CELLSONIFY_SOUNDFONT"));
        }
    }
    {
        const std::string missing = (dir.path() / "nowhere.sf2").string();
        ScopedEnv set("CELLSONIFY_SOUNDFONT", missing);
        const SoundFontChoice chosen = chooseSoundFont();
        EXPECT_TRUE(chosen.path.empty()) << "an explicit path must not fall back to the search";
        EXPECT_TRUE(contains(chosen.error, missing));
        EXPECT_TRUE(contains(chosen.error, "CELLSONIFY_SOUNDFONT"));
        // An explicit request wins over the environment.
        const std::string hollow = writeHollowSoundFont(dir);
        EXPECT_EQ(chooseSoundFont(hollow).path, hollow);
    }
}

TEST(FluidSynthOutput, MissingOrJunkSoundFontFailsCleanly) {
    testfiles::TempDir dir;
    const std::string missing = (dir.path() / "missing.sf2").string();
    const std::string junk = dir.write("junk.sf2", "not a SoundFont, just text\n").string();
    for (const auto& [path, reason] : {std::pair{missing, std::string("not found")},
                                       std::pair{junk, std::string("not a SoundFont")}}) {
        ScopedEnv font("CELLSONIFY_SOUNDFONT", path);
        soundtest::ConsoleCapture console;
        FluidSynthOutput output;
        EXPECT_NE(output.open(), 0) << path;
        sendTheUsualMessages(output);
        EXPECT_TRUE(contains(output.lastError(), path)) << output.lastError();
        EXPECT_TRUE(contains(output.lastError(), reason)) << output.lastError();
        EXPECT_TRUE(contains(lastErrorOf(output), reason));
        EXPECT_EQ(output.engine(), nullptr);
        EXPECT_FALSE(output.waitUntilLoaded());
        EXPECT_EQ(console.text(), "");
    }
}

TEST(FluidSynthOutput, NoAudioDeviceFailsCleanlyAndQuietly) {
    const std::string font = soundtest::testSoundFont();
    if (font.empty()) {
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    }
    {
        ScopedEnv disabled("CELLSONIFY_NO_AUDIO_DEVICE", "1");
        FluidSynthOutput output({font, true});
        EXPECT_NE(output.open(), 0);
        EXPECT_TRUE(contains(output.lastError(), "CELLSONIFY_NO_AUDIO_DEVICE")) << output.lastError();
        sendTheUsualMessages(output);
    }
    // The real drivers: in a container without a sound server or /dev/snd both
    // fail, and must say so in one line without printing anything.
    ScopedEnv enabled("CELLSONIFY_NO_AUDIO_DEVICE", std::nullopt);
    soundtest::ConsoleCapture console;
    FluidSynthOutput output({font, true});
    const int result = output.open();
    sendTheUsualMessages(output);
    if (result != 0) {
        EXPECT_TRUE(contains(output.lastError(), "no audio device")) << output.lastError();
        EXPECT_TRUE(contains(output.lastError(), "pulseaudio")) << output.lastError();
        EXPECT_TRUE(contains(output.lastError(), "alsa")) << output.lastError();
        EXPECT_FALSE(contains(output.lastError(), "jack")) << output.lastError();
        EXPECT_TRUE(output.audioDriverName().empty());
        EXPECT_EQ(output.engine(), nullptr);
    } else {
        EXPECT_TRUE(output.audioDriverName() == "pulseaudio" || output.audioDriverName() == "alsa");
        EXPECT_TRUE(output.waitUntilLoaded()) << output.lastError();
        EXPECT_TRUE(output.lastError().empty()) << output.lastError();
    }
    EXPECT_EQ(console.text(), "");
}

TEST(FluidSynthOutput, WhatIsSentDuringLoadingPlaysOnceReady) {
    const std::string font = soundtest::testSoundFont();
    if (font.empty()) {
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    }
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    FluidSynthOutput output({font, false, [released] { released.wait(); }});
    ASSERT_EQ(output.open(), 0) << output.lastError();
    EXPECT_EQ(output.soundFontPath(), font);
    // The load is held, so all of this arrives while it is pending.
    output.shortMessage(programChangeMessage(0));
    sendInstrument(output, *findInstrument("Celesta"));
    playNote(output, true, 0.0, 10, 69);
    sendInstrument(output, *findInstrument("Ice Rain"));
    release.set_value();
    ASSERT_TRUE(output.waitUntilLoaded()) << output.lastError();
    ASSERT_NE(output.engine(), nullptr);
    EXPECT_EQ(output.engine()->programOnChannel(0), 96) << "the last program change wins";

    // The held note sounds, as Ice Rain does on a synthesizer told directly.
    const auto heard = audio::monoMix(renderMessages(*output.engine(), {}, framesForSeconds(0.5)));
    auto reference = soundtest::loadedEngine();
    ASSERT_NE(reference, nullptr);
    const std::vector<TimedMessage> direct{{0, programChangeMessage(96)}, {0, noteOnMessage(69, 127)}};
    const auto expected = audio::monoMix(renderMessages(*reference, direct, framesForSeconds(0.5)));
    EXPECT_GT(audio::rms(heard), 1e-4);
    EXPECT_LT(audio::spectralDifference(audio::magnitudeSpectrum(heard, 16384),
                                        audio::magnitudeSpectrum(expected, 16384)),
              1e-6);

    // Once loaded, messages go straight through.
    sendInstrument(output, *findInstrument("Brightness"));
    EXPECT_EQ(output.engine()->programOnChannel(0), 100);
    EXPECT_TRUE(output.lastError().empty());
}

TEST(FluidSynthOutput, AHeldLoadGateKeepsTheLoadWaitingAndTheNotesSentMeanwhilePlayOnRelease) {
    const std::string font = soundtest::testSoundFont();
    if (font.empty()) {
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    }
    soundFontLoadGate::hold();
    std::atomic<bool> began{false};
    FluidSynthOutput output({font, false, [&began] { began = true; }});
    ASSERT_EQ(output.open(), 0) << output.lastError();
    sendInstrument(output, *findInstrument("Celesta"));
    playNote(output, true, 0.0, 10, 69);
    EXPECT_FALSE(began.load()) << "the load began while the window was still opening";
    soundFontLoadGate::release();
    ASSERT_TRUE(output.waitUntilLoaded()) << output.lastError();
    EXPECT_TRUE(began.load());
    EXPECT_EQ(output.engine()->programOnChannel(0), findInstrument("Celesta")->program);
    EXPECT_GT(audio::rms(audio::monoMix(renderMessages(*output.engine(), {}, framesForSeconds(0.3)))), 1e-4);
}

TEST(FluidSynthOutput, SoundFontThatFailsToLoadIsReportedLater) {
    testfiles::TempDir dir;
    const std::string hollow = writeHollowSoundFont(dir);
    // FluidSynth hands a file its own loader rejects to libinstpatch, which
    // complains through GLib; keep that out of the test log.
    soundtest::ConsoleCapture console;
    FluidSynthOutput output({hollow, false});
    // The header looks right, so open() cannot know yet.
    ASSERT_EQ(output.open(), 0) << output.lastError();
    sendTheUsualMessages(output);
    EXPECT_FALSE(output.waitUntilLoaded());
    EXPECT_TRUE(contains(output.lastError(), "cannot load SoundFont")) << output.lastError();
    EXPECT_TRUE(contains(output.lastError(), hollow)) << output.lastError();
    std::printf("background load failure reads: %s\n", output.lastError().c_str());
    sendTheUsualMessages(output);
}

TEST(FluidSynthOutput, DestroyedWhileStillLoading) {
    const std::string font = soundtest::testSoundFont();
    if (font.empty()) {
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    }
    for (int round = 0; round < 3; ++round) {
        FluidSynthOutput output({font, false});
        ASSERT_EQ(output.open(), 0) << output.lastError();
        sendTheUsualMessages(output);
    }
    FluidSynthOutput neverOpened;
    neverOpened.shortMessage(programChangeMessage(0));
    EXPECT_EQ(neverOpened.engine(), nullptr);
    EXPECT_FALSE(neverOpened.waitUntilLoaded());
}
