#include "canvas/view/FlowChartView.h"

#include "canvas/view/FlowChartAccessible.h"
#include "platform/text/CodePage.h"

#include <QAccessible>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QToolTip>
#include <QTransform>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// One click of a scroll bar arrow.
constexpr int kScrollLine = 16;
// The text of a caption is measured in a box this high, so that no wrapped line is lost.
constexpr int kMeasureHeight = 1 << 20;
// The first length of a caption's beginning that is laid out alone (see paintCaption).
constexpr std::size_t kCaptionProbe = 2048;
// The objects whose details are kept (a few screenfuls at the smallest zoom).
constexpr std::size_t kDetailCacheSize = 4096;
// The smallest value font, in canvas pixels.
constexpr int kValueMinPixels = 9;
// A mark's dot: its size and its gap to the object's right side.
constexpr int kMarkSize = 10;
constexpr int kMarkGap = 5;
// Width of the frame that marks where dragged blocks would land.
constexpr int kDropTargetPen = 3;
// The strip left of an object that holds its side label, and the gap to the object.
constexpr int kSideLabelWidth = 62;
constexpr int kSideLabelGap = 4;
// Zoomed out, a mark's dot and a selection mark keep at least these sizes in pixels, so that
// what is wrong and what is selected still shows.
constexpr int kMarkMinPixels = 6;
constexpr int kSelectionMarkMinPixels = 3;
// Pixels around a zoomed damaged area repainted with it: rounding, and the marks kept large.
constexpr int kZoomedDamageMargin = kMarkMinPixels / 2 + 1;
// A press moved this far on screen or less (the model's threshold, in pixels) is still a
// click: zoomed out, the model's own threshold in canvas units is a pixel or less.
constexpr int kDragThresholdPixels = 4;
// One notch of a mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;
// The image text under which loadPicture keeps an SVG picture's file.
const QString kSvgSourceKey = QStringLiteral("SvgSource");

// Corner ellipse of a shape, as the model's shape spans use it; zero for square corners.
TFcSize cornerOf(TFcShape shape, const TFcRect& b) {
    switch (shape) {
    case ShapeRoundRect:
        return {b.width() / 2, b.height() / 2};
    case ShapeEllipse:
        return {b.width(), b.height()};
    default:
        return {0, 0};
    }
}

void fillSpan(QPainter& p, int y, int x0, int x1, const QColor& color) {
    if (x1 > x0)
        p.fillRect(QRect(x0, y, x1 - x0, 1), color);
}

Qt::Alignment horzAlignment(int code) {
    switch (code) {
    case 1:
        return Qt::AlignHCenter;
    case 2:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

// A viewport rectangle at least one pixel wide and high: zoomed out, a thin line stays.
TFcRect atLeastOnePixel(TFcRect r) {
    r.right = std::max(r.right, r.left + 1);
    r.bottom = std::max(r.bottom, r.top + 1);
    return r;
}

// r grown about its middle to at least size x size.
TFcRect atLeast(TFcRect r, int size) {
    if (r.width() < size) {
        r.left -= (size - r.width()) / 2;
        r.right = r.left + size;
    }
    if (r.height() < size) {
        r.top -= (size - r.height()) / 2;
        r.bottom = r.top + size;
    }
    return r;
}

// The pixels a pen `width` wide covers when it draws the axis-parallel segment a-b at 100 %,
// as Qt draws it (square caps).
TFcRect penStroke(TFcPoint a, TFcPoint b, int width) {
    const int before = width / 2, after = (width - 1) / 2;
    if (a.x == b.x)
        return {a.x - before, std::min(a.y, b.y) - before, a.x - before + width,
                std::max(a.y, b.y) + 1 + after};
    return {std::min(a.x, b.x) - before, a.y - before, std::max(a.x, b.x) + 1 + after,
            a.y - before + width};
}

// The one-pixel frame of r, each pixel once (so an inverting brush inverts each pixel once).
void fillFrame(QPainter& p, const TFcRect& r, const QColor& color) {
    if (r.isEmpty())
        return;
    const int w = r.width(), h = r.height();
    p.fillRect(QRect(r.left, r.top, w, 1), color);
    if (h > 1)
        p.fillRect(QRect(r.left, r.bottom - 1, w, 1), color);
    if (h > 2) {
        p.fillRect(QRect(r.left, r.top + 1, 1, h - 2), color);
        if (w > 1)
            p.fillRect(QRect(r.right - 1, r.top + 1, 1, h - 2), color);
    }
}

} // namespace

QColor fcToQColor(TFcColor color) {
    return QColor(fcRed(color), fcGreen(color), fcBlue(color));
}

QRect fcToQRect(const TFcRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

TFcRect fcFromQRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

bool fcKeyFromQt(int qtKey, TFcKey& key) {
    switch (qtKey) {
    case Qt::Key_Left:
        key = TFcKey::Left;
        return true;
    case Qt::Key_Right:
        key = TFcKey::Right;
        return true;
    case Qt::Key_Up:
        key = TFcKey::Up;
        return true;
    case Qt::Key_Down:
        key = TFcKey::Down;
        return true;
    case Qt::Key_PageUp:
        key = TFcKey::PageUp;
        return true;
    case Qt::Key_PageDown:
        key = TFcKey::PageDown;
        return true;
    case Qt::Key_Home:
        key = TFcKey::Home;
        return true;
    case Qt::Key_End:
        key = TFcKey::End;
        return true;
    case Qt::Key_Delete:
        key = TFcKey::Delete;
        return true;
    default:
        return false;
    }
}

TFcShiftState fcShiftFromQt(Qt::KeyboardModifiers modifiers) {
    TFcShiftState s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ssShift;
    if (modifiers & Qt::AltModifier)
        s |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        s |= ssCtrl;
    return s;
}

TFlowChartView::TFlowChartView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("FlowChart1"));
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel of the viewport is painted by paintEvent.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Hovering a selection mark shows the resize pointer.
    viewport()->setMouseTracking(true);
    horizontalScrollBar()->setSingleStep(kScrollLine);
    verticalScrollBar()->setSingleStep(kScrollLine);
    m_chart.ImageSizes.clear(); // follows the picture list, empty until one is set
    m_chart.setListener(this);
    m_sideLabelFont = font();
    m_sideLabelFont.setPixelSize(11);
    fcInstallAccessibility();
}

