// The program check in the window: the problems panel under the canvas, the marks on the
// blocks, and the question before a listing with errors is sent.
#include "WindowFixture.h"
#include "download/window/frmDownload.h"
#include "editors/values/EditorValues.h"

#include <QDockWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <optional>

namespace {

constexpr int kDirect = 1;
constexpr int kWait = 5;
constexpr int kLabel = 11;
constexpr int kGoto = 12;
constexpr int kEnd = 14;

} // namespace

class ProblemsTest : public WindowTest {
protected:
    QTreeWidget* list() const { return window->problemsList(); }
    // Appends a block (with the record of those values, if given) and lets the window follow.
    TFcObject* append(int type, std::optional<editors::TEditorValues> values = std::nullopt) {
        TFcObject* block = chart().AppendBlock(type);
        if (values)
            chart().SetBlockRecord(
                block, editors::recordFromValues(static_cast<BlockType>(type), *values));
        chart().Relayout();
        QApplication::processEvents();
        return block;
    }
    struct Row {
        QString block;
        bool error;
        QString message;
    };
    std::vector<Row> rows() const {
        const QIcon errorIcon = window->style()->standardIcon(QStyle::SP_MessageBoxCritical);
        const QIcon warningIcon = window->style()->standardIcon(QStyle::SP_MessageBoxWarning);
        EXPECT_NE(errorIcon.pixmap(16).toImage(), warningIcon.pixmap(16).toImage())
            << "the two kinds of rows would look alike";
        std::vector<Row> result;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list()->topLevelItem(i);
            result.push_back({item->text(0),
                              item->icon(0).pixmap(16).toImage() == errorIcon.pixmap(16).toImage(),
                              item->text(1)});
        }
        return result;
    }
    std::optional<std::string> download() {
        TFormDownload* form = window->downloadWindow();
        std::optional<std::string> sent;
        QTimer::singleShot(0, form, [&] {
            if (!form->isVisible())
                return;
            sent = form->programText();
            form->reject();
        });
        window->speedButton(6)->click();
        QApplication::processEvents();
        return sent;
    }
};

TEST_F(ProblemsTest, ThePanelSitsUnderTheCanvas) {
    QDockWidget* dock = window->problemsDock();
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(dock->objectName(), "ProblemsDock");
    EXPECT_TRUE(dock->windowTitle().startsWith("Problems"));
    EXPECT_EQ(window->dockWidgetArea(dock), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(dock->isVisible());
    EXPECT_GT(dock->geometry().top(), window->flowChart()->mapTo(window.get(), QPoint(0, 0)).y() +
                                          window->flowChart()->height() - 1);
    EXPECT_EQ(list()->objectName(), "ProblemsList");
    EXPECT_EQ(list()->topLevelItemCount(), 0) << "an empty chart has no problems";
    EXPECT_TRUE(window->flowChart()->marks().empty());
}

TEST_F(ProblemsTest, EveryChangeIsCheckedAndShownAsRowsAndMarks) {
    TFcObject* go = append(kGoto, editors::TGotoValues{"Top"});
    append(kEnd);
    std::vector<Row> found = rows();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].block, "1");
    EXPECT_TRUE(found[0].error);
    EXPECT_TRUE(found[0].message.contains("\"Top\"")) << found[0].message.toStdString();
    EXPECT_EQ(window->problemsDock()->windowTitle(), "Problems: 1 error");
    ASSERT_EQ(window->flowChart()->marks().count(go), 1u);
    EXPECT_EQ(window->flowChart()->marks().at(go).level, TFcMark::Level::Error);
    EXPECT_EQ(window->flowChart()->marks().at(go).message, found[0].message);
    // The tip: what is wrong, then the block's statement.
    EXPECT_EQ(window->flowChart()->toolTipAt(centreOf(go)),
              found[0].message + "\n\nGOTO label: Top");

    // The Label it names, put in: the error goes.
    append(kLabel, editors::TLabelValues{"Top"});
    found = rows();
    EXPECT_TRUE(std::none_of(found.begin(), found.end(), [](const Row& r) { return r.error; }));
    EXPECT_EQ(window->flowChart()->marks().count(go), 0u);

    // A wait of nothing is a warning: a yellow mark.
    TFcObject* wait = append(kWait, editors::TWaitValues{0});
    found = rows();
    ASSERT_FALSE(found.empty());
    EXPECT_FALSE(found.back().error);
    EXPECT_EQ(found.back().block, QString::number(chart().BlockNumberOf(wait)));
    ASSERT_EQ(window->flowChart()->marks().count(wait), 1u);
    EXPECT_EQ(window->flowChart()->marks().at(wait).level, TFcMark::Level::Warning);
    EXPECT_TRUE(window->problemsDock()->windowTitle().startsWith("Problems: "));
    EXPECT_TRUE(window->problemsDock()->windowTitle().contains("warning"));

    // Deleted, its row and mark go with it.
    chart().DeleteBlock(wait);
    QApplication::processEvents();
    for (const Row& r : rows())
        EXPECT_NE(r.block, "4");
    EXPECT_TRUE(window->flowChart()->marks().empty());
}

