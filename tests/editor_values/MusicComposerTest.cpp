#include "editors/values/MusicComposer.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace editors;

namespace {

std::vector<int> enabledButtons(int key) {
    std::vector<int> buttons;
    for (int n = 1; n <= ToneButtonCount; ++n)
        if (toneButtonEnabled(key, n))
            buttons.push_back(n);
    return buttons;
}

std::vector<int> range(int first, int last) {
    std::vector<int> v;
    for (int n = first; n <= last; ++n)
        v.push_back(n);
    return v;
}

TEST(ToneButtons, FifteenButtonsFromTheKeyUpAndRestAreEnabled) {
    for (int key = 0; key < MusicKeyCount; ++key) {
        std::vector<int> expected = range(key + 1, key + 15);
        expected.push_back(RestButton);
        EXPECT_EQ(enabledButtons(key), expected) << "key " << key;
    }
    // Key 3: buttons 4..18; 1..3 and 19..22 are off.
    EXPECT_FALSE(toneButtonEnabled(3, 3));
    EXPECT_TRUE(toneButtonEnabled(3, 4));
    EXPECT_TRUE(toneButtonEnabled(3, 18));
    EXPECT_FALSE(toneButtonEnabled(3, 19));
    // Key 7: the low octave is off and the "1" with the colon is on.
    EXPECT_FALSE(toneButtonEnabled(7, 7));
    EXPECT_TRUE(toneButtonEnabled(7, 22));
}

TEST(ToneButtons, FacesShowDigitsWithTheirOctaveMarks) {
    EXPECT_EQ(toneFace(1).digit, '1');
    EXPECT_EQ(toneFace(1).mark, TOctaveMark::DotBelow);
    EXPECT_EQ(toneFace(7).digit, '7');
    EXPECT_EQ(toneFace(8).digit, '1');
    EXPECT_EQ(toneFace(8).mark, TOctaveMark::None);
    EXPECT_EQ(toneFace(14).digit, '7');
    EXPECT_EQ(toneFace(15).mark, TOctaveMark::DotAbove);
    EXPECT_EQ(toneFace(21).digit, '7');
    EXPECT_EQ(toneFace(22).digit, '1');
    EXPECT_EQ(toneFace(22).mark, TOctaveMark::ColonAbove);
    EXPECT_EQ(toneFace(23).mark, TOctaveMark::Rest);
}

TEST(NoteCode, ToneCountsFromTheKeyAndDurationFromTheList) {
    EXPECT_EQ(noteCode(0, 8, 3), "84");  // key 0, middle 1, "1 beat"
    EXPECT_EQ(noteCode(2, 8, 7), "68");  // key 2, middle 1, "2 beat"
    EXPECT_EQ(noteCode(0, 15, 0), "F1"); // key 0, high 1, "1/4 beat"
    EXPECT_EQ(noteCode(7, 22, 7), "F8"); // key 7, the 1 with the colon, "2 beat"
    EXPECT_EQ(noteCode(3, 4, 1), "12");
    for (int key = 0; key < MusicKeyCount; ++key)
        EXPECT_EQ(noteCode(key, RestButton, 4), "05") << key;
}

TEST(NoteCode, NothingForADisabledButtonOrAnUnknownDuration) {
    EXPECT_EQ(noteCode(7, 7, 0), "");
    EXPECT_EQ(noteCode(0, 16, 0), "");
    EXPECT_EQ(noteCode(0, 8, 8), "");
    EXPECT_EQ(noteCode(0, 8, -1), "");
    EXPECT_EQ(noteCode(8, 23, 0), "");
}

TEST(MusicKey, AMissingOrWrongKeyOpensWithKeyZero) {
    EXPECT_EQ(musicKeyFromRecord(0), 0);
    EXPECT_EQ(musicKeyFromRecord(7), 7);
    EXPECT_EQ(musicKeyFromRecord(3), 3);
    EXPECT_EQ(musicKeyFromRecord(-1), 0);
    EXPECT_EQ(musicKeyFromRecord(8), 0);
    EXPECT_EQ(musicKeyFromRecord(4294967299), 0);
}

TEST(DurationList, EightEntriesFromAQuarterToTwoBeats) {
    EXPECT_EQ(durationNames().front(), "1/4 beat");
    EXPECT_EQ(durationNames()[3], "1 beat");
    EXPECT_EQ(durationNames()[4], "1+1/4 beat");
    EXPECT_EQ(durationNames().back(), "2 beat");
}

TEST(NoteListContent, IsCutIntoPairsDroppingAnOddLastCharacter) {
    EXPECT_EQ(notesFromContent("8408F1"), (std::vector<std::string>{"84", "08", "F1"}));
    EXPECT_EQ(notesFromContent("8408F1X"), (std::vector<std::string>{"84", "08", "F1"}));
    EXPECT_EQ(contentFromNotes(notesFromContent("8408F1X")), "8408F1");
    EXPECT_TRUE(notesFromContent("").empty());
    EXPECT_TRUE(notesFromContent("9").empty());
    EXPECT_EQ(contentFromNotes({}), "");
    // Nothing validates the pieces.
    EXPECT_EQ(notesFromContent("zz<&"), (std::vector<std::string>{"zz", "<&"}));
}

TEST(NoteListEditing, AddAppendsAndKeepsTheSelection) {
    TNoteList list{{"84", "08"}, 0};
    list.add("F1");
    EXPECT_EQ(list, (TNoteList{{"84", "08", "F1"}, 0}));
    TNoteList empty;
    empty.add("05");
    EXPECT_EQ(empty, (TNoteList{{"05"}, -1}));
}

TEST(NoteListEditing, ReplaceAndDeleteNeedASelection) {
    TNoteList list{{"84", "08", "F1"}, -1};
    EXPECT_FALSE(list.replace("11"));
    EXPECT_FALSE(list.removeSelected());
    EXPECT_EQ(list, (TNoteList{{"84", "08", "F1"}, -1}));
    list.selected = 1;
    EXPECT_TRUE(list.replace("11"));
    EXPECT_EQ(list, (TNoteList{{"84", "11", "F1"}, 1}));
    EXPECT_TRUE(list.removeSelected());
    EXPECT_EQ(list, (TNoteList{{"84", "F1"}, -1}));
}

TEST(NoteListEditing, ArrowsSwapWithTheNeighbourAndStopAtTheEnds) {
    TNoteList list{{"a1", "b2", "c3"}, 0};
    EXPECT_FALSE(list.moveUp());
    EXPECT_TRUE(list.moveDown());
    EXPECT_EQ(list, (TNoteList{{"b2", "a1", "c3"}, 1}));
    EXPECT_TRUE(list.moveDown());
    EXPECT_EQ(list, (TNoteList{{"b2", "c3", "a1"}, 2}));
    EXPECT_FALSE(list.moveDown());
    EXPECT_TRUE(list.moveUp());
    EXPECT_EQ(list, (TNoteList{{"b2", "a1", "c3"}, 1}));
    list.selected = -1;
    EXPECT_FALSE(list.moveUp());
    EXPECT_FALSE(list.moveDown());
    TNoteList none;
    EXPECT_FALSE(none.moveDown());
}

} // namespace

