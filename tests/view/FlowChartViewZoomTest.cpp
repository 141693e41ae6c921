// The canvas view zoomed: the mapping between canvas and viewport, the model's client size,
// scroll limits and scroll bars, the zoom steps, Ctrl+wheel, mouse input and the picture at
// zooms from 25 % to 400 %, on the offscreen platform.
#include "../support/MouseInput.h"
#include "canvas/view/FlowChartView.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr TFcColor kSkyBlue = fcRgb(166, 202, 240);
constexpr TFcColor kTeal = fcRgb(0, 128, 128);
constexpr TFcColor kYellow = fcRgb(255, 255, 0);
constexpr TFcColor kCream = fcRgb(255, 235, 170);
constexpr TFcColor kRed = fcRgb(220, 0, 0);
constexpr TFcColor kGreen = fcRgb(0, 160, 0);

TFcColor pixel(const QImage& image, QPoint p) {
    const QRgb c = image.pixel(p);
    return fcRgb(qRed(c), qGreen(c), qBlue(c));
}

TFcColor inverted(TFcColor c) {
    return fcRgb(255 - fcRed(c), 255 - fcGreen(c), 255 - fcBlue(c));
}

std::string colorText(TFcColor c) {
    return "(" + std::to_string(fcRed(c)) + ", " + std::to_string(fcGreen(c)) + ", " +
           std::to_string(fcBlue(c)) + ")";
}

QColor qColor(TFcColor c) {
    return QColor(fcRed(c), fcGreen(c), fcBlue(c));
}

// A view with a few shapes, a vertical line between two anchors, and objects far right and far
// down so that it scrolls both ways at every zoom.
class FlowChartViewZoomTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<TFlowChartView>();
        TFlowChart& c = view->chart();
        box = c.AddObject(40, 40, 80, 30, ShapeRectangle);
        box->SetFillColor(kTeal);
        box->SetOutlineWidth(1);
        captioned = c.AddObject(160, 100, 120, 40, ShapeRectangle);
        captioned->SetFillColor(kTeal);
        captioned->SetFont({"Courier New", 16, true, fcWhite});
        captioned->SetText("Wait 10");
        captioned->SetTextHorz(1);
        captioned->SetTextVert(1);
        top = c.AddObject(300, 20, 0, 0, ShapeNone);
        bottom = c.AddObject(300, 200, 0, 0, ShapeNone);
        c.AddConnection(top, bottom, 0, 0);
        farDown = c.AddObject(40, 3000, 80, 30, ShapeRectangle);
        farRight = c.AddObject(3000, 40, 80, 30, ShapeRectangle);
        view->resize(400, 300);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        QApplication::processEvents();
    }

    QWidget* vp() const { return view->viewport(); }
    QPoint at(int x, int y) const { return view->viewportPoint({x, y}); }
    QPoint centreOf(const TFcObject* o) const {
        return at(o->Left() + o->Width() / 2, o->Top() + o->Height() / 2);
    }
    // The scroll bars follow a change of the model in two queued steps: their ranges, then
    // whether they show.
    void settle() {
        QApplication::processEvents();
        QApplication::processEvents();
    }
    QImage grab() {
        QApplication::processEvents();
        return vp()->grab().toImage();
    }
    // The viewport pixels that show the units of a canvas rectangle (at zooms of 100 % and
    // more every unit has pixels of its own).
    QRect shown(const TFcRect& r) const {
        QPoint first = at(r.left, r.top), last = at(r.right - 1, r.bottom - 1);
        while (view->canvasPoint(first - QPoint(1, 0)).x >= r.left)
            first.rx()--;
        while (view->canvasPoint(first - QPoint(0, 1)).y >= r.top)
            first.ry()--;
        while (view->canvasPoint(last + QPoint(1, 0)).x < r.right)
            last.rx()++;
        while (view->canvasPoint(last + QPoint(0, 1)).y < r.bottom)
            last.ry()++;
        return QRect(first, last);
    }
    void wheel(QPoint p, int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(p, vp()->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(vp(), &e);
    }
    void drag(QPoint from, QPoint to) {
        testsupport::press(vp(), from);
        testsupport::moveTo(vp(), to);
        testsupport::release(vp(), to);
    }

    std::unique_ptr<TFlowChartView> view;
    TFcObject* box = nullptr;
    TFcObject* captioned = nullptr;
    TFcObject* top = nullptr;
    TFcObject* bottom = nullptr;
    TFcObject* farDown = nullptr;
    TFcObject* farRight = nullptr;
};

// ---- the zoom factor --------------------------------------------------------------------------

struct ClampCase {
    double asked, zoom;
};

