// zolvane chart [--phrases FILE] CHART.lcs: open a chart as the editor opens it and print one
// line per chart item. zolvane resave IN.lcs OUT.lcs: open a chart and save it again.
#include "chart/Chart.h"
#include "chart/ChartFile.h"
#include "chart/PhraseList.h"
#include "cli/Commands.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

namespace cli {

namespace {

// A caption on one line: tabs, line breaks and other control bytes are written as escapes.
std::string oneLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (byte < 0x20 || byte == 0x7f) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else
            out += c;
    }
    return out;
}

// "class, kind, Left, Top, Width, Height, caption", tab-separated; a spot shows its marker's kind
// and its base's bounds and caption.
std::string itemLine(const TChartItem& item) {
    const TFcObject* main = item.MainObject();
    int kind = main->Kind;
    if (item.Class() == TChartItemClass::NormalSpot)
        kind = static_cast<const TNormalSpot&>(item).Marker->Kind;
    std::string line = item.ClassName();
    for (const int v : {kind, main->Left(), main->Top(), main->Width(), main->Height()})
        line += '\t' + std::to_string(v);
    line += '\t' + oneLine(main->Text());
    line += '\n';
    return line;
}

} // namespace

int runChart(const Args& args) {
    std::string phrasesFile;
    std::string chartPath;
    bool havePhrases = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--phrases") {
            if (havePhrases || i + 1 >= args.size()) {
                std::cerr << "zolvane: chart: --phrases takes one file\n";
                return kUsageError;
            }
            phrasesFile = args[++i];
            havePhrases = true;
        } else if (chartPath.empty() && !args[i].empty()) {
            chartPath = args[i];
        } else {
            std::cerr << "zolvane: chart takes one chart file\n";
            return kUsageError;
        }
    }
    if (chartPath.empty()) {
        std::cerr << "zolvane: chart takes one chart file\n";
        return kUsageError;
    }
    // The editor's open dialog accepts chart files only.
    if (!TChartFile::HasChartExtension(chartPath))
        return fail("chart: \"" + chartPath + "\" is not a chart file (.lcs)");

    TPhraseList phrases;
    if (havePhrases) {
        // A file named on the command line must be there: a mistyped name would otherwise pass
        // unnoticed as the numbered list.
        std::error_code ec;
        if (!std::filesystem::exists(phrasesFile, ec))
            return fail("chart: phrase list \"" + phrasesFile + "\" does not exist");
        phrases = loadPhraseList(phrasesFile);
        if (!phrases.ok())
            return fail(phrases.error.English());
    } else {
        // As the editor: the list beside the program; one it cannot read leaves the list empty.
        phrases = loadPhraseList(phraseListPath(programFolder()));
        if (!phrases.ok())
            std::cerr << "zolvane: " << phrases.error << '\n';
    }

    const files::TResult<TOpenedChart> opened = openChart(chartPath, std::move(phrases.entries));
    if (!opened)
        return fail(opened.error());
    const TChart& chart = *opened->chart;
    std::string out;
    for (int i = 0; i < chart.Count(); ++i)
        out += itemLine(*chart.Item(i));
    std::cout.write(out.data(), static_cast<std::streamsize>(out.size()));
    std::cout.flush();
    return std::cout ? kSuccess : fail("chart: cannot write the output");
}

int runResave(const Args& args) {
    if (args.size() != 2) {
        std::cerr << "zolvane: resave takes a chart file to read and one to write\n";
        return kUsageError;
    }
    const std::string& in = args[0];
    const std::string& out = args[1];
    // The editor's dialogs open and save chart files only.
    for (const std::string* name : {&in, &out})
        if (!TChartFile::HasChartExtension(*name))
            return fail("resave: \"" + *name + "\" is not a chart file (.lcs)");

    const files::TResult<TOpenedChart> opened = openChart(in);
    if (!opened)
        return fail(opened.error());
    if (const files::TStatus saved = opened->file->SaveFile(out); !saved)
        return fail(saved.error());
    return kSuccess;
}

} // namespace cli
