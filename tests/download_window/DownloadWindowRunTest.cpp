#include "WindowTestSupport.h"
#include "download/PortList.h"

#include <QFontMetrics>
#include <QScrollArea>
#include <QSignalSpy>
#include <memory>
#include <unistd.h>

namespace {

using namespace windowtest;
using namespace std::chrono_literals;
using download::TPortInfo;

// A program of 62 parts (3,923 bytes of image): long enough to Cancel during its chunks.
std::string longListing() {
    std::string text;
    for (int i = 1; i <= 40; ++i)
        text += std::to_string(10 * i) + " REM \"" +
                std::string(90, static_cast<char>('A' + i % 26)) + "\"\r\n";
    return text;
}

class DownloadWindowRunTest : public DownloadWindowTest {
protected:
    void chooseVirtualRobot() {
        portBox()->setCurrentIndex(portBox()->findText(TFormDownload::virtualRobotEntry()));
    }
    // A pseudo-terminal robot as an entry of the port box, chosen.
    void chooseDevice(const std::string& device) {
        portBox()->insertItem(0, QStringLiteral("1: robot"), QString::fromStdString(device));
        portBox()->setCurrentIndex(0);
    }
    download::TVirtualRobot& robot() { return form.virtualRobotPort().robot(); }
    QLabel* label(const char* name) { return form.findChild<QLabel*>(QLatin1String(name)); }
    QProgressBar* bar() { return form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1")); }
    QStringList messageLines(std::size_t i) { return messages.at(i).text.split(QLatin1Char('\n')); }
};

TEST_F(DownloadWindowRunTest, StagesAndResendsAreShownInWordsAndTheBarMoves) {
    chooseVirtualRobot();
    robot().rejectNextPackets(1, 2); // the first part is refused once
    QSignalSpy stages(&form, &TFormDownload::stageChanged);
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_TRUE(waitForMessages(1));
    QStringList texts;
    int lastValue = -1;
    for (const QList<QVariant>& args : stages) {
        texts << args[0].toString();
        EXPECT_GE(args[1].toInt(), lastValue) << args[0].toString().toStdString();
        lastValue = args[1].toInt();
        EXPECT_EQ(args[2].toInt(), 6);
    }
    EXPECT_EQ(texts.front(), QStringLiteral("Connecting to the robot"));
    for (const char* expected :
         {"Announcing the program (84 bytes in 2 parts)", "Sending the program: 0 of 2 parts",
          "Sending the program: 0 of 2 parts; part 1: sent again (2 of 11)",
          "Sending the program: 1 of 2 parts", "Sending the program: 2 of 2 parts"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(expected))) << expected;
    EXPECT_EQ(texts.back(), QStringLiteral("Done: the robot has the program (84 bytes)"));
    EXPECT_EQ(lastValue, 6);
    EXPECT_EQ(statusLine(), texts.back());
    // The trace list is as it always was: a resend adds no line.
    EXPECT_EQ(form.traceLines(), (QStringList{"1", "2", "3", "4", "5:1", "5:2"}));
}

TEST_F(DownloadWindowRunTest, ALongStatusIsCutToTheLineWithTheWholeTextAsToolTip) {
    const std::string device = "/dev/zolvane-" + std::string(160, 'x');
    chooseDevice(device);
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_EQ(messages.size(), 1u);
    // A port that would not open sent nothing: no completion message, the error and the remedy.
    const QString headline = QStringLiteral("There is no port zolvane-%1 (any more).")
                                 .arg(QString(160, QLatin1Char('x')));
    EXPECT_EQ(messages[0].icon, Severity::Error);
    EXPECT_EQ(messageLines(0),
              (QStringList{headline, "Plug the robot's cable in again and choose its port from "
                                     "the list."}));
    QLabel* status = label("StatusLine");
    EXPECT_TRUE(status->text().endsWith(QChar(0x2026))) << status->text().toStdString();
    EXPECT_TRUE(headline.startsWith(status->text().chopped(1)));
    EXPECT_TRUE(status->toolTip().startsWith(headline + QLatin1Char('\n')));
    // What shows fits the label: nothing is cut off at its edge.
    const QRect needed =
        QFontMetrics(status->font())
            .boundingRect(QRect(0, 0, status->width(), 10000), Qt::TextWordWrap, status->text());
    EXPECT_LE(needed.height(), status->height());
    EXPECT_EQ(remedy(), messageLines(0)[1]);
    EXPECT_FALSE(form.downloading());
    EXPECT_TRUE(button("Button6")->isEnabled());
}

struct CauseCase {
    const char* name;
    std::function<void(download::TVirtualRobot&)> arrange;
    const char* headline;
    const char* remedyStart;
    const char* detail; // the tool's reason, under the headline in the status line's tip
};

void PrintTo(const CauseCase& c, std::ostream* os) {
    *os << c.name;
}

class WindowFailureCauses : public DownloadWindowRunTest,
                            public testing::WithParamInterface<CauseCase> {};

TEST_P(WindowFailureCauses, ShowOneMessageEachWithWhatToCheckBesideIt) {
    chooseVirtualRobot();
    form.setAnswerTimeout(30ms);
    GetParam().arrange(robot());
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_TRUE(waitForMessages(1));
    const QStringList lines = messageLines(0);
    ASSERT_EQ(lines.size(), 3) << messages[0].text.toStdString();
    EXPECT_EQ(messages[0].icon, Severity::Warning);
    EXPECT_EQ(lines[0], QStringLiteral("84 bytes data send fail"));
    EXPECT_EQ(lines[1], QString::fromLatin1(GetParam().headline));
    EXPECT_TRUE(lines[2].startsWith(QString::fromLatin1(GetParam().remedyStart)))
        << lines[2].toStdString();
    // Once the box is closed the window keeps saying what happened and what to check.
    EXPECT_EQ(statusLine(), lines[1]);
    EXPECT_EQ(label("StatusLine")->toolTip(),
              lines[1] + QLatin1Char('\n') + QString::fromLatin1(GetParam().detail))
        << label("StatusLine")->toolTip().toStdString();
    EXPECT_EQ(label("RemedyLabel")->toolTip(), lines[2]);
    EXPECT_TRUE(lines[2].startsWith(remedy().chopped(1))) << remedy().toStdString();
    EXPECT_FALSE(form.virtualRobotPort().isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Cause, WindowFailureCauses,
    testing::Values(
        CauseCase{"Silence", [](download::TVirtualRobot& r) { r.setSilentAfterPackets(0); },
                  "No robot answered on Virtual robot.",
                  "Is the robot switched on and waiting for a program?",
                  "The robot did not accept the hello packet in 11 attempts (last: no answer "
                  "within 30 ms). The robot confirmed 0 of 84 bytes."},
        CauseCase{"Garbage", [](download::TVirtualRobot& r) { r.garbleAnswers(true); },
                  "The answers on Virtual robot are not a robot's.",
                  "This is probably the wrong port",
                  "The robot did not accept the hello packet in 11 attempts (last: the robot "
                  "refused it). The robot confirmed 0 of 84 bytes."},
        CauseCase{"Refusals", [](download::TVirtualRobot& r) { r.rejectNextPackets(11); },
                  "The robot refused the hello packet 11 times.", "A loose or damaged cable",
                  "The robot did not accept the hello packet in 11 attempts (last: the robot "
                  "refused it). The robot confirmed 0 of 84 bytes."},
        CauseCase{"HangUp", [](download::TVirtualRobot& r) { r.hangUpAfterChunks(1); },
                  "The connection to the robot on Virtual robot was lost during chunk 2 of 2.",
                  "The cable was pulled out",
                  "The connection to the robot was lost during chunk 2 of 2: the virtual robot "
                  "hung up. The robot confirmed 64 of 84 bytes."}),
    [](const testing::TestParamInfo<CauseCase>& info) { return info.param.name; });

// The real serial port over a pseudo-terminal: a cable pulled in the middle.
TEST_F(DownloadWindowRunTest, APortThatVanishesIsToldAsALostConnection) {
    download::TPtyRobotServer server;
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    server.robot().hangUpAfterChunks(1);
    chooseDevice(server.devicePath());
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_TRUE(waitForMessages(1));
    const QStringList lines = messageLines(0);
    ASSERT_EQ(lines.size(), 3);
    const QString port = QString::fromStdString(download::PortShortName(server.devicePath()));
    EXPECT_TRUE(lines[1].startsWith(
        QStringLiteral("The connection to the robot on %1 was lost during chunk ").arg(port)))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral("The robot may now hold only part of the new "
                                                 "program")))
        << lines[2].toStdString();
}

TEST_F(DownloadWindowRunTest, APortAnotherProgramHoldsIsNamedWithItsHolder) {
    download::TPtyRobotServer server;
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    platform::TQtSerialPort holder; // this test program holds the port first
    holder.setDeviceName(server.devicePath());
    ASSERT_TRUE(holder.open()) << holder.errorString();
    chooseDevice(server.devicePath());
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_EQ(messages.size(), 1u);
    const QString port = QString::fromStdString(download::PortShortName(server.devicePath()));
    const QStringList lines = messageLines(0);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(port + QStringLiteral(" is in use by another program (")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(", process %1).").arg(::getpid())))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Close that program")));
    EXPECT_TRUE(server.robot().receivedBytes().empty());
    holder.close();
    // Once it is free, the same click gets through.
    click("Button6");
    ASSERT_TRUE(waitForMessages(2));
    EXPECT_EQ(messages[1].text, QStringLiteral("84 bytes data send success"));
}