TEST_F(FlowChartViewZoomTest, SetZoomClampsTo25To400Percent) {
    const ClampCase cases[] = {
        {0.8, 0.8},
        {2.0, 2.0},
        {0.25, 0.25},
        {4.0, 4.0},
        {0.1, 0.25},
        {0.0, 0.25},
        {-3.0, 0.25},
        {4.01, 4.0},
        {100.0, 4.0},
        {std::numeric_limits<double>::infinity(), 4.0},
        {-std::numeric_limits<double>::infinity(), 0.25},
    };
    for (const ClampCase& c : cases) {
        view->resetZoom();
        view->setZoom(c.asked);
        EXPECT_EQ(view->zoom(), c.zoom) << "asked " << c.asked;
    }
    view->setZoom(2.0);
    view->setZoom(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(view->zoom(), 2.0) << "not a number: no change";
}

TEST_F(FlowChartViewZoomTest, ZoomInAndOutWalkTheLadderAndStopAtItsEnds) {
    const std::vector<double> ladder = {0.25, 0.33, 0.5,  0.67, 0.75, 0.9, 1.0, 1.1,
                                        1.25, 1.5,  1.75, 2.0,  2.5,  3.0, 4.0};
    QSignalSpy spy(view.get(), &TFlowChartView::zoomChanged);
    view->setZoom(0.25);
    std::vector<double> up{view->zoom()};
    for (std::size_t i = 0; i < ladder.size() + 2; ++i) {
        view->zoomIn();
        if (view->zoom() != up.back())
            up.push_back(view->zoom());
    }
    EXPECT_EQ(up, ladder);
    std::vector<double> down{view->zoom()};
    for (std::size_t i = 0; i < ladder.size() + 2; ++i) {
        view->zoomOut();
        if (view->zoom() != down.back())
            down.push_back(view->zoom());
    }
    EXPECT_EQ(down, std::vector<double>(ladder.rbegin(), ladder.rend()));
    // One signal per change (the first setZoom from 100 % included), none at the ends.
    EXPECT_EQ(spy.count(), 1 + 2 * int(ladder.size() - 1));
    EXPECT_EQ(spy.last().at(0).toDouble(), 0.25);

    view->resetZoom();
    EXPECT_EQ(view->zoom(), 1.0);
    const int before = spy.count();
    view->resetZoom();
    view->setZoom(1.0);
    EXPECT_EQ(spy.count(), before) << "no signal without a change";
}

struct BetweenCase {
    double from, in, out;
};

TEST_F(FlowChartViewZoomTest, BetweenTwoStepsZoomGoesToTheNextStepEachWay) {
    const BetweenCase cases[] = {
        {0.8, 0.9, 0.75}, {1.0, 1.1, 0.9}, {0.3, 0.33, 0.25}, {3.9, 4.0, 3.0}, {1.05, 1.1, 1.0},
    };
    for (const BetweenCase& c : cases) {
        view->setZoom(c.from);
        view->zoomIn();
        EXPECT_EQ(view->zoom(), c.in) << "in from " << c.from;
        view->setZoom(c.from);
        view->zoomOut();
        EXPECT_EQ(view->zoom(), c.out) << "out from " << c.from;
    }
}

// ---- mapping, client size, scroll limits and bars ---------------------------------------------

TEST_F(FlowChartViewZoomTest, ViewportAndCanvasPointsMapThroughTheZoom) {
    for (double z : {0.25, 0.33, 0.5, 0.67, 0.9, 1.0, 1.1, 1.75, 2.0, 3.0, 4.0}) {
        view->setZoom(z);
        view->chart().ScrollTo(37, 1001);
        const TFcPoint s = view->chart().ScrollPos();
        ASSERT_EQ(s, (TFcPoint{37, 1001})) << z;
        // The scroll position is at the viewport's top-left corner.
        EXPECT_LE(std::abs(at(s.x, s.y).x()), std::max(1, int(z))) << z;
        EXPECT_LE(std::abs(at(s.x, s.y).y()), std::max(1, int(z))) << z;
        // A canvas distance is the zoom times as long on screen.
        EXPECT_NEAR(at(s.x + 400, s.y).x() - at(s.x, s.y).x(), 400 * z, 1) << z;
        EXPECT_NEAR(at(s.x, s.y + 400).y() - at(s.x, s.y).y(), 400 * z, 1) << z;
        if (z >= 1.0) {
            // Every canvas unit has pixels of its own: it maps there and back.
            for (int c = s.x - 3; c < s.x + 60; ++c)
                ASSERT_EQ(view->canvasPoint(at(c, s.y + c)), (TFcPoint{c, s.y + c}))
                    << "zoom " << z << " unit " << c;
        }
        if (z <= 1.0) {
            // Every pixel shows one canvas unit: it maps there and back.
            for (int x = -2; x < 60; ++x)
                ASSERT_EQ(view->viewportPoint(view->canvasPoint({x, 2 * x})), QPoint(x, 2 * x))
                    << "zoom " << z << " pixel " << x;
        }
    }
}

TEST_F(FlowChartViewZoomTest, ClientSizeScrollLimitsAndScrollBarsFollowTheZoom) {
    const TFcRect extent = view->chart().Extent();
    ASSERT_EQ(extent, (TFcRect{0, 0, 3080, 3030}));
    for (double z : {0.25, 0.5, 0.67, 1.0, 1.1, 2.0, 4.0}) {
        view->setZoom(z);
        QApplication::processEvents();
        const int w = vp()->width(), h = vp()->height();
        const TFcSize client = view->chart().ClientSize();
        EXPECT_EQ(client, (TFcSize{int(std::floor(w / z + 1e-6)), int(std::floor(h / z + 1e-6))}))
            << z;
        const TFcRect lim = view->chart().ScrollLimits();
        EXPECT_EQ(lim.right, extent.right - client.width) << z;
        EXPECT_EQ(lim.bottom, extent.bottom - client.height) << z;
        QScrollBar* hb = view->horizontalScrollBar();
        QScrollBar* vb = view->verticalScrollBar();
        EXPECT_NEAR(hb->maximum(), lim.right * z, 0.5) << z;
        EXPECT_NEAR(vb->maximum(), lim.bottom * z, 0.5) << z;
        EXPECT_EQ(hb->pageStep(), w) << z;
        EXPECT_EQ(vb->pageStep(), h) << z;

        // At the far end the chart's last pixels are at the viewport's right and bottom edges.
        QTest::keyClick(view.get(), Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(view->chart().ScrollPos(), (TFcPoint{lim.right, lim.bottom})) << z;
        EXPECT_EQ(hb->value(), hb->maximum()) << z;
        EXPECT_EQ(vb->value(), vb->maximum()) << z;
        const QPoint last = at(extent.right - 1, extent.bottom - 1);
        EXPECT_LT(last.x(), w) << z;
        EXPECT_LT(last.y(), h) << z;
        EXPECT_GE(last.x(), w - z - 2) << z;
        EXPECT_GE(last.y(), h - z - 2) << z;

        // A page is the client's height less one scroll line, in canvas units.
        QTest::keyClick(view.get(), Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(view.get(), Qt::Key_PageDown);
        EXPECT_EQ(view->chart().ScrollPos().y, client.height - 16) << z;
        EXPECT_NEAR(vb->value(), (client.height - 16) * z, 0.5) << z;
    }
}

TEST_F(FlowChartViewZoomTest, ScrollBarsMoveTheCanvasByZoomedPixels) {
    view->setZoom(2.0);
    view->verticalScrollBar()->setValue(1000);
    EXPECT_EQ(view->chart().ScrollPos().y, 500);
    view->horizontalScrollBar()->setValue(301);
    EXPECT_NEAR(view->chart().ScrollPos().x, 150.5, 0.5);
    EXPECT_EQ(view->horizontalScrollBar()->value(), 2 * view->chart().ScrollPos().x)
        << "the bar settles on the pixel of a whole unit";
    view->setZoom(0.25);
    view->verticalScrollBar()->setValue(300);
    EXPECT_EQ(view->chart().ScrollPos().y, 1200);
    EXPECT_EQ(view->verticalScrollBar()->value(), 300);
    // At 400 % a pixel less than half a unit on goes back to the unit's pixel.
    view->setZoom(4.0);
    view->verticalScrollBar()->setValue(400);
    ASSERT_EQ(view->chart().ScrollPos().y, 100);
    view->verticalScrollBar()->setValue(401);
    EXPECT_EQ(view->chart().ScrollPos().y, 100);
    EXPECT_EQ(view->verticalScrollBar()->value(), 400);
}

TEST_F(FlowChartViewZoomTest, ScrollIntoViewShowsTheWholeObjectAtTheZoom) {
    for (double z : {0.5, 2.0, 4.0}) {
        view->setZoom(z);
        view->chart().ScrollTo(0, 0);
        farDown->ScrollIntoView();
        QApplication::processEvents();
        const QRect r = shown(farDown->BoundsRect());
        EXPECT_TRUE(vp()->rect().contains(r)) << z;
        EXPECT_GT(r.bottom(), vp()->height() - 2 * z - 2) << "scrolled as little as it can " << z;
    }
}

// ---- setZoom's anchor and Ctrl+wheel -----------------------------------------------------------

struct AnchorCase {
    double from, to;
    QPoint anchor; // (-1, -1): none, the viewport's centre
};

TEST_F(FlowChartViewZoomTest, SetZoomKeepsTheCanvasPointUnderTheAnchor) {
    const AnchorCase cases[] = {
        {1.0, 2.0, {50, 60}},     {2.0, 0.5, {300, 200}}, {1.0, 0.25, {10, 250}},
        {0.33, 4.0, {333, 17}},   {4.0, 0.67, {-1, -1}},  {1.0, 1.1, {-1, -1}},
        {1.75, 1.25, {390, 280}}, {0.25, 3.0, {0, 0}},
    };
    for (const AnchorCase& c : cases) {
        view->setZoom(c.from);
        view->chart().ScrollTo(1000, 1200);
        QApplication::processEvents();
        const bool centred = c.anchor.x() < 0;
        const QPoint a = centred ? QPoint(vp()->width() / 2, vp()->height() / 2) : c.anchor;
        const TFcPoint under = view->canvasPoint(a);
        if (centred)
            view->setZoom(c.to);
        else
            view->setZoom(c.to, a);
        ASSERT_EQ(view->zoom(), c.to);
        // Within the rounding of the scroll position to whole canvas units.
        const QPoint now = view->viewportPoint(under);
        EXPECT_LE(std::abs(now.x() - a.x()), c.to + 1) << c.from << " to " << c.to;
        EXPECT_LE(std::abs(now.y() - a.y()), c.to + 1) << c.from << " to " << c.to;
        EXPECT_NEAR(view->verticalScrollBar()->value(), view->chart().ScrollPos().y * c.to, 0.5);
        EXPECT_NEAR(view->horizontalScrollBar()->value(), view->chart().ScrollPos().x * c.to, 0.5);
    }
}

TEST_F(FlowChartViewZoomTest, ZoomingOutAtTheTopLeftStaysWithinTheScrollLimits) {
    view->setZoom(2.0);
    view->chart().ScrollTo(0, 0);
    view->setZoom(0.5);
    EXPECT_EQ(view->chart().ScrollPos(), (TFcPoint{0, 0}));
    EXPECT_EQ(at(0, 0), QPoint(0, 0));
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
}

TEST_F(FlowChartViewZoomTest, CtrlWheelZoomsAroundThePointerAndTheWheelAloneScrolls) {
    view->chart().ScrollTo(500, 500);
    QApplication::processEvents();
    QSignalSpy spy(view.get(), &TFlowChartView::zoomChanged);
    const QPoint p(120, 90);
    const TFcPoint under = view->canvasPoint(p);

    wheel(p, 120, Qt::ControlModifier);
    EXPECT_EQ(view->zoom(), 1.1);
    EXPECT_LE((view->viewportPoint(under) - p).manhattanLength(), 5);
    wheel(p, 240, Qt::ControlModifier);
    EXPECT_EQ(view->zoom(), 1.5) << "two notches, two steps";
    wheel(p, -120, Qt::ControlModifier);
    EXPECT_EQ(view->zoom(), 1.25);
    EXPECT_LE((view->viewportPoint(under) - p).manhattanLength(), 5);
    // A fine wheel's small turns add up to a notch.
    wheel(p, 60, Qt::ControlModifier);
    EXPECT_EQ(view->zoom(), 1.25);
    wheel(p, 60, Qt::ControlModifier);
    EXPECT_EQ(view->zoom(), 1.5);
    EXPECT_EQ(spy.count(), 5);

    // Without Ctrl the wheel scrolls, zoomed pixels on the bar, the zoom stays.
    const TFcPoint before = view->chart().ScrollPos();
    wheel(p, -120, Qt::NoModifier);
    EXPECT_EQ(view->zoom(), 1.5);
    EXPECT_GT(view->chart().ScrollPos().y, before.y);
    EXPECT_EQ(view->chart().ScrollPos().x, before.x);
    EXPECT_NEAR(view->verticalScrollBar()->value(), view->chart().ScrollPos().y * 1.5, 0.5);
}

// ---- fit to width ------------------------------------------------------------------------------

TEST_F(FlowChartViewZoomTest, FitWidthShowsTheChartsWholeWidthWithoutAHorizontalBar) {
    // A chart 600 wide and taller than the viewport at the fitted zoom.
    view->chart().RemoveObject(farRight);
    view->chart().AddObject(500, 40, 100, 30, ShapeRectangle);
    view->chart().ScrollTo(0, 1500);
    QApplication::processEvents();
    ASSERT_EQ(view->chart().Extent().right, 600);
    view->fitWidth();
    QApplication::processEvents(); // the scroll bars settle
    EXPECT_LT(view->zoom(), 1.0);
    EXPECT_GT(view->zoom(), (vp()->width() - 1.0) / 600 - 0.01);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), view->horizontalScrollBar()->minimum());
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_EQ(at(0, 0).x(), 0);
    EXPECT_LT(at(599, 0).x(), vp()->width());
    EXPECT_GE(at(599, 0).x(), vp()->width() - 3);
    EXPECT_GT(view->chart().ScrollPos().y, 0) << "the vertical place is kept";
}

TEST_F(FlowChartViewZoomTest, FitWidthLeavesRoomForTheVerticalBarTheZoomBrings) {
    // 100 x 250: no scroll bar at 100 %, four times as tall as the viewport once fitted.
    for (TFcObject* o : {farRight, farDown, bottom, top, captioned})
        view->chart().RemoveObject(o);
    box->SetBounds(0, 0, 100, 250);
    settle();
    ASSERT_FALSE(view->verticalScrollBar()->isVisible());
    const int width = vp()->width();
    view->fitWidth();
    settle();
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_LT(vp()->width(), width);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), view->horizontalScrollBar()->minimum());
    EXPECT_GT(view->zoom(), (vp()->width() - 1.0) / 100);
    EXPECT_LT(at(99, 0).x(), vp()->width());
}

