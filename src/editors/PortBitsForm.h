// The frame the IO Setup and IO Output editors share: a port list and eight bit rows.
#pragma once

#include "editors/EditorControls.h"
#include "editors/values/ControlRules.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace editors {

// TPortBitsForm: the port list ComboBox1 under "IO Port:" and the bit rows ListView1: eight
// rows "bit0".."bit7" with a check box each and the columns Name, Value and Desc, no headers.
// Row i stands for bit i of the record value.
class TPortBitsForm : public TEditorDialog {
public:
    TPortBitsForm(QWidget* parent, const QString& title, TPortDialog which,
                  const QStringList& ports, int descWidth);

    // Ticks row i exactly when bit i of `value` is 1 (higher bits are ignored).
    void setBits(std::int64_t value);
    // The sum of 2^i over the ticked rows.
    int bits() const;

protected:
    void setPort(std::int64_t port);
    int port() const;

private:
    // A row changed (its check box by the user or by setBits): Value and Desc follow the tick.
    void ListView1Change(QTreeWidgetItem* item);

    TPortDialog m_which;
    QComboBox* m_comboBox1 = nullptr;
    QTreeWidget* m_listView1 = nullptr;
};

} // namespace editors
