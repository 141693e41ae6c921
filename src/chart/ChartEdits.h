// The chart's edits as steps that can be undone and done again: insert, delete, move, paste,
// duplicate and changes made in a block's dialog. An edit keeps only the blocks it touches (never
// a copy of the chart) and the selection before and after it, by position.
//
// The window keeps them on its undo stack:
//
//   TChartEdit edit = TChartEdit::Insert(chart, "Insert Wait", spot, {copy});
//   edit.Redo(chart);      // the blocks go in, the new ones are selected
//   edit.Undo(chart);      // the chart is as before, with the selection it had
#pragma once

#include "chart/Chart.h"
#include "chart/ChartSelection.h"

#include <optional>
#include <string>
#include <vector>

class TChartEdit {
public:
    // New blocks below the spot, selected afterwards.
    static TChartEdit Insert(const TChart& chart, std::string name, int spot,
                             std::vector<TBlockCopy> blocks);
    // Blocks `first` to `first + count - 1` removed; the spot where they stood selected after.
    // Named by the verb and what goes: "Delete Wait", "Cut 3 blocks".
    static TChartEdit Remove(const TChart& chart, const std::string& verb, int first, int count);
    // The run taken out and put in at the spot (a spot of the chart as it is before the move);
    // nothing when that leaves the order as it is.
    static std::optional<TChartEdit> Move(const TChart& chart, int first, int count, int spot);
    // Changes already made in place (a dialog's OK), from TChart::StopRecording; the selection
    // stays what it is.
    static TChartEdit Changes(const TChart& chart, std::string name,
                              std::vector<TBlockChange> changes);

    // "Insert Wait", "Delete 3 blocks": what the edit did, for "Undo Insert Wait".
    const std::string& Name() const { return m_name; }
    // Does the edit (again) and selects what it selects after.
    void Redo(TChart& chart) const;
    // Takes the edit back and selects what was selected before.
    void Undo(TChart& chart) const;

    const TChartSelection& SelectionBefore() const { return m_before; }
    const TChartSelection& SelectionAfter() const { return m_after; }

    // A word for one block or several: "Wait", "3 blocks".
    static std::string BlocksWord(const std::vector<TBlockCopy>& blocks);

private:
    // One step: blocks put in below a spot, blocks taken out from a number, or blocks changed
    // in place.
    struct Step {
        enum class Kind { Insert, Remove, Change } kind;
        int at = 0;                        // Insert: the spot; Remove: the first block
        std::vector<TBlockCopy> blocks;    // Insert, Remove: the blocks
        std::vector<TBlockChange> changes; // Change
    };
    static void apply(TChart& chart, const Step& step, bool forward);

    std::string m_name;
    std::vector<Step> m_steps;
    TChartSelection m_before;
    TChartSelection m_after;
};
