#include "editors/EditorDispatch.h"

#include "DialogDriver.h"
#include "canvas/FlowChart.h"
#include "chart/Chart.h"
#include "editors/EditorDialogs.h"
#include "editors/values/NameReferences.h"
#include "records/BlockCatalog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <cstdint>
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
        return [this](const files::TMessage& message) { errors.push_back(message.English()); };
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

// ---- names ----------------------------------------------------------------------------------

// A chart whose name blocks carry names, edited through scripted editors with the hooks.
class DispatchNames : public DispatchFixture {
protected:
    // Appends a block of the type with the name in its record (GotoIf with condition "A>1").
    TFcObject* named(BlockType type, const std::string& name) {
        TFcObject* block = chart.AppendBlock(ToInt(type));
        TEditorValues values;
        switch (type) {
        case BlockType::Label:
            values = TLabelValues{name};
            break;
        case BlockType::Goto:
            values = TGotoValues{name};
            break;
        case BlockType::GotoIf:
            values = TGotoIfValues{"A>1", name};
            break;
        case BlockType::SubBegin:
            values = TSubBeginValues{name};
            break;
        default:
            values = TCallSubValues{name};
            break;
        }
        chart.SetBlockRecord(block, recordFromValues(type, values));
        if (const auto caption = captionAfterEdit(type, name)) {
            block->SetText(caption->text);
            chart.SetBlockHeight(block, caption->height);
        }
        chart.Relayout();
        return block;
    }
    // An editor that answers OK with the block renamed to `name`.
    TBlockEditor renamingTo(const std::string& name) {
        return [name](BlockType type, const std::string& record) {
            TEditOutcome outcome;
            outcome.opened = true;
            outcome.result = TEditResult::Ok;
            outcome.record = recordWithName(type, record, name).value_or(record);
            outcome.caption = captionAfterEdit(type, name);
            outcome.relayout = editChangesCaption(type);
            return outcome;
        };
    }
    TDispatchHooks answering(bool yes) {
        return {.offerNames = [this](const std::vector<std::string>& n) { offered.push_back(n); },
                .confirm =
                    [this, yes](const std::string& question) {
                        questions.push_back(question);
                        return yes;
                    },
                .removeBlock = {}};
    }
    std::string nameOf(const TFcObject* block) const {
        return nameInRecord(*BlockTypeOfKind(block->Kind), block->Payload).value_or("?");
    }

    std::vector<std::vector<std::string>> offered;
    std::vector<std::string> questions;
};

TEST_F(DispatchNames, TheEditorIsOfferedTheNamesTheBlockMayGoTo) {
    named(BlockType::Label, "Loop");
    named(BlockType::SubBegin, "Beep");
    named(BlockType::Label, "End");
    named(BlockType::Label, "Loop");
    TFcObject* go = named(BlockType::Goto, "");
    TFcObject* goIf = named(BlockType::GotoIf, "");
    TFcObject* call = named(BlockType::CallSub, "");
    TFcObject* label = chart.BlockAt(1);
    const std::vector<std::string> labels{"Loop", "End"};
    const std::vector<std::string> subs{"Beep"};
    const std::vector<std::string> none;
    const std::pair<TFcObject*, const std::vector<std::string>*> cases[] = {
        {go, &labels}, {goIf, &labels}, {call, &subs}, {label, &none}};
    for (const auto& [block, names] : cases) {
        offered.clear();
        select(block);
        editSelectedBlock(chart, scripted({}), errorsInto(), answering(false));
        ASSERT_EQ(offered.size(), 1u) << block->Text();
        EXPECT_EQ(offered[0], *names) << block->Text();
    }
    EXPECT_TRUE(questions.empty());
}

TEST_F(DispatchNames, ARenamedLabelTakesTheGotosAlongWhenThePersonAgrees) {
    TFcObject* label = named(BlockType::Label, "Loop");
    TFcObject* go = named(BlockType::Goto, "Loop");
    TFcObject* goIf = named(BlockType::GotoIf, "Loop");
    TFcObject* other = named(BlockType::Goto, "Elsewhere");
    const std::uint64_t revision = chart.Revision();
    select(label);
    editSelectedBlock(chart, renamingTo("Again"), errorsInto(), answering(true));
    EXPECT_EQ(questions,
              std::vector<std::string>{
                  "Rename \"Loop\" to \"Again\" in the 2 blocks that go to it as well?"});
    EXPECT_EQ(nameOf(label), "Again");
    EXPECT_EQ(nameOf(go), "Again");
    EXPECT_EQ(nameOf(goIf), "Again");
    EXPECT_EQ(nameOf(other), "Elsewhere");
    EXPECT_EQ(goIf->Payload, recordFromValues(BlockType::GotoIf, TGotoIfValues{"A>1", "Again"}));
    EXPECT_EQ(go->Text(), "Goto"); // a Goto's caption carries no name
    EXPECT_EQ(chart.Revision(), revision + 3);
}

