#pragma once

#include "sound/MidiMessage.h"
#include "playback/PitchMapping.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace cellsonify {

struct CellModel;

// The note and channel one cell plays.
struct CellVoice {
    int16_t note = -1;    // MIDI note 0..127; -1: the cell lights but stays silent
    uint8_t channel = 0;  // MIDI channel 0..15
    bool sounds() const { return note >= 0; }
    bool operator==(const CellVoice&) const = default;
};

// A channel a mapping plays on and the pan it gives it.
struct VoiceChannel {
    uint8_t channel = 0;
    std::optional<uint8_t> pan;  // controller 10 value; none: left as the output has it
    bool operator==(const VoiceChannel&) const = default;
};

// Position mode's pan channels: X is cut into this many equal bins, bin b
// plays on MIDI channel b (0-based, so channel index 9, the drums, is never
// used) panned to round(b x 127 / (kPanChannels - 1)).
inline constexpr int kPanChannels = 8;

// Every cell's voice under one mapping, worked out once per load or mapping
// change so a playback tick only looks cells up.
class VoiceTable {
public:
    VoiceTable() = default;
    VoiceTable(std::vector<CellVoice> voices, std::vector<VoiceChannel> channels);

    // The voice of `cell`; silent for cells the table does not hold.
    CellVoice voiceOf(int cell) const {
        return cell >= 0 && cell < static_cast<int>(voices_.size()) ? voices_[cell] : CellVoice{};
    }
    // Cells 1..cellCount() are held; index 0 belongs to no cell.
    int cellCount() const { return voices_.empty() ? 0 : static_cast<int>(voices_.size()) - 1; }
    // Whether two cells play the same key (a scale or position mapping with
    // more cells than notes); the rows rule never does.
    bool sharesKeys() const { return sharesKeys_; }
    // The channels the mapping plays on, ascending.
    const std::vector<VoiceChannel>& channels() const { return channels_; }

    bool operator==(const VoiceTable&) const = default;

private:
    std::vector<CellVoice> voices_;  // index = cell
    std::vector<VoiceChannel> channels_;
    bool sharesKeys_ = false;
};

// The voices of cells 1..model.CellCount under `mapping` (rules in the README
// and in VoiceTable.cpp). Rows and scale give notes by each cell's place in
// model.Rows; cells model.Selection does not let sound are silent. Throws
// SoundMappingError as checkPitchMapping does.
VoiceTable voiceTable(const CellModel& model, const PitchMapping& mapping);

// What an output needs before a mapping plays: for each of its channels in
// order, the program change to `program`, then its pan when it has one.
std::vector<MidiMessage> voiceSetupMessages(const VoiceTable& voices, int program);

}  // namespace cellsonify
