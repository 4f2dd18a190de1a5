// How far apart the channels are when a cell is placed at either end, for
// docs/benchmarks.md: middle C of each instrument at pans 0, 64 (unplaced) and 127,
// rendered offline through the synthesizer as the export renders.
//   placement_probe [SOUNDFONT...]     (default: FluidR3 and TimGM6mb)
#include "sound/Instruments.h"
#include "sound/OfflineRender.h"
#include "sound/SynthEngine.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace cellsonify;

namespace {

struct Levels {
    double left = 0;
    double right = 0;
};

Levels render(const std::string& font, int program, int pan) {
    auto engine = SynthEngine::create();
    engine->loadSoundFont(font);
    const std::vector<TimedMessage> messages{
        {0, programChangeMessage(3, program)}, {0, panMessage(3, pan)}, {0, noteOnMessage(3, 60, 127)}};
    const std::vector<float> sound = renderMessages(*engine, messages, framesForSeconds(1.0));
    double l = 0, r = 0;
    for (std::size_t i = 0; i < sound.size(); i += 2) l += sound[i] * sound[i], r += sound[i + 1] * sound[i + 1];
    const double n = static_cast<double>(sound.size() / 2);
    return {std::sqrt(l / n), std::sqrt(r / n)};
}

double db(double ratio) { return 20 * std::log10(ratio); }

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> fonts(argv + 1, argv + argc);
    if (fonts.empty()) fonts = {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"};
    std::printf("| instrument | SoundFont | far left: L - R | far right: R - L | pan 73: L - R | level at the ends against the centre |\n|---|---|---|---|---|---|\n");
    for (const Instrument& instrument : kInstruments)
        for (const std::string& font : fonts) {
            const Levels left = render(font, instrument.program, 0), right = render(font, instrument.program, 127);
            const Levels middle = render(font, instrument.program, 73), centre = render(font, instrument.program, 64);
            const auto power = [](Levels v) { return v.left * v.left + v.right * v.right; };
            std::printf("| %s | %s | %.1f dB | %.1f dB | %.1f dB | %+.1f / %+.1f dB |\n", std::string(instrument.caption).c_str(),
                        font.substr(font.rfind('/') + 1).c_str(), db(left.left / left.right), db(right.right / right.left),
                        db(middle.left / middle.right), 10 * std::log10(power(left) / power(centre)),
                        10 * std::log10(power(right) / power(centre)));
        }
}
