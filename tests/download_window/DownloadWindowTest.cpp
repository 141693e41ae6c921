#include "WindowTestSupport.h"

namespace {

using namespace windowtest;

TEST_F(DownloadWindowTest, StartsWithClosedPortAndTheGivenControls) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ZOLVANE Download"));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // fixed size
    EXPECT_EQ(form.width(), 578);
    EXPECT_EQ(form.font().pixelSize(), 16);
    EXPECT_EQ(button("Button1")->text(), QStringLiteral("Open"));
    EXPECT_TRUE(button("Button1")->isEnabled());
    EXPECT_EQ(button("Button2")->text(), QStringLiteral("Close"));
    EXPECT_FALSE(button("Button2")->isEnabled());
    EXPECT_EQ(button("Button6")->text(), QStringLiteral("Download"));
    EXPECT_TRUE(button("Button6")->isEnabled());
    EXPECT_EQ(button("Button5")->text(), QStringLiteral("Exit"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("COM:"));

    auto* memo2 = form.findChild<QPlainTextEdit*>(QStringLiteral("Memo2"));
    ASSERT_NE(memo2, nullptr);
    EXPECT_EQ(memo2->parentWidget()->objectName(), QStringLiteral("Panel1"));
    EXPECT_EQ(memo2->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_FALSE(memo2->isReadOnly());
    EXPECT_EQ(memo2->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo2->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(button("Button6")->parentWidget()->objectName(), QStringLiteral("Panel1"));
    auto* memo1 = form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    ASSERT_NE(memo1, nullptr);
    EXPECT_FALSE(memo1->isVisible());
    EXPECT_NE(form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1")), nullptr);
    EXPECT_NE(form.findChild<QLabel*>(QStringLiteral("StatusLine")), nullptr);
    EXPECT_TRUE(form.traceLines().isEmpty());
}

TEST_F(DownloadWindowTest, PortBoxListsTheSystemsPortsThenTheVirtualRobot) {
    const auto ports = platform::TQtSerialPort::availablePorts();
    QComboBox* box = portBox();
    ASSERT_EQ(box->count(), static_cast<int>(ports.size()) + 1);
    EXPECT_EQ(box->itemText(box->count() - 1), TFormDownload::virtualRobotEntry());
    for (int i = 0; i + 1 < box->count(); ++i)
        EXPECT_TRUE(box->itemText(i).startsWith(QString::number(i + 1) + QStringLiteral(": ")))
            << box->itemText(i).toStdString();
    // The first entry is chosen: the virtual robot when the system reports no port.
    EXPECT_EQ(box->currentIndex(), 0);
}

TEST_F(DownloadWindowTest, OpenAndCloseSwapTheButtonsAndTheVirtualRobotPort) {
    openVirtualRobot();
    EXPECT_FALSE(button("Button1")->isEnabled());
    EXPECT_TRUE(button("Button2")->isEnabled());
    EXPECT_FALSE(portBox()->isEnabled());

    click("Button2");
    EXPECT_FALSE(form.virtualRobotPort().isOpen());
    EXPECT_TRUE(button("Button1")->isEnabled());
    EXPECT_FALSE(button("Button2")->isEnabled());
    EXPECT_TRUE(portBox()->isEnabled());
    // The port's closing report is posted: delivered, it changes nothing.
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(button("Button1")->isEnabled());
    EXPECT_TRUE(messages.empty());
}

TEST_F(DownloadWindowTest, RefusedOpenShowsThePortsErrorAndKeepsOpenEnabled) {
    // A port that went away between the showing and the click.
    portBox()->insertItem(0, QStringLiteral("1: zolvane-gone"),
                          QStringLiteral("/dev/zolvane-no-such-port"));
    portBox()->setCurrentIndex(0);
    click("Button1");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, Severity::Error);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("/dev/zolvane-no-such-port")))
        << messages[0].text.toStdString();
    EXPECT_TRUE(button("Button1")->isEnabled());
    EXPECT_FALSE(button("Button2")->isEnabled());
}

struct DownloadCase {
    const char* name;
    std::uint8_t headerReplySecond;
    QString firstLine;
    QStringList trace;
    bool imageArrives;
};

// Test names and failure reports show the row's name.
void PrintTo(const DownloadCase& c, std::ostream* os) {
    *os << c.name;
}

class DownloadOutcomeTest : public DownloadWindowTest,
                            public testing::WithParamInterface<DownloadCase> {};

TEST_P(DownloadOutcomeTest, ExampleListingEndsWithTheCompletionMessage) {
    const DownloadCase& c = GetParam();
    openVirtualRobot();
    form.virtualRobotPort().robot().setHeaderReply(0xAA, c.headerReplySecond);
    form.setProgramText(fixture("listing.txt"));

    click("Button6");
    EXPECT_TRUE(form.downloading());
    EXPECT_FALSE(button("Button6")->isEnabled());
    click("Button6"); // a click on the disabled button starts nothing
    ASSERT_TRUE(waitForMessages(1));
    // Whatever the download left posted is delivered: no second box, and the
    // robot saw one download only.
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(form.virtualRobotPort().robot().acceptedPackets().size(),
              c.imageArrives ? 4u : 2u); // hello, header and the two chunks

    const QStringList lines = messages[0].text.split(QLatin1Char('\n'));
    EXPECT_EQ(lines[0], c.firstLine);
    if (c.imageArrives) {
        EXPECT_EQ(lines.size(), 1);
        EXPECT_EQ(messages[0].icon, Severity::Information);
    } else {
        // What happened on a second line, what to do on a third; the status
        // line says what happened, the remedy stays beside it after the box.
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[1], QStringLiteral("The robot did not take the program: its reply to the "
                                           "header began AA 55 instead of AA AA."));
        EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Switch the robot off and on again")))
            << lines[2].toStdString();
        EXPECT_EQ(messages[0].icon, Severity::Warning);
        EXPECT_EQ(remedy(), lines[2]);
        EXPECT_EQ(statusTip().section(QLatin1Char('\n'), 0, 0), lines[1]);
    }
    EXPECT_EQ(downloadEnabledAtMessage, std::vector<bool>{false});
    EXPECT_TRUE(button("Button6")->isEnabled());
    EXPECT_FALSE(form.downloading());
    EXPECT_EQ(form.traceLines(), c.trace);