TEST_F(FlowChartViewZoomTest, FitWidthIsClamped) {
    for (TFcObject* o : {farRight, farDown, bottom, top, captioned})
        view->chart().RemoveObject(o);
    box->SetBounds(0, 0, 20, 20);
    view->fitWidth();
    EXPECT_EQ(view->zoom(), 4.0) << "a narrow chart";
    box->SetBounds(0, 0, 30000, 20);
    view->fitWidth();
    EXPECT_EQ(view->zoom(), 0.25) << "a very wide chart";
}

// ---- mouse input at the zoom -------------------------------------------------------------------

TEST_F(FlowChartViewZoomTest, ClicksHitWhatIsDrawnThereAt200Percent) {
    view->setZoom(2.0, QPoint(0, 0));
    ASSERT_EQ(view->chart().ScrollPos(), (TFcPoint{0, 0}));
    QTest::mouseClick(vp(), Qt::LeftButton, {}, centreOf(box));
    EXPECT_EQ(view->chart().SelectedObject(), box);
    // Where the caption block lies at 100 %, at 200 % there is the empty canvas (125, 65).
    view->chart().SelectObject(nullptr);
    QTest::mouseClick(vp(), Qt::LeftButton, {}, QPoint(250, 130));
    EXPECT_EQ(view->chart().SelectedCount(), 0);
    // The box's right side, at x = 120 zoomed: just inside its outline a click selects it;
    // two units out, beyond even the band that counts as near it, nothing is there.
    QTest::mouseClick(vp(), Qt::LeftButton, {}, QPoint(2 * 118, 2 * 55));
    EXPECT_EQ(view->chart().SelectedObject(), box);
    EXPECT_EQ(view->chart().HitTest(view->canvasPoint(QPoint(2 * 121, 2 * 55))).nearObject,
              nullptr);
    EXPECT_EQ(view->chart().HitTest(view->canvasPoint(QPoint(2 * 120, 2 * 55))).nearObject, box);
}