TFlowChartView::~TFlowChartView() {
    // The model dies after this body; nothing of its teardown may reach a half-destroyed view.
    m_chart.setListener(nullptr);
    for (const auto& [object, id] : m_accessibleIds)
        QAccessible::deleteAccessibleInterface(id);
}

void TFlowChartView::setPictures(const QList<QImage>& pictures) {
    m_pictures.clear();
    m_pictureSources.clear();
    m_zoomedPictures.clear();
    m_chart.ImageSizes.clear();
    for (const QImage& image : pictures) {
        m_pictures.push_back(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        m_chart.ImageSizes.push_back({image.width(), image.height()});
        std::unique_ptr<QSvgRenderer> source;
        if (const QString file = image.text(kSvgSourceKey); !file.isEmpty()) {
            source = std::make_unique<QSvgRenderer>(file);
            if (!source->isValid())
                source.reset();
        }
        m_pictureSources.push_back(std::move(source));
    }
    viewport()->update();
}

QImage TFlowChartView::loadPicture(const QString& fileName, QSize size) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("svg") || suffix == QLatin1String("svgz")) {
        QSvgRenderer renderer(fileName);
        if (!renderer.isValid())
            return {};
        const QSize s = size.isEmpty() ? renderer.defaultSize() : size;
        if (s.isEmpty())
            return {};
        QImage image(s, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        renderer.render(&p);
        p.end();
        // The file, so that the view can draw the picture afresh at another zoom. A resource
        // path stays as it is; a relative one must not depend on the working folder later.
        image.setText(kSvgSourceKey, fileName.startsWith(QLatin1Char(':'))
                                         ? fileName
                                         : QFileInfo(fileName).absoluteFilePath());
        return image;
    }
    QImage image(fileName);
    if (image.isNull())
        return {};
    if (!size.isEmpty() && image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// ---------------------------------------------------------------------------------------------
// Zoom
//
// Canvas unit c covers the zoomed pixels from zoomed(c) to zoomed(c + 1): every edge is rounded
// the same way wherever it is painted, so shapes that touch at 100 % touch zoomed, a partial
// repaint matches the whole, and the zoomed picture does not change as it scrolls (the scroll
// offset is itself a zoomed canvas coordinate).

int TFlowChartView::zoomed(int c) const {
    return static_cast<int>(std::floor(c * m_zoom + 0.5));
}

int TFlowChartView::unitAt(int zoomedPixel) const {
    int c = static_cast<int>(std::ceil((zoomedPixel + 0.5) / m_zoom)) - 1;
    // The division may land a hair beside a unit's edge; the edges themselves decide.
    while (zoomed(c + 1) <= zoomedPixel)
        ++c;
    while (zoomed(c) > zoomedPixel)
        --c;
    return c;
}

QPoint TFlowChartView::scrollOffset() const {
    if (m_renderOrigin)
        return *m_renderOrigin;
    const TFcPoint s = m_chart.ScrollPos();
    return {zoomed(s.x), zoomed(s.y)};
}

TFcRect TFlowChartView::toViewport(const TFcRect& r) const {
    const QPoint o = scrollOffset();
    return {zoomed(r.left) - o.x(), zoomed(r.top) - o.y(), zoomed(r.right) - o.x(),
            zoomed(r.bottom) - o.y()};
}

TFcRect TFlowChartView::toCanvas(const QRect& r) const {
    const QPoint o = scrollOffset();
    return {unitAt(r.left() + o.x()), unitAt(r.top() + o.y()), unitAt(r.right() + o.x()) + 1,
            unitAt(r.bottom() + o.y()) + 1};
}

QPoint TFlowChartView::viewportPoint(TFcPoint canvasPoint) const {
    const QPoint o = scrollOffset();
    return {static_cast<int>(std::floor((canvasPoint.x + 0.5) * m_zoom)) - o.x(),
            static_cast<int>(std::floor((canvasPoint.y + 0.5) * m_zoom)) - o.y()};
}

TFcPoint TFlowChartView::canvasPoint(QPoint viewportPoint) const {
    const QPoint o = scrollOffset();
    return {unitAt(viewportPoint.x() + o.x()), unitAt(viewportPoint.y() + o.y())};
}

TFcPoint TFlowChartView::clientPoint(QPoint viewportPoint) const {
    return m_chart.canvasToClient(canvasPoint(viewportPoint));
}

void TFlowChartView::applyClientSize() {
    // Whole canvas units only, so that the last unit the limits let through is all on screen.
    // (The small allowance keeps 300 / (300 / 7.0) at 7.)
    const auto units = [this](int pixels) {
        return static_cast<int>(std::floor(pixels / m_zoom + 1e-6));
    };
    m_chart.setClientSize(units(viewport()->width()), units(viewport()->height()));
}

void TFlowChartView::setZoom(double factor, std::optional<QPoint> anchorViewportPoint) {
    if (std::isnan(factor))
        return;
    const double z = std::clamp(factor, kMinZoom, kMaxZoom);
    if (z == m_zoom)
        return;
    const QPoint a =
        anchorViewportPoint.value_or(QPoint(viewport()->width() / 2, viewport()->height() / 2));
    // The canvas point at the middle of the anchor's pixel, to a fraction of a unit; after the
    // change the same point should lie there again.
    const QPoint o = scrollOffset();
    const double cx = (a.x() + o.x() + 0.5) / m_zoom, cy = (a.y() + o.y() + 0.5) / m_zoom;
    m_zoom = z;
    m_zoomedPictures.clear();
    applyClientSize();
    m_chart.ScrollTo(static_cast<int>(std::lround(cx - (a.x() + 0.5) / z)),
                     static_cast<int>(std::lround(cy - (a.y() + 0.5) / z)));
    m_feedbackArea = dragFeedbackArea();
    syncScrollBars();
    viewport()->update();
    // Under the pointer now lies another place of the canvas, perhaps a selection mark.
    if (m_chart.Drag().kind == TFcDrag::None)
        updateCursor(viewport()->mapFromGlobal(QCursor::pos()));
    emit zoomChanged(m_zoom);
}

void TFlowChartView::zoomStep(int direction, std::optional<QPoint> anchor) {
    // Between two steps (after fitWidth) the next step is the nearer one in that direction.
    constexpr double kSame = 1e-9;
    double next = m_zoom;
    if (direction > 0) {
        const auto it = std::find_if(kZoomSteps.begin(), kZoomSteps.end(),
                                     [&](double step) { return step > m_zoom + kSame; });
        if (it != kZoomSteps.end())
            next = *it;
    } else {
        const auto it = std::find_if(kZoomSteps.rbegin(), kZoomSteps.rend(),
                                     [&](double step) { return step < m_zoom - kSame; });
        if (it != kZoomSteps.rend())
            next = *it;
    }
    setZoom(next, anchor);
}

void TFlowChartView::zoomIn() {
    zoomStep(+1, std::nullopt);
}

void TFlowChartView::zoomOut() {
    zoomStep(-1, std::nullopt);
}

void TFlowChartView::resetZoom() {
    setZoom(1.0);
}

void TFlowChartView::fitWidth() {
    const TFcRect extent = m_chart.Extent();
    if (extent.width() <= 0)
        return;
    int width = viewport()->width();
    // A vertical scroll bar that the fitted chart will need takes its width from the viewport;
    // without counting it, its arrival would bring a horizontal bar too.
    const QScrollBar* v = verticalScrollBar();
    const double fit = std::clamp(static_cast<double>(width) / extent.width(), kMinZoom, kMaxZoom);
    if (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && !v->isVisible() &&
        extent.height() * fit > viewport()->height())
        width -= v->sizeHint().width();
    setZoom(static_cast<double>(width) / extent.width(), QPoint(0, viewport()->height() / 2));
    m_chart.ScrollTo(m_chart.ScrollLimits().left, m_chart.ScrollPos().y);
}

// ---------------------------------------------------------------------------------------------
// Model notifications and scrolling

void TFlowChartView::fcInvalidate(const TFcRect& area) {
    TFcRect damaged = area;
    // An object's side label lies left of it and its mark right of it; both move with it.
    if (!m_sideLabels.empty())
        damaged.left -= kSideLabelWidth + kSideLabelGap;
    if (!m_marks.empty())
        damaged.right += kMarkGap + kMarkSize + 1;
    updateCanvasArea(damaged);
    // A change of geometry may have changed the extent the scroll bars cover.
    queueScrollBarSync();
}

void TFlowChartView::updateCanvasArea(const TFcRect& area) {
    TFcRect client = toViewport(area);
    if (m_zoom != 1.0)
        client = client.inflated(kZoomedDamageMargin);
    const TFcRect visible{0, 0, viewport()->width(), viewport()->height()};
    if (client.intersects(visible))
        viewport()->update(fcToQRect(client));
}

void TFlowChartView::fcSelectionChanged() {
    if (m_selectionQueued)
        return;
    m_selectionQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_selectionQueued = false;
            // A screen reader follows the selection: it is the focused item.
            if (QAccessible::isActive() && hasFocus()) {
                if (const TFcObject* selected = m_chart.SelectedObject();
                    selected && m_reading.indexOf && m_reading.indexOf(selected) >= 0) {
                    QAccessibleEvent focus(accessibleItem(*selected), QAccessible::Focus);
                    QAccessible::updateAccessibility(&focus);
                }
            }
            emit selectionChanged();
        },
        Qt::QueuedConnection);
}

