// zolvane listing CHART.lcs: open the chart as the editor opens it, generate, and print the
// program text with CR LF line ends.
#include "app/AppTitle.h"
#include "chart/Chart.h"
#include "chart/ChartFile.h"
#include "cli/Commands.h"
#include "cli/QuietChartFileUi.h"
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

    TFlowChart canvas;
    TChart chart(canvas);
    QuietChartFileUi ui;
    TChartFile file(chart, ui, kApplicationTitle);
    chart.NewChart();
    if (const std::string error = file.OpenFile(path); !error.empty())
        return fail(error);

    const program::ListingResult listing = program::generateListing(chart);
    if (!listing.ok())
        return fail(*listing.error);
    const std::string text = program::joinLines(listing.lines);
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    return std::cout ? kSuccess : fail("listing: cannot write the output");
}

} // namespace cli