TEST_F(DownloadWindowRunTest, APortTheUserMayNotUseSaysWhichGroupMay) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may open any port (the tool's tests drop root for this case)";
    download::TPtyRobotServer server;
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    ASSERT_EQ(::chmod(server.devicePath().c_str(), 0), 0);
    chooseDevice(server.devicePath());
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_EQ(messages.size(), 1u);
    const QStringList lines = messageLines(0);
    EXPECT_EQ(lines[0],
              QStringLiteral("You may not use %1.")
                  .arg(QString::fromStdString(download::PortShortName(server.devicePath()))));
    EXPECT_TRUE(lines.at(1).contains(QStringLiteral(" to the group "))) << lines[1].toStdString();
}

struct CancelCase {
    const char* name;
    std::string program;
    std::function<void(download::TVirtualRobot&, TFormDownload&)> arrange;
    bool test;               // Test connection rather than Download
    const char* waitFor;     // the status the Cancel waits for
    bool escape;             // Escape rather than the Cancel button
    const char* statusStart; // the status once cancelled
};

void PrintTo(const CancelCase& c, std::ostream* os) {
    *os << c.name;
}

class WindowCancel : public DownloadWindowRunTest,
                     public testing::WithParamInterface<CancelCase> {};

TEST_P(WindowCancel, StopsTheRunWithoutABoxAndSaysWhatTheRobotHolds) {
    const CancelCase& c = GetParam();
    chooseVirtualRobot();
    c.arrange(robot(), form);
    form.setProgramText(c.program);
    click(c.test ? "TestButton" : "Button6");
    ASSERT_TRUE(form.downloading());
    EXPECT_TRUE(button("CancelButton")->isEnabled());
    EXPECT_FALSE(button("Button6")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return statusLine().startsWith(c.waitFor); }, 10000))
        << statusLine().toStdString();
    if (c.escape)
        QTest::keyClick(&form, Qt::Key_Escape);
    else
        click("CancelButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.downloading(); }, 5000));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(statusLine().startsWith(QString::fromLatin1(c.statusStart)))
        << statusLine().toStdString();
    EXPECT_TRUE(messages.empty()) << messages[0].text.toStdString();
    EXPECT_TRUE(form.isVisible()); // the window stays to say so
    EXPECT_EQ(robot().imagesReceived(), 0);
    EXPECT_FALSE(form.virtualRobotPort().isOpen());
    EXPECT_TRUE(button("Button6")->isEnabled());
    EXPECT_FALSE(button("CancelButton")->isEnabled());
    EXPECT_EQ(remedy(), QString());
}

