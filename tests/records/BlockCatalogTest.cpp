// The block catalogue, the palette groups and the default record of every type.
#include "records/BlockCatalog.h"

#include "records/SimpleXML.h"

#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using B = BlockType;

struct RecordCase {
    BlockType type;
    std::vector<std::string> lines; // the lines after the header line
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << "type " << ToInt(c.type);
}

class DefaultRecordOfType : public testing::TestWithParam<RecordCase> {};

TEST_P(DefaultRecordOfType, IsTheExactText) {
    const BlockType type = GetParam().type;
    std::string expected = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
    for (const std::string& line : GetParam().lines)
        expected += line + "\r\n";
    EXPECT_EQ(DefaultRecord(type), expected);
    // The same bytes by number, as the command line and the chart ask for them.
    EXPECT_EQ(DefaultRecord(ToInt(type)), expected);
    // Nothing of a record made before, here the one with the most children, is left over.
    ASSERT_NE(DefaultRecord(B::Servo), "");
    EXPECT_EQ(DefaultRecord(type), expected);
}

std::string open(int type) {
    return "<CtrlNode type=\"" + std::to_string(type) + "\">";
}
const std::string kClose = "</CtrlNode>";

INSTANTIATE_TEST_SUITE_P(
    AllTypes, DefaultRecordOfType,
    testing::Values(
        RecordCase{B::Direct, {open(1), "  <mode>0</mode>", "  <wait>0</wait>", kClose}},
        RecordCase{B::Turn, {open(2), "  <mode>0</mode>", "  <wait>0</wait>", kClose}},
        RecordCase{B::MotorOn, {open(3), "  <motorL>0</motorL>", "  <motorR>0</motorR>", kClose}},
        RecordCase{B::MotorStop, {open(4), "  <mode>0</mode>", kClose}},
        RecordCase{B::Wait, {open(5), "  <wait>0</wait>", kClose}},
        RecordCase{B::Music,
                   {open(6), "  <key>0</key>", "  <keycmd>0</keycmd>", "  <content/>", kClose}},
        RecordCase{B::LoopBegin, {open(9), "  <times>1</times>", "  <var>0</var>", kClose}},
        RecordCase{B::LoopEnd, {open(10), "  <var>0</var>", kClose}},
        RecordCase{B::Label, {open(11), "  <label/>", kClose}},
        RecordCase{B::Goto, {open(12), "  <label/>", kClose}},
        RecordCase{B::GotoIf, {open(13), "  <condition/>", "  <label/>", kClose}},
        RecordCase{B::End, {"<CtrlNode type=\"14\"/>"}},
        RecordCase{B::Led, {open(15), "  <led>7</led>", kClose}},
        RecordCase{B::IoSetup, {open(16), "  <ddr>0</ddr>", "  <data>0</data>", kClose}},
        RecordCase{B::IoInput, {open(17), "  <var>0</var>", "  <port>0</port>", kClose}},
        RecordCase{B::IoOutput, {open(18), "  <port>0</port>", "  <data>0</data>", kClose}},
        RecordCase{B::Servo,
                   {open(19), "  <data1>9</data1>", "  <data2>9</data2>", "  <data3>9</data3>",
                    "  <data4>9</data4>", "  <data5>9</data5>", "  <speed>1</speed>", kClose}},
        RecordCase{B::Expression, {open(20), "  <command/>", kClose}},
        RecordCase{B::DigitalSensor, {open(21), "  <var>0</var>", "  <index>0</index>", kClose}},
        RecordCase{B::AnalogSensor, {open(22), "  <var>0</var>", "  <index>0</index>", kClose}},
        RecordCase{B::SubBegin, {open(23), "  <sub/>", kClose}},
        RecordCase{B::SubEnd, {"<CtrlNode type=\"24\"/>"}},
        RecordCase{B::CallSub, {open(25), "  <sub/>", kClose}},
        RecordCase{B::VoiceX, {open(26), "  <index>0</index>", kClose}}),
    [](const testing::TestParamInfo<RecordCase>& info) {
        return "Type" + std::to_string(ToInt(info.param.type));
    });

TEST(BlockCatalog, UnassignedAndOutOfRangeTypesHaveNoRow) {
    for (const int type : {7, 8, 0, -1, 27, 576, 1000}) {
        EXPECT_EQ(BlockTypeFrom(type), std::nullopt) << type;
        EXPECT_EQ(FindBlockInfo(type), nullptr) << type;
        EXPECT_FALSE(IsBlockType(type)) << type;
        EXPECT_EQ(DefaultRecord(type), "") << type;
    }
}