TEST_F(ProblemsTest, ABlockWithAnErrorAndAWarningShowsRedWithBothMessages) {
    // A Goto to a name defined twice in different case: the duplicate is a warning on the
    // second Label; an empty-named Goto is an error. Built so that one block has both: a Goto
    // naming nothing that is also unreachable after an End.
    append(kEnd);
    TFcObject* go = append(kGoto, editors::TGotoValues{"Nowhere"});
    std::vector<const Row*> ofGo;
    const std::vector<Row> found = rows();
    for (const Row& r : found)
        if (r.block == "2")
            ofGo.push_back(&r);
    ASSERT_GE(ofGo.size(), 2u) << "the Goto should have an error and a warning";
    ASSERT_EQ(window->flowChart()->marks().count(go), 1u);
    const TFcMark& mark = window->flowChart()->marks().at(go);
    EXPECT_EQ(mark.level, TFcMark::Level::Error);
    for (const Row* r : ofGo)
        EXPECT_TRUE(mark.message.contains(r->message)) << r->message.toStdString();
}

TEST_F(ProblemsTest, ABurstOfChangesIsCheckedOnce) {
    QSignalSpy checks(list()->model(), &QAbstractItemModel::modelReset);
    for (int i = 0; i < 50; ++i)
        chart().AppendBlock(kGoto);
    chart().Relayout();
    EXPECT_EQ(checks.count(), 0) << "not while the changes are under way";
    QApplication::processEvents();
    EXPECT_EQ(checks.count(), 1);
    EXPECT_EQ(list()->topLevelItemCount(), 51) << "50 Gotos naming nothing, and no End";
    // Nothing changed: nothing is checked again.
    canvas().SelectObject(chart().BlockAt(3));
    QApplication::processEvents();
    EXPECT_EQ(checks.count(), 1);
}

TEST_F(ProblemsTest, AClickOnARowSelectsItsBlockAndShowsIt) {
    for (int i = 0; i < 40; ++i)
        chart().AppendBlock(kDirect);
    TFcObject* far = append(kGoto, editors::TGotoValues{"Missing"});
    append(kEnd);
    const QRect visible = window->flowChart()->viewport()->rect();
    ASSERT_FALSE(visible.contains(centreOf(far))) << "the block starts out of sight";
    QTreeWidgetItem* row = nullptr;
    for (int i = 0; i < list()->topLevelItemCount(); ++i)
        if (list()->topLevelItem(i)->text(0) == "41")
            row = list()->topLevelItem(i);
    ASSERT_NE(row, nullptr);
    list()->scrollToItem(row);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(row).center());
    QApplication::processEvents();
    EXPECT_EQ(canvas().SelectedObject(), far);
    EXPECT_TRUE(visible.contains(centreOf(far)));
}