void silentForAnHour(download::TVirtualRobot& robot, TFormDownload& form) {
    robot.setSilentAfterPackets(0);
    form.setAnswerTimeout(std::chrono::hours(1));
}

INSTANTIATE_TEST_SUITE_P(
    Stage, WindowCancel,
    testing::Values(
        CancelCase{"WhileConnecting", fixture("listing.txt"), silentForAnHour, false,
                   "Connecting to the robot", false,
                   "Cancelled: the robot keeps its previous program"},
        CancelCase{"WithEscape", fixture("listing.txt"), silentForAnHour, false,
                   "Connecting to the robot", true,
                   "Cancelled: the robot keeps its previous program"},
        CancelCase{"WhileTheRobotSaysNothingAfterTheHeader", fixture("listing.txt"),
                   [](download::TVirtualRobot& r, TFormDownload& f) {
                       r.setSilentAfterPackets(2);
                       f.setAnswerTimeout(std::chrono::hours(1));
                   },
                   false, "Sending the program: 0 of 2 parts", false,
                   "Cancelled: the robot may now hold part of the new program (0 of 84 bytes)"},
        CancelCase{"WhileSendingTheParts", longListing(), [](auto&, auto&) {}, false,
                   "Sending the program: 3 of ", false,
                   "Cancelled: the robot may now hold part of the new program ("},
        CancelCase{"ATestConnection", fixture("listing.txt"), silentForAnHour, true,
                   "Connecting to the robot", false,
                   "Cancelled: the robot keeps its previous program"}),
    [](const testing::TestParamInfo<CancelCase>& info) { return info.param.name; });

