// The block palette from the keyboard: Tab reaches it, the arrows walk through its groups, Enter
// and Space insert, and the item the keyboard is on is marked only while it is there.
#include "app/NavBar.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The palette between two edits, in a window of its own that has the keyboard.
class PaletteKeys : public testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        auto* column = new QVBoxLayout(window.get());
        before = new QLineEdit(window.get());
        before->setObjectName("before");
        bar = new TNavBar(window.get());
        after = new QLineEdit(window.get());
        after->setObjectName("after");
        column->addWidget(before);
        column->addWidget(bar);
        column->addWidget(after);
        window->resize(160, 700);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        before->setFocus();
    }

    static QString nameOf(const QWidget* w) { return w ? w->objectName() : QString("nothing"); }
    QWidget* focus() const { return QApplication::focusWidget(); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focus(), k, modifiers);
    }
    // The keyboard on row `row` of group `group`, as the arrows would leave it.
    void keyboardAt(int group, int row) {
        bar->setCurrentIndex(group);
        bar->groupList(group)->setCurrentRow(row);
        bar->groupList(group)->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(focus(), bar->groupList(group));
    }
    int last(int group) const { return bar->groupList(group)->count() - 1; }
    int typeAt(int group, int row) const {
        return bar->groupList(group)->item(row)->data(Qt::UserRole).toInt();
    }

    std::unique_ptr<QWidget> window;
    QLineEdit* before = nullptr;
    TNavBar* bar = nullptr;
    QLineEdit* after = nullptr;
};

TEST_F(PaletteKeys, TabStopsOnceAtTheOpenGroupsList) {
    for (int group : {0, 2}) {
        SCOPED_TRACE(group);
        bar->setCurrentIndex(group);
        before->setFocus();
        key(Qt::Key_Tab);
        EXPECT_EQ(focus(), bar->groupList(group)) << nameOf(focus()).toStdString();
        key(Qt::Key_Tab);
        EXPECT_EQ(focus(), after) << nameOf(focus()).toStdString();
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focus(), bar->groupList(group)) << nameOf(focus()).toStdString();
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focus(), before) << nameOf(focus()).toStdString();
    }
}

TEST_F(PaletteKeys, ATabOrderSetOnThePaletteHoldsForItsList) {
    // A window that makes its widgets in another order than its Tab order, and sets that order
    // on the palette as a whole, as the main window does.
    QWidget other;
    auto* column = new QVBoxLayout(&other);
    auto* last = new QLineEdit(&other);
    auto* palette = new TNavBar(&other);
    auto* first = new QLineEdit(&other);
    column->addWidget(first);
    column->addWidget(palette);
    column->addWidget(last);
    QWidget::setTabOrder(first, palette);
    QWidget::setTabOrder(palette, last);
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    for (int group : {0, 2, 3}) {
        SCOPED_TRACE(group);
        palette->setCurrentIndex(group);
        first->setFocus();
        key(Qt::Key_Tab);
        EXPECT_EQ(focus(), palette->groupList(group)) << nameOf(focus()).toStdString();
        key(Qt::Key_Tab);
        EXPECT_EQ(focus(), last) << nameOf(focus()).toStdString();
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focus(), palette->groupList(group)) << nameOf(focus()).toStdString();
    }
    // Giving the palette the keyboard gives it to the open group's list.
    palette->setFocus();
    EXPECT_EQ(focus(), palette->groupList(3));
}

TEST_F(PaletteKeys, AClickInsertsWithoutTakingTheKeyboard) {
    QSignalSpy inserted(bar, &TNavBar::itemClicked);
    QListWidget* list = bar->groupList(0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(4)).center());
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(0).toInt(), typeAt(0, 4));
    EXPECT_EQ(focus(), before);
}

// One arrow key from a place in the palette, and where the keyboard is afterwards. Rows are
// counted from the end of the group where negative (-1 the last item).
struct TArrowCase {
    const char* name;
    int group;
    int row;
    Qt::Key key;
    int toGroup;
    int toRow;
};

void PrintTo(const TArrowCase& c, std::ostream* os) {
    *os << c.name;
}

class PaletteArrows : public PaletteKeys, public testing::WithParamInterface<TArrowCase> {
protected:
    int rowOf(int group, int row) const { return row < 0 ? last(group) + 1 + row : row; }
};

