// Example charts: a bundled chart opened as a new chart without a name, so that saving it asks
// for a name of the pupil's own and the bundled original is never written over.
#pragma once

#include "chart/ChartFile.h"
#include "files/Prompts.h"

#include <string_view>

// Opens the chart that `chartText` holds (the bytes of a chart file) in place of the current
// one, as New does: the unsaved-changes question first, then the example's blocks in an
// unnamed chart that counts as unchanged until it is edited. `title` names the example in the
// note for the status line. A text that is no chart is shown as an error and changes nothing.
TChartFileResult OpenExampleChart(TChartFile& file, files::TPrompts& prompts,
                                  std::string_view chartText, std::string_view title);
