// The program text and the chart it was made from: the bar over a listing of an older chart, the
// question before such a listing is sent, and texts typed or loaded, which are sent as they are.
#include "WindowFixture.h"
#include "download/window/frmDownload.h"
#include "editors/EditorDialogs.h"
#include "platform/prompts/QtPrompts.h"

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <fstream>
#include <optional>

namespace {

constexpr int kDirect = 1;
constexpr int kWait = 5;
const std::string kAgainQuestion = "Generate the listing again before sending?";
const std::vector<std::string> kAgainChoices{"Generate and Send", "Send as it is", "Cancel"};

} // namespace

class ListingStateTest : public WindowTest {
protected:
    using WindowTest::press;
    void press(int button) { window->speedButton(button)->click(); }
    std::string memo() const { return window->programText()->toPlainText().toStdString(); }
    // The bar shows once the chart's changes have been followed (after the current event).
    bool barShown() {
        QApplication::processEvents();
        return window->listingBar()->isVisible();
    }
    // Inserts a block of the type below the selected block (or marker).
    void insertBelowSelection(int blockType) {
        if (TFcObject* s = canvas().SelectedObject(); s && chart().BlockNumberOf(s) > 0)
            canvas().SelectObject(marker(chart().IndexOfBlock(s) + 1));
        insert(blockType);
        QApplication::processEvents();
    }
    // Presses Download and reports the text the download window was given, or nothing when it
    // never opened.
    std::optional<std::string> download() {
        TFormDownload* form = window->downloadWindow();
        std::optional<std::string> sent;
        QTimer::singleShot(0, form, [&] {
            if (!form->isVisible())
                return;
            sent = form->programText();
            form->reject();
        });
        press(6);
        QApplication::processEvents();
        return sent;
    }
    // Follows the link in the bar as a click on it does.
    void clickBarLink() {
        QLabel* label = window->listingBarText();
        const QString text = label->text();
        const qsizetype at = text.indexOf("href=\"");
        ASSERT_GE(at, 0) << "the bar holds no link";
        const qsizetype end = text.indexOf('"', at + 6);
        emit label->linkActivated(text.mid(at + 6, end - at - 6));
    }

    QTemporaryDir dir;
};

TEST_F(ListingStateTest, AChartChangedAfterGenerateShowsTheBarAndItsLinkGeneratesAgain) {
    insert(kDirect);
    EXPECT_FALSE(barShown()) << "nothing generated yet";
    press(7);
    const std::string first = memo();
    EXPECT_NE(first.find("FDX"), std::string::npos) << first;
    EXPECT_FALSE(barShown());
    EXPECT_EQ(window->listingState().origin(), program::TTextOrigin::Generated);

    insertBelowSelection(kWait);
    ASSERT_TRUE(barShown());
    EXPECT_EQ(memo(), first) << "the text itself stays until asked";
    EXPECT_TRUE(window->listingBarText()->text().startsWith(
        "The chart has changed since this listing was made."));
    EXPECT_TRUE(window->listingBarText()->text().contains(">Generate again</a>"));
    // The bar sits above the program text, in the same pane.
    EXPECT_LT(window->listingBar()->geometry().bottom(), window->programText()->geometry().top());

    clickBarLink();
    EXPECT_FALSE(barShown());
    EXPECT_NE(memo().find("WAIT"), std::string::npos) << memo();
    EXPECT_TRUE(prompts->errors.empty());
}

TEST_F(ListingStateTest, OnlyChangesToTheBlocksMakeTheListingOld) {
    insert(kDirect);
    TFcObject* block = objectOf(2);
    press(7);
    // Selecting, dragging and laying out change no program.
    click(centreOf(block));
    press(centreOf(block));
    moveTo(centreOf(block) + QPoint(30, 20));
    release(centreOf(block) + QPoint(30, 20));
    chart().Relayout();
    EXPECT_FALSE(barShown());

    // A block opened and closed with OK but nothing changed is no change either.
    window->editorDialogs().setExecHook([](editors::TEditorDialog&) { return 1; });
    canvas().SelectObject(block);
    doubleClick(centreOf(block));
    EXPECT_FALSE(barShown());

    // A value changed in the dialog is.
    window->editorDialogs().setExecHook([](editors::TEditorDialog& dialog) {
        dialog.findChild<QRadioButton*>("RadioButton2")->click(); // another way to go
        return 1;
    });
    doubleClick(centreOf(block));
    EXPECT_TRUE(barShown());

    // So is deleting a block.
    press(7);
    ASSERT_FALSE(barShown());
    window->editorDialogs().setExecHook([](editors::TEditorDialog&) { return 7; });
    doubleClick(centreOf(block));
    EXPECT_TRUE(barShown());
}

TEST_F(ListingStateTest, TypedAndLoadedTextsAreNeverOld) {
    insert(kDirect);
    press(7);
    // Typing into the listing makes it the person's own.
    window->programText()->moveCursor(QTextCursor::End);
    QTest::keyClick(window->programText(), Qt::Key_Return);
    QTest::keyClicks(window->programText(), "20 REM \"BEEP\"");
    EXPECT_EQ(window->listingState().origin(), program::TTextOrigin::ByHand);
    insertBelowSelection(kWait);
    EXPECT_FALSE(barShown());
    const std::string typed = memo();
    EXPECT_EQ(download(), typed);
    EXPECT_TRUE(prompts->choiceQuestions.empty());

    // A loaded text file too.
    const std::string file = dir.filePath("loaded.txt").toStdString();
    std::ofstream(file, std::ios::binary) << "10 REM \"ZOLVANE\"\r\n20 REM \"END\"\r\n";
    press(7);
    prompts->openTextNames.push_back(file);
    press(10);
    EXPECT_EQ(memo(), "10 REM \"ZOLVANE\"\n20 REM \"END\"");
    EXPECT_EQ(window->listingState().origin(), program::TTextOrigin::ByHand);
    insertBelowSelection(kWait);
    EXPECT_FALSE(barShown());
    EXPECT_EQ(download(), "10 REM \"ZOLVANE\"\n20 REM \"END\"");
    EXPECT_TRUE(prompts->choiceQuestions.empty());
}

