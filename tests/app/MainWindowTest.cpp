// The main window as it starts and as the canvas and the palette drive the chart: real widgets
// on the offscreen platform, clicked where the chart's objects are.
#include "WindowFixture.h"

#include <QPlainTextEdit>
#include <QToolButton>

namespace {

constexpr QRgb kTeal = qRgb(0, 128, 128);
constexpr QRgb kCream = qRgb(255, 235, 170);
constexpr QRgb kSkyBlue = qRgb(166, 202, 240);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr int kDirect = 1; // first item of "Executable Mod"

QRgb pixel(const QImage& image, QPoint p) {
    return image.pixel(p) | 0xff000000u;
}

std::string rgbText(QRgb c) {
    return "(" + std::to_string(qRed(c)) + ", " + std::to_string(qGreen(c)) + ", " +
           std::to_string(qBlue(c)) + ")";
}

} // namespace

// ---- start-up -------------------------------------------------------------------------------

TEST_F(WindowTest, StartsUnnamedWithEmptyTextAndTheFirstMarkerSelected) {
    EXPECT_EQ(window->windowTitle(), QString(kApplicationTitle));
    EXPECT_TRUE(window->programText()->toPlainText().isEmpty());
    ASSERT_EQ(chart().Count(), 3);
    EXPECT_EQ(chart().Item(0)->Class(), TChartItemClass::StartPanel);
    EXPECT_EQ(chart().Item(1)->Class(), TChartItemClass::NormalSpot);
    EXPECT_EQ(chart().Item(2)->Class(), TChartItemClass::EndPanel);
    EXPECT_EQ(canvas().SelectedObject(), marker(1));
    EXPECT_EQ(canvas().SelectedCount(), 1);
    EXPECT_TRUE(window->chartFile().CurrentFileName().empty());
}

TEST_F(WindowTest, StartsWithItsLayoutAndAPlainUnwrappedProgramText) {
    EXPECT_EQ(window->geometry(), QRect(106, 80, 610, 436));
    QWidget* panel = window->findChild<QWidget*>("Panel1");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->height(), 37);
    EXPECT_EQ(window->palette()->width(), 145);
    EXPECT_EQ(window->flowChart()->width(), 282);
    EXPECT_EQ(window->flowChart()->mapTo(window.get(), QPoint(0, 0)), QPoint(145, 37));
    const QPlainTextEdit* memo = window->programText();
    EXPECT_EQ(memo->objectName(), "Memo1");
    EXPECT_EQ(memo->mapTo(window.get(), QPoint(0, 0)).x(), 432);
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(memo->isReadOnly());
}

TEST_F(WindowTest, ToolbarHoldsTenCommandButtonsAndTheLineNumberToggleInTheirPlaces) {
    struct Place {
        int number, left;
    };
    const Place places[] = {{1, 2},   {2, 34},  {3, 66},  {4, 98},   {5, 138},
                            {8, 170}, {7, 362}, {6, 394}, {10, 474}, {9, 506}};
    QWidget* panel = window->findChild<QWidget*>("Panel1");
    ASSERT_NE(panel, nullptr);
    const QList<QToolButton*> buttons =
        panel->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly);
    EXPECT_EQ(buttons.size(), 11);
    for (const Place& p : places) {
        QToolButton* b = window->speedButton(p.number);
        ASSERT_NE(b, nullptr) << p.number;
        EXPECT_EQ(b->objectName(), QString("SpeedButton%1").arg(p.number));
        EXPECT_EQ(b->geometry(), QRect(p.left, 2, 32, 32)) << b->objectName().toStdString();
        EXPECT_FALSE(b->icon().isNull()) << p.number;
        EXPECT_TRUE(b->toolTip().isEmpty()) << p.number;
        EXPECT_FALSE(b->isCheckable()) << p.number;
    }
    // The toggle stands after the text buttons, off until pressed.
    QToolButton* toggle = window->lineNumbersButton();
    ASSERT_NE(toggle, nullptr);
    EXPECT_TRUE(buttons.contains(toggle));
    EXPECT_EQ(toggle->objectName(), "LineNumbersButton");
    EXPECT_EQ(toggle->geometry(), QRect(546, 2, 32, 32));
    EXPECT_TRUE(toggle->isCheckable());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(toggle->icon().isNull());
    EXPECT_FALSE(toggle->toolTip().isEmpty());
}