TEST_P(PaletteArrows, MoveWithinAndAcrossGroups) {
    const TArrowCase& c = GetParam();
    keyboardAt(c.group, rowOf(c.group, c.row));
    QSignalSpy inserted(bar, &TNavBar::itemClicked);
    std::vector<QString> focused;
    const QObject listening; // ends the connection before `focused` goes
    QObject::connect(qApp, &QApplication::focusChanged, &listening,
                     [&focused](QWidget*, QWidget* now) { focused.push_back(nameOf(now)); });

    key(c.key);
    EXPECT_EQ(bar->currentIndex(), c.toGroup) << "the group open";
    QListWidget* list = bar->groupList(c.toGroup);
    EXPECT_EQ(focus(), list) << nameOf(focus()).toStdString();
    EXPECT_EQ(list->currentRow(), rowOf(c.toGroup, c.toRow));
    EXPECT_EQ(inserted.count(), 0) << "moving inserts nothing";
    for (const QString& name : focused)
        EXPECT_TRUE(name.isEmpty() || name == "NavBar1" || name.startsWith("NavBar1Group"))
            << "the keyboard left the palette for " << name.toStdString();
}

const TArrowCase kArrows[] = {
    {"DownWithinAGroup", 0, 0, Qt::Key_Down, 0, 1},
    {"UpWithinAGroup", 0, 3, Qt::Key_Up, 0, 2},
    {"DownFromTheLastItemOpensTheNextGroup", 0, -1, Qt::Key_Down, 1, 0},
    {"UpFromTheFirstItemOpensThePreviousGroupAtItsEnd", 1, 0, Qt::Key_Up, 0, -1},
    {"DownIntoTheOneItemGroup", 2, -1, Qt::Key_Down, 3, 0},
    {"UpOutOfTheOneItemGroup", 3, 0, Qt::Key_Up, 2, -1},
    {"DownAtThePalettesEndStays", 3, 0, Qt::Key_Down, 3, 0},
    {"UpAtThePalettesStartStays", 0, 0, Qt::Key_Up, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Table, PaletteArrows, testing::ValuesIn(kArrows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PaletteKeys, EnterAndSpaceInsertTheCurrentItem) {
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Enter, Qt::KeypadModifier},
        {Qt::Key_Space, Qt::NoModifier},
    };
    for (const auto& [k, modifiers] : keys) {
        SCOPED_TRACE(QKeySequence(k).toString().toStdString());
        keyboardAt(0, last(0));
        key(Qt::Key_Down); // into the next group
        QSignalSpy inserted(bar, &TNavBar::itemClicked);
        key(k, modifiers);
        ASSERT_EQ(inserted.count(), 1);
        EXPECT_EQ(inserted.at(0).at(0).toInt(), typeAt(1, 0));
        EXPECT_EQ(focus(), bar->groupList(1)) << "the keyboard stays for the next block";
    }
}

TEST_F(PaletteKeys, TheCurrentItemIsMarkedOnlyWhileTheKeyboardIsThere) {
    QListWidget* list = bar->groupList(0);
    list->setCurrentRow(2);
    const QRect rect = list->visualItemRect(list->item(2));
    auto itemPixels = [list, rect] {
        return list->viewport()->grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
    };
    // The share of the item's pixels in the highlight colour.
    const QRgb highlight = list->palette().color(QPalette::Active, QPalette::Highlight).rgb();
    auto highlighted = [highlight](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == highlight;
        return double(count) / (image.width() * image.height());
    };
    const QImage plain = itemPixels();
    EXPECT_EQ(highlighted(plain), 0.0);

    keyboardAt(0, 2);
    const QImage marked = itemPixels();
    EXPECT_GT(highlighted(marked), 0.25) << "the item with the keyboard is highlighted";

    after->setFocus();
    EXPECT_EQ(itemPixels(), plain) << "the mark goes with the keyboard";

    // A click makes its item current but marks nothing.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseMove(window.get(), QPoint(1, 1)); // no hover highlight either
    EXPECT_EQ(itemPixels(), plain);
}

TEST_F(PaletteKeys, ItemsAndGroupsHaveAccessibleNamesAndItemsSayWhatAClickDoes) {
    for (int g = 0; g < bar->count(); ++g) {
        QListWidget* list = bar->groupList(g);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->accessibleName(), bar->itemText(g));
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->text(QAccessible::Name), bar->itemText(g));
        ASSERT_EQ(view->childCount(), list->count());
        for (int i = 0; i < list->count(); ++i) {
            const QString caption = list->item(i)->text();
            SCOPED_TRACE(caption.toStdString());
            EXPECT_FALSE(caption.isEmpty());
            EXPECT_EQ(view->child(i)->text(QAccessible::Name), caption);
            EXPECT_EQ(list->item(i)->toolTip(),
                      QString("Insert a new %1 block below the selected block or at the "
                              "selected spot")
                          .arg(caption));
        }
    }
}

} // namespace
