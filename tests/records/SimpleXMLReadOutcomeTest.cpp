// What the reader makes of texts that probe how content is told apart (elements, end tags,
// comments, CDATA, text) and how far it gets when the text ends early: the message and offset of
// the error, if any, and the tree as written afterwards, byte for byte.
#include "records/SimpleXML.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct OutcomeCase {
    std::string text;
    std::string outcome; // "OK" or "ERR message @offset", a line end, then the written tree
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text);
}

std::string outcomeOf(TSimpleXML& doc, const std::string& text) {
    std::string outcome;
    try {
        doc.LoadFromText(text);
        outcome = "OK";
    } catch (const ESimpleXMLError& e) {
        outcome =
            std::string("ERR ") + e.what() + " @" + (e.Offset ? std::to_string(*e.Offset) : "?");
    }
    return outcome + "\n" + doc.SaveToText();
}

class SimpleXMLReadOutcome : public testing::TestWithParam<OutcomeCase> {};

std::string outcomeOf(const std::string& text) {
    TSimpleXML doc;
    return outcomeOf(doc, text);
}

TEST_P(SimpleXMLReadOutcome, MessageOffsetAndTreeAreExact) {
    EXPECT_EQ(outcomeOf(GetParam().text), GetParam().outcome);
}

// Texts a document held before: reading into it reuses that tree's elements, which must come
// out as new ones whatever they carried (attributes, prefixes, values, children, a name index,
// other kinds of node) and however many there were.
std::string wideText() {
    std::string text = "<w x=\"1\">";
    for (int i = 0; i < 40; ++i)
        text += "<k" + std::to_string(i) + " a=\"" + std::to_string(i) + "\">v</k" +
                std::to_string(i) + ">";
    return text + "</w>";
}

const std::vector<std::string> kHeldBefore = {
    "<KELMORAX><record><CtrlNode type=\"11\"><label>L1</label><wait/></CtrlNode></record>"
    "<record><CtrlNode type=\"3\"><mode>0</mode></CtrlNode></record></KELMORAX>",
    "<?xml version=\"1.0\"?><!--c--><p:r q:a=\"1\" b='2'>text<p:c>1</p:c><!--x--><![CDATA[y]]>"
    "tail<d><e f=\"g\"><h/></e></d></p:r>",
    "<a><b x=\"1\"><c>1</c><d>2</d></b><e>",
    wideText(),
    "<x/>",
};

TEST_P(SimpleXMLReadOutcome, DocumentThatHeldAnotherTreeReadsTheSame) {
    for (const std::string& before : kHeldBefore) {
        TSimpleXML doc;
        (void)outcomeOf(doc, before);
        // A lookup builds the name index of a long child list.
        if (doc.Root().Items().Count() > 0)
            (void)doc.Root().Items().FindChild("k3");
        EXPECT_EQ(outcomeOf(doc, GetParam().text), GetParam().outcome) << before;
        // And read once more, into the tree it just made.
        EXPECT_EQ(outcomeOf(doc, GetParam().text), GetParam().outcome) << before;
    }
}

TEST(SimpleXMLReadOutcome, ReusedListsFindChildrenByTheirNewNames) {
    TSimpleXML doc;
    doc.LoadFromText("<top>" + wideText() + "</top>");
    ASSERT_NE(doc.Root().Items().ItemAt(0)->Items().FindChild("k30"), nullptr); // builds the index
    std::string text = "<top><w>";
    for (int i = 0; i < 40; ++i)
        text +=
            "<m" + std::to_string(i) + ">" + std::to_string(i) + "</m" + std::to_string(i) + ">";
    doc.LoadFromText(text + "</w></top>");
    const TSimpleXMLElem& w = *doc.Root().Items().ItemAt(0);
    EXPECT_EQ(w.Items().FindChild("k30"), nullptr);
    EXPECT_EQ(w.Items().ChildInt("m30", -5), 30);
    EXPECT_EQ(w.Properties().Count(), 0);
    EXPECT_EQ(w.Items().ItemAt(7)->Properties().Count(), 0);
    EXPECT_EQ(w.Items().ItemAt(7)->Parent(), &w);
    EXPECT_EQ(w.Parent(), &doc.Root());
}