TEST_F(DownloadWindowRunTest, CancelAndWaitEndsARunForTheEditorToQuit) {
    chooseVirtualRobot();
    silentForAnHour(robot(), form);
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_TRUE(form.downloading());
    EXPECT_TRUE(form.cancelAndWait(5000));
    EXPECT_FALSE(form.downloading());
    EXPECT_TRUE(messages.empty());
}

TEST_F(DownloadWindowRunTest, TestConnectionSaysWhetherARobotAnsweredAndSendsNoProgram) {
    chooseVirtualRobot();
    click("TestButton");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(messages[0].icon, Severity::Information);
    EXPECT_EQ(messages[0].text, QStringLiteral("A robot answered on Virtual robot."));
    EXPECT_EQ(statusLine(), QStringLiteral("A robot answered on Virtual robot"));
    EXPECT_EQ(robot().acceptedPackets().size(), 1u); // the hello alone
    EXPECT_TRUE(form.traceLines().isEmpty());
    EXPECT_FALSE(form.virtualRobotPort().isOpen());

    robot().setSilentAfterPackets(0);
    form.setAnswerTimeout(20ms);
    click("TestButton");
    ASSERT_TRUE(waitForMessages(2));
    EXPECT_EQ(messages[1].icon, Severity::Warning);
    const QStringList lines = messageLines(1);
    ASSERT_EQ(lines.size(), 2); // no completion message: no program was sent
    EXPECT_EQ(lines[0], QStringLiteral("No robot answered on Virtual robot."));
    EXPECT_EQ(statusLine(), lines[0]);
}

// The system's list as a test sets it, read again every 20 ms while the window shows.
class PortListTest : public DownloadWindowRunTest {
protected:
    void SetUp() override {
        DownloadWindowRunTest::SetUp();
        form.setPortSource([this] { return ports; });
        form.setPortPollInterval(20);
        form.refreshPorts();
    }
    bool waitForChoice(const QString& text) {
        return QTest::qWaitFor([&] { return portBox()->currentText() == text; }, 5000);
    }
    QStringList entries() {
        QStringList list;
        for (int i = 0; i < portBox()->count(); ++i)
            list << portBox()->itemText(i);
        return list;
    }

    std::vector<TPortInfo> ports{{"/dev/ttyS0", "", "", false}};
};

TEST_F(PortListTest, FollowsTheCablesPluggedInAndPulledOut) {
    EXPECT_EQ(entries(), (QStringList{"1: ttyS0", TFormDownload::virtualRobotEntry()}));
    // A robot's adapter plugged in: it appears, with what the system says of it, and is chosen.
    ports.push_back({"/dev/ttyUSB0", "CP2102 USB to UART", "Silicon Labs", true});
    ASSERT_TRUE(waitForChoice(QStringLiteral("2: ttyUSB0 - CP2102 USB to UART (Silicon Labs)")));
    EXPECT_TRUE(portBox()
                    ->currentData(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("Silicon Labs")));
    // A second one appears but does not take the choice from the first.
    ports.push_back({"/dev/ttyUSB1", "FT232R", "FTDI", true});
    ASSERT_TRUE(QTest::qWaitFor([&] { return portBox()->count() == 4; }, 5000));
    EXPECT_EQ(portBox()->currentText(),
              QStringLiteral("2: ttyUSB0 - CP2102 USB to UART (Silicon Labs)"));
    // The chosen one pulled out: it leaves the list, and the adapter left is chosen.
    ports.erase(ports.begin() + 1);
    ASSERT_TRUE(waitForChoice(QStringLiteral("2: ttyUSB1 - FT232R (FTDI)")));
    EXPECT_EQ(entries(), (QStringList{"1: ttyS0", "2: ttyUSB1 - FT232R (FTDI)",
                                      TFormDownload::virtualRobotEntry()}));
}

