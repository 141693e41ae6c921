// File > Export and File > Print: the chart as a picture or on paper, as a worksheet needs it.
#include "app/Unit1.h"
#include "canvas/view/FlowChartView.h"
#include "chart/ChartFile.h"
#include "platform/export/ChartExport.h"
#include "platform/text/CodePage.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>

QString TForm1::chartTitle() const {
    const std::string& name = m_chartFile->CurrentFileName();
    return name.empty() ? QStringLiteral("Untitled chart")
                        : QFileInfo(platform::toQString(name)).fileName();
}

void TForm1::exportChart() {
    const std::optional<std::string> name =
        m_prompts->saveFileName(files::TPrompts::FileKind::Picture);
    if (!name)
        return;
    const QString path = platform::toQString(*name);
    const std::optional<platform::TExportFormat> format = platform::ExportFormatFor(path);
    if (!format) {
        m_prompts->showError("Cannot export to \"" + *name +
                             "\": choose a name ending in .png, .svg or .pdf.");
        return;
    }
    if (const files::TStatus written =
            platform::ExportChart(*m_flowChart1, path, *format, chartTitle());
        !written) {
        m_prompts->showError(written.error());
        return;
    }
    statusBar()->showMessage("Exported the chart to " + QFileInfo(path).fileName(),
                             kStatusMessageTime);
}

int TForm1::printTo(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    const int pages = platform::PaintChartPages(*m_flowChart1, painter, printer, chartTitle());
    painter.end();
    return pages;
}

void TForm1::printChart() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(chartTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print the Chart");
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int pages = printTo(printer);
    if (pages == 0) {
        m_prompts->showError("The chart could not be printed: the printer did not start.");
        return;
    }
    statusBar()->showMessage(
        QString("Printed the chart on %1 page%2").arg(pages).arg(pages == 1 ? "" : "s"),
        kStatusMessageTime);
}
