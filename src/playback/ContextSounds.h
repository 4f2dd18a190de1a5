#pragma once

#include "model/RecordingContext.h"
#include "playback/PassTick.h"
#include "sound/MidiMessage.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

namespace cellsonify {

// The General MIDI percussion channel (channel 10; index 9), which cells never use.
inline constexpr int kPercussionChannel = 9;
// The percussion key each group plays, group g taking kGroupDrums[g % 8]
// (bass drum, snare, closed hi-hat, clap, cowbell, claves, low conga, open triangle).
inline constexpr std::array<int, 8> kGroupDrums{36, 38, 42, 39, 56, 75, 64, 81};
inline constexpr int kStartVelocity = 112;  // an interval's start
inline constexpr int kEndVelocity = 56;     // its end, softer
// Channels the sounding behaviour streams take in turn (cells use 0..7, drums 9).
inline constexpr std::array<int, 7> kToneChannels{8, 10, 11, 12, 13, 14, 15};
inline constexpr int kToneProgram = 89;      // a warm pad, which holds as long as the note does
inline constexpr int kToneNote = 60;
inline constexpr int kToneVelocity = 90;
inline constexpr int kBendRangeSemitones = 12;  // the pitch bend reaches an octave either way

// The percussion key of group `group` of table `table` of `context`: groups
// are counted across the tables in order, so two tables do not share a drum
// while there are sounds to spare.
int groupDrum(const RecordingContext& context, std::size_t table, int group);

// The streams that drive a tone, in order, each with its channel; at most kToneChannels.size().
struct ToneVoice {
    const BehaviourStream* stream;
    int channel;
};
std::vector<ToneVoice> toneVoices(const RecordingContext& context);

// What an output needs before the context plays: for each tone its program,
// its pitch bend range (RPN 0, then the null RPN) and its bend centred and
// expression full. Nothing for a context without tones.
std::vector<MidiMessage> contextSetupMessages(const RecordingContext& context);

// Pitch bend `value` (0..16383, 8192 centred) on `channel`.
constexpr MidiMessage pitchBendMessage(int channel, int value) {
    return {static_cast<uint8_t>(0xE0 | channel), static_cast<uint8_t>(value & 0x7F),
            static_cast<uint8_t>((value >> 7) & 0x7F)};
}
constexpr MidiMessage controllerMessage(int channel, int controller, int value) {
    return {static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(controller), static_cast<uint8_t>(value)};
}

// The sounds of a recording's context through one pass: at each tick, the
// ends and then the starts of intervals at the frame reached (each drum key
// released before it is struck again), then each tone's controller where its
// value changed, its note struck the first time it has a value. The tick
// that passes the last frame, and release(), let everything go.
class ContextSounds {
public:
    template <class Send>
    void step(const RecordingContext& context, const PassTick& tick, int64_t nowMs, bool sounding, Send&& send) {
        lastMs_ = nowMs;
        if (!sounding || tick.passedEnd || context.empty()) {
            release(send);
            return;
        }
        const long long frame = nearestFrame(tick.position);
        const auto strike = [&](int key, int velocity) {
            if (struck_.test(static_cast<std::size_t>(key))) send(nowMs, noteOffMessage(kPercussionChannel, key));
            struck_.set(static_cast<std::size_t>(key));
            send(nowMs, noteOnMessage(kPercussionChannel, key, velocity));
        };
        if (context.intervalsSound) {
            if (context.endsSound) {
                if (!endsIndexed(context)) indexEnds(context);
                for (std::size_t t = 0; t < context.tables.size(); ++t) {
                    const std::vector<ContextInterval>& rows = context.tables[t].rows;
                    const std::vector<uint32_t>& order = byStop_[t];
                    // Only the rows stopping here are visited, in row order.
                    auto at = std::lower_bound(order.begin(), order.end(), frame,
                                               [&](uint32_t r, long long f) { return rows[r].stopFrame < f; });
                    for (; at != order.end() && rows[*at].stopFrame == frame; ++at)
                        if (rows[*at].stopInside && rows[*at].stopFrame > rows[*at].startFrame)
                            strike(groupDrum(context, t, rows[*at].group), kEndVelocity);
                }
            }
            for (std::size_t t = 0; t < context.tables.size(); ++t)
            {
                const std::vector<ContextInterval>& rows = context.tables[t].rows;
                // Rows ascend by start: only those starting here are visited.
                auto row = std::lower_bound(rows.begin(), rows.end(), frame, [](const ContextInterval& r, long long f) {
                    return r.startFrame < f;
                });
                for (; row != rows.end() && row->startFrame == frame; ++row)
                    strike(groupDrum(context, t, row->group), kStartVelocity);
            }
        }
        for (const ToneVoice& tone : toneVoices(context)) {
            const double scaled = tone.stream->scaledAt(frame);
            if (scaled != scaled) continue;  // no value here: the tone holds
            const auto c = static_cast<std::size_t>(tone.channel);
            const int value = tone.stream->control == ToneControl::Pitch ? static_cast<int>(scaled * 16383 + 0.5)
                                                                         : static_cast<int>(scaled * 127 + 0.5);
            if (!toneOn_.test(c) || lastValue_[c] != value)
                send(nowMs, tone.stream->control == ToneControl::Pitch ? pitchBendMessage(tone.channel, value)
                                                                       : controllerMessage(tone.channel, 11, value));
            lastValue_[c] = value;
            if (!toneOn_.test(c)) send(nowMs, noteOnMessage(tone.channel, kToneNote, kToneVelocity));
            toneOn_.set(c);
        }
    }

    // Forgets what it worked out from the context; called whenever the
    // context stepped with is replaced or changed.
    void forgetContext() { byStop_.clear(); }

    // Note-offs for every drum key struck and every tone sounding, at the last tick's time.
    template <class Send>
    void release(Send&& send) {
        for (int key = 0; key < 128; ++key)
            if (struck_.test(static_cast<std::size_t>(key))) send(lastMs_, noteOffMessage(kPercussionChannel, key));
        for (int channel = 0; channel < 16; ++channel)
            if (toneOn_.test(static_cast<std::size_t>(channel))) send(lastMs_, noteOffMessage(channel, kToneNote));
        struck_.reset();
        toneOn_.reset();
    }

private:
    // Per table, its rows' indices ordered by stop frame (ties in row order).
    void indexEnds(const RecordingContext& context);
    // Whether the index has a row for each row of each table.
    bool endsIndexed(const RecordingContext& context) const;

    std::vector<std::vector<uint32_t>> byStop_;
    std::bitset<128> struck_;   // percussion keys struck and not yet released
    std::bitset<16> toneOn_;    // channels whose tone is sounding
    std::array<int, 16> lastValue_{};
    int64_t lastMs_ = 0;
};

}  // namespace cellsonify
