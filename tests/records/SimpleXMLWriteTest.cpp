// The written form of the tree, compared byte for byte.
#include "records/SimpleXML.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";

TEST(SimpleXMLWrite, RecordWithChildrenIsIndentedWithCrLfLines) {
    TSimpleXML doc;
    doc.Root().SetName("CtrlNode");
    doc.Root().Properties().AddAttributeInt("type", 1);
    doc.Root().Items().AddChildText("mode", "0");
    doc.Root().Items().AddChildText("wait", "0");
    EXPECT_EQ(doc.SaveToText(), kHeader + "<CtrlNode type=\"1\">\r\n"
                                          "  <mode>0</mode>\r\n"
                                          "  <wait>0</wait>\r\n"
                                          "</CtrlNode>\r\n");
}

TEST(SimpleXMLWrite, ElementsWithoutValueOrChildrenAreSelfClosing) {
    TSimpleXML doc;
    doc.Root().SetName("CtrlNode");
    doc.Root().Properties().AddAttributeInt("type", 14);
    EXPECT_EQ(doc.SaveToText(), kHeader + "<CtrlNode type=\"14\"/>\r\n");

    doc.Root().Items().AddChildText("content", "");
    EXPECT_EQ(doc.SaveToText(),
              kHeader + "<CtrlNode type=\"14\">\r\n  <content/>\r\n</CtrlNode>\r\n");
}

TEST(SimpleXMLWrite, NestedLevelsIndentTwoSpacesEach) {
    TSimpleXML doc;
    doc.Root().SetName("KELMORAX");
    TSimpleXMLElem& record = doc.Root().Items().AddChild("record");
    TSimpleXMLElem& node = record.Items().AddChild("CtrlNode");
    node.Properties().AddAttribute("type", "11");
    node.Items().AddChildText("label", "A1");
    EXPECT_EQ(doc.SaveToText(), kHeader + "<KELMORAX>\r\n"
                                          "  <record>\r\n"
                                          "    <CtrlNode type=\"11\">\r\n"
                                          "      <label>A1</label>\r\n"
                                          "    </CtrlNode>\r\n"
                                          "  </record>\r\n"
                                          "</KELMORAX>\r\n");
}

TEST(SimpleXMLWrite, ValueOfAnElementWithChildrenIsNotWritten) {
    TSimpleXML doc;
    doc.Root().SetName("a");
    doc.Root().Value = "lost";
    doc.Root().Items().AddChild("b");
    EXPECT_EQ(doc.SaveToText(), kHeader + "<a>\r\n  <b/>\r\n</a>\r\n");
}

TEST(SimpleXMLWrite, AttributesInOrderWithPrefixesDuplicatesAndRawValues) {
    TSimpleXML doc;
    doc.Root().SetName("a");
    doc.Root().Namespace = "ns";
    doc.Root().Properties().AddAttribute("x", "1");
    doc.Root().Properties().AddAttribute("x", "2");
    doc.Root().Properties().AddAttribute("y", "<&>").NameSpace = "p";
    doc.Root().Value = "v";
    EXPECT_EQ(doc.SaveToText(), kHeader + "<ns:a x=\"1\" x=\"2\" p:y=\"<&>\">v</ns:a>\r\n");
}

TEST(SimpleXMLWrite, NothingIsEscaped) {
    TSimpleXML doc;
    doc.Root().SetName("label");
    doc.Root().Value = "a<b & \"c\" \xC4";
    EXPECT_EQ(doc.SaveToText(), kHeader + "<label>a<b & \"c\" \xC4</label>\r\n");
}

TEST(SimpleXMLWrite, DefaultHeaderIsAddedOnceAndStaysInTheProlog) {
    TSimpleXML doc;
    doc.Root().SetName("a");
    EXPECT_EQ(doc.Prolog().Count(), 0);
    EXPECT_EQ(doc.SaveToText(), kHeader + "<a/>\r\n");
    ASSERT_EQ(doc.Prolog().Count(), 1);
    EXPECT_EQ(doc.Prolog().ItemAt(0)->Kind(), TSimpleXMLElemKind::Header);
    EXPECT_EQ(doc.SaveToText(), kHeader + "<a/>\r\n");
    EXPECT_EQ(doc.Prolog().Count(), 1);
}

TEST(SimpleXMLWrite, HeaderLeavesOutAnEmptyEncodingAndAddsStandalone) {
    TSimpleXML doc;
    doc.Root().SetName("a");
    auto header = std::make_unique<TSimpleXMLElemHeader>();
    header->Version = "1.1";
    header->Encoding = "";
    header->StandAlone = true;
    doc.Prolog().Add(std::move(header));
    EXPECT_EQ(doc.SaveToText(), "<?xml version=\"1.1\" standalone=\"yes\"?>\r\n<a/>\r\n");
}

TEST(SimpleXMLWrite, PrologWithOnlyACommentGetsNoHeader) {
    TSimpleXML doc;
    doc.Root().SetName("a");
    doc.Prolog().Add(std::make_unique<TSimpleXMLElemComment>(" note "));
    EXPECT_EQ(doc.SaveToText(), "<!-- note -->\r\n<a/>\r\n");
    EXPECT_EQ(doc.Prolog().Count(), 1);
}

