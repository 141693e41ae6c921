#include "editors/EditorDispatch.h"

#include "DialogDriver.h"
#include "canvas/FlowChart.h"
#include "chart/Chart.h"
#include "editors/EditorDialogs.h"
#include "records/BlockCatalog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace editors;
using editors_test::answerNextDialog;
using editors_test::recordText;

namespace {

// A chart of blocks on a canvas model, with the deferred selection queued by hand.
class DispatchFixture : public testing::Test {
protected:
    void SetUp() override { chart.NewChart(); }

    // Appends blocks of these types in order and lays the chart out.
    void build(std::initializer_list<int> types) {
        for (int type : types)
            chart.AppendBlock(type);
        chart.Relayout();
    }
    TFcObject* block(int n) const { return chart.Blocks().at(static_cast<std::size_t>(n)); }
    TFcObject* marker(int spot) const {
        return static_cast<TNormalSpot*>(chart.Item(1 + 2 * spot))->Marker;
    }
    void select(TFcObject* object) {
        canvas.ClearSelection();
        canvas.SelectItem(*object);
    }
    void runPosted() {
        auto tasks = std::move(posted);
        posted.clear();
        for (auto& task : tasks)
            task();
    }
    // A scripted editor: records each call and answers with `answer`.
    TBlockEditor scripted(TEditOutcome answer) {
        return [this, answer](BlockType type, const std::string& record) {
            calls.push_back({type, record});
            return answer;
        };
    }
    TErrorReporter errorsInto() {
        return [this](const std::string& message) { errors.push_back(message); };
    }

    TFlowChart canvas;
    std::vector<std::function<void()>> posted;
    TChart chart{canvas, [this](std::function<void()> task) { posted.push_back(std::move(task)); }};
    std::vector<std::pair<BlockType, std::string>> calls;
    std::vector<std::string> errors;
};

TEST_F(DispatchFixture, NothingSelectedOrNoEditorOpensNothing) {
    build({5});
    canvas.ClearSelection();
    editSelectedBlock(chart, scripted({}), errorsInto());
    select(marker(0));
    editSelectedBlock(chart, scripted({}), errorsInto());
    // Objects whose kind is KindBlockBase + a number without a block type.
    for (const int number : {7, 8, 0, 27, -3}) {
        TFcObject* stray = canvas.AddObject(300, 300, 90, 32, ShapeRectangle);
        stray->Kind = KindBlockBase + number;
        select(stray);
        const TEditOutcome outcome = editSelectedBlock(chart, scripted({}), errorsInto());
        EXPECT_FALSE(outcome.opened) << number;
        EXPECT_EQ(outcome.result, TEditResult::Cancel) << number;
    }
    EXPECT_TRUE(calls.empty());
}

TEST_F(DispatchFixture, AnEmptyRecordBecomesTheDefaultEvenWhenCancelled) {
    build({19});
    block(0)->Payload.clear();
    select(block(0));
    TEditOutcome cancel;
    cancel.opened = true;
    editSelectedBlock(chart, scripted(cancel), errorsInto());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].first, BlockType::Servo);
    EXPECT_EQ(calls[0].second, DefaultRecord(BlockType::Servo));
    EXPECT_EQ(block(0)->Payload, DefaultRecord(BlockType::Servo));
}

TEST_F(DispatchFixture, ARecordThatDoesNotParseIsReportedAndKept) {
    build({11});
    const std::string broken = "<CtrlNode type=\"11\"><label>x</lab></CtrlNode>";
    block(0)->Payload = broken;
    select(block(0));
    QWidget host;
    TEditorDialogs editors(&host, {});
    editSelectedBlock(
        chart,
        [&](BlockType type, const std::string& record) { return editors.editBlock(type, record); },
        errorsInto());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Erroneous end of tag"), std::string::npos) << errors[0];
    EXPECT_EQ(block(0)->Payload, broken);
    EXPECT_EQ(block(0)->Text(), "Label");
}

class DispatchWithDialogs : public DispatchFixture {
protected:
    TEditOutcome edit() {
        return editSelectedBlock(
            chart,
            [this](BlockType type, const std::string& record) {
                return editors.editBlock(type, record);
            },
            errorsInto());
    }

    QWidget host;
    TEditorDialogs editors{&host, {"hello", "", "bye"}};
};