TEST_F(FlowChartViewZoomTest, DragMovesByCanvasUnitsAndShowsItsFeedbackAtThe200PercentPlace) {
    view->setZoom(2.0, QPoint(0, 0));
    view->chart().SelectObject(box);
    const QPoint from = centreOf(box);
    testsupport::press(vp(), from);
    testsupport::moveTo(vp(), from + QPoint(30, 50));
    const QImage during = grab();
    // The outline of the box moved by (15, 25): its right column is inverted over the sky.
    const QPoint right(2 * (40 + 15 + 80) - 1, 2 * (40 + 25 + 10));
    EXPECT_EQ(colorText(pixel(during, right)), colorText(inverted(kSkyBlue)));
    EXPECT_EQ(colorText(pixel(during, right + QPoint(1, 0))), colorText(kSkyBlue));
    EXPECT_EQ(colorText(pixel(during, right - QPoint(1, 0))), colorText(kSkyBlue));
    EXPECT_EQ(box->Left(), 40) << "nothing moves before the release";
    testsupport::release(vp(), from + QPoint(30, 50));
    EXPECT_EQ(box->BoundsRect(), (TFcRect{55, 65, 135, 95}));
    const QImage after = grab();
    EXPECT_EQ(colorText(pixel(after, right)), colorText(fcBlack)) << "the box's own outline";
    int invertedSky = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            invertedSky += pixel(after, {x, y}) == inverted(kSkyBlue) ? 1 : 0;
    EXPECT_EQ(invertedSky, 0) << "the feedback is gone";

    // A drag on the bottom-right selection mark resizes by canvas units.
    const QPoint mark = at(134, 94);
    drag(mark, mark + QPoint(20, 10));
    EXPECT_EQ(box->BoundsRect(), (TFcRect{55, 65, 145, 100}));
}

