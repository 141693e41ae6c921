// The element tree: typed lookups, the name index, copying, ownership and deep trees.
#include "records/SimpleXML.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

TEST(SimpleXMLTree, ChildIntReadsMinusOneForAPresentNonInteger) {
    struct Case {
        std::string record; // children of the root
        std::int64_t expected;
    };
    const Case cases[] = {
        {"", 5},
        {"<other>3</other>", 5},
        {"<wait/>", -1},
        {"<wait>abc</wait>", -1},
        {"<wait>12</wait>", 12},
        {"<WAIT>12</WAIT>", 12},
        {"<wait>-7</wait>", -7},
        {"<wait>+3</wait>", 3},
        {"<wait>12x</wait>", -1},
        {"<wait>1.5</wait>", -1},
        {"<wait>9223372036854775807</wait>", INT64_MAX},
        {"<wait>9223372036854775808</wait>", -1},
        {"<wait>--1</wait>", -1},
        {"<wait>+-1</wait>", -1},
    };
    for (const Case& c : cases) {
        TSimpleXML doc;
        doc.LoadFromText("<r>" + c.record + "<z/></r>");
        EXPECT_EQ(doc.Root().Items().ChildInt("wait", 5), c.expected) << c.record;
    }
}

TEST(SimpleXMLTree, AttributeIntBehavesAsChildInt) {
    struct Case {
        std::string attributes;
        std::int64_t expected;
    };
    const Case cases[] = {
        {"", 5},
        {" type=\"\"", -1},
        {" type=\"abc\"", -1},
        {" type=\"12\"", 12},
        {" TYPE=\"-3\"", -3},
    };
    for (const Case& c : cases) {
        TSimpleXML doc;
        doc.LoadFromText("<r" + c.attributes + "/>");
        EXPECT_EQ(doc.Root().Properties().AttributeInt("type", 5), c.expected) << c.attributes;
    }
}

TEST(SimpleXMLTree, ChildBoolReadsNumbersAndTrueFalse) {
    struct Case {
        std::string child;
        bool expected; // with the default false
        bool expectedDefaultTrue;
    };
    const Case cases[] = {
        {"", false, true},
        {"<b/>", false, true},
        {"<b>0</b>", false, false},
        {"<b>-1</b>", true, true},
        {"<b>1</b>", true, true},
        {"<b>42</b>", true, true},
        {"<b>0.0</b>", false, false},
        {"<b>2.5</b>", true, true},
        {"<b>True</b>", true, true},
        {"<b>tRUE</b>", true, true},
        {"<b>FALSE</b>", false, false},
        {"<b>yes</b>", false, false},
        {"<b>nan</b>", false, false},
    };
    for (const Case& c : cases) {
        TSimpleXML doc;
        doc.LoadFromText("<r>" + c.child + "<z/></r>");
        EXPECT_EQ(doc.Root().Items().ChildBool("b", false), c.expected) << c.child;
        EXPECT_EQ(doc.Root().Items().ChildBool("b", true), c.expectedDefaultTrue) << c.child;
    }
}

TEST(SimpleXMLTree, ChildTextGivesAPresentEmptyValueNotTheDefault) {
    TSimpleXML doc;
    doc.LoadFromText("<r><label/><x>v</x></r>");
    EXPECT_EQ(doc.Root().Items().ChildText("label", "dflt"), "");
    EXPECT_EQ(doc.Root().Items().ChildText("X", "dflt"), "v");
    EXPECT_EQ(doc.Root().Items().ChildText("missing", "dflt"), "dflt");
    EXPECT_EQ(doc.Root().Properties().AttributeText("missing", "dflt"), "dflt");
}

TEST(SimpleXMLTree, ItemAtOutsideTheListGivesNothing) {
    TSimpleXMLElemClassic e("r");
    e.Items().AddChild("a");
    e.Properties().AddAttribute("p", "1");
    EXPECT_NE(e.Items().ItemAt(0), nullptr);
    EXPECT_EQ(e.Items().ItemAt(-1), nullptr);
    EXPECT_EQ(e.Items().ItemAt(1), nullptr);
    EXPECT_EQ(e.Properties().ItemAt(-1), nullptr);
    EXPECT_EQ(e.Properties().ItemAt(1), nullptr);
}

