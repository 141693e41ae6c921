// The reader: accepted texts, the trees they give, and every error message.
#include "records/SimpleXML.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";

std::string errorOf(std::string_view text) {
    TSimpleXML doc;
    try {
        doc.LoadFromText(text);
    } catch (const ESimpleXMLError& e) {
        return e.what();
    }
    return "(no error)";
}

struct ErrorCase {
    const char* situation;
    std::string text;
    std::string message;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.situation;
}

class SimpleXMLReadError : public testing::TestWithParam<ErrorCase> {};

TEST_P(SimpleXMLReadError, RaisesTheTableMessage) {
    EXPECT_EQ(errorOf(GetParam().text), GetParam().message) << GetParam().situation;
}

const std::string kEndOfData = "Invalid Comment: Unexpected end of data";

INSTANTIATE_TEST_SUITE_P(
    Table, SimpleXMLReadError,
    testing::Values(
        ErrorCase{"text before the first tag", "  hello <a/>",
                  "Invalid Document: Unexpected text in file prolog"},
        ErrorCase{"unrecognised construct in the prolog", "<?xml?><a/>",
                  "Invalid Document: Unexpected text in file prolog"},
        ErrorCase{"a lone < in the prolog", "<",
                  "Invalid Document: Unexpected text in file prolog"},
        ErrorCase{"slash not followed by >", "<a/x>",
                  "Invalid XML Element: Expected end of tag but \"x\" found"},
        ErrorCase{"slash not followed by > in a child", "<a><b/ ></a>",
                  "Invalid XML Element: Expected end of tag but \" \" found"},
        ErrorCase{"whitespace right after <", "< a/>",
                  "Invalid XML Element: malformed tag found (no valid name)"},
        ErrorCase{"whitespace right after < in a child", "<a>< b/></a>",
                  "Invalid XML Element: malformed tag found (no valid name)"},
        ErrorCase{"end tag does not match", "<a><b>1</b></c>",
                  "Invalid XML Element: Erroneous end of tag, expecting </a> but </c> found"},
        ErrorCase{"text ends before the end tag", "<a><b>1</b>",
                  "Invalid XML Element: Erroneous end of tag, expecting </a> but </> found"},
        ErrorCase{"text ends inside an end tag", "<a><b>1</b",
                  "Invalid XML Element: Erroneous end of tag, expecting </b> but </> found"},
        ErrorCase{"text ends inside a start tag", "<a><b x=\"1\"",
                  "Invalid XML Element: Erroneous end of tag, expecting </b> but </> found"},
        ErrorCase{"text ends inside an attribute value", "<a x=\"1/>",
                  "Invalid XML Element: Erroneous end of tag, expecting </a> but </> found"},
        ErrorCase{"end tag with another prefix", "<p:a></q:a>",
                  "Invalid XML Element: Erroneous end of tag, expecting </p:a> but </q:a> found"},
        ErrorCase{
            "bad character in an attribute list", "<a x=\"1\" $>",
            "Invalid XML Element: Unexpected character in property declaration (\"$\" found)"},
        ErrorCase{
            "attribute without =", "<a x y=\"1\">",
            "Invalid XML Element: Unexpected character in property declaration (\"y\" found)"},
        ErrorCase{"no quote after =", "<a x=1/>",
                  "Invalid XML Element: Unexpected character in property declaration. Expecting "
                  "\" or ' but \"1\"  found"},
        ErrorCase{"-- inside a comment", "<!-- a -- b --><a/>",
                  "Invalid Comment: \"--\" not allowed inside comments"},
        ErrorCase{"-- inside a comment in content", "<a><!--x--yz--></a>",
                  "Invalid Comment: \"--\" not allowed inside comments"},
        ErrorCase{"comment not closed", "<!-- abc", kEndOfData},
        ErrorCase{"comment in content not closed", "<a><!-- abc -", kEndOfData},
        ErrorCase{"doctype not closed", "<!DOCTYPE a [ > ]", kEndOfData},
        ErrorCase{"header not closed", "<?xml version=\"1.0\"", kEndOfData},
        ErrorCase{"header attribute not closed", "<?xml version=\"1.0", kEndOfData},
        ErrorCase{"CDATA not closed", "<a><![CDATA[abc]]</a>",
                  "Invalid CDATA: Unexpected end of data"},
        ErrorCase{"header not ended by ?>", "<?xml version=\"1.0\"?x<a/>",
                  "Invalid Header: expected \">\" but found \"x\""},
        ErrorCase{"header ended by />", "<?xml version=\"1.0\"/><a/>",
                  "Invalid Header: expected \"?\" but found \"/\""},
        ErrorCase{"bad stylesheet", "<?xml-stylesheet href=\"a\"/><a/>",
                  "Invalid Stylesheet: expected \"?\" but found \"/\""},
        ErrorCase{"stylesheet not closed", "<?xml-stylesheet href=\"a\"",
                  "Invalid Stylesheet: Unexpected end of data"},
        ErrorCase{"stylesheet with a bad attribute", "<?xml-stylesheet href=a?><a/>",
                  "Invalid XML Element: Unexpected character in property declaration. Expecting "
                  "\" or ' but \"a\"  found"}),
    [](const testing::TestParamInfo<ErrorCase>& info) {
        std::string name;
        for (const char c : std::string(info.param.situation))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(SimpleXMLRead, ErrorLeavesWhatWasBuiltUpToIt) {
    TSimpleXML doc;
    doc.LoadFromText("<!--old--><old k=\"v\"><x/></old>");
    EXPECT_THROW(doc.LoadFromText("<!--c--><a><b>1</b><c x=1/></a>"), ESimpleXMLError);
    EXPECT_EQ(doc.Prolog().Count(), 1);
    EXPECT_EQ(doc.Prolog().ItemAt(0)->Value, "c");
    EXPECT_EQ(doc.Root().Name(), "a");
    EXPECT_EQ(doc.Root().Properties().Count(), 0);
    ASSERT_EQ(doc.Root().Items().Count(), 2);
    EXPECT_EQ(doc.Root().Items().ChildText("b"), "1");
    EXPECT_EQ(doc.Root().Items().ItemAt(1)->Name(), "c");
}

TEST(SimpleXMLRead, EmptyTextKeepsTheRootNameAndEmptiesTheRest) {
    TSimpleXML doc;
    doc.LoadFromText("<?xml version=\"1.0\"?><keep a=\"1\">v</keep>");
    doc.LoadFromText("");
    EXPECT_EQ(doc.Root().Name(), "keep");
    EXPECT_EQ(doc.Root().Properties().Count(), 0);
    EXPECT_EQ(doc.Root().Items().Count(), 0);
    EXPECT_EQ(doc.Root().Value, "");
    EXPECT_EQ(doc.Prolog().Count(), 0);
    EXPECT_EQ(doc.SaveToText(), kHeader + "<keep/>\r\n");

    doc.LoadFromText(" \r\n\t ");
    EXPECT_EQ(doc.Root().Name(), "keep");
}

TEST(SimpleXMLRead, DefaultRecordTextReadsBackToTheSameBytes) {
    const std::string text = kHeader + "<KELMORAX>\r\n"
                                       "  <record>\r\n"
                                       "    <CtrlNode type=\"6\">\r\n"
                                       "      <key>0</key>\r\n"
                                       "      <keycmd>-1</keycmd>\r\n"
                                       "      <content/>\r\n"
                                       "    </CtrlNode>\r\n"
                                       "  </record>\r\n"
                                       "  <record>\r\n"
                                       "    <CtrlNode type=\"14\"/>\r\n"
                                       "  </record>\r\n"
                                       "</KELMORAX>\r\n";
    TSimpleXML doc;
    doc.LoadFromText(text);
    EXPECT_EQ(doc.SaveToText(), text);
    const TSimpleXMLElem* node = doc.Root().Items().ItemAt(0)->Items().ItemAt(0);
    EXPECT_EQ(node->Name(), "CtrlNode");
    EXPECT_EQ(node->Properties().AttributeInt("type", -1), 6);
    EXPECT_TRUE(node->Items().ChildBool("keycmd", false));
    EXPECT_EQ(node->Items().FindChild("content")->Value, "");
}

TEST(SimpleXMLRead, EndTagsCompareWithoutLetterCase) {
    TSimpleXML doc;
    doc.LoadFromText("<a><b>1</B></A>");
    EXPECT_EQ(doc.Root().Name(), "a");
    EXPECT_EQ(doc.Root().Items().ChildText("b"), "1");
    doc.LoadFromText("<p:a></P:A>");
    EXPECT_EQ(doc.Root().Namespace, "p");
    EXPECT_EQ(doc.Root().Name(), "a");
    EXPECT_EQ(doc.Root().FullName(), "p:a");
}

TEST(SimpleXMLRead, ElementPrefixIsEverythingBeforeTheLastColon) {
    TSimpleXML doc;
    doc.LoadFromText("<a:b:c><d:e>1</D:E></A:B:C>");
    EXPECT_EQ(doc.Root().Namespace, "a:b");
    EXPECT_EQ(doc.Root().Name(), "c");
    EXPECT_EQ(doc.Root().Items().ItemAt(0)->FullName(), "d:e");
    EXPECT_EQ(doc.SaveToText(), kHeader + "<a:b:c>\r\n  <d:e>1</d:e>\r\n</a:b:c>\r\n");

    doc.LoadFromText("<:a>1</a>"); // an empty prefix is no prefix
    EXPECT_EQ(doc.Root().FullName(), "a");
    EXPECT_EQ(doc.SaveToText(), kHeader + "<a>1</a>\r\n");
}

TEST(SimpleXMLRead, TextValuesFoldBlankRunsAndKeepLineBreaks) {
    struct Case {
        std::string text;
        std::string value;
    };
    const Case cases[] = {
        {"<label>a   b</label>", "a b"},     {"<label>a b </label>", "a b "},
        {"<label>   a</label>", "a"},        {"<label>a    </label>", "a "},
        {"<label>a\t\tb</label>", "a\t\tb"}, {"<label>a\r\n  b</label>", "a\r\n b"},
        {"<label>\r\n</label>", ""},         {"<label>&amp;&#x41;</label>", "&amp;&#x41;"},
        {"<label>x>y</label>", "x>y"},
    };
    for (const Case& c : cases) {
        TSimpleXML doc;
        doc.LoadFromText(c.text);
        EXPECT_EQ(doc.Root().Value, c.value) << c.text;
        EXPECT_EQ(doc.Root().Items().Count(), 0) << c.text;
    }
}

TEST(SimpleXMLRead, CrLfInsideAValueSurvivesLoadAndSave) {
    const std::string text = kHeader + "<command>A=1\r\nB=2</command>\r\n";
    TSimpleXML doc;
    doc.LoadFromText(text);
    EXPECT_EQ(doc.Root().Value, "A=1\r\nB=2");
    EXPECT_EQ(doc.SaveToText(), text);
}

TEST(SimpleXMLRead, MixedContentKeepsTextNodesAsChildren) {
    TSimpleXML doc;
    doc.LoadFromText("<a>before<b/>after </a>");
    EXPECT_EQ(doc.Root().Value, "");
    ASSERT_EQ(doc.Root().Items().Count(), 3);
    EXPECT_EQ(doc.Root().Items().ItemAt(0)->Kind(), TSimpleXMLElemKind::Text);
    EXPECT_EQ(doc.Root().Items().ItemAt(0)->Value, "before");
    EXPECT_EQ(doc.Root().Items().ItemAt(2)->Value, "after ");
    EXPECT_EQ(doc.SaveToText(), kHeader + "<a>\r\n  before\r\n  <b/>\r\n  after \r\n</a>\r\n");
}

TEST(SimpleXMLRead, CommentAndCDataChildrenStayChildren) {
    TSimpleXML doc;
    doc.LoadFromText("<a><![CDATA[x]y]]z<b>]]></a>");
    ASSERT_EQ(doc.Root().Items().Count(), 1);
    EXPECT_EQ(doc.Root().Items().ItemAt(0)->Kind(), TSimpleXMLElemKind::CData);
    EXPECT_EQ(doc.Root().Items().ItemAt(0)->Value, "x]y]]z<b>");
    EXPECT_EQ(doc.Root().Value, "");

    doc.LoadFromText("<a><!-- a --x> b --></a>");
    ASSERT_EQ(doc.Root().Items().Count(), 1);
    EXPECT_EQ(doc.Root().Items().ItemAt(0)->Kind(), TSimpleXMLElemKind::Comment);
    EXPECT_EQ(doc.Root().Items().ItemAt(0)->Value, " a --x> b ");
}

TEST(SimpleXMLRead, PrologNodesAreReadInOrder) {
    const std::string text = "\r\n <?xml version='1.0' encoding=\"GBK\" standalone='yes'?>"
                             "<!-- made by hand -->"
                             "<!DOCTYPE  chart [ <!ELEMENT a (b)> ]  >"
                             "<?xml-stylesheet type=\"text/xsl\" href='s.xsl'?>"
                             "<a/>";
    TSimpleXML doc;
    doc.LoadFromText(text);
    const TSimpleXMLElemsProlog& prolog = doc.Prolog();
    ASSERT_EQ(prolog.Count(), 4);
    const TSimpleXMLElemHeader* header = prolog.Header();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Version, "1.0");
    EXPECT_EQ(header->Encoding, "GBK");
    EXPECT_TRUE(header->StandAlone);
    EXPECT_EQ(header->Properties().Count(), 0);
    EXPECT_EQ(prolog.ItemAt(1)->Value, " made by hand ");
    EXPECT_EQ(prolog.ItemAt(2)->Kind(), TSimpleXMLElemKind::DocType);
    EXPECT_EQ(prolog.ItemAt(2)->Value, "chart [ <!ELEMENT a (b)> ]");
    EXPECT_EQ(prolog.ItemAt(3)->Properties().AttributeText("href"), "s.xsl");
    EXPECT_EQ(doc.SaveToText(), "<?xml version=\"1.0\" encoding=\"GBK\" standalone=\"yes\"?>\r\n"
                                "<!-- made by hand -->\r\n"
                                "<!DOCTYPE chart [ <!ELEMENT a (b)> ]>\r\n"
                                "<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>\r\n"
                                "<a/>\r\n");
}

TEST(SimpleXMLRead, HeaderWithoutEncodingOrStandaloneYes) {
    TSimpleXML doc;
    doc.LoadFromText("<?xml version=\"1.0\" standalone=\"no\"?><a/>");
    ASSERT_NE(doc.Prolog().Header(), nullptr);
    EXPECT_EQ(doc.Prolog().Header()->Encoding, "");
    EXPECT_FALSE(doc.Prolog().Header()->StandAlone);
    EXPECT_EQ(doc.SaveToText(), "<?xml version=\"1.0\"?>\r\n<a/>\r\n");
}

TEST(SimpleXMLRead, ReadPrologWithoutHeaderIsWrittenWithoutOne) {
    TSimpleXML doc;
    doc.LoadFromText("<!--only--><a/>");
    EXPECT_EQ(doc.SaveToText(), "<!--only-->\r\n<a/>\r\n");
}

TEST(SimpleXMLRead, AttributeForms) {
    TSimpleXML doc;
    doc.LoadFromText("<a\tx = 'one \"1\"'\r\n y=\"two\r\n<2>\" p:z=\"3\" x=\"again\" _-9=''/>");
    const TSimpleXMLProps& props = doc.Root().Properties();
    ASSERT_EQ(props.Count(), 5);
    EXPECT_EQ(props.ItemAt(0)->Value, "one \"1\"");
    EXPECT_EQ(props.ItemAt(1)->Value, "two\r\n<2>");
    EXPECT_EQ(props.ItemAt(2)->Name(), "z");
    EXPECT_EQ(props.ItemAt(2)->NameSpace, "p");
    EXPECT_EQ(props.AttributeText("X"), "again");
    EXPECT_EQ(props.AttributeText("_-9", "d"), "");
    EXPECT_EQ(doc.Root().Value, "");
    EXPECT_EQ(doc.Root().Items().Count(), 0);
}

TEST(SimpleXMLRead, AttributePrefixIsEverythingBeforeTheLastColon) {
    TSimpleXML doc;
    doc.LoadFromText("<a a:b:c='1' x::='2' y:='3'/>");
    const TSimpleXMLProps& props = doc.Root().Properties();
    ASSERT_EQ(props.Count(), 3);
    EXPECT_EQ(props.ItemAt(0)->NameSpace, "a:b");
    EXPECT_EQ(props.ItemAt(0)->Name(), "c");
    EXPECT_EQ(props.ItemAt(1)->NameSpace, "x:");
    EXPECT_EQ(props.ItemAt(1)->Name(), "");
    EXPECT_EQ(props.ItemAt(2)->FullName(), "y:");
    const std::string written = doc.SaveToText();
    EXPECT_EQ(written, kHeader + "<a a:b:c=\"1\" x::=\"2\" y:=\"3\"/>\r\n");
    doc.LoadFromText(written);
    EXPECT_EQ(doc.SaveToText(), written);
}

TEST(SimpleXMLRead, AnythingAfterTheRootElementIsIgnored) {
    TSimpleXML doc;
    doc.LoadFromText("<a>1</a> trailing <<< text");
    EXPECT_EQ(doc.Root().Value, "1");
    EXPECT_EQ(doc.SaveToText(), kHeader + "<a>1</a>\r\n");
}

TEST(SimpleXMLRead, RootTakesTheNameOfTheText) {
    TSimpleXML doc;
    doc.Root().SetName("old");
    doc.LoadFromText("<new/>");
    EXPECT_EQ(doc.Root().Name(), "new");
}

TEST(SimpleXMLRead, NestingUpToTheLimitParses) {
    std::string text;
    for (int i = 0; i < TSimpleXML::MaxDepth; ++i)
        text += "<e>";
    text += "x";
    for (int i = 0; i < TSimpleXML::MaxDepth; ++i)
        text += "</e>";
    TSimpleXML doc;
    doc.LoadFromText(text);
    const TSimpleXMLElem* e = &doc.Root();
    int depth = 1;
    while (e->Items().Count() == 1) {
        e = e->Items().ItemAt(0);
        ++depth;
    }
    EXPECT_EQ(depth, TSimpleXML::MaxDepth);
    EXPECT_EQ(e->Value, "x");
}

TEST(SimpleXMLRead, NestingBeyondTheLimitRaisesAClearError) {
    const std::string expected = "Invalid XML Element: Elements nested deeper than " +
                                 std::to_string(TSimpleXML::MaxDepth) + " levels";
    for (const int depth : {TSimpleXML::MaxDepth + 1, 1000000}) {
        std::string text;
        text.reserve(static_cast<std::size_t>(depth) * 3);
        for (int i = 0; i < depth; ++i)
            text += "<e>";
        EXPECT_EQ(errorOf(text), expected) << depth;
    }
    // Self-closing elements at the bottom count too.
    std::string text;
    for (int i = 0; i < TSimpleXML::MaxDepth; ++i)
        text += "<e>";
    text += "<e/>";
    EXPECT_EQ(errorOf(text), expected);
}

} // namespace

// The place of the first error, as an editor counts lines and columns; the message itself is
// the reader's as ever.
TEST(XmlErrorPlace, CountsLinesAndColumnsUpToWhereTheReaderStopped) {
    struct Case {
        const char* what;
        std::string text;
        std::optional<TTextPlace> place;
    };
    const Case cases[] = {
        {"reads", "<a><b/></a>", std::nullopt},
        {"text before the root", "hello", TTextPlace{1, 1}},
        {"cut off after CR LF lines", "<a>\r\n  <b>\r\n", TTextPlace{3, 1}},
        {"just after a wrong end tag on line 2", "<a>\n<b></c>", TTextPlace{2, 8}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XmlErrorPlace(c.text), c.place) << c.what;
}
