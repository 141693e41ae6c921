#include "chart/ChartFile.h"

#include "ChartTestSupport.h"
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using Answer = files::TPrompts::Answer;

namespace {

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
const std::string kTitle = "TITLE";

// The person at the window, answered by the test. A question nobody scripted fails the test.
struct ScriptedUi : files::TPrompts {
    std::deque<std::string> openNames, saveNames;
    std::deque<Answer> answers;
    std::vector<std::string> questions, errors, captions;
    int openDialogs = 0, saveDialogs = 0;
    std::string programText = "10 REM \"ZOLVANE\"\r\n";

    std::optional<std::string> openFileName(FileKind kind) override {
        EXPECT_EQ(kind, FileKind::Chart);
        ++openDialogs;
        return pop(openNames);
    }
    std::optional<std::string> saveFileName(FileKind kind) override {
        EXPECT_EQ(kind, FileKind::Chart);
        ++saveDialogs;
        return pop(saveNames);
    }
    Answer askYesNoCancel(const std::string& question) override {
        questions.push_back(question);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << question;
            return Answer::Cancel;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void showMessage(Severity severity, const std::string& message) override {
        EXPECT_EQ(severity, Severity::Error);
        errors.push_back(message);
    }

private:
    static std::optional<std::string> pop(std::deque<std::string>& names) {
        if (names.empty() || names.front().empty()) {
            if (!names.empty())
                names.pop_front();
            return std::nullopt;
        }
        std::string n = names.front();
        names.pop_front();
        return n;
    }
};

// The chart file as the main window drives it: each command asks ui, and what it reports is
// shown there as the window shows it (the caption after every command that did its work, an
// empty program text after the chart was replaced).
class ShownChartFile {
public:
    ShownChartFile(TChart& chart, ScriptedUi& ui, std::string title)
        : m_file(chart, std::move(title)), m_ui(ui) {}

    bool commandNew() { return show(m_file.commandNew(m_ui)); }
    bool commandOpen() { return show(m_file.commandOpen(m_ui)); }
    bool commandSave() { return show(m_file.commandSave(m_ui)); }
    bool commandSaveAs() { return show(m_file.commandSaveAs(m_ui)); }
    bool confirmClose() { return showIfRenamed(m_file.confirmClose(m_ui)); }
    bool askSaveChanges() { return showIfRenamed(m_file.askSaveChanges(m_ui)); }
    std::string OpenFile(const std::string& path) {
        const files::TStatus status = m_file.OpenFile(path);
        if (status)
            show({true, true, {}});
        return status.error();
    }
    std::string SaveFile(const std::string& path) {
        const files::TStatus status = m_file.SaveFile(path);
        if (status)
            show({true, false, {}});
        return status.error();
    }
    void SetCurrentFile(const std::string& name) {
        m_file.SetCurrentFile(name);
        show({true, false, {}});
    }
    TChartFile* operator->() { return &m_file; }
    void setPhrases(std::vector<std::string> phrases) { m_file.setPhrases(std::move(phrases)); }
    bool IsChartChanged() { return m_file.IsChartChanged(); }
    void TakeSnapshot() { m_file.TakeSnapshot(); }
    const std::string& CurrentFileName() const { return m_file.CurrentFileName(); }
    std::string CaptionText() const { return m_file.CaptionText(); }
    TSimpleXML& FileDocument() { return m_file.FileDocument(); }
    void BuildChartDocument(TSimpleXML& d) { m_file.BuildChartDocument(d); }

private:
    bool show(const TChartFileResult& result) {
        if (result.done)
            m_ui.captions.push_back(m_file.CaptionText());
        if (result.chartReplaced)
            m_ui.programText.clear();
        return result.done;
    }
    // A Yes on the way saves, which may name the chart.
    bool showIfRenamed(bool goOn) {
        if (m_ui.captions.empty() || m_ui.captions.back() != m_file.CaptionText())
            if (!m_file.CurrentFileName().empty())
                m_ui.captions.push_back(m_file.CaptionText());
        return goOn;
    }