    const auto& robot = form.virtualRobotPort().robot();
    EXPECT_EQ(robot.imagesReceived(), c.imageArrives ? 1 : 0);
    if (c.imageArrives) {
        const std::string image = fixture("image.bin");
        EXPECT_EQ(robot.image(), download::Bytes(image.begin(), image.end()));
        // The bar counts the hello and header steps, then the two parts.
        auto* progress = form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
        EXPECT_EQ(progress->maximum(), 6);
        EXPECT_EQ(progress->value(), 6);
        EXPECT_EQ(statusLine(), QStringLiteral("Done: the robot has the program (84 bytes)"));
        EXPECT_EQ(remedy(), QString());
    }
    // The port stays open for the next download.
    EXPECT_TRUE(button("Button2")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(HeaderReply, DownloadOutcomeTest,
                         testing::Values(DownloadCase{"AA_AA",
                                                      0xAA,
                                                      QStringLiteral("84 bytes data send success"),
                                                      {"1", "2", "3", "4", "5:1", "5:2"},
                                                      true},
                                         DownloadCase{"AA_55",
                                                      0x55,
                                                      QStringLiteral("84 bytes data send fail"),
                                                      {"1", "2", "3", "4"},
                                                      false}),
                         [](const testing::TestParamInfo<DownloadCase>& info) {
                             return info.param.name;
                         });

TEST_F(DownloadWindowTest, SecondDownloadRunsAgainAndTheTraceListKeepsGrowing) {
    openVirtualRobot();
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_TRUE(waitForMessages(1));
    click("Button6");
    ASSERT_TRUE(waitForMessages(2));
    EXPECT_EQ(messages[1].text, QStringLiteral("84 bytes data send success"));
    EXPECT_EQ(form.virtualRobotPort().robot().imagesReceived(), 2);
    EXPECT_EQ(form.traceLines(),
              (QStringList{"1", "2", "3", "4", "5:1", "5:2", "1", "2", "3", "4", "5:1", "5:2"}));
}

TEST_F(DownloadWindowTest, DownloadOfAnEmptyTextDoesNothing) {
    openVirtualRobot();
    form.setProgramText("");
    click("Button6");
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(form.downloading());
    EXPECT_TRUE(button("Button6")->isEnabled());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(form.traceLines().isEmpty());
    EXPECT_TRUE(form.virtualRobotPort().robot().receivedBytes().empty());
}

TEST_F(DownloadWindowTest, AProgramWithoutAnAcceptedLineIsRefusedAndNothingIsSent) {
    openVirtualRobot();
    form.setProgramText(hostileFixture("no-valid-line.txt"));
    click("Button6");
    const QString refusal =
        QStringLiteral("No line of the program passes the line check, so nothing was sent: "
                       "line 1 (code 2: fewer than three words).");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, Severity::Warning);
    EXPECT_EQ(messages[0].text, refusal);
    EXPECT_EQ(statusLine(), refusal);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(form.downloading());
    EXPECT_TRUE(button("Button6")->isEnabled());
    EXPECT_TRUE(form.traceLines().isEmpty());
    EXPECT_TRUE(form.virtualRobotPort().robot().receivedBytes().empty());
}

TEST_F(DownloadWindowTest, AProgramTooLargeForTheRobotIsRefusedAndNothingIsSent) {
    openVirtualRobot();
    std::string text;
    for (int i = 1; i <= 240; ++i)
        text += std::to_string(10 * i) + " REM \"" + std::string(248, 'A') + "\"\r\n";
    form.setProgramText(text);
    click("Button6");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, Severity::Warning);
    EXPECT_TRUE(messages[0].text.startsWith(
        QStringLiteral("The program is too large for the robot: its 240 lines need 60480 bytes")))
        << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.endsWith(
        QStringLiteral("Only the lines up to line 233 fit (233 lines, a program image of 59651 "
                       "bytes).")))
        << messages[0].text.toStdString();
    EXPECT_FALSE(form.downloading());
    EXPECT_TRUE(form.virtualRobotPort().robot().receivedBytes().empty());
}

