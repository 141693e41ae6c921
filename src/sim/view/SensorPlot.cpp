#include "sim/view/SensorPlot.h"

#include "files/Files.h"
#include "platform/i18n/CoreText.h"
#include "platform/text/CodePage.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// One colour a series, told apart on white.
constexpr QRgb kColours[TSensorPlot::kSeriesCount] = {
    0xe6194b, 0x3cb44b, 0x4363d8, 0xf58231, 0x911eb4, 0x42d4f4, 0xf032e6, 0x9a6324,
    0x469990, 0x800000, 0x808000, 0x000075, 0xbfef45, 0xa9a9a9, 0x000000, 0xb8860b};
// Shown at first: the line sensors, the distance sensor and the wheels.
constexpr int kShownAtFirst[] = {0, 1, 2, 6, TSensorPlot::kLeftWheel, TSensorPlot::kRightWheel};

constexpr int kLeftMargin = 44;   // the value axis's labels
constexpr int kBottomMargin = 20; // the time axis's labels
constexpr int kMargin = 8;
// A wheel notch zooms by this much.
constexpr double kZoomPerNotch = 0.8;

double valueOf(const sim::TSensorSample& sample, int series) {
    if (series == TSensorPlot::kLeftWheel)
        return sample.leftMmS;
    if (series == TSensorPlot::kRightWheel)
        return sample.rightMmS;
    return sample.inputs[static_cast<std::size_t>(series)];
}

// A step of 1, 2 or 5 times a power of ten, near range / count.
double niceStep(double range, int count) {
    const double rough = range / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough)
            return m * power;
    return 10 * power;
}

// Paints the plot and turns the wheel and double-clicks into the plot's zoom and fit.
class TPlotCanvas : public QWidget {
public:
    explicit TPlotCanvas(TSensorPlot* plot) : QWidget(plot), m_plot(plot) {
        setObjectName("SensorPlotCanvas");
        setMinimumSize(200, 120);
        setFocusPolicy(Qt::ClickFocus);
    }
    QSize sizeHint() const override { return {360, 180}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_plot->paintPlot(painter, rect());
    }
    // Wheel: zoom around the time under the pointer.
    void wheelEvent(QWheelEvent* event) override {
        const int notches = event->angleDelta().y();
        if (notches == 0)
            return;
        m_plot->zoomAt(m_plot->timeAt(static_cast<int>(event->position().x())),
                       std::pow(kZoomPerNotch, notches / 120.0));
        event->accept();
    }
    // Double-click: the whole record.
    void mouseDoubleClickEvent(QMouseEvent*) override { m_plot->fit(); }

private:
    TSensorPlot* m_plot;
};

} // namespace

TSensorPlot::TSensorPlot(const sim::TSensorRecorder& recorder, QWidget* parent)
    : QWidget(parent), m_recorder(recorder) {
    setObjectName("SensorPlot");
    for (int series : kShownAtFirst)
        m_shown[static_cast<std::size_t>(series)] = true;
    buildControls();
    refresh();
}

void TSensorPlot::buildControls() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    m_pauseButton = new QPushButton(tr("Pause plot"), this);
    m_pauseButton->setObjectName("PlotPauseButton");
    m_pauseButton->setCheckable(true);
    m_pauseButton->setToolTip(tr("Keep the plot still while the run goes on"));
    connect(m_pauseButton, &QPushButton::toggled, this, &TSensorPlot::setPaused);
    buttons->addWidget(m_pauseButton);
    m_fitButton = new QPushButton(tr("Fit"), this);
    m_fitButton->setObjectName("PlotFitButton");
    m_fitButton->setToolTip(
        tr("Show the whole run (or double-click the plot); the mouse wheel zooms"));
    connect(m_fitButton, &QPushButton::clicked, this, &TSensorPlot::fit);
    buttons->addWidget(m_fitButton);
    m_saveButton = new QPushButton(tr("Save plot..."), this);
    m_saveButton->setObjectName("PlotSaveButton");
    m_saveButton->setToolTip(tr("Save the samples as CSV or the plot as a PNG picture"));
    connect(m_saveButton, &QPushButton::clicked, this, &TSensorPlot::SaveButtonClick);
    buttons->addWidget(m_saveButton);
    buttons->addStretch();
    column->addLayout(buttons);

    m_canvas = new TPlotCanvas(this);
    column->addWidget(m_canvas, 1);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);
    for (int series = 0; series < kSeriesCount; ++series) {
        auto* box = new QCheckBox(seriesName(series), this);
        const QString name =
            series == kLeftWheel ? QStringLiteral("Left")
            : series == kRightWheel
                ? QStringLiteral("Right")
                : QString::fromLatin1(sim::InputName(static_cast<sim::TInput>(series)));
        box->setObjectName("PlotSeries" + name);
        QPalette palette = box->palette();
        palette.setColor(QPalette::WindowText, QColor(kColours[series]));
        box->setPalette(palette);
        box->setChecked(m_shown[static_cast<std::size_t>(series)]);
        connect(box, &QCheckBox::toggled, this,
                [this, series](bool on) { setSeriesShown(series, on); });
        m_boxes[static_cast<std::size_t>(series)] = box;
        // PC0..PC4 and MIC, ADC0..ADC7, the wheels: three rows.
        const int row = series < 6 ? 0 : series < kLeftWheel ? 1 : 2;
        const int col = series < 6            ? series
                        : series < kLeftWheel ? series - 6
                                              : series - kLeftWheel;
        grid->addWidget(box, row, col);
    }
    column->addLayout(grid);
}