// Short and long child lists take different lookup paths; both must agree on the rules.
class SimpleXMLNameIndex : public testing::TestWithParam<int> {};

TEST_P(SimpleXMLNameIndex, LaterDuplicateWinsWithoutLetterCase) {
    const int fillers = GetParam();
    TSimpleXMLElemClassic root("r");
    TSimpleXMLElems& items = root.Items();
    for (int i = 0; i < fillers; ++i)
        items.AddChildInt("n" + std::to_string(i), i);
    EXPECT_EQ(items.FindChild("label"), nullptr);
    TSimpleXMLElem& first = items.AddChildText("LABEL", "first");
    EXPECT_EQ(items.FindChild("label"), &first);
    TSimpleXMLElem& second = items.AddChildText("label", "second");
    EXPECT_EQ(items.FindChild("Label"), &second);
    EXPECT_EQ(items.ChildText("label"), "second");
    EXPECT_EQ(items.Count(), fillers + 2);

    // Removing the later one uncovers the earlier one.
    items.Delete(items.Count() - 1);
    EXPECT_EQ(items.FindChild("label"), &first);

    // A renamed child is found by its new name only; earlier names still resolve.
    first.SetName("caption");
    EXPECT_EQ(items.FindChild("label"), nullptr);
    EXPECT_EQ(items.FindChild("CAPTION"), &first);
    if (fillers > 0) {
        EXPECT_EQ(items.ChildInt("n0", -5), 0);
        items.ItemAt(0)->SetName("caption");
        EXPECT_EQ(items.FindChild("caption"), &first); // still the highest position
    }
}

INSTANTIATE_TEST_SUITE_P(ShortAndLongLists, SimpleXMLNameIndex, testing::Values(0, 3, 40, 10000));

TEST(SimpleXMLTree, TenThousandChildrenAreFoundAfterEachAppend) {
    TSimpleXMLElemClassic root("KELMORAX");
    for (int i = 0; i < 10000; ++i) {
        TSimpleXMLElem& added = root.Items().AddChild("record" + std::to_string(i % 100));
        ASSERT_EQ(root.Items().FindChild("RECORD" + std::to_string(i % 100)), &added);
    }
    EXPECT_EQ(root.Items().Count(), 10000);
}

TEST(SimpleXMLTree, AttributesAllowDuplicatesAndTheLastWins) {
    TSimpleXMLProps props;
    props.AddAttribute("type", "1");
    props.AddAttributeInt("TYPE", 2);
    EXPECT_EQ(props.Count(), 2);
    EXPECT_EQ(props.AttributeInt("type", 0), 2);
    props.Delete(1);
    EXPECT_EQ(props.AttributeInt("type", 0), 1);
    props.Clear();
    EXPECT_EQ(props.Count(), 0);
    EXPECT_EQ(props.FindAttribute("type"), nullptr);
}

TEST(SimpleXMLTree, ClearKeepsNameValueAndNamespace) {
    TSimpleXMLElemClassic e("n", "v");
    e.Namespace = "p";
    e.Items().AddChild("c");
    e.Properties().AddAttribute("a", "1");
    e.Clear();
    EXPECT_EQ(e.Name(), "n");
    EXPECT_EQ(e.Value, "v");
    EXPECT_EQ(e.Namespace, "p");
    EXPECT_EQ(e.Items().Count(), 0);
    EXPECT_EQ(e.Properties().Count(), 0);
}

// An element that counts its own end, to see that a clear frees every node exactly once.
class CountedElement : public TSimpleXMLElemClassic {
public:
    CountedElement(std::string_view name, int& ended)
        : TSimpleXMLElemClassic(name), m_ended(ended) {}
    ~CountedElement() override { ++m_ended; }

private:
    int& m_ended;
};

// Adds `width` children to `parent`, each with `width - 1` children, and so on; returns how many.
int buildBush(TSimpleXMLElem& parent, int width, int& ended) {
    int made = 0;
    for (int i = 0; i < width; ++i) {
        TSimpleXMLElem& child =
            parent.Items().Add(std::make_unique<CountedElement>("c" + std::to_string(i), ended));
        child.Properties().AddAttributeInt("i", i);
        made += 1 + buildBush(child, width - 1, ended);
    }
    return made;
}