const std::vector<OutcomeCase> kCases = {
    {"<a><b", "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found "
              "@5\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<a><b:", "ERR Invalid XML Element: Erroneous end of tag, expecting </b:> but </> found "
               "@6\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n</a>\r\n"},
    {"<a><b ",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </> found @6\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><b/",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </> but </> found @6\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a>< ", "ERR Invalid XML Element: malformed tag found (no valid name) @4\n<?xml "
              "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n</a>\r\n"},
    {"<a><:", "ERR Invalid XML Element: Erroneous end of tag, expecting </> but </> found "
              "@5\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n</a>\r\n"},
    {"<a><!", "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found "
              "@5\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<a><!-", "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found "
               "@6\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<a><!-x>",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </!-x> but </> found @8\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <!-x/>\r\n</a>\r\n"},
    {"<a><!x/></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <!x/>\r\n</a>\r\n"},
    {"<a><![CDAT", "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> "
                   "found @10\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<a><![CDATA[x]]></a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  "
                             "<![CDATA[x]]>\r\n</a>\r\n"},
    {"<a><!--x--></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <!--x-->\r\n</a>\r\n"},
    {"<a><b/></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><b:c:d>1</b:c:d></A>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  "
                                "<b:c:d>1</b:c:d>\r\n</a>\r\n"},
    {"<a><:b>1</b></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a><:b>1</:b></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a>t<b/>u</a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  t\r\n  "
                      "<b/>\r\n  u\r\n</a>\r\n"},
    {"<a>  t  u  <b/></a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  t "
                            "u \r\n  <b/>\r\n</a>\r\n"},
    {"<a><b x='1' y=\"2\"/><c>v</C></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b x=\"1\" y=\"2\"/>\r\n "
     " <c>v</c>\r\n</a>\r\n"},
    {"<a><b?>1</b?></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b?>1</b?>\r\n</a>\r\n"},
    {"<a><b x=\"1\"?>1</b?></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b? "
     "x=\"1\">1</b?>\r\n</a>\r\n"},
    {"<p:a></p:a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<p:a/>\r\n"},
    {"<p:a></a>", "ERR Invalid XML Element: Erroneous end of tag, expecting </p:a> but </a> "
                  "found @9\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<p:a/>\r\n"},
    {"<a></p:a>", "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </p:a> "
                  "found @9\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<:a></a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<a></:a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<a></::a>", "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </::a> "
                  "found @9\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<a><b>1</b>",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @11\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a><b>1</b",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </> found @10\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a><b>1</",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </> found @9\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a><b>1<",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </> found @8\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a>x", "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found "
             "@4\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>x</a>\r\n"},
    {"<a>x<", "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found "
              "@5\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>x</a>\r\n"},
    {"<a><b/x></a>", "ERR Invalid XML Element: Expected end of tag but \"x\" found @6\n<?xml "
                     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><b/",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </> but </> found @6\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a/ >", "ERR Invalid XML Element: Expected end of tag but \" \" found @3\n<?xml "
              "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<a>text</a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>text</a>\r\n"},
    {"<a>   </a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n"},
    {"<a>\r\n x \r\n</a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>x \r\n</a>\r\n"},
    {"<a><b></b><b>2</b></a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n "
                               " <b/>\r\n  <b>2</b>\r\n</a>\r\n"},
    {"<a:b:c x:y:z='1'/>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a:b:c x:y:z=\"1\"/>\r\n"},
    {"<a><b>x</b>y</a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  "
                         "<b>x</b>\r\n  y\r\n</a>\r\n"},
    {"<a><!--c-->v</a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  "
                         "<!--c-->\r\n  v\r\n</a>\r\n"},
    {"<a>v<!--c--></a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  "
                         "v\r\n  <!--c-->\r\n</a>\r\n"},
    {"<a>v<![CDATA[c]]></a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  "
                              "v\r\n  <![CDATA[c]]>\r\n</a>\r\n"},
    {"<a><b></b  ></a>",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </b  > found "
     "@12\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><b></ b></a>",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </ b> found @11\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a>&amp;&lt;&#65;</a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>&amp;&lt;&#65;</a>\r\n"},
    {"<a x=\"&quot;<>\" y='\"/>'>&gt;</a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a x=\"&quot;<>\" "
     "y=\"\"/>\">&gt;</a>\r\n"},
    {"<a><b>one  two   three    </b></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>one two three "
     "</b>\r\n</a>\r\n"},
    {"<a>\t x\t\ty </a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>x\t\ty </a>\r\n"},
    {"<a><b><c><d><e><f><g><h><i><j>deep</j></i></h></g></f></e></d></c></b></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>\r\n    <c>\r\n      "
     "<d>\r\n        <e>\r\n          <f>\r\n            <g>\r\n              <h>\r\n          "
     "      <i>\r\n                  <j>deep</j>\r\n                </i>\r\n              "
     "</h>\r\n            </g>\r\n          </f>\r\n        </e>\r\n      </d>\r\n    </c>\r\n "
     " </b>\r\n</a>\r\n"},
    {"<a><b><c><d>1</d></c></b>",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @25\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>\r\n    <c>\r\n      "
     "<d>1</d>\r\n    </c>\r\n  </b>\r\n</a>\r\n"},
    {"<a><b><c><d>1</d></c></b></a",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @28\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>\r\n    <c>\r\n      "
     "<d>1</d>\r\n    </c>\r\n  </b>\r\n</a>\r\n"},
    {"<a><b><c/></b></a>x y", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  "
                              "<b>\r\n    <c/>\r\n  </b>\r\n</a>\r\n"},
    {"<a><b x=\"1\" y='2",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </> found @16\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b x=\"1\"/>\r\n</a>\r\n"},
    {"<a><b x",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </> found @7\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><b x=",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </> found @8\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><b x= ",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </> found @9\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><b>1</b><",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @12\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a><b>1</b><!-",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @14\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a><b>1</b><![CDATA[", "ERR Invalid CDATA: Unexpected end of data @20\n<?xml version=\"1.0\" "
                             "encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a><b>1</b><!--", "ERR Invalid Comment: Unexpected end of data @15\n<?xml version=\"1.0\" "
                        "encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a><b>1</b><c",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @13\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n</a>\r\n"},
    {"<a><b>1</b>t",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @12\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n  t\r\n</a>\r\n"},
    {"<a><b>1</b>t<",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @13\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n  t\r\n</a>\r\n"},
    {"<a>\r\n  <b>1</b>\r\n  <c x=\"2\"/>\r\n</a>\r\n",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>1</b>\r\n  <c "
     "x=\"2\"/>\r\n</a>\r\n"},
    {"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<KELMORAX>\r\n  <record>\r\n    "
     "<CtrlNode type=\"11\">\r\n      <label>A1</label>\r\n      <wait/>\r\n    "
     "</CtrlNode>\r\n  </record>\r\n</KELMORAX>\r\n",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<KELMORAX>\r\n  <record>\r\n    "
     "<CtrlNode type=\"11\">\r\n      <label>A1</label>\r\n      <wait/>\r\n    "
     "</CtrlNode>\r\n  </record>\r\n</KELMORAX>\r\n"},
    {"<a><b\t/></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><b\r\n>x</b\r\n></a>",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </b\r\n> found "
     "@15\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>x</b>\r\n</a>\r\n"},
    {"<a><b>x</b >",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </b> but </b > found @12\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>x</b>\r\n</a>\r\n"},
    {"<a><b/ >", "ERR Invalid XML Element: Expected end of tag but \" \" found @6\n<?xml "
                 "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><1b>x</1b><-c/></a>", "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n "
                               " <1b>x</1b>\r\n  <-c/>\r\n</a>\r\n"},
    {"<a><b x=\"1\"x=\"2\"/></a>",
     "OK\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b x=\"1\" "
     "x=\"2\"/>\r\n</a>\r\n"},
    {"<a><b></b></a",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @13\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
    {"<a><b></b></",
     "ERR Invalid XML Element: Erroneous end of tag, expecting </a> but </> found @12\n<?xml "
     "version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"}};

INSTANTIATE_TEST_SUITE_P(Table, SimpleXMLReadOutcome, testing::ValuesIn(kCases));

TEST(SimpleXMLReadOutcome, LongValuesFoldBlankRunsOnlyAndKeepTheRest) {
    const std::string folded = std::string(40, 'v') + " " + std::string(40, 'w') + " x ";
    const std::string kept(3000, 'z');
    TSimpleXML doc;
    doc.LoadFromText("<a><b>" + std::string(40, 'v') + "  " + std::string(40, 'w') +
                     "   x  </b><c>" + kept + "</c><d>" + kept + "<e/>" + kept + "</d></a>");
    EXPECT_EQ(doc.SaveToText(), "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a>\r\n  <b>" +
                                    folded + "</b>\r\n  <c>" + kept + "</c>\r\n  <d>\r\n    " +
                                    kept + "\r\n    <e/>\r\n    " + kept +
                                    "\r\n  </d>\r\n</a>\r\n");
}

} // namespace
