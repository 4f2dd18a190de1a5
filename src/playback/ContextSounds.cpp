#include "playback/ContextSounds.h"

#include <numeric>

namespace cellsonify {

int groupDrum(const RecordingContext& context, std::size_t table, int group) {
    std::size_t before = 0;
    for (std::size_t t = 0; t < table && t < context.tables.size(); ++t) before += context.tables[t].groups.size();
    return kGroupDrums[(before + static_cast<std::size_t>(group)) % kGroupDrums.size()];
}

void ContextSounds::indexEnds(const RecordingContext& context) {
    byStop_.assign(context.tables.size(), {});
    for (std::size_t t = 0; t < context.tables.size(); ++t) {
        const std::vector<ContextInterval>& rows = context.tables[t].rows;
        std::vector<uint32_t>& order = byStop_[t];
        order.resize(rows.size());
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b) { return rows[a].stopFrame < rows[b].stopFrame; });
    }
}

bool ContextSounds::endsIndexed(const RecordingContext& context) const {
    if (byStop_.size() != context.tables.size()) return false;
    for (std::size_t t = 0; t < byStop_.size(); ++t)
        if (byStop_[t].size() != context.tables[t].rows.size()) return false;
    return true;
}

std::vector<ToneVoice> toneVoices(const RecordingContext& context) {
    std::vector<ToneVoice> voices;
    for (const BehaviourStream& stream : context.streams)
        if (stream.sounds && voices.size() < kToneChannels.size())
            voices.push_back({&stream, kToneChannels[voices.size()]});
    return voices;
}

std::vector<MidiMessage> contextSetupMessages(const RecordingContext& context) {
    std::vector<MidiMessage> messages;
    for (const ToneVoice& tone : toneVoices(context)) {
        const int c = tone.channel;
        messages.push_back(programChangeMessage(c, kToneProgram));
        messages.push_back(controllerMessage(c, 101, 0));  // RPN 0: pitch bend range ...
        messages.push_back(controllerMessage(c, 100, 0));
        messages.push_back(controllerMessage(c, 6, kBendRangeSemitones));  // ... in semitones
        messages.push_back(controllerMessage(c, 38, 0));
        messages.push_back(controllerMessage(c, 101, 127));  // the null RPN, so later data entry changes nothing
        messages.push_back(controllerMessage(c, 100, 127));
        messages.push_back(pitchBendMessage(c, 8192));
        messages.push_back(controllerMessage(c, 11, 127));
    }
    return messages;
}

}  // namespace cellsonify
