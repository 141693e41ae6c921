// The checker reads records on its own quick path; whatever it reads must be what the
// generator reads, statement for statement and message for message.
#include "check/BlockReader.h"

#include "CheckSupport.h"
#include "program/BlockStatements.h"
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using check::TBlockReader;
using check::TBlockText;
using check_test::record;

struct Outcome {
    std::optional<files::TMessage> error;
    std::vector<std::string> statements;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    if (o.error)
        return os << "error " << *o.error;
    for (const std::string& s : o.statements)
        os << "[" << s << "]";
    return os;
}

Outcome generated(int kind, std::string_view payload) {
    Outcome o;
    o.error = program::blockStatementTexts(kind, payload, o.statements);
    return o;
}

// The name a named block's statement ends with, as the statement shows it.
void expectNameInStatement(int kind, const TBlockText& text) {
    const std::optional<BlockType> type = BlockTypeOfKind(kind);
    std::string head;
    switch (type.value_or(BlockType::End)) {
    case BlockType::Label:
        head = "label: ";
        break;
    case BlockType::Goto:
        head = "GOTO label: ";
        break;
    case BlockType::SubBegin:
        head = "sub: ";
        break;
    case BlockType::CallSub:
        head = "GOSUB sub: ";
        break;
    case BlockType::GotoIf:
        ASSERT_EQ(text.statements.size(), 1u);
        EXPECT_TRUE(text.statements[0].ends_with(" THEN label: " + text.name)) << text.name;
        return;
    default:
        EXPECT_TRUE(text.name.empty());
        return;
    }
    ASSERT_EQ(text.statements.size(), 1u);
    EXPECT_EQ(text.statements[0], head + text.name);
}

class Reader : public testing::Test {
protected:
    // Reads the record both ways and compares; returns whether the quick path read it.
    bool readsAsTheGenerator(int kind, std::string_view payload) {
        TBlockText text;
        Outcome mine;
        mine.error = m_reader.read(kind, payload, text);
        mine.statements = text.statements;
        const Outcome expected = generated(kind, payload);
        EXPECT_EQ(mine, expected) << "kind " << kind << ", record:\n" << payload;
        if (!mine.error)
            expectNameInStatement(kind, text);
        return m_reader.lastReadWasQuick();
    }

    TBlockReader m_reader;
};

TEST_F(Reader, NewBlocksOfEveryTypeTakeTheQuickPath) {
    for (const TBlockInfo& info : BlockCatalog()) {
        const bool quick = readsAsTheGenerator(info.kind, DefaultRecord(info.type));
        // End and Sub End read nothing of their record.
        const bool readsNothing = info.type == BlockType::End || info.type == BlockType::SubEnd;
        EXPECT_EQ(quick, !readsNothing) << info.caption;
    }
}

TEST_F(Reader, KindsThatAreNoBlocksGiveNothing) {
    TBlockText text;
    text.statements = {"old"};
    EXPECT_FALSE(m_reader.read(KindStartTerminal, "<broken", text));
    EXPECT_TRUE(text.statements.empty());
    EXPECT_FALSE(m_reader.read(KindBlockBase + 8, record(5, "<wait>1</wait>"), text));
    EXPECT_TRUE(text.statements.empty());
}

// Records in other forms: which path reads each, and both agree on what it says.
struct FormCase {
    const char* name;
    int type;
    std::string payload;
    bool quick;
};

void PrintTo(const FormCase& c, std::ostream* os) {
    *os << c.name;
}

class Forms : public Reader, public testing::WithParamInterface<FormCase> {};