QString TSensorPlot::seriesName(int series) const {
    if (series == kLeftWheel)
        return tr("Left wheel");
    if (series == kRightWheel)
        return tr("Right wheel");
    return QString::fromLatin1(sim::InputName(static_cast<sim::TInput>(series)));
}

bool TSensorPlot::seriesShown(int series) const {
    return m_shown.at(static_cast<std::size_t>(series));
}

void TSensorPlot::setSeriesShown(int series, bool shown) {
    m_shown.at(static_cast<std::size_t>(series)) = shown;
    QCheckBox* box = m_boxes[static_cast<std::size_t>(series)];
    if (box->isChecked() != shown)
        box->setChecked(shown);
    m_canvas->update();
}

void TSensorPlot::refresh() {
    m_view.setExtent(m_recorder.firstUs(), m_recorder.lastUs());
    m_canvas->update();
}

void TSensorPlot::setPaused(bool paused) {
    m_view.setPaused(paused);
    if (m_pauseButton->isChecked() != paused)
        m_pauseButton->setChecked(paused);
    if (!paused)
        refresh();
    m_canvas->update();
}

void TSensorPlot::fit() {
    m_view.fit();
    m_canvas->update();
}

void TSensorPlot::zoomAt(std::int64_t atUs, double factor) {
    m_view.zoom(atUs, factor);
    m_canvas->update();
}

QRect TSensorPlot::plotArea(const QRect& area) const {
    return area.adjusted(kLeftMargin, kMargin, -kMargin, -kBottomMargin);
}

std::int64_t TSensorPlot::timeAt(int x) const {
    const QRect plot = plotArea(m_canvas->rect());
    const sim::TPlotSpan span = m_view.span();
    const double share = plot.width() > 0 ? double(x - plot.left()) / plot.width() : 0;
    return span.beginUs + static_cast<std::int64_t>(std::llround(share * span.widthUs()));
}