TEST(BlockCatalog, RowsForEveryAssignedType) {
    struct Row {
        BlockType type;
        int number; // in files and records
        const char* caption;
        int group;
        int picture;
    };
    const Row rows[] = {
        {B::Direct, 1, "Direct", 1, 0},
        {B::Turn, 2, "Turn", 1, 1},
        {B::MotorOn, 3, "Motor On", 1, 2},
        {B::MotorStop, 4, "Motor Stop", 1, 3},
        {B::Wait, 5, "Wait", 1, 4},
        {B::Music, 6, "Music", 1, 5},
        {B::LoopBegin, 9, "Loop Begin", 3, 14},
        {B::LoopEnd, 10, "Loop End", 3, 15},
        {B::Label, 11, "Label", 3, 16},
        {B::Goto, 12, "Goto", 3, 17},
        {B::GotoIf, 13, "GotoIf", 3, 11},
        {B::End, 14, "End", 4, 13},
        {B::Led, 15, "LED", 1, 18},
        {B::IoSetup, 16, "IO Setup", 2, 21},
        {B::IoInput, 17, "IO Input", 2, 20},
        {B::IoOutput, 18, "IO Output", 2, 19},
        {B::Servo, 19, "Servo", 1, 23},
        {B::Expression, 20, "Expression", 1, 22},
        {B::DigitalSensor, 21, "Digital Sensor", 2, 24},
        {B::AnalogSensor, 22, "Analog Sensor", 2, 25},
        {B::SubBegin, 23, "Sub Begin", 3, 26},
        {B::SubEnd, 24, "Sub End", 3, 27},
        {B::CallSub, 25, "Call Sub", 3, 28},
        {B::VoiceX, 26, "VoiceX", 1, 29},
    };
    ASSERT_EQ(BlockCatalog().size(), std::size(rows));
    for (const Row& row : rows) {
        EXPECT_EQ(ToInt(row.type), row.number) << row.caption;
        EXPECT_EQ(BlockTypeFrom(row.number), row.type) << row.caption;
        const TBlockInfo* info = FindBlockInfo(row.number);
        ASSERT_NE(info, nullptr) << row.number;
        EXPECT_EQ(info, &BlockInfo(row.type)) << row.caption;
        EXPECT_EQ(info->type, row.type) << row.caption;
        EXPECT_EQ(info->caption, row.caption);
        EXPECT_EQ(info->group, row.group) << row.caption;
        EXPECT_EQ(info->paletteImage, row.picture) << row.caption;
        EXPECT_EQ(info->kind, 576 + row.number);
        EXPECT_EQ(info->imageIndex(), row.number - 1);
        EXPECT_EQ(BlockTypeOfKind(info->kind), row.type) << row.caption;
    }
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(BlockCatalog()[i].type, rows[i].type) << "row " << i;
}

TEST(BlockCatalog, KindsOfUnassignedTypesAndTerminalsAreNoBlocks) {
    for (const int kind :
         {583, 584, KindStartTerminal, KindEndTerminal, KindSpotMarker, 576, 603, 575, 0, -576})
        EXPECT_EQ(BlockTypeOfKind(kind), std::nullopt) << kind;
}

TEST(BlockCatalog, PaletteGroupsInOrderWithTheirItems) {
    struct Group {
        const char* caption;
        std::vector<int> items;
    };
    const Group groups[] = {
        {"Executable Mod", {1, 2, 3, 4, 5, 6, 15, 19, 20, 26}},
        {"Sensor Mod", {16, 17, 18, 21, 22}},
        {"Control Mod", {9, 10, 11, 12, 13, 23, 24, 25}},
        {"Program Mod", {14}},
    };
    ASSERT_EQ(PaletteGroups().size(), 4u);
    std::set<int> seen;
    for (std::size_t g = 0; g < 4; ++g) {
        const TPaletteGroup& group = PaletteGroups()[g];
        EXPECT_EQ(group.number, static_cast<int>(g) + 1);
        EXPECT_EQ(group.caption, groups[g].caption);
        EXPECT_EQ(std::vector<int>(group.items.begin(), group.items.end()), groups[g].items);
        for (const int type : group.items) {
            EXPECT_TRUE(seen.insert(type).second) << "listed twice: " << type;
            EXPECT_EQ(FindBlockInfo(type)->group, group.number) << type;
        }
    }
    EXPECT_EQ(seen.size(), BlockCatalog().size());
}

TEST(BlockCatalog, DefaultRecordsReadBackToTheirFields) {
    for (const TBlockInfo& info : BlockCatalog()) {
        TSimpleXML doc;
        doc.LoadFromText(DefaultRecord(info.type));
        const TSimpleXMLElem& root = doc.Root();
        EXPECT_EQ(root.Name(), "CtrlNode");
        ASSERT_EQ(root.Properties().Count(), 1);
        EXPECT_EQ(root.Properties().AttributeInt("type", -1), ToInt(info.type));
        ASSERT_EQ(root.Items().Count(), static_cast<int>(info.fields.size())) << ToInt(info.type);
        for (std::size_t i = 0; i < info.fields.size(); ++i) {
            const TRecordField& field = info.fields[i];
            const TSimpleXMLElem* child = root.Items().ItemAt(static_cast<int>(i));
            EXPECT_EQ(child->Name(), field.name);
            switch (field.kind) {
            case TRecordValueKind::Integer:
                EXPECT_EQ(child->IntValue(0), field.defaultValue) << field.name;
                break;
            case TRecordValueKind::Boolean:
                EXPECT_EQ(child->Value, "0") << field.name;
                break;
            case TRecordValueKind::Text:
                EXPECT_EQ(child->Value, "") << field.name;
                break;
            }
        }
    }
}

} // namespace
