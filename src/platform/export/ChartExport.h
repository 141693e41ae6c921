#pragma once

// The chart as a picture (PNG, SVG) or as pages (PDF, a printer): what a worksheet needs.

#include "files/Files.h"

#include <QString>
#include <optional>

class QPagedPaintDevice;
class QPainter;
class TFlowChartView;
struct TFcRect;

namespace platform {

enum class TExportFormat { Png, Svg, Pdf };

// The format a file name asks for by its extension, whatever its case; nothing for another.
std::optional<TExportFormat> ExportFormatFor(const QString& path);

// The part of the canvas an export shows: every object, with a margin around them.
TFcRect ChartExportArea(const TFlowChartView& view);

// Writes the chart the view shows to path, replacing the file whole only once it is written:
// PNG and SVG as one picture at the canvas's size, PDF on A4 pages headed by the title with
// page numbers at the foot. The error names the file and why.
files::TStatus ExportChart(TFlowChartView& view, const QString& path, TExportFormat format,
                           const QString& title);

// Paints the chart onto the pages of device with painter p, which is open on it: the title at
// the head of each page, "Page N of M" at its foot, the chart at its size (smaller only where
// it is wider than the page), cut between blocks. Returns the number of pages.
int PaintChartPages(TFlowChartView& view, QPainter& p, QPagedPaintDevice& device,
                    const QString& title);

} // namespace platform
