#include "chart/ChartEdits.h"

#include "records/BlockCatalog.h"

#include <algorithm>

std::string TChartEdit::BlocksWord(const std::vector<TBlockCopy>& blocks) {
    if (blocks.size() == 1)
        return std::string(BlockInfo(blocks.front().type).caption);
    return std::to_string(blocks.size()) + " blocks";
}

TChartEdit TChartEdit::Insert(const TChart& chart, std::string name, int spot,
                              std::vector<TBlockCopy> blocks) {
    TChartEdit edit;
    spot = std::clamp(spot, 0, chart.BlockCount());
    edit.m_name = std::move(name);
    edit.m_before = selectionOf(chart);
    edit.m_after = TChartSelection::Blocks(spot + 1, static_cast<int>(blocks.size()));
    edit.m_steps.push_back({Step::Kind::Insert, spot, std::move(blocks), {}});
    return edit;
}

TChartEdit TChartEdit::Remove(const TChart& chart, const std::string& verb, int first, int count) {
    TChartEdit edit;
    edit.m_before = selectionOf(chart);
    std::vector<TBlockCopy> blocks = chart.CopyBlocks(first, count);
    edit.m_name = verb + " " + BlocksWord(blocks);
    first = std::max(first, 1);
    edit.m_after = TChartSelection::Spot(first - 1);
    edit.m_steps.push_back({Step::Kind::Remove, first, std::move(blocks), {}});
    return edit;
}

std::optional<TChartEdit> TChartEdit::Move(const TChart& chart, int first, int count, int spot) {
    std::vector<TBlockCopy> blocks = chart.CopyBlocks(first, count);
    first = std::max(first, 1);
    const int moved = static_cast<int>(blocks.size());
    const int last = first + moved - 1;
    if (moved == 0 || spot < 0 || spot > chart.BlockCount() || (spot >= first - 1 && spot <= last))
        return std::nullopt;
    // Once the run is out, the spots below it have moved up by its length.
    const int to = spot > last ? spot - moved : spot;
    TChartEdit edit;
    edit.m_name = "Move " + BlocksWord(blocks);
    edit.m_before = selectionOf(chart);
    edit.m_after = TChartSelection::Blocks(to + 1, moved);
    edit.m_steps.push_back({Step::Kind::Remove, first, blocks, {}});
    edit.m_steps.push_back({Step::Kind::Insert, to, std::move(blocks), {}});
    return edit;
}

TChartEdit TChartEdit::Changes(const TChart& chart, std::string name,
                               std::vector<TBlockChange> changes) {
    TChartEdit edit;
    edit.m_name = std::move(name);
    edit.m_before = edit.m_after = selectionOf(chart);
    edit.m_steps.push_back({Step::Kind::Change, 0, {}, std::move(changes)});
    return edit;
}

void TChartEdit::apply(TChart& chart, const Step& step, bool forward) {
    switch (step.kind) {
    case Step::Kind::Insert:
        if (forward)
            chart.InsertBlocks(step.at, step.blocks);
        else
            chart.RemoveBlocks(step.at + 1, static_cast<int>(step.blocks.size()));
        break;
    case Step::Kind::Remove:
        if (forward)
            chart.RemoveBlocks(step.at, static_cast<int>(step.blocks.size()));
        else
            chart.InsertBlocks(step.at - 1, step.blocks);
        break;
    case Step::Kind::Change:
        for (const TBlockChange& change : step.changes)
            chart.RestoreBlock(change.number, forward ? change.after : change.before);
        break;
    }
}

void TChartEdit::Redo(TChart& chart) const {
    TFcUpdateBracket bracket(chart.Canvas());
    for (const Step& step : m_steps)
        apply(chart, step, true);
    selectPositions(chart, m_after);
}

void TChartEdit::Undo(TChart& chart) const {
    TFcUpdateBracket bracket(chart.Canvas());
    for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step)
        apply(chart, *step, false);
    selectPositions(chart, m_before);
}
