// The chart on 10,000 blocks: open the file, clear it, insert at the first spot, check for
// changes.
#include "canvas/FlowChart.h"
#include "chart/Chart.h"
#include "chart/ChartEdits.h"
#include "chart/ChartFile.h"
#include "records/BlockCatalog.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int kBlocks = 10000;

// A chart file of kBlocks blocks of every type, with named labels, subroutines and phrases.
const std::string& chartFilePath() {
    static const std::string path = [] {
        TFlowChart canvas;
        TChart chart(canvas);
        chart.NewChart();
        const auto catalog = BlockCatalog();
        for (int i = 0; i < kBlocks; ++i) {
            const TBlockInfo& info = catalog[static_cast<std::size_t>(i) % catalog.size()];
            TFcObject* block = chart.AppendBlock(ToInt(info.type));
            const std::string n = std::to_string(i);
            if (info.type == BlockType::Label || info.type == BlockType::Goto)
                block->Payload = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<CtrlNode "
                                 "type=\"" +
                                 std::to_string(ToInt(info.type)) + "\">\r\n  <label>L" + n +
                                 "</label>\r\n</CtrlNode>\r\n";
            if (info.type == BlockType::VoiceX)
                block->Payload = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<CtrlNode "
                                 "type=\"26\">\r\n  <index>" +
                                 std::to_string(i % 200) + "</index>\r\n</CtrlNode>\r\n";
        }
        chart.Relayout();
        TChartFile file(chart, "bench");
        const std::string p =
            (std::filesystem::temp_directory_path() / "zolvane-bench-chart.lcs").string();
        if (const files::TStatus saved = file.SaveFile(p); !saved)
            std::fprintf(stderr, "%s\n", saved.error().c_str());
        return p;
    }();
    return path;
}

struct Loaded {
    TFlowChart canvas;
    TChart chart{canvas};
    TChartFile file{chart, "bench"};
    Loaded() {
        chart.NewChart();
        file.setPhrases(std::vector<std::string>(128, "phrase"));
    }
    void open() {
        if (const files::TStatus opened = file.OpenFile(chartFilePath()); !opened)
            std::fprintf(stderr, "%s\n", opened.error().c_str());
    }
};

void BM_OpenChartFile(benchmark::State& state) {
    chartFilePath(); // the file is written once, outside the timing
    Loaded l;
    for (auto _ : state) {
        state.PauseTiming();
        l.chart.ClearChart();
        l.chart.NewChart();
        state.ResumeTiming();
        l.open();
    }
    state.counters["blocks"] = l.chart.BlockCount();
}
BENCHMARK(BM_OpenChartFile)->Unit(benchmark::kMillisecond);

void BM_ClearChart(benchmark::State& state) {
    Loaded l;
    for (auto _ : state) {
        state.PauseTiming();
        l.open();
        state.ResumeTiming();
        l.chart.ClearChart();
        l.chart.NewChart();
    }
}
BENCHMARK(BM_ClearChart)->Unit(benchmark::kMillisecond);

void BM_InsertAtFirstSpot(benchmark::State& state) {
    Loaded l;
    l.open();
    auto* first = static_cast<TNormalSpot*>(l.chart.Item(1));
    // The chart grows by one block per iteration: 100 iterations keep it within 1 % of its size.
    for (auto _ : state) {
        l.canvas.SelectObject(first->Marker);
        l.chart.InsertBlock(1);
    }
    state.counters["blocks"] = l.chart.BlockCount();
}
BENCHMARK(BM_InsertAtFirstSpot)->Unit(benchmark::kMillisecond)->Iterations(100);

// Edits at the top of charts of 100 and of 10,000 blocks, side by side: an edit whose cost does
// not grow with the chart takes about as long on both.
struct SizedChart {
    TFlowChart canvas;
    TChart chart{canvas};
    explicit SizedChart(int blocks) {
        chart.NewChart();
        const auto catalog = BlockCatalog();
        for (int i = 0; i < blocks; ++i)
            chart.AppendBlock(ToInt(catalog[static_cast<std::size_t>(i) % catalog.size()].type));
        chart.Relayout();
    }
};

