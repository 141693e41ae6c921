// The block catalogue, the palette groups and the default record of every type.
#include "records/BlockCatalog.h"

#include "records/SimpleXML.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

struct RecordCase {
    int type;
    std::vector<std::string> lines; // the lines after the header line
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << "type " << c.type;
}

class DefaultRecordOfType : public testing::TestWithParam<RecordCase> {};

TEST_P(DefaultRecordOfType, IsTheExactText) {
    std::string expected = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
    for (const std::string& line : GetParam().lines)
        expected += line + "\r\n";
    EXPECT_EQ(DefaultRecord(GetParam().type), expected);
    EXPECT_EQ(DefaultRecord(GetParam().type), DefaultRecord(GetParam().type));
}

std::string open(int type) {
    return "<CtrlNode type=\"" + std::to_string(type) + "\">";
}
const std::string kClose = "</CtrlNode>";

INSTANTIATE_TEST_SUITE_P(
    AllTypes, DefaultRecordOfType,
    testing::Values(
        RecordCase{1, {open(1), "  <mode>0</mode>", "  <wait>0</wait>", kClose}},
        RecordCase{2, {open(2), "  <mode>0</mode>", "  <wait>0</wait>", kClose}},
        RecordCase{3, {open(3), "  <motorL>0</motorL>", "  <motorR>0</motorR>", kClose}},
        RecordCase{4, {open(4), "  <mode>0</mode>", kClose}},
        RecordCase{5, {open(5), "  <wait>0</wait>", kClose}},
        RecordCase{6, {open(6), "  <key>0</key>", "  <keycmd>0</keycmd>", "  <content/>", kClose}},
        RecordCase{9, {open(9), "  <times>1</times>", "  <var>0</var>", kClose}},
        RecordCase{10, {open(10), "  <var>0</var>", kClose}},
        RecordCase{11, {open(11), "  <label/>", kClose}},
        RecordCase{12, {open(12), "  <label/>", kClose}},
        RecordCase{13, {open(13), "  <condition/>", "  <label/>", kClose}},
        RecordCase{14, {"<CtrlNode type=\"14\"/>"}},
        RecordCase{15, {open(15), "  <led>7</led>", kClose}},
        RecordCase{16, {open(16), "  <ddr>0</ddr>", "  <data>0</data>", kClose}},
        RecordCase{17, {open(17), "  <var>0</var>", "  <port>0</port>", kClose}},
        RecordCase{18, {open(18), "  <port>0</port>", "  <data>0</data>", kClose}},
        RecordCase{19,
                   {open(19), "  <data1>9</data1>", "  <data2>9</data2>", "  <data3>9</data3>",
                    "  <data4>9</data4>", "  <data5>9</data5>", "  <speed>1</speed>", kClose}},
        RecordCase{20, {open(20), "  <command/>", kClose}},
        RecordCase{21, {open(21), "  <var>0</var>", "  <index>0</index>", kClose}},
        RecordCase{22, {open(22), "  <var>0</var>", "  <index>0</index>", kClose}},
        RecordCase{23, {open(23), "  <sub/>", kClose}}, RecordCase{24, {"<CtrlNode type=\"24\"/>"}},
        RecordCase{25, {open(25), "  <sub/>", kClose}},
        RecordCase{26, {open(26), "  <index>0</index>", kClose}}),
    [](const testing::TestParamInfo<RecordCase>& info) {
        return "Type" + std::to_string(info.param.type);
    });

TEST(BlockCatalog, UnassignedAndOutOfRangeTypesHaveNoRow) {
    for (const int type : {7, 8, 0, -1, 27, 576, 1000}) {
        EXPECT_EQ(FindBlockInfo(type), nullptr) << type;
        EXPECT_FALSE(IsBlockType(type)) << type;
        EXPECT_EQ(DefaultRecord(type), "") << type;
    }
}

TEST(BlockCatalog, RowsForEveryAssignedType) {
    struct Row {
        int type;
        const char* caption;
        int group;
        int picture;
    };
    const Row rows[] = {
        {1, "Direct", 1, 0},
        {2, "Turn", 1, 1},
        {3, "Motor On", 1, 2},
        {4, "Motor Stop", 1, 3},
        {5, "Wait", 1, 4},
        {6, "Music", 1, 5},
        {9, "Loop Begin", 3, 14},
        {10, "Loop End", 3, 15},
        {11, "Label", 3, 16},
        {12, "Goto", 3, 17},
        {13, "GotoIf", 3, 11},
        {14, "End", 4, 13},
        {15, "LED", 1, 18},
        {16, "IO Setup", 2, 21},
        {17, "IO Input", 2, 20},
        {18, "IO Output", 2, 19},
        {19, "Servo", 1, 23},
        {20, "Expression", 1, 22},
        {21, "Digital Sensor", 2, 24},
        {22, "Analog Sensor", 2, 25},
        {23, "Sub Begin", 3, 26},
        {24, "Sub End", 3, 27},
        {25, "Call Sub", 3, 28},
        {26, "VoiceX", 1, 29},
    };
    ASSERT_EQ(BlockCatalog().size(), std::size(rows));
    for (const Row& row : rows) {
        const TBlockInfo* info = FindBlockInfo(row.type);
        ASSERT_NE(info, nullptr) << row.type;
        EXPECT_EQ(info->type, row.type);
        EXPECT_EQ(info->caption, row.caption);
        EXPECT_EQ(info->group, row.group) << row.caption;
        EXPECT_EQ(info->paletteImage, row.picture) << row.caption;
        EXPECT_EQ(info->kind, 576 + row.type);
        EXPECT_EQ(info->imageIndex(), row.type - 1);
        EXPECT_EQ(BlockTypeOfKind(info->kind), row.type);
    }
}

TEST(BlockCatalog, KindsOfUnassignedTypesAndTerminalsAreNoBlocks) {
    EXPECT_EQ(BlockTypeOfKind(583), 0);
    EXPECT_EQ(BlockTypeOfKind(584), 0);
    EXPECT_EQ(BlockTypeOfKind(KindStartTerminal), 0);
    EXPECT_EQ(BlockTypeOfKind(KindEndTerminal), 0);
    EXPECT_EQ(BlockTypeOfKind(KindSpotMarker), 0);
    EXPECT_EQ(BlockTypeOfKind(576), 0);
    EXPECT_EQ(BlockTypeOfKind(603), 0);
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
        EXPECT_EQ(root.Properties().AttributeInt("type", -1), info.type);
        ASSERT_EQ(root.Items().Count(), static_cast<int>(info.fields.size())) << info.type;
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
