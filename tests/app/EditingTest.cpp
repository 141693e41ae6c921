// Editing in the window: undo and redo of every edit, delete, the clipboard (also between two
// windows), the right-click menu, reordering by dragging, Shift for runs and the keys that build
// a chart without the mouse.
#include "WindowFixture.h"
#include "app/ChartEditing.h"
#include "chart/ChartEdits.h"
#include "chart/ChartFile.h"
#include "editors/EditorDialogs.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>

namespace {

constexpr int kDirect = 1;
constexpr int kTurn = 2;
constexpr int kWait = 5;
constexpr int kLabel = 11;
constexpr int kGoto = 12;

// What undo must give back: every block's record, caption and height, and the selection.
struct Snapshot {
    std::vector<TBlockCopy> blocks;
    TChartSelection selection;
    bool operator==(const Snapshot&) const = default;
};

void PrintTo(const Snapshot& s, std::ostream* os) {
    *os << s.blocks.size() << " blocks:";
    for (const TBlockCopy& b : s.blocks)
        *os << " " << b.caption.text << "/" << b.caption.height;
    *os << "; selection " << static_cast<int>(s.selection.kind) << " " << s.selection.first << "+"
        << s.selection.count;
}

} // namespace

class EditingTest : public WindowTest {
protected:
    TChartEditing& editing() { return window->editing(); }
    Snapshot snapshot() {
        return {chart().CopyBlocks(1, chart().BlockCount()), selectionOf(chart())};
    }
    std::vector<int> types() {
        std::vector<int> result;
        for (TFcObject* block : chart().Blocks())
            result.push_back(block->Kind - KindBlockBase);
        return result;
    }
    // A key on the canvas, which has the focus as after a click on it.
    void key(int qtKey, Qt::KeyboardModifiers modifiers = {}) {
        window->activateWindow();
        window->flowChart()->setFocus();
        QTest::keyClick(window->flowChart(), static_cast<Qt::Key>(qtKey), modifiers);
        QApplication::processEvents();
    }
    void select(const TChartSelection& selection) { selectPositions(chart(), selection); }
    // The dialog of the next edit answers OK with this name in its name box.
    void nameInDialog(const char* name) {
        window->editorDialogs().setExecHook([name](editors::TEditorDialog& dialog) {
            dialog.findChild<QLineEdit*>("Edit1")->setText(name);
            return 1;
        });
    }
    void drag(QPoint from, QPoint to) {
        press(from);
        moveTo(from + (to - from) / 2);
        moveTo(to);
        release(to);
        QApplication::processEvents();
    }
    QPoint spotCentre(int spot) { return centreOf(chart().SpotMarkerAt(spot)); }
};

TEST_F(EditingTest, EveryEditIsUndoneAndRedoneExactlyWithItsSelection) {
    // Each step: the chart just before the edit (selection as the edit found it) and after it.
    std::vector<std::pair<Snapshot, Snapshot>> steps;
    std::vector<std::string> names;
    auto step = [&](const char* expectedName, auto&& prepare, auto&& edit) {
        prepare();
        const Snapshot before = snapshot();
        edit();
        QApplication::processEvents();
        steps.emplace_back(before, snapshot());
        names.push_back(editing().undoAction()->text().toStdString());
        EXPECT_EQ(names.back(), std::string("&Undo ") + expectedName);
    };
    auto nothing = [] {};
    step("Insert Direct", nothing, [&] { insert(kDirect); });
    step("Insert Wait", nothing, [&] { insert(kWait); });
    step("Insert Label", nothing, [&] { insert(kLabel); });
    step(
        "Edit Label", [&] { nameInDialog("loop"); },
        [&] { key(Qt::Key_Return); }); // Enter on the selected block opens its dialog
    step("Insert Goto", nothing, [&] { insert(kGoto); });
    step(
        "Duplicate 2 blocks", [&] { key(Qt::Key_Up, Qt::ShiftModifier); },
        [&] { key(Qt::Key_D, Qt::ControlModifier); });
    step(
        "Delete Wait", [&] { select(TChartSelection::Blocks(2, 1)); },
        [&] { key(Qt::Key_Backspace); });
    step(
        "Move Direct", [&] { click(centreOf(chart().BlockAt(1))); },
        [&] { drag(centreOf(chart().BlockAt(1)), spotCentre(3)); });
    step(
        "Cut 2 blocks", [&] { select(TChartSelection::Blocks(1, 2)); },
        [&] { key(Qt::Key_X, Qt::ControlModifier); });
    step(
        "Paste 2 blocks", [&] { select(TChartSelection::Spot(chart().BlockCount())); },
        [&] { key(Qt::Key_V, Qt::ControlModifier); });
    ASSERT_EQ(types(), (std::vector<int>{kDirect, kLabel, kGoto, kLabel, kGoto}));
    EXPECT_EQ(chart().CopyBlocks(4, 1).front().caption, (TBlockCaption{"Label:loop", 40}));

    // All the way back with Ctrl+Z, then forward with both redo keys.
    for (std::size_t i = steps.size(); i-- > 0;) {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(snapshot(), steps[i].first) << "undo of " << names[i];
    }
    EXPECT_FALSE(editing().undoAction()->isEnabled());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i % 2)
            key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        else
            key(Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(snapshot().blocks, steps[i].second.blocks) << "redo of " << names[i];
        EXPECT_EQ(snapshot().selection, steps[i].second.selection) << "redo of " << names[i];
    }
}

