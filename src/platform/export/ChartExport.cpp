#include "platform/export/ChartExport.h"

#include "canvas/FcGeometry.h"
#include "canvas/view/FlowChartView.h"
#include "platform/text/CodePage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <vector>

namespace platform {

namespace {

// Canvas units left around the chart in a picture.
constexpr int kMargin = 12;
// What pages are drawn at: one canvas unit a pixel of a 96 dpi screen.
constexpr int kPageResolution = 96;
constexpr int kHeadPoints = 10; // the title's and the page number's size

// Pictures and pages are white where the canvas is blue: they go on paper.
const QColor kPaper = Qt::white;

files::TStatus writeError(const QString& path, const QString& reason) {
    return files::Error(files::FileError("write", fromQString(path), fromQString(reason)));
}

// Paints into a file written beside path and put in its place once complete.
template <typename Paint> files::TStatus writeWhole(const QString& path, Paint paint) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return files::Error(
            files::FileError("create", fromQString(path), fromQString(file.errorString())));
    if (const QString problem = paint(file); !problem.isEmpty()) {
        file.cancelWriting();
        return writeError(path, problem);
    }
    if (!file.commit())
        return writeError(path, file.errorString());
    return {};
}

} // namespace

std::optional<TExportFormat> ExportFormatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return TExportFormat::Png;
    if (suffix == QLatin1String("svg"))
        return TExportFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return TExportFormat::Pdf;
    return std::nullopt;
}

TFcRect ChartExportArea(const TFlowChartView& view) {
    TFcRect area;
    bool any = false;
    for (const TFcObject& o : view.chart().Objects()) {
        if (!o.Visible() || o.Width() <= 0 || o.Height() <= 0)
            continue;
        area = any ? area.united(o.BoundsRect()) : o.BoundsRect();
        any = true;
    }
    return area.inflated(kMargin);
}

int PaintChartPages(TFlowChartView& view, QPainter& p, QPagedPaintDevice& device,
                    const QString& title) {
    const TFcRect area = ChartExportArea(view);
    const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    QFont headFont = p.font();
    headFont.setPointSize(kHeadPoints);
    const int head = QFontMetrics(headFont, &device).height() * 2;
    const QRect body(page.left(), page.top() + head, page.width(), page.height() - 2 * head);
    // Canvas units to device pixels: at its size on a 96 dpi screen, smaller where too wide.
    const double size = static_cast<double>(device.logicalDpiX()) / kPageResolution;
    const double scale = std::min(size, static_cast<double>(body.width()) / area.width());
    std::vector<TFcRect> objects;
    for (const TFcObject& o : view.chart().Objects())
        objects.push_back(o.BoundsRect());
    const std::vector<int> tops =
        fcPageTops(objects, area.top, area.bottom, static_cast<int>(body.height() / scale));
    const int pages = static_cast<int>(tops.size());
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            device.newPage();
        p.save();
        p.setFont(headFont);
        p.setPen(Qt::black);
        p.drawText(QRect(page.left(), page.top(), page.width(), head), Qt::AlignLeft | Qt::AlignTop,
                   title);
        p.drawText(QRect(page.left(), page.bottom() - head, page.width(), head),
                   Qt::AlignHCenter | Qt::AlignBottom,
                   QCoreApplication::translate("platform::ChartExport", "Page %1 of %2")
                       .arg(i + 1)
                       .arg(pages));
        const int bottom = i + 1 < pages ? tops[i + 1] : area.bottom;
        const TFcRect strip{area.left, tops[i], area.right, bottom};
        // Centred across the page, from the top of the body.
        const double left = body.left() + (body.width() - area.width() * scale) / 2;
        p.translate(left, body.top());
        p.scale(scale, scale);
        view.renderArea(p, strip, kPaper);
        p.restore();
    }
    return pages;
}

files::TStatus ExportChart(TFlowChartView& view, const QString& path, TExportFormat format,
                           const QString& title) {
    const TFcRect area = ChartExportArea(view);
    const QSize size(area.width(), area.height());
    switch (format) {
    case TExportFormat::Png:
        return writeWhole(path, [&](QSaveFile& file) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(kPaper);
            QPainter p(&image);
            view.renderArea(p, area, kPaper);
            p.end();
            return image.save(&file, "PNG")
                       ? QString()
                       : QCoreApplication::translate("platform::ChartExport",
                                                     "The picture could not be encoded.");
        });
    case TExportFormat::Svg:
        return writeWhole(path, [&](QSaveFile& file) {
            QSvgGenerator svg;
            svg.setOutputDevice(&file);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(0, 0), size));
            svg.setResolution(kPageResolution);
            svg.setTitle(title);
            QPainter p;
            if (!p.begin(&svg))
                return QCoreApplication::translate("platform::ChartExport",
                                                   "The drawing could not be started.");
            view.renderArea(p, area, kPaper);
            p.end();
            return QString();
        });
    case TExportFormat::Pdf:
        return writeWhole(path, [&](QSaveFile& file) {
            QPdfWriter pdf(&file);
            pdf.setTitle(title);
            pdf.setCreator(QStringLiteral("ZOLVANE FlowChart"));
            pdf.setResolution(kPageResolution * 3);
            pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
            QPainter p;
            if (!p.begin(&pdf))
                return QCoreApplication::translate("platform::ChartExport",
                                                   "The document could not be started.");
            PaintChartPages(view, p, pdf, title);
            p.end();
            return QString();
        });
    }
    return writeError(path,
                      QCoreApplication::translate("platform::ChartExport", "Unknown format."));
}

} // namespace platform
