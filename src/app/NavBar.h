#pragma once

#include <QToolBox>

class QKeyEvent;
class QListWidget;
struct TPaletteGroup;

// A palette group's caption as the window shows it ("Executable Mod" in English).
QString PaletteGroupCaption(const TPaletteGroup& group);

// The block palette: the four groups of the block catalogue, each a list of items with a 38 x 38
// picture and a caption. One group is open at a time; a click on an item reports the block type
// it creates.
//
// Tab reaches the palette at the open group's list, one stop: the closed groups' lists are hidden,
// and the group headers and the frames around the lists take no focus. The palette's focus proxy
// is that list, so a Tab order set on the palette holds for it. Up and Down move the current item
// and, at either end of a group, go on into the group above or below, opening it; Enter or Space
// reports the current item as a click does. The current item is marked only while its list has
// the keyboard; a click neither takes the keyboard nor marks an item.
class TNavBar : public QToolBox {
    Q_OBJECT

public:
    explicit TNavBar(QWidget* parent = nullptr);

    // The list of group `index` (0-based), nullptr outside 0..count()-1.
    QListWidget* groupList(int index) const;
    // The width at which no group header or item caption is cut off.
    int preferredWidth() const;

signals:
    void itemClicked(int blockType);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A key on a group's list; true when the palette used it.
    bool groupListKey(QListWidget* list, QKeyEvent* event);
    // Opens group `index` and gives its list the keyboard at `row`.
    void moveToGroup(int index, int row);

    int m_itemWidth = 118;
};
