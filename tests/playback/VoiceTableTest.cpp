// Which note and channel each cell plays under the three pitch mappings, and
// what an output is told before a mapping plays.
#include "model/CellModel.h"
#include "playback/PitchMapping.h"
#include "playback/SoundingNotes.h"
#include "playback/VoiceTable.h"
#include "sound/Instruments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace cellsonify;

namespace {

CellModel modelOf(int cells, std::vector<CellPosition> positions = {}) {
    CellModel model;
    model.CellCount = static_cast<int32_t>(cells);
    model.CellPos.insert(model.CellPos.end(), positions.begin(), positions.end());
    return model;
}

PitchMapping scaleMapping(ScaleKind scale, int root, int low, int high, PitchMode mode = PitchMode::Scale) {
    return {mode, scale, root, low, high};
}

std::vector<int> notesOf(const VoiceTable& voices) {
    std::vector<int> notes;
    for (int cell = 1; cell <= voices.cellCount(); ++cell) notes.push_back(voices.voiceOf(cell).note);
    return notes;
}

}  // namespace

TEST(RowsMapping, PlaysTheKeyTodaysRuleGivesAndIsSetUpWithOneProgramChange) {
    for (int cells : {0, 1, 7, 127, 128, 129, 300, 1500}) {
        const VoiceTable voices = voiceTable(modelOf(cells), PitchMapping{});
        ASSERT_EQ(voices.cellCount(), cells);
        for (int cell = 1; cell <= cells; ++cell) {
            const std::optional<int> key = keyOfCell(static_cast<int16_t>(cells), cell);
            EXPECT_EQ(voices.voiceOf(cell), (CellVoice{static_cast<int16_t>(key ? *key : -1), 0}))
                << cell << " of " << cells;
        }
        EXPECT_EQ(voiceSetupMessages(voices, 11), std::vector<MidiMessage>{programChangeMessage(11)});
    }
    EXPECT_FALSE(voiceTable(modelOf(5), PitchMapping{}).voiceOf(6).sounds()) << "a cell beyond the table";
}

TEST(ScaleMapping, EveryCellSoundsInScaleAndInRangeSpreadLowToHigh) {
    const PitchMapping major = scaleMapping(ScaleKind::Major, 0, 36, 96);  // 36 notes C2..C7
    const std::vector<int> scale = scaleNotesOf(major);
    ASSERT_EQ(scale.size(), 36u);
    for (int cells : {1, 7, 36, 128, 129, 1500}) {
        const std::vector<int> notes = notesOf(voiceTable(modelOf(cells), major));
        ASSERT_EQ(notes.size(), static_cast<std::size_t>(cells));
        std::vector<int> steps;  // each cell's place in the scale
        for (int note : notes) {
            const auto at = std::find(scale.begin(), scale.end(), note);
            ASSERT_NE(at, scale.end()) << note << " is not a note of C major from C2 to C7, " << cells << " cells";
            steps.push_back(static_cast<int>(at - scale.begin()));
        }
        EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end())) << cells;
        if (cells == 1) {
            EXPECT_EQ(notes[0], 65) << "a lone cell takes the middle scale note of the range, F4";
            continue;
        }
        EXPECT_EQ(steps.front(), 0) << cells;
        EXPECT_EQ(steps.back(), 35) << cells;
        const std::set<int> used(steps.begin(), steps.end());
        if (cells >= 36) {
            EXPECT_EQ(used.size(), 36u) << "every scale note is used, " << cells << " cells";
            for (std::size_t k = 1; k < steps.size(); ++k) EXPECT_LE(steps[k] - steps[k - 1], 1) << cells;
        } else {
            EXPECT_EQ(used.size(), static_cast<std::size_t>(cells)) << "no two cells share a note";
            std::vector<int> gaps;
            for (std::size_t k = 1; k < steps.size(); ++k) gaps.push_back(steps[k] - steps[k - 1]);
            const auto [least, most] = std::minmax_element(gaps.begin(), gaps.end());
            EXPECT_LE(*most - *least, 1) << "evenly spaced, " << cells << " cells";
        }
    }
    // More cells than notes: neighbouring rows share a note, in equal groups.
    EXPECT_EQ(notesOf(voiceTable(modelOf(6), scaleMapping(ScaleKind::Major, 0, 60, 64))),
              (std::vector<int>{60, 60, 62, 62, 64, 64}));
}

