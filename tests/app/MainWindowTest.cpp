// The main window as it starts and as the canvas and the palette drive the chart: real widgets
// on the offscreen platform, clicked where the chart's objects are.
#include "WindowFixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
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
    // The caption with the toolkit's place for the modified mark, and nothing after it.
    EXPECT_EQ(window->windowTitle(), QString(kApplicationTitle) + "[*]");
    EXPECT_FALSE(window->isWindowModified());
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
    // A first run fills a fair part of the screen and no less than the old window.
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->frameGeometry()) || screen.contains(window->geometry()));
    EXPECT_GE(window->width(), 610);
    EXPECT_GE(window->height(), 436);
    QWidget* panel = window->centralWidget()->findChild<QWidget*>("Panel1", Qt::FindDirectChildrenOnly);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->height(), 37);
    // Under the menu bar, the toolbar strip, then the palette, the canvas and the text.
    QWidget* body = window->centralWidget();
    EXPECT_EQ(body->mapTo(window.get(), QPoint(0, 0)), QPoint(0, window->menuBar()->height()));
    EXPECT_EQ(window->palette()->width(), window->palette()->preferredWidth());
    EXPECT_EQ(window->flowChart()->mapTo(body, QPoint(0, 0)),
              QPoint(window->palette()->width(), 37));
    const QPlainTextEdit* memo = window->programText();
    EXPECT_EQ(memo->objectName(), "Memo1");
    EXPECT_GT(memo->mapTo(body, QPoint(0, 0)).x(),
              window->palette()->width() + window->flowChart()->width());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(memo->isReadOnly());

    // New width goes to the canvas as well as to the text.
    const int canvasBefore = window->flowChart()->width();
    const int textBefore = memo->width();
    window->resize(window->width() + 400, window->height());
    QApplication::processEvents();
    EXPECT_GE(window->flowChart()->width(), canvasBefore + 100);
    EXPECT_GE(memo->width(), textBefore + 100);
}

TEST_F(WindowTest, NoPaletteCaptionIsCutOff) {
    TNavBar* bar = window->palette();
    for (int g = 0; g < bar->count(); ++g) {
        const QFontMetrics header(bar->font());
        EXPECT_LE(header.horizontalAdvance(bar->itemText(g)) + 20, bar->width())
            << bar->itemText(g).toStdString();
        auto* list = qobject_cast<QListWidget*>(bar->widget(g));
        ASSERT_NE(list, nullptr);
        const QFontMetrics items(list->font());
        for (int i = 0; i < list->count(); ++i)
            EXPECT_LE(items.horizontalAdvance(list->item(i)->text()),
                      list->item(i)->sizeHint().width())
                << list->item(i)->text().toStdString();
    }
}

