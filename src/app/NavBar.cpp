#include "app/NavBar.h"

#include "app/WindowFont.h"
#include "platform/text/CodePage.h"
#include "records/BlockCatalog.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QScrollArea>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

// TPaletteItemDelegate: paints the item that has the keyboard as a selected one. A list view
// flags its current item as focused only while it has the keyboard, and the palette's lists
// select nothing, so the mark comes and goes with the keyboard and a click leaves none.
class TPaletteItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem marked(option);
        if (marked.state & QStyle::State_HasFocus) {
            marked.state |= QStyle::State_Selected | QStyle::State_Active;
            marked.showDecorationSelected = true; // the whole item, not only its caption
        }
        QStyledItemDelegate::paint(painter, marked, index);
    }
};

// The catalogue's group captions, for the translation tools; shown through
// PaletteGroupCaption.
[[maybe_unused]] constexpr const char* kGroupCaptions[] = {
    QT_TRANSLATE_NOOP("TNavBar", "Executable Mod"),
    QT_TRANSLATE_NOOP("TNavBar", "Sensor Mod"),
    QT_TRANSLATE_NOOP("TNavBar", "Control Mod"),
    QT_TRANSLATE_NOOP("TNavBar", "Program Mod"),
};

// The block captions, for the translation tools: a block keeps its caption on the canvas and
// in the chart file, so the palette shows the caption and its tip says what the block is.
[[maybe_unused]] constexpr const char* kBlockNames[] = {
    QT_TRANSLATE_NOOP("TNavBar", "Direct"),
    QT_TRANSLATE_NOOP("TNavBar", "Turn"),
    QT_TRANSLATE_NOOP("TNavBar", "Motor On"),
    QT_TRANSLATE_NOOP("TNavBar", "Motor Stop"),
    QT_TRANSLATE_NOOP("TNavBar", "Wait"),
    QT_TRANSLATE_NOOP("TNavBar", "Music"),
    QT_TRANSLATE_NOOP("TNavBar", "Loop Begin"),
    QT_TRANSLATE_NOOP("TNavBar", "Loop End"),
    QT_TRANSLATE_NOOP("TNavBar", "Label"),
    QT_TRANSLATE_NOOP("TNavBar", "Goto"),
    QT_TRANSLATE_NOOP("TNavBar", "GotoIf"),
    QT_TRANSLATE_NOOP("TNavBar", "End"),
    QT_TRANSLATE_NOOP("TNavBar", "LED"),
    QT_TRANSLATE_NOOP("TNavBar", "IO Setup"),
    QT_TRANSLATE_NOOP("TNavBar", "IO Input"),
    QT_TRANSLATE_NOOP("TNavBar", "IO Output"),
    QT_TRANSLATE_NOOP("TNavBar", "Servo"),
    QT_TRANSLATE_NOOP("TNavBar", "Expression"),
    QT_TRANSLATE_NOOP("TNavBar", "Digital Sensor"),
    QT_TRANSLATE_NOOP("TNavBar", "Analog Sensor"),
    QT_TRANSLATE_NOOP("TNavBar", "Sub Begin"),
    QT_TRANSLATE_NOOP("TNavBar", "Sub End"),
    QT_TRANSLATE_NOOP("TNavBar", "Call Sub"),
    QT_TRANSLATE_NOOP("TNavBar", "VoiceX"),
};

// The tip of a palette item: the caption as the block shows it, and what the block is called
// in the language shown (the same words in English).
QString insertHint(const QString& caption) {
    const QString name = TNavBar::tr(caption.toUtf8().constData());
    if (name == caption)
        return TNavBar::tr("Insert a new %1 block below the selected block or at the selected spot")
            .arg(caption);
    //: %1 is the block's caption as the canvas shows it, %2 what the block is called.
    return TNavBar::tr("Insert a new %1 block (%2) below the selected block or at the selected "
                       "spot")
        .arg(caption, name);
}

} // namespace

QString PaletteGroupCaption(const TPaletteGroup& group) {
    return TNavBar::tr(std::string(group.caption).c_str());
}

