// The chart canvas on screen: a scroll area that paints one canvas model (TFlowChart) and hands
// mouse and keyboard input to it. It holds no state of its own beyond what painting needs (the
// picture list, the fonts in use, the area of the drag feedback, the zoom); everything the user
// changes goes through the model's operations.
//
// Zoom: the model keeps its unzoomed coordinates. The view paints canvas unit c from zoomed
// pixel round(c * zoom), minus the zoomed scroll position, drawing shapes, lines, text and
// pictures at that size (never a scaled bitmap of the unzoomed picture). The model's client
// size is the viewport's divided by the zoom, so its scroll limits, ScrollIntoView and page
// keys see what is on screen; the scroll bars count zoomed pixels.
#pragma once

#include "canvas/FlowChart.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTransform>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <vector>

class QFontMetrics;
class QPainter;
class QSvgRenderer;

// Qt forms of the model's plain values. Only the painter uses them.
QColor fcToQColor(TFcColor color);
QRect fcToQRect(const TFcRect& rect);
TFcRect fcFromQRect(const QRect& rect);
// The canvas key behind a Qt key code, or false for keys the canvas does not handle.
bool fcKeyFromQt(int qtKey, TFcKey& key);
TFcShiftState fcShiftFromQt(Qt::KeyboardModifiers modifiers);

// A word wider than its box would show only its middle when centred: each line of `text` that
// holds one shows its beginning and an ellipsis instead; other lines stay as they are.
QString fcElideLongWords(const QString& text, const QFontMetrics& metrics, int width);

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
// What the canvas shows of an object beyond its caption: a short value in a smaller font under
// the caption (elided to the object's width, never widening it) and a tool tip. Empty: none.
struct TFcDetail {
    QString value;
    QString tip;
};
// Gives an object's detail from its kind and payload alone, so the view may keep what it
// gave for as long as those stay the same.
using TFcDetailSource = std::function<TFcDetail(const TFcObject& object)>;

// What a screen reader reads of the canvas: the objects that are items, in reading order, and
// the name of each. Unset: the canvas reads as an empty list.
struct TFcReading {
    std::function<int()> count;
    std::function<const TFcObject*(int index)> objectAt;
    std::function<int(const TFcObject* object)> indexOf; // -1: not an item
    std::function<QString(int index)> nameAt;
};