void TFlowChartView::setReading(TFcReading reading) {
    m_reading = std::move(reading);
}

QAccessibleInterface* TFlowChartView::accessibleItem(const TFcObject& object) {
    if (const auto found = m_accessibleIds.find(&object); found != m_accessibleIds.end())
        return QAccessible::accessibleInterface(found->second);
    auto* item = new TFcAccessibleItem(*this, object);
    m_accessibleIds.emplace(&object, QAccessible::registerAccessibleInterface(item));
    return item;
}

QRect TFlowChartView::viewportRect(const TFcObject& object) const {
    return fcToQRect(toViewport(object.BoundsRect()));
}

void TFlowChartView::fcRemoving(const TFcObject& object) {
    if (const auto found = m_accessibleIds.find(&object); found != m_accessibleIds.end()) {
        QAccessible::deleteAccessibleInterface(found->second);
        m_accessibleIds.erase(found);
    }
    m_details.erase(&object);
    // The object's area is repainted by its removal; its label and its mark beside it are not.
    if (m_sideLabels.erase(&object) > 0)
        updateCanvasArea(sideLabelRect(object));
    if (m_marks.erase(&object) > 0)
        updateCanvasArea(markRect(object).inflated(1));
}

// ---------------------------------------------------------------------------------------------
// Marks and side labels

