#include "editors/values/ControlRules.h"

#include <gtest/gtest.h>
#include <string>

using namespace editors;

namespace {

TEST(SliderValue, IsLimitedToTheSlidersRange) {
    EXPECT_EQ(clampToRange(-1, LengthMin, LengthMax), 0);
    EXPECT_EQ(clampToRange(40000, LengthMin, LengthMax), 32767);
    EXPECT_EQ(clampToRange(-300, MotorMin, MotorMax), -255);
    EXPECT_EQ(clampToRange(-120, MotorMin, MotorMax), -120);
    EXPECT_EQ(clampToRange(INT64_MIN, MotorMin, MotorMax), -255);
    EXPECT_EQ(clampToRange(INT64_MAX, LengthMin, LengthMax), 32767);
}

TEST(RadioGroupValue, MinusOneSelectsNothingAndLargeValuesTheLastButton) {
    EXPECT_EQ(radioIndexFromValue(-1, 4), -1);
    EXPECT_EQ(radioIndexFromValue(-7, 4), -1);
    EXPECT_EQ(radioIndexFromValue(0, 4), 0);
    EXPECT_EQ(radioIndexFromValue(3, 4), 3);
    EXPECT_EQ(radioIndexFromValue(4, 4), 3);
    EXPECT_EQ(radioIndexFromValue(99999999999, 2), 1);
}

TEST(ListValue, AnythingOutsideTheEntriesSelectsNothing) {
    EXPECT_EQ(listIndexFromValue(-1, 26), -1);
    EXPECT_EQ(listIndexFromValue(0, 26), 0);
    EXPECT_EQ(listIndexFromValue(25, 26), 25);
    EXPECT_EQ(listIndexFromValue(26, 26), -1);
    EXPECT_EQ(listIndexFromValue(4294967296 + 1, 26), -1);
}

TEST(NumberBoxTyping, TakesDigitsAndOneSignOfEachKind) {
    EXPECT_TRUE(numberBoxAccepts('0', ""));
    EXPECT_TRUE(numberBoxAccepts('9', "123"));
    EXPECT_TRUE(numberBoxAccepts('-', "12"));
    EXPECT_FALSE(numberBoxAccepts('-', "-12"));
    EXPECT_TRUE(numberBoxAccepts('+', "-12"));
    EXPECT_FALSE(numberBoxAccepts('+', "+1"));
    for (char c : std::string("aZ .,e\t/*x"))
        EXPECT_FALSE(numberBoxAccepts(c, "")) << c;
}

TEST(NumberBoxTyping, PastedTextIsFilteredAsIfTypedCharByChar) {
    EXPECT_EQ(numberBoxFilter("", "-12a3-4"), "-1234");
    EXPECT_EQ(numberBoxFilter("-", "--5+6+"), "5+6");
    EXPECT_EQ(numberBoxFilter("", "1 000"), "1000");
    EXPECT_EQ(numberBoxFilter("12", "abc"), "");
}

TEST(NumberBoxValue, ReadsADecimalIntegerOrZero) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {"", 0},
        {"5-", 0},
        {"-", 0},
        {"+", 0},
        {"-120", -120},
        {"+42", 42},
        {"007", 7},
        {"+-1", 0},
        {"1+", 0},
        {"32768", 32768},
        {"99999999999999999999999", INT64_MAX},
        {"-99999999999999999999999", INT64_MIN},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(numberBoxTextValue(text), value) << '"' << text << '"';
}

TEST(NumberBoxValue, SettlesWithinItsLimits) {
    EXPECT_EQ(numberBoxSettle("40000", LengthMin, LengthMax), 32767);
    EXPECT_EQ(numberBoxSettle("99999999999", LengthMin, LengthMax), 32767);
    EXPECT_EQ(numberBoxSettle("0", TimesMin, TimesMax), 1);
    EXPECT_EQ(numberBoxSettle("", TimesMin, TimesMax), 1);
    EXPECT_EQ(numberBoxSettle("-120", MotorMin, MotorMax), -120);
    EXPECT_EQ(numberBoxSettle("-256", MotorMin, MotorMax), -255);
    EXPECT_EQ(numberBoxSettle("5-", MotorMin, MotorMax), 0);
}

struct TLampCase {
    std::int64_t value;
    std::array<bool, 3> lit; // PB0, PB1, PB2
    int written;
};

TEST(LedLamps, ALitLampIsAZeroBit) {
    const TLampCase cases[] = {
        {7, {false, false, false}, 7},  {0, {true, true, true}, 0},
        {6, {true, false, false}, 6},   {1, {false, true, true}, 1},
        {-1, {false, false, false}, 7}, {13, {false, true, false}, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lampsFromValue(c.value), c.lit) << c.value;
        EXPECT_EQ(valueFromLamps(lampsFromValue(c.value)), c.written) << c.value;
    }
}

TEST(LedLamps, LightingPB1OfSixWritesFour) {
    std::array<bool, 3> lit = lampsFromValue(6);
    lit[1] = !lit[1];
    EXPECT_EQ(valueFromLamps(lit), 4);
}

TEST(PortBitRows, RowIIsTickedExactlyWhenBitIIsSet) {
    EXPECT_EQ(bitsFromValue(5),
              (std::array<bool, 8>{true, false, true, false, false, false, false, false}));
    EXPECT_EQ(valueFromBits(bitsFromValue(5)), 5);
    // 300 = 256 + 44: bits above 7 are dropped.
    EXPECT_EQ(bitsFromValue(300),
              (std::array<bool, 8>{false, false, true, true, false, true, false, false}));
    EXPECT_EQ(valueFromBits(bitsFromValue(300)), 44);
    // A missing value (-1) ticks all eight; OK then writes 255.
    EXPECT_EQ(valueFromBits(bitsFromValue(-1)), 255);
    EXPECT_EQ(valueFromBits(bitsFromValue(0)), 0);
    EXPECT_EQ(valueFromBits(bitsFromValue(128)), 128);
}

TEST(PortBitRows, RowTextsFollowTheTick) {
    EXPECT_EQ(bitRowTexts(TPortDialog::IoSetup, true).value, "1");
    EXPECT_EQ(bitRowTexts(TPortDialog::IoSetup, true).desc, "Output");
    EXPECT_EQ(bitRowTexts(TPortDialog::IoSetup, false).value, "0");
    EXPECT_EQ(bitRowTexts(TPortDialog::IoSetup, false).desc, "Input");
    EXPECT_EQ(bitRowTexts(TPortDialog::IoOutput, true).desc, "High Level");
    EXPECT_EQ(bitRowTexts(TPortDialog::IoOutput, false).desc, "Low Level");
}

TEST(ServoSliders, PositionsAndSpeedAreClampedToTheirRanges) {
    EXPECT_EQ(clampToRange(-1, ServoMin, ServoMax), 0);
    EXPECT_EQ(clampToRange(25, ServoMin, ServoMax), 18);
    EXPECT_EQ(clampToRange(9, ServoMin, ServoMax), 9);
    EXPECT_EQ(clampToRange(-1, ServoSpeedMin, ServoSpeedMax), 1);
    EXPECT_EQ(clampToRange(0, ServoSpeedMin, ServoSpeedMax), 1);
    EXPECT_EQ(clampToRange(6, ServoSpeedMin, ServoSpeedMax), 5);
}

} // namespace