TEST_F(FlowChartViewZoomTest, TheDropTargetFrameIsDrawnAroundTheZoomedTarget) {
    const TFcRect target{20, 100, 60, 110};
    view->chart().OnDragOver = [&](TFlowChart&, TFcPoint) { return target; };
    view->chart().OnDrop = [](TFlowChart&, TFcPoint) {};
    view->setZoom(2.0, QPoint(0, 0));
    view->chart().SelectObject(box);
    testsupport::press(vp(), centreOf(box));
    testsupport::moveTo(vp(), centreOf(box) + QPoint(0, 40));
    const QImage during = grab();
    const QColor hl = view->palette().color(QPalette::Highlight);
    const TFcColor highlight = fcRgb(hl.red(), hl.green(), hl.blue());
    // Left edge at x = 40, top edge at y = 200: a frame 3 pixels wide around it.
    for (const QPoint p : {QPoint(39, 210), QPoint(38, 210), QPoint(100, 199), QPoint(119, 205)})
        EXPECT_EQ(colorText(pixel(during, p)), colorText(highlight)) << p.x() << ", " << p.y();
    EXPECT_EQ(colorText(pixel(during, QPoint(60, 210))), colorText(kSkyBlue)) << "inside";
    EXPECT_EQ(colorText(pixel(during, QPoint(21, 105))), colorText(kSkyBlue))
        << "nothing where the target would be at 100 %";
    testsupport::release(vp(), centreOf(box) + QPoint(0, 40));
}

