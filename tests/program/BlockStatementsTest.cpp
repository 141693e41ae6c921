#include "program/BlockStatements.h"

#include "RecordText.h"
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using program::BlockStatements;
using program_test::child;
using program_test::kindOf;
using program_test::record;
using Entries = std::vector<std::string>;

Entries entriesOf(int type, const std::string& payload) {
    Entries out{"left over from before"};
    const std::optional<files::TMessage> error = BlockStatements(kindOf(type), payload, out);
    EXPECT_FALSE(error.has_value()) << *error;
    return out;
}

// --- The statements of every block type's default record -------------------------------------

struct DefaultCase {
    int type;
    Entries expected;
};

void PrintTo(const DefaultCase& c, std::ostream* os) {
    *os << "type " << c.type;
}

class DefaultRecordStatements : public testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultRecordStatements, GiveTheBlocksStartingStatement) {
    const DefaultCase& c = GetParam();
    EXPECT_EQ(entriesOf(c.type, DefaultRecord(c.type)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryBlockType, DefaultRecordStatements,
    testing::Values(DefaultCase{1, {"\"FDX\""}}, DefaultCase{2, {"\"LTX\""}},
                    DefaultCase{3, {"\"MOTOR 0,0\""}}, DefaultCase{4, {"\"STX\""}},
                    DefaultCase{5, {"\"WAIT 0\""}},
                    // The default key command is off, so only the PLAY statement.
                    DefaultCase{6, {"\"PLAY \""}}, DefaultCase{9, {"\"FOR A=1 TO 1\""}},
                    DefaultCase{10, {"\"NEXT A\""}}, DefaultCase{11, {"\"label: \""}},
                    DefaultCase{12, {"\"GOTO label: \""}},
                    DefaultCase{13, {"\"IF  THEN label: \""}}, DefaultCase{14, {"\"END\""}},
                    DefaultCase{15, {"\"LED 7\""}}, DefaultCase{16, {"\"DDRA 0\""}},
                    DefaultCase{17, {"\"A=PINA\""}}, DefaultCase{18, {"\"PORTA 0\""}},
                    DefaultCase{19, {"\"SERVOE 9,9,9,9,9,1\""}}, DefaultCase{20, {"\"\""}},
                    DefaultCase{21, {"\"A=PC0\""}}, DefaultCase{22, {"\"A=ADC0\""}},
                    DefaultCase{23, {"\"sub: \""}}, DefaultCase{24, {"\"RETURN\""}},
                    DefaultCase{25, {"\"GOSUB sub: \""}}, DefaultCase{26, {"\"VOICEX 0\""}}),
    [](const auto& info) { return "Type" + std::to_string(info.param.type); });

TEST(DefaultRecordStatements, CoverTheWholeCatalogue) {
    // Guards the table above against a catalogue that grows.
    EXPECT_EQ(BlockCatalog().size(), 24u);
}

// --- Values read from stored records ------------------------------------------------------------

struct ValueCase {
    const char* name;
    int type;
    std::string children;
    Entries expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << c.name;
}

class StoredValues : public testing::TestWithParam<ValueCase> {};

TEST_P(StoredValues, FollowTheReadingRules) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(entriesOf(c.type, record(c.type, c.children)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredValues,
    testing::Values(
        // Direct and Turn: the mode picks the form, `wait` is copied as text.
        ValueCase{"DirectBack", 1, child("mode", "1"), {"\"BKX\""}},
        ValueCase{"DirectForwardKeepsWaitText",
                  1,
                  child("mode", "2") + child("wait", "007"),
                  {"\"FD 007\""}},
        ValueCase{
            "DirectBackWithWait", 1, child("mode", "3") + child("wait", "abc"), {"\"BK abc\""}},
        ValueCase{"DirectWithoutWaitChild", 1, child("mode", "2"), {"\"FD \""}},
        ValueCase{"DirectUnknownModeGivesEmpty", 1, child("mode", "7"), {"\"\""}},
        ValueCase{"DirectMissingModeGivesEmpty", 1, "", {"\"\""}},
        ValueCase{"TurnRight", 2, child("mode", "1"), {"\"RTX\""}},
        ValueCase{"TurnLeftBy", 2, child("mode", "2") + child("wait", "50"), {"\"LT 50\""}},
        ValueCase{"TurnRightBy", 2, child("mode", "3") + child("wait", "9"), {"\"RT 9\""}},
        ValueCase{"TurnNegativeModeGivesEmpty", 2, child("mode", "-3"), {"\"\""}},
        // Integers: -1 for missing, empty or not a whole number; decimal with a sign.
        ValueCase{"WaitLeadingZerosDropped", 5, child("wait", "007"), {"\"WAIT 7\""}},
        ValueCase{"WaitNotANumber", 5, child("wait", "abc"), {"\"WAIT -1\""}},
        ValueCase{"WaitEmpty", 5, "<wait/>", {"\"WAIT -1\""}},
        ValueCase{"WaitMissing", 5, "", {"\"WAIT -1\""}},
        ValueCase{"WaitNegative", 5, child("wait", "-20"), {"\"WAIT -20\""}},
        ValueCase{"WaitLargest32Bit", 5, child("wait", "2147483647"), {"\"WAIT 2147483647\""}},
        ValueCase{"WaitSmallest32Bit", 5, child("wait", "-2147483648"), {"\"WAIT -2147483648\""}},
        ValueCase{"WaitBeyond32BitIsNotANumber", 5, child("wait", "2147483648"), {"\"WAIT -1\""}},
        ValueCase{
            "WaitFarBeyond32Bit", 5, child("wait", "99999999999999999999999"), {"\"WAIT -1\""}},
        ValueCase{
            "MotorOn", 3, child("motorL", "100") + child("motorR", "-100"), {"\"MOTOR 100,-100\""}},
        ValueCase{"MotorOnMissingRight", 3, child("motorL", "5"), {"\"MOTOR 5,-1\""}},
        ValueCase{"MotorStopBoth", 4, child("mode", "1"), {"\"MOTOR 0,0\""}},
        ValueCase{"MotorStopUnknownMode", 4, child("mode", "2"), {"\"\""}},
        ValueCase{"Led", 15, child("led", "3"), {"\"LED 3\""}},
        ValueCase{"Servo",
                  19,
                  child("data1", "1") + child("data2", "2") + child("data3", "3") +
                      child("data4", "4") + child("data5", "5") + child("speed", "6"),
                  {"\"SERVOE 1,2,3,4,5,6\""}},
        ValueCase{"ServoMissingChildren", 19, child("data1", "1"), {"\"SERVOE 1,-1,-1,-1,-1,-1\""}},
        ValueCase{"VoiceX", 26, child("index", "12"), {"\"VOICEX 12\""}},
        // Letter codes: 65 plus the value, one byte.
        ValueCase{"LoopBegin", 9, child("times", "10") + child("var", "2"), {"\"FOR C=1 TO 10\""}},
        ValueCase{"LoopBeginWithoutVar", 9, child("times", "3"), {"\"FOR @=1 TO 3\""}},
        ValueCase{"LoopEndLastLetter", 10, child("var", "25"), {"\"NEXT Z\""}},
        ValueCase{"IoSetup", 16, child("ddr", "3") + child("data", "255"), {"\"DDRD 255\""}},
        ValueCase{"IoInput", 17, child("var", "1") + child("port", "2"), {"\"B=PINC\""}},
        ValueCase{"IoOutput", 18, child("port", "1") + child("data", "15"), {"\"PORTB 15\""}},
        ValueCase{
            "DigitalSensorLastPin", 21, child("var", "0") + child("index", "4"), {"\"A=PC4\""}},
        ValueCase{
            "DigitalSensorMicrophone", 21, child("var", "0") + child("index", "5"), {"\"A=MIC\""}},
        ValueCase{
            "DigitalSensorBeyond", 21, child("var", "0") + child("index", "6"), {"\"A=PCX\""}},
        ValueCase{"DigitalSensorMissingIndex", 21, child("var", "1"), {"\"B=PCX\""}},
        ValueCase{
            "AnalogSensorAnyIndex", 22, child("var", "3") + child("index", "12"), {"\"D=ADC12\""}},
        ValueCase{"AnalogSensorMissingIndex", 22, child("var", "0"), {"\"A=ADC-1\""}},
        // Texts: as stored, except the GotoIf and Expression texts, which are decoded.
        ValueCase{"LabelNotDecoded", 11, child("label", "a&amp;b"), {"\"label: a&amp;b\""}},
        ValueCase{"GotoNotDecoded", 12, child("label", "a&amp;b"), {"\"GOTO label: a&amp;b\""}},
        ValueCase{"GotoIfDecoded",
                  13,
                  child("condition", "A&lt;3") + child("label", "a&amp;b"),
                  {"\"IF A<3 THEN label: a&b\""}},
        ValueCase{"GotoIfMissingLabel", 13, child("condition", "A=1"), {"\"IF A=1 THEN label: \""}},
        ValueCase{"ExpressionDecoded", 20, child("command", "A=B&amp;1"), {"\"A=B&1\""}},
        ValueCase{"ExpressionQuotesDoubled",
                  20,
                  child("command", "PRINT &quot;HI&quot;"),
                  {"\"PRINT \"\"HI\"\"\""}},
        ValueCase{"ExpressionEmpty", 20, "<command/>", {"\"\""}},
        ValueCase{"SubBegin", 23, child("sub", "S1"), {"\"sub: S1\""}},
        ValueCase{"CallSub", 25, child("sub", "S1"), {"\"GOSUB sub: S1\""}},
        // Music: the key command defaults to on when missing or empty.
        ValueCase{"MusicWithKeyCommand",
                  6,
                  child("key", "3") + child("keycmd", "-1") + child("content", "1122"),
                  {"\"KEY 3\"", "\"PLAY 1122\""}},
        ValueCase{"MusicWithoutKeyCommand",
                  6,
                  child("key", "3") + child("keycmd", "0") + child("content", "1122"),
                  {"\"PLAY 1122\""}},
        ValueCase{"MusicKeyCommandMissing",
                  6,
                  child("key", "3") + child("content", "1122"),
                  {"\"KEY 3\"", "\"PLAY 1122\""}},
        ValueCase{"MusicKeyCommandEmpty",
                  6,
                  "<key>1</key><keycmd/><content>5</content>",
                  {"\"KEY 1\"", "\"PLAY 5\""}},
        ValueCase{"MusicEmpty", 6, "", {"\"KEY -1\"", "\"PLAY \""}},
        // The End and Sub End blocks read nothing.
        ValueCase{"EndIgnoresChildren", 14, child("mode", "3"), {"\"END\""}}),
    [](const auto& info) { return std::string(info.param.name); });

// The same records in the shape the editors write them (each value on a line of its own,
// indented, CRLF line ends; written by the XML library itself) read the same values.
TEST_P(StoredValues, ReadTheSameInTheShapeTheEditorsWrite) {
    const ValueCase& c = GetParam();
    TSimpleXML document;
    document.LoadFromText(record(c.type, c.children));
    const std::string written = document.SaveToText();
    if (!c.children.empty()) {
        ASSERT_NE(written.find("\r\n  <"), std::string::npos) << written;
    }
    EXPECT_EQ(entriesOf(c.type, written), c.expected) << written;
}

TEST(LetterCode, IsSixtyFivePlusTheValueAsOneByte) {
    EXPECT_EQ(program::letterCode(0), 'A');
    EXPECT_EQ(program::letterCode(1), 'B');
    EXPECT_EQ(program::letterCode(3), 'D');
    EXPECT_EQ(program::letterCode(25), 'Z');
    EXPECT_EQ(program::letterCode(-1), '@');
    EXPECT_EQ(program::letterCode(-65), '\0');
    EXPECT_EQ(program::letterCode(191), '\0'); // 256 wraps to 0
    EXPECT_EQ(program::letterCode(256), 'A');  // modulo 256
    EXPECT_EQ(program::letterCode(-66), static_cast<char>(0xFF));
    EXPECT_EQ(program::letterCode(2147483647), static_cast<char>((65 + 2147483647LL) & 0xFF));
}

// A record in the editors' shape is read without the XML reader; one that only nearly has that
// shape goes to the reader. Either way the statements are what the reader's values give: each
// record below is compared with the same record with a comment before its first value, which
// only the reader reads (a comment is no value).
TEST(BlockStatements, RecordsInTheEditorsShapeReadAsTheReaderReadsThem) {
    struct Case {
        const char* what;
        int type;
        std::string lines; // the children, each as "  <name>value</name>" and CRLF
    };
    const auto line = [](std::string_view name, std::string_view value) {
        return "  " + child(name, value) + "\r\n";
    };
    const Case cases[] = {
        {"plain values", 19, line("data1", "1") + line("data2", "-2") + line("speed", "+6")},
        {"a value ending in a space", 1, line("mode", "2") + line("wait", "5 ")},
        {"a value starting with a space", 1, line("mode", "2") + line("wait", " 5")},
        {"two spaces inside a value", 1, line("mode", "2") + line("wait", "a  b")},
        {"names in another letter case", 3, line("MotorL", "7") + line("MOTORR", "8")},
        {"a name given twice", 5, line("wait", "1") + line("wait", "2")},
        {"an entity left as stored", 11, line("label", "a&amp;b")},
        {"an entity decoded", 20, line("command", "PRINT &quot;HI&quot;")},
        {"a byte above 0x7F", 11, line("label", "\xC4rger")},
        {"a tab", 11, line("label", "a\tb")},
        {"a closing bracket", 20, line("command", "A>B")},
        {"an empty value written short", 6, "  <key>2</key>\r\n  <content/>\r\n"},
        {"an empty value written long", 6, line("key", "2") + line("content", "")},
        {"the key command off", 6, line("keycmd", "0") + line("content", "11")},
        {"a key command that is no number", 6, line("keycmd", "yes") + line("content", "11")},
        {"an end tag in another letter case", 5, "  <wait>3</WAIT>\r\n"},
        {"an attribute on a value", 5, "  <wait unit=\"ms\">3</wait>\r\n"},
        {"a comment between values", 5, "  <!-- x -->\r\n" + line("wait", "3")},
        {"a name with a colon", 5, line("x:wait", "3")},
        {"no values at all", 5, ""},
        {"a number beyond 32 bits", 5, line("wait", "2147483648")},
        {"many values", 19,
         line("data1", "1") + line("data2", "2") + line("data3", "3") + line("data4", "4") +
             line("data5", "5") + line("speed", "6") + line("a", "") + line("b", "") +
             line("c", "") + line("d", "") + line("e", "") + line("f", "") + line("g", "")},
    };
    const auto withComment = [](std::string text) {
        const std::size_t rootEnd = text.find(">\r\n", text.find("<CtrlNode"));
        return text.insert(rootEnd + 3, "<!-- read by the reader -->");
    };
    for (const Case& c : cases) {
        const std::string shaped = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                                   "<CtrlNode type=\"" +
                                   std::to_string(c.type) + "\">\r\n" + c.lines + "</CtrlNode>\r\n";
        Entries fromShape, fromReader;
        const auto shapeError = BlockStatements(kindOf(c.type), shaped, fromShape);
        const auto readerError =
            BlockStatements(kindOf(c.type), withComment(shaped), fromReader);
        EXPECT_EQ(shapeError.has_value(), readerError.has_value()) << c.what;
        if (shapeError && readerError) {
            EXPECT_EQ(shapeError->English(), readerError->English()) << c.what;
        }
        EXPECT_EQ(fromShape, fromReader) << c.what;
    }
    // A few of the same, spelled out.
    Entries out;
    ASSERT_FALSE(BlockStatements(kindOf(1),
                                 "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                                 "<CtrlNode type=\"1\">\r\n  <mode>2</mode>\r\n"
                                 "  <wait>5 </wait>\r\n</CtrlNode>\r\n",
                                 out));
    EXPECT_EQ(out, Entries{"\"FD 5 \""});
    ASSERT_FALSE(BlockStatements(kindOf(5),
                                 "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                                 "<CtrlNode type=\"5\">\r\n  <wait>1</wait>\r\n"
                                 "  <WAIT>2</WAIT>\r\n</CtrlNode>\r\n",
                                 out));
    EXPECT_EQ(out, Entries{"\"WAIT 2\""}); // the last of two alike names counts
}

TEST(BlockStatements, KindAloneChoosesTheForm) {
    // A record typed as Wait, carried by a Direct block's object: Direct's form, from its values.
    EXPECT_EQ(entriesOf(1, record(5, child("mode", "1"))), Entries{"\"BKX\""});
}

TEST(BlockStatements, KindsWithoutBlockGiveNothing) {
    for (const int kind : {KindBlockBase + 7, KindBlockBase + 8, KindBlockBase, KindBlockBase + 27,
                           KindStartTerminal, KindEndTerminal, KindSpotMarker, 0, -1}) {
        Entries out{"left over"};
        EXPECT_FALSE(BlockStatements(kind, DefaultRecord(1), out).has_value());
        EXPECT_TRUE(out.empty()) << kind;
    }
}

TEST(BlockStatements, RecordThatDoesNotParseReportsTheParserMessage) {
    Entries out{"left over"};
    const std::optional<files::TMessage> error =
        BlockStatements(kindOf(5), "<CtrlNode type=\"5\"><wait>1</wait></Other>", out);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(
        error->English(),
        "Invalid XML Element: Erroneous end of tag, expecting </CtrlNode> but </Other> found");
    EXPECT_TRUE(out.empty());
}

TEST(BlockStatements, EndAndSubEndDoNotReadTheirRecord) {
    Entries out;
    EXPECT_FALSE(BlockStatements(kindOf(14), "not xml at all <", out).has_value());
    EXPECT_EQ(out, Entries{"\"END\""});
    EXPECT_FALSE(BlockStatements(kindOf(24), "", out).has_value());
    EXPECT_EQ(out, Entries{"\"RETURN\""});
}

TEST(RecordStatementTexts, TakeTheKindFromTheTypeAttribute) {
    std::vector<std::string> out;
    EXPECT_FALSE(program::recordStatementTexts(record(5, child("wait", "9")), out).has_value());
    EXPECT_EQ(out, std::vector<std::string>{"WAIT 9"});
    for (const char* type : {"7", "0", "27", "x", ""}) {
        const std::string text =
            "<CtrlNode type=\"" + std::string(type) + "\"><wait>1</wait></CtrlNode>";
        EXPECT_FALSE(program::recordStatementTexts(text, out).has_value());
        EXPECT_TRUE(out.empty()) << type;
    }
    EXPECT_FALSE(program::recordStatementTexts("<CtrlNode/>", out).has_value());
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(program::recordStatementTexts("<CtrlNode type=\"5\">", out).has_value());
}

} // namespace
