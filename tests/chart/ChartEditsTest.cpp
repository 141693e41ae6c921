// The chart's edits without a window: each one done, undone and done again gives back exactly
// the chart it should (records byte for byte, captions, heights, places, selection), and the
// selection rules that pick what the edits act on.
#include "chart/ChartEdits.h"

#include "ChartTestSupport.h"
#include "chart/ChartFile.h"

#include <gtest/gtest.h>

namespace {

// Everything an edit may touch, item by item, and the selection.
struct ChartState {
    struct Item {
        int kind;
        std::string record, caption;
        TFcRect bounds;
        bool operator==(const Item&) const = default;
    };
    std::vector<Item> items;
    TChartSelection selection;
    bool operator==(const ChartState&) const = default;
};

ChartState stateOf(const TChart& chart) {
    ChartState state;
    for (int i = 0; i < chart.Count(); ++i) {
        const TFcObject* o = chart.Item(i)->MainObject();
        state.items.push_back({o->Kind, o->Payload, o->Text(), o->BoundsRect()});
        if (const TFcObject* marker = chart.SpotMarkerAt(i / 2); i % 2 == 1)
            state.items.push_back({marker->Kind, {}, {}, marker->BoundsRect()});
    }
    state.selection = selectionOf(chart);
    return state;
}

// A block whose record and caption are not a new block's: a Label named "loop", 40 high.
TBlockCopy namedLabel(std::string name) {
    TBlockCopy copy = NewBlockCopy(BlockType::Label);
    const std::size_t empty = copy.record.find("<label/>");
    copy.record.replace(empty, 8, "<label>" + name + "</label>");
    copy.caption = *NamedCaption(BlockType::Label, name);
    return copy;
}

// Five blocks: Direct, Label "loop" (40 high), Wait, Turn, Goto; the Wait selected.
struct EditHarness : ChartHarness {
    EditHarness() {
        canvas.Options |= fcoMultiSelect; // as the editor has it: runs of blocks
        chart.InsertBlocks(0, {NewBlockCopy(BlockType::Direct), namedLabel("loop"),
                               NewBlockCopy(BlockType::Wait), NewBlockCopy(BlockType::Turn),
                               NewBlockCopy(BlockType::Goto)});
        selectPositions(chart, TChartSelection::Blocks(3, 1));
    }
};

struct EditCase {
    const char* what;
    std::function<TChartEdit(const TChart&)> make;
    std::vector<BlockType> after; // the block types once done
    TChartSelection selectionAfter;
};

using B = BlockType;

const EditCase kEdits[] = {
    {"insert at the top",
     [](const TChart& c) { return TChartEdit::Insert(c, "Insert Led", 0, {NewBlockCopy(B::Led)}); },
     {B::Led, B::Direct, B::Label, B::Wait, B::Turn, B::Goto},
     TChartSelection::Blocks(1, 1)},
    {"insert three at the end",
     [](const TChart& c) {
         return TChartEdit::Insert(c, "Paste 3 blocks", 5,
                                   {namedLabel("b"), NewBlockCopy(B::End), namedLabel("c")});
     },
     {B::Direct, B::Label, B::Wait, B::Turn, B::Goto, B::Label, B::End, B::Label},
     TChartSelection::Blocks(6, 3)},
    {"remove the first",
     [](const TChart& c) { return TChartEdit::Remove(c, "Delete", 1, 1); },
     {B::Label, B::Wait, B::Turn, B::Goto},
     TChartSelection::Spot(0)},
    {"remove a run with the tall block",
     [](const TChart& c) { return TChartEdit::Remove(c, "Delete", 2, 3); },
     {B::Direct, B::Goto},
     TChartSelection::Spot(1)},
    {"remove the last",
     [](const TChart& c) { return TChartEdit::Remove(c, "Delete", 5, 1); },
     {B::Direct, B::Label, B::Wait, B::Turn},
     TChartSelection::Spot(4)},
    {"move a run down",
     [](const TChart& c) { return *TChartEdit::Move(c, 1, 2, 4); },
     {B::Wait, B::Turn, B::Direct, B::Label, B::Goto},
     TChartSelection::Blocks(3, 2)},
    {"move a block to the top",
     [](const TChart& c) { return *TChartEdit::Move(c, 4, 1, 0); },
     {B::Turn, B::Direct, B::Label, B::Wait, B::Goto},
     TChartSelection::Blocks(1, 1)},
    {"move a run to the end",
     [](const TChart& c) { return *TChartEdit::Move(c, 2, 2, 5); },
     {B::Direct, B::Turn, B::Goto, B::Label, B::Wait},
     TChartSelection::Blocks(4, 2)},
};

class ChartEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(ChartEditTest, UndoGivesBackTheChartExactlyAndRedoTheEditedOne) {
    const EditCase& c = GetParam();
    EditHarness h;
    const ChartState before = stateOf(h.chart);
    const TChartEdit edit = c.make(h.chart);

