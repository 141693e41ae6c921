// The window's commands with every dialog answered by the test: chart files, the unsaved-changes
// and exit questions, the program text commands, the block editors and the download hand-over.
#include "WindowFixture.h"
#include "download/window/frmDownload.h"
#include "editors/EditorDialogs.h"
#include "program/ProgramText.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr int kDirect = 1;
constexpr const char* kUnnamedQuestion = "Flow Chart changed,\r\nsave it?";

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string caption(const std::string& fileName) {
    return std::string(kApplicationTitle) + " - " + fileName;
}

} // namespace

class CommandsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    void press(int button) { window->speedButton(button)->click(); }
    // The caption as the desktop shows it: the modified mark where the window puts it.
    std::string title() const {
        QString shown = window->windowTitle();
        shown.replace("[*]", window->isWindowModified() ? "*" : "");
        return shown.toStdString();
    }
    std::string memo() const { return window->programText()->toPlainText().toStdString(); }
    void setMemo(const char* text) { window->programText()->setPlainText(text); }

    QTemporaryDir dir;
};

// ---- chart files ----------------------------------------------------------------------------

TEST_F(CommandsTest, SaveWritesTheChartAndReopenRestoresIt) {
    insert(kDirect);
    click(centreOf(marker(3)));
    insert(5);
    ASSERT_EQ(chart().BlockCount(), 2);
    const auto recordsOf = [this] {
        const std::vector<std::string_view> views = chart().BlockRecords();
        return std::vector<std::string>(views.begin(), views.end());
    };
    const std::vector<std::string> records = recordsOf();
    const std::string file = path("robot.lcs");
    prompts->saveChartNames.push_back(file);
    press(3);
    EXPECT_EQ(prompts->dialogs, std::vector<std::string>{"saveChart"});
    EXPECT_TRUE(prompts->errors.empty());
    const std::string written = readBytes(file);
    EXPECT_NE(written.find("<KELMORAX>"), std::string::npos);
    EXPECT_NE(written.find("type=\"1\""), std::string::npos);
    EXPECT_NE(written.find("type=\"5\""), std::string::npos);
    EXPECT_EQ(title(), caption("robot.lcs"));

    // A saved chart starts anew without a question, unnamed, with the text emptied.
    setMemo("10 REM \"X\"");
    press(1);
    EXPECT_TRUE(prompts->questions.empty());
    EXPECT_EQ(chart().BlockCount(), 0);
    EXPECT_EQ(title(), kApplicationTitle);
    EXPECT_EQ(memo(), "");

    prompts->openChartNames.push_back(file);
    press(2);
    EXPECT_TRUE(prompts->errors.empty());
    ASSERT_EQ(chart().BlockCount(), 2);
    EXPECT_EQ(recordsOf(), records);
    EXPECT_EQ(title(), caption("robot.lcs"));
    EXPECT_EQ(window->chartFile().CurrentFileName(), file);

    // Saving again goes to the same file without a dialog.
    press(3);
    EXPECT_EQ(prompts->dialogs, (std::vector<std::string>{"saveChart", "openChart"}));
    EXPECT_EQ(readBytes(file), written);
}

TEST_F(CommandsTest, NewAsksAboutAnUnnamedChartAndCancelKeepsEverything) {
    insert(kDirect);
    setMemo("10 REM \"KEEP\"");
    prompts->answers.push_back(files::TPrompts::Answer::Cancel);
    press(1);
    EXPECT_EQ(prompts->questions, std::vector<std::string>{kUnnamedQuestion});
    EXPECT_EQ(chart().BlockCount(), 1);
    EXPECT_EQ(memo(), "10 REM \"KEEP\"");
    EXPECT_EQ(title(), std::string(kApplicationTitle) + "*") << "unsaved work is marked";

    // Open asks the same question; Cancel shows no file dialog.
    prompts->answers.push_back(files::TPrompts::Answer::Cancel);
    press(2);
    EXPECT_EQ(prompts->questions.size(), 2u);
    EXPECT_TRUE(prompts->dialogs.empty());
    EXPECT_EQ(chart().BlockCount(), 1);

    prompts->answers.push_back(files::TPrompts::Answer::No);
    press(1);
    EXPECT_EQ(chart().BlockCount(), 0);
    EXPECT_EQ(memo(), "");
    EXPECT_EQ(canvas().SelectedObject(), marker(1));
}

