// How hard a pass works the synthesizer: renders one pass of a recording the
// way the live output does (buffer by buffer, messages applied at their
// times, through the limiter) and reports the voices sounding and the time
// each buffer took to synthesize against the buffer's own length (the
// thread's own processor time, so other programs' load does not count).
//   voice_load_probe FILE [SPEED_MS] [NOTES_PER_FRAME]
// The SoundFont is the window's ($CELLSONIFY_SOUNDFONT, then the system's);
// CELLSONIFY_AUDIO_BUFFER_MS picks the buffer (default as live).
#include "playback/PassSettings.h"
#include "soundfiles/PlaybackPass.h"
#include "model/DataFileLoader.h"
#include "playback/NoteOffSchedule.h"
#include "playback/PitchMapping.h"
#include "playback/VoiceTable.h"
#include "sound/FluidSynthOutput.h"
#include "sound/Instruments.h"
#include "sound/OutputLimiter.h"
#include "sound/SoundFontLocator.h"
#include "sound/SynthEngine.h"

#include <fluidsynth.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace cellsonify;

namespace {

double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return 1000.0 * static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: voice_load_probe FILE [SPEED_MS] [NOTES_PER_FRAME]\n");
        return 2;
    }
    const int speed = argc > 2 ? std::atoi(argv[2]) : 50;
    const int budget = argc > 3 ? std::atoi(argv[3]) : kDefaultNotesPerFrame;
    const CellModel model = LoadDataFile(argv[1]);
    const PitchMapping mapping = std::getenv("PROBE_SCALE") ? PitchMapping{PitchMode::Scale} : PitchMapping{};
    PassSettings settings;
    settings.setSpeedText(std::to_string(speed));
    settings.mapping = mapping;
    settings.notesPerFrame = budget;
    const PlaybackPass pass = playbackPass(model, settings);
    std::string error;
    auto engine = SynthEngine::create(&error);
    const SoundFontChoice font = chooseSoundFont("");
    if (!engine || font.path.empty() || !engine->loadSoundFont(font.path.string(), &error)) {
        std::fprintf(stderr, "no synthesizer: %s %s\n", error.c_str(), font.error.c_str());
        return 1;
    }
    if (const char* voices = std::getenv("PROBE_POLYPHONY")) fluid_synth_set_polyphony(engine->synth(), std::atoi(voices));
    const int frames = audioBufferMs() * SynthEngine::kSampleRate / 1000;
    const double bufferMs = 1000.0 * frames / SynthEngine::kSampleRate;
    std::vector<float> left(static_cast<std::size_t>(frames)), right(left.size());
    OutputLimiter limiter(SynthEngine::kSampleRate);
    std::vector<double> took;
    std::vector<int> voices;
    std::size_t next = 0;
    const int64_t total = (pass.lengthMs() + 2000) * SynthEngine::kSampleRate / 1000;
    for (int64_t at = 0; at < total; at += frames) {
        const double nowMs = 1000.0 * static_cast<double>(at) / SynthEngine::kSampleRate;
        while (next < pass.messages.size() && static_cast<double>(pass.messages[next].timeMs) <= nowMs)
            engine->apply(pass.messages[next++].message);
        const double start = threadMs();
        engine->render(left.data(), right.data(), frames);
        limiter.process(left.data(), right.data(), frames, 1);
        took.push_back(threadMs() - start);
        voices.push_back(engine->activeVoiceCount());
    }
    const auto quantile = [](std::vector<double> v, double q) {
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
    };
    std::vector<double> voiceCounts(voices.begin(), voices.end());
    std::printf("buffer %.1f ms  synthesis median %.2f ms  p99 %.2f ms  max %.2f ms  (%.0f%% of the buffer at p99)  "
                "voices median %.0f  p99 %.0f  max %.0f  polyphony %d  notes/frame <= %d\n",
                bufferMs, quantile(took, 0.5), quantile(took, 0.99), quantile(took, 1.0),
                100 * quantile(took, 0.99) / bufferMs, quantile(voiceCounts, 0.5), quantile(voiceCounts, 0.99),
                quantile(voiceCounts, 1.0), engine->polyphony(), pass.voicing.mostNotes);
    return 0;
}
