// Chart files: the format, leniency, captions read from records and the change check.
#include "ChartFileTestSupport.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace chart_file_test;

namespace {

// ---- the file format ----

TEST_F(ChartFileTest, ExampleChartIsWrittenByteForByte) {
    buildExample();
    ASSERT_EQ(file.SaveFile(path("out.lcs")), "");
    EXPECT_EQ(readBytes(path("out.lcs")), readBytes(fixture("example.lcs")));
}

TEST_F(ChartFileTest, ExampleOpensWithCaptionsHeightsAndPositions) {
    ASSERT_EQ(file.OpenFile(fixture("example.lcs")), "");
    EXPECT_THAT(h.blockTypes(), ElementsAre(1, 11, 12, 14));
    EXPECT_THAT(captions(), ElementsAre("Direct", "Label:A1", "Goto", "End"));
    EXPECT_THAT(heights(), ElementsAre(32, 40, 32, 32));
    EXPECT_THAT(h.tops(), ElementsAre(16, 48, 80, 112, 144, 184, 216, 248, 280, 312, 344));
    EXPECT_EQ(h.chart.Item(4)->Height, 40);
    EXPECT_EQ(h.chart.Blocks()[1]->Payload, record(11, {{"label", "A1"}}));
    EXPECT_EQ(h.chart.Blocks()[3]->Payload, kHeader + "<CtrlNode type=\"14\"/>\r\n");
    EXPECT_EQ(file.CurrentFileName(), fixture("example.lcs"));
    EXPECT_EQ(ui.captions.back(), "TITLE - example.lcs");
    EXPECT_EQ(ui.programText, "");
    EXPECT_EQ(h.canvas.SelectedObject(), h.marker(1)); // still selected from the new chart
    EXPECT_FALSE(file.IsChartChanged());
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ChartFileTest, OpenAndNewRepaintOnce) {
    h.insertAt(1, 1);
    RepaintCounter counter;
    h.canvas.setListener(&counter);
    ASSERT_EQ(file.OpenFile(fixture("example.lcs")), "");
    EXPECT_EQ(counter.calls, 1);
    ASSERT_TRUE(file.commandNew());
    EXPECT_EQ(counter.calls, 2);
    h.canvas.setListener(nullptr);
}

TEST_F(ChartFileTest, EmptyChartIsTheHeaderAndASelfClosingRoot) {
    ASSERT_EQ(file.SaveFile(path("empty.lcs")), "");
    EXPECT_EQ(readBytes(path("empty.lcs")), kHeader + "<KELMORAX/>\r\n");
    h.chart.AppendBlock(1);
    ASSERT_EQ(file.OpenFile(path("empty.lcs")), "");
    EXPECT_EQ(h.chart.Count(), 3);
    EXPECT_TRUE(file->OpenNote().empty()); // a chart without blocks is a chart
}

// A file holding nothing at all (or only blanks) opens as an empty chart, with a word for the
// status line so that a file emptied by accident does not pass unnoticed.
TEST_F(ChartFileTest, AFileHoldingNothingOpensEmptyWithANote) {
    for (const std::string text : {"", " \r\n\t"}) {
        writeBytes(path("nothing.lcs"), text);
        h.chart.AppendBlock(1);
        ASSERT_EQ(file.OpenFile(path("nothing.lcs")), "");
        EXPECT_EQ(h.chart.Count(), 3);
        EXPECT_EQ(file->OpenNote().English(),
                  "nothing.lcs holds no chart at all: it opened as an empty chart.");
    }
    ui.openChartNames = {path("nothing.lcs")};
    ui.answers = {Answer::No};
    h.chart.AppendBlock(1);
    const TChartFileResult result = file->commandOpen(ui);
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.note, file->OpenNote());
}

