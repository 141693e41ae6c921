// zolvane export CHART.lcs OUT: the chart as a picture or as pages, as the editor's File >
// Export writes it, with no display needed. The format is OUT's extension: png, svg or pdf.
#include "cli/Commands.h"

#ifdef ZOLVANE_HAVE_PLATFORM

#include "canvas/view/FlowChartView.h"
#include "chart/ChartFile.h"
#include "chart/PhraseList.h"
#include "platform/export/ChartExport.h"
#include "platform/export/ChartView.h"
#include "platform/text/CodePage.h"

#include <QApplication>
#include <QFileInfo>
#include <iostream>

namespace cli {

int runExport(const Args& args) {
    if (args.size() != 2 || args[0].empty() || args[1].empty())
        return kUsageError;
    const std::string& chartPath = args[0];
    const std::string& outPath = args[1];
    const QString out = platform::toQString(outPath);
    const std::optional<platform::TExportFormat> format = platform::ExportFormatFor(out);
    if (!format) {
        std::cerr << "zolvane: export: \"" << outPath
                  << "\" must end in .png, .svg or .pdf, which says what to write\n";
        return kUsageError;
    }
    if (!TChartFile::HasChartExtension(chartPath))
        return fail("export: \"" + chartPath + "\" is not a chart file (.lcs)");

    // Drawn off screen: no display is needed, and none is opened. Qt's remark that a desktop
    // session's runtime folder is not set means nothing here.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtWarningMsg || !text.startsWith(QLatin1String("QStandardPaths:")))
            std::cerr << text.toLocal8Bit().constData() << '\n';
    });
    int argc = 1;
    char name[] = "zolvane";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    // As the editor: VoiceX blocks named from the list beside the program.
    TPhraseList phrases = loadPhraseList(phraseListPath(programFolder()));
    if (!phrases.ok())
        std::cerr << "zolvane: " << phrases.error << '\n';
    TFlowChartView view;
    platform::PrepareChartView(view);
    const files::TResult<TOpenedChart> opened =
        openChart(chartPath, std::move(phrases.entries), &view.chart());
    if (!opened)
        return fail(opened.error());
    const QString title = QFileInfo(platform::toQString(chartPath)).fileName();
    if (const files::TStatus written = platform::ExportChart(view, out, *format, title); !written)
        return fail(written.error());
    return kSuccess;
}

} // namespace cli

#else // ZOLVANE_HAVE_PLATFORM

namespace cli {

int runExport(const Args&) {
    return fail("export needs Qt's drawing: this build was made without the Qt parts");
}

} // namespace cli

#endif // ZOLVANE_HAVE_PLATFORM