TEST(SimpleXMLTree, ClearFreesEveryNodeOfAnyShapeOnceAndLeavesTheRestAlone) {
    for (const int width : {1, 2, 5}) {
        int ended = 0;
        TSimpleXMLElemClassic top("top");
        TSimpleXMLElem& kept = top.Items().AddChild("kept");
        TSimpleXMLElem& bush = top.Items().AddChild("bush");
        const int made = buildBush(bush, width, ended);
        const int deep = 1000;
        TSimpleXMLElem* e = bush.Items().ItemAt(width - 1);
        for (int i = 0; i < deep; ++i)
            e = &e->Items().Add(std::make_unique<CountedElement>("d", ended));

        bush.Clear();
        EXPECT_EQ(ended, made + deep) << width;
        EXPECT_EQ(bush.Items().Count(), 0);
        EXPECT_EQ(top.Items().Count(), 2);
        EXPECT_EQ(top.Items().ItemAt(0), &kept);
        EXPECT_EQ(top.Items().FindChild("bush"), &bush);

        // The cleared list takes children again.
        bush.Items().AddChildText("again", "1");
        EXPECT_EQ(bush.SaveToText(), "<bush>\r\n  <again>1</again>\r\n</bush>\r\n");
    }
}

TEST(SimpleXMLTree, SetNameIgnoresEmptyAndSameNames) {
    TSimpleXMLElemClassic e("n");
    e.SetName("");
    EXPECT_EQ(e.Name(), "n");
    e.SetName("m");
    EXPECT_EQ(e.Name(), "m");
}

TEST(SimpleXMLTree, ChildrenKnowTheirParentAndHandOverOwnership) {
    TSimpleXML doc;
    TSimpleXMLElem& child = doc.Root().Items().AddChild("c");
    EXPECT_EQ(child.Parent(), &doc.Root());
    EXPECT_EQ(doc.Root().Parent(), nullptr);

    std::unique_ptr<TSimpleXMLElem> taken = doc.Root().Items().Release(0);
    ASSERT_EQ(taken.get(), &child);
    EXPECT_EQ(taken->Parent(), nullptr);
    EXPECT_EQ(doc.Root().Items().Count(), 0);
    EXPECT_EQ(doc.Root().Items().Release(0), nullptr);

    TSimpleXMLElemClassic other("o");
    TSimpleXMLElem& moved = other.Items().Add(std::move(taken));
    EXPECT_EQ(moved.Parent(), &other);
    EXPECT_EQ(other.Items().FindChild("c"), &moved);
    EXPECT_THROW(other.Items().Add(nullptr), std::invalid_argument);
    EXPECT_EQ(other.Items().Count(), 1);
}

TEST(SimpleXMLTree, CopyFromRenamesTheTargetAndCopiesDeeply) {
    TSimpleXML source;
    source.LoadFromText(
        "<CtrlNode type=\"11\" p:x=\"2\"><label>A1</label><sub><d k=\"v\">1</d></sub>"
        "</CtrlNode>");
    TSimpleXML chart;
    chart.Root().SetName("KELMORAX");
    TSimpleXMLElem& any = chart.Root().Items().AddChild("record").Items().AddChild("any");
    any.CopyFrom(&source.Root());

    EXPECT_EQ(any.Name(), "CtrlNode");
    EXPECT_EQ(chart.Root().Items().ItemAt(0)->Items().FindChild("ctrlnode"), &any);
    EXPECT_EQ(chart.Root().Items().ItemAt(0)->Items().FindChild("any"), nullptr);
    ASSERT_EQ(any.Properties().Count(), 2);
    EXPECT_EQ(any.Properties().ItemAt(1)->Name(), "x");
    EXPECT_EQ(any.Properties().ItemAt(1)->NameSpace, ""); // the prefix is not copied
    EXPECT_EQ(any.Items().ChildText("label"), "A1");
    const TSimpleXMLElem* d = any.Items().FindChild("sub")->Items().FindChild("d");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Value, "1");
    EXPECT_EQ(d->Properties().AttributeText("k"), "v");

    // The copy is independent of its source.
    source.LoadFromText("<gone/>");
    EXPECT_EQ(chart.SaveToText(), "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                                  "<KELMORAX>\r\n"
                                  "  <record>\r\n"
                                  "    <CtrlNode type=\"11\" x=\"2\">\r\n"
                                  "      <label>A1</label>\r\n"
                                  "      <sub>\r\n"
                                  "        <d k=\"v\">1</d>\r\n"
                                  "      </sub>\r\n"
                                  "    </CtrlNode>\r\n"
                                  "  </record>\r\n"
                                  "</KELMORAX>\r\n");
}

