// The chart as a screen reader meets it, through the interfaces Qt hands the accessibility
// bridge: a list of the chain's items with their names, the selection as the focused item.
#include "WindowFixture.h"

#include <QAccessible>

namespace {

constexpr int kDirect = 1;
constexpr int kWait = 5;

using ChartAccessibilityTest = WindowTest;

TEST_F(ChartAccessibilityTest, TheChartIsAListOfItsChainWithTheSelectionFocused) {
    insert(kDirect);
    insert(kWait); // the palette inserts at the selected spot and selects the next one
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(window->flowChart());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), "Chart");
    ASSERT_EQ(list->childCount(), chart().Count());

    std::vector<QString> names;
    for (int i = 0; i < list->childCount(); ++i) {
        QAccessibleInterface* item = list->child(i);
        ASSERT_NE(item, nullptr) << i;
        EXPECT_EQ(item->role(), QAccessible::ListItem);
        EXPECT_EQ(list->indexOfChild(item), i);
        EXPECT_EQ(item->parent(), list);
        names.push_back(item->text(QAccessible::Name));
    }
    const std::vector<QString> expected{"Begin",
                                        "Insert here, before block 1",
                                        "Block 1 of 2: Direct, FDX",
                                        "Insert here, before block 2",
                                        "Block 2 of 2: Wait, 0",
                                        "Insert here, after the last block",
                                        "End"};
    EXPECT_EQ(names, expected);
    // The whole statement is the item's description, as it is the block's tool tip.
    EXPECT_EQ(list->child(4)->text(QAccessible::Description), "WAIT 0");

    // Selecting a block with the keys makes it the focused, selected item.
    window->flowChart()->setFocus();
    canvas().SelectObject(objectOf(4));
    QApplication::processEvents();
    QAccessibleInterface* focused = list->focusChild();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused, list->child(4));
    EXPECT_TRUE(focused->state().selected);
    EXPECT_TRUE(focused->state().focused);
    EXPECT_FALSE(list->child(2)->state().selected);
    // Its place on screen is the block's.
    const QRect onScreen = focused->rect();
    EXPECT_TRUE(onScreen.contains(vp()->mapToGlobal(centreOf(objectOf(4)))));
    EXPECT_EQ(list->childAt(onScreen.center().x(), onScreen.center().y()), focused);

    // A removed block's item is gone; the others are named anew.
    chart().RemoveBlocks(1, 1);
    chart().Relayout();
    QApplication::processEvents();
    EXPECT_EQ(list->childCount(), 5);
    EXPECT_EQ(list->child(2)->text(QAccessible::Name), "Block 1 of 1: Wait, 0");
}

} // namespace