TFcRect TFlowChartView::markRect(const TFcObject& object) {
    const TFcRect b = object.BoundsRect();
    const int left = b.right + kMarkGap;
    const int top = b.top + (b.height() - kMarkSize) / 2;
    return {left, top, left + kMarkSize, top + kMarkSize};
}

TFcRect TFlowChartView::sideLabelRect(const TFcObject& object) {
    const TFcRect b = object.BoundsRect();
    const int right = b.left - kSideLabelGap;
    return {right - kSideLabelWidth, b.top, right, b.bottom};
}

void TFlowChartView::setMarks(TFcMarks marks) {
    if (marks == m_marks)
        return;
    m_marks = std::move(marks);
    viewport()->update();
}

void TFlowChartView::setSideLabels(TFcSideLabels labels) {
    if (labels == m_sideLabels)
        return;
    m_sideLabels = std::move(labels);
    viewport()->update();
}

QRect TFlowChartView::markDot(const TFcObject& object) const {
    return fcToQRect(atLeast(toViewport(markRect(object)), kMarkMinPixels));
}

void TFlowChartView::setDetailSource(TFcDetailSource source) {
    m_detailSource = std::move(source);
    m_details.clear();
    viewport()->update();
}

const TFcDetail& TFlowChartView::detailOf(const TFcObject& object) const {
    static const TFcDetail none;
    if (!m_detailSource)
        return none;
    const auto found = m_details.find(&object);
    if (found != m_details.end() && found->second.kind == object.Kind &&
        found->second.payload == object.Payload)
        return found->second.detail;
    // Only painted objects are asked for, so the cache holds about a screenful; objects that
    // went leave their entries until it is emptied.
    if (m_details.size() >= kDetailCacheSize)
        m_details.clear();
    CachedDetail& entry = m_details[&object];
    entry = {object.Kind, object.Payload, m_detailSource(object)};
    return entry.detail;
}

QString TFlowChartView::toolTipAt(QPoint viewportPoint) const {
    const TFcHit hit = m_chart.HitTest(canvasPoint(viewportPoint));
    if (const TFcObject* o = hit.object ? hit.object : hit.nearObject) {
        const QString& tip = detailOf(*o).tip;
        if (const auto found = m_marks.find(o); found != m_marks.end())
            return tip.isEmpty() ? found->second.message : found->second.message + "\n\n" + tip;
        if (hit.object && !tip.isEmpty())
            return tip;
    }
    // The dot itself, beside its object, as large as it is painted.
    for (const auto& [object, mark] : m_marks)
        if (markDot(*object).adjusted(-1, -1, 1, 1).contains(viewportPoint))
            return mark.message;
    return {};
}

bool TFlowChartView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Hovering a marked block shows what is wrong with it.
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TFlowChartView::fcScrolled() {
    viewport()->update();
    syncScrollBars();
}

void TFlowChartView::queueScrollBarSync() {
    if (m_syncQueued)
        return;
    m_syncQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_syncQueued = false;
            syncScrollBars();
        },
        Qt::QueuedConnection);
}

void TFlowChartView::syncScrollBars() {
    // The bars count zoomed pixels: their values are the zoomed scroll position.
    const TFcRect lim = m_chart.ScrollLimits();
    const QPoint pos = scrollOffset();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    // The limits may have pinned the position: what is on screen was painted elsewhere.
    if (h->value() != pos.x() || v->value() != pos.y())
        viewport()->update();
    m_syncingBars = true;
    h->setRange(zoomed(lim.left), zoomed(lim.right));
    h->setPageStep(std::max(1, viewport()->width()));
    h->setValue(pos.x());
    v->setRange(zoomed(lim.top), zoomed(lim.bottom));
    v->setPageStep(std::max(1, viewport()->height()));
    v->setValue(pos.y());
    m_syncingBars = false;
}

void TFlowChartView::scrollContentsBy(int, int) {
    if (m_syncingBars)
        return;
    // The user moved a scroll bar: the model's position follows (and reports back). Zoomed in,
    // a canvas unit is several pixels: the bars settle on the unit's pixel.
    const auto unitNear = [this](int pixel) {
        return static_cast<int>(std::lround(pixel / m_zoom));
    };
    m_chart.ScrollTo(unitNear(horizontalScrollBar()->value()),
                     unitNear(verticalScrollBar()->value()));
    syncScrollBars();
}

void TFlowChartView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    applyClientSize();
    syncScrollBars();
}

// ---------------------------------------------------------------------------------------------
// Mouse and keyboard: the model decides, the view shows the drag feedback.

QPoint TFlowChartView::clampToViewport(QPoint p) const {
    // The pointer stays confined to the canvas while a drag lasts.
    return {std::clamp(p.x(), 0, std::max(0, viewport()->width() - 1)),
            std::clamp(p.y(), 0, std::max(0, viewport()->height() - 1))};
}

TFcRect TFlowChartView::dragFeedbackArea() const {
    // In zoomed coordinates (the viewport's without the scroll offset): the outlines and the
    // frame are drawn in pixels around the zoomed rectangles.
    const TFcDrag& d = m_chart.Drag();
    const QPoint o = scrollOffset();
    TFcRect area;
    switch (d.kind) {
    case TFcDrag::Moving:
    case TFcDrag::Resizing:
        for (const TFcRect& r : d.outlines)
            area = area.united(atLeastOnePixel(toViewport(r)).inflated(1));
        if (!d.target.isEmpty())
            area = area.united(toViewport(d.target).inflated(kDropTargetPen));
        break;
    case TFcDrag::Connecting: {
        const QPoint a = viewportPoint(d.lineFrom), b = viewportPoint(d.lineTo);
        const std::array<TFcPoint, 2> ends{{{a.x(), a.y()}, {b.x(), b.y()}}};
        area = fcPointsBounds(ends).inflated(1);
        break;
    }
    default:
        break;
    }
    return area.isEmpty() ? area : area.translated(o.x(), o.y());
}

