#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace cellsonify {

// The system's General MIDI SoundFonts, most preferred first.
std::vector<std::filesystem::path> systemSoundFontCandidates();

// Empty when `path` starts like a SoundFont (a RIFF file of form "sfbk", which
// covers .sf2 and .sf3) and is as long as its header says; otherwise a short
// reason ("not found", "not a SoundFont", "truncated SoundFont (...)"). What
// is not a regular file (a FIFO, a device) is refused without being opened.
std::string checkSoundFontFile(const std::filesystem::path& path);

// Result of looking for the SoundFont to play with.
struct SoundFontChoice {
    std::filesystem::path path;  // empty when none is usable
    std::string error;           // why none is usable; empty on success
};

// `requested` when given, else $CELLSONIFY_SOUNDFONT when set, else the first
// usable system candidate. An explicit path never falls back to the search:
// whoever named a file wants to hear that one, or to be told why not.
SoundFontChoice chooseSoundFont(const std::string& requested = {});

}  // namespace cellsonify