class QAccessibleInterface;

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
    // are drawn with their alpha channel as the transparency mask. A picture loadPicture made
    // from an SVG file is drawn from that file at every zoom but 100 %, so it stays sharp;
    // any other picture is scaled smoothly.
    void setPictures(const QList<QImage>& pictures);
    const QList<QImage>& pictures() const { return m_pictures; }
    // Loads one picture: an SVG file is rendered at `size` (or its own size when size is
    // empty) and remembers its file, any other image file is read as it is. A null image when
    // the file is unreadable.
    static QImage loadPicture(const QString& fileName, QSize size = {});

    // A canvas point as a point of the viewport (where mouse events arrive): the pixel that
    // holds the middle of the canvas unit. And back: the canvas unit drawn on the pixel. At a
    // zoom of 100 % or more, canvasPoint(viewportPoint(c)) == c.
    QPoint viewportPoint(TFcPoint canvasPoint) const;
    TFcPoint canvasPoint(QPoint viewportPoint) const;

    // ---- zoom ----
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 4.0;
    // The steps of zoomIn and zoomOut, from kMinZoom to kMaxZoom.
    static constexpr std::array<double, 15> kZoomSteps{0.25, 0.33, 0.5,  0.67, 0.75, 0.9, 1.0, 1.1,
                                                       1.25, 1.5,  1.75, 2.0,  2.5,  3.0, 4.0};

    // The zoom factor (1.0 is 100 %).
    double zoom() const { return m_zoom; }
    // Sets the zoom, clamped to kMinZoom..kMaxZoom (a factor that is not a number is ignored),
    // keeping the canvas point under anchorViewportPoint (by default the viewport's centre)
    // where it is, as far as the scroll limits allow. Raises zoomChanged when it changed.
    void setZoom(double factor, std::optional<QPoint> anchorViewportPoint = {});
    // One step up or down kZoomSteps from the zoom (which need not be a step), around the
    // viewport's centre; nothing beyond the ends.
    void zoomIn();
    void zoomOut();
    // 100 %.
    void resetZoom();
    // The zoom at which the chart's extent is as wide as the viewport (clamped), showing the
    // extent's left edge at the viewport's left; the vertical middle of the view stays.
    void fitWidth();

    // The marks shown, in place of the ones before. An object's mark goes with the object.
    void setMarks(TFcMarks marks);
    const TFcMarks& marks() const { return m_marks; }
    // The tool tip at a viewport point: the message of the mark of the object there or of the
    // mark's dot there, then the object's detail tip; or empty.
    QString toolTipAt(QPoint viewportPoint) const;
    // The labels left of objects, in place of the ones before (none: no labels). An object's
    // label goes with the object.
    void setSideLabels(TFcSideLabels labels);
    const TFcSideLabels& sideLabels() const { return m_sideLabels; }
    // What a screen reader reads of the canvas (see TFcReading).
    void setReading(TFcReading reading);
    const TFcReading& reading() const { return m_reading; }
    // The accessible item of an object (made once, kept until the object goes).
    QAccessibleInterface* accessibleItem(const TFcObject& object);
    // Where an object is on screen, in viewport pixels.
    QRect viewportRect(const TFcObject& object) const;

    // Paints the canvas area at 100 % with its top-left corner at the painter's origin (under
    // the painter's own transform), as the screen shows it but without the selection, marks,
    // side labels or drag feedback, on `background` (the canvas colour when invalid): for
    // export and printing. The view's zoom and scroll position are left as they are.
    void renderArea(QPainter& p, const TFcRect& area, const QColor& background = {});

    // Where objects' details come from (none: no details). Painting asks only for the objects
    // it paints.
    void setDetailSource(TFcDetailSource source);
    // The detail of an object, as the source gives it for the object's kind and payload.
    const TFcDetail& detailOf(const TFcObject& object) const;
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
    // The zoom changed (setZoom, its steps, fitWidth or Ctrl+wheel); factor as zoom() says.
    void zoomChanged(double factor);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
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

    // Zoomed coordinates: zoomed() is where canvas coordinate c starts in the zoomed picture of
    // the whole canvas, unitAt() the canvas coordinate drawn on a zoomed pixel.
    int zoomed(int c) const;
    int unitAt(int zoomedPixel) const;
    QPoint scrollOffset() const; // the zoomed scroll position: the scroll bars' values
    TFcRect toViewport(const TFcRect& canvasRect) const;
    TFcRect toCanvas(const QRect& viewportRect) const; // the canvas units that cover it
    TFcPoint clientPoint(QPoint viewportPoint) const;  // the model's client point
    void applyClientSize();
    void zoomStep(int direction, std::optional<QPoint> anchor);

    void syncScrollBars();
    void queueScrollBarSync();
    QPoint clampToViewport(QPoint p) const;
    TFcRect dragFeedbackArea() const;
    void refreshDragFeedback();
    void cancelDrag();
    void updateCursor(QPoint viewportPoint);
    bool showsSelection() const;

    // Painting: `dirty` is the viewport area being painted, `area` the canvas units under it.
    void paintArea(QPainter& p, const QRect& dirty, const QColor& background, bool onScreen);
    void paintObject(QPainter& p, const TFcObject& o, const QRect& dirty);
    void paintShape(QPainter& p, const TFcObject& o, const QRect& dirty);
    void paintBevel(QPainter& p, const TFcRect& b, int flags, int sides);
    void paintPicture(QPainter& p, const TFcObject& o);
    void paintCaption(QPainter& p, const TFcObject& o);
    void paintCaptionText(QPainter& p, const TFcObject& o, const QFont& font, const TFcRect& area);
    std::optional<std::pair<TFcFont, TFcFont>> valueFonts(const TFcFont& caption, int height);
    void paintConnection(QPainter& p, const TFcConnection& c);
    void paintDragFeedback(QPainter& p);
    void paintMark(QPainter& p, const TFcMark& mark, const QRect& dot);
    void paintSideLabels(QPainter& p, const TFcRect& area);
    const QFont& qtFont(const TFcFont& font);
    const QImage& zoomedPicture(int index, QSize size);
    QTransform canvasTransform() const;           // canvas units to viewport pixels, for text
    QRect markDot(const TFcObject& object) const; // the mark's dot in the viewport

    TFlowChart m_chart;
    QList<QImage> m_pictures;
    std::map<std::tuple<std::string, int, bool>, QFont> m_fonts;
    std::vector<std::unique_ptr<QSvgRenderer>> m_pictureSources;  // per picture; null: none
    std::map<std::tuple<int, int, int>, QImage> m_zoomedPictures; // (index, width, height)
    double m_zoom = 1.0;
    std::optional<QPoint> m_renderOrigin; // renderArea: the canvas point at the painter's origin
    int m_wheelZoomDelta = 0;             // Ctrl+wheel turn not yet a whole notch
    QPoint m_pressPoint;                  // viewport point of the left-button press
    TFcRect m_feedbackArea;               // zoomed area of the drag feedback last painted
    bool m_syncingBars = false;           // scroll bars being set from the model
    bool m_syncQueued = false;            // a scroll bar update waits in the event queue
    bool m_selectionQueued = false;       // a selectionChanged waits in the event queue
    TFcMarks m_marks;
    TFcSideLabels m_sideLabels;
    QFont m_sideLabelFont;
    TFcDetailSource m_detailSource;
    TFcReading m_reading;
    std::unordered_map<const TFcObject*, unsigned> m_accessibleIds; // registered items
    // What the source gave, by object, with the kind and payload it gave it for.
    struct CachedDetail {
        int kind;
        std::string payload;
        TFcDetail detail;
    };
    mutable std::unordered_map<const TFcObject*, CachedDetail> m_details;
};
