// The chart file commands: the caption, the unsaved-changes question, open and save.
#include "ChartFileTestSupport.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace chart_file_test;

namespace {

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
    ui.openChartNames = {fixture("example.lcs")};
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
    EXPECT_EQ(ui.dialogCount("saveChart"), 0);
    EXPECT_THAT(readBytes(path("ex.lcs")), ::testing::HasSubstr("<CtrlNode type=\"24\"/>"));
    EXPECT_EQ(h.chart.Count(), 3);
    EXPECT_EQ(file.CurrentFileName(), "");
}

TEST_F(ChartFileTest, YesForAnUnnamedChartShowsTheSaveDialog) {
    h.insertAt(1, 3);
    ui.answers = {Answer::Yes};
    ui.saveChartNames = {path("named.LCS")};
    ui.openChartNames = {fixture("example.lcs")};
    EXPECT_TRUE(file.commandOpen());
    EXPECT_EQ(ui.dialogCount("saveChart"), 1);
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
            u.saveChartNames = {c.saveName};
            u.openChartNames = {fixture("example.lcs")};
            EXPECT_FALSE(open ? f.commandOpen() : f.commandNew());
            EXPECT_EQ(u.dialogCount("saveChart"), 1);
            EXPECT_EQ(u.dialogCount("openChart"), 0);
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
    ui.saveChartNames = {path("kept.lcs")};
    EXPECT_TRUE(file.confirmClose());
    EXPECT_TRUE(fs::exists(path("kept.lcs")));
}

// ---- open ----

TEST_F(ChartFileTest, OpenEndsSilentlyOnCancelOtherExtensionOrMissingFile) {
    writeBytes(path("chart.txt"), readBytes(fixture("example.lcs")));
    for (const std::string& name : {std::string(), path("chart.txt"), path("missing.lcs")}) {
        ui.openChartNames = {name};
        EXPECT_FALSE(file.commandOpen()) << name;
    }
    EXPECT_EQ(h.chart.Count(), 3);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(ui.captions.empty());
    EXPECT_NE(ui.programText, "");
    // The extension is compared without regard to letter case.
    writeBytes(path("UPPER.LCS"), readBytes(fixture("example.lcs")));
    ui.openChartNames = {path("UPPER.LCS")};
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
        // The window's message also says where the XML breaks.
        {path("damaged.lcs"), "Invalid XML Element: Erroneous end of tag, expecting </record> but "
                              "</KELMORAX> found (line 1, column 50)"},
        {path("folder.lcs"), "Cannot open file \"" + path("folder.lcs") + "\". Is a directory"},
    };
    for (const auto& c : cases) {
        ui.errors.clear();
        ui.captions.clear();
        ui.answers = {Answer::No};
        ui.openChartNames = {c.name};
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
    ui.saveChartNames = {path("a.lcs"), path("b.lcs")};
    EXPECT_TRUE(file.commandSave()); // unnamed: asks
    EXPECT_TRUE(file.commandSave()); // named: writes without asking
    EXPECT_EQ(ui.dialogCount("saveChart"), 1);
    EXPECT_TRUE(file.commandSaveAs());
    EXPECT_EQ(ui.dialogCount("saveChart"), 2);
    EXPECT_EQ(file.CurrentFileName(), path("b.lcs"));
    EXPECT_EQ(ui.captions.back(), "TITLE - b.lcs");
    EXPECT_EQ(readBytes(path("b.lcs")), readBytes(fixture("example.lcs")));
    EXPECT_FALSE(file.IsChartChanged());
    EXPECT_NE(ui.programText, ""); // save leaves the program text alone
    EXPECT_THAT(filesInDir(), ElementsAre("a.lcs", "b.lcs"));
}

TEST_F(ChartFileTest, SaveAsWithAnotherExtensionSavesNothingAndShowsNothing) {
    buildExample();
    ui.saveChartNames = {path("chart.xml")};
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
    ui.saveChartNames = {path("old.lcs")};
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
