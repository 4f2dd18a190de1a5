#include "playback/FrameNotes.h"

#include <algorithm>
#include <bit>

namespace cellsonify {

namespace {

int keyIndex(const MidiMessage& m) { return (m.status & 0x0F) * 128 + (m.data1 & 0x7F); }

}  // namespace

int mergedVelocity(int loudest, int cells) {
    if (loudest <= 0 || cells <= 1) return loudest;
    const int doublings = std::bit_width(static_cast<unsigned>(cells)) - 1;
    return std::min(127, loudest + kVelocityStepPerDoubling * doublings);
}

FrameNotes::FrameNotes() { keys_.reserve(64); }

void FrameNotes::clear() {
    for (const Key& k : keys_) slot_[static_cast<std::size_t>(keyIndex(k.first))] = 0;
    keys_.clear();
    chosen_.clear();
    cells_ = 0;
    dropped_ = 0;
}

void FrameNotes::add(const MidiMessage& noteOn) {
    ++cells_;
    int32_t& slot = slot_[static_cast<std::size_t>(keyIndex(noteOn))];
    if (slot == 0) {
        keys_.push_back({noteOn, 1, noteOn.data2});
        slot = static_cast<int32_t>(keys_.size());
        return;
    }
    Key& key = keys_[static_cast<std::size_t>(slot - 1)];
    ++key.cells;
    key.loudest = std::max<int>(key.loudest, noteOn.data2);
}

const std::vector<MidiMessage>& FrameNotes::choose(int budget) {
    chosen_.clear();
    const auto keep = [&](const Key& k) {
        MidiMessage on = k.first;
        on.data2 = static_cast<uint8_t>(mergedVelocity(k.loudest, k.cells));
        chosen_.push_back(on);
    };
    budget = std::max(budget, 1);
    if (static_cast<int>(keys_.size()) <= budget) {
        dropped_ = 0;
        for (const Key& k : keys_) keep(k);
        return chosen_;
    }
    ranked_.resize(keys_.size());
    for (std::size_t i = 0; i < ranked_.size(); ++i) ranked_[i] = static_cast<int>(i);
    const auto before = [&](int a, int b) {
        const Key& x = keys_[static_cast<std::size_t>(a)];
        const Key& y = keys_[static_cast<std::size_t>(b)];
        if (x.cells != y.cells) return x.cells > y.cells;
        if (x.loudest != y.loudest) return x.loudest > y.loudest;
        return a < b;
    };
    std::nth_element(ranked_.begin(), ranked_.begin() + budget, ranked_.end(), before);
    ranked_.resize(static_cast<std::size_t>(budget));
    std::sort(ranked_.begin(), ranked_.end());  // back to first-cell order
    for (int i : ranked_) keep(keys_[static_cast<std::size_t>(i)]);
    dropped_ = static_cast<int>(keys_.size()) - budget;
    return chosen_;
}

}  // namespace cellsonify