TEST_F(WindowTest, PaletteShowsFourGroupsInOrderWithTheirItems) {
    struct GroupCase {
        const char* caption;
        int items;
    };
    const GroupCase groups[] = {
        {"Executable Mod", 10}, {"Sensor Mod", 5}, {"Control Mod", 8}, {"Program Mod", 1}};
    TNavBar* bar = window->palette();
    ASSERT_EQ(bar->count(), 4);
    EXPECT_EQ(bar->currentIndex(), 0);
    std::vector<int> types;
    for (int g = 0; g < 4; ++g) {
        EXPECT_EQ(bar->itemText(g), groups[g].caption);
        auto* list = qobject_cast<QListWidget*>(bar->widget(g));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->objectName(), QString("NavBar1Group%1").arg(g + 1));
        EXPECT_EQ(list->count(), groups[g].items) << groups[g].caption;
        for (int i = 0; i < list->count(); ++i) {
            EXPECT_FALSE(list->item(i)->icon().isNull());
            types.push_back(list->item(i)->data(Qt::UserRole).toInt());
        }
    }
    // Every block type once; 7 and 8 are never shown.
    std::sort(types.begin(), types.end());
    EXPECT_EQ(std::adjacent_find(types.begin(), types.end()), types.end());
    EXPECT_EQ(std::count(types.begin(), types.end(), 7), 0);
    EXPECT_EQ(std::count(types.begin(), types.end(), 8), 0);
}

// ---- palette --------------------------------------------------------------------------------

TEST_F(WindowTest, PaletteClickInsertsAtTheSelectedMarkerAndSelectsTheBlock) {
    clickPaletteRow(0);
    ASSERT_EQ(chart().BlockCount(), 1);
    TFcObject* block = objectOf(2);
    EXPECT_EQ(canvas().SelectedObject(), block);
    EXPECT_EQ(chart().IndexOfBlock(block), 2);
    EXPECT_EQ(block->Text(), paletteItem(kDirect)->text().toStdString());

    // A second block goes below the marker chosen, not at the end.
    click(centreOf(marker(1)));
    ASSERT_EQ(canvas().SelectedObject(), marker(1));
    insert(5);
    ASSERT_EQ(chart().BlockCount(), 2);
    EXPECT_EQ(canvas().SelectedObject(), objectOf(2));
    EXPECT_EQ(objectOf(4), block);
    EXPECT_LT(objectOf(2)->Top(), block->Top());
}

TEST_F(WindowTest, PaletteClickWithABlockSelectedInsertsNothing) {
    insert(kDirect);
    TFcObject* block = objectOf(2);
    clickPaletteRow(1);
    insert(14);
    EXPECT_EQ(chart().BlockCount(), 1);
    EXPECT_EQ(canvas().SelectedObject(), block);
}

// ---- canvas input ---------------------------------------------------------------------------

TEST_F(WindowTest, ClicksOnTerminalsAndASpotsEmptyAreaSelectNothing) {
    insert(kDirect);
    struct Target {
        const char* what;
        QPoint where;
    };
    const TNormalSpot& lower = spot(3);
    const Target targets[] = {
        {"start terminal", centreOf(chart().StartObject())},
        {"end terminal", centreOf(chart().EndObject())},
        {"spot base left of its marker", at(lower.Base->Left() + 8, lower.Base->Top() + 16)},
    };
    for (const Target& t : targets) {
        click(centreOf(objectOf(2)));
        ASSERT_EQ(canvas().SelectedObject(), objectOf(2)) << t.what;
        click(t.where);
        EXPECT_EQ(canvas().SelectedCount(), 0) << t.what;
        EXPECT_EQ(chart().BlockCount(), 1) << t.what;
    }
}

