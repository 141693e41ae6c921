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
    return name.empty() ? tr("Untitled chart") : QFileInfo(platform::toQString(name)).fileName();
}

void TForm1::exportChart() {
    const std::optional<std::string> name =
        m_prompts->saveFileName(files::TPrompts::FileKind::Picture);
    if (!name)
        return;
    const QString path = platform::toQString(*name);
    const std::optional<platform::TExportFormat> format = platform::ExportFormatFor(path);
    if (!format) {
        m_prompts->showError(platform::fromQString(
            tr("Cannot export to \"%1\": choose a name ending in .png, .svg or .pdf.").arg(path)));
        return;
    }
    if (const files::TStatus written =
            platform::ExportChart(*m_flowChart1, path, *format, chartTitle());
        !written) {
        m_prompts->showError(written.errorMessage());
        return;
    }
    statusBar()->showMessage(tr("Exported the chart to %1").arg(QFileInfo(path).fileName()),
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
    dialog.setWindowTitle(tr("Print the Chart"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int pages = printTo(printer);
    if (pages == 0) {
        m_prompts->showError(platform::fromQString(
            tr("The chart could not be printed: the printer did not start.")));
        return;
    }
    statusBar()->showMessage(pages == 1 ? tr("Printed the chart on 1 page")
                                        : tr("Printed the chart on %1 pages").arg(pages),
                             kStatusMessageTime);
}
