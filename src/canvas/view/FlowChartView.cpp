#include "canvas/view/FlowChartView.h"

#include "platform/text/CodePage.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QToolTip>
#include <algorithm>

namespace {

// One click of a scroll bar arrow.
constexpr int kScrollLine = 16;
// The text of a caption is measured in a box this high, so that no wrapped line is lost.
constexpr int kMeasureHeight = 1 << 20;
// The first length of a caption's beginning that is laid out alone (see paintCaption).
constexpr std::size_t kCaptionProbe = 2048;
// A mark's dot: its size and its gap to the object's right side.
constexpr int kMarkSize = 10;
constexpr int kMarkGap = 5;
// Width of the frame that marks where dragged blocks would land.
constexpr int kDropTargetPen = 3;
// The strip left of an object that holds its side label, and the gap to the object.
constexpr int kSideLabelWidth = 62;
constexpr int kSideLabelGap = 4;

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
}

TFlowChartView::~TFlowChartView() {
    // The model dies after this body; nothing of its teardown may reach a half-destroyed view.
    m_chart.setListener(nullptr);
}

void TFlowChartView::setPictures(const QList<QImage>& pictures) {
    m_pictures.clear();
    m_chart.ImageSizes.clear();
    for (const QImage& image : pictures) {
        m_pictures.push_back(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        m_chart.ImageSizes.push_back({image.width(), image.height()});
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
        return image;
    }
    QImage image(fileName);
    if (image.isNull())
        return {};
    if (!size.isEmpty() && image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPoint TFlowChartView::viewportPoint(TFcPoint canvasPoint) const {
    const TFcPoint c = m_chart.canvasToClient(canvasPoint);
    return {c.x, c.y};
}

TFcPoint TFlowChartView::canvasPoint(QPoint viewportPoint) const {
    return m_chart.clientToCanvas({viewportPoint.x(), viewportPoint.y()});
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
    const TFcPoint s = m_chart.ScrollPos();
    const TFcRect client = area.translated(-s.x, -s.y);
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
            emit selectionChanged();
        },
        Qt::QueuedConnection);
}

void TFlowChartView::fcRemoving(const TFcObject& object) {
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

QString TFlowChartView::toolTipAt(QPoint viewportPoint) const {
    const TFcPoint p = canvasPoint(viewportPoint);
    const TFcHit hit = m_chart.HitTest(p);
    if (const TFcObject* o = hit.object ? hit.object : hit.nearObject)
        if (const auto found = m_marks.find(o); found != m_marks.end())
            return found->second.message;
    // The dot itself, beside its object.
    for (const auto& [object, mark] : m_marks)
        if (markRect(*object).inflated(1).contains(p))
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
    const TFcRect lim = m_chart.ScrollLimits();
    const TFcPoint pos = m_chart.ScrollPos();
    const TFcSize client = m_chart.ClientSize();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    // The limits may have pinned the position: what is on screen was painted elsewhere.
    if (h->value() != pos.x || v->value() != pos.y)
        viewport()->update();
    m_syncingBars = true;
    h->setRange(lim.left, lim.right);
    h->setPageStep(std::max(1, client.width));
    h->setValue(pos.x);
    v->setRange(lim.top, lim.bottom);
    v->setPageStep(std::max(1, client.height));
    v->setValue(pos.y);
    m_syncingBars = false;
}

void TFlowChartView::scrollContentsBy(int, int) {
    if (m_syncingBars)
        return;
    // The user moved a scroll bar: the model's position follows (and reports back).
    m_chart.ScrollTo(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void TFlowChartView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_chart.setClientSize(viewport()->width(), viewport()->height());
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
    const TFcDrag& d = m_chart.Drag();
    TFcRect area;
    switch (d.kind) {
    case TFcDrag::Moving:
    case TFcDrag::Resizing:
        for (const TFcRect& r : d.outlines)
            area = area.united(r.inflated(1));
        if (!d.target.isEmpty())
            area = area.united(d.target.inflated(kDropTargetPen));
        break;
    case TFcDrag::Connecting:
        area = fcPointsBounds({d.lineFrom, d.lineTo}).inflated(1);
        break;
    default:
        break;
    }
    return area;
}

void TFlowChartView::refreshDragFeedback() {
    const TFcRect now = dragFeedbackArea();
    if (now == m_feedbackArea)
        return;
    const TFcPoint s = m_chart.ScrollPos();
    if (!m_feedbackArea.isEmpty())
        viewport()->update(fcToQRect(m_feedbackArea.translated(-s.x, -s.y)));
    if (!now.isEmpty())
        viewport()->update(fcToQRect(now.translated(-s.x, -s.y)));
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
    const QPoint p = event->position().toPoint();
    m_chart.MouseDown({p.x(), p.y()}, fcShiftFromQt(event->modifiers()));
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
    m_chart.MouseMove({p.x(), p.y()});
    refreshDragFeedback();
}

void TFlowChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = clampToViewport(event->position().toPoint());
    m_chart.MouseUp({p.x(), p.y()});
    refreshDragFeedback();
}

void TFlowChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_chart.DblClick();
    emit dblClick();
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
    const TFcPoint s = m_chart.ScrollPos();
    p.translate(-s.x, -s.y);
    const TFcRect area = fcFromQRect(event->rect()).translated(s.x, s.y);

    // Opaque objects are painted over the background from the first to the topmost, which
    // leaves the background exactly where no covering shape lies.
    p.fillRect(fcToQRect(area), fcToQColor(m_chart.Color));
    for (const TFcObject* o : m_chart.ObjectsIn(area))
        paintObject(p, *o, area);
    // Beside the objects: the marks right of them, the labels left of them.
    for (const auto& [object, mark] : m_marks)
        if (object->Visible() && markRect(*object).inflated(1).intersects(area))
            paintMark(p, *object, mark);
    if (!m_sideLabels.empty())
        paintSideLabels(p, area);

    for (const auto& c : m_chart.Connections()) {
        const TFcPen& pen = c->Pen();
        if (!c->BoundsRect().inflated(pen.Width).intersects(area))
            continue;
        p.setPen(QPen(fcToQColor(pen.Color), std::max(1, pen.Width)));
        const auto& pts = c->Points();
        for (std::size_t i = 1; i < pts.size(); ++i)
            p.drawLine(QPoint(pts[i - 1].x, pts[i - 1].y), QPoint(pts[i].x, pts[i].y));
    }

    const QColor markColor(Qt::black);
    if (!showsSelection()) {
        paintDragFeedback(p);
        return;
    }
    for (const TFcObject* o : m_chart.SelectedObjects()) {
        if (!o->Visible())
            continue;
        for (const TFcPoint& c : fcSelectionMarks(o->BoundsRect()))
            p.fillRect(fcToQRect(fcSelectionMarkRect(c)), markColor);
    }
    for (const TFcConnection* c : m_chart.SelectedConnections()) {
        for (const TFcPoint& pt : c->Points())
            p.fillRect(fcToQRect(fcSelectionMarkRect(pt)), markColor);
    }

    paintDragFeedback(p);
}

void TFlowChartView::paintObject(QPainter& p, const TFcObject& o, const TFcRect& area) {
    if (o.Shape() != ShapeNone)
        paintShape(p, o, area);
    paintPicture(p, o);
    paintCaption(p, o);
}

void TFlowChartView::paintShape(QPainter& p, const TFcObject& o, const TFcRect& area) {
    const TFcRect b = o.BoundsRect();
    if (b.isEmpty())
        return;
    const QColor fill = fcToQColor(o.FillColor());
    const QColor outline = fcToQColor(o.OutlineColor());
    const int w = o.OutlineWidth();
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
    const int y0 = std::max(b.top, area.top), y1 = std::min(b.bottom, area.bottom);
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
        const TFcRect r = b.inflated(-i);
        if (r.isEmpty())
            break;
        const int w = r.width(), h = r.height();
        // Top and left first; bottom and right overwrite the corners they share.
        if (sides & 2)
            p.fillRect(QRect(r.left, r.top, w, 1), tl);
        if (sides & 1)
            p.fillRect(QRect(r.left, r.top, 1, h), tl);
        if (sides & 4)
            p.fillRect(QRect(r.right - 1, r.top, 1, h), br);
        if (sides & 8)
            p.fillRect(QRect(r.left, r.bottom - 1, w, 1), br);
    }
}