TEST(SimpleXMLWrite, PrologNodesInOrder) {
    TSimpleXML doc;
    doc.Root().SetName("a");
    doc.Prolog().Add(std::make_unique<TSimpleXMLElemHeader>());
    doc.Prolog().Add(std::make_unique<TSimpleXMLElemDocType>("a [<!ELEMENT a ANY>]"));
    auto sheet = std::make_unique<TSimpleXMLElemSheet>();
    sheet->Properties().AddAttribute("href", "s.css");
    doc.Prolog().Add(std::move(sheet));
    EXPECT_EQ(doc.SaveToText(), kHeader + "<!DOCTYPE a [<!ELEMENT a ANY>]>\r\n"
                                          "<?xml-stylesheet href=\"s.css\"?>\r\n"
                                          "<a/>\r\n");
}

TEST(SimpleXMLWrite, TextCommentAndCDataChildrenOnTheirOwnLines) {
    TSimpleXML doc;
    doc.Root().SetName("a");
    TSimpleXMLElems& items = doc.Root().Items();
    items.Add(std::make_unique<TSimpleXMLElemText>("text"));
    items.Add(std::make_unique<TSimpleXMLElemText>("")); // an empty text node writes nothing
    items.Add(std::make_unique<TSimpleXMLElemComment>("c"));
    items.Add(std::make_unique<TSimpleXMLElemCData>("<raw>"));
    EXPECT_EQ(doc.SaveToText(), kHeader + "<a>\r\n"
                                          "  text\r\n"
                                          "  <!--c-->\r\n"
                                          "  <![CDATA[<raw>]]>\r\n"
                                          "</a>\r\n");
}

TEST(SimpleXMLWrite, UnnamedElementWritesOnlyItsChildrenOneLevelDeeper) {
    TSimpleXML doc;
    EXPECT_EQ(doc.SaveToText(), kHeader); // unnamed root without children: nothing

    doc.Root().Items().AddChildText("b", "1");
    EXPECT_EQ(doc.SaveToText(), kHeader + "  <b>1</b>\r\n");
}

TEST(SimpleXMLWrite, ElementSaveToTextUsesTheGivenPrefix) {
    TSimpleXMLElemClassic e("r");
    e.Items().AddChildInt("n", -12);
    EXPECT_EQ(e.SaveToText("  "), "  <r>\r\n    <n>-12</n>\r\n  </r>\r\n");
}

TEST(SimpleXMLWrite, IntegerAndBooleanChildren) {
    TSimpleXML doc;
    doc.Root().SetName("r");
    doc.Root().Items().AddChildInt("big", INT64_MIN);
    doc.Root().Items().AddChildBool("yes", true);
    doc.Root().Items().AddChildBool("no", false);
    EXPECT_EQ(doc.SaveToText(), kHeader + "<r>\r\n"
                                          "  <big>-9223372036854775808</big>\r\n"
                                          "  <yes>-1</yes>\r\n"
                                          "  <no>0</no>\r\n"
                                          "</r>\r\n");
}

// The writer sizes its text by the last text the document read or wrote; every edit below makes
// the text far longer than that guess (or, the last ones, far shorter), at each kind of piece.
struct GrowthCase {
    const char* situation;
    std::function<void(TSimpleXML&)> edit;
    std::string body; // the expected text after the header
};

void PrintTo(const GrowthCase& c, std::ostream* os) {
    *os << c.situation;
}

class SimpleXMLWriteGrowth : public testing::TestWithParam<GrowthCase> {};

TEST_P(SimpleXMLWriteGrowth, TextOutgrowingTheSizeGuessIsWrittenWhole) {
    TSimpleXML doc;
    doc.LoadFromText("<r><v>1</v></r>");
    ASSERT_EQ(doc.SaveToText(), kHeader + "<r>\r\n  <v>1</v>\r\n</r>\r\n");
    GetParam().edit(doc);
    EXPECT_EQ(doc.SaveToText(), kHeader + GetParam().body);
    // Written again with the long text as the guess.
    EXPECT_EQ(doc.SaveToText(), kHeader + GetParam().body);
}

const std::string kLong(100000, 'x');

