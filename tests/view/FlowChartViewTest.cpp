// The canvas view on the offscreen platform: rendered pixels, mouse and keyboard on a small
// chart-shaped model built by hand, clicked at the coordinates the model gives.
#include "canvas/view/FlowChartView.h"

#include "../support/MouseInput.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace {

constexpr TFcColor kSkyBlue = fcRgb(166, 202, 240);
constexpr TFcColor kYellow = fcRgb(255, 255, 0);
constexpr TFcColor kTeal = fcRgb(0, 128, 128);
constexpr TFcColor kCream = fcRgb(255, 235, 170);
constexpr TFcColor kMagenta = fcRgb(255, 0, 255);
constexpr int kRaisedBevel = 5;
const TFcFont kCaptionFont{"Courier New", 16, true, fcBlack};

TFcColor pixel(const QImage& image, int x, int y) {
    const QRgb c = image.pixel(x, y);
    return fcRgb(qRed(c), qGreen(c), qBlue(c));
}

TFcColor inverted(TFcColor c) {
    return fcRgb(255 - fcRed(c), 255 - fcGreen(c), 255 - fcBlue(c));
}

std::string colorText(TFcColor c) {
    return "(" + std::to_string(fcRed(c)) + ", " + std::to_string(fcGreen(c)) + ", " +
           std::to_string(fcBlue(c)) + ")";
}

// Counts pixels of one colour in a rectangle of the image.
int countColor(const QImage& image, const TFcRect& r, TFcColor color) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += pixel(image, x, y) == color ? 1 : 0;
    return n;
}

// A 32 x 31 picture, opaque magenta but for one transparent pixel at (1, 1).
QImage robotPicture() {
    QImage image(32, 31, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 255));
    image.setPixel(1, 1, qRgba(0, 0, 0, 0));
    return image;
}

// Records the rectangles of the paint events a widget receives.
class PaintRecorder : public QObject {
public:
    std::vector<QRect> rects;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
};

// A model shaped like the top of a chart: the BEGIN terminal, one block, an insertion spot
// (invisible base, cream marker, two anchors joined to the marker) and the end terminal with
// the robot picture. The start, end and spot base refuse selection, as in the chart.
class FlowChartViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<TFlowChartView>();
        view->setPictures({robotPicture()});
        TFlowChart& c = view->chart();

        begin = c.AddObject(70, 16, 90, 32, ShapeRoundRect);
        begin->SetFillColor(kYellow);
        begin->SetEdgeFlags(kRaisedBevel);
        begin->SetFont(kCaptionFont);
        begin->SetText("BEGIN");
        begin->SetTextHorz(1);
        begin->SetTextVert(1);

        block = c.AddObject(70, 80, 90, 32, ShapeRectangle);
        block->SetFillColor(kTeal);
        block->SetEdgeFlags(kRaisedBevel);
        TFcFont white = kCaptionFont;
        white.Color = fcWhite;
        block->SetFont(white);
        block->SetText("Direct");
        block->SetTextHorz(1);
        block->SetTextVert(1);
        block->SetImageIndex(0); // never fits a block's inner area
        block->SetImageVert(1);

        base = c.AddObject(70, 112, 90, 32, ShapeNone);
        marker = c.AddObject(95, 121, 40, 14, ShapeRectangle);
        marker->SetFillColor(kCream);
        marker->SetEdgeFlags(kRaisedBevel);
        upperAnchor = c.AddObject(115, 111, 0, 0, ShapeNone);
        lowerAnchor = c.AddObject(115, 144, 0, 0, ShapeNone);
        c.AddConnection(upperAnchor, marker, 0, 2);
        c.AddConnection(marker, lowerAnchor, 10, 0);
        base->AddGroupMember(marker);
        base->AddGroupMember(upperAnchor);
        base->AddGroupMember(lowerAnchor);

        end = c.AddObject(70, 144, 90, 32, ShapeNone);
        end->SetOutlineWidth(0);
        end->SetImageIndex(0);
        end->SetImageHorz(1);
        end->SetImageVert(0);

        refused = {begin, end, base};
        c.OnSelection = [this](TFlowChart&, TFcItem& item, bool& allow) {
            ++hookCalls;
            if (refused.count(&item) || item.asConnection())
                allow = false;
        };
        view->resize(400, 400);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        QApplication::processEvents();
    }

    QWidget* vp() const { return view->viewport(); }
    QPoint at(int x, int y) const { return view->viewportPoint({x, y}); }
    QPoint centreOf(const TFcObject* o) const {
        return at(o->Left() + o->Width() / 2, o->Top() + o->Height() / 2);
    }

    QImage grab() {
        QApplication::processEvents();
        return vp()->grab().toImage();
    }

    void click(QPoint p, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(vp(), Qt::LeftButton, mods, p);
    }

    void press(QPoint p) { testsupport::press(vp(), p); }
    void moveTo(QPoint p) { testsupport::moveTo(vp(), p); }
    void release(QPoint p) { testsupport::release(vp(), p); }
    void doubleClick(QPoint p) { testsupport::doubleClick(vp(), p); }
    void drag(QPoint from, QPoint to) {
        press(from);
        moveTo(to);
        release(to);
    }

    TFcRect bounds(const TFcObject* o) const { return o->BoundsRect(); }

    std::unique_ptr<TFlowChartView> view;
    TFcObject* begin = nullptr;
    TFcObject* block = nullptr;
    TFcObject* base = nullptr;
    TFcObject* marker = nullptr;
    TFcObject* upperAnchor = nullptr;
    TFcObject* lowerAnchor = nullptr;
    TFcObject* end = nullptr;
    std::set<TFcItem*> refused;
    int hookCalls = 0;
};

// ---- set-up ---------------------------------------------------------------------------------

TEST_F(FlowChartViewTest, IsNamedFlowChart1AndTellsTheModelItsClientSize) {
    EXPECT_EQ(view->objectName(), "FlowChart1");
    EXPECT_EQ(view->chart().ClientSize(), (TFcSize{vp()->width(), vp()->height()}));
    EXPECT_EQ(view->chart().ImageCount(), 1);
    EXPECT_EQ(view->chart().ImageSizes[0], (TFcSize{32, 31}));
}

// ---- painting -------------------------------------------------------------------------------

struct PixelCase {
    const char* what;
    int x, y;
    TFcColor color;
};

