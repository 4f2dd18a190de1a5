// Plays a recording's pass live through the window's synthesizer output, each
// message at its time on the clock, looping until SECONDS have passed: the
// window's sound without the window, for recording with with-audio.sh and
// counting dropouts with count_silences.py.
//   live_pass_probe FILE [SPEED_MS] [SECONDS] [NOTES_PER_FRAME]
// PROBE_SCALE=1 plays the scale mapping (every cell sounds) instead of rows.
#include "playback/PassSettings.h"
#include "soundfiles/PlaybackPass.h"
#include "model/DataFileLoader.h"
#include "playback/NoteOffSchedule.h"
#include "playback/PitchMapping.h"
#include "playback/VoiceTable.h"
#include "sound/FluidSynthOutput.h"
#include "sound/Instruments.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

using namespace cellsonify;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: live_pass_probe FILE [SPEED_MS] [SECONDS] [NOTES_PER_FRAME]\n");
        return 2;
    }
    const int speed = argc > 2 ? std::atoi(argv[2]) : 50;
    const double seconds = argc > 3 ? std::atof(argv[3]) : 60;
    const int budget = argc > 4 ? std::atoi(argv[4]) : kDefaultNotesPerFrame;
    const CellModel model = LoadDataFile(argv[1]);
    const PitchMapping mapping = std::getenv("PROBE_SCALE") ? PitchMapping{PitchMode::Scale} : PitchMapping{};
    PassSettings settings;
    settings.setSpeedText(std::to_string(speed));
    settings.mapping = mapping;
    settings.notesPerFrame = budget;
    const PlaybackPass pass = playbackPass(model, settings);
    FluidSynthOutput output;
    if (output.open() != 0 || !output.waitUntilLoaded()) {
        std::fprintf(stderr, "no sound: %s\n", output.lastError().c_str());
        return 1;
    }
    const Clock::time_point start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (Clock::time_point passStart = start; Clock::now() < end;) {
        for (const MidiFileEvent& e : pass.messages) {
            const auto at = passStart + std::chrono::milliseconds(e.timeMs);
            if (at >= end) break;
            std::this_thread::sleep_until(at);
            output.shortMessage(e.message);
        }
        passStart += std::chrono::milliseconds(pass.lengthMs());
    }
    std::this_thread::sleep_until(end);
    std::printf("played %.0f s, at most %d notes a frame\n", seconds, pass.voicing.mostNotes);
    return 0;
}
