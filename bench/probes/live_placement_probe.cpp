// Plays middle C of each instrument placed hard left, then hard right, through
// the live output (FluidSynthOutput on the sound card), for a recording of
// what is heard: run it under /work/shared/tools/with-audio.sh and measure
// the recording with bench/probes/channel_levels.py.
//   live_placement_probe     (SoundFont: $CELLSONIFY_SOUNDFONT or the system's)
#include "sound/FluidSynthOutput.h"
#include "sound/Instruments.h"

#include <chrono>
#include <cstdio>
#include <thread>

using namespace cellsonify;

int main() {
    FluidSynthOutput output;
    if (output.open() != 0 || !output.waitUntilLoaded()) {
        std::fprintf(stderr, "no live sound: %s\n", output.lastError().c_str());
        return 1;
    }
    std::printf("SoundFont %s, driver %s\n", output.soundFontPath().c_str(), output.audioDriverName().c_str());
    constexpr int kChannel = 3;
    const auto wait = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    wait(500);
    for (const Instrument& instrument : kInstruments) {
        output.shortMessage(programChangeMessage(kChannel, instrument.program));
        for (int pan : {0, 127}) {
            output.shortMessage(panMessage(kChannel, pan));
            output.shortMessage(noteOnMessage(kChannel, 60, 127));
            wait(800);
            output.shortMessage(noteOffMessage(kChannel, 60));
            output.shortMessage({0xB0 | kChannel, 120, 0});  // all sound off: a clean gap between notes
            wait(600);
        }
    }
    return 0;
}
