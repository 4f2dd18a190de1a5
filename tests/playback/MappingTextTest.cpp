// The words a user types for a mapping and a note length.
#include "playback/NoteOffSchedule.h"
#include "playback/PitchMappingText.h"

#include <gtest/gtest.h>

using namespace cellsonify;

namespace {

// The message a parser throws for `text`, or "" when it accepts it.
template <class Parse>
std::string errorOf(Parse parse, std::string_view text) {
    try {
        parse(text);
    } catch (const SoundMappingError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(MappingText, ReadsModesScalesAndRoots) {
    EXPECT_EQ(parsePitchMode("Position"), PitchMode::Position);
    EXPECT_EQ(parseScaleKind("minor"), ScaleKind::NaturalMinor);
    EXPECT_EQ(parseScaleKind("WHOLE-TONE"), ScaleKind::WholeTone);
    for (ScaleKind s : {ScaleKind::Chromatic, ScaleKind::Major, ScaleKind::NaturalMinor, ScaleKind::MajorPentatonic,
                        ScaleKind::MinorPentatonic, ScaleKind::WholeTone})
        EXPECT_EQ(parseScaleKind(scaleName(s)), s);
    EXPECT_EQ(parseRoot("C"), 0);
    EXPECT_EQ(parseRoot("f#"), 6);
    EXPECT_EQ(parseRoot("Db"), 1);
    EXPECT_EQ(parseRoot("Cb"), 11);
    EXPECT_EQ(parseRoot("B#"), 0);
    EXPECT_EQ(rootName(10), "A#");
}

TEST(MappingText, ReadsNotesByNumberOrNameWithC4AsSixty) {
    EXPECT_EQ(parseNote("60"), 60);
    EXPECT_EQ(parseNote("C4"), 60);
    EXPECT_EQ(parseNote("A4"), 69);
    EXPECT_EQ(parseNote("C-1"), 0);
    EXPECT_EQ(parseNote("G9"), 127);
    EXPECT_EQ(parseNote("Bb3"), 58);
    EXPECT_EQ(parseNote("Cb4"), 59) << "the letter keeps its octave";
    EXPECT_EQ(parseNote("B#3"), 60);
    EXPECT_EQ(noteName(61), "C#4");
    EXPECT_EQ(noteName(0), "C-1");
    EXPECT_EQ(parseRange("C2:C7"), (std::pair{36, 96}));
    EXPECT_EQ(parseRange("40:A4"), (std::pair{40, 69}));
    EXPECT_EQ(parseNoteLength("Ring"), NoteLength{});
    EXPECT_EQ(parseNoteLength("250"), NoteLength{250});
}

TEST(MappingText, RefusesBadTextNamingItAndWhatWasExpected) {
    EXPECT_EQ(errorOf(parsePitchMode, "notes"), "pitch mapping \"notes\": expected rows, scale or position");
    EXPECT_EQ(errorOf(parseScaleKind, "dorian"),
              "scale \"dorian\": expected chromatic, major, minor, major-pentatonic, minor-pentatonic or whole-tone");
    EXPECT_EQ(errorOf(parseRoot, "H"), "root \"H\": expected a note letter A..G with an optional # or b");
    for (std::string_view bad : {"C#", "", "128", "-1", "G#9", "C-2", "C10", "4C", "C4x", "99999999999", "C 4"})
        EXPECT_NE(errorOf(parseNote, bad).find("expected a MIDI note 0..127"), std::string::npos) << bad;
    EXPECT_EQ(errorOf(parseRange, "C7:C2"), "range \"C7:C2\": expected the low note first");
    EXPECT_EQ(errorOf(parseRange, "36-96"), "range \"36-96\": expected LOW:HIGH, such as C2:C7 or 36:96");
    EXPECT_NE(errorOf(parseRange, "36:"), "");
    for (std::string_view bad : {"0", "-5", "60001", "1.5", "", "long"})
        EXPECT_EQ(errorOf(parseNoteLength, bad),
                  "note length \"" + std::string(bad) + "\": expected ring or milliseconds 1..60000");
}
