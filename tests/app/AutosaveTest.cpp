// The window's autosave: written a while after a change and before a download, gone after a
// save or a clean exit, and offered back at the next start after the editor was killed.
#include "app/Autosave.h"

#include "WindowFixture.h"
#include "app/ChartEditing.h"
#include "chart/ChartFile.h"
#include "download/window/frmDownload.h"

#include <QAction>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int kWait = 5;   // Wait
constexpr int kLabel = 11; // Label

bool exists(const std::string& path) {
    return !path.empty() && fs::exists(path);
}

} // namespace

TEST_F(WindowTest, AChangeIsAutosavedAfterTheDelayAndASaveRemovesIt) {
    TAutosave& autosave = window->autosave();
    ASSERT_NE(autosave.store(), nullptr) << "the run's data folder is writable";
    const std::string file = autosave.store()->fileName();
    autosave.setDelay(20);
    insert(kWait);
    EXPECT_FALSE(exists(file)) << "not at once";
    QTest::qWait(200);
    ASSERT_TRUE(autosave.flush());
    ASSERT_TRUE(exists(file));

    QTemporaryDir dir;
    prompts->saveChartNames.push_back(dir.filePath("lesson.lcs").toStdString());
    window->speedButton(3)->click();
    ASSERT_EQ(window->chartFile().CurrentFileName(), dir.filePath("lesson.lcs").toStdString());
    EXPECT_FALSE(exists(file)) << "the saved chart needs no recovery";

    // Back to what the file holds by undo: nothing is written.
    insert(kLabel);
    window->editing().undoAction()->trigger();
    autosave.saveNow();
    ASSERT_TRUE(autosave.flush());
    EXPECT_FALSE(exists(file));
}

TEST_F(WindowTest, ADownloadAutosavesFirstAndAClosedWindowLeavesNothing) {
    TAutosave& autosave = window->autosave();
    ASSERT_NE(autosave.store(), nullptr);
    const std::string file = autosave.store()->fileName();
    insert(kWait);
    prompts->choiceAnswers.push_back(1); // "Send as it is" (the empty text)
    bool savedFirst = false;
    QTimer::singleShot(0, window->downloadWindow(), [&] {
        savedFirst = autosave.flush() && exists(file);
        window->downloadWindow()->reject();
    });
    window->speedButton(6)->click();
    EXPECT_TRUE(savedFirst) << "the autosave is on the disk while the download window is up";

    prompts->answers.push_back(files::TPrompts::Answer::No); // the chart is thrown away
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(exists(file));
}

// Run by the test below in a process of its own: an editor with two blocks whose autosave is on
// the disk, then waiting to be killed.
TEST_F(WindowTest, AutosaveProbeWaitsToBeKilled) {
    if (qEnvironmentVariableIsEmpty("ZOLVANE_AUTOSAVE_PROBE"))
        GTEST_SKIP() << "only run as the killed editor of the test below";
    insert(kWait);
    insert(kLabel);
    window->autosave().saveNow();
    ASSERT_TRUE(window->autosave().flush());
    std::cout << "AUTOSAVED" << std::endl;
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

TEST_F(WindowTest, AKilledEditorsChangesAreOfferedAtTheNextStartAndRestoredAsChanged) {
    // The killed editor shares this run's data folder.
    QProcess editor;
    editor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZOLVANE_AUTOSAVE_PROBE", "1");
    editor.setProcessEnvironment(env);
    editor.start(QCoreApplication::applicationFilePath(),
                 {"--gtest_filter=WindowTest.AutosaveProbeWaitsToBeKilled"});
    QByteArray said;
    while (!said.contains("AUTOSAVED") && editor.waitForReadyRead(20000))
        said += editor.readAllStandardOutput();
    ASSERT_TRUE(said.contains("AUTOSAVED")) << said.toStdString();
    // Running, its autosave is its own: this window is offered nothing.
    EXPECT_FALSE(window->autosave().offerRecovery(*prompts));
    EXPECT_TRUE(prompts->questions.empty());
    editor.kill(); // SIGKILL: no clean exit, no discard
    ASSERT_TRUE(editor.waitForFinished(10000));

    // A new editor starts: asked at once, Yes restores the two blocks as a changed chart.
    window.reset();
    window = std::make_unique<TForm1>();
    auto scripted = std::make_unique<ScriptedPrompts>();
    prompts = scripted.get();
    prompts->answers.push_back(files::TPrompts::Answer::Yes);
    window->setPrompts(std::move(scripted));
    window->show();
    QApplication::processEvents();
    ASSERT_EQ(prompts->questions.size(), 1u);
    EXPECT_TRUE(prompts->questions[0].starts_with(
        "The editor closed before an unnamed chart was saved. Restore the changes from "))
        << prompts->questions[0];
    EXPECT_EQ(chart().BlockCount(), 2);
    EXPECT_EQ(chart().BlockAt(1)->Kind, KindBlockBase + kWait);
    EXPECT_EQ(chart().BlockAt(2)->Kind, KindBlockBase + kLabel);
    EXPECT_TRUE(window->chartFile().IsChartChanged());
    // The restored chart is this editor's to keep safe now; nothing else is offered.
    ASSERT_TRUE(window->autosave().flush());
    EXPECT_TRUE(exists(window->autosave().store()->fileName()));
    EXPECT_FALSE(window->autosave().offerRecovery(*prompts));
    // Closing without saving (No) leaves nothing to offer again.
    prompts->answers.push_back(files::TPrompts::Answer::No);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(exists(window->autosave().store()->fileName()));
}