TEST_F(EditingTest, UndoingBackToTheSavedChartCountsAsUnchanged) {
    insert(kDirect);
    QTemporaryDir dir;
    prompts->saveChartNames.push_back(dir.filePath("lesson.lcs").toStdString());
    window->speedButton(3)->click();
    ASSERT_TRUE(editing().undoStack().isClean());
    insert(kWait);
    EXPECT_TRUE(window->chartFile().IsChartChanged());
    editing().undoAction()->trigger();
    EXPECT_TRUE(editing().undoStack().isClean());
    EXPECT_FALSE(window->chartFile().IsChartChanged());
    prompts->questionsMustBeScripted = true; // closing asks nothing
    EXPECT_TRUE(window->close());

    // New and open begin a history of their own.
    insert(kWait);
    prompts->answers.push_back(files::TPrompts::Answer::No);
    window->speedButton(1)->click();
    EXPECT_EQ(editing().undoStack().count(), 0);
    EXPECT_FALSE(editing().undoAction()->isEnabled());
}

TEST_F(EditingTest, DeleteAndBackspaceRemoveTheRunOnlyFromTheCanvas) {
    for (const int type : {kDirect, kWait, kTurn, kGoto})
        insert(type);
    // Shift+click from the second block to the third makes the run.
    click(centreOf(chart().BlockAt(2)));
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ShiftModifier, centreOf(chart().BlockAt(3)));
    ASSERT_EQ(selectionOf(chart()), TChartSelection::Blocks(2, 2));
    key(Qt::Key_Delete);
    EXPECT_EQ(types(), (std::vector<int>{kDirect, kGoto}));
    EXPECT_EQ(selectionOf(chart()), TChartSelection::Spot(1));

    // In the program text the keys are the text's own.
    window->programText()->setPlainText("10 END");
    window->programText()->setFocus();
    window->programText()->moveCursor(QTextCursor::End);
    select(TChartSelection::Blocks(1, 1));
    QTest::keyClick(window->programText(), Qt::Key_Backspace);
    EXPECT_EQ(window->programText()->toPlainText(), "10 EN");
    EXPECT_EQ(chart().BlockCount(), 2);
}

