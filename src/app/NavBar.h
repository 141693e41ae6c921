#pragma once

#include <QToolBox>

// The block palette: the four groups of the block catalogue, each a list of
// items with a 38 x 38 picture and a caption. One group is open at a time; a
// click on an item reports the block type it creates.
class TNavBar : public QToolBox {
    Q_OBJECT

public:
    explicit TNavBar(QWidget* parent = nullptr);

signals:
    void itemClicked(int blockType);
};
