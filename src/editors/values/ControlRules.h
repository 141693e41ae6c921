// The little rules of the editor controls, kept apart from the widgets so they are tested
// without a window: how a record integer lands in a slider, radio group or list, how a number
// box filters and reads its text, and how the LED lamps, port bit rows and servo sliders turn
// into the record's integers and back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace editors {

// A slider position: the value limited to lo..hi.
int clampToRange(std::int64_t value, int lo, int hi);

// A radio group of `count` buttons: -1 (none) for a negative value, the last button for a value
// above it.
int radioIndexFromValue(std::int64_t value, int count);

// A drop-down list of `count` entries: the value when it is an entry's index, else -1 (none).
int listIndexFromValue(std::int64_t value, int count);

// Number box (ValidateEdit): whether a typed character is taken, given the text it goes into.
// Digits always; "+" only while the text holds no "+", "-" only while it holds no "-".
bool numberBoxAccepts(char c, std::string_view current);
// Pasted text filtered character by character, as if typed one after the other.
std::string numberBoxFilter(std::string_view current, std::string_view inserted);
// The text read as a decimal integer (an optional sign, then digits): 0 when it is not one,
// for example "" or "5-". Numbers too long for 64 bits saturate.
std::int64_t numberBoxTextValue(std::string_view text);
// The value a number box settles on when it is left or set: the text's value limited to lo..hi.
int numberBoxSettle(std::string_view text, int lo, int hi);

// The number box limits of the dialogs.
inline constexpr int LengthMin = 0, LengthMax = 32767; // Direct, Turn, Wait
// The sliders cover what a pupil enters (a metre, a whole turn, ten seconds); the number box
// beside each still takes the whole range, and the slider then rests at its end.
inline constexpr int DriveSliderMax = 1000, TurnSliderMax = 360, WaitSliderMax = 1000;
inline constexpr int MotorMin = -255, MotorMax = 255; // Motor On
inline constexpr int TimesMin = 1, TimesMax = 32767;  // Loop Begin
inline constexpr int ServoMin = 0, ServoMax = 18;     // Servo #1..#5
inline constexpr int ServoSpeedMin = 1, ServoSpeedMax = 5;

// LED lamps, indexed by bit: lit[n] is lamp PBn. A lamp is lit when its bit is 0; bits above 2
// are ignored, so -1 (a missing value) shows all three dark.
std::array<bool, 3> lampsFromValue(std::int64_t value);
// Bit n is 1 when lamp PBn is dark; the result lies in 0..7.
int valueFromLamps(const std::array<bool, 3>& lit);

// Port bit rows, indexed by bit: row i is ticked when bit i of the value is 1; bits above 7
// are ignored, so -1 ticks all eight.
std::array<bool, 8> bitsFromValue(std::int64_t value);
// The sum of 2^i over the ticked rows, 0..255.
int valueFromBits(const std::array<bool, 8>& ticked);

enum class TPortDialog { IoSetup, IoOutput };
// The Value and Desc texts of a bit row: "1"/"Output" or "0"/"Input" for IO Setup, "1"/"High
// Level" or "0"/"Low Level" for IO Output. The descriptions are marked for translation in the
// context "editors".
struct TBitRowTexts {
    std::string_view value;
    std::string_view desc;
};
TBitRowTexts bitRowTexts(TPortDialog dialog, bool ticked);

} // namespace editors