TEST_P(Forms, ReadAsTheGeneratorReadsThem) {
    EXPECT_EQ(readsAsTheGenerator(KindBlockBase + GetParam().type, GetParam().payload),
              GetParam().quick);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Forms,
    testing::Values(
        FormCase{"WithoutDeclaration", 5, "<CtrlNode type=\"5\"><wait>3</wait></CtrlNode>", true},
        FormCase{"OtherDeclaration", 5,
                 "<?xml version=\"1.0\" standalone=\"yes\"?><CtrlNode><wait>4</wait></CtrlNode>",
                 true},
        FormCase{"Empty", 5, "", true},
        FormCase{"DeclarationOnly", 5, "<?xml version=\"1.0\"?>\r\n", true},
        FormCase{"TextAfterTheRecord", 5, "<CtrlNode><wait>5</wait></CtrlNode>x<y", true},
        FormCase{"BlanksAroundValues", 11, "<CtrlNode><label>  \t L 1 \r\n</label></CtrlNode>",
                 true},
        FormCase{"EntitiesStayAsWritten", 20,
                 "<CtrlNode><command>A=B&amp;&#65;&gt;1</command></CtrlNode>", true},
        FormCase{"EmptyElementValue", 12, "<CtrlNode><label/></CtrlNode>", true},
        FormCase{"LastOfTwoChildrenCounts", 5, "<CtrlNode><wait>1</wait><WAIT>2</WAIT></CtrlNode>",
                 true},
        FormCase{"DoubleSpacesJoined", 11, "<CtrlNode><label>a  b</label></CtrlNode>", false},
        FormCase{"SingleQuotedAttribute", 5, "<CtrlNode type='5'><wait>6</wait></CtrlNode>", false},
        FormCase{"BlanksAroundEquals", 5, "<CtrlNode type = \"5\"><wait>6</wait></CtrlNode>",
                 false},
        FormCase{"Comment", 5, "<CtrlNode><!-- x --><wait>7</wait></CtrlNode>", false},
        FormCase{"CData", 11, "<CtrlNode><label><![CDATA[a<b]]></label></CtrlNode>", false},
        FormCase{"Namespace", 5, "<CtrlNode><x:wait>8</x:wait></CtrlNode>", false},
        FormCase{"EndTagInOtherCase", 5, "<CtrlNode><wait>9</WAIT></ctrlnode>", false},
        FormCase{"ChildWithAttribute", 5, "<CtrlNode><wait a=\"1\">9</wait></CtrlNode>", false},
        FormCase{"NestedElement", 11, "<CtrlNode><label>a<b/>c</label></CtrlNode>", false},
        FormCase{"RawLessThanInAName", 11, "<CtrlNode><label>a<b</label></CtrlNode>", false},
        FormCase{"Unterminated", 5, "<CtrlNode type=\"5\"><wait>1</wait>", false},
        FormCase{"TextBeforeTheRecord", 5, "x<CtrlNode/>", false},
        FormCase{"KeyCommandWords", 6,
                 "<CtrlNode><key>1</key><keycmd>FALSE</keycmd><content>12</content></CtrlNode>",
                 true},
        FormCase{"KeyCommandFraction", 6,
                 "<CtrlNode><keycmd>0.0</keycmd><content>12</content></CtrlNode>", true},
        FormCase{"KeyCommandOtherText", 6,
                 "<CtrlNode><keycmd>yes</keycmd><content>12</content></CtrlNode>", true},
        FormCase{"NumbersBeyond32Bits", 3,
                 "<CtrlNode><motorL>2147483648</motorL><motorR>+-1</motorR></CtrlNode>", true},
        FormCase{"PlusSign", 5, "<CtrlNode><wait>+12</wait></CtrlNode>", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Records the editor would write for random values of every field, and the same records
// damaged byte by byte: the quick path and the element tree agree on all of them.
TEST_F(Reader, AgreesWithTheGeneratorOnRandomRecords) {
    std::mt19937 random(20260315);
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const std::vector<std::string> pieces{"0",          "1",
                                          "-1",         "7",
                                          "25",         "32767",
                                          "2147483648", "+3",
                                          " ",          "  ",
                                          "a",          "L1",
                                          "&amp;",      "&gt;",
                                          "&#65;",      "<",
                                          ">",          "\"",
                                          "'",          "\t",
                                          "\r\n",       std::string(1, '\0'),
                                          "\xC4",       "A>3",
                                          "label: L1",  "sub: S",
                                          "X=1",        "true",
                                          "0.5",        "]]>",
                                          "<!--",       "/>",
                                          "=",          "?>"};
    const std::vector<std::string> mutations{"<",  ">",    "/",   "\"",        "'", " ",
                                             "  ", "!",    "?",   ":",         "=", "&",
                                             "x",  "\r\n", "-->", "<![CDATA[", "</"};
    std::size_t quick = 0;
    std::size_t total = 0;
    for (int round = 0; round < 4000; ++round) {
        const TBlockInfo& info = BlockCatalog()[pick(BlockCatalog().size())];
        TSimpleXML document;
        document.Root().SetName("CtrlNode");
        document.Root().Properties().AddAttributeInt("type", ToInt(info.type));
        for (const TRecordField& field : info.fields) {
            if (pick(8) == 0)
                continue; // a missing value
            std::string value;
            for (std::size_t n = pick(4); n > 0; --n)
                value += pieces[pick(pieces.size())];
            std::string name(field.name);
            if (pick(6) == 0)
                name[0] = static_cast<char>(name[0] - 'a' + 'A');
            document.Root().Items().AddChildText(name, value);
            if (pick(10) == 0)
                document.Root().Items().AddChildText(field.name, pieces[pick(pieces.size())]);
        }
        std::string payload = document.SaveToText();
        ++total;
        quick += readsAsTheGenerator(info.kind, payload) ? 1 : 0;
        for (std::size_t n = 1 + pick(3); n > 0; --n) {
            const std::size_t at = pick(payload.size() + 1);
            switch (pick(3)) {
            case 0:
                payload.insert(at, mutations[pick(mutations.size())]);
                break;
            case 1:
                payload.erase(at, 1 + pick(3));
                break;
            default:
                if (at < payload.size())
                    payload[at] = mutations[pick(mutations.size())][0];
            }
        }
        ++total;
        quick += readsAsTheGenerator(info.kind, payload) ? 1 : 0;
    }
    // Both paths were taken often.
    EXPECT_GT(quick, total / 4);
    EXPECT_LT(quick, total - total / 4);
}

} // namespace