TEST_F(ChartFileTest, EveryBlockTypeSurvivesARoundTrip) {
    for (const TBlockInfo& info : BlockCatalog())
        h.chart.AppendBlock(ToInt(info.type));
    h.chart.AppendBlock(11)->Payload = record(11, {{"label", XmlEncode("a<b")}});
    h.chart.AppendBlock(20)->Payload = record(20, {{"command", "A=A+1"}});
    h.chart.AppendBlock(23)->Payload = record(23, {{"sub", "S1"}});
    h.chart.AppendBlock(25)->Payload = record(25, {{"sub", "S1"}});
    h.chart.AppendBlock(26)->Payload = record(26, {{"index", "3"}});
    h.chart.AppendBlock(6)->Payload =
        record(6, {{"key", "2"}, {"keycmd", "-1"}, {"content", "1C 2D"}});
    h.chart.Relayout();
    const std::vector<std::string_view> views = h.chart.BlockRecords();
    const std::vector<std::string> saved(views.begin(), views.end());
    ASSERT_EQ(file.SaveFile(path("all.lcs")), "");

    ChartHarness other;
    ScriptedUi otherUi;
    ShownChartFile reader(other.chart, otherUi, kTitle);
    ASSERT_EQ(reader.OpenFile(path("all.lcs")), "");
    const std::vector<std::string_view> read = other.chart.BlockRecords();
    EXPECT_EQ(std::vector<std::string>(read.begin(), read.end()), saved);
    const auto blocks = other.chart.Blocks();
    const std::size_t n = blocks.size();
    EXPECT_EQ(blocks[n - 6]->Text(), "Label:a<b");
    EXPECT_EQ(blocks[n - 5]->Text(), "Expression:A=A+1");
    EXPECT_EQ(blocks[n - 4]->Text(), "Sub Begin:S1");
    EXPECT_EQ(blocks[n - 3]->Text(), "Call Sub:S1");
    EXPECT_EQ(blocks[n - 2]->Text(), "VoiceX: 3");
    ASSERT_EQ(reader.SaveFile(path("again.lcs")), "");
    EXPECT_EQ(readBytes(path("again.lcs")), readBytes(path("all.lcs")));
}

struct LenientCase {
    const char* what;
    const char* record; // the text of one child of the root, between a Direct and an End block
};

class ChartFileLeniency : public ChartFileTest,
                          public ::testing::WithParamInterface<LenientCase> {};

