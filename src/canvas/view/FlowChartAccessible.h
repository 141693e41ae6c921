#pragma once

// The canvas as a screen reader meets it: a list whose items are the canvas objects the
// reading names, in its order (a chart reads its chain from BEGIN to the end), each with its
// name, its place on screen and whether it is selected; the selected item is the focused one.

#include <QAccessibleWidget>

class TFcObject;
class TFlowChartView;

// One canvas object as an item of the list. Valid while the reading still names the object.
class TFcAccessibleItem final : public QAccessibleInterface {
public:
    TFcAccessibleItem(TFlowChartView& view, const TFcObject& object)
        : m_view(&view), m_object(&object) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

    const TFcObject* canvasObject() const { return m_object; }

private:
    int index() const;

    TFlowChartView* m_view;
    const TFcObject* m_object;
};

// The view itself: a list of the items.
class TFcAccessibleView final : public QAccessibleWidget {
public:
    explicit TFcAccessibleView(TFlowChartView* view);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    TFlowChartView& view() const;
};

// Makes Qt build the interfaces above for every TFlowChartView (once per program).
void fcInstallAccessibility();