void TFlowChartView::refreshDragFeedback() {
    const TFcRect now = dragFeedbackArea();
    if (now == m_feedbackArea)
        return;
    const QPoint o = scrollOffset();
    if (!m_feedbackArea.isEmpty())
        viewport()->update(fcToQRect(m_feedbackArea.translated(-o.x(), -o.y())));
    if (!now.isEmpty())
        viewport()->update(fcToQRect(now.translated(-o.x(), -o.y())));
    m_feedbackArea = now;
}

void TFlowChartView::cancelDrag() {
    if (m_chart.Drag().kind == TFcDrag::None)
        return;
    m_chart.CancelDrag();
    refreshDragFeedback();
}

void TFlowChartView::updateCursor(QPoint viewportPoint) {
    // The pointer over a mark of the selected object says which way a drag would resize it.
    static const Qt::CursorShape shapes[8] = {
        Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
        Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor};
    int mark = -1;
    if (const TFcObject* s = m_chart.SelectedObject();
        s && s->Visible() && (m_chart.Options & fcoCanDrag) && (m_chart.Options & fcoCanResize) &&
        showsSelection())
        mark = fcSelectionMarkAt(s->BoundsRect(), canvasPoint(viewportPoint));
    if (mark >= 0)
        viewport()->setCursor(shapes[mark]);
    else
        viewport()->unsetCursor();
}

void TFlowChartView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return; // other buttons only give the canvas the focus
    m_pressPoint = event->position().toPoint();
    m_chart.MouseDown(clientPoint(m_pressPoint), fcShiftFromQt(event->modifiers()));
    refreshDragFeedback();
}

void TFlowChartView::mouseMoveEvent(QMouseEvent* event) {
    if (m_chart.Drag().kind == TFcDrag::None) {
        updateCursor(event->position().toPoint());
        return;
    }
    if (!(event->buttons() & Qt::LeftButton)) {
        // The release went elsewhere (the window lost the mouse): the drag is over, undone.
        cancelDrag();
        return;
    }
    const QPoint p = clampToViewport(event->position().toPoint());
    // Zoomed out, a pixel of a shaky hand is several canvas units: still a click.
    if (m_chart.Drag().kind == TFcDrag::Pressed &&
        (p - m_pressPoint).manhattanLength() <= kDragThresholdPixels)
        return;
    m_chart.MouseMove(clientPoint(p));
    refreshDragFeedback();
}

void TFlowChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    QPoint p = clampToViewport(event->position().toPoint());
    if (m_chart.Drag().kind == TFcDrag::Pressed &&
        (p - m_pressPoint).manhattanLength() <= kDragThresholdPixels)
        p = m_pressPoint;
    m_chart.MouseUp(clientPoint(p));
    refreshDragFeedback();
}

void TFlowChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_chart.DblClick();
    emit dblClick();
}

void TFlowChartView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        // The wheel alone scrolls.
        m_wheelZoomDelta = 0;
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // Ctrl+wheel: one zoom step a notch, around the pointer. A fine-grained wheel (a touch
    // pad) adds up its small turns to notches.
    m_wheelZoomDelta += event->angleDelta().y();
    const QPoint anchor = event->position().toPoint();
    for (; m_wheelZoomDelta >= kWheelNotch; m_wheelZoomDelta -= kWheelNotch)
        zoomStep(+1, anchor);
    for (; m_wheelZoomDelta <= -kWheelNotch; m_wheelZoomDelta += kWheelNotch)
        zoomStep(-1, anchor);
    event->accept();
}

void TFlowChartView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_chart.Drag().kind != TFcDrag::None) {
        // Escape drops a drag in progress: nothing moves, resizes or connects.
        cancelDrag();
        event->accept();
        return;
    }
    TFcKey key;
    if (!fcKeyFromQt(event->key(), key)) {
        event->ignore();
        return;
    }
    // Keys the canvas knows are its own even when they do nothing here (Delete, an arrow
    // without a selection): they never scroll the area nor move the focus.
    m_chart.KeyDown(key, fcShiftFromQt(event->modifiers()));
    event->accept();
}

void TFlowChartView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (m_chart.Options & fcoHideSelection)
        viewport()->update();
}

void TFlowChartView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    cancelDrag(); // a drag never outlives the focus (another window took over)
    if (m_chart.Options & fcoHideSelection)
        viewport()->update();
}

bool TFlowChartView::showsSelection() const {
    return !(m_chart.Options & fcoHideSelection) || hasFocus();
}

// ---------------------------------------------------------------------------------------------
// Painting

const QFont& TFlowChartView::qtFont(const TFcFont& font) {
    auto key = std::make_tuple(font.Face, font.Height, font.Bold);
    auto it = m_fonts.find(key);
    if (it == m_fonts.end()) {
        QFont f(platform::toQString(font.Face));
        f.setPixelSize(std::max(1, font.Height));
        f.setBold(font.Bold);
        it = m_fonts.emplace(std::move(key), f).first;
    }
    return it->second;
}

void TFlowChartView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    paintArea(p, event->rect(), fcToQColor(m_chart.Color), true);
}

