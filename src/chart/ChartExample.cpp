#include "chart/ChartExample.h"

#include "files/Message.h"

#include <exception>
#include <memory>
#include <string>

namespace {

files::TMessage cannotOpen(std::string_view title, files::TMessage reason) {
    return files::Say("chart", ZV_TRANSLATABLE("chart", "The example %1 cannot be opened: %2"),
                      title, std::move(reason));
}

} // namespace

TChartFileResult OpenExampleChart(TChartFile& file, files::TPrompts& prompts,
                                  std::string_view chartText, std::string_view title) {
    if (!file.askSaveChanges(prompts))
        return {};
    auto document = std::make_unique<TSimpleXML>();
    try {
        document->LoadFromText(chartText);
    } catch (const std::exception& e) {
        prompts.showError(cannotOpen(title, ErrorMessageOf(e)));
        return {};
    }
    // No name: the first save asks for one, so the example stays as it was shipped.
    if (files::TStatus loaded = file.LoadChart(std::move(document), std::string()); !loaded) {
        prompts.showError(cannotOpen(title, loaded.errorMessage()));
        return {};
    }
    return {true, true,
            files::Say("chart",
                       ZV_TRANSLATABLE("chart", "Example %1 opened as a new chart: save it under a "
                                                "name of your own to keep your changes."),
                       title)};
}
