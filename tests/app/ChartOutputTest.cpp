// File > Export and File > Print in the running window.
#include "../support/PdfPages.h"
#include "WindowFixture.h"
#include "platform/export/ChartExport.h"

#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QTemporaryDir>

namespace {

constexpr int kWait = 5;

class ChartOutputTest : public WindowTest {
protected:
    void addWaits(int count) {
        for (int i = 0; i < count; ++i)
            chart().AppendBlock(kWait);
        chart().Relayout();
        QApplication::processEvents();
    }
    QTemporaryDir dir;
};

TEST_F(ChartOutputTest, FileMenuExportsThePictureTheNameAsksFor) {
    addWaits(3);
    QAction* exportAction = window->findChild<QAction*>("ExportAction");
    ASSERT_NE(exportAction, nullptr);
    EXPECT_TRUE(window->findChild<QMenu*>("FileMenu")->actions().contains(exportAction));
    EXPECT_EQ(exportAction->shortcut(), QKeySequence("Ctrl+E"));

    const QString png = dir.filePath("chart.png");
    prompts->savePictureNames.push_back(png.toStdString());
    exportAction->trigger();
    EXPECT_EQ(prompts->dialogs.back(), "savePicture");
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    const TFcRect area = platform::ChartExportArea(*window->flowChart());
    EXPECT_EQ(image.size(), QSize(area.width(), area.height()));
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("chart.png"));
    EXPECT_TRUE(prompts->errors.empty());

    // A name no format goes by: said, nothing written. Cancel: nothing at all.
    const QString jpg = dir.filePath("chart.jpg");
    prompts->savePictureNames.push_back(jpg.toStdString());
    exportAction->trigger();
    ASSERT_EQ(prompts->errors.size(), 1u);
    EXPECT_NE(prompts->errors[0].find(".png, .svg or .pdf"), std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(jpg));
    prompts->savePictureNames.push_back(std::nullopt);
    exportAction->trigger();
    EXPECT_EQ(prompts->errors.size(), 1u);
    // A place that cannot be written: the reason in a box.
    prompts->savePictureNames.push_back(dir.filePath("gone/chart.pdf").toStdString());
    exportAction->trigger();
    ASSERT_EQ(prompts->errors.size(), 2u);
    EXPECT_NE(prompts->errors[1].find("Cannot create file"), std::string::npos);
}

TEST_F(ChartOutputTest, PrintingPutsTheChartOnPagesCutBetweenBlocks) {
    QAction* printAction = window->findChild<QAction*>("PrintAction");
    ASSERT_NE(printAction, nullptr);
    EXPECT_EQ(printAction->shortcut(), QKeySequence(QKeySequence::Print));
    struct Case {
        int blocks;
        int pages;
    };
    for (const Case& c : {Case{1, 1}, Case{40, 3}}) {
        addWaits(c.blocks - chart().BlockCount());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        const QString pdf = dir.filePath(QString("printed%1.pdf").arg(c.blocks));
        printer.setOutputFileName(pdf);
        EXPECT_EQ(window->printTo(printer), c.pages) << c.blocks << " blocks";
        EXPECT_EQ(pdfPageCount(pdf), c.pages) << c.blocks << " blocks";
    }
}

} // namespace