    TChartFile m_file;
    ScriptedUi& m_ui;
};

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A parameter record as the record document writes it, with the given children.
std::string record(int type, std::vector<std::pair<std::string, std::string>> children = {}) {
    TSimpleXML d;
    d.Root().SetName("CtrlNode");
    d.Root().Properties().AddAttributeInt("type", type);
    for (const auto& [name, value] : children)
        d.Root().Items().AddChildText(name, value);
    return d.SaveToText();
}

std::string fixture(const std::string& name) {
    return std::string(ZOLVANE_FIXTURES) + "/chart/" + name;
}

class ChartFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::path(::testing::TempDir()) /
              ("zolvane-chart-" + std::string(info->test_suite_name()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::vector<std::string> filesInDir() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Opens a chart file text written to the test folder.
    void openText(const std::string& text, const std::string& name = "chart.lcs") {
        writeBytes(path(name), text);
        ASSERT_EQ(file.OpenFile(path(name)), "");
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> result;
        for (TFcObject* b : h.chart.Blocks())
            result.push_back(b->Text());
        return result;
    }
    std::vector<int> heights() const {
        std::vector<int> result;
        for (TFcObject* b : h.chart.Blocks())
            result.push_back(b->Height());
        return result;
    }
    // The example chart: Direct, Label A1, Goto A1, End.
    void buildExample() {
        h.chart.AppendBlock(1);
        h.chart.AppendBlock(11)->Payload = record(11, {{"label", "A1"}});
        h.chart.AppendBlock(12)->Payload = record(12, {{"label", "A1"}});
        h.chart.AppendBlock(14);
        h.chart.Relayout();
    }

    fs::path dir;
    ChartHarness h;
    ScriptedUi ui;
    ShownChartFile file{h.chart, ui, kTitle};
};

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
    EXPECT_EQ(file->OpenNote(), ""); // a chart without blocks is a chart
}

// A file holding nothing at all (or only blanks) opens as an empty chart, with a word for the
// status line so that a file emptied by accident does not pass unnoticed.
TEST_F(ChartFileTest, AFileHoldingNothingOpensEmptyWithANote) {
    for (const std::string text : {"", " \r\n\t"}) {
        writeBytes(path("nothing.lcs"), text);
        h.chart.AppendBlock(1);
        ASSERT_EQ(file.OpenFile(path("nothing.lcs")), "");
        EXPECT_EQ(h.chart.Count(), 3);
        EXPECT_EQ(file->OpenNote(),
                  "nothing.lcs holds no chart at all: it opened as an empty chart.");
    }
    ui.openNames = {path("nothing.lcs")};
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

// ---- file name, caption, change tracking ----

TEST_F(ChartFileTest, CaptionShowsTheTitleAndTheFileNameWithoutFolder) {
    file.SetCurrentFile("/some/folder/robot.lcs");
    EXPECT_EQ(ui.captions.back(), "TITLE - robot.lcs");
    EXPECT_EQ(file.CurrentFileName(), "/some/folder/robot.lcs");
    file.SetCurrentFile("");
    EXPECT_EQ(ui.captions.back(), "TITLE");
}

TEST_F(ChartFileTest, OnlyTheRecordsCountAsAChange) {
    ASSERT_EQ(file.OpenFile(fixture("example.lcs")), "");
    TFcObject* direct = h.chart.Blocks()[0];
    direct->SetBounds(300, 300, 120, 50); // dragged and resized
    direct->SetText("something else");
    EXPECT_FALSE(file.IsChartChanged());
    h.canvas.SelectObject(h.marker(1));
    h.chart.InsertBlock(5);
    EXPECT_TRUE(file.IsChartChanged());
    h.chart.DeleteBlock(h.chart.Blocks()[0]);
    EXPECT_FALSE(file.IsChartChanged());
    const std::string old = direct->Payload;
    direct->Payload = record(1, {{"mode", "1"}, {"wait", "0"}});
    EXPECT_TRUE(file.IsChartChanged());
    direct->Payload = old;
    EXPECT_FALSE(file.IsChartChanged());
    // The same records written differently still compare by their written form.
    direct->Payload = "<CtrlNode type=\"1\"><mode>0</mode><wait>0</wait></CtrlNode>";
    EXPECT_FALSE(file.IsChartChanged());
}

// ---- the unsaved-changes question ----

TEST_F(ChartFileTest, AnEmptyChartNeverAsks) {
    EXPECT_TRUE(file.commandNew());
    ASSERT_EQ(file.OpenFile(fixture("example.lcs")), "");
    while (h.chart.BlockCount() > 0)
        h.chart.DeleteBlock(h.chart.Blocks()[0]);
    ASSERT_TRUE(file.IsChartChanged());
    ui.openNames = {fixture("example.lcs")};
    EXPECT_TRUE(file.commandOpen()); // named and changed, but empty: no question
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(ChartFileTest, AnUnnamedChartWithBlocksAlwaysAsks) {
    h.insertAt(1, 1);
    ui.answers = {Answer::No};
    EXPECT_TRUE(file.commandNew());
    EXPECT_THAT(ui.questions, ElementsAre("Flow Chart changed,\r\nsave it?"));
    EXPECT_EQ(h.chart.Count(), 3);
    EXPECT_EQ(ui.programText, "");
    EXPECT_EQ(ui.captions.back(), "TITLE");
    EXPECT_FALSE(file.IsChartChanged());
    // Unchanged since that new chart's snapshot? Still asks once it holds a block.
    h.insertAt(1, 1);
    ui.answers = {Answer::Cancel};
    EXPECT_FALSE(file.commandNew());
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(h.chart.BlockCount(), 1);
}

TEST_F(ChartFileTest, ANamedChartAsksOnlyWhenItsRecordsChanged) {
    fs::copy_file(fixture("example.lcs"), path("ex.lcs"));
    ASSERT_EQ(file.OpenFile(path("ex.lcs")), "");
    ui.programText = "10 REM \"ZOLVANE\"\r\n";       // generated after the open
    h.chart.Blocks()[0]->SetBounds(200, 10, 90, 32); // a drag is no change
    EXPECT_TRUE(file.confirmClose());
    EXPECT_TRUE(ui.questions.empty());

    h.chart.Blocks()[0]->Payload = record(1, {{"mode", "2"}, {"wait", "0"}});
    ui.answers = {Answer::Cancel};
    EXPECT_FALSE(file.commandNew());
    EXPECT_THAT(ui.questions,
                ElementsAre("Flow Chart " + path("ex.lcs") + " changed,\r\nsave it?"));
    EXPECT_EQ(h.chart.BlockCount(), 4);
    EXPECT_EQ(file.CurrentFileName(), path("ex.lcs"));
    EXPECT_NE(ui.programText, "");

    ui.answers = {Answer::No};
    EXPECT_TRUE(file.confirmClose());
}

TEST_F(ChartFileTest, YesSavesToTheCurrentFileThenGoesOn) {
    fs::copy_file(fixture("example.lcs"), path("ex.lcs"));
    ASSERT_EQ(file.OpenFile(path("ex.lcs")), "");
    h.canvas.SelectObject(h.marker(h.chart.Count() - 2));
    h.chart.InsertBlock(24);
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(file.commandNew());
    EXPECT_EQ(ui.saveDialogs, 0);
    EXPECT_THAT(readBytes(path("ex.lcs")), ::testing::HasSubstr("<CtrlNode type=\"24\"/>"));
    EXPECT_EQ(h.chart.Count(), 3);
    EXPECT_EQ(file.CurrentFileName(), "");
}

TEST_F(ChartFileTest, YesForAnUnnamedChartShowsTheSaveDialog) {
    h.insertAt(1, 3);
    ui.answers = {Answer::Yes};
    ui.saveNames = {path("named.LCS")};
    ui.openNames = {fixture("example.lcs")};
    EXPECT_TRUE(file.commandOpen());
    EXPECT_EQ(ui.saveDialogs, 1);
    EXPECT_THAT(readBytes(path("named.LCS")), ::testing::HasSubstr("<CtrlNode type=\"3\">"));
    EXPECT_THAT(h.blockTypes(), ElementsAre(1, 11, 12, 14));
}

// Yes followed by a save that did not happen ends the command and keeps the chart.
TEST_F(ChartFileTest, YesWithoutASaveKeepsTheChart) {
    struct Case {
        const char* what;
        std::string saveName;
        bool errorShown;
    };
    const Case cases[] = {
        {"dialog cancelled", "", false},
        {"other extension", path("chart.txt"), false},
        {"folder missing", path("no/such/folder/chart.lcs"), true},
    };
    for (const Case& c : cases) {
        for (bool open : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (open ? " (open)" : " (new)"));
            ScriptedUi u;
            ChartHarness x;
            ShownChartFile f(x.chart, u, kTitle);
            x.insertAt(1, 2);
            u.answers = {Answer::Yes};
            u.saveNames = {c.saveName};
            u.openNames = {fixture("example.lcs")};
            EXPECT_FALSE(open ? f.commandOpen() : f.commandNew());
            EXPECT_EQ(u.saveDialogs, 1);
            EXPECT_EQ(u.openDialogs, 0);
            EXPECT_THAT(x.blockTypes(), ElementsAre(2));
            EXPECT_EQ(f.CurrentFileName(), "");
            EXPECT_NE(u.programText, "");
            EXPECT_EQ(u.errors.size(), c.errorShown ? 1u : 0u);
            if (c.errorShown) {
                EXPECT_EQ(u.errors[0],
                          "Cannot create file \"" + c.saveName + "\". No such file or directory");
            }
            EXPECT_THAT(filesInDir(), ElementsAre());
        }
    }
}

TEST_F(ChartFileTest, ConfirmCloseFollowsTheSameRule) {
    h.insertAt(1, 2);
    ui.answers = {Answer::Cancel, Answer::No, Answer::Yes};
    EXPECT_FALSE(file.confirmClose());
    EXPECT_TRUE(file.confirmClose());
    EXPECT_FALSE(file.confirmClose()); // Yes, then the save dialog cancelled
    ui.answers = {Answer::Yes};
    ui.saveNames = {path("kept.lcs")};
    EXPECT_TRUE(file.confirmClose());
    EXPECT_TRUE(fs::exists(path("kept.lcs")));
}

// ---- open ----

TEST_F(ChartFileTest, OpenEndsSilentlyOnCancelOtherExtensionOrMissingFile) {
    writeBytes(path("chart.txt"), readBytes(fixture("example.lcs")));
    for (const std::string& name : {std::string(), path("chart.txt"), path("missing.lcs")}) {
        ui.openNames = {name};
        EXPECT_FALSE(file.commandOpen()) << name;
    }
    EXPECT_EQ(h.chart.Count(), 3);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(ui.captions.empty());
    EXPECT_NE(ui.programText, "");
    // The extension is compared without regard to letter case.
    writeBytes(path("UPPER.LCS"), readBytes(fixture("example.lcs")));
    ui.openNames = {path("UPPER.LCS")};
    EXPECT_TRUE(file.commandOpen());
    EXPECT_EQ(h.chart.BlockCount(), 4);
}

// A file that cannot be read or parsed changes nothing: chart, program text, file name, caption,
// snapshot and the file document's prolog stay as they were.
TEST_F(ChartFileTest, AFailedOpenChangesNothing) {
    openText("<!-- kept -->\r\n<KELMORAX><record><CtrlNode type=\"5\"/></record></KELMORAX>",
             "first.lcs");
    h.chart.Blocks()[0]->Payload = record(5, {{"wait", "9"}});
    ui.programText = "10 REM \"ZOLVANE\"\r\n"; // generated after the open
    ASSERT_TRUE(file.IsChartChanged());
    writeBytes(path("damaged.lcs"), "<KELMORAX><record><CtrlNode type=\"1\"/></KELMORAX>");
    fs::create_directory(path("folder.lcs"));
    // Records that open as a block but could never be written back: the chart would open,
    // then refuse every save and every Generate, and the pupil's later work would be lost.
    fs::copy_file(fixture("../listing/pi-record/chart.lcs"), path("pi.lcs"));
    fs::copy_file(fixture("../listing/declaration-record/chart.lcs"), path("declaration.lcs"));
    ASSERT_EQ(::mkfifo(path("fifo.lcs").c_str(), 0600), 0);
    const struct {
        std::string name;
        std::string error;
    } cases[] = {
        {path("pi.lcs"), "Cannot open file \"" + path("pi.lcs") +
                             "\". Record 1 is not a block record that could be saved again "
                             "(Invalid Document: Unexpected text in file prolog)"},
        {path("declaration.lcs"), "Cannot open file \"" + path("declaration.lcs") +
                                      "\". Record 1 is not a block record that could be saved "
                                      "again (Invalid Document: Unexpected text in file prolog)"},
        {path("fifo.lcs"),
         "Cannot open file \"" + path("fifo.lcs") + "\". It is a device or pipe, not a file"},
        {path("damaged.lcs"), "Invalid XML Element: Erroneous end of tag, expecting </record> but "
                              "</KELMORAX> found"},
        {path("folder.lcs"), "Cannot open file \"" + path("folder.lcs") + "\". Is a directory"},
    };
    for (const auto& c : cases) {
        ui.errors.clear();
        ui.captions.clear();
        ui.answers = {Answer::No};
        ui.openNames = {c.name};
        EXPECT_FALSE(file.commandOpen());
        EXPECT_THAT(ui.errors, ElementsAre(c.error));
        EXPECT_TRUE(ui.captions.empty());
        EXPECT_EQ(ui.programText, "10 REM \"ZOLVANE\"\r\n");
        EXPECT_EQ(file.CurrentFileName(), path("first.lcs"));
        ASSERT_EQ(h.chart.BlockCount(), 1);
        EXPECT_EQ(h.chart.Blocks()[0]->Payload, record(5, {{"wait", "9"}}));
        EXPECT_TRUE(file.IsChartChanged()); // still against the snapshot of first.lcs
    }
    ASSERT_TRUE(file.commandSave());
    EXPECT_EQ(readBytes(path("first.lcs")),
              "<!-- kept -->\r\n<KELMORAX>\r\n  <record>\r\n    <CtrlNode type=\"5\">\r\n"
              "      <wait>9</wait>\r\n    </CtrlNode>\r\n  </record>\r\n</KELMORAX>\r\n");
}

// ---- save ----

TEST_F(ChartFileTest, SaveAsAlwaysAsksAndSaveUsesTheCurrentName) {
    buildExample();
    ui.saveNames = {path("a.lcs"), path("b.lcs")};
    EXPECT_TRUE(file.commandSave()); // unnamed: asks
    EXPECT_TRUE(file.commandSave()); // named: writes without asking
    EXPECT_EQ(ui.saveDialogs, 1);
    EXPECT_TRUE(file.commandSaveAs());
    EXPECT_EQ(ui.saveDialogs, 2);
    EXPECT_EQ(file.CurrentFileName(), path("b.lcs"));
    EXPECT_EQ(ui.captions.back(), "TITLE - b.lcs");
    EXPECT_EQ(readBytes(path("b.lcs")), readBytes(fixture("example.lcs")));
    EXPECT_FALSE(file.IsChartChanged());
    EXPECT_NE(ui.programText, ""); // save leaves the program text alone
    EXPECT_THAT(filesInDir(), ElementsAre("a.lcs", "b.lcs"));
}

TEST_F(ChartFileTest, SaveAsWithAnotherExtensionSavesNothingAndShowsNothing) {
    buildExample();
    ui.saveNames = {path("chart.xml")};
    EXPECT_FALSE(file.commandSaveAs());
    EXPECT_THAT(filesInDir(), ElementsAre());
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(file.CurrentFileName(), "");
}

TEST_F(ChartFileTest, SaveReplacesAnExistingFileAndKeepsItsPermissions) {
    writeBytes(path("old.lcs"), "old contents");
    fs::permissions(path("old.lcs"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    buildExample();
    ui.saveNames = {path("old.lcs")};
    EXPECT_TRUE(file.commandSaveAs());
    EXPECT_EQ(readBytes(path("old.lcs")), readBytes(fixture("example.lcs")));
    EXPECT_EQ(fs::status(path("old.lcs")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_THAT(filesInDir(), ElementsAre("old.lcs"));
}

// A save that fails half way leaves the old file whole, and the chart's name and snapshot as
// they were. The failure here is a file size limit that the write runs into.
TEST_F(ChartFileTest, AFailedSaveLeavesTheOldFileWhole) {
    fs::copy_file(fixture("example.lcs"), path("ex.lcs"));
    ASSERT_EQ(file.OpenFile(path("ex.lcs")), "");
    for (int i = 0; i < 50; ++i)
        h.chart.AppendBlock(19);
    h.chart.Relayout();
    ui.captions.clear();

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000; // bytes: far less than the chart
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = file.commandSave();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_THAT(ui.errors,
                ElementsAre("Cannot open file \"" + path("ex.lcs") + "\". File too large"));
    EXPECT_EQ(readBytes(path("ex.lcs")), readBytes(fixture("example.lcs")));
    EXPECT_THAT(filesInDir(), ElementsAre("ex.lcs")); // no half-written file left behind
    EXPECT_EQ(file.CurrentFileName(), path("ex.lcs"));
    EXPECT_TRUE(ui.captions.empty());
    EXPECT_TRUE(file.IsChartChanged());
}

TEST_F(ChartFileTest, SaveThroughALinkReplacesTheFileItPointsTo) {
    fs::copy_file(fixture("example.lcs"), path("target.lcs"));
    fs::create_symlink(path("target.lcs"), path("link.lcs"));
    h.chart.AppendBlock(14);
    ASSERT_EQ(file.SaveFile(path("link.lcs")), "");
    EXPECT_TRUE(fs::is_symlink(path("link.lcs")));
    EXPECT_EQ(readBytes(path("target.lcs")),
              kHeader + "<KELMORAX>\r\n  <record>\r\n    <CtrlNode type=\"14\"/>\r\n  </record>\r\n"
                        "</KELMORAX>\r\n");
}

TEST_F(ChartFileTest, NewChartEmptiesEverythingAndTakesTheSnapshot) {
    ASSERT_EQ(file.OpenFile(fixture("example.lcs")), "");
    ui.programText = "10 REM \"ZOLVANE\"\r\n";
    EXPECT_TRUE(file.commandNew());
    EXPECT_EQ(h.chart.Count(), 3);
    EXPECT_EQ(file.CurrentFileName(), "");
    EXPECT_EQ(ui.captions.back(), "TITLE");
    EXPECT_EQ(ui.programText, "");
    EXPECT_FALSE(file.IsChartChanged());
    EXPECT_EQ(h.canvas.SelectedObject(), h.marker(1));
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