TEST_F(WindowTest, DeleteKeyRemovesNothing) {
    insert(kDirect);
    click(centreOf(objectOf(2)));
    QTest::keyClick(vp(), Qt::Key_Delete);
    QTest::keyClick(window->flowChart(), Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(chart().BlockCount(), 1);
    EXPECT_EQ(canvas().SelectedObject(), objectOf(2));
}

// In a chart of one block the arrow keys pick by the score rule, and a pick the chart refuses
// (a spot's base) leaves nothing selected.
enum class Pick { Nothing, NextMarker, UpperAnchor };

struct ArrowCase {
    const char* what;
    bool fromBlock; // else from the first spot's marker
    Qt::Key key;
    Pick expected;
};

void PrintTo(const ArrowCase& c, std::ostream* os) {
    *os << c.what;
}

class WindowArrowTest : public WindowTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(WindowArrowTest, SelectsTheNearestObjectTheChartAllows) {
    const ArrowCase& c = GetParam();
    insert(kDirect);
    click(centreOf(c.fromBlock ? objectOf(2) : marker(1)));
    ASSERT_EQ(canvas().SelectedCount(), 1);
    QTest::keyClick(window->flowChart(), c.key);
    switch (c.expected) {
    case Pick::Nothing:
        EXPECT_EQ(canvas().SelectedCount(), 0) << c.what;
        break;
    case Pick::NextMarker:
        EXPECT_EQ(canvas().SelectedObject(), marker(3)) << c.what;
        break;
    case Pick::UpperAnchor:
        EXPECT_EQ(canvas().SelectedObject(), spot(1).UpperAnchor) << c.what;
        break;
    }
}

// First marker at (95, 57), block at (70, 80), second spot at (70, 112) with its marker at
// (95, 121). Down from the marker scores the next marker 80, the lower anchor (115, 80) 188 and
// the block 228; Up scores the upper anchor (115, 47) 172 and the first base 211. From the block
// Down finds the second spot's base (40) and Up the first spot's base (40), both refused.
INSTANTIATE_TEST_SUITE_P(
    Keys, WindowArrowTest,
    ::testing::Values(ArrowCase{"marker down", false, Qt::Key_Down, Pick::NextMarker},
                      ArrowCase{"marker up", false, Qt::Key_Up, Pick::UpperAnchor},
                      ArrowCase{"block down", true, Qt::Key_Down, Pick::Nothing},
                      ArrowCase{"block up", true, Qt::Key_Up, Pick::Nothing}));

TEST_F(WindowTest, DragPastFourPixelsMovesABlockAndTheNextLayoutPutsItBack) {
    insert(kDirect);
    TFcObject* block = objectOf(2);
    const TFcRect home = block->BoundsRect();
    const QPoint from = centreOf(block);

    press(from);
    moveTo(from + QPoint(2, 2)); // |dx| + |dy| = 4: no drag yet
    release(from + QPoint(2, 2));
    EXPECT_EQ(block->BoundsRect(), home);

    press(from);
    moveTo(from + QPoint(10, 15));
    release(from + QPoint(10, 15));
    EXPECT_EQ(block->Left(), home.left + 10);
    EXPECT_EQ(block->Top(), home.top + 15);
    EXPECT_EQ(chart().BlockCount(), 1);

    // The next palette insert lays the chart out again.
    click(centreOf(marker(3)));
    ASSERT_EQ(canvas().SelectedObject(), marker(3));
    insert(kDirect);
    EXPECT_EQ(block->BoundsRect(), home);
}

// ---- rendered pixels ------------------------------------------------------------------------

TEST_F(WindowTest, CanvasPaintsBlockAndMarkerFillsAndTheSelectionMarks) {
    insert(kDirect);
    const TFcObject* block = objectOf(2);
    const TFcObject* lowerMarker = marker(3);
    ASSERT_EQ(block->BoundsRect(), (TFcRect{70, 80, 160, 112}));
    const QImage image = grab();

    EXPECT_EQ(rgbText(pixel(image, at(74, 96))), rgbText(kTeal));
    EXPECT_EQ(rgbText(pixel(image, at(155, 84))), rgbText(kTeal));
    EXPECT_EQ(rgbText(pixel(image, at(lowerMarker->Left() + 4, lowerMarker->Top() + 7))),
              rgbText(kCream));
    EXPECT_EQ(rgbText(pixel(image, at(20, 20))), rgbText(kSkyBlue));

    // The eight 5 x 5 marks of the selected block, each checked at its centre and at the corner
    // that lies outside the block (where nothing else is black).
    struct Mark {
        int x, y, ox, oy;
    };
    const Mark marks[] = {{70, 80, -2, -2}, {115, 80, -2, -2}, {159, 80, 2, -2}, {159, 96, 2, -2},
                          {159, 111, 2, 2}, {115, 111, -2, 2}, {70, 111, -2, 2}, {70, 96, -2, -2}};
    for (const Mark& m : marks) {
        EXPECT_EQ(pixel(image, at(m.x, m.y)), kBlack) << m.x << "," << m.y;
        EXPECT_EQ(pixel(image, at(m.x + m.ox, m.y + m.oy)), kBlack) << m.x << "," << m.y;
        // Just beyond the mark the background shows again.
        EXPECT_NE(pixel(image, at(m.x + m.ox + (m.ox > 0 ? 1 : -1), m.y + m.oy)), kBlack)
            << m.x << "," << m.y;
    }
    // The unselected marker has no marks.
    EXPECT_NE(pixel(image, at(lowerMarker->Left() - 2, lowerMarker->Top() - 2)), kBlack);
}

TEST_F(WindowTest, RobotPictureSitsAtTheEndTerminalAndNoPictureInABlock) {
    insert(kDirect);
    const TFcObject* end = chart().EndObject();
    const TFcObject* block = objectOf(2);
    const QImage image = grab();
    const int L = end->Left(), T = end->Top();

    int inPicture = 0;
    for (int y = T; y < T + 31; ++y)
        for (int x = L + 28; x < L + 60; ++x)
            inPicture += pixel(image, at(x, y)) != kSkyBlue ? 1 : 0;
    EXPECT_GT(inPicture, 32 * 31 / 4);
    // Left and right of the picture the terminal shows only the background.
    for (int y = T + 1; y < T + 31; ++y) {
        for (int x : {L + 1, L + 27, L + 61, L + 88})
            EXPECT_EQ(rgbText(pixel(image, at(x, y))), rgbText(kSkyBlue)) << x << "," << y;
    }

    // Inside the block's bevel: the teal fill and the white caption blended into it, nothing
    // of another colour (the robot has blue, orange and red).
    for (int y = block->Top() + 3; y < block->Top() + block->Height() - 3; ++y)
        for (int x = block->Left() + 3; x < block->Left() + block->Width() - 3; ++x) {
            const QRgb c = pixel(image, at(x, y));
            ASSERT_TRUE(qGreen(c) == qBlue(c) && qRed(c) <= qGreen(c))
                << x << "," << y << " " << rgbText(c);
        }
}