    edit.Redo(h.chart);
    std::vector<int> expected;
    for (const BlockType type : c.after)
        expected.push_back(ToInt(type));
    EXPECT_EQ(h.blockTypes(), expected);
    EXPECT_EQ(selectionOf(h.chart), c.selectionAfter);
    EXPECT_TRUE(h.chart.InvariantHolds());
    const ChartState done = stateOf(h.chart);

    // Back and forth a few times: nothing drifts.
    for (int round = 0; round < 3; ++round) {
        edit.Undo(h.chart);
        EXPECT_EQ(stateOf(h.chart), before) << "round " << round;
        edit.Redo(h.chart);
        EXPECT_EQ(stateOf(h.chart), done) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, ChartEditTest, ::testing::ValuesIn(kEdits), [](const auto& info) {
    std::string name = info.param.what;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});

TEST(ChartEdit, ADialogsChangesAreRecordedAndUndoneWithTheirCaptionsAndHeights) {
    EditHarness h;
    const ChartState before = stateOf(h.chart);
    TFcObject* label = h.chart.BlockAt(2);
    TFcObject* wait = h.chart.BlockAt(3);
    const std::string waitRecord = wait->Payload;

    h.chart.StartRecording();
    const TBlockCopy renamed = namedLabel("again");
    h.chart.SetBlockRecord(label, renamed.record);
    h.chart.SetBlockCaption(label, {"Label", BlockHeight}); // shorter, then back to a name
    h.chart.SetBlockCaption(label, renamed.caption);
    h.chart.SetBlockRecord(wait, waitRecord + " "); // changed and changed back: no change
    h.chart.SetBlockRecord(wait, waitRecord);
    std::vector<TBlockChange> changes = h.chart.StopRecording();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].number, 2);
    EXPECT_EQ(changes[0].after, renamed);

    h.chart.Relayout();
    const ChartState done = stateOf(h.chart);
    const TChartEdit edit = TChartEdit::Changes(h.chart, "Edit Label", std::move(changes));
    EXPECT_EQ(edit.Name(), "Edit Label");
    edit.Undo(h.chart);
    EXPECT_EQ(stateOf(h.chart), before);
    edit.Redo(h.chart);
    EXPECT_EQ(stateOf(h.chart), done);
}

TEST(ChartEdit, ABlockOfAnotherTypeIsMadeAnewInItsPlace) {
    EditHarness h;
    h.chart.RestoreBlock(3, namedLabel("x"));
    EXPECT_EQ(h.blockTypes(), (std::vector<int>{1, 11, 11, 2, 12}));
    EXPECT_EQ(h.chart.CopyBlocks(3, 1).front(), namedLabel("x"));
}

TEST(ChartEdit, AMoveBesideItselfIsNoEditAndNamesSayWhatMoved) {
    EditHarness h;
    // The run 2..3 dropped on the spots around or inside it stays where it is.
    for (const int spot : {1, 2, 3})
        EXPECT_FALSE(TChartEdit::Move(h.chart, 2, 2, spot).has_value()) << spot;
    EXPECT_FALSE(TChartEdit::Move(h.chart, 2, 2, 6).has_value()); // no such spot
    EXPECT_EQ(TChartEdit::Move(h.chart, 2, 2, 0)->Name(), "Move 2 blocks");
    EXPECT_EQ(TChartEdit::Move(h.chart, 3, 1, 5)->Name(), "Move Wait");
    EXPECT_EQ(TChartEdit::Remove(h.chart, "Cut", 2, 3).Name(), "Cut 3 blocks");
    EXPECT_EQ(TChartEdit::Remove(h.chart, "Delete", 1, 1).Name(), "Delete Direct");
}