TEST_F(CommandsTest, YesOnNewSavesFirstThenStartsAnew) {
    insert(kDirect);
    const std::string file = path("first.lcs");
    prompts->answers.push_back(files::TPrompts::Answer::Yes);
    prompts->saveChartNames.push_back(file);
    press(1);
    EXPECT_NE(readBytes(file).find("type=\"1\""), std::string::npos);
    EXPECT_EQ(chart().BlockCount(), 0);
    EXPECT_EQ(title(), kApplicationTitle);
}

// A file that cannot be read as a chart is reported and the chart, the text and the caption
// stay as they were.
struct BadFile {
    const char* what;
    const char* name;
    const char* bytes; // nullptr: a folder of that name
    const char* place; // where the message says the XML is broken; "" for no place
};

void PrintTo(const BadFile& c, std::ostream* os) {
    *os << c.what;
}

class CommandsBadFileTest : public CommandsTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(CommandsBadFileTest, OpenShowsTheErrorAndKeepsChartTextAndCaption) {
    const BadFile& f = GetParam();
    insert(kDirect);
    const std::string named = path("named.lcs");
    prompts->saveChartNames.push_back(named);
    press(3);
    ASSERT_EQ(title(), caption("named.lcs"));
    const std::string record(chart().BlockRecords().at(0));
    setMemo("10 REM \"KEEP\"");

    const std::string bad = path(f.name);
    if (f.bytes)
        writeBytes(bad, f.bytes);
    else
        std::filesystem::create_directory(bad);
    prompts->openChartNames.push_back(bad);
    press(2);
    ASSERT_EQ(prompts->errors.size(), 1u) << f.what;
    EXPECT_FALSE(prompts->errors[0].empty());
    if (*f.place)
        EXPECT_TRUE(prompts->errors[0].ends_with(f.place)) << prompts->errors[0];
    else
        EXPECT_EQ(prompts->errors[0].find("(line "), std::string::npos) << prompts->errors[0];
    ASSERT_EQ(chart().BlockCount(), 1);
    EXPECT_EQ(chart().BlockRecords().at(0), record);
    EXPECT_EQ(memo(), "10 REM \"KEEP\"");
    EXPECT_EQ(title(), caption("named.lcs"));
    EXPECT_EQ(window->chartFile().CurrentFileName(), named);
}

INSTANTIATE_TEST_SUITE_P(Files, CommandsBadFileTest,
                         ::testing::Values(BadFile{"cut off", "cut.lcs",
                                                   "<?xml version=\"1.0\"?>\r\n<KELMORAX>\r\n"
                                                   "<record>",
                                                   " (line 3, column 9)"},
                                           BadFile{"not xml", "text.lcs", "hello robot",
                                                   " (line 1, column 1)"},
                                           BadFile{"a folder", "folder.lcs", nullptr, ""}));

// ---- exit -----------------------------------------------------------------------------------

TEST_F(CommandsTest, ClosingAChangedChartAsksAndCancelKeepsTheWindowOpen) {
    insert(kDirect);
    prompts->answers.push_back(files::TPrompts::Answer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompts->questions, std::vector<std::string>{kUnnamedQuestion});
    EXPECT_EQ(chart().BlockCount(), 1);

    // The exit button asks the same way.
    prompts->answers.push_back(files::TPrompts::Answer::Cancel);
    press(5);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompts->questions.size(), 2u);

    // Yes with the save dialog cancelled saves nothing, so the window stays.
    prompts->answers.push_back(files::TPrompts::Answer::Yes);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompts->dialogs, std::vector<std::string>{"saveChart"});

    prompts->answers.push_back(files::TPrompts::Answer::No);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}