TEST_F(PortListTest, ListsNothingAnewWhileAPortIsOpenButKeepsItChosen) {
    chooseVirtualRobot();
    click("Button1");
    ports.push_back({"/dev/ttyUSB0", "CP2102", "Silicon Labs", true});
    ASSERT_TRUE(QTest::qWaitFor([&] { return portBox()->count() == 3; }, 5000));
    EXPECT_EQ(portBox()->currentText(), TFormDownload::virtualRobotEntry());
    EXPECT_FALSE(portBox()->isEnabled());
}

TEST_F(PortListTest, TheLastPortIsRememberedAndChosenAgain) {
    ports.push_back({"/dev/ttyUSB0", "CP2102", "", true});
    ports.push_back({"/dev/ttyUSB1", "FT232R", "", true});
    form.refreshPorts();
    QSignalSpy changed(&form, &TFormDownload::lastPortChanged);
    form.setLastPort(QStringLiteral("/dev/ttyUSB1")); // from the main window's settings
    EXPECT_EQ(portBox()->currentData().toString(), QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(form.lastPort(), QStringLiteral("/dev/ttyUSB1"));
    // A download elsewhere makes that the last port.
    chooseVirtualRobot();
    form.setProgramText(fixture("listing.txt"));
    click("Button6");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(form.lastPort(), TFormDownload::virtualRobotEntry());
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[1][0].toString(), TFormDownload::virtualRobotEntry());
}

TEST_F(DownloadWindowRunTest, TheRobotsProgramIsRememberedAgainstTheListing) {
    chooseVirtualRobot();
    QSignalSpy memoryChanged(&form, &TFormDownload::programMemoryChanged);
    const std::string listing = fixture("listing.txt");
    EXPECT_EQ(form.robotProgramStatus(listing), QString());
    form.setProgramText(listing);
    click("Button6");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(memoryChanged.size(), 1);
    EXPECT_EQ(form.robotProgramStatus(listing),
              QStringLiteral("The robot on Virtual robot has this program"));
    EXPECT_EQ(form.robotProgramStatus(listing + "80 REM \"END\"\r\n"),
              QStringLiteral("The robot on Virtual robot has an older version of this program"));
    // What the main window keeps in its settings comes back whole.
    download::TProgramMemory again;
    again.load(form.programMemory().save());
    EXPECT_EQ(
        again.compare("Virtual robot", download::PackListing(files::SplitLines(listing)).image),
        download::TProgramMemory::Match::Same);
}

TEST_F(DownloadWindowRunTest, SendToRobotDownloadsToTheLastPortWithoutTheWindow) {
    form.hide();
    form.setLastPort(TFormDownload::virtualRobotEntry());
    QSignalSpy stages(&form, &TFormDownload::stageChanged);
    QSignalSpy finished(&form, &TFormDownload::downloadFinished);
    ASSERT_TRUE(form.sendToRobot(fixture("listing.txt")));
    EXPECT_FALSE(form.isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.size() == 1; }, 10000));
    EXPECT_EQ(finished[0][0].toBool(), true);
    EXPECT_EQ(finished[0][1].toString(),
              QStringLiteral("Done: the robot has the program (84 bytes)"));
    EXPECT_TRUE(messages.empty()); // the main window's status bar tells
    EXPECT_GE(stages.size(), 6);
    EXPECT_EQ(robot().imagesReceived(), 1);
    EXPECT_FALSE(form.virtualRobotPort().isOpen());

    // A failure does show its box, and says what to check.
    robot().setSilentAfterPackets(0);
    form.setAnswerTimeout(20ms);
    ASSERT_TRUE(form.sendToRobot(fixture("listing.txt")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.size() == 2; }, 10000));
    EXPECT_EQ(finished[1][0].toBool(), false);
    EXPECT_EQ(finished[1][1].toString(), QStringLiteral("No robot answered on Virtual robot."));
    EXPECT_TRUE(finished[1][2].toString().startsWith(QStringLiteral("Is the robot switched on")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messageLines(0)[0], QStringLiteral("84 bytes data send fail"));
}