TEST(ChartEdit, EachEditIsOneChangeOfTheRevision) {
    EditHarness h;
    int calls = 0;
    h.chart.OnChange = [&calls] { ++calls; };
    const std::uint64_t revision = h.chart.Revision();
    const TChartEdit edit = *TChartEdit::Move(h.chart, 1, 1, 3);
    edit.Redo(h.chart);
    EXPECT_GT(h.chart.Revision(), revision);
    EXPECT_GE(calls, 1);
    // Selection and layout alone are no change.
    const std::uint64_t moved = h.chart.Revision();
    selectPositions(h.chart, TChartSelection::Spot(0));
    h.chart.Relayout();
    EXPECT_EQ(h.chart.Revision(), moved);
}

// ---- selection ------------------------------------------------------------------------------

TEST(ChartRunSelection, OnlyBlocksThatFollowEachOtherMakeARun) {
    EditHarness h;
    h.canvas.Options |= fcoMultiSelect;
    struct Case {
        const char* what;
        std::vector<int> blocks;
        TChartSelection expected;
    };
    const Case cases[] = {
        {"one", {4}, TChartSelection::Blocks(4, 1)},
        {"in any order", {4, 2, 3}, TChartSelection::Blocks(2, 3)},
        {"with a gap", {1, 3}, {}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases) {
        h.canvas.ClearSelection();
        for (const int number : c.blocks)
            h.canvas.SelectItem(*h.chart.BlockAt(number));
        EXPECT_EQ(selectionOf(h.chart), c.expected) << c.what;
    }
    h.canvas.ClearSelection();
    h.canvas.SelectItem(*h.chart.BlockAt(1));
    h.canvas.SelectItem(*h.chart.SpotMarkerAt(1));
    EXPECT_EQ(selectionOf(h.chart), TChartSelection{}) << "a block and a spot";
}

TEST(ChartRunSelection, ShiftWithArrowsGrowsAndShrinksTheRunFromWhereItBegan) {
    EditHarness h; // block 3 selected
    installChartInput(h.chart, {});
    struct Step {
        TFcKey key;
        TChartSelection expected;
    };
    const Step steps[] = {
        {TFcKey::Down, TChartSelection::Blocks(3, 2)},
        {TFcKey::Down, TChartSelection::Blocks(3, 3)},
        {TFcKey::Down, TChartSelection::Blocks(3, 3)}, // the last block is the end
        {TFcKey::Up, TChartSelection::Blocks(3, 2)},
        {TFcKey::Up, TChartSelection::Blocks(3, 1)},
        {TFcKey::Up, TChartSelection::Blocks(2, 2)},
        {TFcKey::Up, TChartSelection::Blocks(1, 3)},
        {TFcKey::Up, TChartSelection::Blocks(1, 3)},
        {TFcKey::Down, TChartSelection::Blocks(2, 2)},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        EXPECT_TRUE(h.canvas.KeyDown(steps[i].key, ssShift));
        EXPECT_EQ(selectionOf(h.chart), steps[i].expected) << "step " << i;
    }
    // A plain arrow leaves the run at its end.
    EXPECT_TRUE(h.canvas.KeyDown(TFcKey::Down, 0));
    EXPECT_EQ(selectionOf(h.chart), TChartSelection::Spot(3));
    // From a spot, Shift takes the block on that side.
    EXPECT_TRUE(h.canvas.KeyDown(TFcKey::Up, ssShift));
    EXPECT_EQ(selectionOf(h.chart), TChartSelection::Blocks(3, 1));
}

TEST(ChartRunSelection, ShiftClickSelectsFromTheFirstBlockPickedToTheOneClicked) {
    EditHarness h; // block 3 selected
    installChartInput(h.chart, {});
    extendSelectionTo(h.chart, *h.chart.BlockAt(5));
    EXPECT_EQ(selectionOf(h.chart), TChartSelection::Blocks(3, 3));
    extendSelectionTo(h.chart, *h.chart.BlockAt(1));
    EXPECT_EQ(selectionOf(h.chart), TChartSelection::Blocks(1, 3));
    // From a spot the run starts at the block next to it on the side clicked.
    selectPositions(h.chart, TChartSelection::Spot(2));
    extendSelectionTo(h.chart, *h.chart.BlockAt(4));
    EXPECT_EQ(selectionOf(h.chart), TChartSelection::Blocks(3, 2));
    extendSelectionTo(h.chart, *h.chart.SpotMarkerAt(0));
    EXPECT_EQ(selectionOf(h.chart), TChartSelection::Spot(0));
}

TEST(ChartRunSelection, ARunDropsOnSpotsAndBlockHalvesButNotBesideItselfOrOffTheChain) {
    EditHarness h;
    selectPositions(h.chart, TChartSelection::Blocks(2, 2));
    auto spotCentre = [&h](int spot) {
        const TFcObject* base = h.chart.Item(2 * spot + 1)->MainObject();
        return TFcPoint{base->Left() + 45, base->Top() + 16};
    };
    const TFcObject* last = h.chart.BlockAt(5);
    struct Case {
        const char* what;
        TFcPoint point;
        int spot;
    };
    const Case cases[] = {
        {"top spot", spotCentre(0), 0},
        {"spot below the run", spotCentre(4), 4},
        {"spot just above the run", spotCentre(1), -1},
        {"spot inside the run", spotCentre(2), -1},
        {"upper half of the last block", {last->Left() + 10, last->Top() + 2}, 4},
        {"lower half of the last block", {last->Left() + 10, last->BoundsRect().bottom - 2}, 5},
        {"far right of the chain", {spotCentre(0).x + 200, spotCentre(0).y}, -1},
        {"below the end", {spotCentre(0).x, 100000}, -1},
        {"above the start", {spotCentre(0).x, -50}, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dropSpotAt(h.chart, c.point), c.spot) << c.what;
        EXPECT_EQ(dropSpotArea(h.chart, c.spot).isEmpty(), c.spot < 0) << c.what;
    }
}

TEST(ChartRunSelection, ADropOnASpotAsksForTheMoveAndADropElsewhereMovesNothing) {
    EditHarness h;
    std::vector<std::tuple<int, int, int>> moves;
    installChartInput(h.chart, [&moves](int first, int count, int spot) {
        moves.emplace_back(first, count, spot);
    });
    TFcObject* direct = h.chart.BlockAt(1);
    const TFcRect home = direct->BoundsRect();
    selectPositions(h.chart, TChartSelection::Blocks(1, 1));
    const TFcObject* target = h.chart.Item(2 * 4 + 1)->MainObject();
    auto drag = [&h](TFcPoint from, TFcPoint to) {
        h.canvas.MouseDown(h.canvas.canvasToClient(from), 0);
        h.canvas.MouseMove(h.canvas.canvasToClient(to));
        const TFcRect shown = h.canvas.Drag().target;
        h.canvas.MouseUp(h.canvas.canvasToClient(to));
        return shown;
    };
    const TFcPoint centre{home.left + 45, home.top + 16};
    EXPECT_EQ(drag(centre, {target->Left() + 45, target->Top() + 16}), target->BoundsRect());
    EXPECT_EQ(moves, (std::vector<std::tuple<int, int, int>>{{1, 1, 4}}));
    EXPECT_EQ(direct->BoundsRect(), home) << "the move is the listener's to make";

    EXPECT_TRUE(drag(centre, {centre.x + 300, centre.y}).isEmpty());
    EXPECT_EQ(moves.size(), 1u);
    EXPECT_EQ(direct->BoundsRect(), home);
}

// ---- blocks as chart text ---------------------------------------------------------------------

TEST(ChartBlocksText, BlocksComeBackFromTheirTextExactlyAndBadTextIsRefusedWhole) {
    EditHarness h;
    TChartFile file(h.chart, "title");
    const std::vector<TBlockCopy> blocks = h.chart.CopyBlocks(1, 5);
    const std::string text = file.TextOfBlocks(blocks);
    EXPECT_NE(text.find("<KELMORAX>"), std::string::npos) << text;
    files::TResult<std::vector<TBlockCopy>> back = file.BlocksOfText(text);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(*back, blocks);

    // Text that is no chart, or a chart with one record that would not read back: nothing at
    // all comes of it, never the good records before the bad one.
    struct Case {
        const char* what;
        std::string text;
        std::string error; // a part of the message
    };
    const Case cases[] = {
        {"not XML", "Wait 100", "Unexpected text in file prolog"},
        {"cut off", text.substr(0, text.size() / 2), "Erroneous end of tag"},
        {"a record that does not read back",
         "<KELMORAX><record><any type=\"5\"/></record>"
         "<record><?x type=\"1\"/></record></KELMORAX>",
         "Record 2 is not a block record that could be saved again"},
    };
    for (const Case& c : cases) {
        files::TResult<std::vector<TBlockCopy>> read = file.BlocksOfText(c.text);
        ASSERT_FALSE(read) << c.what;
        EXPECT_NE(read.error().find(c.error), std::string::npos) << c.what << ": " << read.error();
    }
}

} // namespace