TEST_F(ListingStateTest, NewAndOpenEmptyTheTextAndTheBarGoes) {
    insert(kDirect);
    press(7);
    insertBelowSelection(kWait);
    ASSERT_TRUE(barShown());
    prompts->answers.push_back(files::TPrompts::Answer::No); // do not save the changed chart
    press(1);
    EXPECT_EQ(memo(), "");
    EXPECT_EQ(window->listingState().origin(), program::TTextOrigin::Empty);
    EXPECT_FALSE(barShown());

    insert(kDirect);
    press(7);
    insertBelowSelection(kWait);
    ASSERT_TRUE(barShown());
    prompts->answers.push_back(files::TPrompts::Answer::No);
    prompts->openChartNames.push_back(std::string(ZOLVANE_FIXTURES) + "/listing/example/chart.lcs");
    press(2);
    ASSERT_TRUE(prompts->errors.empty());
    EXPECT_EQ(memo(), "");
    EXPECT_FALSE(barShown());
    // An empty text is sent without a question, as before.
    EXPECT_EQ(download(), "");
    EXPECT_TRUE(prompts->choiceQuestions.empty());
}

TEST_F(ListingStateTest, DownloadOfAnOldListingAsksFirst) {
    struct Case {
        const char* what;
        std::size_t choice;
        bool sent;
        bool newListing; // the listing of the changed chart went, not the old one
    };
    const Case cases[] = {
        {"Generate and Send", 0, true, true},
        {"Send as it is", 1, true, false},
        {"Cancel", 2, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (chart().BlockCount() > 0)
            prompts->answers.push_back(files::TPrompts::Answer::No); // do not save it
        press(1);
        insert(kDirect);
        press(7);
        const std::string old = memo();
        insertBelowSelection(kWait);
        ASSERT_TRUE(barShown());
        prompts->choiceQuestions.clear();
        prompts->choiceAnswers.push_back(c.choice);
        const std::optional<std::string> sent = download();
        ASSERT_EQ(prompts->choiceQuestions.size(), 1u);
        EXPECT_EQ(prompts->choiceQuestions[0].question, kAgainQuestion);
        EXPECT_EQ(prompts->choiceQuestions[0].choices, kAgainChoices);
        EXPECT_EQ(sent.has_value(), c.sent);
        if (c.sent) {
            EXPECT_EQ(*sent, c.newListing ? memo() : old);
        }
        EXPECT_EQ(sent && sent->find("WAIT") != std::string::npos, c.newListing);
        EXPECT_EQ(barShown(), !c.newListing);
    }
    // A current listing goes without a question.
    press(7);
    prompts->choiceQuestions.clear();
    EXPECT_EQ(download(), memo());
    EXPECT_TRUE(prompts->choiceQuestions.empty());
}

TEST_F(ListingStateTest, GenerateAndSendWithADamagedRecordSendsNothing) {
    insert(kDirect);
    press(7);
    insertBelowSelection(kWait);
    ASSERT_TRUE(barShown());
    chart().SetBlockRecord(chart().BlockAt(2), "<CtrlNode type=\"5\"><wait>");
    prompts->choiceAnswers.push_back(0);
    EXPECT_EQ(download(), std::nullopt);
    ASSERT_EQ(prompts->errors.size(), 1u);
    EXPECT_TRUE(barShown());
}

// The person's answer to a choice question: the buttons in order, the first the default, Escape
// the last.
TEST_F(ListingStateTest, TheWindowsChoiceQuestionIsAMessageBoxWithOneButtonPerChoice) {
    platform::TQtPrompts qtPrompts(window.get(), "Title");
    struct Case {
        const char* what;
        int click; // button to click, -1 for Escape
        std::size_t answer;
    };
    const Case cases[] = {{"first", 0, 0}, {"second", 1, 1}, {"third", 2, 2}, {"Escape", -1, 2}};
    for (const Case& c : cases) {
        QStringList buttons;
        QString text;
        bool firstIsDefault = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            const QList<QAbstractButton*> all = box->buttons();
            QList<QPushButton*> ordered;
            for (QPushButton* b : box->findChildren<QPushButton*>())
                if (all.contains(b))
                    ordered.append(b);
            std::sort(ordered.begin(), ordered.end(),
                      [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
            for (QPushButton* b : ordered)
                buttons.append(b->text());
            firstIsDefault = box->defaultButton() && box->defaultButton()->text() == "One";
            if (c.click < 0) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            const QString wanted = QStringList{"One", "Two", "Three"}[c.click];
            for (QPushButton* b : ordered)
                if (b->text() == wanted)
                    b->click();
        });
        EXPECT_EQ(qtPrompts.askChoice("Which one?\r\nReally?", {"One", "Two", "Three"}), c.answer)
            << c.what;
        EXPECT_EQ(text, "Which one?\nReally?") << c.what;
        EXPECT_TRUE(firstIsDefault) << c.what;
        EXPECT_EQ(buttons.size(), 3) << c.what;
        for (const char* b : {"One", "Two", "Three"})
            EXPECT_TRUE(buttons.contains(QString(b))) << c.what << " " << b;
    }
}
