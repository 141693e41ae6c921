#include "app/NavBar.h"

#include "app/WindowFont.h"
#include "platform/text/CodePage.h"
#include "records/BlockCatalog.h"

#include <QListWidget>

TNavBar::TNavBar(QWidget* parent) : QToolBox(parent) {
    setObjectName("NavBar1");
    // Group headers a little smaller than the items, so "Executable Mod" fits the strip.
    setFont(courierFont(14));
    for (const TPaletteGroup& group : PaletteGroups()) {
        auto* list = new QListWidget(this);
        list->setFont(courierFont(16));
        list->setObjectName(QString("NavBar1Group%1").arg(group.number));
        // One column of items, each a 38 x 38 picture above its caption.
        list->setViewMode(QListView::IconMode);
        list->setFlow(QListView::TopToBottom);
        list->setWrapping(false);
        list->setMovement(QListView::Static);
        list->setResizeMode(QListView::Adjust);
        list->setIconSize(QSize(38, 38));
        list->setGridSize(QSize(120, 64));
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setDragEnabled(false);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setFocusPolicy(Qt::NoFocus);
        for (int type : group.items) {
            const TBlockInfo* info = FindBlockInfo(type);
            auto* item = new QListWidgetItem(
                QIcon(
                    QString(":/palette/palette_%1.svg").arg(info->paletteImage, 2, 10, QChar('0'))),
                platform::toQString(std::string(info->caption)), list);
            item->setData(Qt::UserRole, type);
            item->setTextAlignment(Qt::AlignCenter);
            item->setSizeHint(QSize(118, 62));
            item->setToolTip(QString());
        }
        connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            emit itemClicked(item->data(Qt::UserRole).toInt());
        });
        addItem(list, platform::toQString(std::string(group.caption)));
    }
    setCurrentIndex(0);
    // Group headers as flat buttons in button-text on button-face colours.
    setStyleSheet("QToolBox::tab { background: palette(button);"
                  " color: palette(button-text); border: 1px solid palette(mid);"
                  " border-radius: 3px; padding-left: 2px; }"
                  "QToolBox::tab:selected { background: palette(light); }");
}
