// The chart written as PNG, SVG and PDF, read back by readers that know those formats.
#include "platform/export/ChartExport.h"

#include "../support/PdfPages.h"
#include "canvas/view/FlowChartView.h"
#include "chart/Chart.h"
#include "chart/ChartFile.h"
#include "platform/export/ChartView.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <memory>

namespace {

using platform::TExportFormat;

constexpr int kWait = 5;

class ChartExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        platform::PrepareChartView(view);
        chart = std::make_unique<TChart>(view.chart());
        chart->NewChart();
    }
    void addBlocks(int count) {
        for (int i = 0; i < count; ++i)
            chart->AppendBlock(kWait);
        chart->Relayout();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // The size the chart takes on the canvas, from BEGIN to the end panel, with the margin.
    QSize chartSize() const {
        const TFcRect top = chart->StartObject()->BoundsRect();
        const TFcRect bottom = chart->EndObject()->BoundsRect();
        return {top.width() + 24, bottom.bottom - top.top + 24};
    }
    QTemporaryDir dir;
    TFlowChartView view;
    std::unique_ptr<TChart> chart;
};

TEST(ExportFormat, ComesFromTheExtensionWhateverItsCase) {
    struct Case {
        const char* path;
        std::optional<TExportFormat> format;
    };
    const Case cases[] = {{"a.png", TExportFormat::Png}, {"b/c.SVG", TExportFormat::Svg},
                          {"d.Pdf", TExportFormat::Pdf}, {"e.jpg", std::nullopt},
                          {"png", std::nullopt},         {"f.png.txt", std::nullopt}};
    for (const Case& c : cases)
        EXPECT_EQ(platform::ExportFormatFor(c.path), c.format) << c.path;
}

TEST_F(ChartExportTest, APngIsTheChartAtItsSizeOnWhite) {
    addBlocks(3);
    ASSERT_TRUE(platform::ExportChart(view, path("chart.png"), TExportFormat::Png, "chart.lcs"));
    QImage image(path("chart.png"), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), chartSize());
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white)) << "paper, not the canvas's blue";
    // A Wait block's teal in the middle of the first block.
    const TFcRect first = chart->BlockAt(1)->BoundsRect();
    const TFcRect area = platform::ChartExportArea(view);
    EXPECT_EQ(image.pixelColor(first.left - area.left + 5, first.top - area.top + 3),
              QColor(0, 128, 128));
}

TEST_F(ChartExportTest, AnSvgParsesAndHasTheChartsSize) {
    addBlocks(3);
    ASSERT_TRUE(platform::ExportChart(view, path("chart.svg"), TExportFormat::Svg, "chart.lcs"));
    QFile file(path("chart.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString width, height;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("svg")) {
            width = xml.attributes().value("width").toString();
            height = xml.attributes().value("height").toString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_FALSE(width.isEmpty());
    QSvgRenderer svg(path("chart.svg"));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox().size(), chartSize());
}

TEST_F(ChartExportTest, APdfCutsATallChartIntoNumberedPages) {
    struct Case {
        int blocks;
        int pages;
    };
    // An A4 page holds about fourteen blocks at their size.
    for (const Case& c : {Case{2, 1}, Case{40, 3}}) {
        chart->NewChart();
        addBlocks(c.blocks);
        const QString file = path(QString("chart%1.pdf").arg(c.blocks));
        ASSERT_TRUE(platform::ExportChart(view, file, TExportFormat::Pdf, "chart.lcs"));
        EXPECT_EQ(pdfPageCount(file), c.pages) << c.blocks << " blocks";
    }
}

TEST_F(ChartExportTest, AFileThatCannotBeWrittenSaysWhyAndLeavesWhatWasThere) {
    addBlocks(1);
    // A folder that does not exist.
    const files::TStatus missing =
        platform::ExportChart(view, path("no/such/chart.png"), TExportFormat::Png, "x");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("Cannot create file"), std::string::npos) << missing.error();
    EXPECT_NE(missing.error().find("chart.png"), std::string::npos) << missing.error();
    // A folder where the file should be: refused, the folder untouched.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.pdf"));
    EXPECT_FALSE(platform::ExportChart(view, path("taken.pdf"), TExportFormat::Pdf, "x"));
    EXPECT_TRUE(QFileInfo(path("taken.pdf")).isDir());
}

} // namespace
