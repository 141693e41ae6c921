// The music composer's logic without its window: keys, the 23 tone buttons, note codes and the
// note list's editing. A note code is a tone (one upper-case hex digit, 0 a rest, 1..F counted
// from the key) followed by a duration in quarter beats ("1".."8"); a tune's content is its
// note codes joined.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace editors {

inline constexpr int MusicKeyCount = 8;     // keys "0".."7"
inline constexpr int ToneButtonCount = 23;  // RadioButton1..RadioButton23
inline constexpr int RestButton = 23;       // the button captioned "Rest"
inline constexpr int EnabledToneCount = 15; // tone codes 1..F
inline constexpr int DurationCount = 8;     // "1/4 beat" .. "2 beat"

// The key the composer opens with: the record's key when it is 0..7, else key 0, so the tone
// buttons and note codes always have a key to count from.
int musicKeyFromRecord(std::int64_t key);

// Whether tone button n (1..23) can be chosen under key k: Rest always, the buttons k+1..k+15
// otherwise.
bool toneButtonEnabled(int key, int button);

// The octave mark drawn with a tone button's digit.
enum class TOctaveMark { DotBelow, None, DotAbove, ColonAbove, Rest };
struct TToneFace {
    char digit; // '1'..'7'; 0 for Rest
    TOctaveMark mark;
};
// Buttons 1-7 low (dot below), 8-14 middle, 15-21 high (dot above), 22 the "1" two octaves up
// (colon above), 23 Rest.
TToneFace toneFace(int button);

// The entries of the duration list (ComboBox2), index i meaning duration code i + 1; marked for
// translation in the context "editors".
const std::array<std::string_view, DurationCount>& durationNames();

// The note code of tone button `button` for duration list index `durationIndex` under key
// `key`: tone digit then duration digit ("84" for key 0, the middle 1, "1 beat"). Empty when
// the button is not enabled under the key or the duration index is outside the list.
std::string noteCode(int key, int button, int durationIndex);

// A note code in words under key `key`: the tone's solfa name with its octave ("high do",
// "rest") and the duration in beats ("1 1/4 beats"). Both are fixed English texts marked for
// translation in the context "editors", so a window can show them in its language. Nothing for
// a code that is no note (a hand-edited chart may hold one).
struct TNoteWords {
    std::string_view tone;
    std::string_view beats;
};
std::optional<TNoteWords> noteWords(int key, std::string_view code);

// The note in words joined, for the note list ("84" under key 0: "do, 1 beat"; "F1": "high do,
// 1/4 beat"; "08": "rest, 2 beats"). Empty for a code that is no note.
std::string noteName(int key, std::string_view code);

// How the robot sounds a note: the pitch of the low do (tone 1 under key 0) and the length of a
// quarter beat.
struct TMusicTuning {
    double lowDoHz = 262;
    double quarterBeatMs = 150;
};
// A note code as sound under a key: its pitch in hertz (0 for a rest) on the major scale from
// the low do in equal temperament, and its length. Nothing for a code that is no note.
struct TNoteSound {
    double hz = 0;
    int ms = 0;
    bool operator==(const TNoteSound&) const = default;
};
std::optional<TNoteSound> noteSound(int key, std::string_view code, const TMusicTuning& tuning);

// The content cut into two-character pieces, in order; an odd last character is dropped.
std::vector<std::string> notesFromContent(std::string_view content);
// The notes joined without separators.
std::string contentFromNotes(const std::vector<std::string>& notes);

// The note list (NoteListBox1) with its one selected entry (-1: none) and its editing commands.
struct TNoteList {
    std::vector<std::string> notes;
    int selected = -1;

    // Add: the code goes to the end; the selection stays where it was.
    void add(std::string code);
    // Replace: the selected entry becomes the code; false with no selection.
    bool replace(std::string code);
    // Delete: the selected entry goes and nothing is selected; false with no selection.
    bool removeSelected();
    // The arrows: the selected entry swaps with its neighbour and stays selected; false at the
    // list's end or with no selection.
    bool moveUp();
    bool moveDown();

    bool operator==(const TNoteList&) const = default;

private:
    bool hasSelection() const;
};

} // namespace editors