TEST(SimpleXMLTree, CopyFromAnUnnamedSourceKeepsTheName) {
    TSimpleXMLElemClassic source("", "v");
    source.Items().AddChildInt("n", 1);
    TSimpleXMLElemClassic target("keep");
    target.Properties().AddAttribute("old", "1");
    target.CopyFrom(&source);
    EXPECT_EQ(target.Name(), "keep");
    EXPECT_EQ(target.Value, "v");
    EXPECT_EQ(target.Properties().Count(), 0);
    EXPECT_EQ(target.Items().ChildInt("n", 0), 1);
}

TEST(SimpleXMLTree, CopyFromNothingOnlyClears) {
    TSimpleXMLElemClassic target("keep", "v");
    target.Items().AddChild("c");
    target.CopyFrom(nullptr);
    EXPECT_EQ(target.Name(), "keep");
    EXPECT_EQ(target.Value, "v");
    EXPECT_EQ(target.Items().Count(), 0);
}

TEST(SimpleXMLTree, CopyFromTurnsEveryNodeIntoAnOrdinaryElement) {
    TSimpleXML source;
    source.LoadFromText("<a>t<!--c--><![CDATA[d]]><b/></a>");
    TSimpleXMLElemClassic target;
    target.CopyFrom(source.Root());
    ASSERT_EQ(target.Items().Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(target.Items().ItemAt(i)->Kind(), TSimpleXMLElemKind::Classic);
    EXPECT_EQ(target.Items().ItemAt(1)->Value, "c");
}

TEST(SimpleXMLTree, CopyFromItselfOrItsOwnChild) {
    TSimpleXML doc;
    doc.LoadFromText("<a x=\"1\"><b y=\"2\"><c>3</c></b></a>");
    doc.Root().CopyFrom(&doc.Root());
    EXPECT_EQ(doc.Root().Properties().AttributeInt("x", 0), 1);
    EXPECT_EQ(doc.Root().Items().FindChild("b")->Items().ChildInt("c", 0), 3);

    doc.Root().CopyFrom(doc.Root().Items().ItemAt(0));
    EXPECT_EQ(doc.Root().Name(), "b");
    EXPECT_EQ(doc.Root().Properties().AttributeInt("y", 0), 2);
    EXPECT_EQ(doc.Root().Items().ChildInt("c", 0), 3);
}

// A chain of `depth` elements built by code, below `top`.
void buildChain(TSimpleXMLElem& top, int depth) {
    TSimpleXMLElem* e = &top;
    for (int i = 0; i < depth; ++i)
        e = &e->Items().AddChild("e");
    e->Value = "bottom";
}

TEST(SimpleXMLTree, VeryDeepTreesBuiltByCodeCopyAndFreeWithoutRecursion) {
    constexpr int kDepth = 300000;
    auto doc = std::make_unique<TSimpleXML>();
    doc->Root().SetName("r");
    buildChain(doc->Root(), kDepth);

    TSimpleXMLElemClassic copy;
    copy.CopyFrom(doc->Root());
    const TSimpleXMLElem* e = &copy;
    int depth = 0;
    while (e->Items().Count() > 0) {
        e = e->Items().ItemAt(0);
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(e->Value, "bottom");

    doc->Root().Clear();
    EXPECT_EQ(doc->Root().Items().Count(), 0);
    buildChain(doc->Root(), kDepth);
    doc.reset(); // the destructor frees the chain too
}

TEST(SimpleXMLTree, DeepTreesBuiltByCodeAreWrittenCompletely) {
    constexpr int kDepth = 3000;
    TSimpleXML doc;
    doc.Root().SetName("r");
    buildChain(doc.Root(), kDepth);
    const std::string text = doc.SaveToText();
    const std::string deepest = std::string(2 * kDepth, ' ') + "<e>bottom</e>\r\n";
    EXPECT_NE(text.find(deepest), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 6), "</r>\r\n");
    std::size_t lines = 0;
    for (const char c : text)
        lines += c == '\n';
    EXPECT_EQ(lines, 1u + 2u * kDepth + 1u); // header, open and close per level, the bottom line
}

} // namespace
