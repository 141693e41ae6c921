#include "editors/frmFORBegin.h"

#include "editors/values/ControlRules.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>

namespace editors {

TFormFORBegin::TFormFORBegin(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "Times Loop Begin")) {
    setObjectName(QStringLiteral("FormFORBegin"));
    auto* grid = new QGridLayout(panel());
    m_validateEdit1 = new TValidateEdit(panel(), TimesMin, TimesMax);
    m_validateEdit1->setObjectName(QStringLiteral("ValidateEdit1"));
    m_comboBox1 = makeVariableList(panel(), QStringLiteral("ComboBox1"));
    rangeTip(m_validateEdit1, QCoreApplication::translate("editors", "Number of times"));
    m_comboBox1->setToolTip(
        QCoreApplication::translate("editors", "The variable that counts the times"));
    grid->addWidget(makeBuddyLabel(panel(),
                                   QCoreApplication::translate("editors", "Number of times:"),
                                   m_validateEdit1),
                    0, 0);
    grid->addWidget(m_validateEdit1, 0, 1);
    grid->addWidget(
        makeBuddyLabel(panel(), QCoreApplication::translate("editors", "Var:"), m_comboBox1), 1, 0);
    grid->addWidget(m_comboBox1, 1, 1);
}

void TFormFORBegin::setValues(const Values& values) {
    m_validateEdit1->setValue(values.times);
    setListIndex(m_comboBox1, values.var);
}

TFormFORBegin::Values TFormFORBegin::values() const {
    return {m_validateEdit1->value(), m_comboBox1->currentIndex()};
}

} // namespace editors