TEST_F(DispatchWithDialogs, ANamedLabelGrowsAndMovesTheBlocksBelowDownByEight) {
    build({11, 5, 1});
    const int waitTop = block(1)->Top();
    const int directTop = block(2)->Top();
    select(block(0));
    answerNextDialog("Button1",
                     [](QDialog* d) { QTest::keyClicks(d->findChild<QLineEdit*>("Edit1"), "L1"); });
    edit();
    EXPECT_EQ(block(0)->Payload,
              recordText({"<CtrlNode type=\"11\">", "  <label>L1</label>", "</CtrlNode>"}));
    EXPECT_EQ(block(0)->Text(), "Label:L1");
    EXPECT_EQ(block(0)->Height(), 40);
    EXPECT_EQ(block(1)->Top(), waitTop + 8);
    EXPECT_EQ(block(2)->Top(), directTop + 8);

    // Emptied again: the bare word, height 32, and the blocks move back up.
    answerNextDialog("Button1", [](QDialog* d) { d->findChild<QLineEdit*>("Edit1")->clear(); });
    edit();
    EXPECT_EQ(block(0)->Text(), "Label");
    EXPECT_EQ(block(0)->Height(), 32);
    EXPECT_EQ(block(1)->Top(), waitTop);
    EXPECT_EQ(block(0)->Payload, DefaultRecord(BlockType::Label));
}

TEST_F(DispatchWithDialogs, OkRewritesTheRecordCanonicallyAndKeepsOtherCaptions) {
    build({12, 5});
    block(0)->Payload = recordText(
        {"<CtrlNode type=\"12\">", "  <extra>1</extra>", "  <label>far</label>", "</CtrlNode>"});
    select(block(0));
    answerNextDialog("Button1");
    edit();
    EXPECT_EQ(block(0)->Payload,
              recordText({"<CtrlNode type=\"12\">", "  <label>far</label>", "</CtrlNode>"}));
    EXPECT_EQ(block(0)->Text(), "Goto");
    EXPECT_EQ(block(0)->Height(), 32);
}

TEST_F(DispatchWithDialogs, VoiceXWithAnEmptyPhraseKeepsItsCaption) {
    build({26, 5});
    select(block(0));
    answerNextDialog("Button1",
                     [](QDialog* d) { d->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(2); });
    edit();
    EXPECT_EQ(block(0)->Text(), "VoiceX: bye");
    EXPECT_EQ(block(0)->Height(), 40);
    const int waitTop = block(1)->Top();
    answerNextDialog("Button1",
                     [](QDialog* d) { d->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1); });
    edit();
    EXPECT_EQ(block(0)->Payload,
              recordText({"<CtrlNode type=\"26\">", "  <index>1</index>", "</CtrlNode>"}));
    EXPECT_EQ(block(0)->Text(), "VoiceX: bye");
    EXPECT_EQ(block(0)->Height(), 40);
    EXPECT_EQ(block(1)->Top(), waitTop);
}

TEST_F(DispatchWithDialogs, CancelChangesNothing) {
    build({20});
    const std::string before = block(0)->Payload;
    select(block(0));
    answerNextDialog(
        "Button2", [](QDialog* d) { QTest::keyClicks(d->findChild<QLineEdit*>("Edit1"), "X=1"); });
    edit();
    EXPECT_EQ(block(0)->Payload, before);
    EXPECT_EQ(block(0)->Text(), "Expression");
}

TEST_F(DispatchWithDialogs, DeleteRemovesTheBlockAndItsSpotAndSelectsTheMarkerAbove) {
    build({5, 14, 1});
    TFcObject* markerAbove = marker(1);
    select(block(1)); // the End block
    answerNextDialog("Button3");
    edit();
    EXPECT_EQ(chart.BlockCount(), 2);
    EXPECT_EQ(block(1)->Kind, KindBlockBase + 1);
    runPosted();
    EXPECT_EQ(canvas.SelectedObject(), markerAbove);

    select(block(0));
    answerNextDialog("Button3", [](QDialog* d) {
        QTest::keyClicks(d->findChild<QLineEdit*>("ValidateEdit1"), "123");
    });
    edit();
    EXPECT_EQ(chart.BlockCount(), 1);
    runPosted();
    EXPECT_EQ(canvas.SelectedObject(), marker(0));
}

TEST_F(DispatchWithDialogs, EndAndSubEndRecordsAreNeitherReadNorWritten) {
    build({24});
    block(0)->Payload = "not a record";
    select(block(0));
    answerNextDialog("Button2");
    edit();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(block(0)->Payload, "not a record");
    EXPECT_EQ(chart.BlockCount(), 1);
}

} // namespace
