#include "editors/frmFOREnd.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>

namespace editors {

TFormFOREnd::TFormFOREnd(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "Times Loop End")) {
    setObjectName(QStringLiteral("FormFOREnd"));
    auto* row = new QHBoxLayout(panel());
    m_comboBox1 = makeVariableList(panel(), QStringLiteral("ComboBox1"));
    m_comboBox1->setToolTip(
        QCoreApplication::translate("editors", "The variable that counts the times"));
    row->addWidget(
        makeBuddyLabel(panel(), QCoreApplication::translate("editors", "Var:"), m_comboBox1));
    row->addWidget(m_comboBox1);
}

void TFormFOREnd::setValues(const Values& values) {
    setListIndex(m_comboBox1, values.var);
}

TFormFOREnd::Values TFormFOREnd::values() const {
    return {m_comboBox1->currentIndex()};
}

} // namespace editors
