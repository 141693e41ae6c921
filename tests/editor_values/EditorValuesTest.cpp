#include "editors/values/EditorValues.h"

#include "records/BlockCatalog.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

using namespace editors;

namespace {

// A record text: the header line, then the given lines, each ended by CR LF.
std::string record(std::initializer_list<std::string_view> lines) {
    std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
    for (auto line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

TEditorValues read(int type, const std::string& text) {
    TValuesResult result = valuesFromRecord(type, text);
    EXPECT_TRUE(result.error.empty()) << result.error;
    EXPECT_TRUE(result.values.has_value());
    return result.values.value_or(TEditorValues{});
}

struct TRoundTrip {
    const char* name;
    int type;
    std::string in;
    TEditorValues values;
    std::string out;
};

void PrintTo(const TRoundTrip& c, std::ostream* os) {
    *os << c.name;
}

class RecordRoundTrip : public testing::TestWithParam<TRoundTrip> {};

TEST_P(RecordRoundTrip, ReadsTheValuesAndWritesTheCanonicalRecord) {
    const TRoundTrip& c = GetParam();
    const TEditorValues values = read(c.type, c.in);
    EXPECT_EQ(values, c.values);
    EXPECT_EQ(recordFromValues(c.type, values), c.out);
}

// Every block type with an editor: the values a record gives and the record OK writes from them
// (what the dialog hands back unchanged; the dialogs' own limits are tested with the controls).
const TRoundTrip kRoundTrips[] = {
    {"Direct", 1,
     record({"<CtrlNode type=\"1\">", "  <mode>2</mode>", "  <wait>500</wait>", "</CtrlNode>"}),
     TDirectValues{2, 500},
     record({"<CtrlNode type=\"1\">", "  <mode>2</mode>", "  <wait>500</wait>", "</CtrlNode>"})},
    {"TurnChildrenInOtherOrder", 2,
     record({"<CtrlNode type=\"2\">", "  <wait>7</wait>", "  <mode>1</mode>", "</CtrlNode>"}),
     TTurnValues{1, 7},
     record({"<CtrlNode type=\"2\">", "  <mode>1</mode>", "  <wait>7</wait>", "</CtrlNode>"})},
    {"MotorOnNegative", 3,
     record({"<CtrlNode type=\"3\">", "  <motorL>-120</motorL>", "  <motorR>255</motorR>",
             "</CtrlNode>"}),
     TMotorOnValues{-120, 255},
     record({"<CtrlNode type=\"3\">", "  <motorL>-120</motorL>", "  <motorR>255</motorR>",
             "</CtrlNode>"})},
    {"MotorStopExtraChildDropped", 4,
     record({"<CtrlNode type=\"4\">", "  <mode>1</mode>", "  <extra>x</extra>", "</CtrlNode>"}),
     TMotorStopValues{1}, record({"<CtrlNode type=\"4\">", "  <mode>1</mode>", "</CtrlNode>"})},
    {"WaitMissingChildIsMinusOne", 5, record({"<CtrlNode type=\"5\"/>"}), TWaitValues{-1},
     record({"<CtrlNode type=\"5\">", "  <wait>-1</wait>", "</CtrlNode>"})},
    {"MusicKeycmdMissingReadsTrue", 6,
     record(
         {"<CtrlNode type=\"6\">", "  <key>3</key>", "  <content>8408</content>", "</CtrlNode>"}),
     TMusicValues{3, true, "8408"},
     record({"<CtrlNode type=\"6\">", "  <key>3</key>", "  <keycmd>-1</keycmd>",
             "  <content>8408</content>", "</CtrlNode>"})},
    {"MusicDefault", 6, DefaultRecord(6), TMusicValues{0, false, ""}, DefaultRecord(6)},
    {"LoopBeginNotANumber", 9,
     record({"<CtrlNode type=\"9\">", "  <times>abc</times>", "  <var>25</var>", "</CtrlNode>"}),
     TLoopBeginValues{-1, 25},
     record({"<CtrlNode type=\"9\">", "  <times>-1</times>", "  <var>25</var>", "</CtrlNode>"})},
    {"LoopEnd", 10, DefaultRecord(10), TLoopEndValues{0}, DefaultRecord(10)},
    {"LabelKeptAsStored", 11,
     record({"<CtrlNode type=\"11\">", "  <label>a&amp;b</label>", "</CtrlNode>"}),
     TLabelValues{"a&amp;b"},
     record({"<CtrlNode type=\"11\">", "  <label>a&amp;b</label>", "</CtrlNode>"})},
    {"GotoEmpty", 12, DefaultRecord(12), TGotoValues{""}, DefaultRecord(12)},
    {"GotoIfDecodedAndEncodedAgain", 13,
     record({"<CtrlNode type=\"13\">", "  <condition>A&lt;5 &amp; &quot;x&quot;&#xC4;</condition>",
             "  <label>L&apos;1</label>", "</CtrlNode>"}),
     TGotoIfValues{"A<5 & \"x\"\xC4", "L'1"},
     record({"<CtrlNode type=\"13\">", "  <condition>A&lt;5 &amp; &quot;x&quot;&#xC4;</condition>",
             "  <label>L&apos;1</label>", "</CtrlNode>"})},
    {"Led", 15, record({"<CtrlNode type=\"15\">", "  <led>6</led>", "</CtrlNode>"}), TLedValues{6},
     record({"<CtrlNode type=\"15\">", "  <led>6</led>", "</CtrlNode>"})},
    {"IoSetup", 16,
     record({"<CtrlNode type=\"16\">", "  <ddr>3</ddr>", "  <data>44</data>", "</CtrlNode>"}),
     TIoSetupValues{3, 44},
     record({"<CtrlNode type=\"16\">", "  <ddr>3</ddr>", "  <data>44</data>", "</CtrlNode>"})},
    {"IoInput", 17,
     record({"<CtrlNode type=\"17\">", "  <var>4</var>", "  <port>2</port>", "</CtrlNode>"}),
     TIoInputValues{4, 2},
     record({"<CtrlNode type=\"17\">", "  <var>4</var>", "  <port>2</port>", "</CtrlNode>"})},
    {"IoOutput", 18,
     record({"<CtrlNode type=\"18\">", "  <port>1</port>", "  <data>5</data>", "</CtrlNode>"}),
     TIoOutputValues{1, 5},
     record({"<CtrlNode type=\"18\">", "  <port>1</port>", "  <data>5</data>", "</CtrlNode>"})},
    {"ServoDefault", 19, DefaultRecord(19), TServoValues{{9, 9, 9, 9, 9}, 1}, DefaultRecord(19)},
    {"ServoPartlyMissing", 19,
     record({"<CtrlNode type=\"19\">", "  <data3>18</data3>", "  <speed>4</speed>", "</CtrlNode>"}),
     TServoValues{{-1, -1, 18, -1, -1}, 4},
     record({"<CtrlNode type=\"19\">", "  <data1>-1</data1>", "  <data2>-1</data2>",
             "  <data3>18</data3>", "  <data4>-1</data4>", "  <data5>-1</data5>",
             "  <speed>4</speed>", "</CtrlNode>"})},
    {"ExpressionDecoded", 20,
     record({"<CtrlNode type=\"20\">", "  <command>PRINT &quot;a&lt;b&quot;</command>",
             "</CtrlNode>"}),
     TExpressionValues{"PRINT \"a<b\""},
     record({"<CtrlNode type=\"20\">", "  <command>PRINT &quot;a&lt;b&quot;</command>",
             "</CtrlNode>"})},
    {"DigitalSensor", 21,
     record({"<CtrlNode type=\"21\">", "  <var>1</var>", "  <index>6</index>", "</CtrlNode>"}),
     TDigitalSensorValues{1, 6},
     record({"<CtrlNode type=\"21\">", "  <var>1</var>", "  <index>6</index>", "</CtrlNode>"})},
    {"AnalogSensorUpperCaseNames", 22,
     record({"<CtrlNode type=\"22\">", "  <VAR>2</VAR>", "  <INDEX>7</INDEX>", "</CtrlNode>"}),
     TAnalogSensorValues{2, 7},
     record({"<CtrlNode type=\"22\">", "  <var>2</var>", "  <index>7</index>", "</CtrlNode>"})},
    {"SubBegin", 23, record({"<CtrlNode type=\"23\">", "  <sub>beep</sub>", "</CtrlNode>"}),
     TSubBeginValues{"beep"},
     record({"<CtrlNode type=\"23\">", "  <sub>beep</sub>", "</CtrlNode>"})},
    {"CallSubDuplicateChildLaterWins", 25,
     record({"<CtrlNode type=\"25\">", "  <sub>one</sub>", "  <sub>two</sub>", "</CtrlNode>"}),
     TCallSubValues{"two"}, record({"<CtrlNode type=\"25\">", "  <sub>two</sub>", "</CtrlNode>"})},
    {"VoiceX", 26, record({"<CtrlNode type=\"26\">", "  <index>5</index>", "</CtrlNode>"}),
     TVoiceXValues{5}, record({"<CtrlNode type=\"26\">", "  <index>5</index>", "</CtrlNode>"})},
};

INSTANTIATE_TEST_SUITE_P(EveryBlockType, RecordRoundTrip, testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFromValues, DefaultRecordOfEveryTypeComesBackByteForByte) {
    for (const TBlockInfo& info : BlockCatalog()) {
        const TDialogKind kind = dialogKindForBlockType(info.type);
        if (!dialogEditsRecord(kind))
            continue;
        const std::string original = DefaultRecord(info.type);
        EXPECT_EQ(recordFromValues(info.type, read(info.type, original)), original)
            << "type " << info.type;
    }
}

TEST(RecordFromValues, ValuesOfAnotherDialogWriteNothing) {
    EXPECT_EQ(recordFromValues(1, TTurnValues{1, 2}), "");
    EXPECT_EQ(recordFromValues(11, TGotoValues{"x"}), "");
    EXPECT_EQ(recordFromValues(14, std::monostate{}), "");
    EXPECT_EQ(recordFromValues(7, std::monostate{}), "");
}

TEST(ValuesFromRecord, EndAndSubEndCarryNoValues) {
    for (int type : {14, 24, 7, 8, 0, 27}) {
        const TValuesResult result = valuesFromRecord(type, "not even xml <");
        ASSERT_TRUE(result.values.has_value()) << type;
        EXPECT_TRUE(std::holds_alternative<std::monostate>(*result.values)) << type;
    }
}

TEST(ValuesFromRecord, ARecordThatDoesNotParseGivesTheParsersMessageAndNoValues) {
    const TValuesResult result =
        valuesFromRecord(5, "<CtrlNode type=\"5\"><wait>1</wat></CtrlNode>");
    EXPECT_FALSE(result.values.has_value());
    EXPECT_NE(result.error.find("Erroneous end of tag"), std::string::npos) << result.error;
}

TEST(ValuesFromRecord, KeycmdReadsByTheBooleanRules) {
    auto keycmd = [](std::string_view child) {
        const std::string text = record({"<CtrlNode type=\"6\">", child, "</CtrlNode>"});
        return std::get<TMusicValues>(read(6, text)).keycmd;
    };
    EXPECT_TRUE(keycmd("<keycmd/>"));
    EXPECT_FALSE(keycmd("<keycmd>0</keycmd>"));
    EXPECT_TRUE(keycmd("<keycmd>-1</keycmd>"));
    EXPECT_TRUE(keycmd("<keycmd>True</keycmd>"));
    EXPECT_FALSE(keycmd("<keycmd>yes</keycmd>"));
}

TEST(ValuesFromRecord, EncodedTextsSurviveAnEditUnchanged) {
    // Whatever the user types into GotoIf and Expression comes back the same after OK and reopen.
    const std::string typed = "IF A<>B & C=\"\xD6\xD0\" '";
    const std::string stored = recordFromValues(20, TExpressionValues{typed});
    EXPECT_EQ(stored.find('<', stored.find("<command>") + 1), stored.find("</command>"));
    EXPECT_EQ(std::get<TExpressionValues>(read(20, stored)).command, typed);
    const std::string gotoIf = recordFromValues(13, TGotoIfValues{typed, "x&y"});
    EXPECT_EQ(std::get<TGotoIfValues>(read(13, gotoIf)), (TGotoIfValues{typed, "x&y"}));
}

TEST(DialogKind, EachBlockTypeOpensItsOwnDialog) {
    const std::pair<int, TDialogKind> table[] = {
        {1, TDialogKind::ZhiXing},   {2, TDialogKind::ZhuanXiang}, {3, TDialogKind::QiDongDJ},
        {4, TDialogKind::TingZhiDJ}, {5, TDialogKind::YanShi},     {6, TDialogKind::FaYin},
        {7, TDialogKind::None},      {8, TDialogKind::None},       {9, TDialogKind::FORBegin},
        {10, TDialogKind::FOREnd},   {11, TDialogKind::GOTOBegin}, {12, TDialogKind::GOTOEnd},
        {13, TDialogKind::GOTOIF},   {14, TDialogKind::JieShu},    {15, TDialogKind::LED},
        {16, TDialogKind::PORTDDR},  {17, TDialogKind::PORTIN},    {18, TDialogKind::PORTOUT},
        {19, TDialogKind::Servo},    {20, TDialogKind::BiaoDaShi}, {21, TDialogKind::DIN},
        {22, TDialogKind::AIN},      {23, TDialogKind::SubBegin},  {24, TDialogKind::SubEnd},
        {25, TDialogKind::GOSUB},    {26, TDialogKind::VOICEX},    {0, TDialogKind::None},
        {27, TDialogKind::None},     {-1, TDialogKind::None},
    };
    for (const auto& [type, kind] : table) {
        EXPECT_EQ(dialogKindForBlockType(type), kind) << type;
        EXPECT_EQ(dialogKindForObjectKind(KindBlockBase + type),
                  type >= 1 && type <= 26 ? kind : TDialogKind::None)
            << type;
    }
}

TEST(DialogKind, TerminalsAndMarkersOpenNothing) {
    for (int kind : {KindStartTerminal, KindEndTerminal, KindSpotMarker, 583, 584, 603, 0})
        EXPECT_EQ(dialogKindForObjectKind(kind), TDialogKind::None) << kind;
}

TEST(DialogKind, OnlyEndAndSubEndLeaveTheRecordAlone) {
    EXPECT_FALSE(dialogEditsRecord(TDialogKind::JieShu));
    EXPECT_FALSE(dialogEditsRecord(TDialogKind::SubEnd));
    EXPECT_FALSE(dialogEditsRecord(TDialogKind::None));
    EXPECT_TRUE(dialogEditsRecord(TDialogKind::FaYin));
    EXPECT_TRUE(dialogEditsRecord(TDialogKind::VOICEX));
}

TEST(RecordForEditing, AnEmptyPayloadBecomesTheDefaultRecord) {
    EXPECT_EQ(recordForEditing(19, ""), DefaultRecord(19));
    const std::string own = record({"<CtrlNode type=\"5\">", "  <wait>3</wait>", "</CtrlNode>"});
    EXPECT_EQ(recordForEditing(5, own), own);
}

TEST(EditOutcome, ResultCodesAreTheDialogsModalResults) {
    EXPECT_EQ(static_cast<int>(TEditResult::Ok), 1);
    EXPECT_EQ(static_cast<int>(TEditResult::Cancel), 2);
    EXPECT_EQ(static_cast<int>(TEditResult::Delete), 7);
}

struct TCaptionCase {
    int type;
    const char* text;
    std::optional<TBlockCaption> caption;
};

TEST(CaptionAfterEdit, NamedBlocksShowTheirNameAndGrow) {
    const TCaptionCase cases[] = {
        {11, "loop", TBlockCaption{"Label:loop", 40}},
        {11, "", TBlockCaption{"Label", 32}},
        {20, "A=A+1", TBlockCaption{"Expression:A=A+1", 40}},
        {20, "", TBlockCaption{"Expression", 32}},
        {23, "beep", TBlockCaption{"Sub Begin:beep", 40}},
        {23, "", TBlockCaption{"Sub Begin", 32}},
        {25, " x", TBlockCaption{"Call Sub: x", 40}},
        {25, "", TBlockCaption{"Call Sub", 32}},
        {26, "5", TBlockCaption{"VoiceX: 5", 40}},
        {26, "", std::nullopt},
        {12, "loop", std::nullopt},
        {13, "loop", std::nullopt},
        {1, "x", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captionAfterEdit(c.type, c.text), c.caption) << c.type << " '" << c.text << "'";
}

TEST(CaptionAfterEdit, OnlyTheFiveNamedTypesLayTheChartOutAgain) {
    for (int type = 0; type <= 27; ++type) {
        const bool expected = type == 11 || type == 20 || type == 23 || type == 25 || type == 26;
        EXPECT_EQ(editChangesCaption(type), expected) << type;
    }
}

TEST(CaptionAfterEdit, TheCaptionUsesTheTextAsTypedNotTheStoredForm) {
    const TEditorValues values =
        read(20, record({"<CtrlNode type=\"20\">", "  <command>a&lt;b</command>", "</CtrlNode>"}));
    EXPECT_EQ(captionTextOf(values), "a<b");
    EXPECT_EQ(captionTextOf(TLabelValues{"L1"}), "L1");
    EXPECT_EQ(captionTextOf(TSubBeginValues{"s"}), "s");
    EXPECT_EQ(captionTextOf(TCallSubValues{"c"}), "c");
    EXPECT_EQ(captionTextOf(TGotoValues{"g"}), "");
    EXPECT_EQ(captionTextOf(TVoiceXValues{3}), "");
}

} // namespace