void TFlowChartView::paintPicture(QPainter& p, const TFcObject& o) {
    const int index = o.ImageIndex();
    if (index < 0 || index >= m_pictures.size())
        return;
    const QImage& image = m_pictures[index];
    if (image.isNull())
        return;
    // A picture that would be cut is not drawn at all.
    const TFcPlacement place =
        fcPlaceBox(o.InnerArea(), {image.width(), image.height()}, o.ImageHorz(), o.ImageVert());
    if (place.fits)
        p.drawImage(QPoint(place.rect.left, place.rect.top), image);
}

void TFlowChartView::paintCaption(QPainter& p, const TFcObject& o) {
    if (o.Text().empty())
        return;
    const TFcRect area = o.InnerArea();
    if (area.isEmpty())
        return;
    const QFont& font = qtFont(o.Font());
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
    int top = area.top;
    if (o.TextVert() != 0 && !overflows)
        top = fcCaptionTop(area, heightOf(text), o.TextVert());
    p.setFont(font);
    p.setPen(fcToQColor(o.Font().Color));
    // The box ends where the inner area ends; drawText clips what does not fit into it.
    p.drawText(QRect(area.left, top, area.width(), area.bottom - top), flags | Qt::AlignTop, text);
}

void TFlowChartView::paintMark(QPainter& p, const TFcObject& o, const TFcMark& mark) {
    const TFcRect r = markRect(o);
    const QColor fill =
        mark.level == TFcMark::Level::Error ? QColor(220, 30, 30) : QColor(250, 200, 0);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1));
    p.restore();
}

void TFlowChartView::paintSideLabels(QPainter& p, const TFcRect& area) {
    p.save();
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
    const TFcDrag& d = m_chart.Drag();
    if (d.kind != TFcDrag::Moving && d.kind != TFcDrag::Resizing && d.kind != TFcDrag::Connecting)
        return;
    p.save();
    if (!d.target.isEmpty()) {
        // Where the dragged blocks would land: a bold frame in the selection colour.
        p.setPen(QPen(palette().color(QPalette::Highlight), kDropTargetPen));
        p.setBrush(Qt::NoBrush);
        const int half = kDropTargetPen / 2;
        p.drawRect(QRect(d.target.left - half, d.target.top - half, d.target.width() + half,
                         d.target.height() + half));
    }
    // White under "difference" inverts what lies below: the outline shows on any colour.
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    if (d.kind == TFcDrag::Connecting) {
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(QPoint(d.lineFrom.x, d.lineFrom.y), QPoint(d.lineTo.x, d.lineTo.y));
    } else {
        for (const TFcRect& r : d.outlines)
            fillFrame(p, r, Qt::white);
    }
    p.restore();
}