struct LeftOutCase {
    const char* name;
    files::TPrompts::Answer answer;
    bool sent;
};

void PrintTo(const LeftOutCase& c, std::ostream* os) {
    *os << c.name;
}

class LinesLeftOutTest : public DownloadWindowTest,
                         public testing::WithParamInterface<LeftOutCase> {};

TEST_P(LinesLeftOutTest, AreNamedInAQuestionBeforeAnythingIsSent) {
    openVirtualRobot();
    const std::string text = hostileFixture("lines-left-out.txt");
    form.setProgramText(text);
    std::vector<std::string> questions;
    std::size_t bytesAtQuestion = 0;
    bool downloadingAtQuestion = true;
    prompts.answers.push_back(GetParam().answer);
    prompts.onQuestion = [&](const std::string& question) {
        questions.push_back(question);
        bytesAtQuestion = form.virtualRobotPort().robot().receivedBytes().size();
        downloadingAtQuestion = form.downloading();
    };
    click("Button6");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "3 lines will be left out because they fail the line check:\n"
                            "line 2 (code 5: the third word is not a quoted text)\n"
                            "line 4 (code 1: 8 characters or fewer)\n"
                            "line 5 (code 3: no line number from 0 to 65535)\n"
                            "Send the rest?");
    EXPECT_EQ(bytesAtQuestion, 0u);
    EXPECT_FALSE(downloadingAtQuestion);
    const auto& robot = form.virtualRobotPort().robot();
    if (GetParam().sent) {
        ASSERT_TRUE(waitForMessages(1));
        const std::vector<std::string> lines = files::SplitLines(text);
        const download::Bytes image = download::BuildImage({lines[0], lines[2]});
        EXPECT_EQ(messages[0].text, QStringLiteral("%1 bytes data send success").arg(image.size()));
        EXPECT_EQ(robot.image(), image);
    } else {
        QCoreApplication::sendPostedEvents();
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(statusLine(), QStringLiteral("Nothing was sent."));
        EXPECT_FALSE(form.downloading());
        EXPECT_TRUE(robot.receivedBytes().empty());
    }
    EXPECT_TRUE(button("Button6")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Answer, LinesLeftOutTest,
    testing::Values(LeftOutCase{"Yes", files::TPrompts::Answer::Yes, true},
                    LeftOutCase{"No", files::TPrompts::Answer::No, false},
                    LeftOutCase{"Cancel", files::TPrompts::Answer::Cancel, false}),
    [](const testing::TestParamInfo<LeftOutCase>& info) { return info.param.name; });