TEST(ScaleMapping, RootAndRangeChooseTheNotes) {
    // D major between C4 and C5: C#, D, E, F#, G, A, B.
    EXPECT_EQ(notesOf(voiceTable(modelOf(7), scaleMapping(ScaleKind::Major, 2, 60, 72))),
              (std::vector<int>{61, 62, 64, 66, 67, 69, 71}));
    // A minor pentatonic from A2 to A3: A, C, D, E, G, A.
    EXPECT_EQ(notesOf(voiceTable(modelOf(6), scaleMapping(ScaleKind::MinorPentatonic, 9, 45, 57))),
              (std::vector<int>{45, 48, 50, 52, 55, 57}));
    // Whole tone on C#, range ends off the scale.
    EXPECT_EQ(notesOf(voiceTable(modelOf(3), scaleMapping(ScaleKind::WholeTone, 1, 60, 66))),
              (std::vector<int>{61, 63, 65}));
    // E natural minor over one note's range: every cell plays it.
    EXPECT_EQ(notesOf(voiceTable(modelOf(4), scaleMapping(ScaleKind::NaturalMinor, 4, 66, 66))),
              (std::vector<int>{66, 66, 66, 66}));
    // Chromatic over the whole keyboard, 128 cells: one key each.
    std::vector<int> everyKey(128);
    for (int k = 0; k < 128; ++k) everyKey[k] = k;
    EXPECT_EQ(notesOf(voiceTable(modelOf(128), scaleMapping(ScaleKind::Chromatic, 0, 0, 127))), everyKey);
}

TEST(ScaleMapping, RefusesRangesThatCannotSound) {
    EXPECT_THROW(voiceTable(modelOf(3), scaleMapping(ScaleKind::Major, 0, 61, 61)), SoundMappingError);
    EXPECT_THROW(voiceTable(modelOf(3), scaleMapping(ScaleKind::Major, 0, 72, 60)), SoundMappingError);
    EXPECT_THROW(voiceTable(modelOf(3), scaleMapping(ScaleKind::Major, 0, 0, 128)), SoundMappingError);
    EXPECT_THROW(voiceTable(modelOf(3), scaleMapping(ScaleKind::Major, 12, 0, 127)), SoundMappingError);
    try {
        voiceTable(modelOf(3), scaleMapping(ScaleKind::MajorPentatonic, 0, 65, 66, PitchMode::Position));
        ADD_FAILURE() << "F4..F#4 holds no note of C major pentatonic";
    } catch (const SoundMappingError& e) {
        EXPECT_STREQ(e.what(), "range F4:F#4 holds no note of C major-pentatonic");
    }
}

TEST(PositionMapping, TopIsHighLeftIsPannedLeftAndPitchesSnapToTheScale) {
    // Y grows downwards on the map. Cells: top left, bottom right, the middle,
    // and one an eighth of the way down at the far right.
    const CellModel model = modelOf(4, {{0.0, 0.0}, {1.0, 1.0}, {0.5, 0.5}, {1.0, 0.125}});
    const VoiceTable voices = voiceTable(model, scaleMapping(ScaleKind::Major, 0, 60, 72, PitchMode::Position));
    EXPECT_EQ(voices.voiceOf(1), (CellVoice{72, 0})) << "top of the range, leftmost channel";
    EXPECT_EQ(voices.voiceOf(2), (CellVoice{60, 7})) << "bottom of the range, rightmost channel";
    // Half way is 66 (F#), as near to F as to G: the lower wins.
    EXPECT_EQ(voices.voiceOf(3), (CellVoice{65, 4}));
    // Seven eighths up is 70.5, nearer to B than to A.
    EXPECT_EQ(voices.voiceOf(4), (CellVoice{71, 7}));

    // A pentatonic scale snaps to its own notes, C D E G A C from C4: 66 to
    // G, 70.5 as near to A as to C, so A.
    const VoiceTable pentatonic =
        voiceTable(model, scaleMapping(ScaleKind::MajorPentatonic, 0, 60, 72, PitchMode::Position));
    EXPECT_EQ(notesOf(pentatonic), (std::vector<int>{72, 60, 67, 69}));

    // Eight channels, none of them the drums, each with the program and its
    // pan, from hard left to hard right.
    const std::vector<MidiMessage> setup = voiceSetupMessages(voices, 96);
    ASSERT_EQ(setup.size(), 16u);
    std::vector<int> pans;
    for (std::size_t k = 0; k < setup.size(); k += 2) {
        const int channel = static_cast<int>(k / 2);
        EXPECT_EQ(setup[k], programChangeMessage(channel, 96));
        EXPECT_EQ(setup[k + 1].status, 0xB0 + channel);
        EXPECT_EQ(setup[k + 1].data1, 10);
        pans.push_back(setup[k + 1].data2);
    }
    EXPECT_EQ(pans.front(), 0);
    EXPECT_EQ(pans.back(), 127);
    EXPECT_TRUE(std::is_sorted(pans.begin(), pans.end()));
}

TEST(PositionMapping, CellsInOneSpotSitInTheMiddle) {
    const CellModel model = modelOf(2, {{0.5, 0.5}, {0.5, 0.5}});
    const VoiceTable voices = voiceTable(model, scaleMapping(ScaleKind::Chromatic, 0, 40, 80, PitchMode::Position));
    EXPECT_EQ(voices.voiceOf(1), (CellVoice{60, 4}));
    EXPECT_EQ(voices.voiceOf(2), (CellVoice{60, 4}));
}
