#pragma once

#include "playback/PitchMapping.h"

#include <string>
#include <string_view>
#include <utility>

namespace cellsonify {

// The words a user types for a mapping (command line, settings) and back.
// Parsers ignore case and throw SoundMappingError naming the text and what
// was expected.

// "rows", "scale" or "position".
PitchMode parsePitchMode(std::string_view text);
std::string_view pitchModeName(PitchMode mode);

// "chromatic", "major", "minor" (natural minor), "major-pentatonic",
// "minor-pentatonic" or "whole-tone".
ScaleKind parseScaleKind(std::string_view text);
std::string_view scaleName(ScaleKind scale);

// A letter A..G with an optional '#' or 'b' ("C", "F#", "Db", "Cb" = B), as a
// pitch class 0..11 with C = 0.
int parseRoot(std::string_view text);
// The sharp spelling of pitch class 0..11: "C", "C#", ... "B".
std::string_view rootName(int pitchClass);

// A MIDI note 0..127 as its number ("60") or its name with C4 = 60 ("C4",
// "F#2", "Bb-1", "G9").
int parseNote(std::string_view text);
// The sharp name of MIDI note 0..127 with C4 = 60: 61 -> "C#4", 0 -> "C-1".
std::string noteName(int note);

// "LOW:HIGH", each end as parseNote reads it, low not above high
// ("C2:C7" -> {36, 96}, "40:80").
std::pair<int, int> parseRange(std::string_view text);

}  // namespace cellsonify