void TFlowChartView::renderArea(QPainter& p, const TFcRect& area, const QColor& background) {
    // Painted as the screen paints, at 100 % from the area's corner instead of the scroll
    // position; restored before anything else can paint.
    const double zoom = m_zoom;
    m_zoom = 1.0;
    m_renderOrigin = QPoint(area.left, area.top);
    const QRect target(0, 0, area.width(), area.height());
    p.save();
    p.setClipRect(target, Qt::IntersectClip);
    paintArea(p, target, background.isValid() ? background : fcToQColor(m_chart.Color), false);
    p.restore();
    m_renderOrigin.reset();
    m_zoom = zoom;
}

void TFlowChartView::paintArea(QPainter& p, const QRect& dirty, const QColor& background,
                               bool onScreen) {
    // Shapes, lines and pictures are painted in viewport pixels from the zoomed edges of their
    // canvas rectangles; text through the zoomed painter (see paintCaption).
    const TFcRect area = toCanvas(dirty);

    // Opaque objects are painted over the background from the first to the topmost, which
    // leaves the background exactly where no covering shape lies.
    p.fillRect(dirty, background);
    for (const TFcObject* o : m_chart.ObjectsIn(area))
        paintObject(p, *o, dirty);
    if (onScreen) {
        // Beside the objects: the marks right of them, the labels left of them.
        for (const auto& [object, mark] : m_marks) {
            if (!object->Visible())
                continue;
            const QRect dot = markDot(*object);
            if (dot.adjusted(-1, -1, 1, 1).intersects(dirty))
                paintMark(p, mark, dot);
        }
        if (!m_sideLabels.empty())
            paintSideLabels(p, area);
    }

    for (const TFcConnection& c : m_chart.Connections()) {
        if (c.BoundsRect().inflated(c.Pen().Width).intersects(area))
            paintConnection(p, c);
    }
    if (!onScreen)
        return;

    const QColor markColor(Qt::black);
    if (!showsSelection()) {
        paintDragFeedback(p);
        return;
    }
    const auto paintSelectionMark = [&](TFcPoint centre) {
        p.fillRect(
            fcToQRect(atLeast(toViewport(fcSelectionMarkRect(centre)), kSelectionMarkMinPixels)),
            markColor);
    };
    for (const TFcObject* o : m_chart.SelectedObjects()) {
        if (!o->Visible())
            continue;
        for (const TFcPoint& c : fcSelectionMarks(o->BoundsRect()))
            paintSelectionMark(c);
    }
    for (const TFcConnection* c : m_chart.SelectedConnections()) {
        for (const TFcPoint& pt : c->Points())
            paintSelectionMark(pt);
    }

    paintDragFeedback(p);
}

void TFlowChartView::paintObject(QPainter& p, const TFcObject& o, const QRect& dirty) {
    if (o.Shape() != ShapeNone)
        paintShape(p, o, dirty);
    paintPicture(p, o);
    paintCaption(p, o);
}

void TFlowChartView::paintShape(QPainter& p, const TFcObject& o, const QRect& dirty) {
    // The shape of the zoomed bounds, drawn as at 100 % with the outline as many pixels wide
    // as it is zoomed (at least one): the same rows of spans at every zoom, never stretched.
    const TFcRect b = toViewport(o.BoundsRect());
    if (b.isEmpty())
        return;
    const QColor fill = fcToQColor(o.FillColor());
    const QColor outline = fcToQColor(o.OutlineColor());
    const int w = o.OutlineWidth() > 0
                      ? std::max(1, static_cast<int>(std::lround(o.OutlineWidth() * m_zoom)))
                      : 0;
    const TFcSize corner = cornerOf(o.Shape(), b);

    if (corner.width <= 0 || corner.height <= 0) {
        if (!o.Transparent())
            p.fillRect(fcToQRect(b), fill);
        if (o.Shape() == ShapeRectangle && o.EdgeFlags() != 0) {
            paintBevel(p, b, o.EdgeFlags(), o.EdgeSides());
        } else if (w > 0) {
            if (2 * w >= b.width() || 2 * w >= b.height()) {
                p.fillRect(fcToQRect(b), outline);
            } else {
                p.fillRect(QRect(b.left, b.top, b.width(), w), outline);
                p.fillRect(QRect(b.left, b.bottom - w, b.width(), w), outline);
                p.fillRect(QRect(b.left, b.top + w, w, b.height() - 2 * w), outline);
                p.fillRect(QRect(b.right - w, b.top + w, w, b.height() - 2 * w), outline);
            }
        }
        return;
    }

    // Rounded shapes row by row, with the same spans the hit test uses. The ring's inner edge
    // is the shape shrunk by the outline width with the corner sizes of the full object.
    const TFcRect inner = b.inflated(-w);
    const int y0 = std::max(b.top, dirty.top()), y1 = std::min(b.bottom, dirty.bottom() + 1);
    for (int y = y0; y < y1; ++y) {
        const TFcSpan outer = fcRoundRectSpan(b, corner.width, corner.height, y);
        if (outer.isEmpty())
            continue;
        if (!o.Transparent())
            fillSpan(p, y, outer.x0, outer.x1, fill);
        if (w <= 0)
            continue;
        const TFcSpan in = fcRoundRectSpan(inner, corner.width, corner.height, y);
        if (in.isEmpty()) {
            fillSpan(p, y, outer.x0, outer.x1, outline);
        } else {
            fillSpan(p, y, outer.x0, in.x0, outline);
            fillSpan(p, y, in.x1, outer.x1, outline);
        }
    }
}