TEST_F(DownloadWindowTest, DownloadOpensTheChosenPortByItselfAndClosesItAfter) {
    portBox()->setCurrentIndex(portBox()->findText(TFormDownload::virtualRobotEntry()));
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    EXPECT_TRUE(form.downloading());
    EXPECT_TRUE(form.virtualRobotPort().isOpen());
    // Open would reopen the port under the download; the box would choose another.
    EXPECT_FALSE(button("Button1")->isEnabled());
    EXPECT_FALSE(portBox()->isEnabled());
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(messages[0].text, QStringLiteral("84 bytes data send success"));
    EXPECT_EQ(form.virtualRobotPort().robot().imagesReceived(), 1);
    // Given back as it was found: closed, with Open offered.
    EXPECT_FALSE(form.virtualRobotPort().isOpen());
    EXPECT_TRUE(button("Button1")->isEnabled());
    EXPECT_FALSE(button("Button2")->isEnabled());
    EXPECT_TRUE(portBox()->isEnabled());
}

TEST_F(DownloadWindowTest, CloseDuringADownloadEndsItAsAFail) {
    openVirtualRobot();
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    click("Button2"); // the chunks' 50 ms pauses keep the download running this long
    ASSERT_TRUE(waitForMessages(1));
    const QStringList lines = messages[0].text.split(QLatin1Char('\n'));
    EXPECT_EQ(lines[0], QStringLiteral("84 bytes data send fail"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith(
        QStringLiteral("The connection to the robot on Virtual robot was lost during ")))
        << lines[1].toStdString();
    EXPECT_TRUE(button("Button6")->isEnabled());
    EXPECT_TRUE(button("Button1")->isEnabled());
    EXPECT_EQ(form.virtualRobotPort().robot().imagesReceived(), 0);
}

TEST_F(DownloadWindowTest, RobotThatHangsUpFailsTheDownloadAndOffersOpenAgain) {
    openVirtualRobot();
    form.virtualRobotPort().robot().hangUpAfterChunks(1);
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("84 bytes data send fail\n")))
        << messages[0].text.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return button("Button1")->isEnabled(); }, 2000));
    EXPECT_FALSE(button("Button2")->isEnabled());
    EXPECT_TRUE(button("Button6")->isEnabled());
}