// Send to all connected robots: pseudo-terminal robots listed as the system's ports.
class SendToAllTest : public DownloadWindowRunTest {
protected:
    void addRobots(int count) {
        for (int i = 0; i < count; ++i) {
            servers.push_back(std::make_unique<download::TPtyRobotServer>());
            std::string error;
            ASSERT_TRUE(servers.back()->start(&error)) << error;
            ports.push_back({servers.back()->devicePath(), "virtual robot", "", true});
        }
        form.setPortSource([this] { return ports; });
        form.refreshPorts();
    }
    QString rowStatus(int robot) {
        return form.findChild<QLabel*>(QStringLiteral("RobotRow%1Status").arg(robot))->text();
    }
    QString shortName(int robot) {
        return QString::fromStdString(download::PortShortName(servers[robot]->devicePath()));
    }

    std::vector<std::unique_ptr<download::TPtyRobotServer>> servers;
    std::vector<TPortInfo> ports;
};

TEST_F(SendToAllTest, SendsTheProgramToEveryRobotWithARowEachAndOneSilent) {
    addRobots(3);
    servers[1]->robot().setSilentAfterPackets(0);
    form.setAnswerTimeout(50ms);
    form.setProgramText(fixture("listing.txt"));
    const int heightBefore = form.height();
    click("SendAllButton");
    EXPECT_TRUE(form.downloading());
    EXPECT_TRUE(form.findChild<QScrollArea*>(QStringLiteral("RobotRows"))->isVisible());
    EXPECT_GT(form.height(), heightBefore);
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(messages[0].icon, Severity::Warning);
    const QStringList lines = messageLines(0);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("2 of 3 robots have the program"));
    for (int robot : {0, 2}) {
        EXPECT_TRUE(
            lines.contains(shortName(robot) + QStringLiteral(": 84 bytes data send success")));
        EXPECT_EQ(rowStatus(robot), QStringLiteral("Done: the robot has the program (84 bytes)"));
        const std::string image = fixture("image.bin");
        EXPECT_EQ(servers[robot]->robot().image(), download::Bytes(image.begin(), image.end()));
    }
    EXPECT_TRUE(lines.contains(shortName(1) +
                               QStringLiteral(": 84 bytes data send fail: No robot answered on ") +
                               shortName(1) + QLatin1Char('.')));
    EXPECT_EQ(rowStatus(1), QStringLiteral("No robot answered on %1.").arg(shortName(1)));
    EXPECT_FALSE(form.downloading());
    EXPECT_TRUE(button("Button6")->isEnabled());
    // The next showing starts clean: the rows are gone.
    QTimer::singleShot(0, &form, [&] {
        EXPECT_FALSE(form.findChild<QScrollArea*>(QStringLiteral("RobotRows"))->isVisible());
        EXPECT_EQ(form.height(), heightBefore);
        click("Button5");
    });
    form.showForProgram(fixture("listing.txt"));
}

TEST_F(SendToAllTest, CancelStopsEveryRobot) {
    addRobots(2);
    for (auto& server : servers)
        server->robot().setSilentAfterPackets(0);
    form.setAnswerTimeout(std::chrono::hours(1));
    form.setProgramText(fixture("listing.txt"));
    click("SendAllButton");
    ASSERT_TRUE(form.downloading());
    click("CancelButton");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(messageLines(0)[0], QStringLiteral("0 of 2 robots have the program"));
    for (int robot : {0, 1})
        EXPECT_EQ(rowStatus(robot),
                  QStringLiteral("Cancelled: the robot keeps its previous program"));
}

TEST_F(SendToAllTest, WithoutAnyListedPortSaysSo) {
    form.setPortSource([] { return std::vector<TPortInfo>{}; });
    form.refreshPorts();
    form.setProgramText(fixture("listing.txt"));
    click("SendAllButton");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("No robot's port is listed")));
    EXPECT_FALSE(form.downloading());
}

} // namespace
