#include "app/SoundPreferences.h"

#include "playback/PitchMappingText.h"

#include <QSettings>

#include <tuple>

namespace cellsonify {

namespace {

std::string text(QSettings& settings, const char* key) { return settings.value(QLatin1String(key)).toString().toStdString(); }

// Runs `read` and keeps its result unless it throws or the key is missing.
template <class Read>
void readInto(QSettings& settings, const char* key, Read&& read) {
    if (!settings.contains(QLatin1String(key))) return;
    try {
        read(text(settings, key));
    } catch (const SoundMappingError&) {
    }
}

}  // namespace

SoundPreferences loadSoundPreferences(QSettings& settings) {
    SoundPreferences p;
    readInto(settings, "sound/pitch", [&](const std::string& t) { p.mapping.mode = parsePitchMode(t); });
    readInto(settings, "sound/scale", [&](const std::string& t) { p.mapping.scale = parseScaleKind(t); });
    readInto(settings, "sound/root", [&](const std::string& t) { p.mapping.root = parseRoot(t); });
    readInto(settings, "sound/range", [&](const std::string& t) { std::tie(p.mapping.low, p.mapping.high) = parseRange(t); });
    readInto(settings, "sound/note-length", [&](const std::string& t) { p.noteLength = parseNoteLength(t); });
    p.velocity = parseVelocityMode(text(settings, "sound/velocity")).value_or(VelocityMode::Fixed);
    try {
        checkPitchMapping(p.mapping);
    } catch (const SoundMappingError&) {
        p.mapping = {};
    }
    p.outputPort = text(settings, "sound/output");
    if (const int notes = settings.value(QLatin1String("sound/notes-per-frame")).toInt();
        notes >= kLeastNotesPerFrame && notes <= kMostNotesPerFrame)
        p.notesPerFrame = notes;
    return p;
}

void saveSoundPreferences(QSettings& settings, const SoundPreferences& p) {
    const auto put = [&](const char* key, const std::string& value) {
        settings.setValue(QLatin1String(key), QString::fromStdString(value));
    };
    put("sound/pitch", std::string(pitchModeName(p.mapping.mode)));
    put("sound/scale", std::string(scaleName(p.mapping.scale)));
    put("sound/root", std::string(rootName(p.mapping.root)));
    put("sound/range", std::to_string(p.mapping.low) + ":" + std::to_string(p.mapping.high));
    put("sound/note-length", p.noteLength.rings() ? "ring" : std::to_string(p.noteLength.fixedMs));
    put("sound/velocity", std::string(velocityModeName(p.velocity)));
    put("sound/output", p.outputPort);
    put("sound/notes-per-frame", std::to_string(p.notesPerFrame));
    settings.sync();
}

}  // namespace cellsonify