TEST_F(DispatchNames, ARenamedSubBeginRenamesTheCallsAndTheirCaptions) {
    TFcObject* call = named(BlockType::CallSub, "Beep");
    TFcObject* sub = named(BlockType::SubBegin, "Beep");
    TFcObject* below = named(BlockType::CallSub, "Other");
    ASSERT_EQ(call->Text(), "Call Sub:Beep");
    const int belowTop = below->Top();
    select(sub);
    editSelectedBlock(chart, renamingTo("A much longer name"), errorsInto(), answering(true));
    EXPECT_EQ(questions,
              std::vector<std::string>{"Rename \"Beep\" to \"A much longer name\" in the "
                                       "block that calls it as well?"});
    EXPECT_EQ(nameOf(call), "A much longer name");
    EXPECT_EQ(call->Text(), "Call Sub:A much longer name");
    EXPECT_EQ(nameOf(below), "Other");
    EXPECT_EQ(below->Top(), belowTop) << "the blocks keep their places";
    // Renamed to nothing, the calls keep their name: nothing is asked.
    questions.clear();
    editSelectedBlock(chart, renamingTo(""), errorsInto(), answering(true));
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(nameOf(call), "A much longer name");
}

TEST_F(DispatchNames, NoOrNoQuestionLeavesTheOtherBlocksAsTheyWere) {
    struct Case {
        const char* what;
        bool withConfirm;
        bool yes;
        std::size_t questions;
    };
    const Case cases[] = {{"No", true, false, 1}, {"no one to ask", false, true, 0}};
    for (const Case& c : cases) {
        chart.NewChart();
        questions.clear();
        TFcObject* label = named(BlockType::Label, "Loop");
        TFcObject* go = named(BlockType::Goto, "Loop");
        const std::string before = go->Payload;
        select(label);
        TDispatchHooks hooks = answering(c.yes);
        if (!c.withConfirm)
            hooks.confirm = nullptr;
        editSelectedBlock(chart, renamingTo("Again"), errorsInto(), hooks);
        EXPECT_EQ(questions.size(), c.questions) << c.what;
        EXPECT_EQ(nameOf(label), "Again") << c.what;
        EXPECT_EQ(go->Payload, before) << c.what;
    }
}

TEST_F(DispatchNames, NothingIsAskedWhenTheOldNameStillLeadsSomewhere) {
    TFcObject* first = named(BlockType::Label, "Loop");
    named(BlockType::Label, "Loop");
    TFcObject* go = named(BlockType::Goto, "Loop");
    select(first);
    editSelectedBlock(chart, renamingTo("Again"), errorsInto(), answering(true));
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(nameOf(go), "Loop");
    // Cancelled, nothing is renamed and nothing asked either.
    chart.NewChart();
    TFcObject* label = named(BlockType::Label, "Loop");
    go = named(BlockType::Goto, "Loop");
    select(label);
    TEditOutcome cancel;
    cancel.opened = true;
    editSelectedBlock(chart, scripted(cancel), errorsInto(), answering(true));
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(nameOf(go), "Loop");
}

TEST(RenameQuestion, NamesBothNamesAndHowManyBlocks) {
    EXPECT_EQ(renameQuestion(BlockType::Label, "A", "B", 1),
              "Rename \"A\" to \"B\" in the block that goes to it as well?");
    EXPECT_EQ(renameQuestion(BlockType::Label, "A", "B", 3),
              "Rename \"A\" to \"B\" in the 3 blocks that go to it as well?");
    EXPECT_EQ(renameQuestion(BlockType::SubBegin, "S", "T", 2),
              "Rename \"S\" to \"T\" in the 2 blocks that call it as well?");
    // Names are taken as they stand, even where they look like the places of the values.
    EXPECT_EQ(renameQuestion(BlockType::Label, "%2", "x%1", 2),
              "Rename \"%2\" to \"x%1\" in the 2 blocks that go to it as well?");
    EXPECT_EQ(renameQuestion(BlockType::SubBegin, "%3", "%%", 1),
              "Rename \"%3\" to \"%%\" in the block that calls it as well?");
}

} // namespace