TEST_F(FlowChartViewZoomTest, AtAQuarterASmallShakeIsStillAClick) {
    view->setZoom(0.25, QPoint(0, 0));
    view->chart().SelectObject(captioned);
    // 3 pixels are 12 canvas units: past the model's threshold, but a click on screen.
    drag(centreOf(box), centreOf(box) + QPoint(2, 1));
    EXPECT_EQ(view->chart().SelectedObject(), box);
    EXPECT_EQ(box->BoundsRect(), (TFcRect{40, 40, 120, 70}));
    // Further it is a drag, of four canvas units a pixel.
    drag(centreOf(box), centreOf(box) + QPoint(10, 5));
    EXPECT_EQ(box->BoundsRect(), (TFcRect{80, 60, 160, 90}));
}

// ---- marks, side labels and tool tips ----------------------------------------------------------

TEST_F(FlowChartViewZoomTest, MarksAndTheirTipsSitBesideTheZoomedObject) {
    view->setMarks({{box, {TFcMark::Level::Error, QStringLiteral("Too fast")}}});
    const TFcRect dot = TFlowChartView::markRect(*box);
    const TFcPoint middle{(dot.left + dot.right) / 2, (dot.top + dot.bottom) / 2};
    for (double z : {0.25, 0.5, 2.0, 4.0}) {
        view->setZoom(z);
        view->chart().ScrollTo(100, 30);
        const QImage image = grab();
        const QPoint p = at(middle.x, middle.y);
        EXPECT_EQ(colorText(pixel(image, p)), colorText(fcRgb(220, 30, 30))) << z;
        EXPECT_EQ(view->toolTipAt(p), QStringLiteral("Too fast")) << z;
        EXPECT_EQ(view->toolTipAt(centreOf(box)), QStringLiteral("Too fast")) << z;
        EXPECT_TRUE(view->toolTipAt(at(middle.x, middle.y + 40)).isEmpty()) << z;
    }
    // Zoomed out the dot keeps a size that shows (10 x 10 canvas units are 2.5 pixels).
    view->setZoom(0.25);
    view->chart().ScrollTo(100, 30);
    const QImage quarter = grab();
    const QPoint p = at(middle.x, middle.y);
    int red = 0;
    for (int y = p.y() - 5; y <= p.y() + 5; ++y)
        for (int x = p.x() - 5; x <= p.x() + 5; ++x) {
            const TFcColor c = pixel(quarter, {x, y});
            red += fcRed(c) > 150 && fcGreen(c) < 120 ? 1 : 0;
        }
    EXPECT_GE(red, 12);
}

// Pixels of dark blue side-label ink in a rectangle (teal, sky and white are none).
int labelInk(const QImage& image, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            n += qBlue(c) > qGreen(c) + 40 && qRed(c) < 120 ? 1 : 0;
        }
    return n;
}

