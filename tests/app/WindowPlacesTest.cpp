// What the window remembers between runs and shows as it goes: size and palette group, the
// recent charts, the modified mark in the caption, the word after each command, and the
// statement of the selected block.
#include "WindowFixture.h"
#include "chart/ChartFile.h"
#include "download/ProgramMemory.h"
#include "download/window/frmDownload.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

constexpr int kWait = 5;

} // namespace

TEST_F(WindowTest, SizeAndPaletteGroupComeBackInTheNextRun) {
    window->resize(900, 640);
    window->palette()->setCurrentIndex(2);
    ASSERT_TRUE(window->close());
    window = std::make_unique<TForm1>();
    window->setPrompts(std::make_unique<ScriptedPrompts>());
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(900, 640));
    EXPECT_EQ(window->palette()->currentIndex(), 2);
}

TEST_F(WindowTest, SavedAndOpenedChartsAreRecentAndOpenAgainFromTheMenu) {
    QTemporaryDir dir;
    auto save = [&](const char* name) {
        prompts->saveChartNames.push_back(dir.filePath(name).toStdString());
        window->speedButton(4)->click();
    };
    insert(kWait);
    QApplication::processEvents(); // the window follows the chart once the event is over
    EXPECT_TRUE(window->isWindowModified());
    save("first.lcs");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->statusBar()->currentMessage(), "Saved first.lcs");
    insert(kWait);
    save("second.lcs");

    auto* recent = window->findChild<QMenu*>("RecentMenu");
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    QStringList entries;
    for (QAction* action : recent->actions())
        if (!action->isSeparator())
            entries << action->text();
    EXPECT_EQ(entries, (QStringList{"&1 second.lcs", "&2 first.lcs", "&Clear the List"}));

    // The older chart opens from the list (nothing to ask: the chart is saved).
    prompts->questionsMustBeScripted = true;
    recent->actions().at(1)->trigger();
    EXPECT_EQ(window->chartFile().CurrentFileName(), dir.filePath("first.lcs").toStdString());
    EXPECT_EQ(chart().BlockCount(), 1);
    EXPECT_EQ(window->statusBar()->currentMessage(), "Opened first.lcs");

    // A chart that is gone says so and leaves the list.
    QFile::remove(dir.filePath("second.lcs"));
    emit recent->aboutToShow();
    recent->actions().at(1)->trigger(); // first.lcs is on top now, second.lcs below
    EXPECT_EQ(prompts->errors.size(), 1u);
    emit recent->aboutToShow();
    EXPECT_EQ(recent->actions().size(), 3); // first.lcs, the separator, Clear
}

TEST_F(WindowTest, TheStatusBarShowsTheSelectedBlocksStatementAndTheListingsLength) {
    insert(kWait);
    QApplication::processEvents();
    auto* statement = window->findChild<QLabel*>("StatementLabel");
    ASSERT_NE(statement, nullptr);
    EXPECT_EQ(statement->text(), "WAIT 0");
    canvas().SelectObject(marker(1));
    QApplication::processEvents();
    EXPECT_EQ(statement->text(), "");
    window->commandAction(7)->trigger();
    EXPECT_EQ(window->statusBar()->currentMessage(), "Listing generated: 2 lines");
}

TEST_F(WindowTest, ZoomKeysAndMenuZoomTheCanvasAndTheZoomIsRemembered) {
    auto* label = window->findChild<QLabel*>("ZoomLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "100 %");
    window->flowChart()->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(window->flowChart()->zoom(), 1.1);
    EXPECT_EQ(label->text(), "110 %");
    QTest::keyClick(window.get(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(window->flowChart()->zoom(), 0.9);
    QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(window->flowChart()->zoom(), 1.0);
    window->findChild<QAction*>("ZoomInAction")->trigger();
    window->findChild<QAction*>("ZoomInAction")->trigger();
    ASSERT_TRUE(window->close());

    window = std::make_unique<TForm1>();
    window->setPrompts(std::make_unique<ScriptedPrompts>());
    window->show();
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(window->flowChart()->zoom(), 1.25);
    EXPECT_EQ(window->findChild<QLabel*>("ZoomLabel")->text(), "125 %");
}

TEST_F(WindowTest, TheLastRobotPortAndItsProgramComeBackInTheNextRun) {
    window->downloadWindow()->setLastPort(TFormDownload::virtualRobotEntry());
    const std::vector<std::uint8_t> image{1, 2, 3};
    window->downloadWindow()->programMemory().remember("/dev/ttyUSB7", image);
    ASSERT_TRUE(window->close());
    window = std::make_unique<TForm1>();
    window->setPrompts(std::make_unique<ScriptedPrompts>());
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(window->downloadWindow()->lastPort(), TFormDownload::virtualRobotEntry());
    EXPECT_EQ(window->downloadWindow()->programMemory().compare("/dev/ttyUSB7", image),
              download::TProgramMemory::Match::Same);
}

TEST_F(WindowTest, SendToRobotGeneratesAndSendsToTheVirtualRobotWithoutTheWindow) {
    insert(kWait);
    window->downloadWindow()->setLastPort(TFormDownload::virtualRobotEntry());
    bool finished = false, succeeded = false;
    QObject::connect(window->downloadWindow(), &TFormDownload::downloadFinished,
                     [&](bool success, const QString&, const QString&) {
                         finished = true;
                         succeeded = success;
                     });
    // One click on the toolbar button beside Download, the same command as the Robot menu's.
    auto* send = window->findChild<QAction*>("SendToRobotAction");
    ASSERT_NE(send, nullptr);
    EXPECT_TRUE(window->findChild<QMenu*>("RobotMenu")->actions().contains(send));
    QToolButton* button = window->sendButton();
    EXPECT_EQ(button->defaultAction(), send);
    EXPECT_EQ(button->accessibleName(), "Send to Robot");
    EXPECT_TRUE(button->toolTip().endsWith("(Shift+F9)")) << button->toolTip().toStdString();
    EXPECT_EQ(button->geometry().left(), window->speedButton(6)->geometry().right() + 1 + 2);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(window->downloadWindow()->isVisible());
    EXPECT_FALSE(window->programText()->toPlainText().isEmpty()) << "generated first";
    for (int i = 0; i < 200 && !finished; ++i)
        QTest::qWait(50);
    ASSERT_TRUE(finished);
    EXPECT_TRUE(succeeded) << window->statusBar()->currentMessage().toStdString();
    EXPECT_FALSE(window->statusBar()->currentMessage().isEmpty());
    // The status bar says the robot holds this program, until the text changes.
    auto* robot = window->findChild<QLabel*>("RobotLabel");
    ASSERT_NE(robot, nullptr);
    EXPECT_TRUE(robot->text().endsWith("has this program")) << robot->text().toStdString();
    window->programText()->appendPlainText("900 REM \"END\"");
    EXPECT_TRUE(robot->text().endsWith("has an older version of this program"))
        << robot->text().toStdString();
}
