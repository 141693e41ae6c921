// Parse and write the chart text of 10,000 blocks (about 1 MB) with the element tree, side by
// side with tinyxml2 and pugixml on the same text.
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <tinyxml2.h>

namespace {

constexpr int kBlocks = 10000;

// A chart file as the editor writes it: KELMORAX, one record per block holding its CtrlNode.
// Block types cycle through the catalogue; labels and expressions carry short texts.
const std::string& chartText() {
    static const std::string text = [] {
        TSimpleXML chart;
        chart.Root().SetName("KELMORAX");
        TSimpleXML record;
        const auto catalog = BlockCatalog();
        for (int i = 0; i < kBlocks; ++i) {
            const TBlockInfo& info = catalog[static_cast<std::size_t>(i) % catalog.size()];
            record.LoadFromText(DefaultRecord(info.type));
            if (TSimpleXMLElem* label = record.Root().Items().FindChild("label"))
                label->Value = "L" + std::to_string(i);
            if (TSimpleXMLElem* command = record.Root().Items().FindChild("command"))
                command->Value = "A=A+" + std::to_string(i);
            TSimpleXMLElem& any = chart.Root().Items().AddChild("record").Items().AddChild("any");
            any.CopyFrom(record.Root());
        }
        return chart.SaveToText();
    }();
    return text;
}

void setCounters(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(chartText().size()));
    state.counters["text_bytes"] = static_cast<double>(chartText().size());
}

// --- the element tree

void BM_Ours_Parse(benchmark::State& state) {
    const std::string& text = chartText();
    TSimpleXML doc;
    for (auto _ : state) {
        doc.LoadFromText(text);
        benchmark::DoNotOptimize(doc.Root().Items().Count());
    }
    if (doc.Root().Items().Count() != kBlocks)
        state.SkipWithError("wrong number of records");
    setCounters(state);
}

void BM_Ours_Write(benchmark::State& state) {
    TSimpleXML doc;
    doc.LoadFromText(chartText());
    for (auto _ : state) {
        std::string out = doc.SaveToText();
        benchmark::DoNotOptimize(out.data());
    }
    if (doc.SaveToText() != chartText())
        state.SkipWithError("written text differs from the text read");
    setCounters(state);
}

void BM_Ours_ParseAndWrite(benchmark::State& state) {
    const std::string& text = chartText();
    for (auto _ : state) {
        TSimpleXML doc;
        doc.LoadFromText(text);
        std::string out = doc.SaveToText();
        benchmark::DoNotOptimize(out.data());
    }
    setCounters(state);
}

// --- tinyxml2

void BM_Tinyxml2_Parse(benchmark::State& state) {
    const std::string& text = chartText();
    tinyxml2::XMLDocument doc;
    for (auto _ : state) {
        doc.Parse(text.data(), text.size());
        benchmark::DoNotOptimize(doc.RootElement());
    }
    if (doc.Error())
        state.SkipWithError(doc.ErrorStr());
    setCounters(state);
}

void BM_Tinyxml2_Write(benchmark::State& state) {
    const std::string& text = chartText();
    tinyxml2::XMLDocument doc;
    doc.Parse(text.data(), text.size());
    for (auto _ : state) {
        tinyxml2::XMLPrinter printer;
        doc.Print(&printer);
        benchmark::DoNotOptimize(printer.CStr());
    }
    setCounters(state);
}

void BM_Tinyxml2_ParseAndWrite(benchmark::State& state) {
    const std::string& text = chartText();
    for (auto _ : state) {
        tinyxml2::XMLDocument doc;
        doc.Parse(text.data(), text.size());
        tinyxml2::XMLPrinter printer;
        doc.Print(&printer);
        benchmark::DoNotOptimize(printer.CStr());
    }
    setCounters(state);
}

// --- pugixml

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, std::size_t size) override {
        out.append(static_cast<const char*>(data), size);
    }
};

void BM_Pugixml_Parse(benchmark::State& state) {
    const std::string& text = chartText();
    pugi::xml_document doc;
    for (auto _ : state) {
        const pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size());
        benchmark::DoNotOptimize(result.status);
    }
    setCounters(state);
}

void BM_Pugixml_Write(benchmark::State& state) {
    const std::string& text = chartText();
    pugi::xml_document doc;
    doc.load_buffer(text.data(), text.size());
    for (auto _ : state) {
        StringWriter writer;
        doc.save(writer, "  ");
        benchmark::DoNotOptimize(writer.out.data());
    }
    setCounters(state);
}

void BM_Pugixml_ParseAndWrite(benchmark::State& state) {
    const std::string& text = chartText();
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(text.data(), text.size());
        StringWriter writer;
        doc.save(writer, "  ");
        benchmark::DoNotOptimize(writer.out.data());
    }
    setCounters(state);
}

} // namespace

BENCHMARK(BM_Ours_Parse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tinyxml2_Parse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml_Parse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tinyxml2_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours_ParseAndWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tinyxml2_ParseAndWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml_ParseAndWrite)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
