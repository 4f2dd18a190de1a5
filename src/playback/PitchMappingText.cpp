#include "playback/PitchMappingText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace cellsonify {

namespace {

constexpr std::array<std::string_view, 3> kModeNames{"rows", "scale", "position"};
constexpr std::array<std::string_view, 6> kScaleNames{"chromatic",        "major",           "minor",
                                                      "major-pentatonic", "minor-pentatonic", "whole-tone"};
constexpr std::array<std::string_view, 12> kRootNames{"C",  "C#", "D",  "D#", "E",  "F",
                                                      "F#", "G",  "G#", "A",  "A#", "B"};

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

template <std::size_t N>
int indexOfName(const std::array<std::string_view, N>& names, std::string_view text) {
    const std::string want = lowered(text);
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == want) return static_cast<int>(i);
    return -1;
}

// A note letter with an optional accidental at the front of some text.
struct Spelling {
    int letterClass = -1;  // pitch class of the letter; -1 when there is none
    int accidental = 0;    // +1 for '#', -1 for 'b'
    std::size_t used = 0;  // characters read

    int pitchClass() const { return (letterClass + accidental + 12) % 12; }
};

Spelling leadingSpelling(std::string_view text) {
    constexpr int kLetterClass[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    Spelling s;
    if (text.empty()) return s;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') return s;
    s.letterClass = kLetterClass[letter - 'A'];
    s.used = 1;
    if (text.size() > 1 && (text[1] == '#' || text[1] == 'b')) {
        s.accidental = text[1] == '#' ? 1 : -1;
        s.used = 2;
    }
    return s;
}

}  // namespace

PitchMode parsePitchMode(std::string_view text) {
    const int i = indexOfName(kModeNames, text);
    if (i < 0) throw SoundMappingError("pitch mapping " + quoted(text) + ": expected rows, scale or position");
    return static_cast<PitchMode>(i);
}

std::string_view pitchModeName(PitchMode mode) { return kModeNames[static_cast<std::size_t>(mode)]; }

ScaleKind parseScaleKind(std::string_view text) {
    const int i = indexOfName(kScaleNames, text);
    if (i < 0)
        throw SoundMappingError("scale " + quoted(text) +
                                ": expected chromatic, major, minor, major-pentatonic, minor-pentatonic or whole-tone");
    return static_cast<ScaleKind>(i);
}

std::string_view scaleName(ScaleKind scale) { return kScaleNames[static_cast<std::size_t>(scale)]; }

int parseRoot(std::string_view text) {
    const Spelling s = leadingSpelling(text);
    if (s.letterClass < 0 || s.used != text.size())
        throw SoundMappingError("root " + quoted(text) + ": expected a note letter A..G with an optional # or b");
    return s.pitchClass();
}

std::string_view rootName(int pitchClass) { return kRootNames[static_cast<std::size_t>(((pitchClass % 12) + 12) % 12)]; }

int parseNote(std::string_view text) {
    const std::string expected = ": expected a MIDI note 0..127 or a note name such as C4 (= 60) or F#2";
    int note = 0;
    const char* end = text.data() + text.size();
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0]))) {
        const auto [at, error] = std::from_chars(text.data(), end, note);
        if (error != std::errc() || at != end) throw SoundMappingError("note " + quoted(text) + expected);
    } else {
        const Spelling s = leadingSpelling(text);
        int octave = 0;
        const auto [at, error] = std::from_chars(text.data() + s.used, end, octave);
        if (s.letterClass < 0 || error != std::errc() || at != end || octave < -1 || octave > 9)
            throw SoundMappingError("note " + quoted(text) + expected);
        // The letter fixes the octave: Cb4 is B3 and B#3 is C4.
        note = 12 * (octave + 1) + s.letterClass + s.accidental;
    }
    if (note < 0 || note > 127) throw SoundMappingError("note " + quoted(text) + expected);
    return note;
}

std::string noteName(int note) {
    return std::string(rootName(note % 12)) + std::to_string(note / 12 - 1);
}

std::pair<int, int> parseRange(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        throw SoundMappingError("range " + quoted(text) + ": expected LOW:HIGH, such as C2:C7 or 36:96");
    const int low = parseNote(text.substr(0, colon));
    const int high = parseNote(text.substr(colon + 1));
    if (low > high) throw SoundMappingError("range " + quoted(text) + ": expected the low note first");
    return {low, high};
}

}  // namespace cellsonify