TEST_F(FlowChartViewZoomTest, SideLabelsAndSelectionMarksAreDrawnAtTheZoom) {
    view->setSideLabels({{captioned, QStringLiteral("120")}});
    view->chart().SelectObject(captioned);
    view->setZoom(2.0, QPoint(0, 0));
    const QImage image = grab();
    const QRect label = shown(TFlowChartView::sideLabelRect(*captioned));
    ASSERT_TRUE(vp()->rect().contains(label));
    EXPECT_GT(labelInk(image, label), 40);
    const QRect unzoomed = fcToQRect(TFlowChartView::sideLabelRect(*captioned));
    EXPECT_EQ(labelInk(image, unzoomed), 0) << "nothing where the label is at 100 %";
    // The top-left selection mark, 5 x 5 canvas units, is 10 x 10 black pixels.
    const QRect mark = shown(fcSelectionMarkRect({160, 100}));
    EXPECT_EQ(mark.size(), QSize(10, 10));
    int black = 0;
    for (int y = mark.top(); y <= mark.bottom(); ++y)
        for (int x = mark.left(); x <= mark.right(); ++x)
            black += pixel(image, {x, y}) == fcBlack ? 1 : 0;
    EXPECT_EQ(black, 100);
    EXPECT_EQ(colorText(pixel(image, mark.topLeft() - QPoint(1, 1))), colorText(kSkyBlue));
    // The pointer over it says a drag resizes.
    QMouseEvent hover(QEvent::MouseMove, at(160, 100), vp()->mapToGlobal(at(160, 100)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(vp(), &hover);
    EXPECT_EQ(vp()->cursor().shape(), Qt::SizeFDiagCursor);
}

TEST_F(FlowChartViewZoomTest, AtAQuarterSelectionMarksKeepThreeByThreePixels) {
    captioned->SetOutlineWidth(0); // nothing black but the marks
    view->chart().SelectObject(captioned);
    view->setZoom(0.25, QPoint(0, 0));
    const QImage image = grab();
    // 5 x 5 canvas units are 1.25 pixels; the marks are 5 pixels apart on the short side.
    for (const TFcPoint c : fcSelectionMarks(captioned->BoundsRect())) {
        const QPoint p = at(c.x, c.y);
        int black = 0;
        for (int y = p.y() - 2; y <= p.y() + 2; ++y)
            for (int x = p.x() - 2; x <= p.x() + 2; ++x)
                black += pixel(image, {x, y}) == fcBlack ? 1 : 0;
        EXPECT_EQ(black, 9) << "mark at " << c.x << ", " << c.y;
    }
}

// ---- painting ----------------------------------------------------------------------------------

// A view of shapes whose coordinates and outline widths are all `scale` times the first's.
std::unique_ptr<TFlowChartView> shapesView(int scale) {
    auto v = std::make_unique<TFlowChartView>();
    TFlowChart& c = v->chart();
    const auto add = [&](int l, int t, int w, int h, TFcShape shape, TFcColor fill,
                         TFcColor outline, int width) {
        TFcObject* o = c.AddObject(l * scale, t * scale, w * scale, h * scale, shape);
        o->SetFillColor(fill);
        o->SetOutlineColor(outline);
        o->SetOutlineWidth(width * scale);
        return o;
    };
    add(10, 10, 60, 30, ShapeRectangle, kTeal, fcBlack, 1);
    add(90, 10, 61, 41, ShapeRoundRect, kYellow, kRed, 2);
    add(10, 60, 71, 49, ShapeEllipse, kCream, fcBlack, 1);
    add(100, 70, 50, 30, ShapeRectangle, kCream, kGreen, 1)->SetTransparent(true);
    add(30, 75, 33, 21, ShapeRoundRect, kTeal, kGreen, 3);
    v->resize(400, 300);
    v->show();
    return v;
}

TEST(FlowChartViewZoomPainting, At200PercentShapesAreDrawnAsTheirDoubledGeometryIsAt100Percent) {
    // A stretched picture of the 100 % shapes would show two-pixel steps on the curves (or
    // blurred edges); drawn at the zoom they are as sharp as shapes twice the size.
    auto zoomed = shapesView(1);
    auto doubled = shapesView(2);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(zoomed.get()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(doubled.get()));
    zoomed->setZoom(2.0, QPoint(0, 0));
    QApplication::processEvents();
    ASSERT_EQ(zoomed->viewport()->size(), doubled->viewport()->size());
    const QImage a = zoomed->viewport()->grab().toImage();
    const QImage b = doubled->viewport()->grab().toImage();
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
}

// The colours along a row of pixels from x0 to x1, as runs of one colour: (colour, length).
std::vector<std::pair<TFcColor, int>> runs(const QImage& image, int y, int x0, int x1) {
    std::vector<std::pair<TFcColor, int>> out;
    for (int x = x0; x <= x1; ++x) {
        const TFcColor c = pixel(image, {x, y});
        if (out.empty() || out.back().first != c)
            out.push_back({c, 0});
        ++out.back().second;
    }
    return out;
}

std::string runsText(const std::vector<std::pair<TFcColor, int>>& r) {
    std::string text;
    for (const auto& [color, length] : r)
        text += colorText(color) + " x " + std::to_string(length) + "; ";
    return text;
}

TEST_F(FlowChartViewZoomTest, ThinOutlinesAndLinesStaySharpAndNeverVanish) {
    struct Case {
        double zoom;
        int width; // pixels of a one-unit outline or line
    };
    for (const Case c : {Case{0.25, 1}, Case{0.33, 1}, Case{0.67, 1}, Case{2.0, 2}, Case{4.0, 4}}) {
        view->setZoom(c.zoom);
        view->chart().ScrollTo(250, 50);
        const QImage image = grab();
        // Across the vertical line at x = 300: `width` black pixels between the sky, no grey
        // of a smoothed picture, none lost to rounding.
        const int lineY = at(300, 80).y();
        const auto line = runs(image, lineY, at(290, 80).x(), at(310, 80).x());
        ASSERT_EQ(line.size(), 3u) << c.zoom << ": " << runsText(line);
        EXPECT_EQ(line[0].first, kSkyBlue) << c.zoom;
        EXPECT_EQ(line[1], std::make_pair(fcBlack, c.width)) << c.zoom << ": " << runsText(line);
        EXPECT_EQ(line[2].first, kSkyBlue) << c.zoom;
        // Across the caption block's right side (x = 280): teal, the outline, the sky.
        const auto side = runs(image, at(200, 120).y(), at(270, 120).x(), at(290, 120).x());
        ASSERT_EQ(side.size(), 3u) << c.zoom << ": " << runsText(side);
        EXPECT_EQ(side[0].first, kTeal) << c.zoom;
        EXPECT_EQ(side[1], std::make_pair(fcBlack, c.width)) << c.zoom << ": " << runsText(side);
        EXPECT_EQ(side[2].first, kSkyBlue) << c.zoom;
    }
}

// Ink of a caption: pixels of the text's white, and pixels between white and the teal fill.
struct Ink {
    int full = 0, partial = 0, firstRow = -1, lastRow = -1;
};
Ink captionInk(const QImage& image, const QRect& r) {
    Ink ink;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const TFcColor c = pixel(image, {x, y});
            if (c == kTeal)
                continue;
            if (c == fcWhite)
                ++ink.full;
            else
                ++ink.partial;
            ink.firstRow = ink.firstRow < 0 ? y : ink.firstRow;
            ink.lastRow = y;
        }
    return ink;
}

TEST_F(FlowChartViewZoomTest, CaptionsAreDrawnWithTheFontAtTheZoom) {
    const TFcRect inner = captioned->InnerArea();
    const Ink at100 = captionInk(grab(), shown(inner));
    view->setZoom(2.0);
    view->chart().ScrollTo(140, 80);
    const QImage image = grab();
    const Ink at200 = captionInk(image, shown(inner));
    ASSERT_GT(at100.full, 20);
    // About twice as tall (hinting moves an edge by a pixel or two), in the middle of the
    // block as at 100 %.
    EXPECT_NEAR(at200.lastRow - at200.firstRow, 2 * (at100.lastRow - at100.firstRow), 4);
    EXPECT_NEAR(at200.firstRow - shown(inner).top(), 2 * (at100.firstRow - inner.top), 3);
    // Glyphs drawn at twice the size: four times the solid ink, but the soft edge pixels only
    // grow with the outline, about twice. A smoothed picture of the 100 % text has a soft edge
    // of four times as many pixels or more; a blocky one has no pixel row unlike the row above.
    EXPECT_GT(at200.full, 3 * at100.full);
    EXPECT_LT(at200.partial, 3 * at100.partial);
    int oddRowsUnlikeTheRowAbove = 0;
    const QRect r = shown(inner);
    for (int y = r.top() + 1; y <= r.bottom(); y += 2)
        for (int x = r.left(); x <= r.right(); ++x)
            oddRowsUnlikeTheRowAbove += image.pixel(x, y) != image.pixel(x, y - 1) ? 1 : 0;
    EXPECT_GT(oddRowsUnlikeTheRowAbove, 20);
}

TEST(FlowChartViewZoomPictures, AnSvgPictureIsDrawnFromItsFileAtTheZoom) {
    const QString file = QStringLiteral(ZOLVANE_FIXTURES "/../../assets/robot.svg");
    TFlowChartView view;
    view.setPictures({TFlowChartView::loadPicture(file, QSize(32, 31))});
    TFcObject* end = view.chart().AddObject(20, 20, 40, 40, ShapeNone);
    end->SetOutlineWidth(0);
    end->SetImageIndex(0);
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    // The picture at the top-left of the inner area: (20, 20), 32 x 31 canvas units.
    for (const int zoom : {2, 3}) {
        view.setZoom(zoom, QPoint(0, 0));
        QApplication::processEvents();
        const QImage shown =
            view.viewport()->grab().toImage().copy(20 * zoom, 20 * zoom, 32 * zoom, 31 * zoom);
        // The file drawn at that size over the background.
        QImage expected(32 * zoom, 31 * zoom, QImage::Format_ARGB32_Premultiplied);
        expected.fill(qColor(view.chart().Color));
        QPainter p(&expected);
        p.drawImage(0, 0, TFlowChartView::loadPicture(file, expected.size()));
        p.end();
        int differing = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                differing += shown.pixel(x, y) != expected.pixel(x, y) ? 1 : 0;
        EXPECT_EQ(differing, 0) << "zoom " << zoom;
    }
}

TEST(FlowChartViewZoomPictures, AnyOtherPictureIsScaledToTheZoomedPlace) {
    QImage checker(32, 31, QImage::Format_ARGB32);
    checker.fill(QColor(255, 0, 255));
    TFlowChartView view;
    view.setPictures({checker});
    TFcObject* end = view.chart().AddObject(20, 20, 40, 40, ShapeNone);
    end->SetOutlineWidth(0);
    end->SetImageIndex(0);
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setZoom(0.5, QPoint(0, 0));
    QApplication::processEvents();
    const QImage image = view.viewport()->grab().toImage();
    int magenta = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            magenta += image.pixel(x, y) == qRgb(255, 0, 255) ? 1 : 0;
    EXPECT_EQ(magenta, 16 * 16) << "32 x 31 at (20, 20) is 16 x 16 at (10, 10) at 50 %";
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 255));
    EXPECT_EQ(image.pixel(25, 25), qRgb(255, 0, 255));
    EXPECT_NE(image.pixel(26, 26), qRgb(255, 0, 255));
}

// ---- repainting
// ----------------------------------------------------------------------------------

// Records the rectangles of the paint events a widget receives.
class PaintRecorder : public QObject {
public:
    QRect painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted |= static_cast<QPaintEvent*>(event)->rect();
        return false;
    }
};

TEST_F(FlowChartViewZoomTest, AChangeRepaintsItsZoomedArea) {
    view->setZoom(2.0, QPoint(0, 0));
    grab();
    PaintRecorder recorder;
    vp()->installEventFilter(&recorder);
    box->SetFillColor(kCream);
    QApplication::processEvents();
    vp()->removeEventFilter(&recorder);
    EXPECT_TRUE(recorder.painted.contains(shown(box->BoundsRect())));
    EXPECT_FALSE(recorder.painted.contains(at(175, 125))) << "the caption block";
    EXPECT_EQ(colorText(pixel(grab(), at(110, 65))), colorText(kCream))
        << "the box's zoomed bottom-right, beyond its place at 100 %";
}

} // namespace