TEST_F(WindowTest, CommandsHaveNamesTipsShortcutsAndTheSameActionInToolbarAndMenu) {
    struct Case {
        int number;
        const char* name;
        QKeySequence key; // empty: none
    };
    const Case cases[] = {
        {1, "New", QKeySequence(QKeySequence::New)},
        {2, "Open", QKeySequence(QKeySequence::Open)},
        {3, "Save", QKeySequence(QKeySequence::Save)},
        {4, "Save As", QKeySequence(QKeySequence::SaveAs)},
        {5, "Exit", QKeySequence(QKeySequence::Quit)},
        {6, "Download", QKeySequence(Qt::Key_F9)},
        {7, "Generate", QKeySequence(Qt::Key_F5)},
        {8, "About", QKeySequence()},
        {9, "Save Program Text", QKeySequence()},
        {10, "Load Program Text", QKeySequence()},
    };
    // Every action the menu bar lists, submenus included.
    QList<QAction*> inMenus;
    for (QAction* top : window->menuBar()->actions())
        if (top->menu())
            inMenus += top->menu()->actions();
    for (const Case& c : cases) {
        QToolButton* button = window->speedButton(c.number);
        QAction* action = window->commandAction(c.number);
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(button->defaultAction(), action) << c.name;
        EXPECT_TRUE(inMenus.contains(action)) << c.name;
        EXPECT_EQ(button->accessibleName(), c.name);
        EXPECT_FALSE(button->toolTip().isEmpty()) << c.name;
        EXPECT_EQ(action->shortcut(), c.key) << c.name;
        if (!c.key.isEmpty()) {
            EXPECT_TRUE(
                button->toolTip().endsWith("(" + c.key.toString(QKeySequence::NativeText) + ")"))
                << button->toolTip().toStdString();
        }
    }
    EXPECT_EQ(window->speedButton(7)->toolTip(), "Generate the program listing (F5)");
    // F5 anywhere in the window generates.
    window->programText()->setFocus();
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(window->programText()->toPlainText().toStdString(), "10 REM \"ZOLVANE\"")
        << "an empty chart's listing";
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

TEST_F(WindowTest, PaletteClicksWithABlockSelectedBuildDownwardsInTheOrderClicked) {
    // Direct, Wait, Turn clicked in a row come out in that order, each new block selected.
    const int types[] = {kDirect, 5, 2};
    for (const int type : types)
        insert(type);
    ASSERT_EQ(chart().BlockCount(), 3);
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(chart().BlockAt(n)->Kind, KindBlockBase + types[n - 1]) << n;
    EXPECT_EQ(canvas().SelectedObject(), chart().BlockAt(3));

    // With the first block selected, a new one goes between it and the second.
    click(centreOf(chart().BlockAt(1)));
    insert(15);
    ASSERT_EQ(chart().BlockCount(), 4);
    EXPECT_EQ(chart().BlockAt(2)->Kind, KindBlockBase + 15);
    EXPECT_EQ(canvas().SelectedObject(), chart().BlockAt(2));
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

// In a chart of one block the arrow keys walk the chain: marker, block, marker. They stop at
// its ends and never land on anything that cannot be seen.
struct ArrowCase {
    const char* what;
    int from; // the chart item selected first
    Qt::Key key;
    int to; // the chart item selected after
};

void PrintTo(const ArrowCase& c, std::ostream* os) {
    *os << c.what;
}

class WindowArrowTest : public WindowTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(WindowArrowTest, WalksTheChainOverBlocksAndMarkers) {
    const ArrowCase& c = GetParam();
    insert(kDirect);
    auto selectable = [this](int item) { return item == 2 ? objectOf(2) : marker(item); };
    click(centreOf(selectable(c.from)));
    ASSERT_EQ(canvas().SelectedObject(), selectable(c.from));
    QTest::keyClick(window->flowChart(), c.key);
    EXPECT_EQ(canvas().SelectedObject(), selectable(c.to)) << c.what;
    EXPECT_EQ(canvas().SelectedCount(), 1) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Keys, WindowArrowTest,
                         ::testing::Values(ArrowCase{"first marker down", 1, Qt::Key_Down, 2},
                                           ArrowCase{"first marker up stays", 1, Qt::Key_Up, 1},
                                           ArrowCase{"block down", 2, Qt::Key_Down, 3},
                                           ArrowCase{"block up", 2, Qt::Key_Up, 1},
                                           ArrowCase{"last marker down stays", 3, Qt::Key_Down, 3},
                                           ArrowCase{"last marker up", 3, Qt::Key_Up, 2},
                                           ArrowCase{"left does nothing", 2, Qt::Key_Left, 2},
                                           ArrowCase{"right does nothing", 2, Qt::Key_Right, 2},
                                           ArrowCase{"home", 2, Qt::Key_Home, 1},
                                           ArrowCase{"end", 1, Qt::Key_End, 3}));

TEST_F(WindowTest, BlocksKeepTheirPlaceAndSizeWhateverTheMouseAndKeysDo) {
    insert(kDirect);
    insert(14);
    TFcObject* block = chart().BlockAt(1);
    const TFcRect home = block->BoundsRect();
    const QPoint from = centreOf(block);

    // A drag that ends off the chain puts the block straight back.
    press(from);
    moveTo(from + QPoint(120, 5));
    release(from + QPoint(120, 5));
    EXPECT_EQ(block->BoundsRect(), home);
    EXPECT_EQ(chart().BlockAt(1), block);

    // The selection marks do not resize, nor do Shift or Alt with the arrows.
    click(from);
    press(at(home.right - 1, home.bottom - 1));
    moveTo(at(home.right + 30, home.bottom + 30));
    release(at(home.right + 30, home.bottom + 30));
    EXPECT_EQ(block->BoundsRect(), home);
    click(from);
    for (const auto modifier : {Qt::ShiftModifier, Qt::AltModifier})
        for (const auto key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_PageDown})
            QTest::keyClick(window->flowChart(), key, modifier);
    EXPECT_EQ(block->BoundsRect(), home);
    EXPECT_EQ(canvas().ConnectionCount(), 2 * 3); // two lines per spot, none drawn by hand
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
