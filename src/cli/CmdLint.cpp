// zolvane lint CHART.lcs: open the chart as the editor opens it, check its program and print
// one finding per line: the block's number, "error" or "warning" and the message, separated by
// tabs, in chart order. Exit status 1 when any finding is an error.
#include "chart/ChartFile.h"
#include "check/Check.h"
#include "cli/Commands.h"
#include "program/ChartListing.h"

#include <iostream>

namespace cli {

int runLint(const Args& args) {
    if (args.size() != 1) {
        std::cerr << "zolvane: lint takes one chart file\n";
        return kUsageError;
    }
    const std::string& path = args[0];
    // The editor's open dialog accepts chart files only.
    if (!TChartFile::HasChartExtension(path))
        return fail("lint: \"" + path + "\" is not a chart file (.lcs)");

    const files::TResult<TOpenedChart> opened = openChart(path);
    if (!opened)
        return fail(opened.error());
    const std::vector<program::BlockSource> blocks = program::chartBlocks(*opened->chart);
    const std::vector<check::TFinding> findings = check::CheckProgram(blocks);
    std::string text;
    for (const check::TFinding& finding : findings) {
        text += std::to_string(finding.block);
        text += '\t';
        text += check::SeverityWord(finding.severity);
        text += '\t';
        text += finding.message.English();
        text += '\n';
    }
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    if (!std::cout)
        return fail("lint: cannot write the output");
    return check::HasError(findings) ? kFailure : kSuccess;
}

} // namespace cli
