// zolvane listing CHART.lcs: open the chart as the editor opens it, generate, and print the
// program text with CR LF line ends.
#include "chart/Chart.h"
#include "chart/ChartFile.h"
#include "cli/Commands.h"
#include "program/ChartListing.h"
#include "program/ProgramText.h"

#include <iostream>

namespace cli {

int runListing(const Args& args) {
    if (args.size() != 1) {
        std::cerr << "zolvane: listing takes one chart file\n";
        return kUsageError;
    }
    const std::string& path = args[0];
    // The editor's open dialog accepts chart files only.
    if (!TChartFile::HasChartExtension(path))
        return fail("listing: \"" + path + "\" is not a chart file (.lcs)");

    const files::TResult<TOpenedChart> opened = openChart(path);
    if (!opened)
        return fail(opened.error());
    const program::ListingResult listing = program::generateListing(*opened->chart);
    if (!listing.ok())
        return fail(listing.error->English());
    const std::string text = files::JoinLines(listing.lines);
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    return std::cout ? kSuccess : fail("listing: cannot write the output");
}

} // namespace cli