TEST_F(ProblemsTest, DownloadOfAListingWithErrorsAsksFirst) {
    append(kGoto, editors::TGotoValues{"Missing"});
    append(kGoto, editors::TGotoValues{"Missing too"});
    append(kEnd);
    window->speedButton(7)->click();
    const std::string listing = window->programText()->toPlainText().toStdString();
    struct Case {
        const char* what;
        std::optional<std::size_t> answer; // none: the box is closed
        bool sent;
    };
    const Case cases[] = {{"Send Anyway", 0, true}, {"Cancel", 1, false}, {"closed", {}, false}};
    for (const Case& c : cases) {
        prompts->choiceQuestions.clear();
        if (c.answer)
            prompts->choiceAnswers.push_back(*c.answer);
        const std::optional<std::string> sent = download();
        ASSERT_EQ(prompts->choiceQuestions.size(), 1u) << c.what;
        const std::string& question = prompts->choiceQuestions[0].question;
        EXPECT_EQ(question.rfind("The program has 2 errors; the first, in block 1: ", 0), 0u)
            << question;
        EXPECT_NE(question.find("\"Missing\""), std::string::npos) << question;
        EXPECT_TRUE(question.ends_with("\r\n\r\nSend it anyway?")) << question;
        EXPECT_EQ(prompts->choiceQuestions[0].choices,
                  (std::vector<std::string>{"Send Anyway", "Cancel"}));
        EXPECT_EQ(sent.has_value(), c.sent) << c.what;
        if (sent) {
            EXPECT_EQ(*sent, listing);
        }
    }

    // A text typed or loaded is the person's own: sent without the question.
    prompts->choiceQuestions.clear();
    window->programText()->setPlainText("10 REM \"END\"");
    EXPECT_EQ(download(), "10 REM \"END\"");
    EXPECT_TRUE(prompts->choiceQuestions.empty());
}

TEST_F(ProblemsTest, WarningsAloneAskNothingAndOneErrorIsNamedAsOne) {
    append(kWait, editors::TWaitValues{0});
    window->speedButton(7)->click();
    ASSERT_FALSE(rows().empty());
    EXPECT_TRUE(download().has_value());
    EXPECT_TRUE(prompts->choiceQuestions.empty());

    append(kGoto, editors::TGotoValues{"Missing"});
    window->speedButton(7)->click();
    prompts->choiceAnswers.push_back(1);
    EXPECT_EQ(download(), std::nullopt);
    ASSERT_EQ(prompts->choiceQuestions.size(), 1u);
    EXPECT_EQ(
        prompts->choiceQuestions[0].question.rfind("The program has an error, in block 2: ", 0), 0u)
        << prompts->choiceQuestions[0].question;
}

TEST_F(ProblemsTest, AnOldListingGeneratedAgainIsCheckedBeforeItGoes) {
    append(kEnd);
    window->speedButton(7)->click();
    append(kGoto, editors::TGotoValues{"Missing"});
    prompts->choiceAnswers = {0, 1}; // Generate and Send, then Cancel at the errors
    EXPECT_EQ(download(), std::nullopt);
    ASSERT_EQ(prompts->choiceQuestions.size(), 2u);
    EXPECT_EQ(prompts->choiceQuestions[0].question, "Generate the listing again before sending?");
    EXPECT_TRUE(prompts->choiceQuestions[1].question.ends_with("Send it anyway?"));
    // "Send as it is" sends the old listing, which the check of today's chart does not judge.
    prompts->choiceQuestions.clear();
    append(kWait);
    prompts->choiceAnswers = {1};
    EXPECT_TRUE(download().has_value());
    EXPECT_EQ(prompts->choiceQuestions.size(), 1u);
}

// The same window, read for what each block shows of itself.
using BlockValuesTest = ProblemsTest;

TEST_F(BlockValuesTest, EachBlockShowsItsValueAndItsStatementAsTipAfterEveryChange) {
    TFcObject* wait = append(kWait, editors::TWaitValues{100});
    TFcObject* go = append(kGoto, editors::TGotoValues{"Top"});
    TFlowChartView* view = window->flowChart();
    EXPECT_EQ(view->detailOf(*wait).value, "WAIT 100");
    EXPECT_EQ(view->detailOf(*go).value, "to Top");
    EXPECT_EQ(view->detailOf(*chart().StartObject()).value, "") << "BEGIN is no block";

    // A changed record shows at once, and the tip follows it.
    chart().SetBlockRecord(wait,
                           editors::recordFromValues(BlockType::Wait, editors::TWaitValues{7}));
    QApplication::processEvents();
    EXPECT_EQ(view->detailOf(*wait).value, "WAIT 7");
    EXPECT_EQ(view->toolTipAt(centreOf(wait)), "WAIT 7");
    // The chart and its file keep the caption as it was.
    EXPECT_EQ(wait->Text(), "Wait");
}
