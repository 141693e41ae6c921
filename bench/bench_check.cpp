// Checking the program of a large chart: 10,000 blocks of every type with 1,000 labels and 500
// subroutines, jumps, calls and expressions naming them spread over the chart, as the
// generator's benchmark builds it.
#include "BenchCharts.h"
#include "check/BlockReader.h"
#include "check/Check.h"
#include "program/BlockStatements.h"
#include "program/Listing.h"
#include "records/BlockCatalog.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using bench::Chart;
using bench::child;
using bench::record;

// The record of a plain block: the types without names, in turn.
std::string plainRecord(int turn) {
    switch (turn % 16) {
    case 0:
        return record(1, child("mode", "2") + child("wait", "100"));
    case 1:
        return record(2, child("mode", "0") + child("wait", "0"));
    case 2:
        return record(3, child("motorL", "100") + child("motorR", "-100"));
    case 3:
        return record(4, child("mode", "0"));
    case 4:
        return record(5, child("wait", "250"));
    case 5:
        return record(15, child("led", "5"));
    case 6:
        return record(16, child("ddr", "1") + child("data", "255"));
    case 7:
        return record(17, child("var", "2") + child("port", "3"));
    case 8:
        return record(18, child("port", "0") + child("data", "15"));
    case 9:
        return record(21, child("var", "4") + child("index", "5"));
    case 10:
        return record(22, child("var", "5") + child("index", "7"));
    case 11:
        return record(26, child("index", "3"));
    case 12:
        return record(19, child("data1", "9") + child("data2", "9") + child("data3", "9") +
                              child("data4", "9") + child("data5", "9") + child("speed", "1"));
    case 13:
        return record(20, child("command", "B=(A+3)*PC1-ADC2/2"));
    case 14:
        return record(6, child("key", "3") + child("keycmd", "-1") + child("content", "11223344"));
    default:
        return record(1, child("mode", "0") + child("wait", "0"));
    }
}

// Every tenth block a label, every twentieth a subroutine with its end; in between jumps,
// conditional jumps, calls, expressions that name labels, counted loops and the plain blocks of
// a robot program; an End at the bottom.
const Chart& bigChart() {
    static const Chart chart = [] {
        constexpr int kBlocks = 10'000;
        Chart c;
        c.payloads.reserve(kBlocks);
        int labels = 0;
        int subs = 0;
        int turn = 0;
        for (int i = 0; i < kBlocks - 1; ++i) {
            const int labelRef = (i * 7) % 1000 + 1;
            const int subRef = (i * 3) % 500 + 1;
            const std::string loopVar = std::to_string((i / 20) % 26);
            switch (i % 20) {
            case 0:
            case 10:
                c.payloads.push_back(record(11, child("label", "L" + std::to_string(++labels))));
                break;
            case 5:
                c.payloads.push_back(record(23, child("sub", "S" + std::to_string(++subs))));
                break;
            case 7:
                c.payloads.push_back(record(24, ""));
                break;
            case 1:
                c.payloads.push_back(record(12, child("label", "L" + std::to_string(labelRef))));
                break;
            case 2:
                c.payloads.push_back(
                    record(13, child("condition", "A&gt;" + std::to_string(i) + " AND B&lt;3") +
                                   child("label", "L" + std::to_string(labelRef))));
                break;
            case 3:
                c.payloads.push_back(record(25, child("sub", "S" + std::to_string(subRef))));
                break;
            case 4:
                c.payloads.push_back(
                    record(20, child("command", "X=label: L" + std::to_string(labelRef) + "+1")));
                break;
            case 12:
                c.payloads.push_back(record(9, child("times", "3") + child("var", loopVar)));
                break;
            case 15:
                c.payloads.push_back(record(10, child("var", loopVar)));
                break;
            default:
                c.payloads.push_back(plainRecord(turn++));
            }
        }
        c.payloads.push_back(record(14, ""));
        bench::addBlocks(c);
        return c;
    }();
    return chart;
}

// The whole check: every record read, the listing resolved and line-checked, the image
// measured, every statement read as the robot reads it, names, loops, subroutines and paths.
void BM_CheckProgram10kBlocks(benchmark::State& state) {
    const Chart& chart = bigChart();
    std::size_t findings = 0;
    std::size_t errors = 0;
    for (auto _ : state) {
        const std::vector<check::TFinding> result = check::CheckProgram(chart.blocks);
        findings = result.size();
        benchmark::DoNotOptimize(result);
    }
    for (const check::TFinding& f : check::CheckProgram(chart.blocks))
        errors += f.severity == check::TSeverity::Error ? 1 : 0;
    state.counters["blocks"] = static_cast<double>(chart.blocks.size());
    state.counters["findings"] = static_cast<double>(findings);
    state.counters["errors"] = static_cast<double>(errors);
}
BENCHMARK(BM_CheckProgram10kBlocks)->Unit(benchmark::kMillisecond);

// The checker's reading of the records alone, and the generator's reading of the same records
// (which takes the same one-pass reading for records in the editors' form) for comparison.
void BM_ReadBlocksQuick10kBlocks(benchmark::State& state) {
    const Chart& chart = bigChart();
    check::TBlockReader reader;
    check::TBlockText text;
    for (auto _ : state)
        for (const program::BlockSource& b : chart.blocks)
            benchmark::DoNotOptimize(reader.read(b.kind, b.payload, text));
}
BENCHMARK(BM_ReadBlocksQuick10kBlocks)->Unit(benchmark::kMillisecond);

void BM_ReadBlocksByGenerator10kBlocks(benchmark::State& state) {
    const Chart& chart = bigChart();
    TSimpleXML document;
    std::vector<std::string> statements;
    for (auto _ : state)
        for (const program::BlockSource& b : chart.blocks)
            benchmark::DoNotOptimize(
                program::blockStatementTexts(document, b.kind, b.payload, statements));
}
BENCHMARK(BM_ReadBlocksByGenerator10kBlocks)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