TEST_P(ChartFileLeniency, SkipsTheRecordWithoutAMessage) {
    const std::string text = kHeader + "<KELMORAX>\r\n<record><CtrlNode type=\"1\"><mode>0</mode>" +
                             "<wait>5</wait></CtrlNode></record>\r\n" + GetParam().record +
                             "\r\n<record><CtrlNode type=\"14\"/></record>\r\n</KELMORAX>\r\n";
    openText(text);
    EXPECT_THAT(h.blockTypes(), ElementsAre(1, 14));
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(h.chart.Blocks()[0]->Payload, record(1, {{"mode", "0"}, {"wait", "5"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Records, ChartFileLeniency,
    ::testing::Values(LenientCase{"empty record", "<record/>"},
                      LenientCase{"record with only text", "<record>12</record>"},
                      LenientCase{"no type",
                                  "<record><CtrlNode><mode>1</mode></CtrlNode></record>"},
                      LenientCase{"empty type", "<record><CtrlNode type=\"\"/></record>"},
                      LenientCase{"non-numeric type", "<record><CtrlNode type=\"one\"/></record>"},
                      LenientCase{"type 7", "<record><CtrlNode type=\"7\"/></record>"},
                      LenientCase{"type 8", "<record><CtrlNode type=\"8\"/></record>"},
                      LenientCase{"type 0", "<record><CtrlNode type=\"0\"/></record>"},
                      LenientCase{"type -1", "<record><CtrlNode type=\"-1\"/></record>"},
                      LenientCase{"type 27", "<record><CtrlNode type=\"27\"/></record>"},
                      LenientCase{"huge type", "<record><CtrlNode type=\"4294967297\"/></record>"},
                      LenientCase{"comment first", "<record><!-- x --><CtrlNode type=\"5\"/>"
                                                   "</record>"},
                      LenientCase{"comment child of the root", "<!-- a note -->"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(ChartFileTest, ReadingIgnoresTheNamesOfRootRecordAndParameterRecord) {
    openText("<chart><x><Node type=\"5\"><wait>3</wait></Node><y type=\"1\"/></x>"
             "<CtrlNode type=\"2\"/></chart>");
    // Each child of the root gives its first element; a child without elements gives nothing.
    EXPECT_THAT(h.blockTypes(), ElementsAre(5));
    EXPECT_EQ(h.chart.Blocks()[0]->Payload,
              kHeader + "<Node type=\"5\">\r\n  <wait>3</wait>\r\n</Node>\r\n");
}

struct PrologCase {
    const char* what;
    std::string read;    // the file as read
    std::string written; // the file saved again
};

class ChartFileProlog : public ChartFileTest, public ::testing::WithParamInterface<PrologCase> {};

TEST_P(ChartFileProlog, IsWrittenBackAsRead) {
    openText(GetParam().read);
    ASSERT_EQ(file.SaveFile(path("again.lcs")), "");
    EXPECT_EQ(readBytes(path("again.lcs")), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ChartFileProlog,
    ::testing::Values(PrologCase{"none", "<KELMORAX/>", kHeader + "<KELMORAX/>\r\n"},
                      PrologCase{"comment without header", "<!-- by hand -->\n<KELMORAX/>",
                                 "<!-- by hand -->\r\n<KELMORAX/>\r\n"},
                      PrologCase{"header standalone without encoding",
                                 "<?xml version=\"1.1\" standalone=\"yes\"?><KELMORAX/>",
                                 "<?xml version=\"1.1\" standalone=\"yes\"?>\r\n<KELMORAX/>\r\n"},
                      PrologCase{"header comment doctype",
                                 kHeader +
                                     "<!--c-->\r\n<!DOCTYPE KELMORAX>\r\n<KELMORAX></KELMORAX>",
                                 kHeader + "<!--c-->\r\n<!DOCTYPE KELMORAX>\r\n<KELMORAX/>\r\n"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

// ---- captions set while reading ----

struct CaptionCase {
    int type;
    std::string child;
    std::string value;
    std::string caption;
    int height;
};

TEST_F(ChartFileTest, NamedBlocksGetTheirNameInTheCaptionAndHeight40) {
    const CaptionCase cases[] = {
        {11, "label", "A1", "Label:A1", 40},
        {11, "label", "", "Label", 32},
        {11, "label", "&#xC4;&amp;", "Label:\xC4&", 40},
        {20, "command", "a&lt;b", "Expression:a<b", 40},
        {20, "command", "", "Expression", 32},
        {23, "sub", "S1", "Sub Begin:S1", 40},
        {23, "sub", "", "Sub Begin", 32},
        {25, "sub", "S1", "Call Sub:S1", 40},
        {25, "sub", "", "Call Sub", 32},
        {12, "label", "A1", "Goto", 32}, // other types keep the palette caption
        {13, "label", "A1", "GotoIf", 32},
    };
    std::string text = "<KELMORAX>";
    for (const CaptionCase& c : cases)
        text += "<record><CtrlNode type=\"" + std::to_string(c.type) + "\"><" + c.child + ">" +
                c.value + "</" + c.child + "></CtrlNode></record>";
    openText(text + "</KELMORAX>");
    const auto blocks = h.chart.Blocks();
    ASSERT_EQ(blocks.size(), std::size(cases));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i]->Text(), cases[i].caption) << i;
        EXPECT_EQ(blocks[i]->Height(), cases[i].height) << i;
    }
}

TEST_F(ChartFileTest, VoiceXCaptionsComeFromThePhraseListOrTheNumber) {
    file.setPhrases({"hello", "", "bye"});
    struct Case {
        std::string index; // the record's children
        std::string caption;
        int height;
    };
    const Case cases[] = {
        {"<index>0</index>", "VoiceX: hello", 40},
        {"<index>2</index>", "VoiceX: bye", 40},
        {"<index>1</index>", "VoiceX", 32},
        {"<index>3</index>", "VoiceX: 3", 40},
        {"<index>-1</index>", "VoiceX: -1", 40},
        {"<index>x</index>", "VoiceX: -1", 40},
        {"", "VoiceX: -1", 40},
    };
    std::string text = "<KELMORAX>";
    for (const Case& c : cases)
        text += "<record><CtrlNode type=\"26\">" + c.index + "</CtrlNode></record>";
    openText(text + "</KELMORAX>");
    const auto blocks = h.chart.Blocks();
    ASSERT_EQ(blocks.size(), std::size(cases));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i]->Text(), cases[i].caption) << i;
        EXPECT_EQ(blocks[i]->Height(), cases[i].height) << i;
    }
}

} // namespace

namespace {

// The change check compares record by record; its answer must be the comparison of the texts
// the snapshot and the chart would write as whole documents, whatever the records hold.
TEST_F(ChartFileTest, ChangeCheckAgreesWithComparingWholeWrittenCharts) {
    const std::string direct = record(1, {{"mode", "0"}, {"wait", "0"}});
    const std::string end = DefaultRecord(14);
    const std::vector<std::string> odd = {
        "<x:CtrlNode x:type=\"3\" y=\"q\"><a:motorL>1</a:motorL></x:CtrlNode>",
        "<CtrlNode type=\"6\"><!--note--><key>1</key><![CDATA[raw <b>]]><content>a   b "
        "</content></CtrlNode>",
        "<CtrlNode type=\"20\">text<command>A=1</command>more</CtrlNode>",
        "<?xml version=\"1.0\"?><!-- lead --><CtrlNode type=\"9\"><times><deep><deeper/>"
        "</deep></times></CtrlNode>",
    };
    struct Case {
        const char* what;
        std::vector<std::string> snapshot, chart;
    };
    const Case cases[] = {
        {"same", {direct, end}, {direct, end}},
        {"written differently",
         {direct},
         {"<CtrlNode type='1'>\n <mode>0</mode><wait>0</wait>"
          "</CtrlNode>"}},
        {"no header", {direct}, {"<CtrlNode type=\"1\"><mode>0</mode><wait>0</wait></CtrlNode>"}},
        {"value differs", {direct}, {record(1, {{"mode", "0"}, {"wait", "1"}})}},
        {"order", {direct, end}, {end, direct}},
        {"one more", {direct}, {direct, end}},
        {"prefixes and comments dropped by the copy",
         {"<CtrlNode type=\"3\"><motorL>1</motorL></CtrlNode>"},
         {odd[0]}},
        {"comment in a record",
         {odd[1]},
         {"<CtrlNode type=\"6\"><key>1</key><content>a b "
          "</content></CtrlNode>"}},
        {"odd records", odd, odd},
        {"text between children",
         {odd[2]},
         {"<CtrlNode type=\"20\"><command>A=1</command>"
          "</CtrlNode>"}},
        {"a deeper child differs",
         {odd[3]},
         {"<CtrlNode type=\"9\"><times><deep/></times>"
          "</CtrlNode>"}},
    };
    int changed = 0, unchanged = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartHarness x;
        ScriptedUi u;
        ShownChartFile f(x.chart, u, kTitle);
        TSimpleXML snapshot, current;
        for (const std::string& p : c.snapshot)
            x.chart.AppendBlock(1, p);
        f.BuildChartDocument(snapshot);
        f.TakeSnapshot();
        x.chart.ClearChart();
        x.chart.NewChart();
        for (const std::string& p : c.chart)
            x.chart.AppendBlock(1, p);
        f.BuildChartDocument(current);
        const bool differ = snapshot.SaveToText() != current.SaveToText();
        EXPECT_EQ(f.IsChartChanged(), differ);
        ++(differ ? changed : unchanged);
    }
    // Both answers are exercised, with records that differ as text in each.
    EXPECT_EQ(changed, 5);
    EXPECT_EQ(unchanged, 6);
}

TEST_F(ChartFileTest, BeforeAnySnapshotTheChartCountsAsChanged) {
    EXPECT_TRUE(file.IsChartChanged());
    file.TakeSnapshot();
    EXPECT_FALSE(file.IsChartChanged());
}

} // namespace

namespace {

// The check remembers how each snapshot record writes: what it remembered must follow the
// chart's later edits and a new snapshot, never answer for a record it no longer holds.
TEST(ChartFileSnapshot, RepeatedChecksFollowEditsAndNewSnapshots) {
    const std::string a = record(1, {{"mode", "0"}, {"wait", "0"}});
    const std::string aAgain = "<CtrlNode type='1'>\n <mode>0</mode><wait>0</wait></CtrlNode>";
    const std::string aOnceMore = "<CtrlNode type=\"1\"><mode>0</mode><wait>0</wait></CtrlNode>";
    const std::string b = record(1, {{"mode", "0"}, {"wait", "7"}});
    ChartHarness x;
    ScriptedUi u;
    ShownChartFile f(x.chart, u, kTitle);
    TFcObject* block = x.chart.AppendBlock(1, a);
    f.TakeSnapshot();
    const struct {
        const char* what;
        const std::string& record;
        bool changed;
    } steps[] = {
        {"written differently", aAgain, false},          {"another value", b, true},
        {"back, written a third way", aOnceMore, false}, {"the same again", aOnceMore, false},
        {"the other value once more", b, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        x.chart.SetBlockRecord(block, step.record);
        EXPECT_EQ(f.IsChartChanged(), step.changed);
    }
    // A new snapshot of b: the chart's b is no change, and a (written any way) now is one.
    f.TakeSnapshot();
    EXPECT_FALSE(f.IsChartChanged());
    x.chart.SetBlockRecord(block, aAgain);
    EXPECT_TRUE(f.IsChartChanged());
}

} // namespace
