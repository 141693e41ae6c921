#include "editors/PortBitsForm.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QTreeWidget>

namespace editors {

TPortBitsForm::TPortBitsForm(QWidget* parent, const QString& title, TPortDialog which,
                             const QStringList& ports, int descWidth)
    : TEditorDialog(parent, title), m_which(which) {
    auto* grid = new QGridLayout(panel());
    m_comboBox1 = makeList(panel(), QStringLiteral("ComboBox1"), ports);
    grid->addWidget(
        makeBuddyLabel(panel(), QCoreApplication::translate("editors", "IO Port:"), m_comboBox1), 0,
        0);
    grid->addWidget(m_comboBox1, 0, 1);

    m_listView1 = new QTreeWidget(panel());
    m_listView1->setObjectName(QStringLiteral("ListView1"));
    nameControl(m_listView1, QCoreApplication::translate("editors", "Bits of the port"),
                QCoreApplication::translate(
                    "editors", "Tick a bit to switch it, untick it to switch it back"));
    m_listView1->setFont(editorFont(13));
    m_listView1->setColumnCount(3);
    m_listView1->setHeaderHidden(true);
    m_listView1->setRootIsDecorated(false);
    m_listView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listView1->header()->setSectionResizeMode(QHeaderView::Fixed);
    m_listView1->header()->setStretchLastSection(false);
    m_listView1->setColumnWidth(0, 70);
    m_listView1->setColumnWidth(1, 50);
    m_listView1->setColumnWidth(2, descWidth);
    const TBitRowTexts unticked = bitRowTexts(which, false);
    for (int i = 0; i < 8; ++i) {
        auto* item = new QTreeWidgetItem(m_listView1);
        item->setText(0, QCoreApplication::translate("editors", "bit%1").arg(i));
        item->setText(1, QString::fromLatin1(unticked.value));
        item->setText(2, QCoreApplication::translate("editors", unticked.desc.data()));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    const int rowHeight = m_listView1->sizeHintForRow(0);
    m_listView1->setFixedSize(70 + 50 + descWidth + 2 * m_listView1->frameWidth() + 4,
                              8 * rowHeight + 2 * m_listView1->frameWidth() + 6);
    grid->addWidget(m_listView1, 1, 0, 1, 2);

    connect(m_listView1, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int) { ListView1Change(item); });
}

void TPortBitsForm::ListView1Change(QTreeWidgetItem* item) {
    if (item->columnCount() < 3)
        return;
    const TBitRowTexts texts = bitRowTexts(m_which, item->checkState(0) == Qt::Checked);
    // Setting a text to what it already is raises no change, so this ends here.
    item->setText(1, QString::fromLatin1(texts.value));
    item->setText(2, QCoreApplication::translate("editors", texts.desc.data()));
}

void TPortBitsForm::setBits(std::int64_t value) {
    const std::array<bool, 8> ticked = bitsFromValue(value);
    for (int i = 0; i < 8; ++i)
        m_listView1->topLevelItem(i)->setCheckState(0, ticked[i] ? Qt::Checked : Qt::Unchecked);
}

int TPortBitsForm::bits() const {
    std::array<bool, 8> ticked{};
    for (int i = 0; i < 8; ++i)
        ticked[i] = m_listView1->topLevelItem(i)->checkState(0) == Qt::Checked;
    return valueFromBits(ticked);
}

void TPortBitsForm::setPort(std::int64_t port) {
    setListIndex(m_comboBox1, port);
}

int TPortBitsForm::port() const {
    return m_comboBox1->currentIndex();
}

} // namespace editors
