#include "playback/PitchMapping.h"

#include "playback/PitchMappingText.h"

#include <string>

namespace cellsonify {

const std::vector<int>& scaleSteps(ScaleKind scale) {
    static const std::vector<int> kChromatic{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    static const std::vector<int> kMajor{0, 2, 4, 5, 7, 9, 11};
    static const std::vector<int> kNaturalMinor{0, 2, 3, 5, 7, 8, 10};
    static const std::vector<int> kMajorPentatonic{0, 2, 4, 7, 9};
    static const std::vector<int> kMinorPentatonic{0, 3, 5, 7, 10};
    static const std::vector<int> kWholeTone{0, 2, 4, 6, 8, 10};
    switch (scale) {
    case ScaleKind::Chromatic: return kChromatic;
    case ScaleKind::Major: return kMajor;
    case ScaleKind::NaturalMinor: return kNaturalMinor;
    case ScaleKind::MajorPentatonic: return kMajorPentatonic;
    case ScaleKind::MinorPentatonic: return kMinorPentatonic;
    case ScaleKind::WholeTone: return kWholeTone;
    }
    return kChromatic;
}

std::vector<int> scaleNotesOf(const PitchMapping& mapping) {
    bool inScale[12] = {};
    for (int step : scaleSteps(mapping.scale)) inScale[(mapping.root + step) % 12] = true;
    std::vector<int> notes;
    for (int note = mapping.low; note <= mapping.high; ++note)
        if (note >= 0 && inScale[note % 12]) notes.push_back(note);
    return notes;
}

void checkPitchMapping(const PitchMapping& mapping) {
    if (mapping.mode == PitchMode::Rows) return;
    if (mapping.root < 0 || mapping.root > 11)
        throw SoundMappingError("root " + std::to_string(mapping.root) + ": expected a pitch class 0..11");
    const std::string range = std::to_string(mapping.low) + ":" + std::to_string(mapping.high);
    if (mapping.low < 0 || mapping.high > 127)
        throw SoundMappingError("range " + range + ": expected MIDI notes 0..127");
    if (mapping.low > mapping.high)
        throw SoundMappingError("range " + range + ": expected the low note first");
    if (scaleNotesOf(mapping).empty())
        throw SoundMappingError("range " + noteName(mapping.low) + ":" + noteName(mapping.high) + " holds no note of " +
                                std::string(rootName(mapping.root)) + " " + std::string(scaleName(mapping.scale)));
}

}  // namespace cellsonify
