#pragma once

#include <QToolBox>

class QKeyEvent;
class QListWidget;

// The block palette: the four groups of the block catalogue, each a list of
// items with a 38 x 38 picture and a caption. One group is open at a time; a
// click on an item reports the block type it creates.
//
// The keyboard reaches the palette by Tab, at the open group's list (one stop:
// the closed groups' lists are hidden, the group headers and the frames around
// the lists take no focus). Up and Down move the current item and go on into
// the previous or next group at either end of a group, opening it; Enter or
// Space reports the current item as a click does. The current item is marked
// only while the list has the keyboard; a click neither takes the keyboard nor
// marks an item.
class TNavBar : public QToolBox {
    Q_OBJECT

public:
    explicit TNavBar(QWidget* parent = nullptr);

    // The list of group `index` (0-based), nullptr outside 0..count()-1.
    QListWidget* groupList(int index) const;

signals:
    void itemClicked(int blockType);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A key on a group's list; true when the palette used it.
    bool groupListKey(QListWidget* list, QKeyEvent* event);
    // Opens group `index` and gives its list the keyboard at `row`.
    void moveToGroup(int index, int row);
};