// Quitting during a download would leave half a program in the robot: the window asks first.
TEST_F(CommandsTest, ClosingDuringADownloadAsksFirst) {
    TFormDownload* download = window->downloadWindow();
    download->setProgramText("10 REM \"END\"");
    download->refreshPorts();
    auto* portBox = download->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    portBox->setCurrentIndex(portBox->findText(TFormDownload::virtualRobotEntry()));
    download->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    ASSERT_TRUE(download->virtualRobotPort().isOpen());
    download->virtualRobotPort().robot().setSilentAfterPackets(0); // the robot never answers
    download->findChild<QPushButton*>(QStringLiteral("Button6"))->click();
    ASSERT_TRUE(download->downloading());

    prompts->answers.push_back(files::TPrompts::Answer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(download->downloading());
    ASSERT_EQ(prompts->questions.size(), 1u);
    EXPECT_EQ(prompts->questions[0],
              "A download to the robot is still running.\r\nStop it and quit?");

    prompts->answers.push_back(files::TPrompts::Answer::Yes);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(prompts->questions.size(), 2u); // the empty chart asks nothing more
}

TEST_F(CommandsTest, ClosingAnEmptyOrSavedChartAsksNothing) {
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(prompts->questions.empty());

    window->show();
    insert(kDirect);
    prompts->saveChartNames.push_back(path("saved.lcs"));
    press(3);
    press(5);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(prompts->questions.empty());
}

// A file that holds nothing at all opens as an empty chart, and the status line says so; the
// next open of a real chart clears the word.
TEST_F(CommandsTest, AnEmptyFileOpensAsAnEmptyChartWithAWordInTheStatusLine) {
    auto* status = window->findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
    ASSERT_NE(status, nullptr);
    prompts->openChartNames.push_back(std::string(ZOLVANE_FIXTURES) + "/hostile/empty.lcs");
    press(2);
    EXPECT_TRUE(prompts->errors.empty());
    EXPECT_EQ(chart().BlockCount(), 0);
    EXPECT_EQ(status->currentMessage(),
              QStringLiteral("empty.lcs holds no chart at all: it opened as an empty chart."));
    prompts->openChartNames.push_back(std::string(ZOLVANE_FIXTURES) + "/listing/example/chart.lcs");
    press(2);
    EXPECT_GT(chart().BlockCount(), 0);
    EXPECT_EQ(status->currentMessage(), QStringLiteral("Opened chart.lcs"));
}

// ---- program text ---------------------------------------------------------------------------

TEST_F(CommandsTest, GenerateFillsTheProgramTextWithTheListing) {
    const std::string fixture = std::string(ZOLVANE_FIXTURES) + "/listing/example/chart.lcs";
    prompts->openChartNames.push_back(fixture);
    press(2);
    ASSERT_TRUE(prompts->errors.empty());
    ASSERT_GT(chart().BlockCount(), 0);
    setMemo("old text");
    press(7);
    std::string expected =
        readBytes(std::string(ZOLVANE_FIXTURES) + "/listing/example/listing.txt");
    std::erase(expected, '\r');
    while (!expected.empty() && expected.back() == '\n')
        expected.pop_back();
    EXPECT_EQ(memo(), expected);
    EXPECT_EQ(memo().rfind("10 REM \"ZOLVANE\"\n", 0), 0u);
}

TEST_F(CommandsTest, GenerateWithADamagedRecordShowsTheErrorAndKeepsTheText) {
    insert(kDirect);
    objectOf(2)->Payload = "<CtrlNode type=\"1\"><mode>0</mode>";
    setMemo("kept");
    press(7);
    ASSERT_EQ(prompts->errors.size(), 1u);
    EXPECT_FALSE(prompts->errors[0].empty());
    EXPECT_EQ(memo(), "kept");
}

TEST_F(CommandsTest, SaveTextAndLoadTextRoundTrip) {
    const char* text = "10 REM \"ZOLVANE\"\n20 REM \"FDX\"\n30 REM \"END\"";
    setMemo(text);
    const std::string file = path("program.txt");
    prompts->saveTextNames.push_back(file);
    press(9);
    EXPECT_TRUE(prompts->errors.empty());
    EXPECT_EQ(readBytes(file), "10 REM \"ZOLVANE\"\r\n20 REM \"FDX\"\r\n30 REM \"END\"\r\n");

    setMemo("something else");
    prompts->openTextNames.push_back(file);
    press(10);
    EXPECT_EQ(memo(), text);

    // Cancelled dialogs change nothing.
    setMemo("kept");
    press(10);
    press(9);
    EXPECT_EQ(memo(), "kept");
    EXPECT_EQ(prompts->dialogs,
              (std::vector<std::string>{"saveText", "openText", "openText", "saveText"}));
}

TEST_F(CommandsTest, LoadTextOfAnUnreadableFileShowsTheErrorAndKeepsTheText) {
    setMemo("kept");
    const std::string folder = path("folder.txt");
    std::filesystem::create_directory(folder);
    prompts->openTextNames.push_back(folder);
    press(10);
    ASSERT_EQ(prompts->errors.size(), 1u);
    EXPECT_NE(prompts->errors[0].find("folder.txt"), std::string::npos) << prompts->errors[0];
    EXPECT_EQ(memo(), "kept");
}

// ---- editors --------------------------------------------------------------------------------

TEST_F(CommandsTest, DoubleClickOpensTheEditorCancelKeepsAndDeleteRemoves) {
    insert(kDirect);
    TFcObject* block = objectOf(2);
    const std::string record = block->Payload;
    std::vector<QString> shown;
    int result = 2; // CANCEL
    window->editorDialogs().setExecHook([&](editors::TEditorDialog& dialog) {
        shown.push_back(dialog.windowTitle());
        return result;
    });

    doubleClick(centreOf(block));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Direct");
    ASSERT_EQ(chart().BlockCount(), 1);
    EXPECT_EQ(block->Payload, record);

    // A double click on a terminal opens nothing.
    doubleClick(centreOf(chart().StartObject()));
    EXPECT_EQ(shown.size(), 1u);

    result = 7; // DELETE
    click(centreOf(block));
    doubleClick(centreOf(block));
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(chart().BlockCount(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(canvas().SelectedObject(), marker(1));
    EXPECT_TRUE(prompts->errors.empty());
}

TEST_F(CommandsTest, DoubleClickOnABlockWithADamagedRecordShowsTheErrorOnly) {
    insert(kDirect);
    TFcObject* block = objectOf(2);
    block->Payload = "<CtrlNode type=\"1\"><mode>";
    int shown = 0;
    window->editorDialogs().setExecHook([&](editors::TEditorDialog&) {
        ++shown;
        return 7;
    });
    doubleClick(centreOf(block));
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, 0);
    ASSERT_EQ(prompts->errors.size(), 1u);
    EXPECT_EQ(chart().BlockCount(), 1);
    EXPECT_EQ(block->Payload, "<CtrlNode type=\"1\"><mode>");
}

// ---- about --------------------------------------------------------------------------------

TEST_F(CommandsTest, AboutShowsProductAndVersionAndClosesWithOk) {
    QStringList texts;
    QString title;
    bool modal = false;
    QTimer::singleShot(0, window.get(), [&] {
        auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        title = about->windowTitle();
        modal = about->isModal();
        for (const QLabel* label : about->findChildren<QLabel*>())
            texts.append(label->text());
        auto* ok = about->findChild<QPushButton*>("OKButton");
        ASSERT_NE(ok, nullptr);
        ok->click();
    });
    press(8);
    EXPECT_EQ(title, "About");
    EXPECT_TRUE(modal);
    EXPECT_TRUE(texts.contains("ZOLVANE FlowChart Software"));
    EXPECT_TRUE(texts.contains("Ver:2.0"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// ---- download -------------------------------------------------------------------------------

TEST_F(CommandsTest, DownloadHandsTheProgramTextToTheDownloadWindow) {
    setMemo("10 REM \"ZOLVANE\"\n20 REM \"FDX\"");
    TFormDownload* download = window->downloadWindow();
    ASSERT_NE(download, nullptr);
    std::string handed;
    bool wasVisible = false;
    QTimer::singleShot(0, download, [&] {
        wasVisible = download->isVisible();
        handed = download->programText();
        download->reject();
    });
    press(6);
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(download->isVisible());
    EXPECT_EQ(files::SplitLines(handed),
              (program::ProgramText{"10 REM \"ZOLVANE\"", "20 REM \"FDX\""}));
    EXPECT_TRUE(prompts->messages.empty()); // the download window's boxes go through the prompts
    EXPECT_EQ(memo(), "10 REM \"ZOLVANE\"\n20 REM \"FDX\"");
}
