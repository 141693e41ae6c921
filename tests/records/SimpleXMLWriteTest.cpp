// The written form of the tree, compared byte for byte.
#include "records/SimpleXML.h"

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

} // namespace
