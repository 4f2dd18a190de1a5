#include "soundfiles/ExportSettings.h"

#include "sound/Instruments.h"

namespace cellsonify {

void refuseSpeedThatNeverPlays(const PassSettings& pass) {
    // 0 is a valid timer setting but means stopped: playback would never tick.
    if (pass.intervalMs <= 0)
        throw ExportError("speed \"" + pass.speedText +
                          "\" does not play: give the milliseconds per frame, a whole number from 1 to 2147483647");
}

const Instrument& exportInstrumentOf(const std::string& name) {
    if (const Instrument* found = findInstrument(std::string_view(name))) return *found;
    std::string choices;
    for (const Instrument& i : kInstruments) {
        if (!choices.empty()) choices += ", ";
        choices += std::string(i.caption) + " (" + std::to_string(i.program) + ")";
    }
    throw ExportError("unknown instrument \"" + name + "\": choose one of " + choices);
}

std::optional<PictureLayout> parsePictureLayout(std::string_view name) {
    if (name == "window") return PictureLayout::Window;
    if (name == "figure") return PictureLayout::Figure;
    return std::nullopt;
}

}  // namespace cellsonify
