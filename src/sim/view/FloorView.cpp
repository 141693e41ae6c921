#include "sim/view/FloorView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kMargin = 8;
constexpr double kGridMm = 100;

QPointF pointOf(const sim::TPoint& p) {
    return {static_cast<double>(p.x), static_cast<double>(p.y)};
}

} // namespace

TFloorView::TFloorView(QWidget* parent) : QWidget(parent) {
    setObjectName("FloorView");
    setMinimumSize(200, 160);
    setAccessibleName(tr("Floor"));
    setAccessibleDescription(tr("The simulated robot on its floor, seen from above"));
}

void TFloorView::setFloor(const sim::TFloor& floor) {
    m_floor = floor;
    clearPath();
    update();
}

void TFloorView::setPose(const sim::TPose& pose) {
    m_pose = pose;
    const QPointF here(pose.x, pose.y);
    if (m_path.empty() ||
        std::hypot(m_path.back().x() - here.x(), m_path.back().y() - here.y()) >= 1)
        m_path.push_back(here);
    update();
}

void TFloorView::clearPath() {
    m_path.clear();
    update();
}

void TFloorView::setLeds(int lit) {
    if (lit != m_leds) {
        m_leds = lit;
        update();
    }
}

void TFloorView::setSpeech(const QString& text) {
    if (text != m_speech) {
        m_speech = text;
        update();
    }
}

double TFloorView::scale() const {
    const double w = std::max(1, m_floor.areaHigh.x - m_floor.areaLow.x);
    const double h = std::max(1, m_floor.areaHigh.y - m_floor.areaLow.y);
    return std::min((width() - 2 * kMargin) / w, (height() - 2 * kMargin) / h);
}

QPointF TFloorView::toWidget(QPointF mm) const {
    const double s = scale();
    const double w = (m_floor.areaHigh.x - m_floor.areaLow.x) * s;
    const double h = (m_floor.areaHigh.y - m_floor.areaLow.y) * s;
    const double left = (width() - w) / 2, top = (height() - h) / 2;
    return {left + (mm.x() - m_floor.areaLow.x) * s, top + (m_floor.areaHigh.y - mm.y()) * s};
}

QPointF TFloorView::toFloor(QPointF widget) const {
    const double s = scale();
    const QPointF origin = toWidget({double(m_floor.areaLow.x), double(m_floor.areaHigh.y)});
    return {m_floor.areaLow.x + (widget.x() - origin.x()) / s,
            m_floor.areaHigh.y - (widget.y() - origin.y()) / s};
}

void TFloorView::setEditing(bool on) {
    if (on == m_editing)
        return; // a drag under way goes on
    m_editing = on;
    m_dragging = false;
    setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
}

void TFloorView::mousePressEvent(QMouseEvent* event) {
    if (!m_editing || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_dragging = true;
    emit floorPressed(toFloor(event->position()));
}

void TFloorView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return QWidget::mouseMoveEvent(event);
    emit floorDragged(toFloor(event->position()));
}

void TFloorView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    emit floorReleased(toFloor(event->position()));
}

void TFloorView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().window());
    const double s = scale();
    const QPointF low = toWidget(pointOf(m_floor.areaLow));
    const QPointF high = toWidget(pointOf(m_floor.areaHigh));
    const QRectF area = QRectF(low, high).normalized();
    p.fillRect(area, QColor(250, 250, 245));
    // A grid line every 10 cm.
    p.setPen(QPen(QColor(225, 225, 220), 1));
    for (double x = std::ceil(m_floor.areaLow.x / kGridMm) * kGridMm; x <= m_floor.areaHigh.x;
         x += kGridMm)
        p.drawLine(toWidget({x, double(m_floor.areaLow.y)}),
                   toWidget({x, double(m_floor.areaHigh.y)}));
    for (double y = std::ceil(m_floor.areaLow.y / kGridMm) * kGridMm; y <= m_floor.areaHigh.y;
         y += kGridMm)
        p.drawLine(toWidget({double(m_floor.areaLow.x), y}),
                   toWidget({double(m_floor.areaHigh.x), y}));
    // Black lines, then boxes and walls.
    for (const sim::TFloorLine& line : m_floor.lines) {
        QPainterPath path;
        for (std::size_t i = 0; i < line.points.size(); ++i) {
            const QPointF w = toWidget(pointOf(line.points[i]));
            i == 0 ? path.moveTo(w) : path.lineTo(w);
        }
        p.strokePath(path, QPen(Qt::black, std::max(1.0, line.width * s), Qt::SolidLine,
                                Qt::RoundCap, Qt::RoundJoin));
    }
    p.setPen(QPen(QColor(90, 60, 40), 1));
    p.setBrush(QColor(170, 120, 80));
    for (const sim::TBox& box : m_floor.boxes)
        p.drawRect(
            QRectF(toWidget(pointOf(box.corner)),
                   toWidget({double(box.corner.x + box.width), double(box.corner.y + box.height)}))
                .normalized());
    p.setPen(QPen(QColor(90, 60, 40), std::max(2.0, 8 * s), Qt::SolidLine, Qt::RoundCap));
    for (const sim::TWall& wall : m_floor.walls)
        p.drawLine(toWidget(pointOf(wall.from)), toWidget(pointOf(wall.to)));
    // The path driven.
    if (m_path.size() > 1) {
        QPainterPath path(toWidget(m_path.front()));
        for (const QPointF& point : m_path)
            path.lineTo(toWidget(point));
        p.strokePath(path, QPen(QColor(40, 110, 220, 160), 2));
    }
    // The robot: a circle, a nose towards its heading, the three lamps.
    const QPointF centre = toWidget({m_pose.x, m_pose.y});
    const double r = std::max(4.0, m_radius * s);
    p.setPen(QPen(QColor(30, 30, 30), 1.5));
    p.setBrush(QColor(0, 128, 128, 200));
    p.drawEllipse(centre, r, r);
    const double a = m_pose.heading * std::numbers::pi / 180;
    p.setPen(QPen(Qt::white, std::max(1.5, r / 6), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(std::cos(a), -std::sin(a)) * r * 0.9);
    for (int led = 0; led < 3; ++led) {
        const QPointF at = centre + QPointF((led - 1) * r * 0.4, r * 0.45);
        p.setPen(QPen(Qt::black, 0.5));
        p.setBrush((m_leds >> led) & 1 ? QColor(255, 60, 40) : QColor(70, 30, 30));
        p.drawEllipse(at, std::max(1.5, r / 8), std::max(1.5, r / 8));
    }
    // What it says.
    if (!m_speech.isEmpty()) {
        const QFontMetrics metrics(font());
        const QRectF text = metrics.boundingRect(m_speech).adjusted(-6, -4, 6, 4);
        QRectF bubble(centre + QPointF(r * 0.7, -r - text.height()), text.size());
        bubble.moveRight(std::min(bubble.right(), width() - 2.0));
        bubble.moveTop(std::max(bubble.top(), 2.0));
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(255, 255, 230));
        p.drawRoundedRect(bubble, 6, 6);
        p.drawText(bubble, Qt::AlignCenter, m_speech);
    }
}