void BM_InsertAtFirstSpotBySize(benchmark::State& state) {
    SizedChart c(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        c.chart.InsertBlocks(0, {NewBlockCopy(BlockType::Wait)});
        state.PauseTiming();
        c.chart.RemoveBlocks(1, 1);
        state.ResumeTiming();
    }
    state.counters["blocks"] = c.chart.BlockCount();
}
BENCHMARK(BM_InsertAtFirstSpotBySize)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

void BM_DeleteFirstBlockBySize(benchmark::State& state) {
    SizedChart c(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        c.chart.RemoveBlocks(1, 1);
        state.PauseTiming();
        c.chart.InsertBlocks(0, {NewBlockCopy(BlockType::Wait)});
        state.ResumeTiming();
    }
    state.counters["blocks"] = c.chart.BlockCount();
}
BENCHMARK(BM_DeleteFirstBlockBySize)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

// The edits the undo stack keeps, done and undone as the window's Undo and Redo do (the blocks
// and the selection): an insert at the first spot and a delete of the first block, on charts of
// 100, 1,000 and 10,000 blocks. Each timed step is followed, untimed, by its opposite.
void BM_EditBySize(benchmark::State& state) {
    enum Step { RedoInsert, UndoInsert, RedoDelete, UndoDelete };
    SizedChart c(static_cast<int>(state.range(0)));
    const auto step = static_cast<Step>(state.range(1));
    const bool insert = step == RedoInsert || step == UndoInsert;
    const TChartEdit edit =
        insert ? TChartEdit::Insert(c.chart, "Insert Wait", 0, {NewBlockCopy(BlockType::Wait)})
               : TChartEdit::Remove(c.chart, "Delete", 1, 1);
    const bool timedIsRedo = step == RedoInsert || step == RedoDelete;
    if (!timedIsRedo)
        edit.Redo(c.chart);
    for (auto _ : state) {
        if (timedIsRedo)
            edit.Redo(c.chart);
        else
            edit.Undo(c.chart);
        state.PauseTiming();
        if (timedIsRedo)
            edit.Undo(c.chart);
        else
            edit.Redo(c.chart);
        state.ResumeTiming();
    }
    state.SetLabel(step == RedoInsert   ? "redo insert"
                   : step == UndoInsert ? "undo insert"
                   : step == RedoDelete ? "redo delete"
                                        : "undo delete");
}
BENCHMARK(BM_EditBySize)
    ->ArgsProduct({{100, 1000, 10000}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMicrosecond);

void BM_IsChartChangedUnchanged(benchmark::State& state) {
    Loaded l;
    l.open();
    for (auto _ : state)
        benchmark::DoNotOptimize(l.file.IsChartChanged());
}
BENCHMARK(BM_IsChartChangedUnchanged)->Unit(benchmark::kMillisecond);

// One record edited: only the records that differ as text are read again.
void BM_IsChartChangedOneEdited(benchmark::State& state) {
    Loaded l;
    l.open();
    l.chart.Blocks().back()->Payload = DefaultRecord(14);
    bool changed = false;
    for (auto _ : state) {
        changed = l.file.IsChartChanged();
        benchmark::DoNotOptimize(changed);
    }
    if (!changed)
        state.SkipWithError("the edited chart did not count as changed");
}
BENCHMARK(BM_IsChartChangedOneEdited)->Unit(benchmark::kMillisecond);

// The worst case: every record differs as text (here: without its header line) but writes the
// same, so every record and its snapshot are read and written again.
void BM_IsChartChangedEveryRecordRewritten(benchmark::State& state) {
    Loaded l;
    l.open();
    for (TFcObject* block : l.chart.Blocks())
        block->Payload = block->Payload.substr(block->Payload.find('\n') + 1);
    bool changed = true;
    for (auto _ : state) {
        changed = l.file.IsChartChanged();
        benchmark::DoNotOptimize(changed);
    }
    if (changed)
        state.SkipWithError("records written alike counted as changed");
}
BENCHMARK(BM_IsChartChangedEveryRecordRewritten)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
