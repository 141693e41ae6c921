#include "canvas/view/FlowChartAccessible.h"

#include "canvas/view/FlowChartView.h"

#include <QWidget>
#include <QWindow>

bool TFcAccessibleItem::isValid() const {
    return m_view && index() >= 0;
}

int TFcAccessibleItem::index() const {
    const TFcReading& reading = m_view->reading();
    return reading.indexOf ? reading.indexOf(m_object) : -1;
}

QWindow* TFcAccessibleItem::window() const {
    return m_view->window()->windowHandle();
}

QAccessibleInterface* TFcAccessibleItem::parent() const {
    return QAccessible::queryAccessibleInterface(m_view);
}

QString TFcAccessibleItem::text(QAccessible::Text t) const {
    const int i = index();
    if (i < 0)
        return {};
    const TFcReading& reading = m_view->reading();
    switch (t) {
    case QAccessible::Name:
        return reading.nameAt ? reading.nameAt(i) : QString();
    case QAccessible::Description:
        return m_view->detailOf(*m_object).tip;
    default:
        return {};
    }
}

QRect TFcAccessibleItem::rect() const {
    const QRect inViewport = m_view->viewportRect(*m_object);
    return QRect(m_view->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size());
}

QAccessible::State TFcAccessibleItem::state() const {
    QAccessible::State s;
    s.focusable = true;
    s.selectable = true;
    s.selected = m_object->Selected();
    s.focused = s.selected && m_view->hasFocus();
    const QRect shown = m_view->viewportRect(*m_object);
    s.offscreen = !shown.intersects(m_view->viewport()->rect());
    return s;
}

TFcAccessibleView::TFcAccessibleView(TFlowChartView* view)
    : QAccessibleWidget(view, QAccessible::List) {}

TFlowChartView& TFcAccessibleView::view() const {
    return *static_cast<TFlowChartView*>(widget());
}

int TFcAccessibleView::childCount() const {
    const TFcReading& reading = view().reading();
    return reading.count ? reading.count() : 0;
}

QAccessibleInterface* TFcAccessibleView::child(int index) const {
    const TFcReading& reading = view().reading();
    if (!reading.objectAt || index < 0 || index >= childCount())
        return nullptr;
    const TFcObject* object = reading.objectAt(index);
    return object ? view().accessibleItem(*object) : nullptr;
}

int TFcAccessibleView::indexOfChild(const QAccessibleInterface* child) const {
    const auto* item = dynamic_cast<const TFcAccessibleItem*>(child);
    const TFcReading& reading = view().reading();
    if (!item || !reading.indexOf)
        return -1;
    return reading.indexOf(item->canvasObject());
}

QAccessibleInterface* TFcAccessibleView::focusChild() const {
    const TFcObject* selected = view().chart().SelectedObject();
    if (!selected || !view().hasFocus() || indexOfChild(view().accessibleItem(*selected)) < 0)
        return nullptr;
    return view().accessibleItem(*selected);
}

QAccessibleInterface* TFcAccessibleView::childAt(int x, int y) const {
    const QPoint inViewport = view().viewport()->mapFromGlobal(QPoint(x, y));
    const TFcHit hit = view().chart().HitTest(view().canvasPoint(inViewport));
    const TFcReading& reading = view().reading();
    if (!hit.object || !reading.indexOf || reading.indexOf(hit.object) < 0)
        return nullptr;
    return view().accessibleItem(*hit.object);
}

static QAccessibleInterface* chartViewAccessible(const QString&, QObject* object) {
    if (auto* view = qobject_cast<TFlowChartView*>(object))
        return new TFcAccessibleView(view);
    return nullptr;
}

void fcInstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(chartViewAccessible);
        return true;
    }();
    (void)installed;
}
