#include "sound/SoundFontLocator.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <fstream>

namespace cellsonify {

namespace fs = std::filesystem;

std::vector<fs::path> systemSoundFontCandidates() {
    const fs::path folder = "/usr/share/sounds/sf2";
    return {folder / "default-GM.sf2", folder / "default-GM.sf3", folder / "FluidR3_GM.sf2",
            folder / "TimGM6mb.sf2"};
}

std::string checkSoundFontFile(const fs::path& path) {
    std::error_code error;
    if (!fs::exists(path, error)) {
        return "not found";
    }
    if (fs::is_directory(path, error)) {
        return "is a folder";
    }
    // Opening a FIFO blocks until someone writes to it, and a device may never
    // end: only a regular file (or a link to one) is opened at all.
    if (!fs::is_regular_file(path, error)) {
        return "is not a regular file (a FIFO, a socket or a device)";
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "cannot be read";
    }
    std::array<char, 12> header{};
    in.read(header.data(), header.size());
    if (in.gcount() != static_cast<std::streamsize>(header.size()) ||
        std::memcmp(header.data(), "RIFF", 4) != 0 ||
        std::memcmp(header.data() + 8, "sfbk", 4) != 0) {
        return "not a SoundFont";
    }
    // A download cut short is the likeliest damage; catching it here gives the
    // user a reason at once instead of a silent failure in the background.
    const auto declared = static_cast<uintmax_t>(static_cast<unsigned char>(header[4])) |
                          static_cast<uintmax_t>(static_cast<unsigned char>(header[5])) << 8 |
                          static_cast<uintmax_t>(static_cast<unsigned char>(header[6])) << 16 |
                          static_cast<uintmax_t>(static_cast<unsigned char>(header[7])) << 24;
    const uintmax_t actual = fs::file_size(path, error);
    if (error || actual < declared + 8) {
        return "truncated SoundFont (" + std::to_string(actual) + " of " +
               std::to_string(declared + 8) + " bytes)";
    }
    return {};
}

SoundFontChoice chooseSoundFont(const std::string& requested) {
    std::string named = requested;
    std::string origin = "SoundFont";
    if (named.empty()) {
        if (const char* env = std::getenv("CELLSONIFY_SOUNDFONT"); env != nullptr && *env != '\0') {
            named = env;
            origin = "SoundFont from CELLSONIFY_SOUNDFONT";
        }
    }
    if (!named.empty()) {
        const std::string problem = checkSoundFontFile(named);
        if (!problem.empty()) {
            return {{}, origin + " " + named + ": " + problem};
        }
        return {named, {}};
    }
    for (const fs::path& candidate : systemSoundFontCandidates()) {
        if (checkSoundFontFile(candidate).empty()) {
            return {candidate, {}};
        }
    }
    return {{}, "no General MIDI SoundFont found in /usr/share/sounds/sf2 "
                "(install fluid-soundfont-gm or set CELLSONIFY_SOUNDFONT)"};
}

}  // namespace cellsonify