TEST_F(FlowChartViewTest, PaintsBackgroundFillsOutlinesAndLines) {
    const QImage image = grab();
    const PixelCase cases[] = {
        {"background", 5, 5, kSkyBlue},
        {"background right of the chart", 300, 100, kSkyBlue},
        {"block fill inside its bevel", 74, 83, kTeal},
        {"block fill near the bottom right", 155, 107, kTeal},
        {"marker fill", 99, 125, kCream},
        {"start terminal fill", 80, 20, kYellow},
        {"start terminal's cut corner", 70, 16, kSkyBlue},
        {"start terminal's outline at the top middle", 115, 16, fcBlack},
        {"start terminal's outline at the left middle", 70, 32, fcBlack},
        {"spot base paints nothing", 75, 115, kSkyBlue},
        {"line from the upper anchor to the marker", 115, 116, fcBlack},
        {"line from the marker to the lower anchor", 115, 140, fcBlack},
        {"beside the line", 117, 116, kSkyBlue},
    };
    for (const PixelCase& c : cases) {
        const QPoint p = at(c.x, c.y);
        EXPECT_EQ(colorText(pixel(image, p.x(), p.y())), colorText(c.color)) << c.what;
    }
}

TEST_F(FlowChartViewTest, BlockHasRaisedBevelInsteadOfOutline) {
    const QImage image = grab();
    const QPalette& pal = view->palette();
    auto rgb = [](const QColor& c) { return fcRgb(c.red(), c.green(), c.blue()); };
    const QPoint o = at(70, 80);
    // Outer line light at top and left, dark shadow at right and bottom; inner line highlight
    // at top and left, shadow at right and bottom.
    EXPECT_EQ(pixel(image, o.x(), o.y() + 10), rgb(pal.color(QPalette::Midlight)));
    EXPECT_EQ(pixel(image, o.x() + 40, o.y()), rgb(pal.color(QPalette::Midlight)));
    EXPECT_EQ(pixel(image, o.x() + 89, o.y() + 10), rgb(pal.color(QPalette::Shadow)));
    EXPECT_EQ(pixel(image, o.x() + 40, o.y() + 31), rgb(pal.color(QPalette::Shadow)));
    EXPECT_EQ(pixel(image, o.x() + 1, o.y() + 10), rgb(pal.color(QPalette::Light)));
    EXPECT_EQ(pixel(image, o.x() + 88, o.y() + 10), rgb(pal.color(QPalette::Dark)));
}

TEST_F(FlowChartViewTest, TransparentShapesKeepOnlyTheirRingAndShapeNoneNothing) {
    const TFcColor red = fcRgb(220, 0, 0), green = fcRgb(0, 200, 0);
    TFcObject* frame = view->chart().AddObject(200, 40, 60, 40, ShapeRectangle);
    frame->SetFillColor(green);
    frame->SetOutlineColor(red);
    frame->SetOutlineWidth(2);
    frame->SetTransparent(true);
    TFcObject* none = view->chart().AddObject(200, 100, 60, 40, ShapeNone);
    none->SetFillColor(green);
    TFcObject* round = view->chart().AddObject(280, 40, 60, 40, ShapeRoundRect);
    round->SetFillColor(green);
    round->SetOutlineColor(red);
    round->SetOutlineWidth(3);
    const QImage image = grab();
    auto px = [&](int x, int y) { return pixel(image, at(x, y).x(), at(x, y).y()); };
    EXPECT_EQ(px(200, 60), red);
    EXPECT_EQ(px(201, 60), red);
    EXPECT_EQ(px(202, 60), kSkyBlue) << "no fill inside a transparent shape";
    EXPECT_EQ(px(259, 79), red);
    EXPECT_EQ(countColor(image, {200, 100, 260, 140}, green), 0);
    // Rounded ring: 3 pixels thick at the middle of each side, fill inside, corners cut.
    EXPECT_EQ(px(280, 60), red);
    EXPECT_EQ(px(282, 60), red);
    EXPECT_EQ(px(283, 60), green);
    EXPECT_EQ(px(310, 42), red);
    EXPECT_EQ(px(310, 43), green);
    EXPECT_EQ(px(280, 40), kSkyBlue);
    EXPECT_EQ(px(339, 79), kSkyBlue);
}

TEST_F(FlowChartViewTest, SelectionMarksSitOnTheEightPointsOfTheSelectedObject) {
    view->chart().SelectObject(block);
    const QImage image = grab();
    const TFcPoint centres[] = {{70, 80},   {115, 80},  {159, 80}, {159, 96},
                                {159, 111}, {115, 111}, {70, 111}, {70, 96}};
    for (const TFcPoint& c : centres) {
        const QPoint p = at(c.x, c.y);
        EXPECT_EQ(countColor(image, {p.x() - 2, p.y() - 2, p.x() + 3, p.y() + 3}, fcBlack), 25)
            << "mark at " << c.x << ", " << c.y;
    }
    // The marks are 5 x 5: the pixels just beyond the top-left mark are not black.
    const QPoint tl = at(70, 80);
    EXPECT_EQ(pixel(image, tl.x() - 3, tl.y()), kSkyBlue);
    EXPECT_EQ(pixel(image, tl.x(), tl.y() - 3), kSkyBlue);
    EXPECT_EQ(pixel(image, tl.x() + 3, tl.y() + 3), kTeal);
    view->chart().SelectObject(nullptr);
    const QImage unselected = grab();
    EXPECT_EQ(pixel(unselected, tl.x(), tl.y()), pixel(unselected, tl.x(), tl.y() + 10))
        << "the marks go with the selection";
}

TEST_F(FlowChartViewTest, PictureOnlyWhereItFitsAndWithItsTransparency) {
    const QImage image = grab();
    // The end terminal (shape 0, outline 0, inner area 89 x 31) shows the picture centred at
    // its top: at (L + 28, T), 32 x 31. (Its top row also carries the end of the spot's line.)
    const QPoint p = at(70 + 28, 144);
    EXPECT_EQ(countColor(image, {p.x(), p.y() + 1, p.x() + 32, p.y() + 31}, kMagenta), 32 * 30 - 1);
    EXPECT_EQ(pixel(image, p.x(), p.y()), kMagenta);
    EXPECT_EQ(pixel(image, p.x() + 31, p.y()), kMagenta);
    EXPECT_EQ(pixel(image, p.x() + 1, p.y() + 1), kSkyBlue) << "transparent pixel";
    EXPECT_EQ(pixel(image, p.x() - 1, p.y() + 5), kSkyBlue);
    EXPECT_EQ(pixel(image, p.x() + 32, p.y() + 5), kSkyBlue);
    EXPECT_EQ(pixel(image, p.x() + 5, p.y() + 31), kSkyBlue);
    // The block (inner area 87 x 29) would cut it: no picture at all.
    EXPECT_EQ(
        countColor(image, fcFromQRect(fcToQRect(bounds(block)).translated(at(0, 0))), kMagenta), 0);
}

