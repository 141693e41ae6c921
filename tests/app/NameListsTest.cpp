// Names across the chart in the window: the Goto, GotoIf and Call Sub editors offer the chart's
// labels and subroutines, and a renamed Label or Sub Begin takes the blocks that used it along
// once the person agrees.
#include "WindowFixture.h"
#include "editors/EditorDialogs.h"
#include "editors/values/NameReferences.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

constexpr int kLabel = 11;
constexpr int kGoto = 12;
constexpr int kGotoIf = 13;
constexpr int kSubBegin = 23;
constexpr int kCallSub = 25;

} // namespace

class NameListsTest : public WindowTest {
protected:
    // Appends a block of the type whose dialog, opened by a double click, takes `name`.
    TFcObject* add(int type, const char* name) {
        canvas().SelectObject(marker(chart().Count() - 2));
        insert(type);
        TFcObject* block = canvas().SelectedObject();
        editWith([name](editors::TEditorDialog& dialog) {
            dialog.findChild<QLineEdit*>("Edit1")->setText(name);
            return 1;
        });
        doubleClick(centreOf(block));
        return block;
    }
    void editWith(editors::TEditorDialogs::TExecHook hook) {
        window->editorDialogs().setExecHook(std::move(hook));
    }
    std::string nameOf(const TFcObject* block) const {
        return editors::nameInRecord(*BlockTypeOfKind(block->Kind), block->Payload).value_or("?");
    }
};

TEST_F(NameListsTest, TheGotoGotoIfAndCallSubEditorsListTheChartsNames) {
    add(kLabel, "Loop");
    add(kSubBegin, "Beep");
    add(kLabel, "Done");
    TFcObject* go = add(kGoto, "");
    TFcObject* goIf = add(kGotoIf, "");
    TFcObject* call = add(kCallSub, "");
    const std::pair<TFcObject*, QStringList> cases[] = {
        {go, {"Loop", "Done"}}, {goIf, {"Loop", "Done"}}, {call, {"Beep"}}};
    for (const auto& [block, names] : cases) {
        QStringList listed;
        editWith([&listed](editors::TEditorDialog& dialog) {
            auto* list = dialog.findChild<QComboBox*>("NameList1");
            EXPECT_NE(list, nullptr) << dialog.windowTitle().toStdString();
            for (int i = 0; list && i < list->count(); ++i)
                listed << list->itemText(i);
            if (list)
                list->setCurrentIndex(list->count() - 1); // the last name offered
            return 1;
        });
        click(centreOf(block));
        doubleClick(centreOf(block));
        EXPECT_EQ(listed, names) << block->Text().c_str();
        EXPECT_EQ(nameOf(block), names.last().toStdString());
    }
    EXPECT_TRUE(prompts->choiceQuestions.empty());
}

TEST_F(NameListsTest, RenamingALabelAsksAndYesRenamesItsGotos) {
    TFcObject* label = add(kLabel, "Loop");
    TFcObject* go = add(kGoto, "Loop");
    TFcObject* goIf = add(kGotoIf, "Loop");
    const auto rename = [&](const char* name) {
        editWith([name](editors::TEditorDialog& dialog) {
            dialog.findChild<QLineEdit*>("Edit1")->setText(name);
            return 1;
        });
        click(centreOf(label));
        doubleClick(centreOf(label));
        EXPECT_EQ(nameOf(label), name);
    };

    // No: the Gotos keep the old name.
    prompts->choiceAnswers.push_back(1);
    rename("Again");
    ASSERT_EQ(prompts->choiceQuestions.size(), 1u);
    EXPECT_EQ(prompts->choiceQuestions[0].question,
              "Rename \"Loop\" to \"Again\" in the 2 blocks that go to it as well?");
    EXPECT_EQ(prompts->choiceQuestions[0].choices, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(nameOf(go), "Loop");
    EXPECT_EQ(nameOf(goIf), "Loop");

    // Back to the name they use: nothing went to "Again", nothing is asked.
    rename("Loop");
    EXPECT_EQ(prompts->choiceQuestions.size(), 1u);

    // Yes: they follow.
    prompts->choiceAnswers.push_back(0);
    rename("Start");
    EXPECT_EQ(prompts->choiceQuestions.size(), 2u);
    EXPECT_EQ(nameOf(go), "Start");
    EXPECT_EQ(nameOf(goIf), "Start");
}

TEST_F(NameListsTest, RenamingASubBeginRenamesTheCallsAndTheirCaptions) {
    TFcObject* sub = add(kSubBegin, "Beep");
    TFcObject* call = add(kCallSub, "Beep");
    ASSERT_EQ(call->Text(), "Call Sub:Beep");
    prompts->choiceAnswers.push_back(0);
    editWith([](editors::TEditorDialog& dialog) {
        dialog.findChild<QLineEdit*>("Edit1")->setText("Tune");
        return 1;
    });
    click(centreOf(sub));
    doubleClick(centreOf(sub));
    ASSERT_EQ(prompts->choiceQuestions.size(), 1u);
    EXPECT_EQ(prompts->choiceQuestions[0].question,
              "Rename \"Beep\" to \"Tune\" in the block that calls it as well?");
    EXPECT_EQ(nameOf(call), "Tune");
    EXPECT_EQ(call->Text(), "Call Sub:Tune");
}