std::string manyChildren(int count) {
    std::string body = "<r>\r\n  <v>1</v>\r\n";
    for (int i = 0; i < count; ++i)
        body += "  <c n=\"" + std::to_string(i) + "\">" + std::to_string(i * 7) + "</c>\r\n";
    return body + "</r>\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimpleXMLWriteGrowth,
    testing::Values(
        GrowthCase{"long value", [](TSimpleXML& d) { d.Root().Items().ItemAt(0)->Value = kLong; },
                   "<r>\r\n  <v>" + kLong + "</v>\r\n</r>\r\n"},
        GrowthCase{"long names",
                   [](TSimpleXML& d) {
                       d.Root().Items().ItemAt(0)->SetName(kLong);
                       d.Root().Items().ItemAt(0)->Namespace = kLong;
                   },
                   "<r>\r\n  <" + kLong + ":" + kLong + ">1</" + kLong + ":" + kLong +
                       ">\r\n</r>\r\n"},
        GrowthCase{"long attribute",
                   [](TSimpleXML& d) {
                       TSimpleXMLProp& p = d.Root().Properties().AddAttribute(kLong, kLong);
                       p.NameSpace = "p";
                       d.Root().Properties().AddAttribute("b", "2");
                   },
                   "<r p:" + kLong + "=\"" + kLong + "\" b=\"2\">\r\n  <v>1</v>\r\n</r>\r\n"},
        GrowthCase{"long self-closing element",
                   [](TSimpleXML& d) {
                       d.Root().Items().AddChild("e").Properties().AddAttribute("a", kLong);
                   },
                   "<r>\r\n  <v>1</v>\r\n  <e a=\"" + kLong + "\"/>\r\n</r>\r\n"},
        GrowthCase{
            "many children",
            [](TSimpleXML& d) {
                for (int i = 0; i < 20000; ++i)
                    d.Root().Items().AddChildInt("c", i * 7).Properties().AddAttributeInt("n", i);
            },
            manyChildren(20000)},
        GrowthCase{"long text, comment and CDATA",
                   [](TSimpleXML& d) {
                       auto& items = d.Root().Items();
                       items.Add(std::make_unique<TSimpleXMLElemText>(kLong));
                       items.Add(std::make_unique<TSimpleXMLElemComment>(kLong));
                       items.Add(std::make_unique<TSimpleXMLElemCData>(kLong));
                   },
                   "<r>\r\n  <v>1</v>\r\n  " + kLong + "\r\n  <!--" + kLong + "-->\r\n  <![CDATA[" +
                       kLong + "]]>\r\n</r>\r\n"},
        GrowthCase{"shrunk to nothing", [](TSimpleXML& d) { d.Root().Items().Clear(); },
                   "<r/>\r\n"}),
    [](const testing::TestParamInfo<GrowthCase>& info) {
        std::string name;
        for (const char c : std::string(info.param.situation))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(SimpleXMLWrite, LongPrologNodesOutgrowTheSizeGuess) {
    TSimpleXML doc;
    doc.LoadFromText("<?xml version=\"1.0\"?><r/>");
    doc.Prolog().Header()->Version = kLong;
    doc.Prolog().Header()->Encoding = kLong;
    doc.Prolog().Header()->StandAlone = true;
    doc.Prolog().Add(std::make_unique<TSimpleXMLElemDocType>(kLong));
    doc.Prolog()
        .Add(std::make_unique<TSimpleXMLElemSheet>())
        .Properties()
        .AddAttribute("href", kLong);
    EXPECT_EQ(doc.SaveToText(), "<?xml version=\"" + kLong + "\" encoding=\"" + kLong +
                                    "\" standalone=\"yes\"?>\r\n<!DOCTYPE " + kLong +
                                    ">\r\n<?xml-stylesheet href=\"" + kLong + "\"?>\r\n<r/>\r\n");
}

TEST(SimpleXMLWrite, ElementWithALongPrefixAndManyLevelsIsWrittenWhole) {
    // An element writes without any guess of its size.
    const std::string prefix(1000, ' ');
    TSimpleXMLElemClassic top("t");
    TSimpleXMLElem* e = &top;
    std::string opening = prefix + "<t>\r\n";
    std::string closing = prefix + "</t>\r\n";
    for (int level = 1; level <= 200; ++level) {
        e = &e->Items().AddChild("e");
        const std::string indent = prefix + std::string(2 * level, ' ');
        if (level < 200) {
            opening += indent + "<e>\r\n";
            closing = indent + "</e>\r\n" + closing;
        } else {
            e->Value = kLong;
            opening += indent + "<e>" + kLong + "</e>\r\n";
        }
    }
    EXPECT_EQ(top.SaveToText(prefix), opening + closing);
}

TEST(SimpleXMLWrite, StringsOfEveryLengthAroundSixteenAreWrittenExactly) {
    // Short strings are copied in blocks; the bytes after each must be the next piece.
    for (std::size_t length = 1; length <= 33; ++length) {
        const std::string name(length, 'n');
        const std::string value(length, 'v');
        const std::string space(length, 's');
        TSimpleXML doc;
        doc.Root().SetName(name);
        doc.Root().Namespace = space;
        TSimpleXMLProp& prop = doc.Root().Properties().AddAttribute(name, value);
        prop.NameSpace = space;
        TSimpleXMLElem& child = doc.Root().Items().AddChildText(name, value);
        // A short value kept in storage once grown long.
        std::string grown(1000, 'g');
        grown = value;
        doc.Root().Items().AddChildText("g", "").Value = std::move(grown);
        child.Namespace = space;
        const std::string full = space + ":" + name;
        EXPECT_EQ(doc.SaveToText(), kHeader + "<" + full + " " + space + ":" + name + "=\"" +
                                        value + "\">\r\n  <" + full + ">" + value + "</" + full +
                                        ">\r\n  <g>" + value + "</g>\r\n</" + full + ">\r\n")
            << length;
    }
}

} // namespace