TEST_F(FlowChartViewTest, PictureIndexOutsideTheListDrawsNothing) {
    end->SetImageIndex(1);
    EXPECT_EQ(countColor(grab(), fcFromQRect(vp()->rect()), kMagenta), 0);
    end->SetImageIndex(0);
    EXPECT_GT(countColor(grab(), fcFromQRect(vp()->rect()), kMagenta), 0);
}

TEST_F(FlowChartViewTest, CaptionIsDrawnAndClippedToTheInnerArea) {
    TFcFont white = kCaptionFont;
    white.Color = fcWhite;
    // A marker-sized object with a caption far too long for it.
    TFcObject* o = view->chart().AddObject(200, 200, 40, 14, ShapeRectangle);
    o->SetFillColor(kTeal);
    o->SetFont(white);
    o->SetText("WWWWWWWWWWWWWWWWWWWW WWWWWWWWWWWWWWWW");
    const QImage image = grab();
    const QPoint tl = at(200, 200);
    const TFcRect inner = o->InnerArea().translated(tl.x() - 200, tl.y() - 200);
    EXPECT_GT(countColor(image, inner, fcWhite), 10) << "the caption is drawn";
    const TFcRect around = inner.inflated(20);
    EXPECT_EQ(countColor(image, around, fcWhite), countColor(image, inner, fcWhite))
        << "no ink outside the inner area";
    // The block's caption is white ink inside the block.
    const QPoint b = at(70, 80);
    EXPECT_GT(countColor(image, block->InnerArea().translated(b.x() - 70, b.y() - 80), fcWhite),
              20);
}

// Rows of the inner area that hold ink of the given colour: first and last.
std::pair<int, int> inkRows(const QImage& image, const TFcRect& r, TFcColor ink) {
    int first = -1, last = -1;
    for (int y = r.top; y < r.bottom; ++y) {
        if (countColor(image, {r.left, y, r.right, y + 1}, ink) > 0) {
            if (first < 0)
                first = y;
            last = y;
        }
    }
    return {first, last};
}

TEST_F(FlowChartViewTest, CaptionWrapsAtSpacesAndIsPlacedVertically) {
    TFcObject* o = view->chart().AddObject(200, 40, 90, 120, ShapeRectangle);
    o->SetFillColor(kTeal);
    TFcFont white = kCaptionFont;
    white.Color = fcWhite;
    o->SetFont(white);
    o->SetText("ab cd ef gh");
    o->SetTextHorz(1);
    const QPoint tl = at(200, 40);
    const TFcRect inner = o->InnerArea().translated(tl.x() - 200, tl.y() - 40);

    o->SetTextVert(0);
    const auto top = inkRows(grab(), inner, fcWhite);
    o->SetTextVert(2);
    const auto bottom = inkRows(grab(), inner, fcWhite);
    o->SetTextVert(1);
    const auto middle = inkRows(grab(), inner, fcWhite);

    ASSERT_GE(top.first, 0);
    // Wrapped to several lines: taller than one 16-pixel line.
    EXPECT_GT(top.second - top.first, 20);
    // Placement moves the same block of text: top, middle, bottom of the inner area.
    EXPECT_EQ(bottom.second - bottom.first, top.second - top.first);
    EXPECT_EQ(middle.second - middle.first, top.second - top.first);
    EXPECT_LT(top.first - inner.top, 12);
    EXPECT_LT(inner.bottom - bottom.second, 12);
    EXPECT_GT(bottom.first, top.first + 30);
    EXPECT_NEAR(middle.first - top.first, (bottom.first - top.first) / 2, 1);
}

// A caption of megabytes paints exactly as its beginning does: only what fits the block shows,
// whichever way it is placed.
TEST_F(FlowChartViewTest, AHugeCaptionPaintsAsItsBeginning) {
    TFcFont white = kCaptionFont;
    white.Color = fcWhite;
    TFcObject* o = view->chart().AddObject(200, 40, 90, 40, ShapeRectangle);
    o->SetFillColor(kTeal);
    o->SetFont(white);
    std::string huge = "Expression:";
    while (huge.size() < (1u << 20))
        huge += "A=A+1 B=B*2 ";
    for (int vert : {0, 1, 2}) {
        o->SetTextVert(vert);
        o->SetText(huge.substr(0, 400));
        const QImage beginning = grab();
        o->SetText(huge);
        EXPECT_EQ(grab(), beginning) << "placement " << vert;
    }
}

// Rows of an area that hold anything but the background: first and last (text is drawn
// with smoothed edges, so small text has few pixels of its exact colour).
std::pair<int, int> rowsNotOf(const QImage& image, const TFcRect& r, TFcColor background) {
    int first = -1, last = -1;
    for (int y = r.top; y < r.bottom; ++y) {
        if (countColor(image, {r.left, y, r.right, y + 1}, background) < r.width()) {
            if (first < 0)
                first = y;
            last = y;
        }
    }
    return {first, last};
}

TEST(ElideLongWords, ALineWithAWordWiderThanTheBoxShowsItsBeginning) {
    QFont font("Courier New");
    font.setPixelSize(16);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance("Label:start") + 2;
    const QString ellipsis(QChar(0x2026));
    struct Case {
        QString text;
        QString shown;
    };
    const Case cases[] = {
        {"Label:start_of_the_big_loop",
         metrics.elidedText("Label:start_of_the_big_loop", Qt::ElideRight, width)},
        {"Label:start", "Label:start"}, // fits: as it is
        {"ab cd ef gh", "ab cd ef gh"}, // words that fit wrap as before
        {"short\nLabel:start_of_the_big_loop",
         "short\n" + metrics.elidedText("Label:start_of_the_big_loop", Qt::ElideRight, width)},
    };
    for (const Case& c : cases) {
        const QString shown = fcElideLongWords(c.text, metrics, width);
        EXPECT_EQ(shown, c.shown) << c.text.toStdString();
        for (const QString& line : shown.split('\n'))
            EXPECT_LE(metrics.horizontalAdvance(line), width) << line.toStdString();
    }
    EXPECT_TRUE(cases[0].shown.startsWith("Label:")) << cases[0].shown.toStdString();
    EXPECT_TRUE(cases[0].shown.endsWith(ellipsis));
}