TEST(NoteName, SaysTheToneInSolfaWithItsOctaveAndTheDurationInBeats) {
    struct Case {
        int key;
        const char* code;
        const char* name;
    };
    const Case cases[] = {
        {0, "84", "do, 1 beat"},        // the middle 1
        {0, "F1", "high do, 1/4 beat"}, // button 15
        {0, "11", "low do, 1/4 beat"},  // button 1
        {2, "84", "mi, 1 beat"},        // counted from the key: button 10
        {7, "F8", "top do, 2 beats"},   // button 22, the 1 with the colon
        {0, "08", "rest, 2 beats"},
        {3, "05", "rest, 1 1/4 beats"},
        {0, "A7", "mi, 1 3/4 beats"}, // button 10
        {0, "52", "low sol, 2/4 beat"},
        // No note: a hand-edited chart's codes.
        {0, "G4", ""},
        {0, "80", ""},
        {0, "89", ""},
        {0, "8", ""},
        {0, "a4", ""},
        {8, "84", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(noteName(c.key, c.code), c.name) << c.key << " " << c.code;
}

TEST(NoteWords, GiveTheToneAndTheBeatsApartForTranslation) {
    struct Case {
        int key;
        const char* code;
        const char* tone;
        const char* beats;
    };
    const Case cases[] = {
        {0, "11", "low do", "1/4 beat"},     {2, "84", "mi", "1 beat"},
        {7, "F8", "top do", "2 beats"},      {3, "05", "rest", "1 1/4 beats"},
        {5, "F7", "high la", "1 3/4 beats"},
    };
    for (const Case& c : cases) {
        const std::optional<TNoteWords> words = noteWords(c.key, c.code);
        ASSERT_TRUE(words) << c.code;
        EXPECT_EQ(words->tone, c.tone) << c.key << " " << c.code;
        EXPECT_EQ(words->beats, c.beats) << c.key << " " << c.code;
        // The window shows them translated; the texts are whole words, ending with their NUL.
        EXPECT_EQ(words->tone.data()[words->tone.size()], '\0');
        EXPECT_EQ(words->beats.data()[words->beats.size()], '\0');
    }
    for (const char* code : {"G4", "80", "89", "8"})
        EXPECT_FALSE(noteWords(0, code)) << code;
    EXPECT_FALSE(noteWords(8, "84"));
}

TEST(NoteSound, PitchOnTheMajorScaleFromTheLowDoAndLengthInQuarterBeats) {
    const TMusicTuning tuning{200, 100};
    struct Case {
        int key;
        const char* code;
        double hz;
        int ms;
    };
    const Case cases[] = {
        {0, "14", 200, 400},                           // the low do, one beat
        {0, "81", 400, 100},                           // the middle do: an octave up
        {0, "32", 200 * std::pow(2.0, 4 / 12.0), 200}, // low mi: four semitones
        {0, "48", 200 * std::pow(2.0, 5 / 12.0), 800}, // low fa: a half step above mi
        {2, "14", 200 * std::pow(2.0, 4 / 12.0), 400}, // counted from the key: mi
        {7, "F1", 1600, 100},                          // button 22: three octaves up
        {0, "08", 0, 800},                             // a rest
    };
    for (const Case& c : cases) {
        const std::optional<TNoteSound> sound = noteSound(c.key, c.code, tuning);
        ASSERT_TRUE(sound.has_value()) << c.code;
        EXPECT_NEAR(sound->hz, c.hz, 1e-9) << c.key << " " << c.code;
        EXPECT_EQ(sound->ms, c.ms) << c.code;
    }
    for (const char* none : {"G4", "80", "8", ""})
        EXPECT_FALSE(noteSound(0, none, tuning).has_value()) << none;
}
