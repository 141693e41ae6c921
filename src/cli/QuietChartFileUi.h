#pragma once

#include "chart/ChartFile.h"

namespace cli {

// Opening and saving named files asks nothing; the window's parts have nothing to show here.
class QuietChartFileUi : public TChartFileUi {
public:
    std::string openFileName() override { return {}; }
    std::string saveFileName() override { return {}; }
    Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
    void showError(const std::string&) override {}
    void setCaption(const std::string&) override {}
    void clearProgramText() override {}
};

} // namespace cli
