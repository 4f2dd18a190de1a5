// Peak levels of the synthesizer's output, before and after the limiter, for
// docs/benchmarks.md: a single note of each instrument and a 100-note burst.
//   level_probe [SOUNDFONT]     (default: the system's General MIDI font)
#include "sound/Instruments.h"
#include "sound/NotePlayer.h"
#include "sound/OfflineRender.h"
#include "sound/OutputLimiter.h"
#include "sound/SoundFontLocator.h"
#include "sound/SynthEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace cellsonify;

namespace {

double dbfs(const std::vector<float>& samples) {
    float peak = 0;
    for (float s : samples) peak = std::max(peak, std::fabs(s));
    return 20 * std::log10(std::max(peak, 1e-9f));
}

// 4 s of sound after `notes` keys start together on `program`; raw and limited.
std::pair<double, double> peaks(const std::string& font, int program, const std::vector<int>& keys) {
    auto engine = SynthEngine::create();
    engine->loadSoundFont(font);
    std::vector<TimedMessage> messages{{0, programChangeMessage(program)}};
    for (int key : keys) messages.push_back({0, noteOnMessage(key, 127)});
    std::vector<float> sound = renderMessages(*engine, messages, framesForSeconds(4));
    const double raw = dbfs(sound);
    OutputLimiter limiter(SynthEngine::kSampleRate);
    limiter.process(sound.data(), sound.data() + 1, static_cast<int>(sound.size() / 2), 2);
    return {raw, dbfs(sound)};
}

}  // namespace

int main(int argc, char** argv) {
    const std::string font = argc > 1 ? argv[1] : chooseSoundFont().path.string();
    std::printf("SoundFont %s, gain %.3f, ceiling %.1f dBFS\n", font.c_str(), SynthEngine::kGain,
                20 * std::log10(OutputLimiter::kCeiling));
    std::vector<int> burst;
    for (int key = 14; key < 114; ++key) burst.push_back(key);
    for (const Instrument& instrument : kInstruments) {
        const auto [single, singleLimited] = peaks(font, instrument.program, {60});
        const auto [loud, loudLimited] = peaks(font, instrument.program, burst);
        std::printf("%-12s single note (key 60) %6.1f dBFS -> %6.1f limited;  100 notes %6.1f dBFS -> %6.1f limited\n",
                    std::string(instrument.caption).c_str(), single, singleLimited, loud, loudLimited);
    }
    return 0;
}