void TFlowChartView::paintBevel(QPainter& p, const TFcRect& b, int flags, int sides) {
    // The two-line 3-D frame: bits 1 and 2 raise or sink the outer line, 4 and 8 the inner.
    // Each line is a canvas unit wide, zoomed (at least a pixel).
    const int t = std::max(1, static_cast<int>(std::lround(m_zoom)));
    const QPalette& pal = palette();
    struct Line {
        int raisedBit, sunkenBit;
        QColor raisedTL, raisedBR, sunkenTL, sunkenBR;
    };
    const Line lines[2] = {
        {1, 2, pal.color(QPalette::Midlight), pal.color(QPalette::Shadow),
         pal.color(QPalette::Dark), pal.color(QPalette::Light)},
        {4, 8, pal.color(QPalette::Light), pal.color(QPalette::Dark), pal.color(QPalette::Shadow),
         pal.color(QPalette::Midlight)},
    };
    for (int i = 0; i < 2; ++i) {
        const Line& line = lines[i];
        QColor tl, br;
        if (flags & line.raisedBit) {
            tl = line.raisedTL;
            br = line.raisedBR;
        } else if (flags & line.sunkenBit) {
            tl = line.sunkenTL;
            br = line.sunkenBR;
        } else {
            continue;
        }
        const TFcRect r = b.inflated(-i * t);
        if (r.isEmpty())
            break;
        const int w = r.width(), h = r.height();
        // Top and left first; bottom and right overwrite the corners they share.
        if (sides & 2)
            p.fillRect(QRect(r.left, r.top, w, t), tl);
        if (sides & 1)
            p.fillRect(QRect(r.left, r.top, t, h), tl);
        if (sides & 4)
            p.fillRect(QRect(r.right - t, r.top, t, h), br);
        if (sides & 8)
            p.fillRect(QRect(r.left, r.bottom - t, w, t), br);
    }
}

const QImage& TFlowChartView::zoomedPicture(int index, QSize size) {
    const auto key = std::make_tuple(index, size.width(), size.height());
    if (const auto found = m_zoomedPictures.find(key); found != m_zoomedPictures.end())
        return found->second;
    // Pictures take a size or two per zoom (rounding); a long run of zooms starts afresh.
    constexpr std::size_t kMaxKept = 64;
    if (m_zoomedPictures.size() >= kMaxKept)
        m_zoomedPictures.clear();
    QImage image;
    if (QSvgRenderer* source = m_pictureSources[index].get()) {
        // Drawn from its file at this size: as sharp as at 100 %.
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        source->render(&painter);
    } else {
        image = m_pictures[index].scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return m_zoomedPictures.emplace(key, std::move(image)).first->second;
}

void TFlowChartView::paintPicture(QPainter& p, const TFcObject& o) {
    const int index = o.ImageIndex();
    if (index < 0 || index >= m_pictures.size())
        return;
    const QImage& image = m_pictures[index];
    if (image.isNull())
        return;
    // A picture that would be cut is not drawn at all (at 100 %: zoomed, it fits as it does).
    const TFcPlacement place =
        fcPlaceBox(o.InnerArea(), {image.width(), image.height()}, o.ImageHorz(), o.ImageVert());
    if (!place.fits)
        return;
    const TFcRect r = toViewport(place.rect);
    if (m_zoom == 1.0)
        p.drawImage(QPoint(r.left, r.top), image);
    else if (!r.isEmpty())
        p.drawImage(QPoint(r.left, r.top), zoomedPicture(index, {r.width(), r.height()}));
}

// The caption and value fonts of a block that shows a value: the caption as large as it may
// be, down to four fifths of its size, with a value line under it in a plain font about two
// thirds its size; nothing when even the smallest pair does not fit the height.
std::optional<std::pair<TFcFont, TFcFont>> TFlowChartView::valueFonts(const TFcFont& caption,
                                                                      int height) {
    TFcFont small = caption;
    small.Bold = false;
    for (int size = caption.Height; size * 5 >= caption.Height * 4 && size > 0; --size) {
        TFcFont large = caption;
        large.Height = size;
        small.Height = std::max(kValueMinPixels, (size * 2 + 1) / 3);
        if (QFontMetrics(qtFont(large)).height() + QFontMetrics(qtFont(small)).height() <= height)
            return std::make_pair(large, small);
    }
    return std::nullopt;
}

QString fcElideLongWords(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines = text.split('\n');
    bool elided = false;
    for (QString& line : lines) {
        const QStringList words = line.split(' ', Qt::SkipEmptyParts);
        const bool tooWide = std::any_of(words.begin(), words.end(), [&](const QString& w) {
            return metrics.horizontalAdvance(w) > width;
        });
        if (tooWide) {
            line = metrics.elidedText(line, Qt::ElideRight, width);
            elided = true;
        }
    }
    return elided ? lines.join('\n') : text;
}

void TFlowChartView::paintCaption(QPainter& p, const TFcObject& o) {
    TFcRect area = o.InnerArea();
    if (area.isEmpty())
        return;
    // The caption is laid out in canvas units with its own font and drawn through the zoomed
    // painter: the glyphs are drawn at the zoomed size, and the lines break where they break at
    // 100 %, whatever the zoom.
    TFcFont captionFont = o.Font();
    // A value goes on a line of its own under the caption, inside the block's height.
    const QString& value = detailOf(o).value;
    std::optional<std::pair<TFcFont, TFcFont>> withValue;
    if (!value.isEmpty())
        withValue = valueFonts(captionFont, area.height());
    TFcRect valueArea;
    if (withValue) {
        captionFont = withValue->first;
        const QFontMetrics valueMetrics(qtFont(withValue->second));
        valueArea = {area.left, area.bottom - valueMetrics.height(), area.right, area.bottom};
        area.bottom = valueArea.top;
    }
    p.save();
    p.setTransform(canvasTransform(), true); // on top of a page's own placement
    p.setPen(fcToQColor(o.Font().Color));
    if (!o.Text().empty())
        paintCaptionText(p, o, qtFont(captionFont), area);
    if (withValue) {
        const QFont& font = qtFont(withValue->second);
        p.setFont(font);
        const QString shown =
            QFontMetrics(font).elidedText(value, Qt::ElideRight, valueArea.width());
        p.drawText(fcToQRect(valueArea), horzAlignment(o.TextHorz()) | Qt::AlignVCenter, shown);
    }
    p.restore();
}

void TFlowChartView::paintCaptionText(QPainter& p, const TFcObject& o, const QFont& font,
                                      const TFcRect& area) {
    const int flags = Qt::TextWordWrap | Qt::TextExpandTabs | horzAlignment(o.TextHorz());
    const QFontMetrics metrics(font);
    const auto heightOf = [&](const QString& text) {
        return metrics.boundingRect(QRect(0, 0, area.width(), kMeasureHeight), flags, text)
            .height();
    };
    // A caption taller than its block shows only its first lines. Of a long caption only a
    // beginning is converted and laid out, one long enough to run a line past the block: the
    // lines that show are then the same as the whole text's, and a repaint costs the same
    // for any length (a hand-edited file may hold megabytes in one name).
    QString text;
    bool overflows = false;
    const std::string& bytes = o.Text();
    for (std::size_t length = kCaptionProbe; !overflows; length *= 4) {
        if (length >= bytes.size()) {
            text = platform::toQString(bytes);
            break;
        }
        text = platform::toQString(bytes.substr(0, fcCaptionCut(bytes, length)));
        overflows = heightOf(text) > area.height() + 2 * metrics.lineSpacing();
    }
    if (QString shown = fcElideLongWords(text, metrics, area.width()); shown != text) {
        text = std::move(shown);
        overflows = heightOf(text) > area.height() + 2 * metrics.lineSpacing();
    }
    int top = area.top;
    if (o.TextVert() != 0 && !overflows)
        top = fcCaptionTop(area, heightOf(text), o.TextVert());
    p.setFont(font);
    // The box ends where the inner area ends; drawText clips what does not fit into it.
    p.drawText(QRect(area.left, top, area.width(), area.bottom - top), flags | Qt::AlignTop, text);
}

QTransform TFlowChartView::canvasTransform() const {
    const QPoint o = scrollOffset();
    return QTransform(m_zoom, 0, 0, m_zoom, -o.x(), -o.y());
}

void TFlowChartView::paintConnection(QPainter& p, const TFcConnection& c) {
    const TFcPen& pen = c.Pen();
    const QColor color = fcToQColor(pen.Color);
    const int width = std::max(1, pen.Width);
    const auto& pts = c.Points();
    if (m_zoom == 1.0) {
        const QPoint o = scrollOffset();
        p.setPen(QPen(color, width));
        for (std::size_t i = 1; i < pts.size(); ++i)
            p.drawLine(QPoint(pts[i - 1].x, pts[i - 1].y) - o, QPoint(pts[i].x, pts[i].y) - o);
        return;
    }
    // Zoomed, an upright or level segment covers the zoomed pixels it covers at 100 % (at
    // least one wide), so it lines up with the shapes' zoomed edges; a slanted one is a line
    // of the zoomed width between the middles of its end units.
    p.setPen(QPen(color, std::max(1, static_cast<int>(std::lround(width * m_zoom)))));
    for (std::size_t i = 1; i < pts.size(); ++i) {
        const TFcPoint a = pts[i - 1], b = pts[i];
        if (a.x == b.x || a.y == b.y)
            p.fillRect(fcToQRect(atLeastOnePixel(toViewport(penStroke(a, b, width)))), color);
        else
            p.drawLine(viewportPoint(a), viewportPoint(b));
    }
}

void TFlowChartView::paintMark(QPainter& p, const TFcMark& mark, const QRect& dot) {
    const QColor fill =
        mark.level == TFcMark::Level::Error ? QColor(220, 30, 30) : QColor(250, 200, 0);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(dot.left() + 0.5, dot.top() + 0.5, dot.width() - 1, dot.height() - 1));
    p.restore();
}

