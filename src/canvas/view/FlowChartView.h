// The chart canvas on screen: a scroll area that paints one canvas model (TFlowChart) and hands
// mouse and keyboard input to it. It holds no state of its own beyond what painting needs (the
// picture list, the fonts in use, the area of the drag feedback); everything the user changes
// goes through the model's operations.
#pragma once

#include "canvas/FlowChart.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <map>
#include <tuple>
#include <unordered_map>

class QPainter;

// Qt forms of the model's plain values. Only the painter uses them.
QColor fcToQColor(TFcColor color);
QRect fcToQRect(const TFcRect& rect);
TFcRect fcFromQRect(const QRect& rect);
// The canvas key behind a Qt key code, or false for keys the canvas does not handle.
bool fcKeyFromQt(int qtKey, TFcKey& key);
TFcShiftState fcShiftFromQt(Qt::KeyboardModifiers modifiers);

// A mark on a canvas object: a small dot just right of it, red for an error and yellow for a
// warning, with the message as the tool tip of the object and of the dot.
struct TFcMark {
    enum class Level { Warning, Error };
    Level level = Level::Error;
    QString message;
    bool operator==(const TFcMark&) const = default;
};
using TFcMarks = std::unordered_map<const TFcObject*, TFcMark>;
// Short texts shown just left of canvas objects (the line number of a block's first statement).
using TFcSideLabels = std::unordered_map<const TFcObject*, QString>;

class TFlowChartView : public QAbstractScrollArea, private TFcListener {
    Q_OBJECT
public:
    explicit TFlowChartView(QWidget* parent = nullptr);
    ~TFlowChartView() override;

    // The canvas model shown. Owned by the view: the canvas control and its model live and die
    // together, so nothing can paint a model that is gone.
    TFlowChart& chart() { return m_chart; }
    const TFlowChart& chart() const { return m_chart; }

    // The picture list objects show by ImageIndex (the model's ImageSizes follow it). Pictures
    // are drawn with their alpha channel as the transparency mask.
    void setPictures(const QList<QImage>& pictures);
    const QList<QImage>& pictures() const { return m_pictures; }
    // Loads one picture: an SVG file is rendered at `size` (or its own size when size is
    // empty), any other image file is read as it is. A null image when the file is unreadable.
    static QImage loadPicture(const QString& fileName, QSize size = {});

    // A canvas point as a point of the viewport (where mouse events arrive), and back.
    QPoint viewportPoint(TFcPoint canvasPoint) const;
    TFcPoint canvasPoint(QPoint viewportPoint) const;

    // The marks shown, in place of the ones before. An object's mark goes with the object.
    void setMarks(TFcMarks marks);
    const TFcMarks& marks() const { return m_marks; }
    // The tool tip at a viewport point: the message of the mark of the object there or of the
    // mark's dot there, or empty.
    QString toolTipAt(QPoint viewportPoint) const;
    // The labels left of objects, in place of the ones before (none: no labels). An object's
    // label goes with the object.
    void setSideLabels(TFcSideLabels labels);
    const TFcSideLabels& sideLabels() const { return m_sideLabels; }
    // Where an object's mark and side label are painted, in canvas coordinates.
    static TFcRect markRect(const TFcObject& object);
    static TFcRect sideLabelRect(const TFcObject& object);

signals:
    // A double click with the left button anywhere on the canvas; the first click of the pair
    // has already selected. The model's OnDblClick is raised first.
    void dblClick();
    // The selection changed, by the mouse, a key or the program; raised once the event that
    // changed it is over, once however often it changed meanwhile.
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // TFcListener
    void fcInvalidate(const TFcRect& area) override;
    void fcScrolled() override;
    void fcSelectionChanged() override;
    void fcRemoving(const TFcObject& object) override;
    void updateCanvasArea(const TFcRect& area);

    void syncScrollBars();
    void queueScrollBarSync();
    QPoint clampToViewport(QPoint p) const;
    TFcRect dragFeedbackArea() const;
    void refreshDragFeedback();
    void cancelDrag();
    void updateCursor(QPoint viewportPoint);
    bool showsSelection() const;

    void paintObject(QPainter& p, const TFcObject& o, const TFcRect& area);
    void paintShape(QPainter& p, const TFcObject& o, const TFcRect& area);
    void paintBevel(QPainter& p, const TFcRect& b, int flags, int sides);
    void paintPicture(QPainter& p, const TFcObject& o);
    void paintCaption(QPainter& p, const TFcObject& o);
    void paintDragFeedback(QPainter& p);
    void paintMark(QPainter& p, const TFcObject& o, const TFcMark& mark);
    void paintSideLabels(QPainter& p, const TFcRect& area);
    const QFont& qtFont(const TFcFont& font);

    TFlowChart m_chart;
    QList<QImage> m_pictures;
    std::map<std::tuple<std::string, int, bool>, QFont> m_fonts;
    TFcRect m_feedbackArea;         // canvas area of the drag feedback last painted
    bool m_syncingBars = false;     // scroll bars being set from the model
    bool m_syncQueued = false;      // a scroll bar update waits in the event queue
    bool m_selectionQueued = false; // a selectionChanged waits in the event queue
    TFcMarks m_marks;
    TFcSideLabels m_sideLabels;
    QFont m_sideLabelFont;
};