// ---- details: a value under the caption, the statements as tip ------------------------------

TEST_F(FlowChartViewTest, AValueIsPaintedUnderTheCaptionInsideTheBlockAndItsTipShown) {
    const QPoint b = at(70, 80);
    const TFcRect inner = block->InnerArea().translated(b.x() - 70, b.y() - 80);
    const TFcRect insideBevel = inner.inflated(-2); // the bevel's light edge is white too
    const auto plain = rowsNotOf(grab(), insideBevel, kTeal);
    ASSERT_GE(plain.first, 0);
    EXPECT_TRUE(view->toolTipAt(centreOf(block)).isEmpty()) << "no source: no tip";

    int asked = 0;
    QString value = "WAIT 100";
    view->setDetailSource([&](const TFcObject& o) {
        ++asked;
        return &o == block ? TFcDetail{value, "WAIT 100\nthe whole statement"} : TFcDetail{};
    });
    const QImage image = grab();
    const auto withValue = rowsNotOf(image, insideBevel, kTeal);
    // Caption above, value below, both within the block, which keeps its size.
    EXPECT_LT(withValue.first, plain.first) << "the caption moves up to make room";
    EXPECT_GT(withValue.second, plain.second) << "ink under the caption";
    EXPECT_EQ(countColor(image, inner.inflated(6), fcWhite), countColor(image, inner, fcWhite));
    EXPECT_EQ(bounds(block), (TFcRect{70, 80, 160, 112}));
    EXPECT_EQ(view->toolTipAt(centreOf(block)), "WAIT 100\nthe whole statement");
    EXPECT_TRUE(view->toolTipAt(centreOf(begin)).isEmpty());
    // A mark's message comes first, then the statement.
    view->setMarks({{block, {TFcMark::Level::Error, "Block 1: something"}}});
    EXPECT_EQ(view->toolTipAt(centreOf(block)),
              "Block 1: something\n\nWAIT 100\nthe whole statement");
    view->setMarks({});

    // A value far wider than the block is cut to it, never painted outside.
    value = QString(200, 'W');
    block->Payload = "changed"; // the source is asked again only when kind or payload change
    const int before = asked;
    const QImage wide = grab();
    EXPECT_GT(asked, before);
    EXPECT_EQ(countColor(wide, inner.inflated(6), fcWhite), countColor(wide, inner, fcWhite));
    const int settled = asked;
    grab();
    view->viewport()->update();
    grab();
    EXPECT_EQ(asked, settled) << "a repaint with nothing changed asks nothing";

    // A block too low for two lines shows its caption alone, as before.
    view->setDetailSource({});
    block->SetHeight(20);
    const QImage low = grab();
    view->setDetailSource([&](const TFcObject& o) {
        return &o == block ? TFcDetail{"WAIT 100", {}} : TFcDetail{};
    });
    EXPECT_EQ(grab(), low);
}

// ---- rendering for export and print ---------------------------------------------------------

