// Generating the program listing of a large chart: 10,000 blocks with 1,000 labels and 500
// subroutines, references to them spread over the chart.
#include "BenchCharts.h"
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

// Every tenth block a label, every twentieth a subroutine; in between jumps, conditional jumps,
// calls, expressions that name labels, and the plain blocks of a robot program.
const Chart& bigChart() {
    static const Chart chart = [] {
        constexpr int kBlocks = 10'000;
        Chart c;
        c.payloads.reserve(kBlocks);
        int labels = 0;
        int subs = 0;
        for (int i = 0; i < kBlocks; ++i) {
            const int labelRef = (i * 7) % 1000 + 1;
            const int subRef = (i * 3) % 500 + 1;
            switch (i % 20) {
            case 0:
                c.payloads.push_back(record(11, child("label", "L" + std::to_string(++labels))));
                break;
            case 10:
                c.payloads.push_back(record(11, child("label", "L" + std::to_string(++labels))));
                break;
            case 5:
                c.payloads.push_back(record(23, child("sub", "S" + std::to_string(++subs))));
                break;
            case 1:
                c.payloads.push_back(record(12, child("label", "L" + std::to_string(labelRef))));
                break;
            case 2:
                c.payloads.push_back(
                    record(13, child("condition", "A&gt;" + std::to_string(i)) +
                                   child("label", "L" + std::to_string(labelRef))));
                break;
            case 3:
                c.payloads.push_back(record(25, child("sub", "S" + std::to_string(subRef))));
                break;
            case 4:
                c.payloads.push_back(
                    record(20, child("command", "X=label: L" + std::to_string(labelRef) + "+1")));
                break;
            case 6:
                c.payloads.push_back(record(6, child("key", "3") + child("keycmd", "-1") +
                                                   child("content", "11223344")));
                break;
            case 7:
                c.payloads.push_back(record(24, ""));
                break;
            case 8:
                c.payloads.push_back(record(19, child("data1", "9") + child("data2", "9") +
                                                    child("data3", "9") + child("data4", "9") +
                                                    child("data5", "9") + child("speed", "1")));
                break;
            default:
                c.payloads.push_back(record(1, child("mode", "2") + child("wait", "100")));
            }
        }
        bench::addBlocks(c);
        return c;
    }();
    return chart;
}

std::vector<std::string> statementsOf(const Chart& chart) {
    std::vector<std::string> entries{std::string(program::kProductName)};
    std::vector<std::string> block;
    for (const program::BlockSource& b : chart.blocks) {
        program::blockStatementTexts(b.kind, b.payload, block);
        entries.insert(entries.end(), block.begin(), block.end());
    }
    return entries;
}

// The whole generate command: every record parsed, statements built, names resolved, numbered.
void BM_GenerateListing10kBlocks(benchmark::State& state) {
    const Chart& chart = bigChart();
    std::size_t lines = 0;
    for (auto _ : state) {
        const program::ListingResult result = program::generateListing(chart.blocks);
        lines = result.lines.size();
        benchmark::DoNotOptimize(result);
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_GenerateListing10kBlocks)->Unit(benchmark::kMillisecond);

// The name resolution and numbering alone, on the statements of the same chart.
void BM_ResolveNames10kBlocks(benchmark::State& state) {
    const std::vector<std::string> entries = statementsOf(bigChart());
    for (auto _ : state)
        benchmark::DoNotOptimize(program::resolveListing(entries));
}
BENCHMARK(BM_ResolveNames10kBlocks)->Unit(benchmark::kMillisecond);

// For comparison: the plain search, every definition looked for in every entry.
void BM_PlainSearchEveryDefinition10kBlocks(benchmark::State& state) {
    const std::vector<std::string> entries = statementsOf(bigChart());
    for (auto _ : state) {
        std::vector<std::string> e = entries;
        for (const std::string_view prefix : {"label: ", "sub: "}) {
            std::vector<std::pair<std::string, std::size_t>> definitions;
            for (std::size_t i = 0; i < e.size(); ++i)
                if (e[i].starts_with(prefix))
                    definitions.emplace_back(e[i], 10 * (i + 1));
            for (const auto& [key, target] : definitions)
                for (std::string& s : e) {
                    const std::size_t at = s.find(key);
                    if (at != std::string::npos && at >= 2)
                        s.replace(at, key.size(), std::to_string(target));
                }
        }
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_PlainSearchEveryDefinition10kBlocks)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
