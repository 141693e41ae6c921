// Block types and their numbers in files and records; the caption of named blocks.
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <ostream>
#include <set>
#include <string>

namespace {

using B = BlockType;

TEST(BlockTypeNumber, EveryNumberInAndAroundTheRangeConvertsOrIsRejected) {
    struct Case {
        std::int64_t number;
        std::optional<BlockType> type;
    };
    const Case cases[] = {
        {1, B::Direct},
        {2, B::Turn},
        {3, B::MotorOn},
        {4, B::MotorStop},
        {5, B::Wait},
        {6, B::Music},
        {7, std::nullopt},
        {8, std::nullopt},
        {9, B::LoopBegin},
        {10, B::LoopEnd},
        {11, B::Label},
        {12, B::Goto},
        {13, B::GotoIf},
        {14, B::End},
        {15, B::Led},
        {16, B::IoSetup},
        {17, B::IoInput},
        {18, B::IoOutput},
        {19, B::Servo},
        {20, B::Expression},
        {21, B::DigitalSensor},
        {22, B::AnalogSensor},
        {23, B::SubBegin},
        {24, B::SubEnd},
        {25, B::CallSub},
        {26, B::VoiceX},
        {0, std::nullopt},
        {27, std::nullopt},
        {-1, std::nullopt},
        {577, std::nullopt}, // an object kind is not a type
        // Numbers a record may hold that would alias a type if cut to 32 bits.
        {(std::int64_t{1} << 32) + 1, std::nullopt},
        {-(std::int64_t{1} << 32) + 11, std::nullopt},
        {std::numeric_limits<std::int64_t>::min(), std::nullopt},
        {std::numeric_limits<std::int64_t>::max(), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BlockTypeFrom(c.number), c.type) << c.number;
        if (c.type) {
            EXPECT_EQ(ToInt(*c.type), c.number);
        }
    }
}

TEST(BlockTypeNumber, EveryRowConvertsBothWays) {
    std::set<int> numbers;
    for (const TBlockInfo& info : BlockCatalog()) {
        const int number = ToInt(info.type);
        EXPECT_TRUE(numbers.insert(number).second) << "two rows for " << number;
        EXPECT_EQ(BlockTypeFrom(number), info.type) << number;
        EXPECT_EQ(&BlockInfo(info.type), &info) << number;
        EXPECT_EQ(BlockTypeOfKind(KindBlockBase + number), info.type) << number;
    }
    EXPECT_EQ(numbers.size(), 24u);
}

TEST(BlockCaption, TheHeightsOfABlock) {
    EXPECT_EQ(BlockHeight, 32);
    EXPECT_EQ(NamedBlockHeight, 40);
    EXPECT_EQ(TBlockCaption{}.height, 32); // a caption without a name
}

struct CaptionCase {
    BlockType type;
    std::string name;
    std::optional<TBlockCaption> caption;
};

void PrintTo(const CaptionCase& c, std::ostream* os) {
    *os << "type " << ToInt(c.type) << " name '" << c.name << "'";
}

class NamedCaptionOf : public testing::TestWithParam<CaptionCase> {};

TEST_P(NamedCaptionOf, IsTheWordAndTheNameAtItsHeight) {
    const CaptionCase& c = GetParam();
    EXPECT_EQ(NamedCaption(c.type, c.name), c.caption);
}

// Every named type with a name and without one, names kept exactly as given, and types with a
// name-like child that still keep their word.
INSTANTIATE_TEST_SUITE_P(
    Table, NamedCaptionOf,
    testing::Values(
        CaptionCase{B::Label, "loop", TBlockCaption{"Label:loop", 40}},
        CaptionCase{B::Label, "", TBlockCaption{"Label", 32}},
        CaptionCase{B::Label, "a&amp;b", TBlockCaption{"Label:a&amp;b", 40}},
        CaptionCase{B::Expression, "A=A+1", TBlockCaption{"Expression:A=A+1", 40}},
        CaptionCase{B::Expression, "", TBlockCaption{"Expression", 32}},
        CaptionCase{B::SubBegin, "beep", TBlockCaption{"Sub Begin:beep", 40}},
        CaptionCase{B::SubBegin, "", TBlockCaption{"Sub Begin", 32}},
        CaptionCase{B::CallSub, " x", TBlockCaption{"Call Sub: x", 40}},
        CaptionCase{B::CallSub, "", TBlockCaption{"Call Sub", 32}},
        CaptionCase{B::VoiceX, "hello", TBlockCaption{"VoiceX: hello", 40}},
        CaptionCase{B::VoiceX, "-1", TBlockCaption{"VoiceX: -1", 40}},
        CaptionCase{B::VoiceX, "\xC4\xE3", TBlockCaption{"VoiceX: \xC4\xE3", 40}},
        CaptionCase{B::VoiceX, "", std::nullopt}, CaptionCase{B::Goto, "loop", std::nullopt},
        CaptionCase{B::Goto, "", std::nullopt}, CaptionCase{B::GotoIf, "A>1", std::nullopt},
        CaptionCase{B::Direct, "x", std::nullopt}, CaptionCase{B::End, "", std::nullopt}),
    [](const testing::TestParamInfo<CaptionCase>& info) {
        return "Type" + std::to_string(ToInt(info.param.type)) +
               (info.param.name.empty() ? "Empty" : "Named") + std::to_string(info.index);
    });

TEST(BlockCaption, OnlyTheFiveNamedTypesReadTheirNameFromTheRecord) {
    struct Named {
        TCaptionName from;
        const char* child;
    };
    const std::pair<BlockType, Named> named[] = {
        {B::Label, {TCaptionName::Text, "label"}},
        {B::Expression, {TCaptionName::Text, "command"}},
        {B::SubBegin, {TCaptionName::Text, "sub"}},
        {B::CallSub, {TCaptionName::Text, "sub"}},
        {B::VoiceX, {TCaptionName::Phrase, "index"}},
    };
    int namedRows = 0;
    for (const TBlockInfo& info : BlockCatalog()) {
        const Named* expected = nullptr;
        for (const auto& [type, n] : named)
            if (type == info.type)
                expected = &n;
        const int number = ToInt(info.type);
        EXPECT_EQ(HasNamedCaption(info.type), expected != nullptr) << number;
        if (!expected) {
            EXPECT_EQ(info.captionName, TCaptionName::None) << number;
            EXPECT_EQ(info.nameChild, "") << number;
            // The caption of a type without a name never changes, whatever name is given.
            EXPECT_EQ(NamedCaption(info.type, "x"), std::nullopt) << number;
            continue;
        }
        ++namedRows;
        EXPECT_EQ(info.captionName, expected->from) << number;
        EXPECT_EQ(info.nameChild, expected->child) << number;
        // The child is one the type's default record has.
        TSimpleXML record;
        record.LoadFromText(DefaultRecord(info.type));
        EXPECT_NE(record.Root().Items().FindChild(info.nameChild), nullptr) << number;
        // The word of a named caption is the palette caption.
        ASSERT_TRUE(NamedCaption(info.type, "n").has_value()) << number;
        EXPECT_EQ(NamedCaption(info.type, "n")->text.rfind(info.caption, 0), 0u) << number;
    }
    EXPECT_EQ(namedRows, 5);
}

} // namespace