TEST_F(FlowChartViewTest, RenderAreaPaintsTheCanvasAsTheScreenDoesWithoutSelectionOrMarks) {
    const TFcRect area{60, 10, 170, 180};
    const auto render = [&](const QColor& background = {}) {
        QImage image(area.width(), area.height(), QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        view->renderArea(p, area, background);
        return image;
    };
    view->chart().ClearSelection();
    const QImage screen =
        grab().copy(QRect(at(area.left, area.top), QSize(area.width(), area.height())));
    const QImage plain = render();
    EXPECT_EQ(plain, screen.convertToFormat(plain.format()))
        << "at 100 % and unscrolled, the screen's own pixels";

    // Selection and a mark show on screen only; zoom and scrolling do not change a render.
    view->chart().SelectObject(block);
    view->setMarks({{block, {TFcMark::Level::Error, "Block 1: something"}}});
    view->setZoom(4.0);
    view->chart().ScrollTo(30, 40);
    const TFcPoint scrolled = view->chart().ScrollPos();
    EXPECT_NE(scrolled, (TFcPoint{0, 0}));
    EXPECT_EQ(render(), plain);
    EXPECT_EQ(view->zoom(), 4.0) << "the view keeps its zoom";
    EXPECT_EQ(view->chart().ScrollPos(), scrolled);

    // Another background shows where the canvas colour showed.
    const QImage white = render(Qt::white);
    EXPECT_EQ(pixel(white, 2, 2), fcWhite);
    EXPECT_EQ(pixel(plain, 2, 2), kSkyBlue);
    const QPoint inBlock(115 - area.left, 85 - area.top);
    EXPECT_EQ(white.pixel(inBlock), plain.pixel(inBlock)) << "the blocks keep their colours";
}

// ---- damage ---------------------------------------------------------------------------------

TEST_F(FlowChartViewTest, ModelChangeRepaintsOnlyItsArea) {
    grab();
    PaintRecorder recorder;
    vp()->installEventFilter(&recorder);
    marker->SetFillColor(fcRgb(200, 0, 0));
    QApplication::processEvents();
    vp()->removeEventFilter(&recorder);
    ASSERT_FALSE(recorder.rects.empty());
    QRect painted;
    for (const QRect& r : recorder.rects)
        painted |= r;
    const QRect markerRect = fcToQRect(bounds(marker)).translated(at(0, 0));
    EXPECT_TRUE(painted.contains(markerRect));
    EXPECT_FALSE(painted.contains(centreOf(begin)));
    EXPECT_FALSE(painted.contains(at(300, 300)));
    EXPECT_EQ(pixel(grab(), at(99, 125).x(), at(99, 125).y()), fcRgb(200, 0, 0));
}

// ---- marks and side labels ------------------------------------------------------------------

TEST_F(FlowChartViewTest, MarksAreRedOrYellowDotsBesideTheObjectWithTheirMessageAsTip) {
    const TFcRect dot = TFlowChartView::markRect(*block);
    EXPECT_GT(dot.left, bounds(block).right) << "the block itself looks as it always did";
    EXPECT_LT(dot.right, bounds(block).right + 20);
    EXPECT_GT(dot.top, bounds(block).top);
    EXPECT_LT(dot.bottom, bounds(block).bottom);
    const QPoint centre = at((dot.left + dot.right) / 2, (dot.top + dot.bottom) / 2);
    EXPECT_EQ(pixel(grab(), centre.x(), centre.y()), kSkyBlue) << "no mark until one is set";
    EXPECT_TRUE(view->toolTipAt(centreOf(block)).isEmpty());

    struct Case {
        TFcMark::Level level;
        QColor color;
    };
    const Case cases[] = {{TFcMark::Level::Error, QColor(220, 30, 30)},
                          {TFcMark::Level::Warning, QColor(250, 200, 0)}};
    for (const Case& c : cases) {
        view->setMarks({{block, {c.level, "Block 1: something"}}});
        const QColor painted = grab().pixelColor(centre);
        EXPECT_EQ(painted.rgb(), c.color.rgb()) << colorText(pixel(grab(), centre.x(), centre.y()));
        EXPECT_EQ(view->toolTipAt(centreOf(block)), "Block 1: something");
        EXPECT_EQ(view->toolTipAt(centre), "Block 1: something");
        EXPECT_TRUE(view->toolTipAt(centreOf(begin)).isEmpty());
        EXPECT_TRUE(view->toolTipAt(at(300, 300)).isEmpty());
    }
    // The inside of the block is untouched by its mark.
    const TFcRect inner = bounds(block).inflated(-3);
    const QImage marked = grab();
    view->setMarks({});
    const QImage plain = grab();
    EXPECT_EQ(pixel(plain, centre.x(), centre.y()), kSkyBlue);
    for (int y = inner.top; y < inner.bottom; ++y)
        for (int x = inner.left; x < inner.right; ++x)
            ASSERT_EQ(marked.pixel(at(x, y)), plain.pixel(at(x, y))) << x << "," << y;

    // A marked block that moves takes its dot along: the old place is painted over.
    view->setMarks({{block, {TFcMark::Level::Error, "x"}}});
    grab();
    PaintRecorder recorder;
    vp()->installEventFilter(&recorder);
    block->SetTop(block->Top() + 150);
    QApplication::processEvents();
    vp()->removeEventFilter(&recorder);
    QRegion painted;
    for (const QRect& r : recorder.rects)
        painted += r;
    EXPECT_TRUE(painted.contains(fcToQRect(dot).translated(at(0, 0))));
    EXPECT_EQ(pixel(grab(), centre.x(), centre.y()), kSkyBlue);
}

TEST_F(FlowChartViewTest, AMarkAndASideLabelGoWithTheirObject) {
    view->setMarks(
        {{block, {TFcMark::Level::Error, "x"}}, {marker, {TFcMark::Level::Warning, "y"}}});
    view->setSideLabels({{block, "120"}, {marker, "130"}});
    const TFcRect strip = TFlowChartView::sideLabelRect(*block);
    const int stripArea = strip.width() * strip.height();
    ASSERT_LT(countColor(grab(), strip, kSkyBlue), stripArea) << "the number is drawn";
    PaintRecorder recorder;
    vp()->installEventFilter(&recorder);
    view->chart().RemoveObject(block);
    QApplication::processEvents();
    vp()->removeEventFilter(&recorder);
    EXPECT_EQ(view->marks().size(), 1u);
    EXPECT_EQ(view->marks().count(marker), 1u);
    EXPECT_EQ(view->sideLabels().size(), 1u);
    EXPECT_EQ(view->sideLabels().count(marker), 1u);
    // The strip where the removed block's number stood is painted over.
    QRegion painted;
    for (const QRect& r : recorder.rects)
        painted += r;
    EXPECT_TRUE(painted.contains(fcToQRect(strip).translated(at(0, 0))));
    EXPECT_EQ(countColor(grab(), strip, kSkyBlue), stripArea);
}

TEST_F(FlowChartViewTest, SideLabelsStandLeftOfTheirObjectAndFollowItWhenItMoves) {
    const auto inkIn = [](const QImage& image, const TFcRect& r) {
        return r.width() * r.height() - countColor(image, r, kSkyBlue);
    };
    const TFcRect strip = TFlowChartView::sideLabelRect(*block);
    EXPECT_EQ(strip.right, bounds(block).left - 4);
    EXPECT_EQ(strip.top, bounds(block).top);
    EXPECT_EQ(strip.bottom, bounds(block).bottom);
    ASSERT_GE(strip.left, 0);
    EXPECT_EQ(inkIn(grab(), strip), 0);
    view->setSideLabels({{block, "120"}});
    EXPECT_GT(inkIn(grab(), strip), 0) << "the number is drawn";

    // Moved down, the number goes with it: both strips are painted again.
    PaintRecorder recorder;
    vp()->installEventFilter(&recorder);
    block->SetTop(block->Top() + 200);
    QApplication::processEvents();
    vp()->removeEventFilter(&recorder);
    QRegion painted;
    for (const QRect& r : recorder.rects)
        painted += r;
    EXPECT_TRUE(painted.contains(fcToQRect(strip).translated(at(0, 0))));
    EXPECT_TRUE(
        painted.contains(fcToQRect(TFlowChartView::sideLabelRect(*block)).translated(at(0, 0))));
    const QImage moved = grab();
    EXPECT_EQ(inkIn(moved, strip), 0);
    EXPECT_GT(inkIn(moved, TFlowChartView::sideLabelRect(*block)), 0);

    view->setSideLabels({});
    EXPECT_EQ(inkIn(grab(), TFlowChartView::sideLabelRect(*block)), 0);
}

TEST_F(FlowChartViewTest, SelectionChangesAreSignalledOnceTheEventIsOver) {
    QSignalSpy spy(view.get(), &TFlowChartView::selectionChanged);
    view->chart().SelectObject(block);
    view->chart().SelectObject(marker);
    view->chart().ClearSelection();
    EXPECT_EQ(spy.count(), 0) << "not while the change is under way";
    QApplication::processEvents();
    EXPECT_EQ(spy.count(), 1);
    click(centreOf(block));
    QApplication::processEvents();
    EXPECT_EQ(spy.count(), 2);
    click(centreOf(block)); // already selected
    QApplication::processEvents();
    EXPECT_EQ(spy.count(), 2);
}

// ---- mouse selection --------------------------------------------------------------------------

enum class Target { Block, Marker, Begin, End, SpotBase, Empty, Line };
enum class Sel { None, Block, Marker };

struct ClickCase {
    const char* name;
    Sel before;
    Target target;
    bool shift;
    Sel after;
};

class ClickTest : public FlowChartViewTest, public ::testing::WithParamInterface<ClickCase> {
protected:
    TFcObject* objectOf(Sel s) const {
        return s == Sel::Block ? block : s == Sel::Marker ? marker : nullptr;
    }
    QPoint pointOf(Target t) const {
        switch (t) {
        case Target::Block:
            return centreOf(block);
        case Target::Marker:
            return centreOf(marker);
        case Target::Begin:
            return centreOf(begin);
        case Target::End:
            return at(75, 170); // beside the picture
        case Target::SpotBase:
            return at(75, 120);
        case Target::Line:
            return at(115, 116);
        case Target::Empty:
            break;
        }
        return at(300, 300);
    }
};

TEST_P(ClickTest, SelectsAsTheCanvasRulesSay) {
    const ClickCase& c = GetParam();
    view->chart().SelectObject(objectOf(c.before));
    click(pointOf(c.target), c.shift ? Qt::ShiftModifier : Qt::NoModifier);
    EXPECT_EQ(view->chart().SelectedObject(), objectOf(c.after));
    if (c.after == Sel::None) {
        EXPECT_EQ(view->chart().SelectedCount(), 0);
        EXPECT_TRUE(view->chart().SelectedConnections().empty());
    }
}

const ClickCase kClicks[] = {
    {"BlockSelectsIt", Sel::None, Target::Block, false, Sel::Block},
    {"MarkerReplacesBlock", Sel::Block, Target::Marker, false, Sel::Marker},
    {"ShiftClickOnSelectedDeselects", Sel::Block, Target::Block, true, Sel::None},
    {"ShiftClickOnOtherSelectsIt", Sel::Block, Target::Marker, true, Sel::Marker},
    {"EmptyCanvasKeepsSelection", Sel::Block, Target::Empty, false, Sel::Block},
    {"RefusedStartLeavesNothing", Sel::Block, Target::Begin, false, Sel::None},
    {"RefusedEndLeavesNothing", Sel::Marker, Target::End, false, Sel::None},
    {"RefusedSpotBaseLeavesNothing", Sel::Block, Target::SpotBase, false, Sel::None},
    {"RefusedLineLeavesNothing", Sel::Block, Target::Line, false, Sel::None},
};
INSTANTIATE_TEST_SUITE_P(Clicks, ClickTest, ::testing::ValuesIn(kClicks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlowChartViewTest, ClickOnSelectedObjectAsksNoHook) {
    view->chart().SelectObject(block);
    hookCalls = 0;
    click(centreOf(block));
    EXPECT_EQ(view->chart().SelectedObject(), block);
    EXPECT_EQ(hookCalls, 0);
}

TEST_F(FlowChartViewTest, ClickTakesTheKeyboardFocus) {
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    view->clearFocus();
    ASSERT_FALSE(view->hasFocus());
    QTest::mouseClick(vp(), Qt::RightButton, {}, at(300, 300));
    EXPECT_TRUE(view->hasFocus());
    EXPECT_EQ(view->chart().SelectedCount(), 0);
}

TEST_F(FlowChartViewTest, ClicksLandAtModelCoordinatesWhenScrolled) {
    TFcObject* far = view->chart().AddObject(70, 2000, 90, 32, ShapeRectangle);
    QApplication::processEvents();
    view->chart().ScrollTo(0, 5000); // the limits make it the bottom
    QApplication::processEvents();
    const int bottom = 2032 - vp()->height();
    EXPECT_EQ(view->chart().ScrollPos().y, bottom);
    EXPECT_EQ(view->verticalScrollBar()->value(), bottom);
    EXPECT_EQ(at(100, 2010), QPoint(100, 2010 - bottom));
    click(centreOf(far));
    EXPECT_EQ(view->chart().SelectedObject(), far);
}

TEST_F(FlowChartViewTest, LinesScrollWithTheObjectsAt100Percent) {
    view->chart().AddObject(70, 2000, 90, 32, ShapeRectangle);
    QApplication::processEvents();
    view->chart().ScrollTo(0, 100);
    ASSERT_EQ(view->chart().ScrollPos().y, 100);
    // The line from the spot's upper anchor to its marker, between 112 and 121 at x 115.
    const QImage image = grab();
    const QPoint onLine = at(115, 116);
    ASSERT_GE(onLine.y(), 0);
    EXPECT_EQ(pixel(image, onLine.x(), onLine.y()), fcBlack) << "the line where its ends are";
    // Where it would be, were it not scrolled, is empty canvas.
    EXPECT_EQ(pixel(image, onLine.x(), 116), kSkyBlue) << "no line left behind";
}

// ---- dragging ---------------------------------------------------------------------------------

struct DragCase {
    const char* name;
    int dx, dy;
    bool moves;
};

class DragTest : public FlowChartViewTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DragTest, MovesOnlyPastFourPixels) {
    const DragCase& c = GetParam();
    view->chart().SelectObject(block);
    const QPoint from = centreOf(block);
    drag(from, from + QPoint(c.dx, c.dy));
    const int ex = c.moves ? c.dx : 0, ey = c.moves ? c.dy : 0;
    EXPECT_EQ(block->Left(), 70 + ex);
    EXPECT_EQ(block->Top(), 80 + ey);
    EXPECT_EQ(block->Width(), 90);
    EXPECT_EQ(view->chart().SelectedObject(), block);
}

const DragCase kDrags[] = {
    {"FourRight", 4, 0, false}, {"TwoAndTwo", 2, -2, false}, {"ThreeAndOne", -3, 1, false},
    {"FiveRight", 5, 0, true},  {"ThreeAndTwo", 3, 2, true}, {"FarAway", -40, 90, true},
};
INSTANTIATE_TEST_SUITE_P(Drags, DragTest, ::testing::ValuesIn(kDrags),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlowChartViewTest, DragMovesTheMoveGroupAndTheLinesFollow) {
    refused.erase(base);
    click(at(75, 120));
    ASSERT_EQ(view->chart().SelectedObject(), base);
    drag(at(75, 120), at(85, 126));
    EXPECT_EQ(base->Left(), 80);
    EXPECT_EQ(base->Top(), 118);
    EXPECT_EQ(marker->Left(), 105);
    EXPECT_EQ(marker->Top(), 127);
    EXPECT_EQ(upperAnchor->Left(), 125);
    EXPECT_EQ(lowerAnchor->Top(), 150);
    const QImage image = grab();
    const QPoint line = at(125, 120);
    EXPECT_EQ(pixel(image, line.x(), line.y()), fcBlack) << "line moved with its ends";
    const QPoint old = at(115, 143);
    EXPECT_EQ(pixel(image, old.x(), old.y()), kSkyBlue) << "old line place repainted";
    EXPECT_EQ(pixel(image, at(109, 131).x(), at(109, 131).y()), kCream);
}

TEST_F(FlowChartViewTest, DragShowsAnInvertedOutlineUntilRelease) {
    view->chart().SelectObject(block);
    const QPoint from = centreOf(block);
    press(from);
    moveTo(from + QPoint(10, 10));
    const QImage during = grab();
    // The outline's right edge lies over the background, its left edge over the block.
    const QPoint right = at(70 + 10 + 89, 100);
    EXPECT_EQ(pixel(during, right.x(), right.y()), inverted(kSkyBlue));
    const QPoint left = at(80, 100);
    EXPECT_EQ(pixel(during, left.x(), left.y()), inverted(kTeal));
    EXPECT_EQ(block->Left(), 70) << "nothing moves before the release";
    release(from + QPoint(10, 10));
    const QImage after = grab();
    EXPECT_EQ(block->Left(), 80);
    EXPECT_EQ(countColor(after, fcFromQRect(vp()->rect()), inverted(kSkyBlue)), 0);
}

TEST_F(FlowChartViewTest, DragOnSelectionMarkResizes) {
    view->chart().SelectObject(block);
    const QPoint mark = at(159, 111); // bottom-right
    press(mark);
    moveTo(mark + QPoint(20, 10));
    const QImage during = grab();
    const QPoint band = at(179, 100);
    EXPECT_EQ(pixel(during, band.x(), band.y()), inverted(kSkyBlue)) << "rubber band";
    release(mark + QPoint(20, 10));
    EXPECT_EQ(bounds(block), (TFcRect{70, 80, 180, 122}));
    // A small pull also resizes: a press on a mark starts the resize at once.
    press(at(70, 80));
    release(at(72, 81));
    EXPECT_EQ(bounds(block), (TFcRect{72, 81, 180, 122}));
}

TEST_F(FlowChartViewTest, DragFromNearASelectedObjectDrawsAConnection) {
    view->chart().SelectObject(block);
    const int before = view->chart().ConnectionCount();
    // Just left of the block, between two marks: near it but not inside.
    drag(at(69, 88), at(300, 300));
    ASSERT_EQ(view->chart().ConnectionCount(), before + 1);
    const TFcConnection* c = &view->chart().Connections().back();
    EXPECT_EQ(c->SourceObject(), block);
    EXPECT_EQ(c->Points().back(), (TFcPoint{300, 300}));
    EXPECT_EQ(bounds(block), (TFcRect{70, 80, 160, 112}));
    // The line runs from link point 15 (70, 88) to (300, 300): at x = 185 it passes y = 194.
    const QPoint mid = at(185, 194);
    EXPECT_EQ(c->Points().front(), (TFcPoint{70, 88}));
    EXPECT_GT(countColor(grab(), {mid.x() - 3, mid.y() - 4, mid.x() + 3, mid.y() + 4}, fcBlack), 2)
        << "the new line is painted";
}

TEST_F(FlowChartViewTest, EscapeDropsTheDragInProgress) {
    view->chart().SelectObject(block);
    const QPoint from = centreOf(block);
    press(from);
    moveTo(from + QPoint(30, 20));
    ASSERT_EQ(view->chart().Drag().kind, TFcDrag::Moving);
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(countColor(grab(), fcFromQRect(vp()->rect()), inverted(kSkyBlue)), 0)
        << "the outline is gone";
    moveTo(from + QPoint(40, 20));
    release(from + QPoint(40, 20));
    EXPECT_EQ(bounds(block), (TFcRect{70, 80, 160, 112}));
    EXPECT_EQ(view->chart().SelectedObject(), block);
}

TEST_F(FlowChartViewTest, PointerOverASelectionMarkShowsTheResizeDirection) {
    auto hover = [&](int x, int y) {
        QMouseEvent e(QEvent::MouseMove, at(x, y), vp()->mapToGlobal(at(x, y)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(vp(), &e);
        return vp()->cursor().shape();
    };
    EXPECT_EQ(hover(159, 111), Qt::ArrowCursor) << "no selection, no marks";
    view->chart().SelectObject(block);
    EXPECT_EQ(hover(159, 111), Qt::SizeFDiagCursor);
    EXPECT_EQ(hover(70, 111), Qt::SizeBDiagCursor);
    EXPECT_EQ(hover(115, 80), Qt::SizeVerCursor);
    EXPECT_EQ(hover(71, 97), Qt::SizeHorCursor);
    EXPECT_EQ(hover(115, 96), Qt::ArrowCursor);
}

TEST_F(FlowChartViewTest, WheelScrollsTheCanvas) {
    view->chart().AddObject(70, 3000, 90, 32, ShapeRectangle);
    QApplication::processEvents();
    const QPoint p = at(200, 200);
    QWheelEvent wheel(p, vp()->mapToGlobal(p), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp(), &wheel);
    EXPECT_GT(view->chart().ScrollPos().y, 0);
    EXPECT_EQ(view->chart().ScrollPos().y, view->verticalScrollBar()->value());
}

TEST_F(FlowChartViewTest, HiddenSelectionShowsMarksOnlyWithTheFocus) {
    view->chart().Options |= fcoHideSelection;
    view->chart().SelectObject(block);
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    const QPoint tl = at(70, 80);
    view->clearFocus();
    EXPECT_NE(pixel(grab(), tl.x(), tl.y()), fcBlack);
    view->setFocus();
    ASSERT_TRUE(view->hasFocus());
    EXPECT_EQ(pixel(grab(), tl.x(), tl.y()), fcBlack);
}

// ---- keyboard ---------------------------------------------------------------------------------

TEST_F(FlowChartViewTest, ArrowKeysFollowTheNearestObjectRule) {
    // Up from the marker: the upper anchor scores best (172) ahead of the base (211, refused).
    view->chart().SelectObject(marker);
    QTest::keyClick(view.get(), Qt::Key_Up);
    EXPECT_EQ(view->chart().SelectedObject(), upperAnchor);
    // Down from the block: the spot base scores best and is refused: nothing stays selected.
    view->chart().SelectObject(block);
    QTest::keyClick(view.get(), Qt::Key_Down);
    EXPECT_EQ(view->chart().SelectedCount(), 0);
    // Without a selection an arrow does nothing.
    QTest::keyClick(view.get(), Qt::Key_Down);
    EXPECT_EQ(view->chart().SelectedCount(), 0);
}

TEST_F(FlowChartViewTest, ShiftResizesAndAltMovesByOnePixel) {
    view->chart().SelectObject(block);
    QTest::keyClick(view.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(view.get(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(bounds(block), (TFcRect{70, 80, 161, 111}));
    QTest::keyClick(view.get(), Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(view.get(), Qt::Key_PageDown, Qt::AltModifier);
    EXPECT_EQ(bounds(block), (TFcRect{72, 81, 163, 112}));
    EXPECT_EQ(view->chart().SelectedObject(), block);
}

TEST_F(FlowChartViewTest, DeleteRemovesNothing) {
    view->chart().SelectObject(block);
    const int objects = view->chart().ObjectCount();
    QTest::keyClick(view.get(), Qt::Key_Delete);
    EXPECT_EQ(view->chart().ObjectCount(), objects);
    EXPECT_EQ(view->chart().SelectedObject(), block);
}

TEST_F(FlowChartViewTest, PageAndEndKeysScrollAndTheScrollBarsFollow) {
    view->chart().AddObject(70, 3000, 90, 32, ShapeRectangle);
    view->chart().AddObject(1000, 100, 90, 32, ShapeRectangle);
    QApplication::processEvents();
    const int h = vp()->height(), w = vp()->width();
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 3032 - h);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 1090 - w);

    QTest::keyClick(view.get(), Qt::Key_PageDown);
    EXPECT_EQ(view->chart().ScrollPos(), (TFcPoint{0, h - 16}));
    EXPECT_EQ(view->verticalScrollBar()->value(), h - 16);
    QTest::keyClick(view.get(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(view->chart().ScrollPos(), (TFcPoint{w - 16, h - 16}));
    QTest::keyClick(view.get(), Qt::Key_PageUp);
    QTest::keyClick(view.get(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(view->chart().ScrollPos(), (TFcPoint{0, 0}));
    QTest::keyClick(view.get(), Qt::Key_End);
    EXPECT_EQ(view->chart().ScrollPos(), (TFcPoint{1090 - w, 0}));
    QTest::keyClick(view.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view->chart().ScrollPos(), (TFcPoint{1090 - w, 3032 - h}));
    EXPECT_EQ(view->horizontalScrollBar()->value(), 1090 - w);
    EXPECT_EQ(view->verticalScrollBar()->value(), 3032 - h);
    QTest::keyClick(view.get(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view->chart().ScrollPos(), (TFcPoint{0, 0}));

    // The scroll bar moves the canvas too.
    view->verticalScrollBar()->setValue(500);
    EXPECT_EQ(view->chart().ScrollPos(), (TFcPoint{0, 500}));
}

TEST_F(FlowChartViewTest, ArrowKeyScrollsTheNewSelectionIntoView) {
    view->resize(250, 150);
    QApplication::processEvents();
    TFcObject* far = view->chart().AddObject(70, 600, 90, 32, ShapeRectangle);
    QApplication::processEvents();
    view->chart().SelectObject(marker);
    // Below the marker only the new object is left in the running for Down.
    for (TFcObject* o : {end, lowerAnchor})
        o->SetVisible(false);
    QTest::keyClick(view.get(), Qt::Key_Down);
    ASSERT_EQ(view->chart().SelectedObject(), far);
    EXPECT_EQ(view->chart().ScrollPos().y, 632 - vp()->height());
    EXPECT_EQ(view->verticalScrollBar()->value(), 632 - vp()->height());
    const QImage image = grab();
    const QPoint mark = at(159, 631); // its bottom-right selection mark, now in view
    ASSERT_TRUE(vp()->rect().contains(mark));
    EXPECT_EQ(pixel(image, mark.x(), mark.y()), fcBlack);
}

// ---- double click -----------------------------------------------------------------------------

TEST_F(FlowChartViewTest, DoubleClickRaisesTheEventWithTheSelectionUnchanged) {
    QSignalSpy spy(view.get(), &TFlowChartView::dblClick);
    int modelEvents = 0;
    view->chart().OnDblClick = [&](TFlowChart&) {
        ++modelEvents;
        EXPECT_EQ(view->chart().SelectedObject(), block);
    };
    view->chart().SelectObject(block);
    doubleClick(at(300, 300));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(modelEvents, 1);
    EXPECT_EQ(view->chart().SelectedObject(), block);
    // On the block itself the first click has already selected it.
    view->chart().SelectObject(nullptr);
    doubleClick(centreOf(block));
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(view->chart().SelectedObject(), block);
}

TEST_F(FlowChartViewTest, RightDoubleClickRaisesNothing) {
    QSignalSpy spy(view.get(), &TFlowChartView::dblClick);
    QTest::mouseDClick(vp(), Qt::RightButton, {}, at(300, 300));
    EXPECT_EQ(spy.count(), 0);
}

// ---- pictures from files ---------------------------------------------------------------------

TEST(FlowChartViewPictures, LoadsTheRobotSvgAtItsSizeAndRefusesMissingFiles) {
    const QImage robot =
        TFlowChartView::loadPicture(QStringLiteral(ZOLVANE_FIXTURES "/../../assets/robot.svg"));
    ASSERT_FALSE(robot.isNull());
    EXPECT_EQ(robot.size(), QSize(32, 31));
    EXPECT_EQ(qAlpha(robot.pixel(0, 0)), 0) << "transparent corner";
    EXPECT_TRUE(TFlowChartView::loadPicture(QStringLiteral("/nonexistent/robot.svg")).isNull());
    EXPECT_TRUE(TFlowChartView::loadPicture(QStringLiteral("/nonexistent/robot.png")).isNull());
}

} // namespace
