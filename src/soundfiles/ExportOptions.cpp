#include "soundfiles/ExportOptions.h"

#include "playback/SpeedText.h"
#include "sound/Instruments.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace cellsonify {

namespace {

bool endsWithIgnoringCase(const std::string& text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

ExportFormat exportFormatOf(const std::string& path) {
    if (endsWithIgnoringCase(path, ".mid")) return ExportFormat::Midi;
    if (endsWithIgnoringCase(path, ".wav")) return ExportFormat::Wav;
    if (endsWithIgnoringCase(path, ".mp4")) return ExportFormat::Mp4;
    if (endsWithIgnoringCase(path, ".png")) return ExportFormat::Png;
    throw ExportError("cannot export to \"" + path +
                      "\": the name must end in .mid (MIDI file), .wav (audio), .mp4 (movie) or .png (picture)");
}

int exportIntervalOf(const std::string& speedText) {
    const std::optional<int> ms = timerIntervalFor(speedText);
    // 0 is a valid timer setting but means stopped: playback would never tick.
    if (!ms || *ms <= 0)
        throw ExportError("speed \"" + speedText +
                          "\" does not play: give the milliseconds per frame, a whole number from 1 to 2147483647");
    return *ms;
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

}  // namespace cellsonify
