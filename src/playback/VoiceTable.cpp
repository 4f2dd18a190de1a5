#include "playback/VoiceTable.h"

#include "model/CellModel.h"
#include "playback/SoundingNotes.h"

#include <algorithm>
#include <bitset>
#include <cmath>

namespace cellsonify {

namespace {

CellPosition positionOf(const CellModel& model, int cell) {
    // A cell without a position sits where the map would draw it: at 0, 0.
    return cell < static_cast<int>(model.CellPos.size()) ? model.CellPos[cell] : CellPosition{};
}

std::size_t tableSize(const CellModel& model) { return static_cast<std::size_t>(std::max<int>(model.CellCount, 0)) + 1; }

// Where `v` lies between `lo` and `hi`, 0..1; 0.5 when there is no spread to
// place it in (a single cell, cells in one line, positions that are not numbers).
double share(double v, double lo, double hi) {
    const double s = (v - lo) / (hi - lo);
    if (s >= 0 && s <= 1) return s;
    return s > 1 ? 1.0 : s < 0 ? 0.0 : 0.5;
}

std::vector<CellVoice> rowVoices(const CellModel& model) {
    std::vector<CellVoice> voices(tableSize(model));
    for (int cell = 1; cell <= model.CellCount; ++cell)
        if (const std::optional<int> key = keyOfCell(model.CellCount, model.Rows.placeOf(cell)))
            voices[cell].note = static_cast<int16_t>(*key);
    return voices;
}

// Index among `m` scale notes of cell `i` of `n`: with at least as many cells
// as notes, floor((i - 1) x m / n), so neighbouring rows share notes and every
// note is used; with fewer, floor((i - 1) x (m - 1) / (n - 1)), cell 1 on the
// lowest and cell n on the highest note with gaps differing by at most one
// scale step; a single cell among several notes takes the middle one.
int scaleIndex(int64_t i, int64_t n, int64_t m) {
    if (n >= m) return static_cast<int>((i - 1) * m / n);
    if (n == 1) return static_cast<int>((m - 1) / 2);
    return static_cast<int>((i - 1) * (m - 1) / (n - 1));
}

std::vector<CellVoice> scaleVoices(const CellModel& model, const std::vector<int>& notes) {
    std::vector<CellVoice> voices(tableSize(model));
    const auto m = static_cast<int64_t>(notes.size());
    for (int cell = 1; cell <= model.CellCount; ++cell)
        voices[cell].note = static_cast<int16_t>(notes[scaleIndex(model.Rows.placeOf(cell), model.CellCount, m)]);
    return voices;
}

// The scale note nearest to `pitch`; of two equally near, the lower.
int nearestNote(const std::vector<int>& notes, double pitch) {
    const auto above = std::lower_bound(notes.begin(), notes.end(), pitch,
                                        [](int note, double p) { return static_cast<double>(note) < p; });
    if (above == notes.begin()) return notes.front();
    if (above == notes.end()) return notes.back();
    const int below = *(above - 1);
    return pitch - below <= *above - pitch ? below : *above;
}

std::vector<CellVoice> positionVoices(const CellModel& model, const PitchMapping& mapping,
                                      const std::vector<int>& notes) {
    double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
    for (int cell = 1; cell <= model.CellCount; ++cell) {
        const CellPosition p = positionOf(model, cell);
        minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
    }
    std::vector<CellVoice> voices(tableSize(model));
    for (int cell = 1; cell <= model.CellCount; ++cell) {
        const CellPosition p = positionOf(model, cell);
        // The map's Y grows downwards; the top cell gets the top of the range.
        const double height = 1.0 - share(p.Y, minY, maxY);
        const double pitch = mapping.low + height * (mapping.high - mapping.low);
        const int bin = std::min(kPanChannels - 1, static_cast<int>(share(p.X, minX, maxX) * kPanChannels));
        voices[cell] = {static_cast<int16_t>(nearestNote(notes, pitch)), static_cast<uint8_t>(bin)};
    }
    return voices;
}

std::vector<VoiceChannel> panChannels() {
    std::vector<VoiceChannel> channels;
    for (int bin = 0; bin < kPanChannels; ++bin) {
        const int pan = (bin * 127 + (kPanChannels - 1) / 2) / (kPanChannels - 1);  // rounded to nearest
        channels.push_back({static_cast<uint8_t>(bin), static_cast<uint8_t>(pan)});
    }
    return channels;
}

}  // namespace

VoiceTable::VoiceTable(std::vector<CellVoice> voices, std::vector<VoiceChannel> channels)
    : voices_(std::move(voices)), channels_(std::move(channels)) {
    std::bitset<128> used;
    for (const CellVoice& v : voices_) {
        if (!v.sounds()) continue;
        if (used.test(static_cast<std::size_t>(v.note))) sharesKeys_ = true;
        used.set(static_cast<std::size_t>(v.note));
    }
}

namespace {

// Cells the selection does not let sound keep their place but play nothing.
std::vector<CellVoice> heardOnly(const CellModel& model, std::vector<CellVoice> voices) {
    if (model.Selection.hearsEveryCell()) return voices;
    for (std::size_t cell = 1; cell < voices.size(); ++cell)
        if (!model.Selection.heard(static_cast<int>(cell))) voices[cell].note = -1;
    return voices;
}

}  // namespace

VoiceTable voiceTable(const CellModel& model, const PitchMapping& mapping) {
    checkPitchMapping(mapping);
    switch (mapping.mode) {
    case PitchMode::Scale: return {heardOnly(model, scaleVoices(model, scaleNotesOf(mapping))), {{0, std::nullopt}}};
    case PitchMode::Position:
        return {heardOnly(model, positionVoices(model, mapping, scaleNotesOf(mapping))), panChannels()};
    case PitchMode::Rows: break;
    }
    return {heardOnly(model, rowVoices(model)), {{0, std::nullopt}}};
}

std::vector<MidiMessage> voiceSetupMessages(const VoiceTable& voices, int program) {
    std::vector<MidiMessage> messages;
    for (const VoiceChannel& c : voices.channels()) {
        messages.push_back(programChangeMessage(c.channel, program));
        if (c.pan) messages.push_back(panMessage(c.channel, *c.pan));
    }
    return messages;
}

}  // namespace cellsonify