TEST_F(DownloadWindowTest, HandOverShowsTheTextAndExitCancelsTheDownloadButLeavesThePortOpen) {
    form.hide();
    openVirtualRobot();
    form.virtualRobotPort().robot().setSilentAfterPackets(0); // it would wait an hour
    form.setAnswerTimeout(std::chrono::hours(1));
    const std::string listing = fixture("listing.txt");
    bool downloadStarted = false;
    QTimer::singleShot(0, &form, [&] {
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(files::SplitLines(form.programText()), files::SplitLines(listing));
        click("Button6");
        downloadStarted = form.downloading();
        click("Button5");
    });
    form.showForProgram(listing);
    EXPECT_TRUE(downloadStarted);
    EXPECT_FALSE(form.isVisible());
    // The cancel ends the download soon, and no box appears over the editor.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.downloading(); }, 5000));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(messages.empty()) << messages[0].text.toStdString();
    EXPECT_EQ(statusLine(), QStringLiteral("Cancelled: the robot keeps its previous program"));
    EXPECT_TRUE(form.virtualRobotPort().isOpen());

    // The next showing keeps the open port chosen and the buttons as they
    // were, and starts clean of the last run's words.
    QTimer::singleShot(0, &form, [&] {
        EXPECT_EQ(portBox()->currentText(), TFormDownload::virtualRobotEntry());
        EXPECT_FALSE(button("Button1")->isEnabled());
        EXPECT_TRUE(button("Button2")->isEnabled());
        EXPECT_TRUE(form.programText().empty());
        EXPECT_EQ(statusLine(), QString());
        EXPECT_EQ(form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->value(), 0);
        click("Button5");
    });
    form.showForProgram("");
}

TEST_F(DownloadWindowTest, SerialPortEntryDownloadsThroughTheRealPort) {
    // The virtual robot behind a pseudo-terminal stands in for a robot on a cable.
    download::TPtyRobotServer server;
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    portBox()->insertItem(0, QStringLiteral("1: robot"),
                          QString::fromStdString(server.devicePath()));
    portBox()->setCurrentIndex(0);
    click("Button1");
    ASSERT_TRUE(messages.empty()) << messages[0].text.toStdString();
    ASSERT_TRUE(button("Button2")->isEnabled());

    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(messages[0].text, QStringLiteral("84 bytes data send success"));
    const std::string image = fixture("image.bin");
    EXPECT_EQ(server.robot().image(), download::Bytes(image.begin(), image.end()));
    EXPECT_EQ(form.virtualRobotPort().robot().receivedBytes().size(), 0u);

    // While it is open, a new showing keeps its entry chosen though the system does not list it.
    form.refreshPorts();
    EXPECT_EQ(portBox()->currentData().toString(), QString::fromStdString(server.devicePath()));
    EXPECT_FALSE(portBox()->isEnabled());
    click("Button2");
    EXPECT_TRUE(button("Button1")->isEnabled());
}

TEST_F(DownloadWindowTest, NewShowingKeepsTheChosenEntryWhileItIsListed) {
    QComboBox* box = portBox();
    box->setCurrentIndex(box->findText(TFormDownload::virtualRobotEntry()));
    form.refreshPorts();
    EXPECT_EQ(box->currentText(), TFormDownload::virtualRobotEntry());

    // A port that is gone by the next showing gives way to the first entry.
    box->insertItem(0, QStringLiteral("1: zolvane-gone"), QStringLiteral("/dev/zolvane-gone"));
    box->setCurrentIndex(0);
    form.refreshPorts();
    EXPECT_EQ(box->findText(QStringLiteral("1: zolvane-gone")), -1);
    EXPECT_EQ(box->currentIndex(), 0);
}

TEST_F(DownloadWindowTest, ProgramTextKeepsItsBytesThroughTheTextBox) {
    // A no-break space and a line separator inside a statement are the pupil's text, not layout.
    const std::string text = "10 REM \"ZOLVANE\"\r\n20 REM \"A\xC2\xA0"
                             "B\xE2\x80\xA8"
                             "C\"\r\n";
    form.setProgramText(text);
    EXPECT_EQ(form.programText(), "10 REM \"ZOLVANE\"\n20 REM \"A\xC2\xA0"
                                  "B\xE2\x80\xA8"
                                  "C\"\n");
}

} // namespace