void TFlowChartView::paintSideLabels(QPainter& p, const TFcRect& area) {
    p.save();
    p.setTransform(canvasTransform(), true); // on top of a page's own placement
    p.setFont(m_sideLabelFont);
    p.setPen(QColor(0, 0, 140));
    for (const auto& [object, text] : m_sideLabels) {
        const TFcRect r = sideLabelRect(*object);
        if (r.intersects(area))
            p.drawText(fcToQRect(r), Qt::AlignRight | Qt::AlignVCenter, text);
    }
    p.restore();
}

void TFlowChartView::paintDragFeedback(QPainter& p) {
    // Drawn in viewport pixels around the zoomed rectangles: a frame of a pixel, a target of
    // kDropTargetPen pixels at any zoom.
    const TFcDrag& d = m_chart.Drag();
    if (d.kind != TFcDrag::Moving && d.kind != TFcDrag::Resizing && d.kind != TFcDrag::Connecting)
        return;
    p.save();
    if (!d.target.isEmpty()) {
        // Where the dragged blocks would land: a bold frame in the selection colour.
        const TFcRect t = toViewport(d.target);
        p.setPen(QPen(palette().color(QPalette::Highlight), kDropTargetPen));
        p.setBrush(Qt::NoBrush);
        const int half = kDropTargetPen / 2;
        p.drawRect(QRect(t.left - half, t.top - half, t.width() + half, t.height() + half));
    }
    // White under "difference" inverts what lies below: the outline shows on any colour.
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    if (d.kind == TFcDrag::Connecting) {
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(viewportPoint(d.lineFrom), viewportPoint(d.lineTo));
    } else {
        for (const TFcRect& r : d.outlines)
            fillFrame(p, atLeastOnePixel(toViewport(r)), Qt::white);
    }
    p.restore();
}