TNavBar::TNavBar(QWidget* parent) : QToolBox(parent) {
    setObjectName("NavBar1");
    // Group headers a little smaller than the items, so "Executable Mod" fits the strip.
    setFont(courierFont(14));
    // Items wide enough for the longest caption, so that none is cut off.
    const QFontMetrics itemMetrics(courierFont(16));
    int itemWidth = 118;
    for (const TPaletteGroup& group : PaletteGroups())
        for (int type : group.items)
            itemWidth = std::max(itemWidth, itemMetrics.horizontalAdvance(platform::toQString(
                                                std::string(FindBlockInfo(type)->caption))) +
                                                12);
    m_itemWidth = itemWidth;
    for (const TPaletteGroup& group : PaletteGroups()) {
        const QString groupCaption = PaletteGroupCaption(group);
        auto* list = new QListWidget(this);
        list->setFont(courierFont(16));
        list->setObjectName(QString("NavBar1Group%1").arg(group.number));
        list->setAccessibleName(groupCaption);
        // One column of items, each a 38 x 38 picture above its caption.
        list->setViewMode(QListView::IconMode);
        list->setFlow(QListView::TopToBottom);
        list->setWrapping(false);
        list->setMovement(QListView::Static);
        list->setResizeMode(QListView::Adjust);
        list->setIconSize(QSize(38, 38));
        list->setGridSize(QSize(itemWidth + 2, 64));
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setDragEnabled(false);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        // Tab reaches the list; a click does not take the keyboard from the canvas.
        list->setFocusPolicy(Qt::TabFocus);
        list->setItemDelegate(new TPaletteItemDelegate(list));
        for (int type : group.items) {
            const TBlockInfo* info = FindBlockInfo(type);
            const QString caption = platform::toQString(std::string(info->caption));
            auto* item = new QListWidgetItem(
                QIcon(
                    QString(":/palette/palette_%1.svg").arg(info->paletteImage, 2, 10, QChar('0'))),
                caption, list);
            item->setData(Qt::UserRole, type);
            item->setData(Qt::AccessibleTextRole, caption);
            item->setTextAlignment(Qt::AlignCenter);
            item->setSizeHint(QSize(itemWidth, 62));
            item->setToolTip(insertHint(caption));
            item->setData(Qt::AccessibleDescriptionRole, insertHint(caption));
        }
        connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            emit itemClicked(item->data(Qt::UserRole).toInt());
        });
        list->installEventFilter(this);
        addItem(list, groupCaption);
    }
    // The tool box puts each list in a frame of its own that would be a Tab stop of its own.
    for (QScrollArea* frame : findChildren<QScrollArea*>())
        frame->setFocusPolicy(Qt::NoFocus);
    setCurrentIndex(0);
    // The palette as a whole stands for the open group's list: a Tab order set on the palette
    // (which needs a focus policy to be taken) and setFocus on it reach that list.
    setFocusPolicy(Qt::TabFocus);
    setFocusProxy(groupList(0));
    connect(this, &QToolBox::currentChanged, this,
            [this](int index) { setFocusProxy(groupList(index)); });
    // Group headers as flat buttons in button-text on button-face colours.
    setStyleSheet("QToolBox::tab { background: palette(button);"
                  " color: palette(button-text); border: 1px solid palette(mid);"
                  " border-radius: 3px; padding-left: 2px; }"
                  "QToolBox::tab:selected { background: palette(light); }");
}

QListWidget* TNavBar::groupList(int index) const {
    return qobject_cast<QListWidget*>(widget(index));
}

bool TNavBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress)
        if (auto* list = qobject_cast<QListWidget*>(watched); list && indexOf(list) >= 0)
            return groupListKey(list, static_cast<QKeyEvent*>(event));
    return QToolBox::eventFilter(watched, event);
}

bool TNavBar::groupListKey(QListWidget* list, QKeyEvent* event) {
    if (event->modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false; // combinations stay the list's
    const int group = indexOf(list);
    const int row = list->currentRow();
    switch (event->key()) {
    case Qt::Key_Up:
        // The first item goes on to the last item of the group above.
        if (row > 0)
            list->setCurrentRow(row - 1);
        else if (row < 0)
            list->setCurrentRow(0);
        else if (group > 0)
            moveToGroup(group - 1, groupList(group - 1)->count() - 1);
        return true;
    case Qt::Key_Down:
        // The last item goes on to the first item of the group below.
        if (row < list->count() - 1)
            list->setCurrentRow(row + 1);
        else if (group < count() - 1)
            moveToGroup(group + 1, 0);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // The current item, as a click on it.
        if (QListWidgetItem* item = list->currentItem())
            emit itemClicked(item->data(Qt::UserRole).toInt());
        return true;
    default:
        return false;
    }
}

void TNavBar::moveToGroup(int index, int row) {
    QListWidget* next = groupList(index);
    // Hiding the list that has the keyboard would hand it on to the next widget of the window
    // (the canvas): the palette itself holds it while the groups change.
    setFocusProxy(nullptr);
    setFocus(Qt::OtherFocusReason);
    setCurrentIndex(index); // the open list becomes the proxy again
    next->setCurrentRow(row);
    next->setFocus(Qt::TabFocusReason);
}

int TNavBar::preferredWidth() const {
    // The widest item with the list's scroll bar and frame beside it, or the widest group
    // header, whichever needs more.
    int headers = 0;
    const QFontMetrics headerMetrics(font());
    for (int i = 0; i < count(); ++i)
        headers = std::max(headers, headerMetrics.horizontalAdvance(itemText(i)) + 30);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return std::max(headers, m_itemWidth + 2 + scrollBar + 8);
}