TEST_F(EditingTest, BlocksCopiedInOneWindowPasteIdenticallyInAnother) {
    insert(kDirect);
    insert(kLabel);
    nameInDialog("start here");
    key(Qt::Key_Return);
    insert(kGoto);
    select(TChartSelection::Blocks(1, 3));
    key(Qt::Key_C, Qt::ControlModifier);
    const std::vector<TBlockCopy> copied = chart().CopyBlocks(1, 3);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(TChartEditing::MimeType));
    // A text editor gets the records as a chart file holds them.
    EXPECT_TRUE(data->text().contains("<KELMORAX>"));
    EXPECT_TRUE(data->text().contains("start here"));

    TForm1 second;
    second.setPrompts(std::make_unique<ScriptedPrompts>());
    second.show();
    QApplication::processEvents();
    second.editing().pasteAction()->trigger();
    EXPECT_EQ(second.chart().CopyBlocks(1, 3), copied);
    EXPECT_EQ(selectionOf(second.chart()), TChartSelection::Blocks(1, 3));

    // Plain text that is no chart pastes nothing and says why.
    QApplication::clipboard()->setText("FD 50");
    second.editing().pasteAction()->trigger();
    EXPECT_EQ(second.chart().BlockCount(), 3);
    EXPECT_TRUE(second.statusBar()->currentMessage().startsWith(
        "Nothing pasted: the clipboard holds no chart blocks"))
        << second.statusBar()->currentMessage().toStdString();
    EXPECT_EQ(second.editing().undoStack().count(), 1);
}

TEST_F(EditingTest, TheRightClickMenuOffersWhatFitsABlockOrASpot) {
    insert(kDirect);
    insert(kWait);
    auto menuAt = [this](const TFcObject* object) {
        return std::unique_ptr<QMenu>(editing().contextMenuAt(centreOf(object), window.get()));
    };
    auto texts = [](const QMenu& menu) {
        QStringList result;
        for (QAction* action : menu.actions())
            if (!action->isSeparator())
                result << action->text();
        return result;
    };
    select(TChartSelection::Blocks(1, 1));
    editing().copyAction()->trigger();
    select(TChartSelection::Spot(0));
    const auto onBlock = menuAt(chart().BlockAt(1));
    EXPECT_EQ(selectionOf(chart()), TChartSelection::Blocks(1, 1)) << "the block under it";
    EXPECT_EQ(texts(*onBlock), (QStringList{"&Edit...", "Cu&t", "&Copy", "Paste &Above",
                                            "Paste &Below", "D&uplicate", "&Delete"}));
    onBlock->actions()[4]->trigger(); // Paste Above
    EXPECT_EQ(types(), (std::vector<int>{kDirect, kDirect, kWait}));

    const auto onSpot = menuAt(chart().SpotMarkerAt(3));
    EXPECT_EQ(selectionOf(chart()), TChartSelection::Spot(3));
    const QStringList spotEntries = texts(*onSpot);
    ASSERT_EQ(spotEntries.size(), 5);
    EXPECT_EQ(spotEntries[0], "&Paste Here");
    EXPECT_EQ(spotEntries.mid(1),
              (QStringList{"Executable Mod", "Sensor Mod", "Control Mod", "Program Mod"}));
    // A palette entry of the menu inserts at the spot.
    QMenu* control = onSpot->actions().at(4)->menu();
    ASSERT_NE(control, nullptr);
    for (QAction* action : control->actions())
        if (action->text() == "Label")
            action->trigger();
    EXPECT_EQ(types(), (std::vector<int>{kDirect, kDirect, kWait, kLabel}));
}

TEST_F(EditingTest, ADraggedRunMovesToTheSpotItIsDroppedOnAsOneStep) {
    for (const int type : {kDirect, kWait, kTurn, kGoto})
        insert(type);
    select(TChartSelection::Blocks(1, 2));
    drag(centreOf(chart().BlockAt(1)), spotCentre(4));
    EXPECT_EQ(types(), (std::vector<int>{kTurn, kGoto, kDirect, kWait}));
    EXPECT_EQ(selectionOf(chart()), TChartSelection::Blocks(3, 2));
    EXPECT_TRUE(chart().InvariantHolds());
    // Every block stands in the chain again, none floating.
    for (TFcObject* block : chart().Blocks())
        EXPECT_EQ(block->Left(), TChart::LayoutLeft);
    editing().undoAction()->trigger();
    EXPECT_EQ(types(), (std::vector<int>{kDirect, kWait, kTurn, kGoto}));
}

TEST_F(EditingTest, TabLeavesTheProgramTextAndCtrlTabTypesATab) {
    QPlainTextEdit* memo = window->programText();
    memo->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(memo->hasFocus());
    QTest::keyClick(memo, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(memo->toPlainText(), "\t");
    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_FALSE(memo->hasFocus());
    EXPECT_EQ(memo->toPlainText(), "\t");
}
