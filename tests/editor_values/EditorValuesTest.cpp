#include "editors/values/EditorValues.h"

#include "records/BlockCatalog.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <set>
#include <string>

using namespace editors;

namespace {

using B = BlockType;

// A record text: the header line, then the given lines, each ended by CR LF.
std::string record(std::initializer_list<std::string_view> lines) {
    std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
    for (auto line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

TEditorValues read(BlockType type, const std::string& text) {
    TValuesResult result = valuesFromRecord(type, text);
    EXPECT_TRUE(result.error.empty()) << result.error;
    EXPECT_TRUE(result.values.has_value());
    return result.values.value_or(TEditorValues{});
}

struct TRoundTrip {
    const char* name;
    BlockType type;
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
    {"Direct", B::Direct,
     record({"<CtrlNode type=\"1\">", "  <mode>2</mode>", "  <wait>500</wait>", "</CtrlNode>"}),
     TDirectValues{2, 500},
     record({"<CtrlNode type=\"1\">", "  <mode>2</mode>", "  <wait>500</wait>", "</CtrlNode>"})},
    {"TurnChildrenInOtherOrder", B::Turn,
     record({"<CtrlNode type=\"2\">", "  <wait>7</wait>", "  <mode>1</mode>", "</CtrlNode>"}),
     TTurnValues{1, 7},
     record({"<CtrlNode type=\"2\">", "  <mode>1</mode>", "  <wait>7</wait>", "</CtrlNode>"})},
    {"MotorOnNegative", B::MotorOn,
     record({"<CtrlNode type=\"3\">", "  <motorL>-120</motorL>", "  <motorR>255</motorR>",
             "</CtrlNode>"}),
     TMotorOnValues{-120, 255},
     record({"<CtrlNode type=\"3\">", "  <motorL>-120</motorL>", "  <motorR>255</motorR>",
             "</CtrlNode>"})},
    {"MotorStopExtraChildDropped", B::MotorStop,
     record({"<CtrlNode type=\"4\">", "  <mode>1</mode>", "  <extra>x</extra>", "</CtrlNode>"}),
     TMotorStopValues{1}, record({"<CtrlNode type=\"4\">", "  <mode>1</mode>", "</CtrlNode>"})},
    {"WaitMissingChildIsMinusOne", B::Wait, record({"<CtrlNode type=\"5\"/>"}), TWaitValues{-1},
     record({"<CtrlNode type=\"5\">", "  <wait>-1</wait>", "</CtrlNode>"})},
    {"MusicKeycmdMissingReadsTrue", B::Music,
     record(
         {"<CtrlNode type=\"6\">", "  <key>3</key>", "  <content>8408</content>", "</CtrlNode>"}),
     TMusicValues{3, true, "8408"},
     record({"<CtrlNode type=\"6\">", "  <key>3</key>", "  <keycmd>-1</keycmd>",
             "  <content>8408</content>", "</CtrlNode>"})},
    {"MusicDefault", B::Music, DefaultRecord(B::Music), TMusicValues{0, false, ""},
     DefaultRecord(B::Music)},
    {"LoopBeginNotANumber", B::LoopBegin,
     record({"<CtrlNode type=\"9\">", "  <times>abc</times>", "  <var>25</var>", "</CtrlNode>"}),
     TLoopBeginValues{-1, 25},
     record({"<CtrlNode type=\"9\">", "  <times>-1</times>", "  <var>25</var>", "</CtrlNode>"})},
    {"LoopEnd", B::LoopEnd, DefaultRecord(B::LoopEnd), TLoopEndValues{0},
     DefaultRecord(B::LoopEnd)},
    {"LabelKeptAsStored", B::Label,
     record({"<CtrlNode type=\"11\">", "  <label>a&amp;b</label>", "</CtrlNode>"}),
     TLabelValues{"a&amp;b"},
     record({"<CtrlNode type=\"11\">", "  <label>a&amp;b</label>", "</CtrlNode>"})},
    {"GotoEmpty", B::Goto, DefaultRecord(B::Goto), TGotoValues{""}, DefaultRecord(B::Goto)},
    {"GotoIfDecodedAndEncodedAgain", B::GotoIf,
     record({"<CtrlNode type=\"13\">", "  <condition>A&lt;5 &amp; &quot;x&quot;&#xC4;</condition>",
             "  <label>L&apos;1</label>", "</CtrlNode>"}),
     TGotoIfValues{"A<5 & \"x\"\xC4", "L'1"},
     record({"<CtrlNode type=\"13\">", "  <condition>A&lt;5 &amp; &quot;x&quot;&#xC4;</condition>",
             "  <label>L&apos;1</label>", "</CtrlNode>"})},
    {"Led", B::Led, record({"<CtrlNode type=\"15\">", "  <led>6</led>", "</CtrlNode>"}),
     TLedValues{6}, record({"<CtrlNode type=\"15\">", "  <led>6</led>", "</CtrlNode>"})},
    {"IoSetup", B::IoSetup,
     record({"<CtrlNode type=\"16\">", "  <ddr>3</ddr>", "  <data>44</data>", "</CtrlNode>"}),
     TIoSetupValues{3, 44},
     record({"<CtrlNode type=\"16\">", "  <ddr>3</ddr>", "  <data>44</data>", "</CtrlNode>"})},
    {"IoInput", B::IoInput,
     record({"<CtrlNode type=\"17\">", "  <var>4</var>", "  <port>2</port>", "</CtrlNode>"}),
     TIoInputValues{4, 2},
     record({"<CtrlNode type=\"17\">", "  <var>4</var>", "  <port>2</port>", "</CtrlNode>"})},
    {"IoOutput", B::IoOutput,
     record({"<CtrlNode type=\"18\">", "  <port>1</port>", "  <data>5</data>", "</CtrlNode>"}),
     TIoOutputValues{1, 5},
     record({"<CtrlNode type=\"18\">", "  <port>1</port>", "  <data>5</data>", "</CtrlNode>"})},
    {"ServoDefault", B::Servo, DefaultRecord(B::Servo), TServoValues{{9, 9, 9, 9, 9}, 1},
     DefaultRecord(B::Servo)},
    {"ServoPartlyMissing", B::Servo,
     record({"<CtrlNode type=\"19\">", "  <data3>18</data3>", "  <speed>4</speed>", "</CtrlNode>"}),
     TServoValues{{-1, -1, 18, -1, -1}, 4},
     record({"<CtrlNode type=\"19\">", "  <data1>-1</data1>", "  <data2>-1</data2>",
             "  <data3>18</data3>", "  <data4>-1</data4>", "  <data5>-1</data5>",
             "  <speed>4</speed>", "</CtrlNode>"})},
    {"ExpressionDecoded", B::Expression,
     record({"<CtrlNode type=\"20\">", "  <command>PRINT &quot;a&lt;b&quot;</command>",
             "</CtrlNode>"}),
     TExpressionValues{"PRINT \"a<b\""},
     record({"<CtrlNode type=\"20\">", "  <command>PRINT &quot;a&lt;b&quot;</command>",
             "</CtrlNode>"})},
    {"DigitalSensor", B::DigitalSensor,
     record({"<CtrlNode type=\"21\">", "  <var>1</var>", "  <index>6</index>", "</CtrlNode>"}),
     TDigitalSensorValues{1, 6},
     record({"<CtrlNode type=\"21\">", "  <var>1</var>", "  <index>6</index>", "</CtrlNode>"})},
    {"AnalogSensorUpperCaseNames", B::AnalogSensor,
     record({"<CtrlNode type=\"22\">", "  <VAR>2</VAR>", "  <INDEX>7</INDEX>", "</CtrlNode>"}),
     TAnalogSensorValues{2, 7},
     record({"<CtrlNode type=\"22\">", "  <var>2</var>", "  <index>7</index>", "</CtrlNode>"})},
    {"SubBegin", B::SubBegin,
     record({"<CtrlNode type=\"23\">", "  <sub>beep</sub>", "</CtrlNode>"}),
     TSubBeginValues{"beep"},
     record({"<CtrlNode type=\"23\">", "  <sub>beep</sub>", "</CtrlNode>"})},
    {"CallSubDuplicateChildLaterWins", B::CallSub,
     record({"<CtrlNode type=\"25\">", "  <sub>one</sub>", "  <sub>two</sub>", "</CtrlNode>"}),
     TCallSubValues{"two"}, record({"<CtrlNode type=\"25\">", "  <sub>two</sub>", "</CtrlNode>"})},
    {"VoiceX", B::VoiceX, record({"<CtrlNode type=\"26\">", "  <index>5</index>", "</CtrlNode>"}),
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
            << "type " << ToInt(info.type);
    }
}

TEST(RecordFromValues, ValuesOfAnotherDialogWriteNothing) {
    EXPECT_EQ(recordFromValues(B::Direct, TTurnValues{1, 2}), "");
    EXPECT_EQ(recordFromValues(B::Label, TGotoValues{"x"}), "");
    EXPECT_EQ(recordFromValues(B::End, std::monostate{}), "");
    EXPECT_EQ(recordFromValues(B::SubEnd, std::monostate{}), "");
}

TEST(ValuesFromRecord, EndAndSubEndCarryNoValues) {
    for (const BlockType type : {B::End, B::SubEnd}) {
        const TValuesResult result = valuesFromRecord(type, "not even xml <");
        ASSERT_TRUE(result.values.has_value()) << ToInt(type);
        EXPECT_TRUE(std::holds_alternative<std::monostate>(*result.values)) << ToInt(type);
    }
}

TEST(ValuesFromRecord, ARecordThatDoesNotParseGivesTheParsersMessageAndNoValues) {
    const TValuesResult result =
        valuesFromRecord(B::Wait, "<CtrlNode type=\"5\"><wait>1</wat></CtrlNode>");
    EXPECT_FALSE(result.values.has_value());
    EXPECT_NE(result.error.English().find("Erroneous end of tag"), std::string::npos)
        << result.error;
}

TEST(ValuesFromRecord, KeycmdReadsByTheBooleanRules) {
    auto keycmd = [](std::string_view child) {
        const std::string text = record({"<CtrlNode type=\"6\">", child, "</CtrlNode>"});
        return std::get<TMusicValues>(read(B::Music, text)).keycmd;
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
    const std::string stored = recordFromValues(B::Expression, TExpressionValues{typed});
    EXPECT_EQ(stored.find('<', stored.find("<command>") + 1), stored.find("</command>"));
    EXPECT_EQ(std::get<TExpressionValues>(read(B::Expression, stored)).command, typed);
    const std::string gotoIf = recordFromValues(B::GotoIf, TGotoIfValues{typed, "x&y"});
    EXPECT_EQ(std::get<TGotoIfValues>(read(B::GotoIf, gotoIf)), (TGotoIfValues{typed, "x&y"}));
}

TEST(DialogKind, EachBlockTypeOpensItsOwnDialog) {
    const std::pair<BlockType, TDialogKind> table[] = {
        {B::Direct, TDialogKind::ZhiXing},
        {B::Turn, TDialogKind::ZhuanXiang},
        {B::MotorOn, TDialogKind::QiDongDJ},
        {B::MotorStop, TDialogKind::TingZhiDJ},
        {B::Wait, TDialogKind::YanShi},
        {B::Music, TDialogKind::FaYin},
        {B::LoopBegin, TDialogKind::FORBegin},
        {B::LoopEnd, TDialogKind::FOREnd},
        {B::Label, TDialogKind::GOTOBegin},
        {B::Goto, TDialogKind::GOTOEnd},
        {B::GotoIf, TDialogKind::GOTOIF},
        {B::End, TDialogKind::JieShu},
        {B::Led, TDialogKind::LED},
        {B::IoSetup, TDialogKind::PORTDDR},
        {B::IoInput, TDialogKind::PORTIN},
        {B::IoOutput, TDialogKind::PORTOUT},
        {B::Servo, TDialogKind::Servo},
        {B::Expression, TDialogKind::BiaoDaShi},
        {B::DigitalSensor, TDialogKind::DIN},
        {B::AnalogSensor, TDialogKind::AIN},
        {B::SubBegin, TDialogKind::SubBegin},
        {B::SubEnd, TDialogKind::SubEnd},
        {B::CallSub, TDialogKind::GOSUB},
        {B::VoiceX, TDialogKind::VOICEX},
    };
    ASSERT_EQ(std::size(table), BlockCatalog().size());
    std::set<TDialogKind> seen;
    for (const auto& [type, kind] : table) {
        EXPECT_EQ(dialogKindForBlockType(type), kind) << ToInt(type);
        EXPECT_EQ(dialogKindForObjectKind(KindBlockBase + ToInt(type)), kind) << ToInt(type);
        EXPECT_TRUE(seen.insert(kind).second) << "two types open one dialog: " << ToInt(type);
    }
}

TEST(DialogKind, TerminalsAndMarkersOpenNothing) {
    // Also the kinds of the unassigned types 7 and 8 and of the numbers either side of 1..26.
    for (int kind :
         {KindStartTerminal, KindEndTerminal, KindSpotMarker, 583, 584, 576, 575, 603, 0})
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
    EXPECT_EQ(recordForEditing(B::Servo, ""), DefaultRecord(B::Servo));
    const std::string own = record({"<CtrlNode type=\"5\">", "  <wait>3</wait>", "</CtrlNode>"});
    EXPECT_EQ(recordForEditing(B::Wait, own), own);
}

TEST(EditOutcome, ResultCodesAreTheDialogsModalResults) {
    EXPECT_EQ(static_cast<int>(TEditResult::Ok), 1);
    EXPECT_EQ(static_cast<int>(TEditResult::Cancel), 2);
    EXPECT_EQ(static_cast<int>(TEditResult::Delete), 7);
}

struct TCaptionCase {
    BlockType type;
    const char* text;
    std::optional<TBlockCaption> caption;
};

TEST(CaptionAfterEdit, NamedBlocksShowTheirNameAndGrow) {
    const TCaptionCase cases[] = {
        {B::Label, "loop", TBlockCaption{"Label:loop", 40}},
        {B::Label, "", TBlockCaption{"Label", 32}},
        {B::Expression, "A=A+1", TBlockCaption{"Expression:A=A+1", 40}},
        {B::Expression, "", TBlockCaption{"Expression", 32}},
        {B::SubBegin, "beep", TBlockCaption{"Sub Begin:beep", 40}},
        {B::SubBegin, "", TBlockCaption{"Sub Begin", 32}},
        {B::CallSub, " x", TBlockCaption{"Call Sub: x", 40}},
        {B::CallSub, "", TBlockCaption{"Call Sub", 32}},
        {B::VoiceX, "5", TBlockCaption{"VoiceX: 5", 40}},
        {B::VoiceX, "", std::nullopt},
        {B::Goto, "loop", std::nullopt},
        {B::GotoIf, "loop", std::nullopt},
        {B::Direct, "x", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captionAfterEdit(c.type, c.text), c.caption)
            << ToInt(c.type) << " '" << c.text << "'";
}

TEST(CaptionAfterEdit, OnlyTheFiveNamedTypesLayTheChartOutAgain) {
    const std::set<BlockType> named{B::Label, B::Expression, B::SubBegin, B::CallSub, B::VoiceX};
    for (const TBlockInfo& info : BlockCatalog())
        EXPECT_EQ(editChangesCaption(info.type), named.contains(info.type)) << ToInt(info.type);
}

TEST(CaptionAfterEdit, TheCaptionUsesTheTextAsTypedNotTheStoredForm) {
    const TEditorValues values =
        read(B::Expression,
             record({"<CtrlNode type=\"20\">", "  <command>a&lt;b</command>", "</CtrlNode>"}));
    EXPECT_EQ(captionTextOf(values), "a<b");
    EXPECT_EQ(captionTextOf(TLabelValues{"L1"}), "L1");
    EXPECT_EQ(captionTextOf(TSubBeginValues{"s"}), "s");
    EXPECT_EQ(captionTextOf(TCallSubValues{"c"}), "c");
    EXPECT_EQ(captionTextOf(TGotoValues{"g"}), "");
    EXPECT_EQ(captionTextOf(TVoiceXValues{3}), "");
}

} // namespace