void TSensorPlot::paintPlot(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, Qt::white);
    const QRect plot = plotArea(area);
    if (plot.width() < 2 || plot.height() < 2)
        return;
    painter.setPen(QColor(0xc0c0c0));
    painter.drawRect(plot.adjusted(0, 0, -1, -1));

    const std::vector<sim::TSensorSample>& samples = m_recorder.samples();
    const sim::TPlotSpan span = m_view.span();
    const QFontMetrics metrics = painter.fontMetrics();
    // The samples in the span, and one beyond each edge so that the lines reach the edges;
    // paused, none after the pause.
    std::size_t from = m_recorder.firstAtOrAfter(span.beginUs);
    from = from > 0 ? from - 1 : 0;
    std::size_t to = m_recorder.firstAtOrAfter(std::min(span.endUs, m_view.lastUs()) + 1);
    if (to < samples.size() && samples[to].timeUs <= m_view.lastUs())
        ++to;

    // The value axis: the shown series' least and most in the span, and 0.
    double least = 0;
    double most = 0;
    bool any = false;
    for (int series = 0; series < kSeriesCount; ++series) {
        if (!m_shown[static_cast<std::size_t>(series)])
            continue;
        any = true;
        for (std::size_t i = from; i < to; ++i) {
            const double v = valueOf(samples[i], series);
            least = std::min(least, v);
            most = std::max(most, v);
        }
    }
    if (most - least < 1)
        most = least + 1;
    const double pad = (most - least) * 0.05;
    least -= least < 0 ? pad : 0;
    most += pad;
    const auto yOf = [&](double v) {
        return plot.bottom() - (v - least) / (most - least) * (plot.height() - 1);
    };
    const double width = static_cast<double>(std::max<std::int64_t>(span.widthUs(), 1));
    const auto xOf = [&](std::int64_t t) {
        return plot.left() + static_cast<double>(t - span.beginUs) / width * (plot.width() - 1);
    };

    // Grid and labels.
    painter.setPen(QColor(0x606060));
    const double valueStep = niceStep(most - least, std::max(2, plot.height() / 40));
    for (double v = std::ceil(least / valueStep) * valueStep; v <= most; v += valueStep) {
        const int y = static_cast<int>(std::lround(yOf(v)));
        painter.setPen(QColor(0xe8e8e8));
        painter.drawLine(plot.left() + 1, y, plot.right() - 1, y);
        painter.setPen(QColor(0x606060));
        painter.drawText(
            QRect(area.left(), y - metrics.height() / 2, kLeftMargin - 4, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(v, 'g', 6));
    }
    const double timeStepMs = niceStep(width / 1000, std::max(2, plot.width() / 90));
    const int decimals = timeStepMs >= 1000 ? 0 : timeStepMs >= 100 ? 1 : timeStepMs >= 10 ? 2 : 3;
    for (double t = std::ceil(span.beginUs / 1000.0 / timeStepMs) * timeStepMs;
         t * 1000 <= span.endUs; t += timeStepMs) {
        const int x = static_cast<int>(std::lround(xOf(static_cast<std::int64_t>(t * 1000))));
        painter.setPen(QColor(0xe8e8e8));
        painter.drawLine(x, plot.top() + 1, x, plot.bottom() - 1);
        painter.setPen(QColor(0x606060));
        painter.drawText(QRect(x - 40, plot.bottom() + 2, 80, kBottomMargin - 2),
                         Qt::AlignHCenter | Qt::AlignTop,
                         tr("%1 s").arg(QString::number(t / 1000, 'f', decimals)));
    }

    if (from >= to || !any) {
        painter.drawText(plot, Qt::AlignCenter,
                         !any ? tr("Tick a series to plot it")
                              : tr("No samples yet: run the program"));
        return;
    }

    // The series, a column of pixels at a time: the first, least, most and last value of the
    // samples in it.
    painter.save();
    painter.setClipRect(plot);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPolygonF line;
    for (int series = 0; series < kSeriesCount; ++series) {
        if (!m_shown[static_cast<std::size_t>(series)])
            continue;
        line.clear();
        int column = std::numeric_limits<int>::min();
        double first = 0, low = 0, high = 0, last = 0;
        const auto flush = [&] {
            if (column == std::numeric_limits<int>::min())
                return;
            line << QPointF(column, yOf(first));
            if (low != first && low != last)
                line << QPointF(column, yOf(low));
            if (high != first && high != last)
                line << QPointF(column, yOf(high));
            if (last != first)
                line << QPointF(column, yOf(last));
        };
        for (std::size_t i = from; i < to; ++i) {
            const double v = valueOf(samples[i], series);
            const int x = static_cast<int>(std::floor(xOf(samples[i].timeUs)));
            if (x != column) {
                flush();
                column = x;
                first = low = high = last = v;
            } else {
                low = std::min(low, v);
                high = std::max(high, v);
                last = v;
            }
        }
        flush();
        // A thin pen draws on the fast path: a wide one strokes the zigzag of a busy series
        // as one polygon, many times slower.
        painter.setPen(QPen(QColor(kColours[series]), 1));
        painter.drawPolyline(line);
    }
    painter.restore();

    // The legend: the shown series in their colours.
    int x = plot.left() + 6;
    for (int series = 0; series < kSeriesCount; ++series) {
        if (!m_shown[static_cast<std::size_t>(series)])
            continue;
        const QString name = seriesName(series);
        painter.setPen(QColor(kColours[series]));
        painter.drawText(x, plot.top() + metrics.ascent() + 2, name);
        x += metrics.horizontalAdvance(name) + 8;
    }
    if (m_view.paused()) {
        const QString held = tr("Paused");
        painter.setPen(QColor(0xb00000));
        painter.drawText(plot.right() - metrics.horizontalAdvance(held) - 6,
                         plot.top() + metrics.ascent() + 2, held);
    }
}

files::TStatus TSensorPlot::saveCsv(const QString& fileName) const {
    return files::ReplaceFile(platform::fromQString(fileName), m_recorder.csv());
}

files::TStatus TSensorPlot::savePng(const QString& fileName) const {
    QImage image(m_canvas->size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        paintPlot(painter, image.rect());
    }
    QSaveFile file(fileName);
    const std::string name = platform::fromQString(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return files::Error(
            files::FileError("create", name, platform::fromQString(file.errorString())));
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return files::Error(
            files::FileError("write", name, platform::fromQString(file.errorString())));
    }
    if (!file.commit())
        return files::Error(
            files::FileError("write", name, platform::fromQString(file.errorString())));
    return {};
}

void TSensorPlot::SaveButtonClick() {
    // Save plot: the samples as CSV or the picture as PNG, by the file's type.
    const QString csv = tr("CSV file (*.csv)");
    const QString png = tr("PNG picture (*.png)");
    QString filter = csv;
    QString fileName = QFileDialog::getSaveFileName(this, tr("Save the plot"), QString(),
                                                    csv + ";;" + png, &filter);
    if (fileName.isEmpty())
        return;
    const bool picture = filter == png || QFileInfo(fileName).suffix().toLower() == "png";
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += picture ? ".png" : ".csv";
    const files::TStatus saved = picture ? savePng(fileName) : saveCsv(fileName);
    if (!saved)
        QMessageBox::warning(this, tr("Save the plot"), platform::Translated(saved.errorMessage()));
}
